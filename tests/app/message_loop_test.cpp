#include "app/message_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace qv::device {
namespace {

using namespace std::chrono_literals;

// Records what it handled and on which thread; answers Ignored for MSG_KILL so that replies
// can be told apart.
class RecordingHandler final : public MessageHandler {
public:
    MessageReply Handle(const Message& message) override {
        {
            std::lock_guard lock(mutex);
            handled.push_back(message);
            threads.push_back(std::this_thread::get_id());
        }
        if (onHandle) {
            onHandle(message);
        }
        return message.number == MSG_KILL ? MessageReply::Ignored : MessageReply::Handled;
    }
    std::vector<Message> Handled() const {
        std::lock_guard lock(mutex);
        return handled;
    }

    mutable std::mutex mutex;
    std::vector<Message> handled;
    std::vector<std::thread::id> threads;
    std::function<void(const Message&)> onHandle;
};

class MessageLoopTest : public ::testing::Test {
protected:
    void SetUp() override { loop.SetHandler(&handler); }

    RecordingHandler handler;
    MessageLoop loop;
};

TEST_F(MessageLoopTest, SendsAndPostsAreHandledOnTheLoopThreadInOrder) {
    std::promise<MessageReply> killReply;
    std::thread sender([&] {
        loop.Post({MSG_BANK, TAG_LED});
        EXPECT_EQ(loop.Send({MSG_PROFILE, TAG_PROF}), MessageReply::Handled);
        loop.Post({MSG_OPEN, TAG_OPEN});
        killReply.set_value(loop.Send({MSG_KILL, TAG_KILL}));
    });
    ASSERT_TRUE(loop.RunUntil([&] { return handler.Handled().size() == 4; }, 10s));
    sender.join();

    EXPECT_EQ(killReply.get_future().get(), MessageReply::Ignored);
    const std::vector<Message> expected{
        {MSG_BANK, TAG_LED}, {MSG_PROFILE, TAG_PROF}, {MSG_OPEN, TAG_OPEN}, {MSG_KILL, TAG_KILL}};
    EXPECT_EQ(handler.Handled(), expected);
    for (const std::thread::id id : handler.threads) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
}

TEST_F(MessageLoopTest, SendFromTheLoopThreadIsADirectCall) {
    // A handler that sends to its own window must not wait for itself.
    handler.onHandle = [&](const Message& message) {
        if (message.number == MSG_INIT) {
            EXPECT_EQ(loop.Send({MSG_LANGUAGE, TAG_LANG, 3}), MessageReply::Handled);
        }
    };
    loop.Post({MSG_INIT, TAG_INIT});
    EXPECT_EQ(loop.RunUntilIdle(), 1u);
    const std::vector<Message> expected{{MSG_INIT, TAG_INIT}, {MSG_LANGUAGE, TAG_LANG, 3}};
    EXPECT_EQ(handler.Handled(), expected);
}

TEST_F(MessageLoopTest, ShutdownReleasesWaitingAndLaterSenders) {
    // Nobody runs the loop: the sender would wait for ever without the shutdown.
    std::atomic<bool> queued = false;
    auto waiting = std::async(std::launch::async, [&] {
        queued = true;
        return loop.Send({MSG_PROFILE, TAG_PROF});
    });
    while (!queued) {
        std::this_thread::yield();
    }
    std::this_thread::sleep_for(10ms);  // most likely inside Send by now; either order passes
    loop.Shutdown();
    EXPECT_EQ(waiting.get(), MessageReply::NotDelivered);

    std::thread later([&] {
        EXPECT_EQ(loop.Send({MSG_BANK, TAG_LED}), MessageReply::NotDelivered);
    });
    later.join();
    loop.Post({MSG_BANK, TAG_LED});
    EXPECT_EQ(loop.RunUntilIdle(), 0u);
    EXPECT_TRUE(handler.Handled().empty());
    EXPECT_EQ(loop.Send({MSG_BANK, TAG_LED}), MessageReply::NotDelivered);
}

TEST_F(MessageLoopTest, RunReturnsOnQuitFromAnotherThread) {
    std::thread quitter([&] {
        loop.Post({MSG_BANK, TAG_LED});
        loop.Quit();
    });
    loop.Run();
    quitter.join();
    loop.RunUntilIdle();
    EXPECT_EQ(handler.Handled().size(), 1u);
}

// Plays a toolkit's event loop: woken when there is something to handle, it runs the loop on
// the window's thread, and while busy work runs it waits for wake-ups instead of in the loop.
class FakeHost final : public LoopHost {
public:
    explicit FakeHost(MessageLoop& loop) : loop_(loop) {}

    void Wake() override {
        {
            std::lock_guard lock(mutex_);
            ++wakes_;
        }
        changed_.notify_all();
    }
    void WaitWhileBusy(const std::function<bool()>& done) override {
        ++busyWaits;
        std::unique_lock lock(mutex_);
        while (!done()) {
            const int seen = wakes_;
            lock.unlock();
            loop_.RunUntilIdle();
            lock.lock();
            changed_.wait(lock, [&] { return wakes_ != seen; });
        }
    }
    int Wakes() {
        std::lock_guard lock(mutex_);
        return wakes_;
    }

    int busyWaits = 0;

private:
    MessageLoop& loop_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int wakes_ = 0;
};

TEST_F(MessageLoopTest, WhileBusyOnlyTheAnimationIsHandledAndTheRestWaitsInOrder) {
    for (const bool hosted : {false, true}) {
        SCOPED_TRACE(hosted ? "driven by a host" : "on its own");
        FakeHost host(loop);
        loop.SetHost(hosted ? &host : nullptr);
        handler.handled.clear();
        std::thread::id workThread;
        loop.RunWhileBusy([&] {
            workThread = std::this_thread::get_id();
            loop.Post({MSG_BANK, TAG_LED});
            loop.Post({MSG_PROGRESS, TAG_BUSY, 1});
            loop.Post({MSG_TIMER, kTimerResynchronise});
            loop.Post({MSG_TIMER, kTimerProgressFrame});
            // The work ends only once the window has drawn the frame: proof that it kept going.
            while (handler.Handled().size() < 2) {
                std::this_thread::yield();
            }
        });
        EXPECT_NE(workThread, std::this_thread::get_id());
        const std::vector<Message> duringWork{{MSG_PROGRESS, TAG_BUSY, 1},
                                              {MSG_TIMER, kTimerProgressFrame}};
        EXPECT_EQ(handler.Handled(), duringWork);
        if (hosted) {
            EXPECT_EQ(host.busyWaits, 1);
            // Each post, the end of the work and the end of the wait.
            EXPECT_GE(host.Wakes(), 6);
        }

        loop.RunUntilIdle();
        const std::vector<Message> all{{MSG_PROGRESS, TAG_BUSY, 1},
                                       {MSG_TIMER, kTimerProgressFrame},
                                       {MSG_BANK, TAG_LED},
                                       {MSG_TIMER, kTimerResynchronise}};
        EXPECT_EQ(handler.Handled(), all);
        loop.SetHost(nullptr);
    }
}

}  // namespace
}  // namespace qv::device
