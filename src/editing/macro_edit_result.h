#pragma once

// What an edit of the macro list or of a macro's actions did, and what the user has to be told
// or asked about it. The words are the front end's: it maps each notice to its text.

#include <cstdint>

namespace qv::macros {

enum class MacroNotice : std::uint8_t {
    None,
    // The list already holds the largest number of macros (formatted with kMaxMacros).
    TooManyMacros,
    // A typed delay was longer than the longest one, which was stored instead (formatted with
    // kMaxMacroDelayMs).
    DelayTooLong,
    // Yes/No: the macro to delete is played by keys, which go back to their defaults at the
    // commit.
    ConfirmDeleteUsedMacro,
    // Yes/No: remove every action of the shown macro.
    ConfirmClearActions,
    // The shown macro already holds the largest number of actions: the new one is dropped
    // without a word.
    ActionListFull,
};

enum class EditOutcome : std::uint8_t {
    Done,       // changed; the page now has edits that are not applied
    Unchanged,  // nothing to act on: no macro shown, no row selected, already in place
    Refused,    // a limit stands in the way; the notice says which
    AskFirst,   // the notice is a question: repeat the command confirmed on Yes
    Recording,  // not while a recording runs: the macro shown cannot change
};

struct EditResult {
    EditOutcome outcome = EditOutcome::Unchanged;
    MacroNotice notice = MacroNotice::None;

    [[nodiscard]] bool Changed() const { return outcome == EditOutcome::Done; }
    friend bool operator==(const EditResult&, const EditResult&) = default;
};

}  // namespace qv::macros
