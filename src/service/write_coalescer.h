#pragma once

// Writes from a control that can change faster than the keyboard takes them (a slider being
// dragged) go to the keyboard service's worker one at a time, in order; a write that waits
// behind the running one is replaced by a later write of the same key, so only the latest value
// is sent. The keyboard therefore holds the last value no later than one exchange after the
// control stops, and never works through a backlog of stale values.

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "service/keyboard_service.h"

namespace qv::service {

class WriteCoalescer {
public:
    using Job = std::function<void(KeyboardSession&)>;

    explicit WriteCoalescer(KeyboardService& service);

    // `key` names what the job writes: a job that waits directly behind another with the same
    // key takes its place.
    void Submit(std::string key, Job job);

private:
    struct Shared {
        std::mutex mutex;
        bool running = false;
        std::deque<std::pair<std::string, Job>> waiting;
    };

    static void Run(KeyboardService& service, const std::shared_ptr<Shared>& shared, Job job);

    KeyboardService& service_;
    // Shared with the jobs on the worker, which may outlive this object.
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

}  // namespace qv::service
