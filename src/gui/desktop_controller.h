#pragma once

// Where what the keyboard service reports meets what the main window shows, and where the
// window's requests become work for the service: each request posts its verb to the service's
// worker, and what comes back is shown on the GUI thread through the service adapter. It owns
// none of the objects it joins; the application object builds them and ends them.

#include <QObject>
#include <QString>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/profile_manager_model.h"
// The slots' argument types are declared to the meta-type system there.
#include "app/window_open_rule.h"
#include "gui/assignment_dialog.h"
#include "gui/profile_manager.h"
#include "service/keyboard_session.h"
#include "service/service_observer.h"

namespace qv::service {
class KeyboardService;
class LightingWriter;
}  // namespace qv::service
namespace qv::ui {
class TextLookup;
class TextTable;
}  // namespace qv::ui

namespace qv::gui {

class MainWindow;
class DialogPrompt;
class ServiceAdapter;

// What the controller joins; each of them outlives it.
struct ControllerWiring {
    MainWindow& window;
    DialogPrompt& prompt;
    ServiceAdapter& adapter;
    service::KeyboardService& service;
    service::LightingWriter& lightingWriter;
    ui::TextTable& texts;
    ui::TextLookup& lookup;
    std::filesystem::path profileFolder;
};

class DesktopController final : public QObject {
    Q_OBJECT

public:
    // Connects the window's requests and the service's reports; the message boxes' buttons
    // take the interface language's words.
    explicit DesktopController(ControllerWiring wiring, QObject* parent = nullptr);

    // A start with the hidden option never opens the window on the keyboard's arrival.
    void SetStartHidden(bool startHidden);
    // From when the keyboard count found at start has been handled, an arrival is a replug.
    // After the service has started.
    void AwaitStartCount();
    // The program is ending: nothing the service still reports is shown, and a question it
    // still asks is answered no.
    void Stop() { stopped_ = true; }

signals:
    // What the keyboard service made of an assignment dialog's Apply.
    void AssignmentVerdict(service::OperationStatus status);
    // The program must end with `exitCode`: the exit path is over, a skin picture failed, or
    // the service cannot go on.
    void EndRequested(int exitCode);

public slots:
    // The open command: the window, or the no-device message when no keyboard is there.
    void OpenWindow();
    // The exit path: the window and the tray go, the working image is released.
    void Exit();
    void Apply();
    // Nothing tells the user about an export that worked; one that failed is told.
    void Export(const QString& path);
    // The assignment dialog's Apply: the entry goes into the working image on the worker.
    void StoreAssignment(const qv::gui::AssignmentEdit& edit);
    void RunDefault();
    void WriteReportRate(int index);
    void RequestImport(const std::filesystem::path& file);
    // A profile slot (or the profile manager) asks for `profile`: the switch with its guards
    // and its question about pending changes.
    void RequestProfileSwitch(int profile);
    // The keyboard switched to `profile` by itself: the window follows it (active profile,
    // keys, lighting); changes that wait for Apply stay with the profile they were made for.
    void FollowKeyboardProfile(int profile);
    // The keyboard view shows the working image again.
    void RefreshKeyboardView();
    void OpenProfileManager();
    void ApplyManagerChoice(const qv::app::ManagerChoice& choice);
    void ChooseLanguage(int language);

private:
    void ConnectService();
    void ConnectWindow();
    // The lighting panel's writes go to the keyboard through the service; its reads come back.
    void ConnectLighting();
    void OnArrived();
    void OnRemoved();
    void OnBank(bool bankB);
    // Says why the keyboard service did not store an edit of the key in `slot`, if it did not.
    void TellAssignmentVerdict(const service::OperationResult& result, std::size_t slot);
    void OnNotice(const service::ServiceNotice& notice);
    void OnQuestion(service::Question question, bool* answer);
    void PostSwitch(int profile, service::PendingChoice pending);
    // The question about pending changes before a switch or an import; nothing for Cancel.
    [[nodiscard]] std::optional<service::PendingChoice> AskAboutPendingChanges();
    // The words of the message boxes' buttons in the interface language.
    void ApplyBoxButtonTexts();
    // A command's apply failed without a message of the keyboard service's own.
    void TellApplyFailure(const service::OperationResult& result);
    [[nodiscard]] std::string Localised(std::string_view lookupKey) const;

    MainWindow& window_;
    DialogPrompt& prompt_;
    ServiceAdapter& adapter_;
    service::KeyboardService& service_;
    service::LightingWriter& lightingWriter_;
    ui::TextTable& texts_;
    ui::TextLookup& lookup_;
    std::filesystem::path profileFolder_;
    app::WindowOpenRule openRule_;
    int activeProfile_ = -1;
    bool bankB_ = false;
    bool stopped_ = false;
};

}  // namespace qv::gui
