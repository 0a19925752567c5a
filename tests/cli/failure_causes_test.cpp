// Failures of quorvanectl name their real cause and the exit code that goes with it: a keyboard
// that could not be read is not blamed on the macros, a switch that failed says which profile
// the keyboard runs, a file says why it could not be written or read, and a late reply does not
// hold a command up.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_fixture.h"
#include "sim/fault_plan.h"
#include "sim/keyboard_layout.h"
#include "sim/sim_state_file.h"

namespace qv::cli {
namespace {

using test_support::Outcome;

class FailureCauseTest : public test_support::CliTest {
protected:
    // Faults counted from the first report a command sends after the keyboard's arrival.
    void FaultsAfterArrival(const sim::FaultPlan& plan) {
        env.keyboardArrived = [plan](service::KeyboardBackend& backend) {
            backend.simulated()->AddFaultsAhead(plan);
        };
    }

    // The keyboard's memory as its state file keeps it; a keyboard never written to has none
    // and holds what it held from the factory.
    std::optional<sim::KeyboardMemory> Memory() const {
        const std::filesystem::path file = folder.Path() / "k.state";
        if (!std::filesystem::exists(file)) {
            return sim::FactoryMemory();
        }
        auto loaded = sim::LoadStateFile(file);
        if (auto* state = std::get_if<sim::SimState>(&loaded)) {
            return state->memory;
        }
        return std::nullopt;
    }

    int ActiveProfile() const {
        const auto memory = Memory();
        return memory ? memory->settings[sim::kSettingsActiveProfile] : -1;
    }
};

TEST_F(FailureCauseTest, AnUnreadMacroCapacityIsAKeyboardThatCouldNotBeRead) {
    RunOk({"{kb}", "export", "{dir}/saved.fwc"});
    const auto before = Memory();
    // Report 6 is the arrival's read of the settings block, which gives the macro capacity.
    beforeArrival = [](sim::SimHidService& keyboard) {
        keyboard.PlanFaults({{.kind = sim::FaultKind::Refuse, .report = 6}});
    };
    const std::string cause =
        "the keyboard could not be read: its settings block, which says how much macro memory "
        "it has, did not come through when it was opened; try again";
    const Outcome assign = Run({"{kb}", "assign", "Caps Lock", "key:LCtrl", "--apply"});
    EXPECT_EQ(assign.err, "quorvanectl: could not write to the keyboard: " + cause +
                              "; the edits stay pending\n");
    EXPECT_EQ(assign.code, 3);
    const Outcome import = Run({"{kb}", "import", "{dir}/saved.fwc", "--drop-pending"});
    EXPECT_EQ(import.err,
              "quorvanectl: could not import " + Expand("{dir}/saved.fwc") + ": " + cause + "\n");
    EXPECT_EQ(import.code, 3);
    EXPECT_TRUE(Memory() == before);

    // Trying again, as told, writes the edit that stayed pending.
    beforeArrival = {};
    RunOk({"{kb}", "apply"});
    EXPECT_EQ(Run({"{kb}", "dump", "keys", "--profile", "1"}).out,
              "Profile 1\n  Caps Lock: assigned to key (Left Ctrl)\n");
}

struct SwitchCase {
    const char* name;
    // After the arrival, `profile set 2` reads the settings block (report 1) and writes it
    // back (reports 2 to 4 with the retries); a read back after a failure comes next.
    sim::FaultPlan faults;
    const char* err;
    int code;
    int activeAfter;  // 0..3, as the keyboard holds it afterwards
};

sim::FaultPlan Faults(sim::FaultKind kind, std::vector<std::uint32_t> reports,
                      std::uint8_t status = 0) {
    sim::FaultPlan plan;
    for (const std::uint32_t report : reports) {
        plan.push_back({.kind = kind, .report = report, .status = status});
    }
    return plan;
}

const SwitchCase kSwitchCases[] = {
    // Every answer to the write is lost, but the keyboard did switch: read back, it says so.
    {"AnswersLostButDone", Faults(sim::FaultKind::Drop, {2, 3, 4}), "", 0, 1},
    // A write that never reached the keyboard needs no read back.
    {"WriteRefused", Faults(sim::FaultKind::Refuse, {2}),
     "quorvanectl: could not switch the active profile: the keyboard did not take the switch "
     "(result -1); profile 1 is still active\n",
     3, 0},
    {"ReadBeforeTheWriteRefused", Faults(sim::FaultKind::Refuse, {1}),
     "quorvanectl: could not switch the active profile: the keyboard did not take the switch "
     "(result -1); profile 1 is still active\n",
     3, 0},
    {"WriteAnsweredWithAFailure", Faults(sim::FaultKind::Status, {2, 3, 4}, 0xFF),
     "quorvanectl: could not switch the active profile: the keyboard did not take the switch "
     "(result -102); profile 1 is still active\n",
     3, 0},
    {"AnswersLostAndNoReadBack",
     [] {
         sim::FaultPlan plan = Faults(sim::FaultKind::Drop, {2, 3, 4});
         plan.push_back({.kind = sim::FaultKind::Refuse, .report = 5});
         return plan;
     }(),
     "quorvanectl: could not switch the active profile: the keyboard did not confirm the write "
     "(result -2), and it could not be read back: what it holds now is not known\n",
     3, 1},
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.name;
}

class SwitchFailureTest : public FailureCauseTest,
                          public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchFailureTest, SaysWhichProfileTheKeyboardRuns) {
    const SwitchCase& c = GetParam();
    RunOk({"{kb}", "profile", "show"});
    FaultsAfterArrival(c.faults);
    const Outcome outcome = Run({"{kb}", "profile", "set", "2"});
    EXPECT_EQ(outcome.err, c.err);
    EXPECT_EQ(outcome.code, c.code);
    EXPECT_EQ(outcome.out, c.code == 0 ? "Profile 2 is now the active profile.\n" : "");
    EXPECT_EQ(ActiveProfile(), c.activeAfter);
}

INSTANTIATE_TEST_SUITE_P(Faults, SwitchFailureTest, ::testing::ValuesIn(kSwitchCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(FailureCauseTest, FileErrorsNameTheirReason) {
    std::filesystem::create_directories(folder.Path() / "a folder.fwc");
    const Outcome intoFolder = Run({"{kb}", "export", "{dir}/a folder.fwc"});
    EXPECT_EQ(intoFolder.err, "quorvanectl: could not export: could not write " +
                                  Expand("{dir}/a folder.fwc") +
                                  ": is a folder, not a regular file\n");
    EXPECT_EQ(intoFolder.code, 4);
    const Outcome noFolder = Run({"{kb}", "export", "{dir}/missing/out.fwc"});
    EXPECT_NE(noFolder.err.find(": No such file or directory\n"), std::string::npos)
        << noFolder.err;
    EXPECT_EQ(noFolder.code, 4);

    RunOk({"{kb}", "export", "{dir}/kept.fwc"});
    std::filesystem::permissions(folder.Path() / "kept.fwc", std::filesystem::perms::owner_read);
    const Outcome readOnly = Run({"{kb}", "export", "{dir}/kept.fwc"});
    EXPECT_NE(readOnly.err.find("kept.fwc: "), std::string::npos);
    EXPECT_NE(readOnly.err.find("read-only"), std::string::npos) << readOnly.err;
    EXPECT_EQ(readOnly.code, 4);

    const Outcome importFolder = Run({"{kb}", "import", "{dir}/a folder.fwc"});
    EXPECT_NE(importFolder.err.find("quorvanectl: could not import: " +
                                    Expand("{dir}/a folder.fwc") + ": not a regular file\n"),
              std::string::npos)
        << importFolder.err;
    EXPECT_EQ(importFolder.code, 5);
    const Outcome validate = Run({"validate", "{dir}/kept.fwc"});
    EXPECT_EQ(validate.err,
              "quorvanectl: " + Expand("{dir}/kept.fwc") +
                  ": cannot be opened for reading and writing: the file is read-only\n");
    EXPECT_EQ(validate.code, 5);
}

TEST_F(FailureCauseTest, AStateFileThatCannotBeWrittenIsTheCauseNotTheKeyboard) {
    // The keyboard's state file goes away with its folder once the keyboard is open: every
    // change is then answered with a failure, as on a full disk.
    const std::filesystem::path stateFolder = folder.Path() / "sim";
    const std::string keyboard = "--keyboard=sim:" + (stateFolder / "k.state").string();
    RunOk({keyboard, "lighting", "set", "--profile", "1", "--brightness", "2"});
    const std::string state = test_support::ReadFile(stateFolder / "k.state");
    env.keyboardArrived = [&](service::KeyboardBackend&) {
        std::filesystem::remove_all(stateFolder);
        std::ofstream(stateFolder) << "a file where the folder was\n";
    };
    const auto putBack = [&] {
        std::filesystem::remove(stateFolder);
        std::filesystem::create_directories(stateFolder);
        std::ofstream(stateFolder / "k.state") << state;
    };
    const Outcome set = Run({keyboard, "lighting", "set", "--profile", "1", "--brightness", "1"});
    EXPECT_NE(set.err.find("the simulated keyboard could not use its state file ("),
              std::string::npos)
        << set.err;
    EXPECT_NE(set.err.find(stateFolder.string()), std::string::npos) << set.err;
    EXPECT_EQ(set.code, 3);
    putBack();
    const Outcome assign = Run({keyboard, "assign", "F1", "disabled", "--apply"});
    EXPECT_NE(assign.err.find("the simulated keyboard could not use its state file ("),
              std::string::npos)
        << assign.err;
    EXPECT_EQ(assign.code, 3);
}

TEST_F(FailureCauseTest, ALateReplyDoesNotHoldUpTheCommand) {
    // The first report of the write is answered an hour late; the exchange has long given up
    // on it and sent it again by then. The command ends when its own work is done, and the
    // state file holds the change (were the reply waited for, this would take an hour).
    FaultsAfterArrival(
        {{.kind = sim::FaultKind::Late, .report = 1, .delay = sim::kLongestLateReply}});
    RunOk({"{kb}", "lighting", "set", "--profile", "1", "--brightness", "1"});
    env.keyboardArrived = {};
    EXPECT_NE(Run({"{kb}", "lighting", "show", "--profile", "1"}).out.find("brightness 1"),
              std::string::npos);
}

}  // namespace
}  // namespace qv::cli
