// The two long device jobs of the application, with the simulated keyboard in full-speed USB
// timing (a request taken at the next 1 ms frame, its reply one frame later) and a full macro
// area, each printed against its floor measured in the same run: the reports it sent times the
// 2 ms round trip, plus the pause the protocol asks for (10 ms before each end of a transfer
// group). Also the CPU time the tool used.
//   (a) arrival: from the presence report to the end of the configuration load;
//   (b) apply: writing the macro area and the active profile's key page.

#include <chrono>
#include <cstdio>
#include <ctime>

#include "device/device_report.h"
#include "macros/macro_area.h"
#include "platform/program_launcher.h"
#include "service/keyboard_service.h"
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

class QuietObserver final : public qv::service::ServiceObserver {
public:
    void Notify(const qv::service::ServiceNotice& notice) override {
        std::fprintf(stderr, "notice %d: %s\n", static_cast<int>(notice.notice),
                     notice.detail.c_str());
    }
};

class NoLauncher final : public qv::platform::ProgramLauncher {
public:
    bool Start(std::string_view, std::string_view, const std::filesystem::path&) override {
        return false;
    }
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
    QuietObserver observer;
    NoLauncher launcher;
    const auto folder = std::filesystem::temp_directory_path() / "quorvane-app-bench";
    std::filesystem::remove_all(folder);
    qv::service::ServiceOptions options;
    options.session.profileFolder = folder / "profiles";
    qv::service::KeyboardService service(keyboard, launcher, observer, options);

    // (a) arrival
    double cpu = CpuMs();
    auto start = Clock::now();
    if (!service.Start()) {
        std::fprintf(stderr, "the keyboard service did not start\n");
        return 1;
    }
    service.WaitIdle();
    double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    Print("(a) arrival with a full macro area", wall, Count(keyboard), 0.0, CpuMs() - cpu);

    // (b) apply
    (void)service.Call([](qv::service::KeyboardSession& session) {
        qv::service::KeyEntryEdit edit;
        edit.profile = 0;
        edit.slot = 0x3A;
        edit.entry = {.kind = qv::keys::KeyKind::Disabled};
        return session.StoreKeyEntry(edit);
    });
    keyboard.ClearSentReports();
    cpu = CpuMs();
    start = Clock::now();
    const qv::service::OperationResult applied =
        service.Call([](qv::service::KeyboardSession& session) { return session.Apply(); });
    wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!applied.Succeeded()) {
        std::fprintf(stderr, "apply failed\n");
        return 1;
    }
    Print("(b) apply of a full macro area", wall, Count(keyboard), 0.0, CpuMs() - cpu);
    std::filesystem::remove_all(folder);
    return 0;
}
