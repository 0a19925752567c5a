#include "gui/picture_button.h"

#include <QKeyEvent>
#include <QPainter>

#include "gui/widgets/focus_frame.h"

namespace qv::gui {
namespace {

const QColor kFocusFrame(0x19, 0xc3, 0xb3);

}  // namespace

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::SetPicture(const QPixmap& picture) {
    // Comparing keys spares a repaint when the state did not change.
    if (picture.cacheKey() == picture_.cacheKey()) {
        return;
    }
    picture_ = picture;
    update();
}

void PictureButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (!picture_.isNull()) {
        painter.drawPixmap(rect(), picture_);
    }
    if (hasFocus()) {
        // The pictures have no focused look of their own.
        DrawFocusFrame(painter, rect(), kFocusFrame);
    }
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
    // Space is the button's own key; Enter acts the same here, and the window never sees it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

}  // namespace qv::gui
