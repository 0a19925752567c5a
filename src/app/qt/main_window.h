#pragma once

// The main window: the skinned keyboard picture with its buttons, the tray icon, the about box.
// Its logic is MainWindowCore's; this class draws what the core asks for and turns clicks and
// menu commands into the core's operations.

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "app/main_window_view.h"
#include "app/qt/about_dialog.h"
#include "app/qt/tray_icon.h"
#include "ui/qt/base_dialog.h"
#include "ui/skin_placement.h"
#include "ui/text_slots.h"

class QLabel;
class QMenu;
class QPushButton;

namespace qv::app {
class KeyboardApp;
}

namespace qv::gui {

class CPngButton;
class DialogPrompt;

struct MainWindowSettings {
    std::filesystem::path programFolder;  // holds Skins/ and Help/
    // Whether the desktop shows tray icons. Without one the window would be unreachable once
    // hidden, so it stays shown (minimised instead of hidden) and closing it ends the tool.
    bool trayAvailable = true;
    // Opens help and web pages; the desktop's browser by default.
    std::function<void(const QUrl&)> openUrl;
};

class CQuorvaneDlg final : public CBaseDialog, public app::MainWindowView {
    Q_OBJECT

public:
    // Web pages of the maker's buttons 1219..1221 and of the about box's link.
    static constexpr const char* kWebSite = "https://www.example.com/";
    static constexpr const char* kSocialPage1 = "https://www.example.com/community";
    static constexpr const char* kSocialPage2 = "https://www.example.com/news";

    explicit CQuorvaneDlg(MainWindowSettings settings);
    ~CQuorvaneDlg() override;

    // The objects the window shows and drives; before Initialise.
    void Attach(app::KeyboardApp& keyboard, DialogPrompt& prompt);

    // The window's initialisation: skin, controls, texts. The keyboard side (the transport and
    // MSG_INIT) is started by the caller between Attach and this. Nothing when the window is
    // ready; the missing picture otherwise (the program then ends with exit code 0).
    [[nodiscard]] std::optional<ui::SkinExit> Initialise();

    // Menu commands of the tray menu and the menu button, and the system-menu about item.
    void RunCommand(int command);

    // ---- MainWindowView ----
    void OpenWindow() override;
    void HideWindow() override;
    void CloseSubDialogs() override;
    void EndMainWindow() override;
    void LoadTexts(int languageIndex) override;
    void CreateTrayIcon() override;
    void SetTrayIcon(int icon) override;
    void RemoveTrayIcon() override;
    void BuildProfileMenu() override;
    void ShowProgress() override;
    void ProgressFrame(int frame) override;
    void HideProgress() override;
    void SetApplyEnabled(bool enabled) override;
    void RefreshBankKeys(const app::BankKeys& keys) override;
    void ShowProfileSlot(int profile) override;
    void SwitchProfileSlot(int profile) override;
    void RefreshProfileList() override;
    void RefreshLightingPanel() override;

    // ---- What tests and tools look at ----
    [[nodiscard]] bool HasEnded() const { return ended_; }
    [[nodiscard]] CTrayIcon& Tray() { return tray_; }
    [[nodiscard]] CAboutDlg* AboutBox() const { return about_; }
    [[nodiscard]] CPngButton* Button(const std::string& skinKey) const;
    [[nodiscard]] QMenu* ButtonMenu() const { return buttonMenu_; }
    [[nodiscard]] QLabel* ProgressImage() const { return progress_; }
    [[nodiscard]] int ProgressFrameShown() const { return progressFrame_; }
    [[nodiscard]] int ActiveSlotShown() const { return activeSlot_; }

    // Menu commands.
    static constexpr int kCommandImport = 32776;
    static constexpr int kCommandExport = 32777;
    static constexpr int kCommandAbout = 16;

signals:
    // The exit path has finished: the program ends now.
    void Ended();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class SkinTarget;

    [[nodiscard]] QString LocalisedText(std::string_view lookupKey) const;
    [[nodiscard]] QString SlotText(ui::TextSlot slot) const;
    // A picture decoded ahead of the set-up, or read now.
    [[nodiscard]] QImage DecodedPicture(const QString& path) const;
    void PlaceButton(const ui::PlacedControl& placed);
    void PlaceControl(const ui::PlacedControl& placed);
    void ConnectButtons();
    void ApplyButtonTooltips();
    void ShowAbout();
    void OpenHelp();
    void OpenPage(const QString& address);
    void PopUpButtonMenu();
    void ImportProfile();
    void ExportProfile();
    [[nodiscard]] TrayMenuTexts TrayTexts() const;
    [[nodiscard]] QString TrayTooltip() const;
    [[nodiscard]] AboutTexts AboutBoxTexts() const;

    MainWindowSettings settings_;
    app::KeyboardApp* keyboard_ = nullptr;
    DialogPrompt* prompt_ = nullptr;
    std::map<std::string, QPixmap, std::less<>> pictures_;
    std::map<QString, QImage> decoded_;  // during Initialise only
    std::map<std::string, CPngButton*, std::less<>> buttons_;
    std::map<std::string, QPushButton*, std::less<>> pageButtons_;
    QString link_;
    CTrayIcon tray_;
    QPointer<CAboutDlg> about_;
    QMenu* buttonMenu_ = nullptr;
    QLabel* progress_ = nullptr;
    int progressFrame_ = 0;
    int activeSlot_ = -1;
    bool ended_ = false;
};

}  // namespace qv::gui
