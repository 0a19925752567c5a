// The two long device jobs of the application, with the simulated keyboard in full-speed USB
// timing (a request taken at the next 1 ms frame, its reply one frame later) and a full macro
// area, each printed against its floor measured in the same run: the reports it sent times the
// 2 ms round trip, plus the pauses the protocol asks for (10 ms before each end of a transfer
// group, 100 ms before the busy image of an apply). Also the CPU time the tool used.
//   (a) arrival: from the presence report to the end of the configuration load;
//   (b) apply: writing the macro area and the active profile's key page.

#include <chrono>
#include <cstdio>
#include <ctime>

#include "app/keyboard_app.h"
#include "app/null_main_window_view.h"
#include "device/device_report.h"
#include "macros/macro_area.h"
#include "platform/program_exit.h"
#include "platform/program_launcher.h"
#include "sim/full_macro_area.h"
#include "sim/sim_hid_service.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

class QuietPrompt final : public qv::platform::UserPrompt {
public:
    void ShowMessage(const std::string& text, bool) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    bool AskOkCancel(const std::string&) override { return false; }
    bool AskYesNo(const std::string&) override { return false; }
};

class NoLauncher final : public qv::platform::ProgramLauncher {
public:
    bool Start(std::string_view, std::string_view, const std::filesystem::path&) override {
        return false;
    }
};

class NoExit final : public qv::platform::ProgramExit {
public:
    void EndProgram(int) override {}
};

struct Traffic {
    std::size_t reports = 0;
    std::size_t endTransfers = 0;
};

Traffic Count(const qv::sim::SimHidService& keyboard) {
    Traffic traffic;
    for (const auto& report : keyboard.SentReports()) {
        ++traffic.reports;
        traffic.endTransfers += report[qv::device::kCommandOffset] == qv::device::CMD_END_TRANSFER;
    }
    return traffic;
}

void Print(const char* what, double wallMs, const Traffic& traffic, double extraPauseMs,
           double cpuMs) {
    const double floorMs = static_cast<double>(traffic.reports) * 2.0 +
                           static_cast<double>(traffic.endTransfers) * 10.0 + extraPauseMs;
    std::printf(
        "%s\n    %zu reports, %zu transfer ends: wall %.1f ms, floor %.1f ms, ratio %.4f "
        "(aim: <= 1.01); CPU %.1f ms\n",
        what, traffic.reports, traffic.endTransfers, wallMs, floorMs, wallMs / floorMs, cpuMs);
}

}  // namespace

int main() {
    qv::sim::KeyboardMemory memory = qv::sim::FactoryMemory();
    const std::size_t macros = qv::sim::FillMacroArea(memory);
    std::printf("full macro area: %zu macros in %zu bytes\n", macros, memory.MacroCapacity());

    qv::sim::SimHidService keyboard(memory);
    keyboard.SetTiming({qv::sim::SimTiming::Mode::FullSpeed, {}});
    qv::app::NullMainWindowView view;
    QuietPrompt prompt;
    NoLauncher launcher;
    NoExit exit;
    qv::platform::MemorySettingsStore languageKey;
    qv::platform::FixedSystemLanguage language(0x0409);
    const auto folder = std::filesystem::temp_directory_path() / "quorvane-app-bench";
    std::filesystem::remove_all(folder);
    qv::app::KeyboardApp app({.service = keyboard,
                              .view = view,
                              .prompt = prompt,
                              .launcher = launcher,
                              .exit = exit,
                              .programFolder = folder / "program",
                              .documentsFolder = folder / "documents",
                              .languageKey = languageKey,
                              .systemLanguage = language});

    // (a) arrival
    double cpu = CpuMs();
    auto start = Clock::now();
    if (!app.Start() || !app.Settle(60s)) {
        std::fprintf(stderr, "arrival did not finish\n");
        return 1;
    }
    double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    Print("(a) arrival with a full macro area", wall, Count(keyboard), 0.0, CpuMs() - cpu);

    // (b) apply
    app.profileImage.Lock()->blocks[0][0x3A] = {.kind = qv::keys::KeyKind::Disabled};
    app.core.SetApplyPending(true);
    keyboard.ClearSentReports();
    cpu = CpuMs();
    start = Clock::now();
    app.core.Apply();
    wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (app.core.ApplyPending()) {
        std::fprintf(stderr, "apply failed\n");
        return 1;
    }
    Print("(b) apply of a full macro area", wall, Count(keyboard), 100.0, CpuMs() - cpu);
    std::filesystem::remove_all(folder);
    return 0;
}
