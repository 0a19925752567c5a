#include "gui/picture_slider.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "gui/widgets/focus_frame.h"

namespace qv::gui {
namespace {

const QColor kFocusFrame(0x19, 0xc3, 0xb3);

}  // namespace

PictureSlider::PictureSlider(int maximum, QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, maximum);
    setSingleStep(1);
    setPageStep(1);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void PictureSlider::SetPictures(std::vector<QPixmap> pictures) {
    pictures_ = std::move(pictures);
    update();
}

int PictureSlider::PositionAt(int x) const {
    const int track = width() - 2 * kTrackInset;
    if (track <= 0 || maximum() <= minimum()) {
        return minimum();
    }
    const double along = static_cast<double>(x - kTrackInset) / track;
    const int steps = maximum() - minimum();
    return std::clamp(minimum() + static_cast<int>(std::lround(along * steps)), minimum(),
                      maximum());
}

void PictureSlider::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const auto at = static_cast<std::size_t>(value() - minimum());
    if (at < pictures_.size() && !pictures_[at].isNull()) {
        painter.drawPixmap(rect(), pictures_[at]);
    }
    if (hasFocus()) {
        DrawFocusFrame(painter, rect(), kFocusFrame);
    }
}

void PictureSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    setFocus(Qt::MouseFocusReason);
    setSliderDown(true);
    setValue(PositionAt(event->position().toPoint().x()));
    event->accept();
}

void PictureSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        QSlider::mouseMoveEvent(event);
        return;
    }
    setValue(PositionAt(event->position().toPoint().x()));
    event->accept();
}

void PictureSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    setSliderDown(false);
    event->accept();
}

}  // namespace qv::gui
