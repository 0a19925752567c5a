#include "app/qt/quorvane_app.h"

#include <QAction>
#include <QCursor>
#include <QEventLoop>
#include <QMetaObject>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <cstdio>

#include "app/keyboard_view_model.h"
#include "app/main_window_commands.h"
#include "app/profile_switch.h"
#include "app/qt/dialog_prompt.h"
#include "app/qt/lighting_panel.h"
#include "app/qt/main_window.h"
#include "app/qt/service_adapter.h"
#include "app/single_instance_guard.h"
#include "assignments/assignment_spec.h"
#include "core/utf16.h"
#include "platform/heap_release.h"
#include "platform/instance_lock.h"
#include "platform/path_launcher.h"
#include "platform/system_language.h"
#include "profiles/profile_folder.h"
#include "service/keyboard_service.h"
#include "service/lighting_writer.h"
#include "ui/lookup_keys.h"
#include "ui/service_texts.h"
#include "ui/user_text.h"

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
    window_ = std::make_unique<CQuorvaneDlg>(MainWindowSettings{
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
    ApplyBoxButtonTexts();
    adapter_ = std::make_unique<ServiceAdapter>();
    service::ServiceOptions options;
    profileFolder_ = profiles::ProfileFolderPath(environment_.documentsFolder);
    options.session.profileFolder = profileFolder_;
    options.session.updaterFolder = environment_.programFolder / "Help";
    options.session.captureOnArrival = true;
    options.session.newMacroNamePrefix =
        Utf8ToUtf16(ui::UserText(texts_, *lookup_, ui::TextSlot::MACRO_NEW_PREFIX));
    options.transportTiming = environment_.transportTiming;
    service_ = std::make_unique<service::KeyboardService>(backend_->service(), *launcher_,
                                                          *adapter_, std::move(options));
    lightingWriter_ = std::make_unique<service::LightingWriter>(*service_);
    ConnectService();
    ConnectWindow();
    ConnectLighting();

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
    openRule_ = app::WindowOpenRule(guarded.startHidden);

    // The window's initialisation: the keyboard service first (the keyboard found now is read
    // on its worker), then the skin.
    if (!service_->Start()) {
        std::fputs("quorvane: the keyboard service could not be started\n", stderr);
        return 0;
    }
    keyboardStarted_ = true;
    // Runs after the keyboard count found at start has been handled: from then on an arrival
    // is a replug.
    service_->Post([this](service::KeyboardSession&) {
        adapter_->Deliver([this] { openRule_.StartCountHandled(); });
    });
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

void CQuorvaneApp::ConnectService() {
    ServiceAdapter* adapter = adapter_.get();
    CQuorvaneDlg* window = window_.get();
    // After the exit path nothing the service still reports is shown.
    const auto live = [this](auto&& handle) {
        return [this, handle](auto... arguments) {
            if (!finished_) {
                handle(arguments...);
            }
        };
    };
    connect(adapter, &ServiceAdapter::Arrived, this, live([this] { OnArrived(); }));
    connect(adapter, &ServiceAdapter::Removed, this, live([this] { OnRemoved(); }));
    connect(adapter, &ServiceAdapter::Busy, this,
            live([window](bool busy) { window->SetBusy(busy); }));
    // Every edit changes what is pending, whoever made it: the keys show it.
    connect(adapter, &ServiceAdapter::PendingChanged, this, live([this, window](bool pending) {
                window->SetApplyEnabled(pending);
                RefreshKeyboardView();
            }));
    connect(adapter, &ServiceAdapter::ActiveProfile, this, live([this](int profile) {
                if (profile != activeProfile_) {
                    // The dialog edits a key of the profile shown until now.
                    window_->CloseAssignment();
                }
                activeProfile_ = profile;
                window_->ShowProfileSlot(profile);
                RefreshKeyboardView();
            }));
    connect(adapter, &ServiceAdapter::ImageChanged, this, live([this] {
                window_->CloseAssignment();
                RefreshKeyboardView();
            }));
    connect(adapter, &ServiceAdapter::KeyboardSwitchedProfile, this,
            live([this](int profile) { FollowKeyboardProfile(profile); }));
    connect(adapter, &ServiceAdapter::LightingRead, this,
            live([this] { window_->ShowLighting(service_->LightingView()); }));
    connect(adapter, &ServiceAdapter::Bank, this, live([this](bool bankB) { OnBank(bankB); }));
    connect(adapter, &ServiceAdapter::Playback, this,
            live([window](bool playing) { window->Tray().ShowPlaying(playing); }));
    connect(adapter, &ServiceAdapter::Noticed, this,
            live([this](const service::ServiceNotice& notice) { OnNotice(notice); }));
    // A question is answered also after the exit path: no.
    connect(adapter, &ServiceAdapter::Asked, this, &CQuorvaneApp::OnQuestion);
    connect(adapter, &ServiceAdapter::MustEnd, this, [this] {
        window_->hide();
        Finish(0);
    });
}

void CQuorvaneApp::ConnectWindow() {
    CQuorvaneDlg* window = window_.get();
    connect(window, &CQuorvaneDlg::OpenRequested, this, &CQuorvaneApp::OpenWindow);
    connect(window, &CQuorvaneDlg::ExitRequested, this, &CQuorvaneApp::Exit);
    connect(window, &CQuorvaneDlg::Ended, this, [this] { Finish(0); });
    connect(window, &CQuorvaneDlg::ApplyRequested, this, [this] {
        service_->Post([this](service::KeyboardSession& session) {
            const service::OperationResult result = session.Apply();
            adapter_->Deliver([this, result] { TellApplyFailure(result); });
        });
    });
    connect(window, &CQuorvaneDlg::ProfileSlotClicked, this, &CQuorvaneApp::RequestProfileSwitch);
    connect(window, &CQuorvaneDlg::DefaultRequested, this, &CQuorvaneApp::RunDefault);
    connect(window, &CQuorvaneDlg::ReportRateClicked, this, &CQuorvaneApp::WriteReportRate);
    connect(window, &CQuorvaneDlg::ProfilesRequested, this, &CQuorvaneApp::OpenProfileManager);
    connect(window, &CQuorvaneDlg::ProfileManagerApplied, this, &CQuorvaneApp::ApplyManagerChoice);
    connect(window, &CQuorvaneDlg::LanguageChosen, this, &CQuorvaneApp::ChooseLanguage);
    connect(window, &CQuorvaneDlg::MessageRequested, this,
            [this](const QString& text) { prompt_->ShowMessage(text.toStdString()); });
    connect(window, &CQuorvaneDlg::AssignmentApplied, this, &CQuorvaneApp::StoreAssignment);
    connect(window, &CQuorvaneDlg::SkinFailed, this, [this](const QString& line) {
        std::fprintf(stderr, "%s\n", qPrintable(line));
        window_->hide();
        Finish(ui::SkinExit::kExitCode);
    });
    connect(window, &CQuorvaneDlg::ImportRequested, this,
            [this](const QString& path) { RequestImport(path.toStdString()); });
    connect(window, &CQuorvaneDlg::ExportRequested, this, [this](const QString& path) {
        service_->Post([this, file = path.toStdString()](service::KeyboardSession& session) {
            // Nothing tells the user about an export that worked; one that failed must not
            // pass for done.
            if (!session.Export(file).Succeeded()) {
                adapter_->Deliver([this, file] {
                    prompt_->ShowMessage(ui::LookupFormatted(
                        *lookup_, ui::kIdsMainExportFailed,
                        "The profile could not be written to %s.", {std::string_view(file)}));
                });
            }
        });
    });
}

void CQuorvaneApp::ConnectLighting() {
    LightingPanel& panel = window_->Lighting();
    connect(adapter_.get(), &ServiceAdapter::LightingRead, this, [this] {
        if (!finished_) {
            window_->Lighting().ShowKeyboardLighting(service_->LightingView());
        }
    });
    connect(&panel, &LightingPanel::LightingWriteRequested, this,
            [this](const lighting::LightingWrite& write) { lightingWriter_->Write(write); });
    connect(&panel, &LightingPanel::ColourWriteRequested, this,
            [this](const lighting::ColourWrite& write) { lightingWriter_->Write(write); });
    connect(&panel, &LightingPanel::ColourFileProblem, this,
            [this](const QString& text) { prompt_->ShowMessage(text.toStdString()); });
}

void CQuorvaneApp::OpenWindow() {
    if (finished_) {
        return;
    }
    if (!service_->KeyboardPresent()) {
        prompt_->ShowMessage(ui::UserText(texts_, *lookup_, ui::TextSlot::MAIN_NO_DEVICE_PROMPT));
        return;
    }
    window_->OpenWindow();
}

void CQuorvaneApp::OnArrived() {
    window_->Tray().ShowKeyboardPresent(true);
    RefreshKeyboardView();
    if (openRule_.OpenOnArrival()) {
        OpenWindow();
    }
}

void CQuorvaneApp::OnRemoved() {
    activeProfile_ = -1;
    window_->ShowProfileSlot(-1);
    window_->CloseSubDialogs();
    window_->HideWindow();
    window_->Tray().ShowKeyboardPresent(false);
}

void CQuorvaneApp::OnBank(bool bankB) {
    bankB_ = bankB;
    RefreshKeyboardView();
}

void CQuorvaneApp::RefreshKeyboardView() {
    if (finished_) {
        return;
    }
    // The newest snapshot the service published: nothing waits on the worker, which may be
    // writing the keyboard.
    const service::SnapshotPtr published = service_->Snapshot();
    app::KeyboardViewSnapshot snapshot = app::TakeKeyboardViewSnapshot(
        published->image, published->present ? published->activeProfile : -1, bankB_);
    snapshot.macroCapacity = published->macroCapacity;
    window_->ShowKeyboard(snapshot);
}

void CQuorvaneApp::StoreAssignment(const AssignmentEdit& edit) {
    service::KeyEntryEdit verb;
    verb.profile = edit.profile;
    verb.slot = edit.slot;
    verb.entry = edit.entry;
    verb.macros = edit.macros;
    if (edit.entry.kind == keys::KeyKind::Macro) {
        verb.repeatCount = edit.entry.aux;
    }
    service_->Post([this, verb](service::KeyboardSession& session) {
        const service::OperationResult result = session.StoreKeyEntry(verb);
        adapter_->Deliver([this, result, slot = verb.slot] {
            RefreshKeyboardView();
            TellAssignmentVerdict(result, slot);
        });
    });
}

void CQuorvaneApp::TellAssignmentVerdict(const service::OperationResult& result, std::size_t slot) {
    if (finished_) {
        return;
    }
    emit AssignmentVerdict(result.status);
    switch (result.status) {
        case service::OperationStatus::EntryRefused:
            prompt_->ShowMessage(ui::EntryRefusalText(
                result.refusal,
                keys::KeySlotName(slot, [this](const std::string& key) { return Localised(key); }),
                *lookup_));
            break;
        case service::OperationStatus::MacrosTooLong:
            OnNotice({service::Notice::MacrosTooLong, {}});
            break;
        default:
            // An edit for a profile the keyboard has left since closed its dialog; the rest
            // cannot happen to a key the window shows.
            break;
    }
}

void CQuorvaneApp::OnNotice(const service::ServiceNotice& notice) {
    prompt_->ShowMessage(ui::NoticeText(notice, texts_, *lookup_));
}

void CQuorvaneApp::OnQuestion(service::Question question, bool* answer) {
    if (finished_) {
        *answer = false;
        return;
    }
    const ui::QuestionText text = ui::QuestionTextOf(question, *lookup_);
    *answer = text.caption.empty() ? prompt_->AskOkCancel(text.text)
                                   : prompt_->AskOkCancelTitled(text.text, text.caption);
}

void CQuorvaneApp::FollowKeyboardProfile(int profile) {
    // The keyboard already runs `profile`: the switch only reads what goes with it. The slot,
    // the keys and the lighting follow as the service reports them.
    service_->Post(
        [profile](service::KeyboardSession& session) { (void)session.SetActiveProfile(profile); });
}

std::string CQuorvaneApp::Localised(std::string_view lookupKey) const {
    return ui::LookupUserText(*lookup_, lookupKey);
}

std::optional<service::PendingChoice> CQuorvaneApp::AskAboutPendingChanges() {
    const DialogPrompt::Answer answer = prompt_->AskYesNoCancel(
        ui::UserText(texts_, *lookup_, ui::TextSlot::PROFILE_SELECT_PROMPT));
    const app::SwitchPlan plan =
        app::PlanForAnswer(answer == DialogPrompt::Answer::Yes  ? app::SwitchAnswer::Yes
                           : answer == DialogPrompt::Answer::No ? app::SwitchAnswer::No
                                                                : app::SwitchAnswer::Cancel);
    if (!plan.go || finished_) {
        return std::nullopt;
    }
    return plan.pending;
}

void CQuorvaneApp::RequestProfileSwitch(int profile) {
    if (finished_) {
        return;
    }
    const app::SwitchState state{.target = app::NormaliseProfileIndex(profile),
                                 .activeProfile = activeProfile_,
                                 .editorOpen = window_->AssignmentOpen(),
                                 .pending = service_->ApplyPending(),
                                 .pendingProfile = service_->PendingProfile()};
    switch (app::DecideSwitch(state)) {
        case app::SwitchStep::ReadLightingOnly:
            service_->Post([](service::KeyboardSession& session) { session.RefreshLighting(); });
            return;
        case app::SwitchStep::Refuse:
            prompt_->ShowMessage(
                ui::UserText(texts_, *lookup_, ui::TextSlot::PROFILE_SEELCT_PROMPT2));
            return;
        case app::SwitchStep::Ask:
            if (const auto pending = AskAboutPendingChanges()) {
                PostSwitch(state.target, *pending);
            }
            return;
        case app::SwitchStep::Switch:
            PostSwitch(state.target, service::PendingChoice::Keep);
            return;
    }
}

void CQuorvaneApp::PostSwitch(int profile, service::PendingChoice pending) {
    // The slot, the keys and the lighting follow as the service reports them, once the keyboard
    // holds the new profile.
    service_->Post([this, profile, pending](service::KeyboardSession& session) {
        if (session.SwitchProfile(profile, pending).Succeeded()) {
            return;
        }
        adapter_->Deliver([this, profile] {
            prompt_->ShowMessage(ui::LookupFormatted(
                *lookup_, ui::kIdsProfileNotSwitched,
                "The keyboard could not be switched to profile %d.", {profile + 1}));
        });
    });
}

void CQuorvaneApp::RunDefault() {
    if (finished_ || !prompt_->AskYesNoDefaultNo(
                         ui::UserText(texts_, *lookup_, ui::TextSlot::MAIN_PROMPT_DEFAULT))) {
        return;
    }
    // The dialog edits a key that is about to be reset.
    window_->CloseAssignment();
    // While the lighting panel is open, its defaults come back too (nothing while closed).
    window_->Lighting().RestoreDefaults();
    service_->Post(
        [this, keys = app::DefaultCommandSlots(bankB_)](service::KeyboardSession& session) {
            const service::OperationResult result = session.RestoreDefaults(keys);
            adapter_->Deliver([this, result] {
                RefreshKeyboardView();
                TellApplyFailure(result);
            });
        });
}

void CQuorvaneApp::TellApplyFailure(const service::OperationResult& result) {
    if (!finished_ && app::ApplyFailureUntold(result)) {
        prompt_->ShowMessage(Localised(ui::kIdsMainApplyFailed));
    }
}

void CQuorvaneApp::WriteReportRate(int index) {
    service_->Post([this, index](service::KeyboardSession& session) {
        const service::OperationResult result = session.WriteReportRate(index);
        if (!result.Succeeded() && result.status != service::OperationStatus::NoKeyboard) {
            adapter_->Deliver([this] {
                if (!finished_) {
                    prompt_->ShowMessage(Localised(ui::kIdsMainReportRateNotWritten));
                }
            });
        }
    });
}

void CQuorvaneApp::RequestImport(const std::filesystem::path& file) {
    // An import replaces every profile: changes that wait for Apply are not dropped unasked.
    service::PendingChoice pending = service::PendingChoice::Keep;
    if (service_->ApplyPending()) {
        const auto answer = AskAboutPendingChanges();
        if (!answer) {
            return;
        }
        pending = *answer;
    }
    // What went wrong with the file is told through the service's notices.
    service_->Post([this, file, pending](service::KeyboardSession& session) {
        const service::OperationResult result = session.Import(file, pending);
        adapter_->Deliver([this, result] { TellApplyFailure(result); });
    });
}

void CQuorvaneApp::OpenProfileManager() {
    window_->OpenProfileManager(profileFolder_, activeProfile_);
}

void CQuorvaneApp::ApplyManagerChoice(const app::ManagerChoice& choice) {
    switch (choice.kind) {
        case app::ManagerChoice::Kind::Nothing:
            break;
        case app::ManagerChoice::Kind::SwitchProfile:
            RequestProfileSwitch(choice.profile);
            break;
        case app::ManagerChoice::Kind::ImportFile:
            RequestImport(choice.file);
            break;
    }
}

void CQuorvaneApp::ChooseLanguage(int language) {
    // Kept in the user's settings when they can be written; in force for this run either way.
    (void)lookup_->ChooseLanguage(static_cast<ui::InterfaceLanguage>(language));
    ApplyBoxButtonTexts();
    window_->LoadTexts();
    // The keys' tooltips name keys and assignments in the new language.
    RefreshKeyboardView();
}

void CQuorvaneApp::ApplyBoxButtonTexts() {
    const auto text = [this](std::string_view key) {
        return QString::fromStdString(Localised(key));
    };
    prompt_->SetButtonTexts({.ok = text(ui::kIdsBoxOk),
                             .cancel = text(ui::kIdsBoxCancel),
                             .yes = text(ui::kIdsBoxYes),
                             .no = text(ui::kIdsBoxNo)});
}

void CQuorvaneApp::Exit() {
    if (finished_) {
        return;
    }
    window_->HideWindow();
    window_->CloseSubDialogs();
    window_->RemoveTrayIcon();
    window_->SetApplyEnabled(false);
    service_->Post([](service::KeyboardSession& session) { session.ReleaseImage(); });
    window_->EndMainWindow();
}

void CQuorvaneApp::Finish(int exitCode) {
    if (finished_) {
        return;
    }
    finished_ = true;
    exitCode_ = exitCode;
    emit Ended();
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

bool CQuorvaneApp::Settled() const {
    return service_ && service_->IsIdle() && adapter_->Drained();
}

void CQuorvaneApp::TakeScreenshot(const QString& path) {
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
        Exit();
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
