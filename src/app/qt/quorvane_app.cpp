#include "app/qt/quorvane_app.h"

#include <QCursor>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

#include "app/keyboard_app.h"
#include "app/qt/dialog_prompt.h"
#include "app/qt/main_window.h"
#include "app/qt/message_pump.h"
#include "app/single_instance_guard.h"
#include "platform/instance_lock.h"
#include "platform/path_launcher.h"
#include "platform/settings_store.h"
#include "platform/system_language.h"

namespace qv::gui {

CQuorvaneApp::CQuorvaneApp(DesktopEnvironment environment) : environment_(std::move(environment)) {
    launcher_ = environment_.launcher;
    if (launcher_ == nullptr) {
        ownLauncher_ = std::make_unique<platform::PathLauncher>();
        launcher_ = ownLauncher_.get();
    }
}

CQuorvaneApp::~CQuorvaneApp() {
    TearDown();
}

std::optional<int> CQuorvaneApp::Start() {
    // The application's settings root (read by the windows that keep settings there) and the
    // language key.
    settings_ = std::make_unique<platform::IniSettingsStore>(environment_.applicationSettings);
    languageKey_ = std::make_unique<platform::IniSettingsStore>(environment_.languageSettings);
    systemLanguage_ = std::make_unique<platform::PosixSystemLanguage>();

    auto backend = service::KeyboardBackend::Open(environment_.keyboard);
    if (auto* failure = std::get_if<service::BackendError>(&backend)) {
        // The keyboard service cannot start: the program ends as when its library fails.
        std::fprintf(stderr, "quorvane: %s\n", failure->message.c_str());
        return 0;
    }
    backend_ = std::move(std::get<std::unique_ptr<service::KeyboardBackend>>(backend));
    if (environment_.backendReady) {
        environment_.backendReady(*backend_);
    }

    // The main window and everything it drives.
    window_ = std::make_unique<CQuorvaneDlg>(
        MainWindowSettings{.programFolder = environment_.programFolder,
                           .trayAvailable = environment_.trayAvailable,
                           .openUrl = environment_.openUrl});
    prompt_ = std::make_unique<DialogPrompt>(window_.get());
    if (environment_.boxShown) {
        prompt_->SetBoxShown(environment_.boxShown);
    }
    keyboard_ = std::make_unique<app::KeyboardApp>(
        app::KeyboardAppEnvironment{.service = backend_->service(),
                                    .view = *window_,
                                    .prompt = *prompt_,
                                    .launcher = *launcher_,
                                    .exit = *this,
                                    .programFolder = environment_.programFolder,
                                    .documentsFolder = environment_.documentsFolder,
                                    .languageKey = *languageKey_,
                                    .systemLanguage = *systemLanguage_,
                                    .startedWithStart = false,
                                    .transportTiming = environment_.transportTiming,
                                    .busyTiming = environment_.busyTiming});
    window_->Attach(*keyboard_, *prompt_);
    pump_ = std::make_unique<MessagePump>(keyboard_->loop);
    connect(window_.get(), &CQuorvaneDlg::Ended, this, [this] { Finish(0); });

    // The end of the window's construction: only one instance runs.
    instanceLock_ = std::make_unique<platform::InstanceLock>(environment_.instanceFolder);
    app::SingleInstanceGuard guard(*instanceLock_, launcher_);
    const app::GuardResult guarded =
        guard.Run(environment_.arguments, app::ForwardToMainWindow(keyboard_->loop));
    if (guarded.endProcess) {
        return guarded.exitCode;
    }
    firstInstance_ = guarded.firstInstance;
    if (guarded.startHidden) {
        keyboard_->link.SetOpenedOnce();
    }
    keyboard_->core.SetApplyPending(false);

    // The window's initialisation: the keyboard service first, then the skin.
    if (!keyboard_->Start()) {
        std::fputs("quorvane: the keyboard service could not be started\n", stderr);
        return 0;
    }
    keyboardStarted_ = true;
    if (auto failure = window_->Initialise()) {
        std::fprintf(stderr, "%s\n", failure->StderrLine().c_str());
        return ui::SkinExit::kExitCode;
    }
    return std::nullopt;
}

int CQuorvaneApp::Exec() {
    if (!finished_) {
        QEventLoop loop;
        connect(this, &CQuorvaneApp::Ended, &loop, &QEventLoop::quit);
        loop.exec();
    }
    TearDown();
    return exitCode_;
}

void CQuorvaneApp::EndProgram(int exitCode) {
    if (window_) {
        window_->hide();
    }
    Finish(exitCode);
}

void CQuorvaneApp::Finish(int exitCode) {
    if (finished_) {
        return;
    }
    finished_ = true;
    exitCode_ = exitCode;
    emit Ended();
}

void CQuorvaneApp::TakeScreenshot(const QString& path) {
    // The pointer would leave its hover mark on whatever key lies under it.
    QCursor::setPos(0, 0);
    auto* timer = new QTimer(this);
    // Only this tool mode waits by asking: the arrival is over when the worker has nothing
    // left and the window's queue is empty.
    timer->setInterval(50);
    connect(timer, &QTimer::timeout, this, [this, timer, path] {
        if (finished_ || !keyboard_->IsSettled() || pump_->Busy()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        keyboard_->loop.RunUntilIdle();
        const bool saved = window_->grab().save(path);
        if (saved) {
            std::printf("quorvane: screenshot saved to %s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "quorvane: cannot write %s\n", qPrintable(path));
        }
        std::fflush(stdout);
        keyboard_->core.Exit();
        if (!saved) {
            exitCode_ = 1;
        }
    });
    timer->start();
}

void CQuorvaneApp::TearDown() {
    if (tornDown_) {
        return;
    }
    tornDown_ = true;
    // Workers waiting on a question or on the window are released first; the hand-off
    // listener can then be joined, then the workers and the keyboard service.
    if (prompt_) {
        prompt_->Close();
    }
    if (keyboard_) {
        keyboard_->loop.Shutdown();
    }
    instanceLock_.reset();
    if (pump_) {
        pump_->Detach();
    }
    keyboard_.reset();
    // A process that handed its request on never used its keyboard; keeping its copy of a
    // simulated keyboard would overwrite the running instance's.
    if (backend_ && keyboardStarted_) {
        if (auto failure = backend_->Save()) {
            std::fprintf(stderr, "quorvane: %s\n", failure->message.c_str());
        }
    }
    pump_.reset();
    prompt_.reset();
    window_.reset();
    backend_.reset();
    settings_.reset();
}

}  // namespace qv::gui
