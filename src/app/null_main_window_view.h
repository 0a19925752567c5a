#pragma once

// A main window that shows nothing, for front ends without one (the command line, benchmarks);
// they override what they do want to show.

#include "app/main_window_view.h"

namespace qv::app {

class NullMainWindowView : public MainWindowView {
public:
    void OpenWindow() override {}
    void HideWindow() override {}
    void CloseSubDialogs() override {}
    void EndMainWindow() override {}
    void LoadTexts(int) override {}
    void CreateTrayIcon() override {}
    void SetTrayIcon(int) override {}
    void RemoveTrayIcon() override {}
    void BuildProfileMenu() override {}
    void ShowProgress() override {}
    void ProgressFrame(int) override {}
    void HideProgress() override {}
    void SetApplyEnabled(bool) override {}
    void RefreshBankKeys(const BankKeys&) override {}
    void ShowProfileSlot(int) override {}
    void SwitchProfileSlot(int) override {}
    void RefreshProfileList() override {}
    void RefreshLightingPanel() override {}
};

}  // namespace qv::app
