#include "service/firmware_check.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "device/transport.h"
#include "driver/keyboard_driver.h"
#include "sim/sim_hid_service.h"
#include "support/recording_launcher.h"

namespace qv::service {
namespace {

using namespace std::chrono_literals;

class RecordingPrompt final : public platform::UserPrompt {
public:
    void ShowMessage(const std::string& text, bool) override { questions.push_back(text); }
    bool AskOkCancel(const std::string& text) override {
        questions.push_back(text);
        return answerOk;
    }
    bool AskOkCancelTitled(const std::string& text, const std::string& caption) override {
        questions.push_back(text + " | " + caption);
        return answerOk;
    }
    bool AskYesNo(const std::string& text) override { return AskOkCancel(text); }

    bool answerOk = false;
    std::vector<std::string> questions;
};

class RecordingExit final : public platform::ProgramExit {
public:
    void EndProgram(int code) override { ended.push_back("EndProgram " + std::to_string(code)); }
    std::vector<std::string> ended;
};

TEST(FirmwareCheckTest, OnlyAFirmwareOlderThanTheMinimumIsOfferedTheUpdaterAndEndsTheTool) {
    struct Case {
        const char* what;
        std::uint16_t version;
        bool readable;
        bool answerOk;
        bool asked;
        bool launched;
    };
    const std::vector<Case> cases{
        {"0x0106, Cancel", 0x0106, true, false, true, false},
        {"0x0106, OK", 0x0106, true, true, true, true},
        {"the minimum", 0x0107, true, true, false, false},
        {"compared on the whole u16", 0x0200, true, true, false, false},
        {"not reported", 0x0000, true, true, false, false},
        {"unreadable counts as not reported", 0x0106, false, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::KeyboardMemory memory = sim::FactoryMemory();
        WriteU16LE(memory.settings, sim::kSettingsFirmwareVersion, c.version);
        sim::SimHidService keyboard(memory);
        device::Transport transport(keyboard, {.replyWait = 100ms, .retryPause = 1ms});
        ASSERT_TRUE(transport.Load(nullptr));
        lighting::NoPanelSwitch panel;
        driver::KeyboardDriver driver(transport, std::chrono::milliseconds(0), panel);
        RecordingPrompt prompt;
        prompt.answerOk = c.answerOk;
        test::RecordingLauncher launcher;
        RecordingExit exit;
        if (!c.readable) {
            keyboard.AnswerStatus(0xFF, 3);
        }

        const FirmwareVerdict verdict =
            CheckFirmwareVersion({driver.ReadFirmwareVersion(), prompt, launcher, exit,
                                  "/opt/quorvane/Help", std::chrono::milliseconds(0)});

        EXPECT_EQ(verdict, c.asked ? FirmwareVerdict::ProgramEnds : FirmwareVerdict::Supported);
        EXPECT_EQ(prompt.questions,
                  c.asked
                      ? std::vector<std::string>{"The current version is too low! Please update "
                                                 "the program after upgrading. | Version update"}
                      : std::vector<std::string>{});
        EXPECT_EQ(launcher.Requests(),
                  (c.launched ? std::vector<test::LaunchRequest>{{"Tornquil.exe", "In the upgrade",
                                                                  "/opt/quorvane/Help"}}
                              : std::vector<test::LaunchRequest>{}));
        EXPECT_EQ(exit.ended,
                  c.asked ? std::vector<std::string>{"EndProgram 0"} : std::vector<std::string>{});
        keyboard.WaitUntilIdle();
    }
}

}  // namespace
}  // namespace qv::service
