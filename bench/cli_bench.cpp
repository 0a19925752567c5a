// quorvanectl commands run in-process on the simulated keyboard in full-speed USB timing (a
// request taken at the next 1 ms frame, its reply one frame later), each printed against its
// floor: the reports the run sent times the 2 ms round trip, plus the 10 ms pause the protocol
// asks for before each end of a transfer group. Also the threads each run starts.
//   (a) assign --apply: one key of the active profile, written at once;
//   (b) macro add with 990 taps, then apply;
//   (c) keys show.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "device/device_report.h"
#include "sim/sim_hid_service.h"

namespace {

using Clock = std::chrono::steady_clock;

int TaskCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& task :
         std::filesystem::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

struct Traffic {
    std::size_t reports = 0;
    std::size_t endTransfers = 0;
};

struct Measured {
    double wallMs = 0;
    // From the start to the end of the keyboard's arrival, and from there to the end of the
    // command.
    double arrivalMs = 0;
    double commandMs = 0;
    std::size_t arrivalReports = 0;
    Traffic traffic;
    int threads = 0;
    int code = -1;
    std::string err;
};

class Bench {
public:
    explicit Bench(const std::filesystem::path& folder) : folder_(folder) {
        env_.documentsFolder = folder / "documents";
        env_.stateFolder = folder / "state";
        env_.programFolder = std::filesystem::path(QV_SOURCE_DIR) / "lang";
        env_.openKeyboard = [](const qv::service::KeyboardChoice& choice) {
            auto opened = qv::service::KeyboardBackend::Open(choice);
            if (auto* backend =
                    std::get_if<std::unique_ptr<qv::service::KeyboardBackend>>(&opened)) {
                (*backend)->simulated()->SetTiming({qv::sim::SimTiming::Mode::FullSpeed, {}});
            }
            return opened;
        };
        env_.keyboardArrived = [this](qv::service::KeyboardBackend& backend) {
            threadsDuringRun_ = TaskCount();
            arrived_ = Clock::now();
            arrivalReports_ = backend.simulated()->SentReports().size();
        };
        env_.keyboardDone = [this](qv::service::KeyboardBackend& backend) {
            done_ = Clock::now();
            traffic_ = {};
            for (const auto& report : backend.simulated()->SentReports()) {
                ++traffic_.reports;
                traffic_.endTransfers +=
                    report[qv::device::kCommandOffset] == qv::device::CMD_END_TRANSFER;
            }
        };
    }

    Measured Run(std::vector<std::string> args) {
        args.insert(args.begin(), "--keyboard=sim:" + (folder_ / "keyboard.state").string());
        std::ostringstream out;
        std::ostringstream err;
        const int before = TaskCount();
        const auto start = Clock::now();
        const int code = qv::cli::RunCli(args, out, err, env_);
        const auto end = Clock::now();
        Measured measured;
        measured.wallMs = std::chrono::duration<double, std::milli>(end - start).count();
        measured.arrivalMs = std::chrono::duration<double, std::milli>(arrived_ - start).count();
        measured.commandMs = std::chrono::duration<double, std::milli>(done_ - arrived_).count();
        measured.arrivalReports = arrivalReports_;
        measured.traffic = traffic_;
        measured.threads = threadsDuringRun_ - before;
        measured.code = code;
        measured.err = err.str();
        return measured;
    }

private:
    std::filesystem::path folder_;
    qv::cli::CliEnvironment env_;
    Traffic traffic_;
    int threadsDuringRun_ = 0;
    Clock::time_point arrived_;
    Clock::time_point done_;
    std::size_t arrivalReports_ = 0;
};

bool Print(const char* what, const Measured& m) {
    if (m.code != 0) {
        std::fprintf(stderr, "%s failed (%d): %s", what, m.code, m.err.c_str());
        return false;
    }
    const double floorMs = static_cast<double>(m.traffic.reports) * 2.0 +
                           static_cast<double>(m.traffic.endTransfers) * 10.0;
    std::printf(
        "%s\n    %zu reports, %zu transfer ends: wall %.1f ms, floor %.1f ms, ratio %.4f "
        "(aim: <= 1.05); threads started %d\n    arrival %.1f ms (%zu reports), command %.1f ms\n",
        what, m.traffic.reports, m.traffic.endTransfers, m.wallMs, floorMs, m.wallMs / floorMs,
        m.threads, m.arrivalMs, m.arrivalReports, m.commandMs);
    return true;
}

}  // namespace

int main() {
    // Every save flushes its file to the disk before it takes the old one's place; how long the
    // disk takes for that is the machine's, not the program's, and varies by tens of
    // milliseconds on a virtual disk. A memory-backed folder, where there is one, leaves the
    // program's own time.
    std::error_code error;
    const std::filesystem::path memory = "/dev/shm";
    const bool inMemory = std::filesystem::is_directory(memory, error);
    const auto folder =
        (inMemory ? memory : std::filesystem::temp_directory_path()) / "quorvane-cli-bench";
    std::printf("files in %s\n", folder.c_str());
    std::filesystem::remove_all(folder);
    Bench bench(folder);

    bool ok = Print("(a) assign --apply", bench.Run({"assign", "F1", "disabled", "--apply"}));

    std::string taps;
    for (int i = 0; i < 990; ++i) {
        taps += (taps.empty() ? "tap " : ", tap ") + std::string(i % 2 == 0 ? "A" : "B");
    }
    ok = ok && Print("(b) macro add, 990 taps, --apply",
                     bench.Run({"macro", "add", "Long", taps, "--apply"}));
    ok = ok && Print("(c) keys show", bench.Run({"keys", "show"}));
    std::filesystem::remove_all(folder);
    return ok ? 0 : 1;
}
