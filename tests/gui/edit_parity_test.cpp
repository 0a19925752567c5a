// The same edits through the command line and through the desktop app: the same verdict, and
// the same bytes on the simulated keyboard afterwards.

#include <QCoreApplication>
#include <QObject>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/cli_output.h"
#include "desktop_fixture.h"
#include "gui/assignment_dialog.h"
#include "gui/desktop_controller.h"
#include "gui/main_window.h"
#include "keys/key_entry.h"
#include "sim/sim_state_file.h"

namespace qv::gui::test {
namespace {

using namespace std::chrono_literals;

struct EditCase {
    const char* name;
    std::size_t slot;
    // The command line's words for the key and the edit.
    const char* key;
    const char* target;
    // The entry the assignment dialog gives for the same choice.
    keys::KeyEntry entry;
    // How the command line names the key in a refusal.
    const char* quotedKey;
};

constexpr std::size_t kG1 = keys::kFirstGKeySlot;

const EditCase kCases[] = {
    {"key", 0x03A, "Caps Lock", "key:LCtrl", {.kind = keys::KeyKind::Key, .value = 0x01D}, ""},
    {"disabled", 0x03A, "Caps Lock", "disabled", {.kind = keys::KeyKind::Disabled}, ""},
    {"mouse",
     0x01E,
     "A",
     "mouse:right",
     {.kind = keys::KeyKind::Key, .value = keys::kKeyMouseRight},
     ""},
    {"function", 0x010, "Q", "function:copy", {.kind = keys::KeyKind::Function, .value = 4}, ""},
    {"G key", kG1, "G1", "disabled", {.kind = keys::KeyKind::Disabled, .aux = 0x0301}, ""},
    {"unchanged default", 0x03A, "Caps Lock", "default", {}, ""},
    {"no place in the key pages",
     0x016,
     "U",
     "function:copy",
     {.kind = keys::KeyKind::Function, .value = 4},
     "\"U\""},
    {"second bank",
     kG1 + 9,
     "G10",
     "disabled",
     {.kind = keys::KeyKind::Disabled, .aux = 0x1301},
     "\"G10\""},
};

// The key pages of all four profiles.
std::vector<std::uint8_t> KeyPages(const sim::KeyboardMemory& memory) {
    return {memory.keyPages.begin(), memory.keyPages.end()};
}

class EditParityTest : public QObject {
    Q_OBJECT

private:
    struct CliOutcome {
        int code = -1;
        std::string err;
        std::vector<std::uint8_t> pages;
    };

    static CliOutcome RunCli(const QTemporaryDir& folder, const EditCase& c) {
        cli::CliEnvironment env;
        const std::filesystem::path root = folder.path().toStdString();
        env.documentsFolder = root / "documents";
        env.stateFolder = root / "state";
        env.programFolder = QCoreApplication::applicationDirPath().toStdString();
        env.transportTiming = {.replyWait = 100ms, .retryPause = 1ms};
        env.firmwarePause = 0ms;
        const std::filesystem::path state = root / "cli.state";
        const std::vector<std::string> args = {"--keyboard=sim:" + state.string(), "assign", c.key,
                                               c.target, "--apply"};
        std::ostringstream out;
        std::ostringstream err;
        CliOutcome outcome;
        outcome.code = cli::RunCli(args, out, err, env);
        outcome.err = err.str();
        const auto loaded = sim::LoadOrFactory(state);
        if (const auto* kept = std::get_if<sim::SimState>(&loaded)) {
            outcome.pages = KeyPages(kept->memory);
        }
        return outcome;
    }

private slots:
    void anEditHasOneVerdictAndOneResultInBothFrontEnds() {
        for (const EditCase& c : kCases) {
            QTemporaryDir cliFolder;
            const CliOutcome cli = RunCli(cliFolder, c);

            auto home = MakeHomeFolder();
            auto desktop = StartDesktop(*home, {.arguments = {"--start"}});
            std::optional<service::OperationStatus> verdict;
            QObject::connect(&desktop->app->Controller(), &DesktopController::AssignmentVerdict,
                             [&verdict](service::OperationStatus status) { verdict = status; });
            emit desktop->Window().AssignmentApplied(AssignmentEdit{0, c.slot, c.entry, nullptr});
            QVERIFY2(QTest::qWaitFor([&] { return verdict.has_value(); }, kWait), c.name);
            QVERIFY(desktop->Settle());
            service::OperationResult result{*verdict};
            if (result.Succeeded()) {
                emit desktop->Window().ApplyRequested();
                QVERIFY(desktop->Settle());
            }
            const std::vector<std::uint8_t> desktopPages = KeyPages(desktop->Keyboard().Memory());

            QVERIFY2(cli.code == (result.Succeeded() ? 0 : cli::OperationExitCode(result)),
                     (std::string(c.name) + ": " + cli.err).c_str());
            if (*verdict == service::OperationStatus::EntryRefused) {
                QVERIFY2(cli.err.find("cannot remap it") != std::string::npos, c.name);
                QVERIFY2(cli.err.find(c.quotedKey) != std::string::npos, c.name);
                QCOMPARE(desktop->boxes.size(), std::size_t{1});
                QVERIFY2(desktop->boxes[0].text.contains(QStringLiteral("cannot remap")), c.name);
            } else {
                QVERIFY2(desktop->boxes.empty(), c.name);
            }
            QVERIFY2(!cli.pages.empty(), c.name);
            QVERIFY2(cli.pages == desktopPages, c.name);
        }
    }
};

}  // namespace

std::unique_ptr<QObject> MakeEditParityTest() {
    return std::make_unique<EditParityTest>();
}

}  // namespace qv::gui::test

#include "edit_parity_test.moc"
