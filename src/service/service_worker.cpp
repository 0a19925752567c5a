#include "service/service_worker.h"

namespace qv::service {

ServiceWorker::ServiceWorker() {
    std::unique_lock lock(mutex_);
    thread_ = std::thread([this] { Run(); });
    threadId_ = thread_.get_id();
}

ServiceWorker::~ServiceWorker() {
    Stop();
}

void ServiceWorker::Post(std::function<void()> work) {
    (void)TryPost(std::move(work));
}

bool ServiceWorker::TryPost(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            return false;
        }
        queue_.push_back(std::move(work));
    }
    changed_.notify_all();
    return true;
}

void ServiceWorker::WaitIdle() {
    if (OnWorker()) {
        return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopping_ || (queue_.empty() && !running_); });
}

bool ServiceWorker::IsIdle() const {
    std::lock_guard lock(mutex_);
    return queue_.empty() && !running_;
}

void ServiceWorker::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    if (thread_.joinable() && !OnWorker()) {
        thread_.join();
    }
}

void ServiceWorker::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        running_ = false;
        changed_.notify_all();
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) {
            return;
        }
        std::function<void()> work = std::move(queue_.front());
        queue_.pop_front();
        running_ = true;
        lock.unlock();
        work();
        lock.lock();
    }
}

}  // namespace qv::service
