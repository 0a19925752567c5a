#include "app/message_loop.h"

#include <algorithm>

namespace qv::device {

MessageLoop::MessageLoop() : owner_(std::this_thread::get_id()) {}

MessageLoop::~MessageLoop() {
    Shutdown();
}

void MessageLoop::SetHandler(MessageHandler* handler) {
    handler_.store(handler);
}

void MessageLoop::SetHost(LoopHost* host) {
    Bind();
    host_.store(host);
}

void MessageLoop::WakeHost() {
    if (LoopHost* host = host_.load()) {
        host->Wake();
    }
}

MessageReply MessageLoop::Dispatch(const Message& message) {
    MessageHandler* handler = handler_.load();
    return handler != nullptr ? handler->Handle(message) : MessageReply::Ignored;
}

MessageReply MessageLoop::Send(const Message& message) {
    if (OnOwnerThread()) {
        return IsShutDown() ? MessageReply::NotDelivered : Dispatch(message);
    }
    Pending pending;
    std::unique_lock lock(mutex_);
    if (shutDown_) {
        return MessageReply::NotDelivered;
    }
    queue_.push_back({message, &pending});
    changed_.notify_all();
    lock.unlock();
    WakeHost();
    lock.lock();
    changed_.wait(lock, [&] { return pending.done; });
    return pending.reply;
}

void MessageLoop::Post(const Message& message) {
    {
        std::lock_guard lock(mutex_);
        if (shutDown_) {
            return;
        }
        queue_.push_back({message, nullptr});
    }
    changed_.notify_all();
    WakeHost();
}

void MessageLoop::Complete(const Item& item, MessageReply reply) {
    if (item.pending == nullptr) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        item.pending->reply = reply;
        item.pending->done = true;
    }
    changed_.notify_all();
}

template <typename Accept, typename KeepWaiting>
bool MessageLoop::TakeNext(Item& item, Accept accept, KeepWaiting keepWaiting,
                           std::chrono::steady_clock::time_point until) {
    std::unique_lock lock(mutex_);
    for (;;) {
        const auto found = std::find_if(queue_.begin(), queue_.end(),
                                        [&](const Item& queued) { return accept(queued.message); });
        if (found != queue_.end()) {
            item = *found;
            queue_.erase(found);
            return true;
        }
        if (!keepWaiting()) {
            return false;
        }
        if (until == std::chrono::steady_clock::time_point::max()) {
            changed_.wait(lock);
        } else if (changed_.wait_until(lock, until) == std::cv_status::timeout) {
            return false;
        }
    }
}

void MessageLoop::Run() {
    Bind();
    const auto any = [](const Message&) { return true; };
    for (;;) {
        Item item{};
        // Called with the lock held by TakeNext.
        const auto keepWaiting = [this] {
            if (quit_ || shutDown_) {
                quit_ = false;
                return false;
            }
            return true;
        };
        if (!TakeNext(item, any, keepWaiting, std::chrono::steady_clock::time_point::max())) {
            return;
        }
        Complete(item, Dispatch(item.message));
        std::lock_guard lock(mutex_);
        if (quit_ || shutDown_) {
            quit_ = false;
            return;
        }
    }
}

bool MessageLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    Bind();
    const auto until = std::chrono::steady_clock::now() + timeout;
    const auto any = [](const Message&) { return true; };
    while (!done()) {
        Item item{};
        // The condition may depend on other threads (a worker finishing), so the wait wakes up
        // now and then to ask it again.
        const auto step = std::min(until, std::chrono::steady_clock::now() + kPollStep);
        if (TakeNext(
                item, any, [] { return true; }, step)) {
            Complete(item, Dispatch(item.message));
        } else if (std::chrono::steady_clock::now() >= until) {
            return done();
        }
    }
    return true;
}

std::size_t MessageLoop::RunUntilIdle() {
    Bind();
    // Only the owner thread changes busyDepth_, and this is the owner thread now.
    const bool busy = busyDepth_ > 0;
    const auto accept = [busy](const Message& message) {
        return !busy || HandledWhileBusy(message);
    };
    std::size_t handled = 0;
    Item item{};
    while (TakeNext(
        item, accept, [] { return false; }, std::chrono::steady_clock::time_point::max())) {
        Complete(item, Dispatch(item.message));
        ++handled;
    }
    return handled;
}

void MessageLoop::RunWhileBusy(const std::function<void()>& work) {
    if (!OnOwnerThread()) {
        work();
        return;
    }
    {
        std::lock_guard lock(mutex_);
        busyWorkDone_ = false;
    }
    ++busyDepth_;
    std::thread worker([&] {
        work();
        {
            std::lock_guard lock(mutex_);
            busyWorkDone_ = true;
        }
        changed_.notify_all();
        WakeHost();
    });
    if (LoopHost* host = host_.load()) {
        host->WaitWhileBusy([this] {
            std::lock_guard lock(mutex_);
            return busyWorkDone_;
        });
    } else {
        Item item{};
        while (TakeNext(
            item, [](const Message& message) { return HandledWhileBusy(message); },
            [this] { return !busyWorkDone_; }, std::chrono::steady_clock::time_point::max())) {
            Complete(item, Dispatch(item.message));
        }
    }
    worker.join();
    --busyDepth_;
    // What waited behind the work is handled now, in order.
    WakeHost();
}

void MessageLoop::Quit() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
}

void MessageLoop::Shutdown() {
    {
        std::lock_guard lock(mutex_);
        shutDown_ = true;
        for (const Item& item : queue_) {
            if (item.pending != nullptr) {
                item.pending->reply = MessageReply::NotDelivered;
                item.pending->done = true;
            }
        }
        queue_.clear();
    }
    changed_.notify_all();
}

bool MessageLoop::IsShutDown() const {
    std::lock_guard lock(mutex_);
    return shutDown_;
}

}  // namespace qv::device
