#include "app/qt/message_pump.h"

#include <QEventLoop>
#include <QMetaObject>

namespace qv::gui {

MessagePump::MessagePump(device::MessageLoop& loop, QObject* parent)
    : QObject(parent), loop_(&loop) {
    loop_->SetHost(this);
}

void MessagePump::Wake() {
    if (drainQueued_.exchange(true)) {
        return;
    }
    QMetaObject::invokeMethod(this, &MessagePump::Drain, Qt::QueuedConnection);
}

void MessagePump::Drain() {
    drainQueued_.store(false);
    if (loop_ == nullptr) {
        return;
    }
    loop_->RunUntilIdle();
    // Only the innermost wait can end: an outer one resumes when the inner one has returned.
    if (!busyLoops_.empty() && (*busyLoops_.back().done)()) {
        busyLoops_.back().loop->quit();
    }
}

void MessagePump::WaitWhileBusy(const std::function<bool()>& done) {
    QEventLoop local;
    busyLoops_.push_back({&local, &done});
    if (!done()) {
        local.exec(QEventLoop::ExcludeUserInputEvents);
    }
    busyLoops_.pop_back();
}

}  // namespace qv::gui
