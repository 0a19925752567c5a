#include "app/single_instance_guard.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ui/temp_folder.h"

namespace qv::app {
namespace {

namespace fs = std::filesystem;
using device::Message;

using test::TempFolder;

// The runtime folder inside a temporary folder, not yet made.
fs::path Runtime(const TempFolder& temp) {
    return temp.Path() / "run";
}

// A main window that handles OPEN and KILL with their tags only.
class FakeWindow final : public device::MainWindowPort {
public:
    device::MessageReply Send(const Message& message) override {
        std::lock_guard lock(mutex_);
        received_.push_back(message);
        const bool ours = (message.number == device::MSG_OPEN && message.tag == device::TAG_OPEN) ||
                          (message.number == device::MSG_KILL && message.tag == device::TAG_KILL);
        return ours ? device::MessageReply::Handled : device::MessageReply::Ignored;
    }
    void Post(const Message&) override {}
    void RunWhileBusy(const std::function<void()>& work) override { work(); }

    std::vector<Message> Received() {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    std::mutex mutex_;
    std::vector<Message> received_;
};

class RecordingLauncher final : public platform::ProgramLauncher {
public:
    bool Start(std::string_view program, std::string_view parameters,
               const fs::path& workingDirectory) override {
        started.push_back(std::string(program) + "|" + std::string(parameters) + "|" +
                          workingDirectory.string());
        return false;  // a missing companion does not matter
    }
    std::vector<std::string> started;
};

class SingleInstanceGuardTest : public ::testing::Test {
protected:
    // Starts the first instance, with no arguments.
    void StartFirst() {
        SingleInstanceGuard guard(firstLock_, &firstLauncher_);
        const GuardResult result = guard.Run({}, ForwardToMainWindow(window_));
        ASSERT_TRUE(result.firstInstance);
        ASSERT_FALSE(result.endProcess);
    }

    // Runs a later start with `arguments` on its own lock.
    GuardResult StartAnother(std::vector<std::string> arguments) {
        platform::InstanceLock lock(Runtime(temp_));
        SingleInstanceGuard guard(lock, &laterLauncher_);
        return guard.Run(arguments, [](std::uint32_t, std::uint32_t) { return true; });
    }

    TempFolder temp_;
    FakeWindow window_;
    RecordingLauncher firstLauncher_;
    RecordingLauncher laterLauncher_;
    platform::InstanceLock firstLock_{Runtime(temp_)};
};

TEST_F(SingleInstanceGuardTest, FirstInstanceStartsTheCompanionAndLaterStartsOpenIt) {
    StartFirst();
    EXPECT_EQ(firstLauncher_.started, (std::vector<std::string>{"Mistrel.exe||"}));

    const GuardResult later = StartAnother({"ignored", "/START"});
    EXPECT_TRUE(later.endProcess);
    EXPECT_EQ(later.exitCode, 0);
    EXPECT_FALSE(later.firstInstance);
    EXPECT_TRUE(laterLauncher_.started.empty());
    EXPECT_EQ(window_.Received(), (std::vector<Message>{{device::MSG_OPEN, device::TAG_OPEN}}));
}

TEST_F(SingleInstanceGuardTest, KillEndsTheRunningInstanceInEitherOrder) {
    StartFirst();
    for (const auto& arguments : {std::vector<std::string>{"/Start", "/Kill"},
                                  std::vector<std::string>{"--KILL", "--start"}}) {
        const GuardResult later = StartAnother(arguments);
        EXPECT_TRUE(later.endProcess);
        EXPECT_EQ(later.exitCode, 0);
    }
    const Message kill{device::MSG_KILL, device::TAG_KILL};
    EXPECT_EQ(window_.Received(), (std::vector<Message>{kill, kill}));
    EXPECT_TRUE(laterLauncher_.started.empty());
}

TEST_F(SingleInstanceGuardTest, KillWithNoneRunningStartsNormallyAndStartStillHides) {
    for (const auto& arguments : {std::vector<std::string>{"/Start", "/kill"},
                                  std::vector<std::string>{"/Kill", "/Start"}}) {
        platform::InstanceLock lock(Runtime(temp_));
        RecordingLauncher launcher;
        SingleInstanceGuard guard(lock, &launcher);
        const GuardResult result =
            guard.Run(arguments, [](std::uint32_t, std::uint32_t) { return true; });
        EXPECT_FALSE(result.endProcess);
        EXPECT_TRUE(result.firstInstance);
        EXPECT_TRUE(result.startHidden);
        EXPECT_TRUE(lock.Owned());
        EXPECT_EQ(launcher.started.size(), 1u);
    }
}

TEST_F(SingleInstanceGuardTest, AStaleLockMakesTheNextStartTheFirstInstance) {
    {
        platform::InstanceLock dead(Runtime(temp_));
        ASSERT_EQ(dead.TryAcquire(), platform::AcquireResult::Acquired);
    }
    StartFirst();
    EXPECT_TRUE(firstLock_.TookOverStaleLock());
    EXPECT_TRUE(StartAnother({}).endProcess);
    EXPECT_EQ(window_.Received(), (std::vector<Message>{{device::MSG_OPEN, device::TAG_OPEN}}));
}

}  // namespace
}  // namespace qv::app
