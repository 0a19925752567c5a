#pragma once

// The main window: the skinned keyboard picture with its buttons, the profile slots and the
// commands around them, the tray icon, the about box, the profile manager and the busy
// animation. It draws what the application tells it, writes every caption in the interface
// language, and turns clicks and menu commands into requests (signals); it never talks to the
// keyboard itself.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/keyboard_view_model.h"
#include "app/profile_manager_model.h"
#include "gui/about_dialog.h"
#include "gui/assignment_dialog.h"
#include "gui/file_chooser.h"
#include "gui/profile_manager.h"
#include "gui/tray_icon.h"
#include "gui/window_actions.h"
#include "service/keyboard_session.h"
#include "texts/skin_placement.h"
#include "texts/text_slots.h"

class QLabel;
class QMenu;
class QPushButton;

namespace qv::platform {
class SettingsStore;
}
namespace qv::ui {
class TextLookup;
class TextTable;
}  // namespace qv::ui

namespace qv::gui {

class BusyAnimation;
class PngButton;
class KeyboardView;
class LightingPanel;

struct MainWindowSettings {
    std::filesystem::path programFolder;  // holds Skins/ and Help/
    // Whether the desktop shows tray icons. Without one the window would be unreachable once
    // hidden, so it stays shown (minimised instead of hidden) and closing it ends the tool.
    bool trayAvailable = true;
    // Opens help and web pages; the desktop's browser by default.
    std::function<void(const QUrl&)> openUrl;
    // Keeps the window's own settings (the flip setting, the profile manager's rows); none
    // keeps them for the run only.
    platform::SettingsStore* settings = nullptr;
    // The per-user profile folder: the lighting panel's switch and the user colour files.
    std::filesystem::path profileFolder;
    // Asks for profile files; the system's file dialogs by default.
    FileChooser chooseFile;
};

class MainWindow final : public BaseDialog {
    Q_OBJECT

public:
    explicit MainWindow(MainWindowSettings settings);
    ~MainWindow() override;

    // The texts the window shows; before Initialise.
    void Attach(ui::TextTable& texts, const ui::TextLookup& lookup);

    // The window's initialisation: skin, controls, texts. Nothing when the window is ready; the
    // missing picture otherwise (the program then ends with exit code 0).
    [[nodiscard]] std::optional<ui::SkinExit> Initialise();

    // Shown as a normal taskbar window, in front.
    void OpenWindow();
    // Hidden; it stays out of the taskbar.
    void HideWindow();
    // Closes the about box and any box waiting for an answer, as if cancelled.
    void CloseSubDialogs();
    // The exit path's end: releases what the window draws with and ends it.
    void EndMainWindow();
    // Every text of the window in the interface language as it is now: captions, tooltips,
    // the menus, the tray, the about box and the open dialogs.
    void LoadTexts();

    // The notification-area icon, created with the application icon and removed at exit.
    void CreateTrayIcon();
    void RemoveTrayIcon();

    // The keyboard service works (true) or has finished (false): the busy animation.
    void SetBusy(bool busy);
    // The Apply button (1006).
    void SetApplyEnabled(bool enabled);
    // The keys of the profile shown, as the working image has them now.
    void ShowKeyboard(const app::KeyboardViewSnapshot& snapshot);
    [[nodiscard]] const app::KeyboardViewSnapshot& KeyboardShown() const { return keyboard_; }
    // Closes the assignment dialog as Cancel does, before what it edits is replaced.
    void CloseAssignment();
    // Slot `profile` shows the checked look, the other three the unchecked look; the
    // current-profile button names it. -1: none is known.
    void ShowProfileSlot(int profile);
    // The lighting as the keyboard service last read or wrote it: the report-rate button of its
    // rate is checked, and the lighting hook hears of the profile shown.
    void ShowLighting(const service::LightingSnapshot& lighting);
    // Report-rate button `index` (0..3) checked, the others not.
    void ShowReportRate(std::size_t index);
    // The profile manager, window-modal, on the rows of the current profile file.
    void OpenProfileManager(const std::filesystem::path& profileFolder, int activeProfile);
    [[nodiscard]] bool AssignmentOpen() const {
        return assignment_ != nullptr && assignment_->IsOpen();
    }

    // ---- What tests and tools look at ----
    [[nodiscard]] TrayIcon& Tray() { return tray_; }
    // The window's commands, as every menu offering them holds them.
    [[nodiscard]] const WindowActions& Actions() const { return actions_; }
    [[nodiscard]] AboutDialog* AboutBox() const { return about_; }
    // A button of the window or of its keyboard view.
    [[nodiscard]] PngButton* Button(const std::string& skinKey) const;
    [[nodiscard]] KeyboardView* Keyboard() const { return view_; }
    [[nodiscard]] LightingPanel& Lighting() const { return *lighting_; }
    // Created when a key is first clicked.
    [[nodiscard]] AssignmentDialog* Assignment() const { return assignment_; }
    [[nodiscard]] QMenu* ButtonMenu() const { return buttonMenu_; }
    [[nodiscard]] QMenu* LanguageMenu() const { return languageMenu_; }
    // Created when first opened.
    [[nodiscard]] ProfileManagerDialog* ProfileManager() const { return manager_; }
    [[nodiscard]] QLabel* ReportRateCaption() const { return reportCaption_; }
    // The web-page buttons the skin gives an address; none for the others.
    [[nodiscard]] QPushButton* WebPageButton(const std::string& skinKey) const;
    [[nodiscard]] std::size_t ReportRateShown() const { return reportRate_; }
    [[nodiscard]] QLabel* ProgressImage() const { return progress_; }
    [[nodiscard]] int ProgressFrameShown() const;
    [[nodiscard]] int ActiveSlotShown() const { return activeSlot_; }

signals:
    // The exit path has finished: the program ends now.
    void Ended();
    // What the user asks for; the application does it.
    void OpenRequested();
    void ApplyRequested();
    void ExitRequested();
    void ImportRequested(const QString& path);
    void ExportRequested(const QString& path);
    // A profile slot (0..3), Default, a report-rate button (0..3), the current-profile button.
    void ProfileSlotClicked(int profile);
    void DefaultRequested();
    void ReportRateClicked(int index);
    void ProfilesRequested();
    // The profile manager's Apply.
    void ProfileManagerApplied(const qv::app::ManagerChoice& choice);
    // A language from the language menu (ui::InterfaceLanguage's value).
    void LanguageChosen(int language);
    // Something the user must be told that a dialog of the window found.
    void MessageRequested(const QString& text);

    // ---- The lighting panel's hooks ----
    // The lighting of `profile` was read or written: a lighting panel shows it from the keyboard
    // service's LightingView.
    void LightingShown(int profile);
    // A profile slot was clicked: an open lighting panel closes, as the slot switch does.
    void LightingPanelCloseRequested();
    // The assignment dialog's Apply: store the key's new entry in the working image.
    void AssignmentApplied(const qv::gui::AssignmentEdit& edit);
    // A window could not get its skin pictures: the program ends.
    void SkinFailed(const QString& stderrLine);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    [[nodiscard]] QString LocalisedText(std::string_view lookupKey) const;
    [[nodiscard]] QString SlotText(ui::TextSlot slot) const;
    // A picture decoded ahead of the set-up, or read now.
    void PlaceButton(const ui::PlacedControl& placed);
    void PlaceControl(const ui::PlacedControl& placed);
    void ConnectButtons();
    void ConnectActions();
    // The actions' words in the interface language.
    void ApplyActionTexts();
    void ConnectLighting();
    void OpenAssignment(std::size_t slot, bool macroOnly, const QString& skinKey);
    void ApplyButtonTooltips();
    void ApplyCaptions();
    void ShowProfileMenu();
    void ShowPressed(PngButton& button, bool on);
    void CreateLanguageMenu();
    // The buttons' pictures are cut from the state pictures when the window opens and dropped
    // when it hides: a tray program spends most of its life hidden.
    void LoadPictures();
    void ReleasePictures();
    // The checked slot and report-rate buttons in their pressed look, or back without it.
    void ShowPressedFaces();

    // The program's icon, which the window and the about box wear.
    QIcon AppIcon();
    void ShowAbout();
    void OpenHelp();
    void OpenPage(const QString& address);
    void PopUpButtonMenu();
    void ImportProfile();
    void ExportProfile();
    [[nodiscard]] QString TrayTooltip() const;
    [[nodiscard]] AboutTexts AboutBoxTexts() const;

    MainWindowSettings settings_;
    ui::TextTable* texts_ = nullptr;
    const ui::TextLookup* lookup_ = nullptr;
    // The busy animation's frames, read as they are first shown.
    std::map<std::string, QPixmap, std::less<>> pictures_;
    // What each picture button of the window shows.
    std::vector<ButtonPictureSource> sources_;
    // The files a button may name, by name: the others give it no picture.
    std::vector<std::pair<std::string, std::filesystem::path>> loadablePictures_;
    // The pressed look the checked slot and report-rate buttons wear, cut for each.
    std::map<PngButton*, QPixmap> pressedFaces_;
    bool picturesLoaded_ = false;
    bool iconSet_ = false;
    std::map<std::string, PngButton*, std::less<>> buttons_;
    std::map<std::string, QPushButton*, std::less<>> pageButtons_;
    std::map<std::string, QString, std::less<>> pageAddresses_;
    QString link_;  // empty: the skin names no site
    TrayIcon tray_;
    WindowActions actions_;
    QPointer<AboutDialog> about_;
    QMenu* buttonMenu_ = nullptr;
    QMenu* languageMenu_ = nullptr;
    KeyboardView* view_ = nullptr;
    LightingPanel* lighting_ = nullptr;
    ProfileManagerDialog* manager_ = nullptr;
    QLabel* reportCaption_ = nullptr;
    AssignmentDialog* assignment_ = nullptr;
    QString editedKey_;
    app::KeyboardViewSnapshot keyboard_;
    QLabel* progress_ = nullptr;
    BusyAnimation* busy_ = nullptr;
    int activeSlot_ = -1;
    std::size_t reportRate_ = 0;
    bool ended_ = false;
};

}  // namespace qv::gui
