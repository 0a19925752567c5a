// Every writing and reading command of quorvanectl run once with each fault the simulated
// keyboard can inject, at each report the command sends: the exit status and the messages must
// tell the truth about what the keyboard holds afterwards and blame the keyboard, not the
// input or a file; pending edits must survive every failure; and the repair a message advises
// must repair.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "sim/fault_plan.h"
#include "sim/sim_hid_service.h"
#include "sim/sim_state_file.h"
#include "texts/temp_folder.h"

namespace qv::cli {
namespace {

using namespace std::chrono_literals;

// The transport gives up on a reply after this long; a late reply comes just after.
constexpr auto kReplyWait = 20ms;
constexpr auto kLateBy = 5ms;

// The words of the notice that says the keyboard holds part of a write.
constexpr const char* kPartlyWrittenWords = "apply again to repair it";
// The words of a lighting command's failure after which the lighting may be half changed.
constexpr const char* kLightingPartlyWords = "run the command again to repair it";
// The words of an import's failure after which the keyboard may hold part of it.
constexpr const char* kImportPartlyWords = "again to repair it";

// What a failure says the keyboard holds, which must then be so.
const std::vector<std::string> kSaidUnchanged = {"it holds what it held before", "is still active",
                                                 "the lighting was left as it was"};
const std::vector<std::string> kSaidNew = {"it holds the new settings",
                                           "it holds the imported settings"};
// Causes a fault on the keyboard never is: a command's own success code, the input's size.
const std::vector<std::string> kWrongCauses = {"(result 1)", "do not fit", "not a sound"};
// A failure names what went wrong with the keyboard in one of these ways.
const std::vector<std::string> kKeyboardCauses = {"(result -",         "result 0",
                                                  "could not be read", "the keyboard is gone",
                                                  "no keyboard found", "did not answer"};

bool Says(const std::string& text, const std::vector<std::string>& words) {
    return std::ranges::any_of(
        words, [&](const std::string& w) { return text.find(w) != std::string::npos; });
}

struct Outcome {
    std::string out;
    std::string err;
    int code = -1;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The files below `root` with their content.
std::map<std::string, std::string> AllFiles(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(root).string()] = ReadFile(entry.path());
        }
    }
    return files;
}

// The same, the simulated keyboard's own files left out.
std::map<std::string, std::string> Files(const std::filesystem::path& root) {
    auto files = AllFiles(root);
    std::erase_if(files, [](const auto& file) { return file.first.starts_with("k.state"); });
    return files;
}

struct SweepCase {
    const char* name;
    // Run without faults after the common set-up; the state they leave is each run's start.
    std::vector<std::vector<std::string>> setup;
    std::vector<std::string> args;
    // A command that only reads must leave the keyboard as it was, and on failure every file.
    bool readOnly = false;
    // The same edit without --apply: the pending edits a failed write must leave.
    std::vector<std::string> pendingOnly;
    // Besides the PartlyWritten notice, the words that say a write may be half done.
    const char* partlyWords = kPartlyWrittenWords;
    // What the advice of such a failure runs, which must then leave the intended memory.
    std::vector<std::string> repair = {};
    // Advice a failure of this command must never give.
    const char* wrongAdvice = nullptr;
};

void PrintTo(const SweepCase& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<sim::PlannedFault> kFaultKinds = {
    {.kind = sim::FaultKind::Unplug},
    {.kind = sim::FaultKind::Drop},
    {.kind = sim::FaultKind::Late, .delay = kReplyWait + kLateBy},
    {.kind = sim::FaultKind::Status, .status = 0xFF},
    {.kind = sim::FaultKind::Misnumber},
    {.kind = sim::FaultKind::Refuse},
    {.kind = sim::FaultKind::Flip},
};

class FaultSweepTest : public ::testing::TestWithParam<SweepCase> {
protected:
    FaultSweepTest() {
        env.documentsFolder = Work() / "documents";
        env.stateFolder = Work() / "state";
        env.programFolder = std::filesystem::path(QV_SOURCE_DIR) / "lang";
        env.transportTiming = {.replyWait = kReplyWait, .retryPause = 0ms, .endTransferPause = 0ms};
        env.firmwarePause = 0ms;
        env.openKeyboard = [this](const service::KeyboardChoice& choice) {
            auto opened = service::KeyboardBackend::Open(choice);
            if (auto* backend = std::get_if<std::unique_ptr<service::KeyboardBackend>>(&opened);
                backend && fault) {
                (*backend)->simulated()->PlanFaults({*fault});
            }
            return opened;
        };
        env.keyboardDone = [this](service::KeyboardBackend& backend) {
            reportsSent = backend.simulated()->SentReports().size();
        };
    }

    std::filesystem::path Work() const { return folder.Path() / "work"; }
    std::filesystem::path StateFile() const { return Work() / "k.state"; }
    std::filesystem::path PendingFile() const {
        return env.stateFolder / "quorvane" / "pending.fwc";
    }

    Outcome Run(const std::vector<std::string>& args) {
        std::vector<std::string> expanded{"--keyboard=sim:" + StateFile().string()};
        for (std::string arg : args) {
            if (const auto at = arg.find("{dir}"); at != std::string::npos) {
                arg.replace(at, 5, Work().string());
            }
            expanded.push_back(arg);
        }
        std::ostringstream out;
        std::ostringstream err;
        const int code = RunCli(expanded, out, err, env);
        return {out.str(), err.str(), code};
    }

    void RunOk(const std::vector<std::string>& args) {
        const Outcome outcome = Run(args);
        ASSERT_EQ(outcome.code, 0) << args.back() << ": " << outcome.err << outcome.out;
    }

    // Takes the work folder as the set-up left it, for each run to start from.
    void KeepBase() { base = AllFiles(Work()); }

    // Puts the work folder back as the set-up left it; only what a run changed is written, as
    // creating and removing files is what takes time here.
    void Restore() {
        const auto now = AllFiles(Work());
        for (const auto& [name, content] : now) {
            if (!base.count(name)) {
                std::filesystem::remove(Work() / name);
            }
        }
        for (const auto& [name, content] : base) {
            const auto found = now.find(name);
            if (found == now.end() || found->second != content) {
                std::filesystem::create_directories((Work() / name).parent_path());
                std::ofstream(Work() / name, std::ios::binary | std::ios::trunc) << content;
            }
        }
    }

    std::optional<sim::KeyboardMemory> Memory() const {
        auto loaded = sim::LoadStateFile(StateFile());
        if (auto* state = std::get_if<sim::SimState>(&loaded)) {
            return state->memory;
        }
        return std::nullopt;
    }

    test::TempFolder folder;
    CliEnvironment env;
    std::map<std::string, std::string> base;
    std::optional<sim::PlannedFault> fault;
    std::size_t reportsSent = 0;
};

TEST_P(FaultSweepTest, NoRunClaimsWhatDidNotHappen) {
    const SweepCase& c = GetParam();
    // A keyboard with a macro and two keys assigned.
    RunOk({"assign", "F1", "disabled", "--apply"});
    RunOk({"macro", "add", "Copy all", "press LCtrl, tap A, release LCtrl"});
    RunOk({"assign", "Caps Lock", "macro:1", "--apply"});
    for (const auto& step : c.setup) {
        RunOk(step);
    }
    KeepBase();
    const auto oldMemory = Memory();
    const auto baseFiles = Files(Work());
    ASSERT_TRUE(oldMemory);

    std::optional<std::string> oldPending;
    if (std::filesystem::exists(PendingFile())) {
        oldPending = ReadFile(PendingFile());
    }
    std::optional<std::string> intendedPending = oldPending;
    if (!c.pendingOnly.empty()) {
        RunOk(c.pendingOnly);
        intendedPending = ReadFile(PendingFile());
        Restore();
    }

    const Outcome reference = Run(c.args);
    ASSERT_EQ(reference.code, 0) << reference.err;
    const std::size_t reports = reportsSent;
    const auto intendedMemory = Memory();
    const auto intendedFiles = Files(Work());
    ASSERT_TRUE(intendedMemory);
    ASSERT_GT(reports, 0u);
    if (c.readOnly) {
        ASSERT_TRUE(*intendedMemory == *oldMemory);
    }

    int runs = 0;
    int failures = 0;
    int successes = 0;
    std::vector<std::string> lies;
    for (const sim::PlannedFault& kind : kFaultKinds) {
        for (std::uint32_t report = 1; report <= reports; ++report) {
            Restore();
            fault = kind;
            fault->report = report;
            const std::string what = sim::FormatFault(*fault);
            const Outcome outcome = Run(c.args);
            fault.reset();
            ++runs;
            const auto memory = Memory();
            const auto lie = [&](const std::string& text) {
                lies.push_back(what + ": " + text + " (exit " + std::to_string(outcome.code) +
                               ", stderr: " + outcome.err + ")");
            };
            if (!memory) {
                lie("the state file cannot be read");
                continue;
            }
            const bool isOld = *memory == *oldMemory;
            const bool isIntended = *memory == *intendedMemory;
            if (outcome.code == 0) {
                ++successes;
                if (!isIntended) {
                    lie("claimed success, but the keyboard does not hold the intended "
                        "memory");
                }
                if (outcome.out != reference.out) {
                    lie("claimed success with other output: " + outcome.out);
                }
                if (Files(Work()) != intendedFiles) {
                    lie("claimed success, but the files differ from a run without "
                        "faults");
                }
                continue;
            }
            ++failures;
            if (outcome.err.empty()) {
                lie("failed without a message on stderr");
            }
            if (outcome.code != 2 && outcome.code != 3) {
                lie("a fault of the keyboard ended with an exit code that blames something else");
            }
            if (Says(outcome.err, kWrongCauses) || !Says(outcome.err, kKeyboardCauses)) {
                lie("the message does not name the keyboard's failure as the cause");
            }
            if (c.wrongAdvice != nullptr && outcome.err.find(c.wrongAdvice) != std::string::npos) {
                lie("the message advises what does not repair it");
            }
            if (Says(outcome.err, kSaidUnchanged) && !isOld) {
                lie("said the keyboard holds what it held, but it does not");
            }
            if (Says(outcome.err, kSaidNew) && !isIntended) {
                lie("said the keyboard holds the new settings, but it does not");
            }
            if (c.readOnly && !isOld) {
                lie("a reading command changed the keyboard");
            }
            if (!isOld && !isIntended &&
                outcome.err.find(kPartlyWrittenWords) == std::string::npos &&
                outcome.err.find(c.partlyWords) == std::string::npos) {
                lie("the keyboard holds part of the write, and the user was not told");
            }
            // The edit stays pending, unless the command failed before anything was done.
            std::optional<std::string> pending;
            if (std::filesystem::exists(PendingFile())) {
                pending = ReadFile(PendingFile());
            }
            if (pending != intendedPending && !(pending == oldPending && isOld)) {
                lie("the pending edits did not survive the failure");
            }
            if (c.readOnly && Files(Work()) != baseFiles) {
                lie("a failed reading command left files changed");
            }
            if (!c.repair.empty() && !isIntended &&
                (outcome.err.find(kPartlyWrittenWords) != std::string::npos ||
                 outcome.err.find(c.partlyWords) != std::string::npos)) {
                const Outcome repaired = Run(c.repair);
                const auto after = Memory();
                if (repaired.code != 0 || !after || !(*after == *intendedMemory)) {
                    lie("the repair the message advised did not repair it: " + repaired.err);
                }
            }
        }
    }
    RecordProperty("runs", runs);
    RecordProperty("failures", failures);
    RecordProperty("successes", successes);
    std::string listed;
    for (std::size_t i = 0; i < lies.size() && i < 20; ++i) {
        listed += lies[i] + "\n";
    }
    EXPECT_TRUE(lies.empty()) << lies.size() << " dishonest run(s) of " << runs << " (" << reports
                              << " reports a run), for example:\n"
                              << listed;
}

const std::vector<std::string> kPasteMacro = {"macro", "add", "Paste",
                                              "press LCtrl, tap V, release LCtrl"};

std::vector<std::string> With(std::vector<std::string> args, const std::string& more) {
    args.push_back(more);
    return args;
}

const std::vector<std::string> kLightingSet = {"lighting", "set", "--profile",    "1",
                                               "--mode",   "3",   "--brightness", "1",
                                               "--speed",  "0",   "--colour",     "00A0FF"};
const std::vector<std::string> kLightingRestore = {"lighting", "restore", "--profile", "2"};
const std::vector<std::string> kLightingKey = {"lighting", "key",       "--profile",
                                               "1",        "Caps Lock", "FF8000"};
const std::vector<std::string> kImport = {"import", "{dir}/saved.fwc"};

// name, set-up, command, only reads, the edit without --apply, the words of a half-done write,
// the repair they advise, advice never to give.
const SweepCase kSweepCases[] = {
    {"Capture", {}, {"capture"}, true, {}, kPartlyWrittenWords},
    {"AssignApply",
     {},
     {"assign", "F2", "key:Backspace", "--apply"},
     false,
     {"assign", "F2", "key:Backspace"},
     kPartlyWrittenWords,
     {"apply"}},
    {"Apply",
     {{"assign", "F2", "key:Backspace"}},
     {"apply"},
     false,
     {},
     kPartlyWrittenWords,
     {"apply"}},
    // Apply writes only the active profile's key page: it cannot repair an import.
    {"Import",
     {{"export", "{dir}/saved.fwc"}, {"assign", "F3", "disabled", "--apply"}},
     kImport,
     false,
     {},
     kImportPartlyWords,
     kImport,
     "apply again"},
    {"Export", {}, {"export", "{dir}/out.fwc"}, true, {}, kPartlyWrittenWords},
    {"LightingSet", {}, kLightingSet, false, {}, kLightingPartlyWords, kLightingSet},
    {"LightingRestore",
     {{"lighting", "set", "--profile", "2", "--mode", "5", "--brightness", "1"}},
     kLightingRestore,
     false,
     {},
     kLightingPartlyWords,
     kLightingRestore},
    {"LightingKey", {}, kLightingKey, false, {}, kLightingPartlyWords, kLightingKey},
    {"MacroAddApply",
     {},
     With(kPasteMacro, "--apply"),
     false,
     kPasteMacro,
     kPartlyWrittenWords,
     {"apply"}},
    {"ProfileSet",
     {},
     {"profile", "set", "2"},
     false,
     {},
     kPartlyWrittenWords,
     {"profile", "set", "2"}},
};

INSTANTIATE_TEST_SUITE_P(Commands, FaultSweepTest, ::testing::ValuesIn(kSweepCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace qv::cli
