// Lighting and per-key colour changes through the keyboard session's verbs: planned on what the
// keyboard holds, written with what goes with them, and never shown when they were not kept.

#include <gtest/gtest.h>

#include <filesystem>

#include "device/device_report.h"
#include "lighting/user_colour_file.h"
#include "service/keyboard_service.h"
#include "sim/sim_hid_service.h"
#include "support/recording_launcher.h"
#include "texts/temp_folder.h"

namespace qv::service {
namespace {

using namespace std::chrono_literals;
using Control = lighting::LightingChange::Control;
using Kind = lighting::ColourChange::Kind;

constexpr int kSlotCapsLock = 25;

class LightingVerbsTest : public ::testing::Test {
protected:
    void Start() {
        ServiceOptions options;
        options.session.profileFolder = folder.Path();
        options.session.captureOnArrival = false;
        options.session.colourPageOnArrival = false;
        options.session.firmwarePause = 0ms;
        options.transportTiming = {.replyWait = 100ms, .retryPause = 1ms, .endTransferPause = 0ms};
        service = std::make_unique<KeyboardService>(keyboard, launcher, observer, options);
        ASSERT_TRUE(service->Start());
        service->WaitIdle();
    }

    LightingChangeResult Change(int profile, std::vector<lighting::LightingChange> changes) {
        return service->Call([&](KeyboardSession& s) {
            return s.ChangeLighting({profile, std::move(changes)});
        });
    }
    ColourChangeResult Change(const lighting::ColourChange& change) {
        return service->Call([&](KeyboardSession& s) { return s.ChangeColours(change); });
    }
    lighting::Colour PageColour(int profile, int slot) {
        const sim::KeyboardMemory memory = keyboard.Memory();
        return lighting::ColourFromBytes(std::span(memory.colourPages)
                                             .subspan(static_cast<std::size_t>(profile) * 192 +
                                                          static_cast<std::size_t>(slot) * 3,
                                                      3));
    }

    test::TempFolder folder;
    sim::SimHidService keyboard;
    ServiceObserver observer;
    test::RecordingLauncher launcher{false};
    std::unique_ptr<KeyboardService> service;
};

TEST_F(LightingVerbsTest, ValuesHeldAreNotWrittenAndAnotherProfileLeavesThePanelAlone) {
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) {
        m.lighting[1] = 2;       // profile 1's brightness
        m.lighting[64 + 1] = 4;  // profile 2's
    });
    Start();
    const LightingChangeResult same = Change(0, {{Control::Brightness, 2}, {Control::Speed, 0}});
    EXPECT_TRUE(same.result.Succeeded());
    EXPECT_EQ(same.changed, (std::vector<bool>{false, keyboard.Memory().lighting[2] == 0}));

    const LightingChangeResult other = Change(1, {{Control::Brightness, 0}});
    EXPECT_EQ(other.changed, std::vector<bool>{true});
    EXPECT_EQ(keyboard.Memory().lighting[64 + 1], 0);
    const LightingSnapshot shown = service->LightingView();
    EXPECT_EQ(shown.panel.CurrentProfile(), 0);
    EXPECT_EQ(shown.panel.State().brightness, 2);
    EXPECT_EQ(shown.mirror.records[1][lighting::kBrightnessField], 0);
}

TEST_F(LightingVerbsTest, AModeTheKeyboardCannotShowIsRefusedWithNothingWritten) {
    Start();
    const std::uint8_t brightness = keyboard.Memory().lighting[1];
    keyboard.ClearSentReports();
    for (const int mode : {0, 99}) {
        const LightingChangeResult refused =
            Change(0, {{Control::Brightness, brightness == 0 ? 1 : 0}, {Control::Mode, mode}});
        EXPECT_EQ(refused.result.status, OperationStatus::LightingRefused) << mode;
        EXPECT_EQ(refused.result.lightingRefusal, lighting::LightingRefusal::NoSuchMode);
    }
    EXPECT_TRUE(keyboard.SentReports().empty());
    EXPECT_EQ(keyboard.Memory().lighting[1], brightness);
}

TEST_F(LightingVerbsTest, ChoosingThePerKeyModeWritesTheSchemeInUse) {
    lighting::UserColourFile file;
    file.SetSlot(0, kSlotCapsLock, {0x123456, false});
    ASSERT_FALSE(file.Save(lighting::UserColourFilePath(folder.Path(), 1)));
    Start();
    const LightingChangeResult chosen = Change(1, {{Control::Mode, lighting::kPerKeyColourMode}});
    ASSERT_TRUE(chosen.result.Succeeded());
    EXPECT_EQ(keyboard.Memory().lighting[64], lighting::kPerKeyColourMode);
    EXPECT_EQ(PageColour(1, kSlotCapsLock), 0x123456u);
}

TEST_F(LightingVerbsTest, AColourChangeTheFileCannotKeepIsNeitherWrittenNorShown) {
    Start();
    const auto painted = Change(lighting::ColourChange::Of(Kind::PaintKeyWith, 0)
                                    .WithKey(lighting::ViewKey::Main(keys::KeyCode{0x01E}))
                                    .WithColour(0x00FF00));
    ASSERT_TRUE(painted.result.Succeeded());
    const lighting::Colour kept = PageColour(0, painted.slot);
    EXPECT_EQ(kept, 0x00FF00u);

    const std::filesystem::path path = lighting::UserColourFilePath(folder.Path(), 0);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    const auto refused = Change(lighting::ColourChange::Of(Kind::Fill, 0).WithColour(0x0000FF));
    EXPECT_EQ(refused.result.status, OperationStatus::FileNotSaved);
    ASSERT_EQ(refused.result.problems.size(), 1u);
    EXPECT_EQ(PageColour(0, painted.slot), kept);
    EXPECT_EQ(lighting::SlotColour(service->LightingView().colours.Page(0), painted.slot), kept);
}

TEST_F(LightingVerbsTest, ARefusedReportRateIsShownAsTheKeyboardHoldsIt) {
    Start();
    const std::uint8_t held = keyboard.Memory().lighting[lighting::kReportRateField];
    const int asked = held == 2 ? 1 : 2;
    // The bracket's write is refused; the read-back after it is answered.
    keyboard.AddFaultsAhead({{.kind = sim::FaultKind::Refuse, .report = 2}});
    const OperationResult refused =
        service->Call([asked](KeyboardSession& s) { return s.WriteReportRate(asked); });
    EXPECT_FALSE(refused.Succeeded());
    EXPECT_EQ(keyboard.Memory().lighting[lighting::kReportRateField], held);
    const LightingSnapshot shown = service->LightingView();
    EXPECT_EQ(shown.state.reportRate, held);
    EXPECT_EQ(shown.panel.State().reportRate, held);
    EXPECT_EQ(shown.mirror.records[0][lighting::kReportRateField], held);
}

TEST_F(LightingVerbsTest, EveryLightingReadAndWriteIsInsideATransferBracket) {
    keyboard.UpdateMemory(
        [](sim::KeyboardMemory& m) { m.lighting[0] = lighting::kPerKeyColourMode; });
    Start();
    keyboard.ClearSentReports();
    (void)Change(1, {{Control::Brightness, 0}, {Control::SingleColour, 0x00FF00}});
    (void)Change(lighting::ColourChange::Of(Kind::PaintKeyWith, 0)
                     .WithKey(lighting::ViewKey::Main(keys::KeyCode{0x01E}))
                     .WithColour(0x0000FF));
    (void)Change(lighting::ColourChange::Of(Kind::SelectScheme, 0).WithValue(2));
    // A refused write is read back, inside a bracket of its own.
    keyboard.AnswerStatus(0xFF, 1);
    (void)Change(0, {{Control::Brightness, 1}});
    service->Call([](KeyboardSession& s) {
        s.RefreshLighting();
        return 0;
    });
    bool open = false;
    int carried = 0;
    for (const auto& bytes : keyboard.SentReports()) {
        const std::uint8_t command = device::DeviceReport(bytes).Command();
        if (command == device::CMD_BEGIN_TRANSFER || command == device::CMD_END_TRANSFER) {
            open = command == device::CMD_BEGIN_TRANSFER;
        } else if (command == device::CMD_READ_LIGHTING || command == device::CMD_WRITE_LIGHTING ||
                   command == device::CMD_WRITE_KEY_COLOURS) {
            EXPECT_TRUE(open) << "command " << int(command);
            ++carried;
        }
    }
    EXPECT_GT(carried, 8);
}

}  // namespace
}  // namespace qv::service
