#pragma once

// The main window's message queue. Without a GUI toolkit (the command line, the tests) the
// thread that runs the loop plays the window's thread. A toolkit's event loop drives it through
// a LoopHost instead: the host hears when there is something to handle and then calls
// RunUntilIdle on its window thread, and it waits its own way while busy work runs, so that
// its windows keep repainting.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "app/main_window_messages.h"

namespace qv::device {

class LoopHost {
public:
    // Any thread, outside the loop's lock: a message was queued or busy work ended. The host
    // calls RunUntilIdle on the window's thread soon after.
    virtual void Wake() = 0;
    // On the window's thread, while RunWhileBusy's work runs: runs the host's own event loop,
    // ignoring user input, until `done` answers true (it is worth asking after each Wake).
    virtual void WaitWhileBusy(const std::function<bool()>& done) = 0;

protected:
    ~LoopHost() = default;
};

class MessageLoop final : public MainWindowPort {
public:
    // The constructing thread owns the loop until a Run* call is made from another one.
    MessageLoop();
    // Shuts down; the caller makes sure no RunWhileBusy work is still running.
    ~MessageLoop();
    MessageLoop(const MessageLoop&) = delete;
    MessageLoop& operator=(const MessageLoop&) = delete;

    // Set before the first message arrives; without one every message is ignored.
    void SetHandler(MessageHandler* handler);
    // Set before the first message arrives, on the thread that will run the loop, which becomes
    // its owner; nullptr goes back to running without a host.
    void SetHost(LoopHost* host);

    MessageReply Send(const Message& message) override;
    void Post(const Message& message) override;
    void RunWhileBusy(const std::function<void()>& work) override;

    // Handles messages on the calling thread until Quit() or Shutdown().
    void Run();
    // Handles messages until `done` answers true (asked before and after each message); false
    // when `timeout` passed first, which keeps a test that went wrong from hanging.
    [[nodiscard]] bool RunUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds timeout);
    // Handles what is queued, including what that queues, and returns how many it handled.
    // While busy work runs, only what HandledWhileBusy lets through.
    std::size_t RunUntilIdle();

    // Any thread: Run() returns after the message it is handling.
    void Quit();
    // Any thread: Run() returns, waiting and later Sends answer NotDelivered, posts are dropped.
    void Shutdown();
    [[nodiscard]] bool IsShutDown() const;

private:
    // How often RunUntil asks its condition again while no message comes.
    static constexpr std::chrono::milliseconds kPollStep{5};

    struct Pending {
        MessageReply reply = MessageReply::NotDelivered;
        bool done = false;
    };
    struct Item {
        Message message;
        Pending* pending;  // the waiting sender's, or nullptr for a post
    };

    [[nodiscard]] bool OnOwnerThread() const { return owner_.load() == std::this_thread::get_id(); }
    void Bind() { owner_.store(std::this_thread::get_id()); }
    MessageReply Dispatch(const Message& message);
    // Takes the first item `accept` lets through, waiting until `until` (or forever for
    // time_point::max()) while `keepWaiting` holds. False when nothing was taken.
    template <typename Accept, typename KeepWaiting>
    bool TakeNext(Item& item, Accept accept, KeepWaiting keepWaiting,
                  std::chrono::steady_clock::time_point until);
    void Complete(const Item& item, MessageReply reply);
    void WakeHost();

    std::atomic<std::thread::id> owner_;
    std::atomic<MessageHandler*> handler_{nullptr};
    std::atomic<LoopHost*> host_{nullptr};

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> queue_;
    bool quit_ = false;
    bool shutDown_ = false;
    bool busyWorkDone_ = false;
    int busyDepth_ = 0;  // RunWhileBusy calls in progress on the owner thread
};

}  // namespace qv::device
