#pragma once

// Holds the keyboard service's worker, as a long exchange would, until opened: what a test posts
// meanwhile waits behind it.

#include <condition_variable>
#include <mutex>

#include "service/keyboard_service.h"

namespace qv::service {

class WorkerGate {
public:
    void Close(KeyboardService& service) {
        service.Post([this](KeyboardSession&) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return open_; });
        });
    }
    void Open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

}  // namespace qv::service
