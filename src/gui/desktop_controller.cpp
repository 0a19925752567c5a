#include "gui/desktop_controller.h"

#include <cstdio>

#include "app/keyboard_view_model.h"
#include "app/main_window_commands.h"
#include "app/profile_switch.h"
#include "app/service_texts.h"
#include "assignments/assignment_spec.h"
#include "gui/assignment_dialog.h"
#include "gui/dialog_prompt.h"
#include "gui/lighting_panel.h"
#include "gui/main_window.h"
#include "gui/service_adapter.h"
#include "service/keyboard_service.h"
#include "service/lighting_writer.h"
#include "texts/lookup_keys.h"
#include "texts/text_lookup.h"
#include "texts/text_table.h"
#include "texts/user_text.h"

namespace qv::gui {

DesktopController::DesktopController(ControllerWiring wiring, QObject* parent)
    : QObject(parent),
      window_(wiring.window),
      prompt_(wiring.prompt),
      adapter_(wiring.adapter),
      service_(wiring.service),
      lightingWriter_(wiring.lightingWriter),
      texts_(wiring.texts),
      lookup_(wiring.lookup),
      profileFolder_(std::move(wiring.profileFolder)) {
    ApplyBoxButtonTexts();
    ConnectService();
    ConnectWindow();
    ConnectLighting();
}

void DesktopController::SetStartHidden(bool startHidden) {
    openRule_ = app::WindowOpenRule(startHidden);
}

void DesktopController::AwaitStartCount() {
    service_.Post([this](service::KeyboardSession&) {
        adapter_.Deliver([this] { openRule_.StartCountHandled(); });
    });
}

void DesktopController::ConnectService() {
    ServiceAdapter* adapter = &adapter_;
    MainWindow* window = &window_;
    // After the exit path nothing the service still reports is shown.
    const auto live = [this](auto&& handle) {
        return [this, handle](auto... arguments) {
            if (!stopped_) {
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
                    window_.CloseAssignment();
                }
                activeProfile_ = profile;
                window_.ShowProfileSlot(profile);
                RefreshKeyboardView();
            }));
    connect(adapter, &ServiceAdapter::ImageChanged, this, live([this] {
                window_.CloseAssignment();
                RefreshKeyboardView();
            }));
    connect(adapter, &ServiceAdapter::KeyboardSwitchedProfile, this,
            live([this](int profile) { FollowKeyboardProfile(profile); }));
    connect(adapter, &ServiceAdapter::LightingRead, this,
            live([this] { window_.ShowLighting(service_.LightingView()); }));
    connect(adapter, &ServiceAdapter::Bank, this, live([this](bool bankB) { OnBank(bankB); }));
    connect(adapter, &ServiceAdapter::Playback, this,
            live([window](bool playing) { window->Tray().ShowPlaying(playing); }));
    connect(adapter, &ServiceAdapter::Noticed, this,
            live([this](const service::ServiceNotice& notice) { OnNotice(notice); }));
    // A question is answered also after the exit path: no.
    connect(adapter, &ServiceAdapter::Asked, this, &DesktopController::OnQuestion);
    connect(adapter, &ServiceAdapter::MustEnd, this, [this] {
        window_.hide();
        emit EndRequested(0);
    });
}

void DesktopController::ConnectWindow() {
    MainWindow* window = &window_;
    connect(window, &MainWindow::OpenRequested, this, &DesktopController::OpenWindow);
    connect(window, &MainWindow::ExitRequested, this, &DesktopController::Exit);
    connect(window, &MainWindow::Ended, this, [this] { emit EndRequested(0); });
    connect(window, &MainWindow::ApplyRequested, this, &DesktopController::Apply);
    connect(window, &MainWindow::ProfileSlotClicked, this,
            &DesktopController::RequestProfileSwitch);
    connect(window, &MainWindow::DefaultRequested, this, &DesktopController::RunDefault);
    connect(window, &MainWindow::ReportRateClicked, this, &DesktopController::WriteReportRate);
    connect(window, &MainWindow::ProfilesRequested, this, &DesktopController::OpenProfileManager);
    connect(window, &MainWindow::ProfileManagerApplied, this,
            &DesktopController::ApplyManagerChoice);
    connect(window, &MainWindow::LanguageChosen, this, &DesktopController::ChooseLanguage);
    connect(window, &MainWindow::MessageRequested, this,
            [this](const QString& text) { prompt_.ShowMessage(text.toStdString()); });
    connect(window, &MainWindow::AssignmentApplied, this, &DesktopController::StoreAssignment);
    connect(window, &MainWindow::SkinFailed, this, [this](const QString& line) {
        std::fprintf(stderr, "%s\n", qPrintable(line));
        window_.hide();
        emit EndRequested(ui::SkinExit::kExitCode);
    });
    connect(window, &MainWindow::ImportRequested, this,
            [this](const QString& path) { RequestImport(path.toStdString()); });
    connect(window, &MainWindow::ExportRequested, this, &DesktopController::Export);
}

void DesktopController::ConnectLighting() {
    LightingPanel& panel = window_.Lighting();
    connect(&adapter_, &ServiceAdapter::LightingRead, this, [this] {
        if (!stopped_) {
            window_.Lighting().ShowKeyboardLighting(service_.LightingView());
        }
    });
    connect(&panel, &LightingPanel::LightingChangeRequested, this,
            [this](int profile, const lighting::LightingChange& change) {
                lightingWriter_.Change(profile, change);
            });
    connect(&panel, &LightingPanel::ColourChangeRequested, this,
            [this](const lighting::ColourChange& change) { lightingWriter_.Change(change); });
    connect(&panel, &LightingPanel::LampRequested, this, [this](bool open) {
        service_.Post(
            [open](service::KeyboardSession& session) { session.SetLightingPanelOpen(open); });
    });
    // A colour change the user colour file could not keep is neither written nor shown.
    lightingWriter_.OnColourOutcome([this](const service::ColourChangeResult& outcome) {
        const service::OperationResult& result = outcome.result;
        if (!result.problems.empty() && (result.status == service::OperationStatus::FileNotSaved ||
                                         result.status == service::OperationStatus::FileRefused)) {
            adapter_.Deliver([this, text = result.problems.front()] {
                if (!stopped_) {
                    prompt_.ShowMessage(text);
                }
            });
        }
    });
    connect(&panel, &LightingPanel::ColourFileProblem, this,
            [this](const QString& text) { prompt_.ShowMessage(text.toStdString()); });
}

void DesktopController::OpenWindow() {
    if (stopped_) {
        return;
    }
    if (!service_.KeyboardPresent()) {
        prompt_.ShowMessage(ui::UserText(texts_, lookup_, ui::TextSlot::MAIN_NO_DEVICE_PROMPT));
        return;
    }
    window_.OpenWindow();
}

void DesktopController::Apply() {
    service_.Post([this](service::KeyboardSession& session) {
        const service::OperationResult result = session.Apply();
        adapter_.Deliver([this, result] { TellApplyFailure(result); });
    });
}

void DesktopController::Export(const QString& path) {
    service_.Post([this, file = path.toStdString()](service::KeyboardSession& session) {
        // One that failed must not pass for done; the file is named with the reason.
        const service::OperationResult result = session.Export(file);
        if (!result.Succeeded()) {
            adapter_.Deliver([this, file, result] {
                const std::string& what = result.fileProblem.empty() ? file : result.fileProblem;
                prompt_.ShowMessage(ui::LookupFormatted(lookup_, ui::kIdsMainExportFailed,
                                                        "The profile could not be written to %s.",
                                                        {std::string_view(what)}));
            });
        }
    });
}

void DesktopController::OnArrived() {
    window_.Tray().ShowKeyboardPresent(true);
    RefreshKeyboardView();
    if (openRule_.OpenOnArrival()) {
        OpenWindow();
    }
}

void DesktopController::OnRemoved() {
    activeProfile_ = -1;
    window_.ShowProfileSlot(-1);
    window_.CloseSubDialogs();
    window_.HideWindow();
    window_.Tray().ShowKeyboardPresent(false);
}

void DesktopController::OnBank(bool bankB) {
    bankB_ = bankB;
    RefreshKeyboardView();
}

void DesktopController::RefreshKeyboardView() {
    if (stopped_) {
        return;
    }
    // The newest snapshot the service published: nothing waits on the worker, which may be
    // writing the keyboard.
    const service::SnapshotPtr published = service_.Snapshot();
    app::KeyboardViewSnapshot snapshot = app::TakeKeyboardViewSnapshot(
        published->image, published->present ? published->activeProfile : -1, bankB_);
    snapshot.macroCapacity = published->macroCapacity;
    snapshot.keyDefaults = published->keyDefaults;
    window_.ShowKeyboard(snapshot);
}

void DesktopController::StoreAssignment(const AssignmentEdit& edit) {
    service::KeyEntryEdit verb;
    verb.profile = edit.profile;
    verb.slot = edit.slot;
    verb.entry = edit.entry;
    verb.macros = edit.macros;
    if (edit.entry.kind == keys::KeyKind::Macro) {
        verb.repeatCount = edit.entry.aux;
    }
    service_.Post([this, verb](service::KeyboardSession& session) {
        const service::OperationResult result = session.StoreKeyEntry(verb);
        adapter_.Deliver([this, result, slot = verb.slot] {
            RefreshKeyboardView();
            TellAssignmentVerdict(result, slot);
        });
    });
}

void DesktopController::TellAssignmentVerdict(const service::OperationResult& result,
                                              std::size_t slot) {
    if (stopped_) {
        return;
    }
    emit AssignmentVerdict(result.status);
    switch (result.status) {
        case service::OperationStatus::EntryRefused:
            prompt_.ShowMessage(ui::EntryRefusalText(
                result.refusal,
                keys::KeySlotName(slot, [this](const std::string& key) { return Localised(key); }),
                lookup_));
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

void DesktopController::OnNotice(const service::ServiceNotice& notice) {
    prompt_.ShowMessage(ui::NoticeText(notice, texts_, lookup_));
}

void DesktopController::OnQuestion(service::Question question, bool* answer) {
    if (stopped_) {
        *answer = false;
        return;
    }
    const ui::QuestionText text = ui::QuestionTextOf(question, lookup_);
    *answer = text.caption.empty() ? prompt_.AskOkCancel(text.text)
                                   : prompt_.AskOkCancelTitled(text.text, text.caption);
}

void DesktopController::FollowKeyboardProfile(int profile) {
    // The keyboard already runs `profile`: the switch only reads what goes with it. The slot,
    // the keys and the lighting follow as the service reports them.
    service_.Post(
        [profile](service::KeyboardSession& session) { (void)session.SetActiveProfile(profile); });
}

std::string DesktopController::Localised(std::string_view lookupKey) const {
    return ui::LookupUserText(lookup_, lookupKey);
}

std::optional<service::PendingChoice> DesktopController::AskAboutPendingChanges() {
    const DialogPrompt::Answer answer =
        prompt_.AskYesNoCancel(ui::UserText(texts_, lookup_, ui::TextSlot::PROFILE_SELECT_PROMPT));
    const app::SwitchPlan plan =
        app::PlanForAnswer(answer == DialogPrompt::Answer::Yes  ? app::SwitchAnswer::Yes
                           : answer == DialogPrompt::Answer::No ? app::SwitchAnswer::No
                                                                : app::SwitchAnswer::Cancel);
    if (!plan.go || stopped_) {
        return std::nullopt;
    }
    return plan.pending;
}

void DesktopController::RequestProfileSwitch(int profile) {
    if (stopped_) {
        return;
    }
    const app::SwitchState state{.target = app::NormaliseProfileIndex(profile),
                                 .activeProfile = activeProfile_,
                                 .editorOpen = window_.AssignmentOpen(),
                                 .pending = service_.ApplyPending(),
                                 .pendingProfile = service_.PendingProfile()};
    switch (app::DecideSwitch(state)) {
        case app::SwitchStep::ReadLightingOnly:
            service_.Post([](service::KeyboardSession& session) { session.RefreshLighting(); });
            return;
        case app::SwitchStep::Refuse:
            prompt_.ShowMessage(
                ui::UserText(texts_, lookup_, ui::TextSlot::PROFILE_SEELCT_PROMPT2));
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

void DesktopController::PostSwitch(int profile, service::PendingChoice pending) {
    // The slot, the keys and the lighting follow as the service reports them, once the keyboard
    // holds the new profile.
    service_.Post([this, profile, pending](service::KeyboardSession& session) {
        if (session.SwitchProfile(profile, pending).Succeeded()) {
            return;
        }
        adapter_.Deliver([this, profile] {
            prompt_.ShowMessage(ui::LookupFormatted(
                lookup_, ui::kIdsProfileNotSwitched,
                "The keyboard could not be switched to profile %d.", {profile + 1}));
        });
    });
}

void DesktopController::RunDefault() {
    if (stopped_ || !prompt_.AskYesNoDefaultNo(
                        ui::UserText(texts_, lookup_, ui::TextSlot::MAIN_PROMPT_DEFAULT))) {
        return;
    }
    // The dialog edits a key that is about to be reset.
    window_.CloseAssignment();
    service_.Post(
        [this, keys = app::DefaultCommandSlots(bankB_)](service::KeyboardSession& session) {
            // While the lighting panel is open, its defaults come back too (nothing while
            // closed).
            const service::OperationResult lighting = session.RestorePanelDefaults();
            if (lighting.status == service::OperationStatus::FileNotSaved) {
                adapter_.Deliver([this, text = lighting.problems.front()] {
                    if (!stopped_) {
                        prompt_.ShowMessage(text);
                    }
                });
            }
            const service::OperationResult result = session.RestoreDefaults(keys);
            adapter_.Deliver([this, result] {
                RefreshKeyboardView();
                TellApplyFailure(result);
            });
        });
}

void DesktopController::TellApplyFailure(const service::OperationResult& result) {
    if (!stopped_ && app::ApplyFailureUntold(result)) {
        prompt_.ShowMessage(Localised(ui::kIdsMainApplyFailed));
    }
}

void DesktopController::WriteReportRate(int index) {
    service_.Post([this, index](service::KeyboardSession& session) {
        const service::OperationResult result = session.WriteReportRate(index);
        if (!result.Succeeded() && result.status != service::OperationStatus::NoKeyboard) {
            adapter_.Deliver([this] {
                if (!stopped_) {
                    prompt_.ShowMessage(Localised(ui::kIdsMainReportRateNotWritten));
                }
            });
        }
    });
}

void DesktopController::RequestImport(const std::filesystem::path& file) {
    // An import replaces every profile: changes that wait for Apply are not dropped unasked.
    service::PendingChoice pending = service::PendingChoice::Keep;
    if (service_.ApplyPending()) {
        const auto answer = AskAboutPendingChanges();
        if (!answer) {
            return;
        }
        pending = *answer;
    }
    // What went wrong with the file is told through the service's notices.
    service_.Post([this, file, pending](service::KeyboardSession& session) {
        const service::OperationResult result = session.Import(file, pending);
        // The rest stopped it before anything was written.
        adapter_.Deliver([this, result, file] {
            if (!stopped_ && app::ImportFailureUntold(result)) {
                OnNotice({service::Notice::ImportNotWritten, file.string()});
            }
        });
    });
}

void DesktopController::OpenProfileManager() {
    window_.OpenProfileManager(profileFolder_, activeProfile_);
}

void DesktopController::ApplyManagerChoice(const app::ManagerChoice& choice) {
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

void DesktopController::ChooseLanguage(int language) {
    // Kept in the user's settings when they can be written; in force for this run either way.
    (void)lookup_.ChooseLanguage(static_cast<ui::InterfaceLanguage>(language));
    ApplyBoxButtonTexts();
    window_.LoadTexts();
    // The keys' tooltips name keys and assignments in the new language.
    RefreshKeyboardView();
}

void DesktopController::ApplyBoxButtonTexts() {
    const auto text = [this](std::string_view key) {
        return QString::fromStdString(Localised(key));
    };
    prompt_.SetButtonTexts({.ok = text(ui::kIdsBoxOk),
                            .cancel = text(ui::kIdsBoxCancel),
                            .yes = text(ui::kIdsBoxYes),
                            .no = text(ui::kIdsBoxNo)});
}

void DesktopController::Exit() {
    if (stopped_) {
        return;
    }
    window_.HideWindow();
    window_.CloseSubDialogs();
    window_.RemoveTrayIcon();
    window_.SetApplyEnabled(false);
    service_.Post([](service::KeyboardSession& session) { session.ReleaseImage(); });
    window_.EndMainWindow();
}

}  // namespace qv::gui
