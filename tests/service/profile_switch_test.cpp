// The desktop app's profile switch, report-rate write and Default command against the
// simulated keyboard: what each answer to the pending-changes question does to the keyboard and
// the working image, what a refused write leaves behind, and the bytes the keyboard is sent.

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "app/keyboard_view_model.h"
#include "app/main_window_commands.h"
#include "device/device_report.h"
#include "keys/key_page.h"
#include "service/keyboard_service.h"
#include "service/verbs.h"
#include "sim/keyboard_layout.h"
#include "sim/sim_hid_service.h"
#include "support/recording_launcher.h"
#include "texts/temp_folder.h"

// Cases name only the fields they change; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace qv::service {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kCapsLock = 0x03A;
constexpr keys::KeyEntry kDisabled{.kind = keys::KeyKind::Disabled};

class ProfileObserver final : public ServiceObserver {
public:
    void ActiveProfileChanged(int profile) override { Add("profile " + std::to_string(profile)); }
    void Notify(const ServiceNotice& notice) override {
        Add("notice " + std::to_string(static_cast<int>(notice.notice)));
    }
    std::vector<std::string> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(calls_, {});
    }

private:
    void Add(std::string call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    std::mutex mutex_;
    std::vector<std::string> calls_;
};

class ProfileSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ServiceOptions options;
        options.session.profileFolder = folder_.Path() / "profiles";
        options.session.firmwarePause = 0ms;
        options.transportTiming = {.replyWait = 100ms, .retryPause = 1ms};
        service_ = std::make_unique<KeyboardService>(keyboard_, launcher_, observer_, options);
        ASSERT_TRUE(service_->Start());
        service_->WaitIdle();
        (void)observer_.Take();
    }

    // An edit of Caps Lock in profile `profile` of the working image, pending for it.
    void Edit(int profile) {
        ASSERT_EQ(test::StoreEntry(*service_, profile, kCapsLock, kDisabled).status,
                  OperationStatus::Done);
    }

    OperationResult Switch(int profile, PendingChoice pending) {
        return service_->Call(
            [&](KeyboardSession& session) { return session.SwitchProfile(profile, pending); });
    }

    int KeyboardProfile() { return keyboard_.Memory().settings[sim::kSettingsActiveProfile]; }
    keys::KeyEntry KeyboardEntry(int profile, std::size_t slot) {
        const sim::KeyboardMemory memory = keyboard_.Memory();
        const auto page =
            Bytes(memory.keyPages)
                .subspan(static_cast<std::size_t>(profile) * sim::kKeyPageSize, sim::kKeyPageSize);
        return keys::DecodeKeyPage(page, memory.keyDefaults).block[slot];
    }
    keys::KeyEntry ImageEntry(int profile, std::size_t slot) {
        return test::WorkingImage(*service_).blocks[static_cast<std::size_t>(profile)][slot];
    }
    // The reports sent with this command, in order.
    std::vector<device::ReportBytes> Sent(std::uint8_t command) {
        std::vector<device::ReportBytes> sent;
        for (const device::ReportBytes& report : keyboard_.SentReports()) {
            if (report[device::kCommandOffset] == command) {
                sent.push_back(report);
            }
        }
        return sent;
    }

    test::TempFolder folder_;
    sim::SimHidService keyboard_;
    ProfileObserver observer_;
    test::RecordingLauncher launcher_{false};
    std::unique_ptr<KeyboardService> service_;
};

// The three ways with changes made for the profile being left: applied to it first, dropped,
// or kept (the choice when switching to the profile they were made for).
struct PendingCase {
    const char* name;
    PendingChoice choice;
    keys::KeyEntry onKeyboard;  // Caps Lock of profile 1 on the keyboard afterwards
    keys::KeyEntry inImage;
    bool pendingAfter;
};

class PendingChoiceTest : public ProfileSwitchTest,
                          public ::testing::WithParamInterface<PendingCase> {};

TEST_P(PendingChoiceTest, OnASwitch) {
    const PendingCase& c = GetParam();
    Edit(0);
    ASSERT_TRUE(Switch(1, c.choice).Succeeded());
    EXPECT_EQ(KeyboardProfile(), 1);
    EXPECT_EQ(KeyboardEntry(0, kCapsLock), c.onKeyboard);
    EXPECT_EQ(ImageEntry(0, kCapsLock), c.inImage);
    EXPECT_EQ(service_->ApplyPending(), c.pendingAfter);
    EXPECT_EQ(observer_.Take().back(), "profile 1");
}

INSTANTIATE_TEST_SUITE_P(Answers, PendingChoiceTest,
                         ::testing::Values(PendingCase{"ApplyFirst", PendingChoice::ApplyFirst,
                                                       kDisabled, kDisabled, false},
                                           PendingCase{"Drop", PendingChoice::Drop, {}, {}, false},
                                           PendingCase{
                                               "Keep", PendingChoice::Keep, {}, kDisabled, true}),
                         [](const ::testing::TestParamInfo<PendingCase>& param) {
                             return std::string(param.param.name);
                         });

TEST_F(ProfileSwitchTest, AnApplyTheKeyboardRefusesStopsTheSwitchAndKeepsTheChanges) {
    Edit(0);
    keyboard_.AnswerStatus(device::kStatusFailFF, 3);
    const OperationResult result = Switch(2, PendingChoice::ApplyFirst);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_EQ(KeyboardProfile(), 0);
    EXPECT_TRUE(service_->ApplyPending());
    EXPECT_EQ(ImageEntry(0, kCapsLock), kDisabled);
}

// The keyboard switched by itself after the edit: the edit still reaches the profile it was
// made for before the keyboard goes where the user asked.
TEST_F(ProfileSwitchTest, ApplyFirstWritesToTheProfileTheChangesWereMadeFor) {
    Edit(0);
    keyboard_.ChangeProfileOnKeyboard(2);
    service_->WaitIdle();
    keyboard_.WaitUntilIdle();
    service_->WaitIdle();
    ASSERT_TRUE(
        service_->Call([](KeyboardSession& s) { return s.SetActiveProfile(2); }).Succeeded());
    ASSERT_TRUE(Switch(3, PendingChoice::ApplyFirst).Succeeded());
    EXPECT_EQ(KeyboardEntry(0, kCapsLock), kDisabled);
    EXPECT_EQ(KeyboardEntry(2, kCapsLock), keys::KeyEntry{});
    EXPECT_EQ(KeyboardProfile(), 3);
    EXPECT_FALSE(service_->ApplyPending());
}

// Dropped changes never linger in the working image, even when the keyboard then refuses the
// switch itself.
TEST_F(ProfileSwitchTest, ASwitchRefusedAfterDroppingReadsTheKeyboardAgain) {
    Edit(0);
    // The switch reads the settings block first: the keyboard refuses it (every attempt).
    keyboard_.AnswerStatus(device::kStatusFailFF, 3);
    const OperationResult result = Switch(1, PendingChoice::Drop);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_FALSE(service_->ApplyPending());
    EXPECT_EQ(ImageEntry(0, kCapsLock), keys::KeyEntry{});
}

TEST_F(ProfileSwitchTest, EveryReportRateClickWritesItsIndexToOffset15OfTheCurrentRecord) {
    ASSERT_TRUE(Switch(1, PendingChoice::Keep).Succeeded());
    keyboard_.ClearSentReports();
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(
            service_->Call([](KeyboardSession& s) { return s.WriteReportRate(2); }).Succeeded());
    }
    const std::vector<device::ReportBytes> writes = Sent(device::CMD_WRITE_LIGHTING);
    ASSERT_EQ(writes.size(), 2u);
    for (const device::ReportBytes& report : writes) {
        EXPECT_EQ(report[device::kLengthOffset], 1);
        EXPECT_EQ(ReadU16LE(report, device::kAreaOffsetOffset), 64 + 15);
        EXPECT_EQ(report[device::kPayloadOffset], 2);
    }
    EXPECT_EQ(Sent(device::CMD_BEGIN_TRANSFER).size(), 2u);
    EXPECT_EQ(Sent(device::CMD_END_TRANSFER).size(), 2u);
    EXPECT_EQ(keyboard_.Memory().lighting[64 + 15], 2);
    EXPECT_EQ(service_->LightingView().state.reportRate, 2);

    // Every attempt of the bracket refused: the rate read back is still 2, and shown so.
    keyboard_.AnswerStatus(device::kStatusFailFF, 9);
    EXPECT_FALSE(
        service_->Call([](KeyboardSession& s) { return s.WriteReportRate(3); }).Succeeded());
    EXPECT_EQ(service_->LightingView().state.reportRate, 2);
}

TEST_F(ProfileSwitchTest, DefaultResetsTheShownKeysOfTheActiveProfileAndApplies) {
    const std::size_t g1A = app::GKeySlot(0, false);
    const auto apply = [this] {
        return service_->Call([](KeyboardSession& s) { return s.Apply(); }).Succeeded();
    };
    // Profile 2 keeps an edit of its own.
    ASSERT_TRUE(Switch(1, PendingChoice::Keep).Succeeded());
    Edit(1);
    ASSERT_TRUE(apply());
    ASSERT_TRUE(Switch(0, PendingChoice::Keep).Succeeded());
    Edit(0);
    ASSERT_EQ(test::StoreEntry(*service_, 0, g1A, {keys::KeyKind::Disabled, 0x0301}).status,
              OperationStatus::Done);
    ASSERT_TRUE(apply());
    ASSERT_EQ(KeyboardEntry(0, g1A).kind, keys::KeyKind::Disabled);

    const std::vector<std::size_t> shown = app::DefaultCommandSlots(false);
    ASSERT_TRUE(
        service_->Call([&](KeyboardSession& s) { return s.RestoreDefaults(shown); }).Succeeded());
    EXPECT_EQ(KeyboardEntry(0, kCapsLock), keys::KeyEntry{});
    EXPECT_EQ(KeyboardEntry(0, g1A).kind, keys::KeyKind::Default);
    // Another profile is not the active one.
    EXPECT_EQ(ImageEntry(1, kCapsLock), kDisabled);
    EXPECT_EQ(KeyboardEntry(1, kCapsLock), kDisabled);
    EXPECT_FALSE(service_->ApplyPending());
}

}  // namespace
}  // namespace qv::service
