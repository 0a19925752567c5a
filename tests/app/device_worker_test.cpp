#include "app/device_worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "app/main_window_rig.h"
#include "device/device_report.h"

namespace qv::device {
namespace {

using namespace std::chrono_literals;
using test::MainWindowRig;
using test::RigOptions;
using Log = std::vector<std::string>;

// A keyboard whose key default table differs from the built-in one, so a read shows.
sim::KeyboardMemory DistinctKeyboard() {
    sim::KeyboardMemory memory = sim::FactoryMemory();
    memory.keyDefaults[0] ^= 0x5A;
    memory.settings[sim::kSettingsMacroCapacity] = 10;
    sim::FitMacroAreaToCapacity(memory);
    return memory;
}

TEST(DeviceWorkerTest, LaterArrivalReadsTheKeyboardButLeavesTheWindowHidden) {
    MainWindowRig rig({.plugged = false, .memory = DistinctKeyboard()});
    rig.Start();
    rig.Settle();
    EXPECT_EQ(rig.log.Entries(),
              (Log{"SetApplyEnabled 0", "CreateTrayIcon", "BuildProfileMenu", "HideWindow"}));
    EXPECT_TRUE(rig.link.OpenedOnce()) << "no keyboard at start: no arrival opens the window";

    rig.log.Clear();
    rig.keyboard.Plug();
    rig.Settle();
    EXPECT_EQ(rig.log.Entries(),
              (Log{"ReloadProfileFromDevice", "RefreshProfileList", "ShowProfileSlot 0",
                   "RefreshLightingPanel", "SetTrayIcon 141"}));
    EXPECT_EQ(rig.facts.KeyDefaults(), rig.keyboard.Memory().keyDefaults);
    EXPECT_EQ(rig.facts.MacroCapacity(), 1280u);
    EXPECT_EQ(rig.link.LastDeviceCount(), 1);
    EXPECT_TRUE(rig.prompt.Messages().empty());
}

TEST(DeviceWorkerTest, KeyboardAtStartOpensTheWindowOnceAfterInitUnlessStartedWithStart) {
    for (const bool startedWithStart : {false, true}) {
        SCOPED_TRACE(startedWithStart ? "/Start" : "no switch");
        MainWindowRig rig({.startedWithStart = startedWithStart});
        // No MSG_INIT yet: the worker reads the keyboard, then waits for the window.
        ASSERT_TRUE(rig.transport->Load(&rig.worker));
        rig.PumpUntilLogged("RefreshLightingPanel");
        rig.loop.RunUntilIdle();
        EXPECT_FALSE(rig.worker.IsIdle());
        EXPECT_FALSE(rig.log.Contains("SetTrayIcon 141"));
        EXPECT_FALSE(rig.log.Contains("OpenWindow"));

        rig.log.Clear();
        rig.loop.Post({MSG_INIT, TAG_INIT});
        rig.Settle();
        Log expected{"CreateTrayIcon", "BuildProfileMenu", "HideWindow", "SetTrayIcon 141"};
        if (!startedWithStart) {
            expected.push_back("OpenWindow");
        }
        EXPECT_EQ(rig.log.Entries(), expected);

        // Later arrivals never open it.
        rig.keyboard.Unplug();
        rig.Settle();
        rig.keyboard.Plug();
        rig.Settle();
        EXPECT_EQ(rig.log.Count("OpenWindow"), startedWithStart ? 0u : 1u);
    }
}

TEST(DeviceWorkerTest, RemovalClosesSubDialogsHidesTheWindowAndForgetsTheProfile) {
    MainWindowRig rig({.startedWithStart = true});
    rig.Start();
    rig.Settle();
    ASSERT_EQ(rig.activeProfile.Cached(), 0);

    rig.log.Clear();
    rig.keyboard.Unplug();
    rig.Settle();
    EXPECT_EQ(rig.log.Entries(), (Log{"CloseSubDialogs", "HideWindow", "SetTrayIcon 128"}));
    EXPECT_EQ(rig.activeProfile.Cached(), lighting::ActiveProfile::kUnknown);
    EXPECT_EQ(rig.link.LastDeviceCount(), 0);
}

TEST(DeviceWorkerTest, ReportOfTheSameCountDoesNothing) {
    MainWindowRig rig;
    rig.Start();
    rig.Settle();
    rig.log.Clear();
    rig.keyboard.ClearSentReports();

    rig.worker.OnPresenceReport(1);
    rig.Settle();
    EXPECT_TRUE(rig.log.Entries().empty());
    EXPECT_TRUE(rig.keyboard.SentReports().empty());
}

TEST(DeviceWorkerTest, UnreadableKeyDefaultsAreReportedAndTheWorkerGoesOn) {
    MainWindowRig rig({.memory = DistinctKeyboard()});
    // Fail exactly the key default read, when it goes out.
    std::atomic<bool> armed = false;
    rig.transport->SetTrace([&](TraceDirection direction, std::uint32_t, Bytes report) {
        if (direction == TraceDirection::Sent && report[kCommandOffset] == CMD_READ_KEY_DEFAULTS &&
            !armed.exchange(true)) {
            rig.keyboard.AnswerStatus(0xFF, 3);
        }
    });
    rig.Start();
    rig.Settle();

    EXPECT_EQ(rig.prompt.Messages(), std::vector<std::string>{test::kDefaultsUnreadableText});
    EXPECT_EQ(rig.facts.KeyDefaults(), keys::kBuiltInKeyDefaultTable);
    EXPECT_EQ(rig.facts.MacroCapacity(), 1280u);
    EXPECT_TRUE(rig.log.Contains("ReloadProfileFromDevice"));
    EXPECT_TRUE(rig.log.Contains("SetTrayIcon 141"));
}

TEST(DeviceWorkerTest, FirmwareTooOldEndsTheProgramBeforeAnythingIsRead) {
    sim::KeyboardMemory memory = sim::FactoryMemory();
    WriteU16LE(memory.settings, sim::kSettingsFirmwareVersion, 0x0106);
    MainWindowRig rig({.memory = memory});
    rig.Start();
    rig.Settle();

    EXPECT_TRUE(rig.log.Contains("EndProgram 0"));
    EXPECT_FALSE(rig.log.Contains("ReloadProfileFromDevice"));
    EXPECT_FALSE(rig.log.Contains("SetTrayIcon 141"));
    const std::vector<std::uint8_t> sent = rig.SentCommands();
    EXPECT_EQ(sent, std::vector<std::uint8_t>{CMD_READ_SETTINGS});

    // The worker is done for good.
    rig.keyboard.Unplug();
    rig.Settle();
    EXPECT_FALSE(rig.log.Contains("CloseSubDialogs"));
}

TEST(DeviceWorkerTest, BankToggleFlipsTheLedReportAndRefreshesTheBankKeys) {
    MainWindowRig rig;
    rig.Start();
    rig.Settle();
    {
        auto image = rig.profileImage.Lock();
        image->blocks[0][keys::kFirstGKeySlot + 9 + 2].kind = keys::KeyKind::Key;  // B3
        image->blocks[1][keys::kFirstGKeySlot].kind = keys::KeyKind::Key;  // another profile
    }

    rig.keyboard.RaiseKeyEvent(KEY_EVENT_BANK_TOGGLE);
    rig.Settle();
    EXPECT_EQ(rig.transport->LedReport(), (LedReportBytes{0x05, 0x03}));
    EXPECT_EQ(rig.keyboard.LedReport(), (std::array<std::uint8_t, 2>{0x05, 0x03}));
    ASSERT_EQ(rig.view.bankKeys.size(), 1u);
    EXPECT_EQ(rig.view.bankKeys[0],
              (app::BankKeys{true,
                             {false, false, true, false, false, false, false, false, false},
                             {"B1", "B2", "B3", "B4", "B5", "", "", "", ""}}));

    rig.keyboard.RaiseKeyEvent(KEY_EVENT_BANK_TOGGLE);
    rig.Settle();
    EXPECT_EQ(rig.transport->LedReport(), kInitialLedReport);
    EXPECT_EQ(rig.keyboard.LedReport(), (std::array<std::uint8_t, 2>{0x05, 0x02}));
    ASSERT_EQ(rig.view.bankKeys.size(), 2u);
    EXPECT_EQ(rig.view.bankKeys[1],
              (app::BankKeys{false, {}, {"A1", "A2", "A3", "A4", "A5", "", "", "", ""}}));
}

TEST(DeviceWorkerTest, OtherKeyEventsHaveNoEffect) {
    MainWindowRig rig;
    rig.Start();
    rig.Settle();
    rig.log.Clear();
    rig.keyboard.ClearSentReports();

    for (const std::uint16_t code :
         std::vector<std::uint16_t>{0x1801, 0x1802, 0x1803, 0x1804, 0x0000, 0x02FE, 0x0402}) {
        rig.keyboard.RaiseKeyEvent(code);
    }
    rig.Settle();
    EXPECT_TRUE(rig.log.Entries().empty());
    EXPECT_TRUE(rig.keyboard.SentReports().empty());
    EXPECT_EQ(rig.transport->LedReport(), kInitialLedReport);
}

TEST(DeviceWorkerTest, PlaybackShowsThePlayIconAndRestoresTheStateIconInOrder) {
    MainWindowRig rig;
    rig.Start();
    rig.Settle();
    rig.log.Clear();

    rig.keyboard.RaiseKeyEvent(KEY_EVENT_PLAY_ON);
    rig.keyboard.RaiseKeyEvent(KEY_EVENT_PLAY_ON);  // already shown: nothing
    rig.keyboard.RaiseKeyEvent(KEY_EVENT_PLAY_OFF);
    rig.keyboard.RaiseKeyEvent(KEY_EVENT_PLAY_ON);
    rig.keyboard.RaiseKeyEvent(KEY_EVENT_PLAY_OFF);
    rig.Settle();
    EXPECT_EQ(rig.log.Entries(),
              (Log{"SetTrayIcon 142", "SetTrayIcon 141", "SetTrayIcon 142", "SetTrayIcon 141"}));

    // Playing when the keyboard goes: the state icon that comes back is the new one.
    rig.log.Clear();
    rig.keyboard.RaiseKeyEvent(KEY_EVENT_PLAY_ON);
    rig.Settle();
    rig.keyboard.Unplug();
    rig.Settle();
    EXPECT_EQ(rig.log.Entries(),
              (Log{"SetTrayIcon 142", "CloseSubDialogs", "HideWindow", "SetTrayIcon 128"}));
}

TEST(DeviceWorkerTest, SettingsChangedOnTheKeyboardFollowsItsProfile) {
    MainWindowRig rig;
    rig.Start();
    rig.Settle();
    ASSERT_EQ(rig.lighting.currentProfile(), 0);

    rig.log.Clear();
    rig.keyboard.ChangeProfileOnKeyboard(0);  // the profile shown: only its lighting
    rig.Settle();
    EXPECT_EQ(rig.log.Entries(), Log{"RefreshLightingPanel"});

    rig.log.Clear();
    rig.keyboard.AnswerStatus(0xFF, 3);  // the settings read fails: nothing changes
    rig.keyboard.ChangeProfileOnKeyboard(3);
    rig.Settle();
    EXPECT_TRUE(rig.log.Entries().empty());

    rig.keyboard.ChangeProfileOnKeyboard(2);
    rig.Settle();
    EXPECT_EQ(rig.log.Entries(), Log{"SwitchProfileSlot 2"});
    // The slot switch then finds the keyboard already on profile 2.
    EXPECT_EQ(rig.activeProfile.GetActiveProfile(rig.commands), 2);
}

TEST(DeviceWorkerTest, QuickPlugAndUnplugEndsInTheStateOfTheLastReport) {
    MainWindowRig rig({.startedWithStart = true});
    rig.Start();
    rig.Settle();

    constexpr int kCycles = 5;
    std::atomic<bool> done = false;
    std::thread user([&] {
        for (int i = 0; i < kCycles; ++i) {
            rig.keyboard.Unplug();
            rig.keyboard.Plug();
        }
        done = true;
    });
    // The window keeps handling messages meanwhile, as it would.
    ASSERT_TRUE(rig.loop.RunUntil([&] { return done.load(); }, 10s));
    user.join();
    rig.Settle();

    EXPECT_EQ(rig.link.LastDeviceCount(), 1);
    EXPECT_EQ(rig.log.Count("CloseSubDialogs"), static_cast<std::size_t>(kCycles));
    EXPECT_EQ(rig.log.Count("ReloadProfileFromDevice"), static_cast<std::size_t>(kCycles + 1));
    const Log entries = rig.log.Entries();
    const auto lastIcon = std::find_if(entries.rbegin(), entries.rend(), [](const std::string& e) {
        return e.starts_with("SetTrayIcon");
    });
    ASSERT_NE(lastIcon, entries.rend());
    EXPECT_EQ(*lastIcon, "SetTrayIcon 141");
    EXPECT_EQ(rig.activeProfile.Cached(), 0);
}

TEST(DeviceWorkerTest, ShutdownEndsAWorkerThatWaitsForTheWindow) {
    // The window never handles the firmware check: the worker waits in its Send.
    {
        MainWindowRig rig;
        ASSERT_TRUE(rig.transport->Load(&rig.worker));
    }
    // The window never handles MSG_INIT: the worker waits for init to complete.
    {
        MainWindowRig rig;
        ASSERT_TRUE(rig.transport->Load(&rig.worker));
        rig.PumpUntilLogged("RefreshLightingPanel");
    }
}

}  // namespace
}  // namespace qv::device
