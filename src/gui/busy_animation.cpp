#include "gui/busy_animation.h"

#include <QLabel>

namespace qv::gui {

BusyAnimation::BusyAnimation(QLabel& image, std::function<QPixmap(int)> frame, QObject* parent)
    : QObject(parent), image_(image), framePicture_(std::move(frame)) {
    showTimer_.setSingleShot(true);
    showTimer_.setInterval(kShowDelay);
    hideTimer_.setSingleShot(true);
    hideTimer_.setInterval(kHideDelay);
    frameTimer_.setInterval(kFramePeriod);
    connect(&showTimer_, &QTimer::timeout, this, &BusyAnimation::Show);
    connect(&frameTimer_, &QTimer::timeout, this, &BusyAnimation::NextFrame);
    connect(&hideTimer_, &QTimer::timeout, this, &BusyAnimation::Hide);
}

void BusyAnimation::SetBusy(bool busy) {
    busy_ = busy;
    if (busy) {
        // New work before the last one's image went: it stays.
        hideTimer_.stop();
        if (frame_ == 0 && !showTimer_.isActive()) {
            showTimer_.start();
        }
    } else if (frame_ != 0) {
        hideTimer_.start();
    }
    // Work that ended before its image appeared: the image goes once it has been shown.
}

void BusyAnimation::Show() {
    frame_ = 1;
    image_.setPixmap(framePicture_(frame_));
    image_.show();
    image_.raise();
    frameTimer_.start();
    if (!busy_) {
        hideTimer_.start();
    }
}

void BusyAnimation::NextFrame() {
    frame_ = frame_ % kFrameCount + 1;
    image_.setPixmap(framePicture_(frame_));
}

void BusyAnimation::Hide() {
    frameTimer_.stop();
    image_.hide();
    frame_ = 0;
}

}  // namespace qv::gui
