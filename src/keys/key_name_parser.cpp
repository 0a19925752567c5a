#include "keys/key_name_parser.h"

#include <cctype>
#include <charconv>

#include "keys/key_lookup.h"
#include "keys/key_table.h"

namespace qv::keys {
namespace {

std::string_view ShortNameOf(std::string_view nameKey) {
    for (std::string_view prefix : {"IDS_KEYBOARD_", "IDS_"}) {
        if (nameKey.starts_with(prefix)) {
            return nameKey.substr(prefix.size());
        }
    }
    return nameKey;
}

// What a failed text lookup shows; a key without its own text is only known by its short name.
constexpr std::string_view kMissingText = "#Error";

std::optional<KeyCode> ParseHexCode(std::string_view text) {
    if (!text.starts_with("0x") && !text.starts_with("0X")) {
        return std::nullopt;
    }
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data() + 2, end, value, 16);
    if (error != std::errc() || ptr != end || text.size() == 2 || value == 0 || value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<KeyCode>(value);
}

}  // namespace

std::string NormalizeKeyName(std::string_view text) {
    std::string normal;
    // A name of dashes and underscores alone (the "-" key) would otherwise become nothing, and
    // the name a listing shows could not be typed back.
    std::string dashes;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            continue;
        }
        if (c == '-' || c == '_') {
            dashes += c;
            continue;
        }
        normal += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return normal.empty() ? dashes : normal;
}

std::vector<NamedKey> NamedKeys(const TextLookupFn& lookup) {
    std::vector<NamedKey> keys;
    for (std::size_t slot = 0; slot < kKeyTable.size(); ++slot) {
        const KeyRecord& record = kKeyTable[slot];
        if (record.nameKey.empty()) {
            continue;
        }
        const KeyCode code = IndexToKeyCode(static_cast<KeyIndex>(slot));
        // A second code of a key (Right Shift's 0x136) is the same key: list it once.
        if (record.listId != kEmptyListId && KeyCodeFromListId(record.listId) != code) {
            continue;
        }
        keys.push_back({code, KeyName(code, lookup), std::string(ShortNameOf(record.nameKey))});
    }
    return keys;
}

std::optional<KeyCode> ParseKeyName(std::string_view text, const TextLookupFn& lookup) {
    if (const auto code = ParseHexCode(text)) {
        return code;
    }
    const std::string wanted = NormalizeKeyName(text);
    if (wanted.empty()) {
        return std::nullopt;
    }
    const std::vector<NamedKey> keys = NamedKeys(lookup);
    // Shown names first: they are what the user sees in the app and in `keys` listings.
    for (const NamedKey& key : keys) {
        if (key.name != kMissingText && NormalizeKeyName(key.name) == wanted) {
            return key.code;
        }
    }
    for (const NamedKey& key : keys) {
        if (NormalizeKeyName(key.shortName) == wanted) {
            return key.code;
        }
    }
    return std::nullopt;
}

}  // namespace qv::keys
