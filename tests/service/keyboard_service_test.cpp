// The keyboard service against the simulated keyboard, as a front end sees it: what the
// observer hears and in which order, and what the keyboard and the profile folder hold after
// each operation.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "device/key_events.h"
#include "keys/key_page.h"
#include "profiles/profile_file.h"
#include "service/keyboard_service.h"
#include "service/verbs.h"
#include "sim/fault_plan.h"
#include "sim/sim_hid_service.h"
#include "support/recording_launcher.h"
#include "texts/temp_folder.h"

namespace qv::service {
namespace {

using namespace std::chrono_literals;

// Writes down every call, in order, as short words.
class RecordingObserver final : public ServiceObserver {
public:
    void KeyboardArrived() override { Add("arrived"); }
    void KeyboardRemoved() override { Add("removed"); }
    void BusyChanged(bool busy) override { Add(busy ? "busy" : "idle"); }
    void ImageReplaced() override { Add("image"); }
    void ApplyPendingChanged(bool pending) override { Add(pending ? "pending" : "clean"); }
    void ActiveProfileChanged(int profile) override { Add("profile " + std::to_string(profile)); }
    void ProfileChangedOnKeyboard(int profile) override {
        Add("keyboard profile " + std::to_string(profile));
    }
    void LightingChanged() override { Add("lighting"); }
    void BankChanged(bool bankB) override { Add(bankB ? "bank B" : "bank A"); }
    void PlaybackChanged(bool playing) override { Add(playing ? "play" : "stop"); }
    void Notify(const ServiceNotice& notice) override {
        Add("notice " + std::to_string(static_cast<int>(notice.notice)));
    }
    bool Ask(Question question) override {
        Add("ask " + std::to_string(static_cast<int>(question)));
        return answer;
    }
    void ProgramMustEnd() override { Add("end"); }

    std::vector<std::string> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(calls_, {});
    }

    bool answer = false;

private:
    void Add(std::string call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    std::mutex mutex_;
    std::vector<std::string> calls_;
};

class KeyboardServiceTest : public ::testing::Test {
protected:
    void Open(bool captureOnArrival) {
        ServiceOptions options;
        options.session.profileFolder = folder.Path() / "profiles";
        options.session.captureOnArrival = captureOnArrival;
        options.session.firmwarePause = 0ms;
        options.transportTiming = {.replyWait = 100ms, .retryPause = 1ms};
        service = std::make_unique<KeyboardService>(keyboard, launcher, observer, options);
        ASSERT_TRUE(service->Start());
        service->WaitIdle();
    }

    keys::KeyBlock KeyboardBlock(int profile) {
        const sim::KeyboardMemory memory = keyboard.Memory();
        const auto page =
            Bytes(memory.keyPages).subspan(static_cast<std::size_t>(profile) * 192, 192);
        return keys::DecodeKeyPage(page, memory.keyDefaults).block;
    }

    sim::SimHidService keyboard;
    RecordingObserver observer;
    test::RecordingLauncher launcher;
    test::TempFolder folder;
    std::unique_ptr<KeyboardService> service;
};

TEST_F(KeyboardServiceTest, ArrivalReadsEverythingAndTellsTheFrontEndInOrder) {
    Open(true);
    EXPECT_EQ(observer.Take(), (std::vector<std::string>{"busy", "profile 0", "image", "clean",
                                                         "lighting", "idle", "arrived"}));
    EXPECT_TRUE(service->KeyboardPresent());
    EXPECT_TRUE(std::filesystem::exists(
        service->Call([](KeyboardSession& session) { return session.CurrentProfileFile(); })));
    EXPECT_EQ(test::WorkingImage(*service).blocks[0], KeyboardBlock(0));
}

TEST_F(KeyboardServiceTest, ReadingOnlyWritesNoFile) {
    Open(false);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "profiles"));
    EXPECT_TRUE(service->Snapshot()->imageFromKeyboard);
}

TEST_F(KeyboardServiceTest, ApplyWritesTheEditAndClearsPending) {
    Open(true);
    EXPECT_EQ(service->Call([](KeyboardSession& s) { return s.Apply(); }).status,
              OperationStatus::NothingToDo);
    ASSERT_EQ(test::StoreEntry(*service, 0, 0x03A, {keys::KeyKind::Disabled}).status,  // Caps Lock
              OperationStatus::Done);
    observer.Take();
    const OperationResult result = service->Call([](KeyboardSession& s) { return s.Apply(); });
    EXPECT_EQ(result.status, OperationStatus::Done);
    EXPECT_EQ(observer.Take(), (std::vector<std::string>{"busy", "clean", "idle"}));
    EXPECT_EQ(KeyboardBlock(0)[0x03A].kind, keys::KeyKind::Disabled);
    EXPECT_FALSE(service->ApplyPending());
}

TEST_F(KeyboardServiceTest, ApplyThatFailsKeepsTheEditPendingAndSaysSo) {
    Open(true);
    ASSERT_EQ(test::StoreEntry(*service, 0, 0x03A, {keys::KeyKind::Disabled}).status,
              OperationStatus::Done);
    observer.Take();
    keyboard.UnplugAfterReports(2);
    const OperationResult result = service->Call([](KeyboardSession& s) { return s.Apply(); });
    EXPECT_EQ(result.status, OperationStatus::PartlyWritten);
    EXPECT_TRUE(service->ApplyPending());
    const std::vector<std::string> calls = observer.Take();
    EXPECT_NE(std::find(calls.begin(), calls.end(),
                        "notice " + std::to_string(static_cast<int>(Notice::PartlyWritten))),
              calls.end());
}

TEST_F(KeyboardServiceTest, ImportOfABadFileChangesNothing) {
    Open(true);
    const auto before = test::WorkingImage(*service);
    const std::filesystem::path bad = folder.Path() / "bad.fwc";
    {
        std::FILE* file = std::fopen(bad.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("not a profile", file);
        std::fclose(file);
    }
    observer.Take();
    const OperationResult result = service->Call([&](KeyboardSession& s) { return s.Import(bad); });
    EXPECT_EQ(result.status, OperationStatus::FileRefused);
    EXPECT_EQ(observer.Take().back(),
              "notice " + std::to_string(static_cast<int>(Notice::ImportRefused)));
    EXPECT_EQ(test::WorkingImage(*service), before);
}

// Both front ends hear of what an import dropped: the command line through the result's
// problems, the desktop app through a notice.
TEST_F(KeyboardServiceTest, ImportOfAFileWithEntriesTheKeyboardCannotCarrySaysWhatItDropped) {
    Open(true);
    profiles::ImageContents image;
    profiles::InstallDefaultImage(image);
    image.blocks[0][0x03A] = {keys::KeyKind::Media, 0, 200};
    image.blocks[1][0x03A] = {keys::KeyKind::Disabled};
    const std::filesystem::path file = folder.Path() / "odd.fwc";
    ASSERT_TRUE(profiles::WriteImageToFile(file, image));
    observer.Take();
    const OperationResult result =
        service->Call([&](KeyboardSession& s) { return s.Import(file); });
    EXPECT_TRUE(result.Succeeded());
    EXPECT_EQ(result.problems,
              std::vector<std::string>{"profile 1, key slot 58: media key 200 is past the 18 "
                                       "media keys; dropped, the key keeps its default"});
    const std::vector<std::string> calls = observer.Take();
    EXPECT_NE(std::find(calls.begin(), calls.end(),
                        "notice " + std::to_string(static_cast<int>(Notice::ImportEntriesDropped))),
              calls.end());
    EXPECT_EQ(KeyboardBlock(0)[0x03A].kind, keys::KeyKind::Default);
    EXPECT_EQ(KeyboardBlock(1)[0x03A].kind, keys::KeyKind::Disabled);
}

TEST_F(KeyboardServiceTest, ImportWritesEveryProfileAndExportGivesItBack) {
    Open(true);
    profiles::ImageContents image;
    profiles::InstallDefaultImage(image);
    image.blocks[2][0x03A] = {keys::KeyKind::Disabled};
    const std::filesystem::path file = folder.Path() / "in.fwc";
    ASSERT_TRUE(profiles::WriteImageToFile(file, image));
    ASSERT_TRUE(service->Call([&](KeyboardSession& s) { return s.Import(file); }).Succeeded());
    EXPECT_EQ(KeyboardBlock(2)[0x03A].kind, keys::KeyKind::Disabled);

    const std::filesystem::path out = folder.Path() / "out.fwc";
    ASSERT_TRUE(service->Call([&](KeyboardSession& s) { return s.Export(out); }).Succeeded());
    profiles::ImageContents exported;
    ASSERT_TRUE(profiles::LoadImageFromFile(out, exported).Loaded());
    EXPECT_EQ(exported.blocks[2], image.blocks[2]);
}

// The desktop app hears the same verdicts the command line prints.
TEST_F(KeyboardServiceTest, AnUnreadMacroCapacityStopsEveryWriteOfTheMacroArea) {
    // Report 6 is the arrival's read of the settings block, which gives the macro capacity.
    keyboard.PlanFaults({{.kind = sim::FaultKind::Refuse, .report = 6}});
    Open(true);
    const std::filesystem::path file = folder.Path() / "in.fwc";
    ASSERT_TRUE(service->Call([&](KeyboardSession& s) { return s.Export(file); }).Succeeded());
    ASSERT_EQ(test::StoreEntry(*service, 0, 0x03A, {keys::KeyKind::Disabled}).status,
              OperationStatus::Done);
    observer.Take();
    const sim::KeyboardMemory before = keyboard.Memory();
    const std::string notice =
        "notice " + std::to_string(static_cast<int>(Notice::MacroCapacityUnknown));
    EXPECT_EQ(service->Call([](KeyboardSession& s) { return s.Apply(); }).status,
              OperationStatus::MacroCapacityUnknown);
    EXPECT_EQ(observer.Take(), std::vector<std::string>{notice});
    EXPECT_TRUE(service->ApplyPending());
    EXPECT_EQ(service->Call([&](KeyboardSession& s) { return s.Import(file); }).status,
              OperationStatus::MacroCapacityUnknown);
    EXPECT_EQ(observer.Take(), std::vector<std::string>{notice});
    EXPECT_TRUE(keyboard.Memory() == before);
}

TEST_F(KeyboardServiceTest, AnImportThatFailsIsNotLeftToApply) {
    Open(true);
    profiles::ImageContents image;
    profiles::InstallDefaultImage(image);
    image.blocks[2][0x03A] = {keys::KeyKind::Disabled};
    const std::filesystem::path file = folder.Path() / "in.fwc";
    ASSERT_TRUE(profiles::WriteImageToFile(file, image));
    const auto before = test::WorkingImage(*service);
    const auto import = [&] {
        return service->Call([&](KeyboardSession& s) { return s.Import(file); });
    };

    // The first chunk never reaches the keyboard: nothing was imported, nothing changed.
    keyboard.AddFaultsAhead({{.kind = sim::FaultKind::Refuse, .report = 2}});
    EXPECT_EQ(import().status, OperationStatus::NotWritten);
    EXPECT_EQ(test::WorkingImage(*service), before);
    EXPECT_FALSE(service->ApplyPending());

    // Half way: only importing again repairs it, as Apply writes one key page.
    keyboard.AddFaultsAhead({{.kind = sim::FaultKind::Refuse, .report = 8}});
    observer.Take();
    EXPECT_EQ(import().status, OperationStatus::PartlyWritten);
    const std::vector<std::string> calls = observer.Take();
    EXPECT_NE(std::find(calls.begin(), calls.end(),
                        "notice " + std::to_string(static_cast<int>(Notice::ImportPartlyWritten))),
              calls.end());
    EXPECT_FALSE(service->ApplyPending());
    EXPECT_NE(KeyboardBlock(2)[0x03A].kind, keys::KeyKind::Disabled);
    ASSERT_EQ(import().status, OperationStatus::Done);
    EXPECT_EQ(KeyboardBlock(2)[0x03A].kind, keys::KeyKind::Disabled);
}

TEST_F(KeyboardServiceTest, TooOldFirmwareAsksEndsAndRefusesWrites) {
    keyboard.UpdateMemory([](sim::KeyboardMemory& memory) {
        memory.settings[sim::kSettingsFirmwareVersion] = 0x06;
        memory.settings[sim::kSettingsFirmwareVersion + 1] = 0x01;
    });
    observer.answer = true;
    Open(true);
    EXPECT_EQ(observer.Take(), (std::vector<std::string>{"ask 0", "end"}));
    EXPECT_EQ(launcher.Requests().size(), 1u);
    EXPECT_EQ(service->Call([](KeyboardSession& s) { return s.SetActiveProfile(1); }).status,
              OperationStatus::FirmwareTooOld);
    EXPECT_EQ(service->Call([](KeyboardSession& s) { return s.CheckWritable(); }).status,
              OperationStatus::FirmwareTooOld);
}

TEST_F(KeyboardServiceTest, KeyboardEventsReachTheFrontEnd) {
    Open(true);
    observer.Take();
    keyboard.RaiseKeyEvent(device::KEY_EVENT_BANK_TOGGLE);
    keyboard.RaiseKeyEvent(device::KEY_EVENT_PLAY_ON);
    keyboard.RaiseKeyEvent(device::KEY_EVENT_PLAY_OFF);
    keyboard.ChangeProfileOnKeyboard(2);
    keyboard.WaitUntilIdle();
    service->WaitIdle();
    EXPECT_EQ(observer.Take(),
              (std::vector<std::string>{"bank B", "play", "stop", "keyboard profile 2"}));
    EXPECT_EQ(service->LedReport()[1] & 0x01, 1);
}

TEST_F(KeyboardServiceTest, SwitchingTheActiveProfileReadsWhatGoesWithIt) {
    Open(false);
    observer.Take();
    ASSERT_TRUE(
        service->Call([](KeyboardSession& s) { return s.SetActiveProfile(3); }).Succeeded());
    EXPECT_EQ(keyboard.Memory().settings[sim::kSettingsActiveProfile], 3);
    EXPECT_EQ(observer.Take(), (std::vector<std::string>{"busy", "profile 3", "image", "clean",
                                                         "lighting", "idle"}));
    EXPECT_EQ(service->LightingView().currentProfile, 3);
}

// An edit belongs to the profile it was made for: after the keyboard switched profile it is
// neither lost nor written to the wrong page.
TEST_F(KeyboardServiceTest, PendingChangesSurviveAProfileSwitchAndAreNotWrittenElsewhere) {
    Open(true);
    ASSERT_EQ(test::StoreEntry(*service, 0, 0x03A, {keys::KeyKind::Disabled}).status,
              OperationStatus::Done);
    ASSERT_TRUE(
        service->Call([](KeyboardSession& s) { return s.SetActiveProfile(1); }).Succeeded());
    EXPECT_EQ(test::WorkingImage(*service).blocks[0][0x03A].kind, keys::KeyKind::Disabled);
    EXPECT_TRUE(service->ApplyPending());
    observer.Take();
    EXPECT_EQ(service->Call([](KeyboardSession& s) { return s.Apply(); }).status,
              OperationStatus::ProfileChanged);
    EXPECT_EQ(observer.Take(),
              (std::vector<std::string>{
                  "notice " + std::to_string(static_cast<int>(Notice::PendingForOtherProfile))}));
    EXPECT_EQ(KeyboardBlock(1), KeyboardBlock(0)) << "nothing written to profile 2";

    ASSERT_TRUE(
        service->Call([](KeyboardSession& s) { return s.SetActiveProfile(0); }).Succeeded());
    EXPECT_EQ(service->Call([](KeyboardSession& s) { return s.Apply(); }).status,
              OperationStatus::Done);
    EXPECT_EQ(KeyboardBlock(0)[0x03A].kind, keys::KeyKind::Disabled);
}

TEST_F(KeyboardServiceTest, RemovalForgetsTheKeyboard) {
    Open(true);
    observer.Take();
    keyboard.Unplug();
    keyboard.WaitUntilIdle();
    service->WaitIdle();
    EXPECT_EQ(observer.Take(), (std::vector<std::string>{"removed"}));
    EXPECT_EQ(service->Call([](KeyboardSession& s) { return s.Capture(); }).status,
              OperationStatus::NoKeyboard);
}

}  // namespace
}  // namespace qv::service
