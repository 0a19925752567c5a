// desktop_bench: the desktop program against the simulated keyboard at full speed, each figure
// printed next to its floor measured in the same run.
//
//  (a) the longest stall of the window's event loop, seen by a 5 ms heartbeat timer, during an
//      arrival and during an apply of a full macro area (aim: at most 50 ms);
//  (b) the time from process start to the tray icon being ready, and the memory: resident with
//      the window open, resident while hidden in the tray after the window has been opened and
//      closed once, and the peak; each next to a minimal Qt Widgets program's (median of several
//      runs each; aims: start 2x, hidden 1.5x, open and peak 2x). Each run of the program is a
//      first start in fresh folders, with a keyboard whose macro memory is already full;
//  (c) wake-ups per second while idle with the keyboard attached, per thread, next to the
//      minimal program's (aim: none beyond Qt's own).
//
// Run it offscreen: QT_QPA_PLATFORM=offscreen build/bin/desktop_bench; or under X, where the
// window's backing store is shared memory, with QT_QPA_PLATFORM=xcb.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "gui/main_window.h"
#include "gui/quorvane_app.h"
#include "gui/tray_icon.h"
#include "gui/widgets/png_button.h"
#include "service/keyboard_backend.h"
#include "service/keyboard_service.h"
#include "sim/full_macro_area.h"
#include "sim/sim_hid_service.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

class NoLauncher final : public qv::platform::ProgramLauncher {
public:
    bool Start(std::string_view, std::string_view, const std::filesystem::path&) override {
        return false;
    }
};

// Fills the macro memory of the simulated keyboard kept in `stateFile`: the keyboard holds its
// macros before the program starts, as a real one does, and filling them is no part of the
// program's start.
void PrepareKeyboard(const std::filesystem::path& stateFile) {
    auto backend = qv::service::KeyboardBackend::Open(
        {qv::service::KeyboardChoice::Kind::Simulated, stateFile});
    auto* opened = std::get_if<std::unique_ptr<qv::service::KeyboardBackend>>(&backend);
    if (opened == nullptr) {
        std::fprintf(stderr, "the simulated keyboard could not be opened\n");
        std::exit(1);
    }
    (*opened)->simulated()->UpdateMemory(
        [](qv::sim::KeyboardMemory& memory) { (void)qv::sim::FillMacroArea(memory); });
}

// The program's folders under `root`, whose simulated keyboard PrepareKeyboard has filled.
qv::gui::DesktopEnvironment BenchEnvironment(const std::filesystem::path& root,
                                             NoLauncher& launcher) {
    std::filesystem::create_directories(root / "runtime");
    std::filesystem::permissions(root / "runtime", std::filesystem::perms::owner_all);
    qv::gui::DesktopEnvironment environment;
    environment.arguments = {"--start"};
    environment.keyboard = {qv::service::KeyboardChoice::Kind::Simulated, root / "sim.ini"};
    environment.programFolder = QCoreApplication::applicationDirPath().toStdString();
    environment.documentsFolder = root / "documents";
    environment.instanceFolder = root / "runtime" / "quorvane";
    environment.applicationSettings = root / "settings.ini";
    environment.languageSettings = root / "language.ini";
    environment.trayAvailable = true;
    environment.openUrl = [](const QUrl&) {};
    environment.launcher = &launcher;
    environment.backendReady = [](qv::service::KeyboardBackend& backend) {
        backend.simulated()->SetTiming({qv::sim::SimTiming::Mode::FullSpeed, {}});
    };
    return environment;
}

// The desktop program under an application of its own, in the folders under `root`.
class BenchDesktop {
public:
    explicit BenchDesktop(const std::filesystem::path& root)
        : application_(argc_, argv_), app(BenchEnvironment(root, launcher_)) {}

private:
    int argc_ = 1;
    char name_[9] = "quorvane";
    char* argv_[2] = {name_, nullptr};
    QApplication application_;
    NoLauncher launcher_;

public:
    qv::gui::QuorvaneApp app;
};

// Runs the event loop until `done`, asked every millisecond.
void RunUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer check;
    check.setInterval(1);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    check.start();
    if (!done()) {
        loop.exec();
    }
}

// Context switches of every thread of this process, by thread name.
std::map<std::string, long> ContextSwitches() {
    std::map<std::string, long> switches;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const std::string base = "/proc/self/task/" + task.toStdString();
        std::string name;
        std::getline(std::ifstream(base + "/comm"), name);
        std::ifstream status(base + "/status");
        std::string line;
        long count = 0;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
                line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
                count += std::atol(line.substr(line.find(':') + 1).c_str());
            }
        }
        switches[name + " (" + task.toStdString() + ")"] += count;
    }
    return switches;
}

// Lets the event loop run for `ms`: what a show or a hide set off (paints, deferred deletes,
// released pictures) has happened by then, or the program has idled that long.
void Linger(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Idles in the event loop for `seconds` and reports the wake-ups of each thread per second.
std::map<std::string, double> IdleWakeups(int seconds) {
    const auto before = ContextSwitches();
    Linger(seconds * 1000);
    const auto after = ContextSwitches();
    std::map<std::string, double> rates;
    for (const auto& [thread, count] : after) {
        const auto was = before.find(thread);
        const long start = was != before.end() ? was->second : 0;
        rates[thread] = static_cast<double>(count - start) / seconds;
    }
    return rates;
}

void PrintWakeups(const char* who, const std::map<std::string, double>& rates) {
    double total = 0;
    for (const auto& [thread, rate] : rates) {
        total += rate;
    }
    std::printf("    %s: %.1f wake-ups/s in all\n", who, total);
    for (const auto& [thread, rate] : rates) {
        std::printf("        %-28s %.1f/s\n", thread.c_str(), rate);
    }
}

// ---- Children ------------------------------------------------------------------------------

// A figure of this process's /proc/self/status in kB: VmHWM the peak resident memory so far,
// VmRSS the resident memory now.
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::atol(line.substr(prefix.size()).c_str());
        }
    }
    return 0;
}

long PeakKb() {
    return StatusKb("VmHWM");
}

constexpr int kLingerMs = 300;
// How long the program settles before its idle wake-ups are counted.
constexpr int kSettleMs = 500;

void PrintFigure(const char* name, long value) {
    std::printf("%s %ld\n", name, value);
    std::fflush(stdout);
}

int MinimalChild(bool idle) {
    int argc = 1;
    char name[] = "minimal";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QWidget window;
    window.resize(320, 200);
    window.show();
    QTimer::singleShot(0, [] {
        std::printf("ready %lld\n", static_cast<long long>(NowNs()));
        std::fflush(stdout);
    });
    if (idle) {
        Linger(kSettleMs);
        PrintWakeups("a minimal Qt Widgets program", IdleWakeups(3));
        return 0;
    }
    QTimer::singleShot(0, [&window] {
        Linger(kLingerMs);
        PrintFigure("open", StatusKb("VmRSS"));
        window.hide();
        Linger(kLingerMs);
        PrintFigure("hidden", StatusKb("VmRSS"));
        PrintFigure("peak", PeakKb());
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

int AppChild(const std::filesystem::path& root) {
    BenchDesktop desktop(root);
    qv::gui::QuorvaneApp& app = desktop.app;
    if (app.Start()) {
        return 1;
    }
    RunUntil([&] { return app.Window().Tray().Exists(); });
    std::printf("ready %lld\n", static_cast<long long>(NowNs()));
    std::fflush(stdout);
    // The keyboard read, a full macro area included; then the window opened from the tray and
    // closed again, as a user does.
    RunUntil([&] { return app.Settled(); });
    app.Window().Actions().open->trigger();
    RunUntil([&] { return app.Window().isVisible(); });
    Linger(kLingerMs);
    PrintFigure("open", StatusKb("VmRSS"));
    app.Window().Button("CONTROL_CANCEL")->click();
    RunUntil([&] { return !app.Window().isVisible(); });
    Linger(kLingerMs);
    PrintFigure("hidden", StatusKb("VmRSS"));
    PrintFigure("peak", PeakKb());
    return 0;
}

// ---- The driver ----------------------------------------------------------------------------

struct ChildRun {
    double readyMs = 0;
    double peakMb = 0;
    double openMb = 0;
    double hiddenMb = 0;
    std::string output;
};

// The figure `name` the child printed, from kB to MB; 0 when it printed none.
double FigureMb(const std::string& output, const std::string& name) {
    const auto at = output.find(name + " ");
    if (at == std::string::npos) {
        return 0;
    }
    return static_cast<double>(std::atol(output.c_str() + at + name.size() + 1)) / 1024.0;
}

// Runs this program as the child `mode`, in the folders under `root` for the desktop program.
ChildRun RunChild(const std::string& self, const std::string& mode,
                  const std::filesystem::path& root = {}) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::string flag = "--child";
    std::string which = mode;
    std::string program = self;
    std::string folder = root.string();
    char* argv[] = {program.data(), flag.data(), which.data(), folder.data(), nullptr};
    const std::int64_t started = NowNs();
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, environ) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    ChildRun run;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        run.output.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    const auto at = run.output.find("ready ");
    if (at != std::string::npos) {
        const long long ready = std::atoll(run.output.c_str() + at + 6);
        run.readyMs = static_cast<double>(ready - started) / 1e6;
    }
    // Not the rusage figure: a child started by posix_spawn counts this process's memory until
    // its exec.
    run.peakMb = FigureMb(run.output, "peak");
    run.openMb = FigureMb(run.output, "open");
    run.hiddenMb = FigureMb(run.output, "hidden");
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One figure of both programs, with its ratio and the ratio aimed at.
void PrintComparison(const char* what, double quorvane, double minimal, double aim,
                     const char* unit) {
    const double ratio = quorvane / minimal;
    std::printf("    %-44s quorvane %6.1f %s, minimal %6.1f %s, ratio %.2f (aim <= %.1f: %s)\n",
                what, quorvane, unit, minimal, unit, ratio, aim, ratio <= aim ? "met" : "NOT met");
}

void StartupAndMemory(const std::string& self) {
    constexpr int kRuns = 7;
    std::vector<double> minimalReady, minimalPeak, minimalOpen, minimalHidden;
    std::vector<double> appReady, appPeak, appOpen, appHidden;
    for (int i = 0; i < kRuns; ++i) {
        const ChildRun minimal = RunChild(self, "minimal");
        minimalReady.push_back(minimal.readyMs);
        minimalPeak.push_back(minimal.peakMb);
        minimalOpen.push_back(minimal.openMb);
        minimalHidden.push_back(minimal.hiddenMb);
        // A fresh start each time, in folders of its own.
        const QTemporaryDir folder;
        const std::filesystem::path root = folder.path().toStdString();
        PrepareKeyboard(root / "sim.ini");
        const ChildRun app = RunChild(self, "app", root);
        appReady.push_back(app.readyMs);
        appPeak.push_back(app.peakMb);
        appOpen.push_back(app.openMb);
        appHidden.push_back(app.hiddenMb);
    }
    std::printf(
        "(b) start-up and memory, median of %d runs each, next to a minimal Qt Widgets "
        "program\n",
        kRuns);
    PrintComparison("start to ready:", Median(appReady), Median(minimalReady), 2.0, "ms");
    PrintComparison("resident, hidden after the window was open:", Median(appHidden),
                    Median(minimalHidden), 1.5, "MB");
    PrintComparison("resident with the window open:", Median(appOpen), Median(minimalOpen), 2.0,
                    "MB");
    PrintComparison("peak resident:", Median(appPeak), Median(minimalPeak), 2.0, "MB");
}

// The heartbeat: a 5 ms timer on the window's thread; its longest gap less 5 ms is the
// longest time the event loop did not get round to it.
class Heartbeat {
public:
    Heartbeat() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(kPeriodMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
            ++beats_;
        });
    }
    void Start() {
        longest_ = 0;
        beats_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    void Stop() { timer_.stop(); }
    [[nodiscard]] double StallMs() const {
        return std::max(0.0, static_cast<double>(longest_) / 1e6 - kPeriodMs);
    }
    [[nodiscard]] int Beats() const { return beats_; }

private:
    static constexpr int kPeriodMs = 5;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
    int beats_ = 0;
};

int Driver(const std::string& self) {
    std::printf("desktop_bench: the simulated keyboard at full speed, offscreen\n");
    {
        const QTemporaryDir folder;
        const std::filesystem::path root = folder.path().toStdString();
        PrepareKeyboard(root / "sim.ini");
        BenchDesktop desktop(root);
        qv::gui::QuorvaneApp& app = desktop.app;
        Heartbeat heartbeat;

        // (a) arrival: from the end of start-up (the window's set-up is done; the keyboard is
        // being read) until the worker has read everything.
        if (app.Start()) {
            std::fprintf(stderr, "the program ended at start-up\n");
            return 1;
        }
        heartbeat.Start();
        RunUntil([&] { return app.Settled(); });
        heartbeat.Stop();
        std::printf(
            "(a) longest event-loop stall during an arrival with a full macro area: %.1f ms "
            "(%d beats; aim: <= 50 ms)\n",
            heartbeat.StallMs(), heartbeat.Beats());

        // (a) apply of the full macro area, from the Apply button until the service has
        // written it and the window has heard so.
        qv::service::KeyboardService& service = app.Service();
        (void)service.Call([](qv::service::KeyboardSession& session) {
            qv::service::KeyEntryEdit edit;
            edit.profile = 0;
            edit.slot = 0x3A;
            edit.entry = {.kind = qv::keys::KeyKind::Disabled};
            return session.StoreKeyEntry(edit);
        });
        RunUntil([&] { return app.Window().Button("CONTROL2_APPLY")->isEnabled(); });
        bool clicked = false;
        QTimer::singleShot(0, [&] {
            app.Window().Button("CONTROL2_APPLY")->click();
            clicked = true;
        });
        heartbeat.Start();
        RunUntil([&] { return clicked && app.Settled() && !service.ApplyPending(); });
        heartbeat.Stop();
        std::printf(
            "    longest event-loop stall during an apply of the full macro area: %.1f ms "
            "(%d beats; aim: <= 50 ms)\n",
            heartbeat.StallMs(), heartbeat.Beats());

        // (c) idle with the keyboard attached.
        Linger(kSettleMs);
        std::printf("(c) idle for 3 s with the keyboard attached\n");
        PrintWakeups("quorvane", IdleWakeups(3));
        const ChildRun minimal = RunChild(self, "minimal-idle");
        const auto report = minimal.output.find("    a minimal");
        std::fputs(minimal.output.substr(report == std::string::npos ? 0 : report).c_str(), stdout);
        std::printf(
            "    (wake-ups are context switches; the 3 s timer that ends each "
            "measurement counts once)\n");
    }
    StartupAndMemory(self);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--child") {
        const std::string mode = argv[2];
        if (mode == "minimal") {
            return MinimalChild(false);
        }
        if (mode == "minimal-idle") {
            return MinimalChild(true);
        }
        if (mode == "app" && argc == 4) {
            return AppChild(argv[3]);
        }
        return 2;
    }
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        return 1;
    }
    self[length] = '\0';
    return Driver(self);
}
