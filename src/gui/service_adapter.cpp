#include "gui/service_adapter.h"

#include <QMetaObject>
#include <QThread>

#include <memory>

namespace qv::gui {

ServiceAdapter::ServiceAdapter(QObject* parent) : QObject(parent) {}

ServiceAdapter::~ServiceAdapter() {
    Close();
}

void ServiceAdapter::Deliver(std::function<void()> work) {
    inFlight_.fetch_add(1);
    QMetaObject::invokeMethod(
        this,
        [this, work = std::move(work)] {
            work();
            inFlight_.fetch_sub(1);
        },
        Qt::QueuedConnection);
}

void ServiceAdapter::KeyboardArrived() {
    Deliver([this] { emit Arrived(); });
}

void ServiceAdapter::KeyboardRemoved() {
    Deliver([this] { emit Removed(); });
}

void ServiceAdapter::BusyChanged(bool busy) {
    Deliver([this, busy] { emit Busy(busy); });
}

void ServiceAdapter::ImageReplaced() {
    Deliver([this] { emit ImageChanged(); });
}

void ServiceAdapter::ApplyPendingChanged(bool pending) {
    Deliver([this, pending] { emit PendingChanged(pending); });
}

void ServiceAdapter::ActiveProfileChanged(int profile) {
    Deliver([this, profile] { emit ActiveProfile(profile); });
}

void ServiceAdapter::ProfileChangedOnKeyboard(int profile) {
    Deliver([this, profile] { emit KeyboardSwitchedProfile(profile); });
}

void ServiceAdapter::LightingChanged() {
    Deliver([this] { emit LightingRead(); });
}

void ServiceAdapter::BankChanged(bool bankB) {
    Deliver([this, bankB] { emit Bank(bankB); });
}

void ServiceAdapter::PlaybackChanged(bool playing) {
    Deliver([this, playing] { emit Playback(playing); });
}

void ServiceAdapter::Notify(const service::ServiceNotice& notice) {
    Deliver([this, notice] { emit Noticed(notice); });
}

void ServiceAdapter::ProgramMustEnd() {
    Deliver([this] { emit MustEnd(); });
}

bool ServiceAdapter::Ask(service::Question question) {
    if (QThread::currentThread() == thread()) {
        bool answer = false;
        emit Asked(question, &answer);
        return answer;
    }
    struct Exchange {
        bool done = false;
        bool answer = false;
    };
    const auto exchange = std::make_shared<Exchange>();
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return false;
        }
    }
    Deliver([this, exchange, question] {
        bool answer = false;
        {
            std::lock_guard lock(mutex_);
            if (closed_) {
                return;
            }
        }
        emit Asked(question, &answer);
        {
            std::lock_guard lock(mutex_);
            exchange->answer = answer;
            exchange->done = true;
        }
        answered_.notify_all();
    });
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&] { return exchange->done || closed_; });
    return exchange->done && exchange->answer;
}

void ServiceAdapter::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    answered_.notify_all();
}

}  // namespace qv::gui
