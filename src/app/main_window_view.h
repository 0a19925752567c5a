#pragma once

// Everything the main window shows, as the core asks for it. The desktop app draws it with its
// widgets; tests record the calls. Every call comes on the window's thread.

#include <array>
#include <cstddef>
#include <string>

namespace qv::app {

inline constexpr std::size_t kBankKeyCount = 9;

// The nine G key buttons of the bank the keyboard uses now, in button order (ids 1000..1004,
// then 1140..1143).
struct BankKeys {
    bool bankB = false;  // the AB indicator shows its over picture for bank B
    std::array<bool, kBankKeyCount> assigned{};
    std::array<std::string, kBankKeyCount> captions;  // "A1".."A5" / "B1".."B5", then empty
    friend bool operator==(const BankKeys&, const BankKeys&) = default;
};

class MainWindowView {
public:
    virtual ~MainWindowView() = default;

    // Shown as a normal taskbar window, in front.
    virtual void OpenWindow() = 0;
    // Hidden; it stays out of the taskbar.
    virtual void HideWindow() = 0;
    // Closes the about box, the profile manager and the composite assignment dialog, each as
    // if cancelled, when open, and gives the focus back to the main window.
    virtual void CloseSubDialogs() = 0;
    // The exit path's end: releases what the window draws with and ends it.
    virtual void EndMainWindow() = 0;
    // Loads the window texts for the language index 0..9 and passes the message on to the
    // about box and the composite assignment dialog.
    virtual void LoadTexts(int languageIndex) = 0;

    // The notification-area icon: created with the application icon (128) and its menu;
    // changed to icon 128, 141 or 142; removed at exit.
    virtual void CreateTrayIcon() = 0;
    virtual void SetTrayIcon(int icon) = 0;
    virtual void RemoveTrayIcon() = 0;
    // The profile menu's list of profiles.
    virtual void BuildProfileMenu() = 0;

    // The busy indicator's progress image, and its frame 1..10 (jdt1.bmp .. jdt10.bmp).
    virtual void ShowProgress() = 0;
    virtual void ProgressFrame(int frame) = 0;
    virtual void HideProgress() = 0;

    // The Apply button (1006).
    virtual void SetApplyEnabled(bool enabled) = 0;

    virtual void RefreshBankKeys(const BankKeys& keys) = 0;
    // Slot `profile` shows the checked look, the other three the unchecked look.
    virtual void ShowProfileSlot(int profile) = 0;
    // Runs the slot switch exactly as a click on slot `profile` does.
    virtual void SwitchProfileSlot(int profile) = 0;
    // The profile manager's list, when it is open.
    virtual void RefreshProfileList() = 0;
    virtual void RefreshLightingPanel() = 0;
};

}  // namespace qv::app
