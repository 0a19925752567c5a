#include "app/single_instance_guard.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/recording_launcher.h"
#include "texts/temp_folder.h"

namespace qv::app {
namespace {

namespace fs = std::filesystem;

using test::TempFolder;

// The runtime folder inside a temporary folder, not yet made.
fs::path Runtime(const TempFolder& temp) {
    return temp.Path() / "run";
}

// The requests the running instance received, in order.
class Received {
public:
    platform::InstanceLock::Handler Handler() {
        return HandOffHandler([this](HandOffRequest request) {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
        });
    }
    std::vector<HandOffRequest> Requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    std::mutex mutex_;
    std::vector<HandOffRequest> requests_;
};

class SingleInstanceGuardTest : public ::testing::Test {
protected:
    // Starts the first instance, with no arguments.
    void StartFirst() {
        SingleInstanceGuard guard(firstLock_, &firstLauncher_);
        const GuardResult result = guard.Run({}, window_.Handler());
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
    Received window_;
    // A missing companion does not matter: the launchers answer that it could not start.
    test::RecordingLauncher firstLauncher_{false};
    test::RecordingLauncher laterLauncher_{false};
    platform::InstanceLock firstLock_{Runtime(temp_)};
};

TEST_F(SingleInstanceGuardTest, FirstInstanceStartsTheCompanionAndLaterStartsOpenIt) {
    StartFirst();
    EXPECT_EQ(firstLauncher_.Requests(),
              (std::vector<test::LaunchRequest>{{"Mistrel.exe", "", ""}}));

    const GuardResult later = StartAnother({"ignored", "/START"});
    EXPECT_TRUE(later.endProcess);
    EXPECT_EQ(later.exitCode, 0);
    EXPECT_FALSE(later.firstInstance);
    EXPECT_TRUE(laterLauncher_.Requests().empty());
    EXPECT_EQ(window_.Requests(), std::vector<HandOffRequest>{HandOffRequest::Open});
}

TEST_F(SingleInstanceGuardTest, KillEndsTheRunningInstanceInEitherOrder) {
    StartFirst();
    for (const auto& arguments : {std::vector<std::string>{"/Start", "/Kill"},
                                  std::vector<std::string>{"--KILL", "--start"}}) {
        const GuardResult later = StartAnother(arguments);
        EXPECT_TRUE(later.endProcess);
        EXPECT_EQ(later.exitCode, 0);
    }
    EXPECT_EQ(window_.Requests(),
              (std::vector<HandOffRequest>{HandOffRequest::Kill, HandOffRequest::Kill}));
    EXPECT_TRUE(laterLauncher_.Requests().empty());
}

TEST_F(SingleInstanceGuardTest, KillWithNoneRunningStartsNormallyAndStartStillHides) {
    for (const auto& arguments : {std::vector<std::string>{"/Start", "/kill"},
                                  std::vector<std::string>{"/Kill", "/Start"}}) {
        platform::InstanceLock lock(Runtime(temp_));
        test::RecordingLauncher launcher{false};
        SingleInstanceGuard guard(lock, &launcher);
        const GuardResult result =
            guard.Run(arguments, [](std::uint32_t, std::uint32_t) { return true; });
        EXPECT_FALSE(result.endProcess);
        EXPECT_TRUE(result.firstInstance);
        EXPECT_TRUE(result.startHidden);
        EXPECT_TRUE(lock.Owned());
        EXPECT_EQ(launcher.Requests().size(), 1u);
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
    EXPECT_EQ(window_.Requests(), std::vector<HandOffRequest>{HandOffRequest::Open});
}

TEST_F(SingleInstanceGuardTest, TheRunningInstanceOnlyHearsTheKnownHandOffs) {
    std::vector<std::uint32_t> heard;
    std::mutex mutex;
    SingleInstanceGuard guard(firstLock_, &firstLauncher_);
    ASSERT_TRUE(guard
                    .Run({},
                         [&](std::uint32_t number, std::uint32_t) {
                             std::lock_guard lock(mutex);
                             heard.push_back(number);
                             return true;
                         })
                    .firstInstance);
    platform::InstanceLock later(Runtime(temp_));
    EXPECT_EQ(later.HandOff(MSG_OPEN, FourCC("INIT")), platform::HandOffResult::NotHandled);
    EXPECT_EQ(later.HandOff(0x1234, TAG_OPEN), platform::HandOffResult::NotHandled);
    EXPECT_EQ(later.HandOff(MSG_OPEN, TAG_OPEN), platform::HandOffResult::Handled);
    std::lock_guard lock(mutex);
    EXPECT_EQ(heard, std::vector<std::uint32_t>{MSG_OPEN});
}

TEST_F(SingleInstanceGuardTest, AnUnsafeLockFolderEndsTheStartWithItsReason) {
    ASSERT_EQ(::mkdir(Runtime(temp_).c_str(), 0700), 0);
    ASSERT_EQ(::chmod(Runtime(temp_).c_str(), 0755), 0);
    for (const auto& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{"/Kill", "/Start"}}) {
        const GuardResult result = StartAnother(arguments);
        EXPECT_TRUE(result.endProcess);
        EXPECT_EQ(result.exitCode, kInstanceRefusedExitCode);
        EXPECT_FALSE(result.firstInstance);
        EXPECT_EQ(result.refusal,
                  "cannot make sure that only one instance runs: " + Runtime(temp_).string() +
                      ": the folder has mode 0755; only its owner may enter it "
                      "(0700)");
    }
    EXPECT_TRUE(laterLauncher_.Requests().empty());
}

TEST(HandOffTest, OnlyOpenAndKillWithTheirOwnTagsAreRequests) {
    struct Case {
        std::uint32_t number;
        std::uint32_t tag;
        std::optional<HandOffRequest> request;
    };
    const std::vector<Case> cases{
        {MSG_OPEN, TAG_OPEN, HandOffRequest::Open},
        {0x5350, 0x4F50454E, HandOffRequest::Open},
        {MSG_KILL, TAG_KILL, HandOffRequest::Kill},
        {0x4D4B, 0x4C4C494B, HandOffRequest::Kill},
        // KILL read first-character-first is not the tag a later start sends.
        {MSG_KILL, FourCC("KILL"), std::nullopt},
        {MSG_OPEN, TAG_KILL, std::nullopt},
        {MSG_KILL, TAG_OPEN, std::nullopt},
        {MSG_OPEN, FourCC("INIT"), std::nullopt},
        {MSG_OPEN, 0, std::nullopt},
        {0x4D4E, FourCC("INIT"), std::nullopt},
        {0x1234, TAG_OPEN, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.number << "/" << c.tag);
        EXPECT_EQ(AcceptHandOff(c.number, c.tag), c.request);
        EXPECT_EQ(IsHandOffAccepted(c.number, c.tag), c.request.has_value());
        bool delivered = false;
        const auto handler = HandOffHandler([&](HandOffRequest) { delivered = true; });
        EXPECT_EQ(handler(c.number, c.tag), c.request.has_value());
        EXPECT_EQ(delivered, c.request.has_value());
    }
}

}  // namespace
}  // namespace qv::app
