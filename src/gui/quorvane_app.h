#pragma once

// The desktop program's application object: the start-up sequence (paths, settings, texts, the
// keyboard service, the main window, the controller that joins them, the single-instance
// guard), the run until the main window has ended, and the teardown in the order that leaves
// no thread waiting on something gone.

#include <QObject>
#include <QString>
#include <QUrl>

class QMessageBox;

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/transport.h"
#include "gui/file_chooser.h"
#include "platform/program_launcher.h"
#include "platform/settings_store.h"
#include "service/keyboard_backend.h"
#include "texts/text_lookup.h"
#include "texts/text_table.h"

namespace qv::platform {
class InstanceLock;
class PosixSystemLanguage;
}  // namespace qv::platform
namespace qv::service {
class KeyboardService;
class LightingWriter;
}  // namespace qv::service

namespace qv::gui {

class MainWindow;
class DesktopController;
class DialogPrompt;
class ServiceAdapter;

// The application title, which also names the application's settings.
inline constexpr std::string_view kApplicationTitle = "Quorvane";
inline constexpr std::string_view kSettingsOrganisation = "Quorvane_Dravik";

struct DesktopEnvironment {
    std::vector<std::string> arguments;  // after the program name
    service::KeyboardChoice keyboard;
    std::filesystem::path programFolder;
    std::filesystem::path documentsFolder;
    std::filesystem::path instanceFolder;
    // The settings files of the application's settings root and of the language key.
    std::filesystem::path applicationSettings;
    std::filesystem::path languageSettings;
    bool trayAvailable = true;
    // Help and web pages; the desktop's browser when empty.
    std::function<void(const QUrl&)> openUrl;
    // Starts the companion program and the firmware updater; programs on PATH when null.
    platform::ProgramLauncher* launcher = nullptr;
    device::TransportTiming transportTiming{};
    // Tests and tools: called once the keyboard backend is open, before anything talks to it,
    // and with every message box before it shows.
    std::function<void(service::KeyboardBackend&)> backendReady;
    std::function<void(QMessageBox&)> boxShown;
    // Asks for profile files; the system's file dialogs when null.
    FileChooser chooseFile;
};

class QuorvaneApp final : public QObject {
    Q_OBJECT

public:
    explicit QuorvaneApp(DesktopEnvironment environment);
    ~QuorvaneApp() override;

    // Start-up up to the running main window. A value when the process ends at once, with that
    // exit code (another instance took the request, the keyboard service or a skin picture
    // failed); the reason, if any, is already on stderr.
    [[nodiscard]] std::optional<int> Start();

    // Runs until the main window has ended or the program was ended; the exit code.
    int Exec();

    // Takes a picture of the main window once the keyboard's arrival has been handled, saves
    // it and ends the program the way the exit command does.
    void TakeScreenshot(const QString& path);

    // The keyboard service has nothing left to do and all it reported has been shown: after
    // Start, the keyboard's arrival (if any) is over.
    [[nodiscard]] bool Settled() const;

    [[nodiscard]] bool Finished() const { return finished_; }
    [[nodiscard]] int ExitCode() const { return exitCode_; }
    [[nodiscard]] MainWindow& Window() { return *window_; }
    [[nodiscard]] service::KeyboardService& Service() { return *service_; }
    [[nodiscard]] ServiceAdapter& Adapter() { return *adapter_; }
    [[nodiscard]] DesktopController& Controller() { return *controller_; }
    [[nodiscard]] DialogPrompt& Prompt() { return *prompt_; }
    [[nodiscard]] service::KeyboardBackend& Backend() { return *backend_; }
    [[nodiscard]] platform::SettingsStore& Settings() { return *settings_; }
    [[nodiscard]] bool FirstInstance() const { return firstInstance_; }

signals:
    void Ended();

private:
    void Finish(int exitCode);
    void TearDown();

    DesktopEnvironment environment_;
    std::unique_ptr<platform::ProgramLauncher> ownLauncher_;
    platform::ProgramLauncher* launcher_ = nullptr;
    std::unique_ptr<platform::IniSettingsStore> settings_;
    std::unique_ptr<platform::IniSettingsStore> languageKey_;
    std::unique_ptr<platform::PosixSystemLanguage> systemLanguage_;
    std::unique_ptr<ui::TextLookup> lookup_;
    ui::TextTable texts_;
    std::unique_ptr<service::KeyboardBackend> backend_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<DialogPrompt> prompt_;
    std::unique_ptr<ServiceAdapter> adapter_;
    // After the adapter and the backend, which its worker uses until it has stopped.
    std::unique_ptr<service::KeyboardService> service_;
    std::unique_ptr<service::LightingWriter> lightingWriter_;
    std::unique_ptr<platform::InstanceLock> instanceLock_;
    // Last: it joins all of the above.
    std::unique_ptr<DesktopController> controller_;
    bool firstInstance_ = false;
    bool keyboardStarted_ = false;
    bool finished_ = false;
    bool tornDown_ = false;
    int exitCode_ = 0;
};

}  // namespace qv::gui
