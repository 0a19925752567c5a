#pragma once

// The rules of a macro's action list as the macro page edits it: where a new action goes and
// which delay it takes, moving a row, and what a typed delay or repeat count becomes. Plain
// functions over the list, so that recording, the page's buttons and the command line share
// them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "macros/macro_record.h"

namespace qv::macros {

// Inserts `action` directly after the selected row, or at the end without a selection. Each
// delay stays the pause after its own action: the row before the new one takes the new delay
// and the new row takes over that row's old delay; a new first row has delay 0 (its own delay
// has no action before it to follow). Returns the new row, or nothing when the list already
// holds kMaxMacroActions (the action is dropped).
[[nodiscard]] std::optional<std::size_t> InsertAction(std::vector<MacroAction>& actions,
                                                      std::optional<std::size_t> selected,
                                                      MacroAction action);

enum class MovePlace : std::uint8_t { First, Up, Down, Last };

// Moves a row (an action with its delay, or a macro of the list) to the first place, one place
// up, one down or the last place; returns where it is now. A row already there stays.
template <typename Row>
[[nodiscard]] std::size_t MoveRow(std::vector<Row>& rows, std::size_t row, MovePlace place) {
    if (row >= rows.size()) {
        return row;
    }
    std::size_t to = row;
    switch (place) {
        case MovePlace::First:
            to = 0;
            break;
        case MovePlace::Up:
            to = row == 0 ? 0 : row - 1;
            break;
        case MovePlace::Down:
            to = std::min(row + 1, rows.size() - 1);
            break;
        case MovePlace::Last:
            to = rows.size() - 1;
            break;
    }
    const auto at = [&](std::size_t i) { return rows.begin() + static_cast<std::ptrdiff_t>(i); };
    if (to < row) {
        std::rotate(at(to), at(row), at(row + 1));
    } else if (to > row) {
        std::rotate(at(row), at(row + 1), at(to + 1));
    }
    return to;
}

// A delay typed into a cell, in milliseconds: at most kMaxMacroDelayMs (`tooLong` when it was
// more) and rounded down to a multiple of 10, the unit the keyboard keeps.
struct TypedDelay {
    std::uint32_t delay = 0;
    bool tooLong = false;
};
[[nodiscard]] TypedDelay DelayFromTyped(std::uint64_t typedMs);

// The repeat count edit's text read as a decimal number: leading digits count, anything else
// reads as 0. The count is kept within 1..255; `text` is what the edit should show when the
// typed text is out of range, empty when it may stay as typed.
struct TypedRepeatCount {
    int count = kMinRepeatCount;
    std::string_view text;
};
[[nodiscard]] TypedRepeatCount RepeatCountFromText(std::string_view text);

// The number in leading decimal digits; larger numbers stop at the uint64 limit.
[[nodiscard]] std::uint64_t LeadingDigitsValue(std::string_view text);

}  // namespace qv::macros
