#include <gtest/gtest.h>

#include <algorithm>

#include "app/main_window_rig.h"
#include "device/device_report.h"
#include "keys/key_page.h"
#include "macros/macro_area.h"
#include "macros/macro_record.h"

namespace qv::app {
namespace {

using test::MainWindowRig;
using Log = std::vector<std::string>;

class ApplyPipelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.Start();
        rig.Settle();
        profiles::InstallDefaultImage(*rig.profileImage.Lock());
        rig.log.Clear();
        rig.keyboard.ClearSentReports();
        before = rig.keyboard.Memory();
    }

    // Runs Apply and waits for the indicator's hide, which comes after the pipeline returned.
    void Apply() {
        rig.view.whileApplying = true;
        rig.core.Apply();
        rig.view.whileApplying = false;
        rig.PumpUntilLogged("HideProgress");
        rig.keyboard.WaitUntilIdle();
    }

    // The log without the animation frames, whose number depends on the machine.
    [[nodiscard]] Log Steps() const {
        Log steps = rig.log.Entries();
        std::erase_if(steps, [](const std::string& e) { return e.starts_with("ProgressFrame"); });
        return steps;
    }

    // Runs of the same command shown once.
    [[nodiscard]] std::vector<std::uint8_t> CommandRuns() const {
        std::vector<std::uint8_t> runs = rig.SentCommands();
        runs.erase(std::unique(runs.begin(), runs.end()), runs.end());
        return runs;
    }

    void EditActiveProfile() {
        auto image = rig.profileImage.Lock();
        macros::MacroRecord macro;
        macro.macroId = 7;
        macro.name = u"m";
        macro.actions.push_back({50, 0x01E, macros::KeyState::Press});
        image->macros = {macro};
        image->blocks[0][1] = {keys::KeyKind::Macro, 1, 7};
        image->blocks[1][1] = {keys::KeyKind::Disabled};  // not the keyboard's profile
    }

    MainWindowRig rig{{.startedWithStart = true}};
    sim::KeyboardMemory before;
};

TEST_F(ApplyPipelineTest, NothingPendingShowsAndHidesTheProgressAndWritesNothing) {
    Apply();
    EXPECT_EQ(Steps(), (Log{"ShowProgress", "HideProgress"}));
    EXPECT_TRUE(rig.keyboard.SentReports().empty());
}

TEST_F(ApplyPipelineTest, TheLateHideOfAnEarlierApplyLeavesTheNextOnesImageShown) {
    Apply();
    rig.log.Clear();
    rig.core.Apply();  // its own hide is on its way
    EXPECT_EQ(rig.core.Handle({device::MSG_PROGRESS, device::TAG_BUSY, 1}),
              device::MessageReply::Handled);
    EXPECT_EQ(Steps(), Log{"ShowProgress"});
    rig.PumpUntilLogged("HideProgress");
    EXPECT_EQ(Steps(), (Log{"ShowProgress", "HideProgress"}));
}

TEST_F(ApplyPipelineTest, PendingChangesWriteTheMacroAreaAndTheActivePageThenClear) {
    EditActiveProfile();
    rig.core.SetApplyPending(true);
    Apply();

    EXPECT_EQ(Steps(), (Log{"SetApplyEnabled 1", "ShowProgress", "SaveImageToCurrentProfileFile",
                            "SetApplyEnabled 0", "HideProgress"}));
    EXPECT_FALSE(rig.core.ApplyPending());
    EXPECT_EQ(CommandRuns(),
              (std::vector<std::uint8_t>{device::CMD_BEGIN_TRANSFER, device::CMD_WRITE_MACROS,
                                         device::CMD_WRITE_KEY_PAGE, device::CMD_END_TRANSFER}));

    const sim::KeyboardMemory after = rig.keyboard.Memory();
    const auto image = rig.profileImage.Lock();
    const keys::KeyPage expectedPage = keys::EncodeKeyPage(
        image->blocks[0], macros::MacroIdsInOrder(image->macros), rig.facts.KeyDefaults());
    EXPECT_TRUE(std::equal(expectedPage.begin(), expectedPage.end(), after.keyPages.begin()));
    EXPECT_TRUE(std::equal(after.keyPages.begin() + keys::kKeyPageBytes, after.keyPages.end(),
                           before.keyPages.begin() + keys::kKeyPageBytes));
    EXPECT_NE(after.macroArea, before.macroArea);
}

TEST_F(ApplyPipelineTest, AFailedSaveOrWriteKeepsTheChangesPending) {
    struct Case {
        const char* what;
        bool saveSucceeds;
        int unplugAfterReports;  // 0: stays plugged
    };
    const std::vector<Case> cases{
        {"the profile file cannot be saved", false, 0},
        {"the keyboard goes away during the write", true, 3},
    };
    // In this order: the second leaves no keyboard.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.profileActions.saveSucceeds = c.saveSucceeds;
        if (c.unplugAfterReports > 0) {
            rig.keyboard.UnplugAfterReports(c.unplugAfterReports);
        }
        rig.core.SetApplyPending(true);
        rig.log.Clear();
        rig.keyboard.ClearSentReports();
        Apply();

        EXPECT_TRUE(rig.core.ApplyPending());
        EXPECT_FALSE(rig.log.Contains("SetApplyEnabled 0"));
        EXPECT_TRUE(rig.log.Contains("SaveImageToCurrentProfileFile"));
        // Saving and writing are separate: a failed save still writes the keyboard.
        const std::vector<std::uint8_t> sent = rig.SentCommands();
        EXPECT_NE(std::find(sent.begin(), sent.end(), device::CMD_WRITE_MACROS), sent.end());
        rig.Settle();
    }
}

TEST_F(ApplyPipelineTest, TheAnimationMovesWhileTheKeyboardIsWritten) {
    // A keyboard slow enough that the write spans many frame periods.
    rig.keyboard.SetTiming({sim::SimTiming::Mode::FixedDelay, std::chrono::milliseconds(5)});
    EditActiveProfile();
    rig.core.SetApplyPending(true);
    Apply();

    const std::vector<int>& frames = rig.view.framesDuringApply;
    ASSERT_FALSE(frames.empty());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i], static_cast<int>(i % 10) + 1);
    }
}

}  // namespace
}  // namespace qv::app
