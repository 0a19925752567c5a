#pragma once

// The main window's logic, on the window's thread: the handling of its private messages, the
// tray icon it shows, the resynchronise step, the pending-changes flag and the apply pipeline.
// What it shows goes to a MainWindowView.

#include <atomic>
#include <filesystem>

#include "app/busy_indicator.h"
#include "app/device_link.h"
#include "app/main_window_messages.h"
#include "app/main_window_view.h"
#include "app/profile_actions.h"
#include "device/commands.h"
#include "device/transport.h"
#include "lighting/active_profile.h"
#include "lighting/device_lighting.h"
#include "platform/program_exit.h"
#include "platform/program_launcher.h"
#include "platform/user_prompt.h"
#include "profiles/device_facts.h"
#include "profiles/profile_image.h"

namespace qv::ui {
class TextLookup;
class TextTable;
}  // namespace qv::ui

namespace qv::app {

// The per-key colour steps of a keyboard (re)connection, for keyboards with mode 20.
class PerKeyColourHooks {
public:
    // Inside the lighting read's transfer bracket, before the records are read.
    // Runs on the thread that reads the keyboard, not the window's: it must not touch widgets.
    virtual void LoadUserSchemes() = 0;
    // After the lighting panel was refreshed.
    virtual void RebuildBaseMarks() = 0;
    // Timer 1052, once after start-up: resets the per-key colour state when per-key colour
    // mode is on. Later switches into that mode reset it where they happen, so nothing needs
    // to ask again and again.
    virtual void ResetWhenPerKeyModeOn() = 0;

protected:
    ~PerKeyColourHooks() = default;
};

struct MainWindowParts {
    device::Transport& transport;
    device::DeviceLink& link;
    const profiles::DeviceFacts& facts;
    lighting::ActiveProfile& activeProfile;
    lighting::DeviceLighting& lighting;
    profiles::ProfileImage& profileImage;
    profiles::DeviceImage& deviceImage;
    profiles::ProfileActions& profileActions;
    platform::UserPrompt& prompt;
    platform::ProgramLauncher& launcher;
    platform::ProgramExit& exit;
    const ui::TextTable& texts;
    const ui::TextLookup& lookup;
    device::MainWindowPort& window;
    MainWindowView& view;
    std::filesystem::path helpFolder;
    BusyTiming busyTiming{};
    PerKeyColourHooks* perKeyColours = nullptr;  // none before per-key colours exist
};

class MainWindowCore final : public device::MessageHandler {
public:
    explicit MainWindowCore(const MainWindowParts& parts);

    device::MessageReply Handle(const device::Message& message) override;

    // Enables or disables Apply and sets the pending-changes flag. Any thread: the view must
    // take the button's change to its own thread.
    void SetApplyPending(bool pending);
    [[nodiscard]] bool ApplyPending() const { return applyPending_.load(); }

    // The Apply button. On success of both the file save and the device write the pending flag
    // clears; otherwise it stays, so the user can apply again.
    void Apply();

    // Open command: the window, or the no-device message when no keyboard is there.
    void OpenWindow();

    // The keyboard's settings changed on the keyboard itself (timer 1051).
    void Resynchronise();

    // The exit path's share of the window: hide, close sub-dialogs, remove the icon, clear the
    // pending flag, release both images, end the window.
    void Exit();

    // Joins the busy indicator. After the port was shut down.
    void Shutdown() { busy_.Stop(); }

private:
    [[nodiscard]] device::MessageReply CheckFirmware();
    void OnInit();
    void LoadKeyboardConfiguration();
    void RefreshBankKeys();
    void OnTrayRequest(std::intptr_t request);
    void ShowTrayIcon(int icon);
    void ShowProgress();
    void OnProgressDone(std::intptr_t generation);
    void OnProgressFrame();
    [[nodiscard]] bool WriteImage();

    device::Transport& transport_;
    device::DeviceCommands commands_;
    device::DeviceLink& link_;
    const profiles::DeviceFacts& facts_;
    lighting::ActiveProfile& activeProfile_;
    lighting::DeviceLighting& lighting_;
    profiles::ProfileImage& profileImage_;
    profiles::DeviceImage& deviceImage_;
    profiles::ProfileActions& profileActions_;
    platform::UserPrompt& prompt_;
    platform::ProgramLauncher& launcher_;
    platform::ProgramExit& exit_;
    const ui::TextTable& texts_;
    const ui::TextLookup& lookup_;
    device::MainWindowPort& window_;
    MainWindowView& view_;
    const std::filesystem::path helpFolder_;
    PerKeyColourHooks* perKeyColours_;

    // Also cleared by an import, from the thread that writes the keyboard.
    std::atomic<bool> applyPending_{false};

    bool trayCreated_ = false;
    int trayShown_ = 0;  // 0: none
    int trayStateIcon_ = device::kIconNoKeyboard;

    bool progressShown_ = false;
    int progressFrame_ = 0;
    // Counts applies, so that the late hide of one apply does not hide the next one's image.
    std::intptr_t progressGeneration_ = 0;

    // Last: its thread posts to the window from the start.
    BusyIndicator busy_;
};

}  // namespace qv::app
