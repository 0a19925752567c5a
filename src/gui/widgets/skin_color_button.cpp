#include "gui/widgets/skin_color_button.h"

#include <qdrawutil.h>
#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QToolButton>

#include <utility>

namespace qv::gui {
namespace {

constexpr int kFaceInset = 4;
constexpr int kFaceRightPastHalf = 5;
constexpr int kFocusOutside = 3;
constexpr int kSwatchSize = 16;

}  // namespace

SkinColorButton::SkinColorButton(QWidget* parent)
    : QAbstractButton(parent), chooseOther_([](const QColor& current, QWidget* owner) {
          return QColorDialog::getColor(current, owner);
      }) {
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, &SkinColorButton::OpenPalette);
}

SkinColorButton::~SkinColorButton() = default;

void SkinColorButton::SetColour(const QColor& colour) {
    colour_ = colour;
    update();
}

void SkinColorButton::SetAutomaticColour(const QColor& colour) {
    automatic_ = colour;
    update();
}

QRect SkinColorButton::FaceRect(QSize size) {
    const int right = size.width() / 2 + kFaceRightPastHalf;
    return QRect(QPoint(kFaceInset, kFaceInset), QPoint(right - 1, size.height() - kFaceInset - 1));
}

const SkinColorButton::Palette& SkinColorButton::PaletteColours() {
    // Greys, then full, mid and light tones of ten hues: one row each.
    static const Palette palette = [] {
        Palette colours;
        for (int column = 0; column < kPaletteColumns; ++column) {
            const int grey = 255 * column / (kPaletteColumns - 1);
            colours[static_cast<std::size_t>(column)] = QColor(grey, grey, grey);
            const int hue = 360 * column / kPaletteColumns;
            colours[static_cast<std::size_t>(kPaletteColumns + column)] =
                QColor::fromHsv(hue, 255, 255);
            colours[static_cast<std::size_t>(2 * kPaletteColumns + column)] =
                QColor::fromHsv(hue, 255, 160);
            colours[static_cast<std::size_t>(3 * kPaletteColumns + column)] =
                QColor::fromHsv(hue, 96, 255);
        }
        return colours;
    }();
    return palette;
}

void SkinColorButton::OpenPalette() {
    if (popup_ != nullptr) {
        popup_->close();
    }
    auto* popup = new QFrame(this, Qt::Popup);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(popup);
    grid->setSpacing(2);
    grid->setContentsMargins(4, 4, 4, 4);
    const Palette& palette = PaletteColours();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const QColor colour = palette[i];
        auto* swatch = new QToolButton(popup);
        QPixmap face(kSwatchSize, kSwatchSize);
        face.fill(colour);
        swatch->setIcon(QIcon(face));
        swatch->setAutoRaise(true);
        swatch->setObjectName(QStringLiteral("swatch"));
        swatch->setToolTip(colour.name());
        connect(swatch, &QToolButton::clicked, this, [this, colour] { Choose(colour); });
        const int index = static_cast<int>(i);
        grid->addWidget(swatch, index / kPaletteColumns, index % kPaletteColumns);
    }
    auto* other = new QPushButton(otherText_, popup);
    other->setObjectName(QStringLiteral("other"));
    connect(other, &QPushButton::clicked, this, &SkinColorButton::ChooseOther);
    grid->addWidget(other, kPaletteRows, 0, 1, kPaletteColumns);
    popup_ = popup;
    popup->move(mapToGlobal(rect().bottomLeft()));
    popup->show();
    update();
}

void SkinColorButton::Choose(const QColor& colour) {
    if (popup_ != nullptr) {
        popup_->close();
    }
    const bool changed = colour != colour_;
    SetColour(colour);
    if (changed) {
        emit ColourChanged(colour_);
    }
}

void SkinColorButton::ChooseOther() {
    if (popup_ != nullptr) {
        popup_->close();
    }
    const QColor chosen = chooseOther_ ? chooseOther_(FaceColour(), this) : QColor();
    if (chosen.isValid()) {
        Choose(chosen);
    }
}

void SkinColorButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.features = QStyleOptionButton::None;
    if (isDown()) {
        option.state |= QStyle::State_Sunken;
    } else {
        option.state |= QStyle::State_Raised;
    }
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

    const QRect face = FaceRect(size());
    const QRect frame = face.adjusted(-1, -1, 1, 1);
    qDrawShadePanel(&painter, frame, palette(), true, 1);
    if (isEnabled()) {
        painter.fillRect(face, FaceColour());
    }

    // The arrow beside the swatch says that a click opens a choice.
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = QRect(QPoint(frame.right() + 2, kFaceInset),
                       QPoint(width() - kFaceInset - 1, height() - kFaceInset - 1));
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = face.adjusted(-kFocusOutside, -kFocusOutside, kFocusOutside, kFocusOutside);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void SkinColorButton::leaveEvent(QEvent* event) {
    update();
    QAbstractButton::leaveEvent(event);
}

}  // namespace qv::gui
