#include "macros/text_taps.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/utf16.h"

namespace qv::macros {
namespace {

// Set-1 scan codes of the keys of the main block, with the character each types alone and
// with Shift (US layout).
struct LayoutRow {
    keys::KeyCode key;
    char plain;
    char shifted;
};

constexpr std::array<LayoutRow, 47> kUsLayout = {{
    {0x29, '`', '~'},  {0x02, '1', '!'},  {0x03, '2', '@'}, {0x04, '3', '#'}, {0x05, '4', '$'},
    {0x06, '5', '%'},  {0x07, '6', '^'},  {0x08, '7', '&'}, {0x09, '8', '*'}, {0x0A, '9', '('},
    {0x0B, '0', ')'},  {0x0C, '-', '_'},  {0x0D, '=', '+'}, {0x10, 'q', 'Q'}, {0x11, 'w', 'W'},
    {0x12, 'e', 'E'},  {0x13, 'r', 'R'},  {0x14, 't', 'T'}, {0x15, 'y', 'Y'}, {0x16, 'u', 'U'},
    {0x17, 'i', 'I'},  {0x18, 'o', 'O'},  {0x19, 'p', 'P'}, {0x1A, '[', '{'}, {0x1B, ']', '}'},
    {0x2B, '\\', '|'}, {0x1E, 'a', 'A'},  {0x1F, 's', 'S'}, {0x20, 'd', 'D'}, {0x21, 'f', 'F'},
    {0x22, 'g', 'G'},  {0x23, 'h', 'H'},  {0x24, 'j', 'J'}, {0x25, 'k', 'K'}, {0x26, 'l', 'L'},
    {0x27, ';', ':'},  {0x28, '\'', '"'}, {0x2C, 'z', 'Z'}, {0x2D, 'x', 'X'}, {0x2E, 'c', 'C'},
    {0x2F, 'v', 'V'},  {0x30, 'b', 'B'},  {0x31, 'n', 'N'}, {0x32, 'm', 'M'}, {0x33, ',', '<'},
    {0x34, '.', '>'},  {0x35, '/', '?'},
}};

constexpr keys::KeyCode kSpace = 0x39;
constexpr keys::KeyCode kEnter = 0x1C;
constexpr keys::KeyCode kTab = 0x0F;
constexpr keys::KeyCode kLeftShift = 0x2A;

// The characters of a text.
std::vector<char32_t> CodePoints(std::string_view utf8Text) {
    const std::u16string units = Utf8ToUtf16(utf8Text);
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size()) {
            // A pair, since the conversion leaves no unpaired surrogate.
            points.push_back(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                             (static_cast<char32_t>(units[i + 1]) - 0xDC00));
            ++i;
        } else {
            points.push_back(unit);
        }
    }
    return points;
}

}  // namespace

UsLayoutKey UsLayoutKeyOf(char32_t character) {
    switch (character) {
        case U' ':
            return {kSpace, false};
        case U'\n':
            return {kEnter, false};
        case U'\t':
            return {kTab, false};
        default:
            break;
    }
    for (const LayoutRow& row : kUsLayout) {
        if (character == static_cast<unsigned char>(row.plain)) {
            return {row.key, false};
        }
        if (character == static_cast<unsigned char>(row.shifted)) {
            return {row.key, true};
        }
    }
    return {};
}

std::variant<std::vector<MacroAction>, TextTapsError> TextToTaps(std::string_view utf8Text,
                                                                 std::uint32_t delayMs) {
    const std::uint32_t delay = std::min(delayMs, kMaxMacroDelayMs);
    const std::vector<char32_t> points = CodePoints(utf8Text);
    if (points.empty()) {
        return TextTapsError{};
    }
    std::vector<MacroAction> actions;
    bool shiftHeld = false;
    std::size_t position = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const char32_t character = points[i];
        ++position;
        if (character == U'\r' && i + 1 < points.size() && points[i + 1] == U'\n') {
            continue;  // the LF that follows is the Enter
        }
        const UsLayoutKey typed = UsLayoutKeyOf(character);
        if (typed.key == keys::kNoKey) {
            return TextTapsError{TextTapsError::Kind::NoKey, character, position};
        }
        // The Shift press or release this character needs, its tap, and the release of a Shift
        // still held at the end.
        const std::size_t needed = (typed.shifted != shiftHeld ? 1 : 0) + 2 +
                                   (i + 1 == points.size() && typed.shifted ? 1 : 0);
        if (actions.size() + needed > kMaxMacroActions) {
            return TextTapsError{TextTapsError::Kind::TooManySteps, character, position};
        }
        if (typed.shifted != shiftHeld) {
            actions.push_back({delay, kLeftShift, shiftHeld ? KeyState::Release : KeyState::Press});
            shiftHeld = typed.shifted;
        }
        actions.push_back({delay, typed.key, KeyState::Press});
        actions.push_back({delay, typed.key, KeyState::Release});
    }
    if (shiftHeld) {
        actions.push_back({delay, kLeftShift, KeyState::Release});
    }
    return actions;
}

}  // namespace qv::macros
