#include "gui/quorvane_app.h"

#include <QAction>
#include <QCursor>
#include <QEventLoop>
#include <QMetaObject>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <cstdio>

#include "app/single_instance_guard.h"
#include "core/utf16.h"
#include "gui/desktop_controller.h"
#include "gui/dialog_prompt.h"
#include "gui/lighting_panel.h"
#include "gui/main_window.h"
#include "gui/service_adapter.h"
#include "gui/tray_icon.h"
#include "platform/heap_release.h"
#include "platform/instance_lock.h"
#include "platform/path_launcher.h"
#include "platform/system_language.h"
#include "profiles/profile_folder.h"
#include "service/keyboard_service.h"
#include "service/lighting_writer.h"
#include "texts/user_text.h"

namespace qv::gui {

QuorvaneApp::QuorvaneApp(DesktopEnvironment environment) : environment_(std::move(environment)) {
    launcher_ = environment_.launcher;
    if (launcher_ == nullptr) {
        ownLauncher_ = std::make_unique<platform::PathLauncher>();
        launcher_ = ownLauncher_.get();
    }
}

QuorvaneApp::~QuorvaneApp() {
    TearDown();
}

std::optional<int> QuorvaneApp::Start() {
    platform::KeepLargeBlocksApart();
    // The application's settings root (read by the windows that keep settings there), the
    // language key and the texts.
    settings_ = std::make_unique<platform::IniSettingsStore>(environment_.applicationSettings);
    languageKey_ = std::make_unique<platform::IniSettingsStore>(environment_.languageSettings);
    systemLanguage_ = std::make_unique<platform::PosixSystemLanguage>();
    lookup_ = std::make_unique<ui::TextLookup>(environment_.programFolder, *languageKey_,
                                               *systemLanguage_);

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

    // The main window, and the keyboard service that reports to it.
    window_ = std::make_unique<MainWindow>(MainWindowSettings{
        .programFolder = environment_.programFolder,
        .trayAvailable = environment_.trayAvailable,
        .openUrl = environment_.openUrl,
        .settings = settings_.get(),
        .profileFolder = profiles::ProfileFolderPath(environment_.documentsFolder),
        .chooseFile = environment_.chooseFile});
    window_->Attach(texts_, *lookup_);
    prompt_ = std::make_unique<DialogPrompt>(window_.get());
    if (environment_.boxShown) {
        prompt_->SetBoxShown(environment_.boxShown);
    }
    adapter_ = std::make_unique<ServiceAdapter>();
    service::ServiceOptions options;
    const std::filesystem::path profileFolder =
        profiles::ProfileFolderPath(environment_.documentsFolder);
    options.session.profileFolder = profileFolder;
    options.session.updaterFolder = environment_.programFolder / "Help";
    options.session.captureOnArrival = true;
    options.session.newMacroNamePrefix =
        Utf8ToUtf16(ui::UserText(texts_, *lookup_, ui::TextSlot::MACRO_NEW_PREFIX));
    options.transportTiming = environment_.transportTiming;
    service_ = std::make_unique<service::KeyboardService>(backend_->service(), *launcher_,
                                                          *adapter_, std::move(options));
    lightingWriter_ = std::make_unique<service::LightingWriter>(*service_);
    controller_ =
        std::make_unique<DesktopController>(ControllerWiring{.window = *window_,
                                                             .prompt = *prompt_,
                                                             .adapter = *adapter_,
                                                             .service = *service_,
                                                             .lightingWriter = *lightingWriter_,
                                                             .texts = texts_,
                                                             .lookup = *lookup_,
                                                             .profileFolder = profileFolder});
    connect(controller_.get(), &DesktopController::EndRequested, this, &QuorvaneApp::Finish);

    // The end of the window's construction: only one instance runs. A later start's request
    // reaches the window's commands as a queued call, as a click would.
    instanceLock_ = std::make_unique<platform::InstanceLock>(environment_.instanceFolder);
    app::SingleInstanceGuard guard(*instanceLock_, launcher_);
    const QPointer<QAction> open = window_->Actions().open;
    const QPointer<QAction> exit = window_->Actions().exit;
    const app::GuardResult guarded = guard.Run(
        environment_.arguments, app::HandOffHandler([open, exit](app::HandOffRequest request) {
            QAction* action = request == app::HandOffRequest::Open ? open.data() : exit.data();
            if (action != nullptr) {
                QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
            }
        }));
    if (guarded.endProcess) {
        if (!guarded.refusal.empty()) {
            std::fprintf(stderr, "quorvane: %s\n", guarded.refusal.c_str());
        }
        return guarded.exitCode;
    }
    firstInstance_ = guarded.firstInstance;
    controller_->SetStartHidden(guarded.startHidden);

    // The window's initialisation: the keyboard service first (the keyboard found now is read
    // on its worker), then the skin.
    if (!service_->Start()) {
        std::fputs("quorvane: the keyboard service could not be started\n", stderr);
        return 0;
    }
    keyboardStarted_ = true;
    controller_->AwaitStartCount();
    if (auto failure = window_->Initialise()) {
        std::fprintf(stderr, "%s\n", failure->StderrLine().c_str());
        return ui::SkinExit::kExitCode;
    }
    // The tray icon exists before anything the service reports is shown; the window waits
    // hidden.
    window_->CreateTrayIcon();
    window_->HideWindow();
    return std::nullopt;
}

void QuorvaneApp::Finish(int exitCode) {
    if (finished_) {
        return;
    }
    finished_ = true;
    exitCode_ = exitCode;
    controller_->Stop();
    emit Ended();
}

int QuorvaneApp::Exec() {
    if (!finished_) {
        QEventLoop loop;
        connect(this, &QuorvaneApp::Ended, &loop, &QEventLoop::quit);
        loop.exec();
    }
    TearDown();
    return exitCode_;
}

bool QuorvaneApp::Settled() const {
    return service_ && service_->IsIdle() && adapter_->Drained();
}

void QuorvaneApp::TakeScreenshot(const QString& path) {
    // The pointer would leave its hover mark on whatever key lies under it.
    QCursor::setPos(0, 0);
    auto* timer = new QTimer(this);
    // Only this tool mode waits by asking: the arrival is over when the service's worker has
    // nothing left and everything it reported has been shown.
    timer->setInterval(50);
    connect(timer, &QTimer::timeout, this, [this, timer, path] {
        if (finished_ || !Settled()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        const bool saved = window_->grab().save(path);
        if (saved) {
            std::printf("quorvane: screenshot saved to %s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "quorvane: cannot write %s\n", qPrintable(path));
        }
        std::fflush(stdout);
        controller_->Exit();
        if (!saved) {
            exitCode_ = 1;
        }
    });
    timer->start();
}

void QuorvaneApp::TearDown() {
    if (tornDown_) {
        return;
    }
    tornDown_ = true;
    // A worker waiting on a question is released first, and so is a box still showing; the
    // hand-off listener can then be joined, then the service's worker.
    if (adapter_) {
        adapter_->Close();
    }
    if (prompt_) {
        prompt_->Close();
    }
    instanceLock_.reset();
    if (service_) {
        service_->Stop();
    }
    controller_.reset();
    lightingWriter_.reset();
    service_.reset();
    // A process that handed its request on never used its keyboard; keeping its copy of a
    // simulated keyboard would overwrite the running instance's.
    if (backend_ && keyboardStarted_) {
        if (auto failure = backend_->Save()) {
            std::fprintf(stderr, "quorvane: %s\n", failure->message.c_str());
        }
    }
    adapter_.reset();
    prompt_.reset();
    window_.reset();
    backend_.reset();
    settings_.reset();
}

}  // namespace qv::gui
