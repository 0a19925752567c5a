// quorvane_arrival_check: the desktop app's part of the end-to-end run on a kernel HID device.
// It starts the desktop app (offscreen) on the keyboard given, waits for the keyboard's arrival,
// then has the keyboard raise its own key events and prints what the app made of each, one line
// a step, so that a run on the uhid keyboard and one on the simulated keyboard compare byte for
// byte.
//
//   quorvane_arrival_check --keyboard=real --control FIFO   (the uhid adapter's control pipe)
//   quorvane_arrival_check --keyboard=sim:PATH
//
// Exit code 0 when every step came about, 1 when one did not within its wait.

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QMessageBox>
#include <QThread>

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "core/hex.h"
#include "device/key_events.h"
#include "gui/main_window.h"
#include "gui/quorvane_app.h"
#include "gui/tray_icon.h"
#include "service/keyboard_service.h"
#include "sim/sim_hid_service.h"
#include "support/recording_launcher.h"

namespace {

using qv::gui::QuorvaneApp;
using qv::gui::TrayIcon;

// Long enough for an emulated machine without hardware acceleration; nothing is timed.
constexpr qint64 kWaitMs = 60'000;

class ShowCounter final : public QObject {
public:
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            ++shown;
        }
        return QObject::eventFilter(watched, event);
    }
};

bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > kWaitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// How the keyboard is made to do something: through the uhid adapter's control pipe, or on the
// simulated keyboard in this process.
class KeyboardHand {
public:
    KeyboardHand(QuorvaneApp& app, std::string control) : app_(app), control_(std::move(control)) {}

    bool Say(const std::string& line) {
        if (control_.empty()) {
            qv::sim::SimHidService* keyboard = app_.Backend().simulated();
            if (keyboard == nullptr) {
                return false;
            }
            if (line == "bank-toggle") {
                keyboard->RaiseKeyEvent(qv::device::KEY_EVENT_BANK_TOGGLE);
            } else if (line == "play-on") {
                keyboard->RaiseKeyEvent(qv::device::KEY_EVENT_PLAY_ON);
            } else if (line == "play-off") {
                keyboard->RaiseKeyEvent(qv::device::KEY_EVENT_PLAY_OFF);
            } else if (line.starts_with("profile ")) {
                keyboard->ChangeProfileOnKeyboard(std::stoi(line.substr(8)) - 1);
            } else {
                return false;
            }
            return true;
        }
        // Not blocking: with no adapter reading, the pipe refuses at once.
        const int fd = open(control_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        const std::string text = line + "\n";
        const bool written =
            write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        close(fd);
        return written;
    }

private:
    QuorvaneApp& app_;
    std::string control_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::string keyboardText = "real";
    std::string control;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument.starts_with("--keyboard=")) {
            keyboardText = std::string(argument.substr(11));
        } else if (argument == "--control" && i + 1 < argc) {
            control = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: quorvane_arrival_check --keyboard=real --control FIFO | "
                         "--keyboard=sim:PATH\n");
            return 2;
        }
    }
    const auto choice = qv::service::ParseKeyboardChoice(keyboardText);
    if (!choice) {
        std::fprintf(stderr, "quorvane_arrival_check: unknown keyboard '%s'\n",
                     keyboardText.c_str());
        return 2;
    }

    const std::filesystem::path home = QDir::homePath().toStdString();
    qv::test::RecordingLauncher launcher{false};
    qv::gui::DesktopEnvironment environment;
    environment.keyboard = *choice;
    environment.programFolder = QCoreApplication::applicationDirPath().toStdString();
    environment.documentsFolder = home / "Documents";
    environment.instanceFolder = home / "runtime" / "quorvane";
    environment.applicationSettings = home / "config" / "Quorvane_Dravik" / "Quorvane.ini";
    environment.languageSettings = home / "config" / "Pelliton_T22.ini";
    environment.launcher = &launcher;
    environment.openUrl = [](const QUrl&) {};
    environment.boxShown = [](QMessageBox& box) {
        std::printf("message box: %s\n", qPrintable(box.text()));
        QMetaObject::invokeMethod(
            &box, [&box] { box.done(QMessageBox::Cancel); }, Qt::QueuedConnection);
    };
    std::filesystem::create_directories(home / "runtime");
    std::filesystem::permissions(home / "runtime", std::filesystem::perms::owner_all);

    QuorvaneApp app(std::move(environment));
    if (const auto early = app.Start()) {
        std::printf("the program ended at start-up with exit code %d\n", *early);
        return 1;
    }
    // The window exists from Start on; the arrival that opens it is handled by the event loop.
    ShowCounter shows;
    shows.shown = app.Window().isVisible() ? 1 : 0;
    app.Window().installEventFilter(&shows);
    KeyboardHand hand(app, control);
    qv::gui::MainWindow& window = app.Window();
    const auto step = [&](const char* what, const std::function<bool()>& done) {
        if (!WaitFor([&] { return app.Settled() && done(); })) {
            std::printf("%s: did not come about\n", what);
            std::fflush(stdout);
            return false;
        }
        return true;
    };
    const auto led = [&] { return qv::HexBytes(app.Service().LedReport()); };

    if (!step("arrival", [&] { return window.isVisible(); })) {
        return 1;
    }
    std::printf("arrival: window open, profile slot %d, tray %s, LED report %s\n",
                window.ActiveSlotShown() + 1,
                window.Tray().Shown() == TrayIcon::State::Keyboard ? "keyboard" : "other",
                led().c_str());

    struct Event {
        const char* line;
        std::function<bool()> done;
        std::function<std::string()> shown;
    };
    const auto slot = [&] {
        return "profile slot " + std::to_string(window.ActiveSlotShown() + 1);
    };
    const auto tray = [&] {
        const auto shown = window.Tray().Shown();
        return std::string("tray ") + (shown == TrayIcon::State::Playing    ? "playing"
                                       : shown == TrayIcon::State::Keyboard ? "keyboard"
                                                                            : "no keyboard");
    };
    const Event events[] = {
        {"bank-toggle", [&] { return app.Service().LedReport()[1] == 0x03; },
         [&] { return "LED report " + led(); }},
        {"bank-toggle", [&] { return app.Service().LedReport()[1] == 0x02; },
         [&] { return "LED report " + led(); }},
        {"profile 2", [&] { return window.ActiveSlotShown() == 1; }, slot},
        {"play-on", [&] { return window.Tray().Shown() == TrayIcon::State::Playing; }, tray},
        {"play-off", [&] { return window.Tray().Shown() == TrayIcon::State::Keyboard; }, tray},
    };
    for (const Event& event : events) {
        if (!hand.Say(event.line)) {
            std::printf("%s: could not be raised\n", event.line);
            return 1;
        }
        if (!step(event.line, event.done)) {
            return 1;
        }
        std::printf("%s: %s\n", event.line, event.shown().c_str());
    }
    std::printf("the window was opened %d time(s)\n", shows.shown);
    std::fflush(stdout);
    return shows.shown == 1 ? 0 : 1;
}
