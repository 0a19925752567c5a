#pragma once

// The assignment dialog: what one key of the profile shown does. Four pages (another key or a
// mouse action, a macro, a media function, an editing function), skinned from Composite.ini.
// It works on a copy of the key's entry and of the macro list; Apply hands the new entry to
// the application, which stores it in the working image and marks the change for the main
// window's Apply, the one that writes the keyboard.

#include <QPixmap>
#include <QString>

#include <array>
#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/keyboard_view_model.h"
#include "assignments/assignment_choice.h"
#include "editing/macro_manager.h"
#include "gui/macro_page.h"
#include "gui/widgets/base_dialog.h"
#include "gui/widgets/button_cuts.h"
#include "gui/widgets/window_skin_target.h"
#include "keys/key_entry.h"
#include "keys/key_names.h"
#include "texts/skin_layout.h"
#include "texts/skin_placement.h"

class QComboBox;
class QLabel;
class QRadioButton;

namespace qv::gui {

class PngButton;
class KeyCaptureEdit;

// One key's new entry, for the profile and key the dialog was opened on, and the macro page's
// edit session, which is committed into the image before the entry is stored (it replaces the
// macro list and repairs keys that name a macro that is gone). No session leaves the macros.
struct AssignmentEdit {
    int profile = -1;
    std::size_t slot = 0;
    keys::KeyEntry entry;
    std::shared_ptr<macros::MacroManager> macros;
};

class AssignmentDialog final : public BaseDialog {
    Q_OBJECT

public:
    // Texts come from `lookup` (a lookup key in, the text to show out); the macro page's from
    // `macroContext`, which also keeps its record-delays option.
    AssignmentDialog(QWidget* parent, const std::filesystem::path& programFolder,
                     keys::TextLookupFn lookup, const MacroPageContext& macroContext);
    ~AssignmentDialog() override;

    // The skin, on the first opening only: nothing when the dialog is ready, else the picture
    // that could not be loaded.
    [[nodiscard]] std::optional<ui::SkinExit> Initialise();

    // Opens (window-modal) on key `slot` of the snapshot's profile. `anchor` is the clicked
    // button's rectangle on the screen; a macro-only key opens centred.
    void OpenFor(std::size_t slot, bool macroOnly, const app::KeyboardViewSnapshot& snapshot,
                 const QRect& anchor);
    [[nodiscard]] bool IsOpen() const { return open_; }
    // Closes as Cancel does; nothing when closed.
    void CloseIfOpen();
    // The texts again, after the language changed.
    void LoadTexts();
    // The working image as it is now (after an Apply, say): the macro page's key copies follow
    // it. Ignored while closed, and for another profile.
    void FollowImage(const app::KeyboardViewSnapshot& snapshot);

    // ---- What tests look at ----
    [[nodiscard]] keys::AssignmentChoice Choice() const { return choice_; }
    [[nodiscard]] bool Modified() const { return modified_; }
    [[nodiscard]] std::size_t Slot() const { return slot_; }
    [[nodiscard]] PngButton* Button(std::string_view skinKey) const;
    [[nodiscard]] KeyCaptureEdit* KeyBox() const { return keyBox_; }
    [[nodiscard]] QComboBox* MouseList() const { return mouseList_; }
    [[nodiscard]] QComboBox* MediaList() const { return mediaList_; }
    [[nodiscard]] QComboBox* FunctionList() const { return functionList_; }
    [[nodiscard]] MacroPage* Macros() const { return macroPage_; }
    [[nodiscard]] QRadioButton* KeyboardChoice() const { return keyboardMode_; }
    [[nodiscard]] QRadioButton* MouseChoice() const { return mouseMode_; }

signals:
    // Apply (and OK): the entry to store; the dialog stays open after Apply.
    void Applied(const qv::gui::AssignmentEdit& edit);
    // The dialog has closed (OK or Cancel).
    void Closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum class PictureSet { Key, Macro, MacroOnly, Media, Function };

    void PlaceButton(const ui::PlacedControl& placed);
    void PlaceControl(const ui::PlacedControl& placed);
    void CreateControls();
    void FillLists();
    void ConnectControls();
    void ShowPictureSet(PictureSet set);
    // The buttons' cuts of the shown picture set, made while the dialog shows.
    void CutPictures();
    void DropPictures();
    void ShowPage();
    [[nodiscard]] QRect OptionalControlPlace(std::string_view key) const;
    void SelectPage(keys::AssignmentPage page);
    void SetMouseMode(bool mouse);
    void OnKeyCaptured(keys::KeyCode code);
    void ResetToDefault();
    void Apply();
    void Finish(bool applied);
    void Place(const QRect& anchor);
    [[nodiscard]] QString Text(std::string_view lookupKey) const;

    keys::TextLookupFn lookup_;
    std::filesystem::path programFolder_;
    bool initialised_ = false;
    std::vector<ButtonPictureSource> sources_;
    // The record button's pressed look in the shown set, worn while a recording runs.
    QPixmap recordPressed_;
    std::map<std::string, PngButton*, std::less<>> buttons_;
    std::map<std::string, QWidget*, std::less<>> controls_;

    KeyCaptureEdit* keyBox_ = nullptr;
    QRadioButton* keyboardMode_ = nullptr;
    QRadioButton* mouseMode_ = nullptr;
    QComboBox* mouseList_ = nullptr;
    QComboBox* mediaList_ = nullptr;
    QComboBox* functionList_ = nullptr;
    MacroPage* macroPage_;
    std::map<std::string, QLabel*, std::less<>> labels_;
    // The picture set the buttons show now.
    const ui::StatePictureSet* shownPictures_ = &ui::kCompositeKeyStatePictures;

    // The key being edited and what the dialog holds for it.
    app::KeyboardViewSnapshot snapshot_;
    std::size_t slot_ = 0;
    bool macroOnly_ = false;
    keys::AssignmentChoice choice_;
    bool modified_ = false;
    bool open_ = false;
    // While the dialog fills its lists, their change signals are no user's choice.
    bool filling_ = false;
};

}  // namespace qv::gui

Q_DECLARE_METATYPE(qv::gui::AssignmentEdit)
