#pragma once

// The macro page of the assignment dialog: the macro list with its name box, the shown macro's
// actions with their cells edited in place, the repeat count, recording, and the memory meter.
// It edits private copies (a MacroManager session) from the dialog's opening on; Apply hands a
// copy of the session to the application, which commits it into the working image on the
// keyboard service's worker, and the page's own copies then count as committed.
//
// Recording takes the events the dialog's window receives while it has the focus: keys by
// their native scan code, the three mouse buttons as Qt reports them. While it runs every key
// goes into the macro (Escape and Tab too); only the mouse (Stop) or the focus leaving the
// window ends it, which the page says on screen.
//
// The dialog's skin places the controls: the dialog creates the page's widgets through
// CreateControl and hands it the picture buttons through AttachButton.

#include <QObject>
#include <QRect>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/keyboard_view_model.h"
#include "editing/macro_manager.h"
#include "editing/macro_recorder.h"
#include "keys/key_names.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace qv::platform {
class SettingsStore;
}
namespace qv::ui {
class TextLookup;
class TextTable;
}  // namespace qv::ui

namespace qv::gui {

class ActionCellDelegate;
class PngButton;
class DialogPrompt;
class MacroMemoryView;
class RecordingWatch;

// What the page's words and its one setting come from.
struct MacroPageContext {
    const ui::TextTable* texts = nullptr;
    const ui::TextLookup* lookup = nullptr;
    // Keeps the record-delays option; none keeps it for this run only.
    platform::SettingsStore* settings = nullptr;
};

class MacroPage final : public QObject {
    Q_OBJECT

public:
    // Milliseconds from any fixed start; the pauses between recorded events are measured on it.
    using Clock = std::function<std::uint64_t()>;

    // `context` must hold texts and a lookup.
    MacroPage(QWidget& dialog, MacroPageContext context);
    ~MacroPage() override;

    // ---- Set-up, from the dialog's skin ----
    // The widget of one of the page's control keys, placed at `geometry`; nullptr for a key
    // that is not the page's.
    QWidget* CreateControl(std::string_view key, const QRect& geometry);
    // A picture button of the page (FUNC_MACRO_ADD, FUNC_MACRO_RECORD, ...).
    void AttachButton(std::string_view key, PngButton& button);
    // After every control and button is there.
    void Connect();
    void LoadTexts();

    // ---- Session ----
    // Copies of the snapshot's macros and keys; shows the macro `shownId` (the first when none
    // has it). A recording ends; nothing is modified.
    void Open(const app::KeyboardViewSnapshot& snapshot, std::uint16_t shownId);
    // Drops the copies; the lists are emptied.
    void Close();
    // The working image as the worker has it now: the key copies follow it, and the meter
    // takes the keyboard's capacity.
    void FollowImage(const app::KeyboardViewSnapshot& snapshot);
    // Stores a cell being edited and ends a recording: Apply, leaving the page and closing.
    void FinishEditing();
    void StopRecording();
    // Apply: the session as it stands, for the worker to commit into the working image. The
    // page's copies are then committed as the image will be: none new, nothing modified.
    [[nodiscard]] std::shared_ptr<macros::MacroManager> TakeCommit();

    // ---- What the dialog and tests read ----
    [[nodiscard]] const macros::MacroManager& Manager() const { return manager_; }
    [[nodiscard]] bool Recording() const { return recorder_.Recording(); }
    [[nodiscard]] QLineEdit* NameBox() const { return nameBox_; }
    [[nodiscard]] QListWidget* MacroList() const { return macroList_; }
    [[nodiscard]] QTableWidget* ActionList() const { return actionList_; }
    [[nodiscard]] QLineEdit* RepeatBox() const { return repeatBox_; }
    [[nodiscard]] QCheckBox* RecordDelays() const { return recordDelays_; }
    [[nodiscard]] MacroMemoryView* Meter() const { return meter_; }
    [[nodiscard]] QLabel* RecordingHint() const { return hint_; }
    // The macro list's move commands (top, up, down, bottom), also in its context menu.
    [[nodiscard]] QAction* MoveMacroAction(macros::MovePlace place) const;
    [[nodiscard]] DialogPrompt& Prompt() { return *prompt_; }
    // Tests measure pauses on a clock of their own.
    void SetClock(Clock clock);

signals:
    // The user changed something Apply writes: an edit, or another macro for the key.
    void Edited();
    void RecordingChanged(bool recording);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] QString Text(std::string_view lookupKey) const;
    [[nodiscard]] PngButton* Button(std::string_view key) const;
    [[nodiscard]] keys::TextLookupFn LookupFn() const;
    [[nodiscard]] std::string RecordDelaysEntry() const;
    void CreateActionList();

    // What the page shows, from the manager.
    void Refresh();
    void ShowMacroList(bool nameBoxToo);
    void ShowActions();
    void FillRow(int row);
    void SelectRow(std::optional<std::size_t> row);
    void ShowRepeatCount();
    void ShowMeter();
    void UpdateControls();
    // After an edit that Apply writes.
    void Changed();
    void Tell(macros::MacroNotice notice);
    [[nodiscard]] bool Ask(macros::MacroNotice notice);

    // The user's commands.
    void OnMacroChosen(int row);
    void OnNameTyped(const QString& text);
    void OnAdd();
    void OnDelete();
    void OnMoveMacro(macros::MovePlace place);
    void OnActionSelection();
    void OnDeleteAction();
    void OnClearActions();
    void OnMoveAction(macros::MovePlace place);
    void OnCellChosen(int row, int column, std::uint64_t value);
    void OnRepeatTyped(const QString& text);
    void OnRecordDelays(bool on);
    void OnRecord();

    // An event went into the macro: the new rows.
    void ShowRecorded();
    [[nodiscard]] std::size_t ShownActionCount() const;

    QWidget& dialog_;
    const ui::TextTable& texts_;
    const ui::TextLookup& lookup_;
    platform::SettingsStore* settings_;
    std::unique_ptr<DialogPrompt> prompt_;

    macros::MacroManager manager_;
    macros::MacroRecorder recorder_{manager_};
    // Every profile's keys as the image has them, which a commit repairs.
    std::size_t capacity_ = 0;
    RecordingWatch* watch_;

    QLineEdit* nameBox_ = nullptr;
    QListWidget* macroList_ = nullptr;
    QTableWidget* actionList_ = nullptr;
    ActionCellDelegate* delegate_ = nullptr;
    QLineEdit* repeatBox_ = nullptr;
    QCheckBox* recordDelays_ = nullptr;
    MacroMemoryView* meter_ = nullptr;
    QLabel* hint_ = nullptr;
    std::map<std::string, PngButton*, std::less<>> buttons_;
    std::map<macros::MovePlace, QAction*> macroMoves_;
};

}  // namespace qv::gui
