// Arbitrary bytes as the text a macro types (`macro add --text`), turned into key taps on the US
// layout. What the conversion promises:
//  - the taps type the text back: replaying them with the layout gives the text, with each
//    CR LF as one line break;
//  - they stay within the step limit, every step has the delay asked for (at most 40,000 ms),
//    every key pressed is released right after, and Shift is never left held;
//  - a text that cannot be typed is refused at its first character without a key, or where the
//    steps would pass the limit; an empty text is refused as empty.
//
// Input: bytes 0..1 are the delay (LE16), the rest is the text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "core/utf16.h"
#include "macros/macro_record.h"
#include "macros/text_taps.h"

namespace {

using namespace qv::macros;

constexpr qv::keys::KeyCode kLeftShift = 0x2A;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The character each key types, with and without Shift, from the layout itself.
const std::map<std::pair<qv::keys::KeyCode, bool>, char>& TypedBy() {
    static const auto* const table = [] {
        auto* made = new std::map<std::pair<qv::keys::KeyCode, bool>, char>;
        for (int c = 0; c < 0x80; ++c) {
            const UsLayoutKey key = UsLayoutKeyOf(static_cast<char32_t>(c));
            if (key.key != qv::keys::kNoKey) {
                Check(made->emplace(std::pair(key.key, key.shifted), static_cast<char>(c)).second);
            }
        }
        return made;
    }();
    return *table;
}

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// The text with each CR LF as LF, as the taps type it.
std::string Typed(std::string_view text) {
    std::string typed;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            typed += text[i];
        }
    }
    return typed;
}

void CheckTaps(const std::vector<MacroAction>& actions, std::string_view text,
               std::uint32_t delay) {
    Check(!actions.empty() && actions.size() <= kMaxMacroActions);
    std::string replayed;
    bool shift = false;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const MacroAction& action = actions[i];
        Check(action.delay == std::min(delay, kMaxMacroDelayMs));
        if (action.key == kLeftShift) {
            Check(action.state == (shift ? KeyState::Release : KeyState::Press));
            shift = !shift;
            continue;
        }
        Check(action.state == KeyState::Press && i + 1 < actions.size());
        Check(actions[i + 1].key == action.key && actions[i + 1].state == KeyState::Release);
        ++i;
        const auto found = TypedBy().find({action.key, shift});
        Check(found != TypedBy().end());
        replayed += found->second;
    }
    Check(!shift);
    // Only characters of the layout have keys, and those are all ASCII.
    Check(IsAscii(text) && replayed == Typed(text));
}

void CheckRefusal(const TextTapsError& error, std::string_view text, std::uint32_t delay) {
    if (error.kind == TextTapsError::Kind::Empty) {
        Check(qv::Utf8ToUtf16(text).empty());
        return;
    }
    Check(error.position >= 1);
    const bool hasKey = UsLayoutKeyOf(error.character).key != qv::keys::kNoKey;
    Check(hasKey == (error.kind == TextTapsError::Kind::TooManySteps));
    if (!IsAscii(text)) {
        return;
    }
    Check(error.position <= text.size() &&
          static_cast<unsigned char>(text[error.position - 1]) == error.character);
    // Everything before the character can be typed, within the limit.
    const std::string_view before = text.substr(0, error.position - 1);
    if (before.empty() || (before.ends_with('\r') && error.character == U'\n')) {
        return;
    }
    const auto typed = TextToTaps(before, delay);
    Check(std::holds_alternative<std::vector<MacroAction>>(typed));
    if (error.kind == TextTapsError::Kind::TooManySteps) {
        // The character's tap (two steps) and a Shift change or final release would not fit.
        Check(std::get<std::vector<MacroAction>>(typed).size() + 2 > kMaxMacroActions - 2);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::uint32_t delay = data[0] | static_cast<std::uint32_t>(data[1]) << 8;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    const auto taps = TextToTaps(text, delay);
    if (const auto* actions = std::get_if<std::vector<MacroAction>>(&taps)) {
        CheckTaps(*actions, text, delay);
    } else {
        CheckRefusal(std::get<TextTapsError>(taps), text, delay);
    }
    return 0;
}
