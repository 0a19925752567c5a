#include "editing/action_list_edits.h"

#include <limits>
#include <utility>

namespace qv::macros {

// The texts an out-of-range repeat count is replaced by.
static_assert(kMinRepeatCount == 1 && kMaxRepeatCount == 255);

std::optional<std::size_t> InsertAction(std::vector<MacroAction>& actions,
                                        std::optional<std::size_t> selected, MacroAction action) {
    if (actions.size() >= kMaxMacroActions) {
        return std::nullopt;
    }
    const std::size_t row = selected && *selected < actions.size() ? *selected + 1 : actions.size();
    if (row == 0) {
        action.delay = 0;
    } else {
        std::swap(action.delay, actions[row - 1].delay);
    }
    actions.insert(actions.begin() + static_cast<std::ptrdiff_t>(row), action);
    return row;
}

TypedDelay DelayFromTyped(std::uint64_t typedMs) {
    const bool tooLong = typedMs > kMaxMacroDelayMs;
    const auto delay = static_cast<std::uint32_t>(tooLong ? kMaxMacroDelayMs : typedMs);
    return {delay - delay % 10, tooLong};
}

std::uint64_t LeadingDigitsValue(std::string_view text) {
    constexpr std::uint64_t kLimit = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
    }
    return value;
}

TypedRepeatCount RepeatCountFromText(std::string_view text) {
    const std::uint64_t value = LeadingDigitsValue(text);
    if (value < static_cast<std::uint64_t>(kMinRepeatCount)) {
        return {kMinRepeatCount, "1"};
    }
    if (value > static_cast<std::uint64_t>(kMaxRepeatCount)) {
        return {kMaxRepeatCount, "255"};
    }
    return {static_cast<int>(value), {}};
}

}  // namespace qv::macros
