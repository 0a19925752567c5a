#pragma once

// The edit session of the macro page: private copies of the macro list and of the key entries
// of all four profiles, taken when the page opens. Every command works on the copies; nothing
// reaches the profile image before Commit, which replaces the image's macro list at once and
// repairs the key entries that name a macro that no longer exists.
//
// Recording (MacroRecorder) locks the macro shown: while it runs, no other macro can be shown,
// added, renamed, deleted or moved.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editing/action_list_edits.h"
#include "editing/macro_edit_result.h"
#include "editing/macro_memory_meter.h"
#include "keys/key_code.h"
#include "macros/macro_record.h"
#include "profiles/profile_image.h"

namespace qv::macros {

struct CommitResult {
    std::size_t keysReset = 0;            // named a deleted (or since re-used) macro: now Default
    std::size_t keysGivenFirstMacro = 0;  // named no macro at all (id 0): now the first one
    bool macrosChanged = false;           // the image's macro list is not what it was

    // The image's key entries changed, so there is more to apply than the macros.
    [[nodiscard]] bool KeysChanged() const { return keysReset + keysGivenFirstMacro != 0; }
    // Anything in the image changed: there is something for the keyboard.
    [[nodiscard]] bool ImageChanged() const { return macrosChanged || KeysChanged(); }
};

class MacroManager {
public:
    // ---- Session ----
    // Copies the image's macros (not new) and key entries; shows the macro with `shownId`, or
    // the first macro when none has it. No action is selected and nothing is modified.
    void Open(const profiles::ImageContents& image, std::uint16_t shownId = 0);
    // Drops the copies. The name counter stays: it lives as long as the manager.
    void Close();
    // Writes the list into the image (list order, none new any more) and repairs key entries
    // under the image's lock: one naming id 0 gets the first macro when there is one; one
    // naming a macro that is gone, or a new macro that took a deleted macro's id, goes back to
    // Default. The copies stay open, none of them new, and the key copies follow the image.
    CommitResult Commit(profiles::ProfileImage& image);
    // After a copy of this session was handed over for its commit: the copies become what the
    // commit makes of them (none new, key entries repaired), so that editing goes on from
    // there; the image's own keys come in with RefreshKeyEntries once it is stored.
    void MarkCommitted();
    // Takes the key entries again, for an entry written into the image after the commit.
    void RefreshKeyEntries(const profiles::ImageContents& image);

    // ---- The macro list ----
    [[nodiscard]] const MacroList& Macros() const { return macros_; }
    // The position of the macro shown; nothing when the list is empty.
    [[nodiscard]] std::optional<std::size_t> ShownIndex() const { return shown_; }
    [[nodiscard]] const MacroRecord* ShownMacro() const;
    [[nodiscard]] std::optional<std::size_t> IndexOfId(std::uint16_t id) const;

    // Shows another macro; no action is selected then. Showing is no edit, so the outcome is
    // Unchanged (or Recording, when the shown macro is locked).
    EditResult Show(std::size_t index);
    // A new macro named `namePrefix` and a number that no macro name begins with, with the
    // smallest free id, repeat count 1 and no actions; it is shown.
    EditResult Add(std::u16string_view namePrefix);
    // The typed name of the shown macro, cut to 249 units. With no macro at all it names a new
    // one, made as Add makes it.
    EditResult Rename(std::u16string_view name);
    // Deletes the macro shown and shows the one before it (the new first one when the first
    // went). A macro that keys play and that was not added in this session asks first.
    EditResult Delete(bool confirmed);
    EditResult MoveMacro(MovePlace place);

    // How many key entries of the copies (every profile, every slot) play the macro `id`.
    [[nodiscard]] std::size_t KeysPlaying(std::uint16_t id) const;

    // ---- The shown macro's actions ----
    [[nodiscard]] std::optional<std::size_t> SelectedAction() const { return selectedAction_; }
    // Selects a row; nothing (or a row past the end) selects none.
    void SelectAction(std::optional<std::size_t> row);
    // Inserts after the selected row (at the end without one) by InsertAction's delay rule and
    // selects the new row.
    EditResult InsertAction(MacroAction action);
    EditResult DeleteAction();
    EditResult ClearActions(bool confirmed);
    EditResult MoveAction(MovePlace place);
    // In-place edits of one row's cells.
    EditResult SetActionDelay(std::size_t row, std::uint64_t typedMs);
    // `choice`: a position 0..105 of the key choice list.
    EditResult SetActionKey(std::size_t row, keys::KeyListId choice);
    EditResult SetActionState(std::size_t row, KeyState state);
    // All actions at once (the command line's steps); at most kMaxMacroActions.
    EditResult ReplaceActions(std::vector<MacroAction> actions);

    // The repeat count edit: the count it keeps, and the text it shows instead when the typed
    // one is out of range.
    TypedRepeatCount SetRepeatCountText(std::string_view text);
    EditResult SetRepeatCount(int count);

    // ---- State ----
    [[nodiscard]] bool Modified() const { return modified_; }
    [[nodiscard]] bool Recording() const { return recording_; }
    // Set by the recorder while it runs.
    void LockForRecording(bool recording) { recording_ = recording; }
    [[nodiscard]] MacroMemoryMeter Meter(std::size_t capacity) const;

private:
    MacroRecord* Shown();
    // The key-entry repair of a commit, on `blocks`.
    CommitResult RepairKeys(profiles::ProfileKeyBlocks& blocks) const;
    void ClearNew();
    MacroRecord NewMacro(std::u16string name) const;
    EditResult Changed(MacroNotice notice = MacroNotice::None);
    // The delete question asks about the macro's keys except G1 of the first profile, which
    // the commit still resets.
    [[nodiscard]] bool KeysPlayingAskAbout(std::uint16_t id) const;

    MacroList macros_;
    profiles::ProfileKeyBlocks keys_{};
    std::optional<std::size_t> shown_;
    std::optional<std::size_t> selectedAction_;
    int nameCounter_ = 0;
    bool modified_ = false;
    bool recording_ = false;
};

}  // namespace qv::macros
