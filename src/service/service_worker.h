#pragma once

// The one thread on which the keyboard service talks to the keyboard. Work is queued and runs
// in order; front ends never wait on it from a thread that draws.

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <type_traits>

namespace qv::service {

class ServiceWorker {
public:
    ServiceWorker();
    // Stops.
    ~ServiceWorker();
    ServiceWorker(const ServiceWorker&) = delete;
    ServiceWorker& operator=(const ServiceWorker&) = delete;

    // Queues `work`; dropped once stopped.
    void Post(std::function<void()> work);

    // Runs `work` on the worker and waits for its result; runs it at once when called on the
    // worker itself. After Stop the work runs on the caller's thread, so a caller never hangs
    // (the service's parts stay alive until the service itself goes).
    template <typename F>
    auto Call(F&& work) -> std::invoke_result_t<F&> {
        using Result = std::invoke_result_t<F&>;
        if (OnWorker()) {
            return work();
        }
        std::packaged_task<Result()> task(std::forward<F>(work));
        std::future<Result> result = task.get_future();
        if (!TryPost([&task] { task(); })) {
            task();
        }
        return result.get();
    }

    // Blocks until nothing is queued or running.
    void WaitIdle();
    [[nodiscard]] bool IsIdle() const;

    // Lets the running work finish, drops the rest and joins the thread.
    void Stop();

    [[nodiscard]] bool OnWorker() const { return std::this_thread::get_id() == threadId_; }

private:
    [[nodiscard]] bool TryPost(std::function<void()> work);
    void Run();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    bool running_ = false;
    bool stopping_ = false;
    std::thread thread_;
    std::thread::id threadId_;
};

}  // namespace qv::service
