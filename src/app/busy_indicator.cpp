#include "app/busy_indicator.h"

#include <algorithm>

namespace qv::app {

using device::Message;

BusyIndicator::BusyIndicator(device::MainWindowPort& window, BusyTiming timing)
    : window_(window), timing_(timing), thread_([this] { Thread(); }) {}

BusyIndicator::~BusyIndicator() {
    Stop();
}

void BusyIndicator::Show() {
    {
        std::lock_guard lock(mutex_);
        commands_.push_back({true, 0});
    }
    changed_.notify_all();
}

void BusyIndicator::Hide(std::intptr_t generation) {
    {
        std::lock_guard lock(mutex_);
        commands_.push_back({false, generation});
    }
    changed_.notify_all();
}

void BusyIndicator::FrameHandled() {
    std::lock_guard lock(mutex_);
    tickPending_ = false;
}

void BusyIndicator::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void BusyIndicator::Thread() {
    std::unique_lock lock(mutex_);
    for (;;) {
        const auto ready = [this] { return stopping_ || !commands_.empty(); };
        if (animating_) {
            changed_.wait_for(lock, timing_.framePeriod, ready);
        } else {
            changed_.wait(lock, ready);
        }
        if (stopping_) {
            return;
        }
        if (commands_.empty()) {
            if (!tickPending_) {
                tickPending_ = true;
                lock.unlock();
                window_.Post({device::MSG_TIMER, device::kTimerProgressFrame});
                lock.lock();
            }
            continue;
        }
        const Command command = commands_.front();
        commands_.pop_front();
        if (command.show) {
            animating_ = true;
            tickPending_ = false;
        } else {
            // Frames keep coming during the pause, as the window's timer would.
            const auto hideAt = std::chrono::steady_clock::now() + timing_.hideDelay;
            while (!stopping_ && std::chrono::steady_clock::now() < hideAt) {
                const auto next =
                    std::min(hideAt, std::chrono::steady_clock::now() + timing_.framePeriod);
                if (changed_.wait_until(lock, next, [this] { return stopping_; })) {
                    return;
                }
                if (animating_ && !tickPending_ && std::chrono::steady_clock::now() < hideAt) {
                    tickPending_ = true;
                    lock.unlock();
                    window_.Post({device::MSG_TIMER, device::kTimerProgressFrame});
                    lock.lock();
                }
            }
            if (stopping_) {
                return;
            }
            animating_ = false;
            lock.unlock();
            window_.Post({device::MSG_PROGRESS, device::TAG_BUSY, command.generation});
            lock.lock();
        }
    }
}

}  // namespace qv::app
