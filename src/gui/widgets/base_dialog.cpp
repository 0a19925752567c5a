#include "gui/widgets/base_dialog.h"

#include <QDir>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QRect>
#include <QWindow>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <utility>
#include <vector>

#include "texts/widget_rules.h"

namespace qv::gui {

BaseDialog::BaseDialog(QWidget* parent, QString skinFile, QString skinFolder)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      skinFile_(std::move(skinFile)),
      skinFolder_(std::move(skinFolder)),
      onSkinFailure_([](const QString& picture) {
          // The window cannot be drawn without it: say which file is missing, then end as a
          // missing skin picture does, quietly for scripts (exit code 0).
          std::fprintf(stderr, "quorvane: the skin picture %s is missing or unreadable\n",
                       qPrintable(picture));
          std::exit(0);
      }) {
    // The background covers every pixel, so erasing first would only flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

BaseDialog::~BaseDialog() = default;

BaseDialog::ScreenPictures BaseDialog::ReadScreenPictures() {
    ini_.SetPath(skinFile_);
    const QDir folder(skinFolder_);
    // A missing name leaves the folder's own path, which fails to load like any bad picture.
    return {folder.filePath(ini_.GetString(u"SCREEN", u"Main", u"").value_or(QString())),
            folder.filePath(ini_.GetString(u"SCREEN", u"Mask", u"").value_or(QString()))};
}

bool BaseDialog::ApplySkin() {
    skinning_ = true;
    const ScreenPictures screen = ReadScreenPictures();
    QPixmap background = QPixmap::fromImage(QImage(screen.background));
    // The mask is only needed for the outline: it is not kept.
    const QImage mask(screen.mask);
    if (background.isNull() || mask.isNull()) {
        skinning_ = false;
        onSkinFailure_(background.isNull() ? screen.background : screen.mask);
        return false;
    }
    background_ = std::move(background);
    resize(background_.size());
    outline_ = OutlineFromMask(mask);
    // Qt reads an empty mask as "no mask"; a region beside the window keeps it invisible instead,
    // as an all-white mask asks.
    setMask(outline_.isEmpty() ? QRegion(-1, -1, 1, 1) : outline_);
    update();
    skinning_ = false;
    return true;
}

bool BaseDialog::SizeFromSkin() {
    const ScreenPictures screen = ReadScreenPictures();
    // Only the files' headers are read: the pictures themselves wait for the first show.
    QImageReader background(screen.background);
    QImageReader mask(screen.mask);
    const QSize size = background.size();
    if (!background.canRead() || !size.isValid() || !mask.canRead()) {
        onSkinFailure_(!background.canRead() || !size.isValid() ? screen.background : screen.mask);
        return false;
    }
    FreePictures();
    resize(size);
    return true;
}

QRegion BaseDialog::OutlineFromMask(const QImage& mask) {
    const int width = mask.width();
    const int height = mask.height();
    // Row by row, so that a window-sized mask is never held twice more in other formats.
    std::vector<qv::ui::MaskRun> runs;
    for (int y = 0; y < height; ++y) {
        // The runs ignore the alpha byte of each 0xAARRGGBB pixel.
        const QImage row = mask.copy(0, y, width, 1).convertToFormat(QImage::Format_RGB32);
        const auto* line = reinterpret_cast<const QRgb*>(row.constScanLine(0));
        qv::ui::AppendRowRuns(
            y, std::span<const std::uint32_t>(line, static_cast<std::size_t>(width)), runs);
    }

    // The runs come row by row and left to right, which is the banded order setRects needs; a
    // region per batch keeps each union small on large masks.
    QRegion outline;
    std::vector<QRect> batch;
    batch.reserve(qv::ui::kOutlineBatchRects);
    const auto flush = [&] {
        if (batch.empty()) {
            return;
        }
        QRegion part;
        part.setRects(batch.data(), static_cast<int>(batch.size()));
        outline = outline.united(part);
        batch.clear();
    };
    for (const qv::ui::MaskRun& run : runs) {
        batch.emplace_back(run.x, run.y, run.width, 1);
        if (batch.size() == qv::ui::kOutlineBatchRects) {
            flush();
        }
    }
    flush();
    return outline;
}

void BaseDialog::FreePictures() {
    background_ = QPixmap();
}

void BaseDialog::done(int result) {
    FreePictures();
    QDialog::done(result);
}

void BaseDialog::showEvent(QShowEvent* event) {
    // Every opening of the window starts from its pictures; closing freed them.
    if (background_.isNull()) {
        ApplySkin();
    }
    QDialog::showEvent(event);
}

void BaseDialog::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

void BaseDialog::mousePressEvent(QMouseEvent* event) {
    // Only the surface drags: a press that reached us from a child it lies over is the child's.
    if (event->button() != Qt::LeftButton || childAt(event->position().toPoint()) != nullptr) {
        QDialog::mousePressEvent(event);
        return;
    }
    QWindow* window = windowHandle();
    if (window != nullptr && window->startSystemMove()) {
        return;
    }
    // No window manager move on this platform: follow the mouse ourselves.
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
    event->accept();
}

void BaseDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void BaseDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        event->accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

}  // namespace qv::gui
