#include "app/main_window_core.h"

#include <gtest/gtest.h>

#include "app/main_window_rig.h"
#include "ui/text_slots.h"

namespace qv::app {
namespace {

using device::Message;
using device::MessageReply;
using test::MainWindowRig;
using Log = std::vector<std::string>;

TEST(MainWindowCoreTest, AMessageActsOnlyWithItsOwnTag) {
    MainWindowRig rig({.startedWithStart = true});
    rig.Start();
    rig.Settle();
    struct Case {
        Message message;
        Log effect;  // empty: ignored
    };
    const std::vector<Case> cases{
        {{device::MSG_DEVICE_GONE, device::TAG_DEVICE_GONE}, {"CloseSubDialogs"}},
        {{device::MSG_DEVICE_GONE, device::TAG_OPEN}, {}},
        {{device::MSG_LANGUAGE, device::TAG_LANG, 3}, {"LoadTexts 3"}},
        {{device::MSG_LANGUAGE, device::TAG_LED, 3}, {}},
        {{device::MSG_HIDE_WINDOW, device::TAG_HIDE}, {"HideWindow"}},
        {{device::MSG_OPEN, device::TAG_OPEN}, {"OpenWindow"}},
        {{device::MSG_OPEN, device::TAG_INIT}, {}},
        {{device::MSG_OPEN, 0}, {}},
        {{device::MSG_INIT, device::TAG_OPEN}, {}},
        {{device::MSG_PROFILE, device::TAG_LED}, {}},
        {{device::MSG_BANK, device::TAG_PROF}, {}},
        // KILL read first-character-first is not the tag a second instance sends.
        {{device::MSG_KILL, FourCC("KILL")}, {}},
        {{device::MSG_TRAY_ICON, device::TAG_LED, device::kIconPlay}, {}},
        {{device::MSG_PROGRESS, device::TAG_TRAY, 0}, {}},
        {{device::MSG_TIMER, device::kTimerPerKeyReset}, {}},
        {{device::MSG_TIMER, 4711}, {}},
        {{0x1234, device::TAG_OPEN}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.message.number << "/" << c.message.tag);
        rig.log.Clear();
        rig.keyboard.ClearSentReports();
        const MessageReply reply = rig.core.Handle(c.message);
        EXPECT_EQ(reply, c.effect.empty() ? MessageReply::Ignored : MessageReply::Handled);
        EXPECT_EQ(rig.log.Entries(), c.effect);
        EXPECT_TRUE(rig.keyboard.SentReports().empty());
    }
}

TEST(MainWindowCoreTest, OpenWithoutAKeyboardTellsTheUserInstead) {
    MainWindowRig rig({.plugged = false});
    rig.Start();
    rig.Settle();
    rig.log.Clear();

    EXPECT_EQ(rig.core.Handle({device::MSG_OPEN, device::TAG_OPEN}), MessageReply::Handled);
    EXPECT_EQ(rig.prompt.Messages(),
              std::vector<std::string>{rig.texts.SlotText(ui::TextSlot::MAIN_NO_DEVICE_PROMPT)});
    EXPECT_TRUE(rig.log.Entries().empty());

    rig.keyboard.Plug();
    rig.Settle();
    rig.core.OpenWindow();
    EXPECT_EQ(rig.log.Count("OpenWindow"), 1u);
}

TEST(MainWindowCoreTest, FullReadMarksTheKeyboardsProfileAndShowsIt) {
    sim::KeyboardMemory memory = sim::FactoryMemory();
    memory.settings[sim::kSettingsActiveProfile] = 2;
    MainWindowRig rig({.startedWithStart = true, .memory = memory});
    rig.Start();
    rig.Settle();
    EXPECT_TRUE(rig.log.Contains("ShowProfileSlot 2"));
    EXPECT_EQ(rig.lighting.currentProfile(), 2);
    EXPECT_TRUE(rig.lighting.modeIndex().ModePositionOf(1) >= 0) << "lighting was read";
}

TEST(MainWindowCoreTest, KillRunsTheExitPath) {
    MainWindowRig rig({.startedWithStart = true});
    rig.Start();
    rig.Settle();
    profiles::InstallDefaultImage(*rig.profileImage.Lock());
    rig.deviceImage.Lock()->macros.push_back({});
    rig.core.SetApplyPending(true);
    rig.log.Clear();

    EXPECT_EQ(rig.core.Handle({device::MSG_KILL, device::TAG_KILL}), MessageReply::Handled);
    EXPECT_EQ(rig.log.Entries(), (Log{"HideWindow", "CloseSubDialogs", "RemoveTrayIcon",
                                      "SetApplyEnabled 0", "EndMainWindow"}));
    EXPECT_FALSE(rig.core.ApplyPending());
    EXPECT_EQ(*rig.profileImage.Lock(), profiles::ImageContents{});
    EXPECT_EQ(*rig.deviceImage.Lock(), profiles::ImageContents{});

    // The icon is gone: nothing asks for it any more.
    rig.log.Clear();
    rig.keyboard.RaiseKeyEvent(device::KEY_EVENT_PLAY_ON);
    rig.Settle();
    EXPECT_TRUE(rig.log.Entries().empty());
}

}  // namespace
}  // namespace qv::app
