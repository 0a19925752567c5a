#include "gui/widgets/png_button.h"

#include <QCursor>
#include <QEnterEvent>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRect>
#include <QToolTip>

#include <utility>

#include "gui/widgets/focus_frame.h"

namespace qv::gui {

using qv::ui::ButtonPicture;
using qv::ui::ButtonTextColour;

namespace {
constexpr int kOutlineWidth = 2;
constexpr int kOutlineInset = 1;
}  // namespace

PngButton::PngButton(QWidget* parent) : QAbstractButton(parent) {
    setMouseTracking(true);
    // The picture covers the whole button.
    setAttribute(Qt::WA_OpaquePaintEvent);
    tooltipTimer_.setSingleShot(true);
    connect(&tooltipTimer_, &QTimer::timeout, this, [this] {
        if (underMouse()) {
            ShowTooltip(QCursor::pos());
        }
    });
}

PngButton::~PngButton() = default;

void PngButton::SetPictures(int x, int y, const QPixmap& normal, const QPixmap& hover,
                            const QPixmap& pressed, const QPixmap& disabled, const QPixmap& checked,
                            bool redraw) {
    origin_ = QPoint(x, y);
    normal_ = normal;
    hoverPicture_ = hover;
    pressed_ = pressed;
    disabled_ = disabled;
    checkedPicture_ = checked;
    hover_ = false;
    tracking_ = false;
    setDown(false);
    if (redraw) {
        update();
    }
}

void PngButton::SetPictureOrigin(int x, int y, bool redraw) {
    origin_ = QPoint(x, y);
    if (redraw) {
        update();
    }
}

void PngButton::SetOverride(const QPixmap& first, const QPixmap& second, bool on, bool useSecond,
                            bool redraw) {
    override_ = first;
    secondOverride_ = second;
    overrideOn_ = on;
    useSecondOverride_ = useSecond;
    hover_ = false;
    setDown(false);
    if (redraw) {
        update();
    }
}

void PngButton::SetChecked(bool on, bool redraw) {
    checked_ = on;
    if (redraw) {
        update();
    }
}

void PngButton::SetOutline(const QColor& colour, int percent, bool on) {
    outlineColour_ = colour;
    outlinePercent_ = qv::ui::StoredOutlinePercent(percent, on);
    outlineOn_ = on;
    update();
}

void PngButton::SetTooltipText(const QString& text, bool activate) {
    if (!qv::ui::ApplyTooltipText(tooltip_, text.toStdString(), activate)) {
        return;
    }
    tooltipText_ = text;
    if (!tooltip_.active && QToolTip::isVisible() && QToolTip::text() == tooltipText_) {
        QToolTip::hideText();
    }
}

void PngButton::SetTextColours(const QColor& normal, const QColor& hoverOrChecked,
                               const QColor& pressed, const QColor& disabled) {
    textNormal_ = normal;
    textHover_ = hoverOrChecked;
    textPressed_ = pressed;
    textDisabled_ = disabled;
    update();
}

void PngButton::SetCaptionFont(const QString& face, int pointSize, int escapement, int flags) {
    captionOn_ = true;
    fontFace_ = face;
    fontPoints_ = pointSize;
    escapement_ = escapement;
    textFlags_ = flags;
    update();
}

void PngButton::SetTextOffsets(TextOffsets offsets) {
    offsets_ = offsets;
    update();
}

qv::ui::ButtonLook PngButton::CurrentLook() const {
    return qv::ui::ChooseButtonLook({.enabled = isEnabled(),
                                     .overrideOn = overrideOn_,
                                     .useSecondOverride = useSecondOverride_,
                                     .pressed = isDown(),
                                     .hover = hover_,
                                     .checked = checked_});
}

const QPixmap& PngButton::PictureFor(ButtonPicture picture) const {
    switch (picture) {
        case ButtonPicture::Hover:
            return hoverPicture_;
        case ButtonPicture::Pressed:
            return pressed_;
        case ButtonPicture::Disabled:
            return disabled_;
        case ButtonPicture::Checked:
            return checkedPicture_;
        case ButtonPicture::Override:
            return override_;
        case ButtonPicture::SecondOverride:
            return secondOverride_;
        case ButtonPicture::Normal:
            break;
    }
    return normal_;
}

QColor PngButton::ColourFor(ButtonTextColour colour) const {
    switch (colour) {
        case ButtonTextColour::HoverOrChecked:
            return textHover_;
        case ButtonTextColour::Pressed:
            return textPressed_;
        case ButtonTextColour::Disabled:
            return textDisabled_;
        case ButtonTextColour::Normal:
            break;
    }
    return textNormal_;
}

void PngButton::paintEvent(QPaintEvent* /*event*/) {
    const qv::ui::ButtonLook look = CurrentLook();
    {
        QPainter painter(this);
        if (outlineOn_) {
            // A hollow frame: whatever lies inside is left as it is.
            const QRect frame =
                rect().adjusted(kOutlineInset, kOutlineInset, -kOutlineInset, -kOutlineInset);
            if (frame.isValid()) {
                const int w = frame.width();
                const int h = frame.height();
                painter.fillRect(frame.x(), frame.y(), w, kOutlineWidth, outlineColour_);
                painter.fillRect(frame.x(), frame.bottom() - kOutlineWidth + 1, w, kOutlineWidth,
                                 outlineColour_);
                painter.fillRect(frame.x(), frame.y(), kOutlineWidth, h, outlineColour_);
                painter.fillRect(frame.right() - kOutlineWidth + 1, frame.y(), kOutlineWidth, h,
                                 outlineColour_);
            }
        } else {
            const QPixmap& picture = PictureFor(look.picture);
            if (!picture.isNull()) {
                painter.drawPixmap(QPoint(0, 0), picture, QRect(origin_, size()));
            }
        }
        if (captionOn_ && !text().isEmpty()) {
            DrawCaption(painter, ColourFor(look.colour));
        }
        if (hasFocus()) {
            // The pictures have no focused look: a frame shows where the keyboard acts.
            DrawFocusFrame(painter, rect(), palette().color(QPalette::Highlight));
        }
    }
    if (paintCallback_) {
        paintCallback_(*this, look.picture == ButtonPicture::Normal);
    }
}

void PngButton::DrawCaption(QPainter& painter, const QColor& colour) {
    QFont font(fontFace_);
    // Points follow the screen's resolution in Qt already.
    font.setPointSize(fontPoints_ > 0 ? fontPoints_ : kDefaultFontPoints);
    painter.setFont(font);
    painter.setPen(colour);
    const QRect area =
        rect().adjusted(offsets_.left, offsets_.top, offsets_.right, offsets_.bottom);
    if (escapement_ == 0) {
        painter.drawText(area, textFlags_, text());
        return;
    }
    // A turned caption is centred by its own extent around the middle of its area.
    const QRect extent = QFontMetrics(font).boundingRect(text());
    painter.save();
    painter.translate(area.center());
    painter.rotate(-static_cast<double>(escapement_) / 10.0);
    painter.drawText(
        QRect(-extent.width() / 2, -extent.height() / 2, extent.width(), extent.height()),
        Qt::AlignCenter | Qt::TextSingleLine, text());
    painter.restore();
}

void PngButton::keyPressEvent(QKeyEvent* event) {
    // Enter acts like Space, so that a window whose buttons are all pictures can be used from
    // the keyboard alone.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier && isEnabled()) {
        event->accept();
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void PngButton::OnHover() {
    hover_ = true;
    update();
    // The owner may have changed the text since; show what it holds now.
    if (!tooltipText_.isEmpty()) {
        SetTooltipText(tooltipText_, tooltip_.active);
    }
    ShowTooltip(QCursor::pos());
}

void PngButton::ShowTooltip(const QPoint& globalPos) {
    if (qv::ui::TooltipShows(tooltip_)) {
        QToolTip::showText(globalPos, tooltipText_, this, rect(), -1);
    }
}

void PngButton::enterEvent(QEnterEvent* event) {
    if (!tracking_) {
        tracking_ = true;
        OnHover();
    }
    QAbstractButton::enterEvent(event);
}

void PngButton::mouseMoveEvent(QMouseEvent* event) {
    // After SetPictures or SetOverride dropped the hover, the next move over the button takes it
    // again.
    if (!tracking_ && rect().contains(event->position().toPoint())) {
        tracking_ = true;
        OnHover();
    } else if (qv::ui::TooltipShows(tooltip_) && !QToolTip::isVisible()) {
        // A tip that went away (a click, a key) comes back once the mouse rests for the delay.
        tooltipTimer_.start(tooltip_.delayMs);
    }
    QAbstractButton::mouseMoveEvent(event);
}

void PngButton::leaveEvent(QEvent* event) {
    hover_ = false;
    tracking_ = false;
    tooltipTimer_.stop();
    update();
    QAbstractButton::leaveEvent(event);
}

bool PngButton::event(QEvent* event) {
    // The button times its own tooltip; Qt's, with the style's delay, is not wanted.
    if (event->type() == QEvent::ToolTip) {
        return true;
    }
    return QAbstractButton::event(event);
}

}  // namespace qv::gui
