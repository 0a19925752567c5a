// Arbitrary bytes as an INI file (language, skin or settings file): parse them, read a few keys,
// write a few, and check what the reader promises:
//  - every read is well-formed UTF-8 and no longer than asked;
//  - a rewritten file reads back the same, and rewriting it again changes nothing;
//  - a successful write reads back exactly, also after a rewrite, and changes no other key;
//  - a refused write changes nothing.
// The names probed come partly from the input itself, so that existing sections and keys are
// hit, not only missing ones.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ini_file.h"
#include "platform/text_encoding.h"

namespace {

namespace platform = qv::platform;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string_view Trim(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(" \t\v\f");
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t\v\f") - begin + 1);
}

// The first section name and the first key name of the text, found the simple way.
std::pair<std::string, std::string> NamesIn(std::string_view text) {
    std::string section = "S";
    std::string key = "k";
    bool haveSection = false;
    bool haveKey = false;
    std::size_t start = 0;
    while (start < text.size() && !(haveSection && haveKey)) {
        std::size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            stop = text.size();
        }
        const std::string_view line = Trim(text.substr(start, stop - start));
        if (!haveSection && line.starts_with('[')) {
            section = std::string(Trim(line.substr(1, line.find(']') - 1)));
            haveSection = true;
        } else if (!haveKey && line.find('=') != std::string_view::npos) {
            key = std::string(Trim(line.substr(0, line.find('='))));
            haveKey = true;
        }
        start = stop + 1;
    }
    return {section, key};
}

std::vector<std::optional<std::string>> ReadAll(
    const platform::IniFile& file, const std::vector<std::pair<std::string, std::string>>& probes) {
    std::vector<std::optional<std::string>> values;
    for (const auto& [section, key] : probes) {
        const auto value = file.Find(section, key);
        values.push_back(value ? std::optional<std::string>(*value) : std::nullopt);
    }
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::IniFile parsed = platform::IniFile::Parse({data, size});
    const std::string text = parsed.Serialize();
    const auto [foundSection, foundKey] = NamesIn(text);

    const std::vector<std::pair<std::string, std::string>> probes = {
        {foundSection, foundKey}, {"LANGUAGE", "language"},    {"TEXT", "IDS_MACRO_ERR_MAX"},
        {"ENGINSH", "PROFILE_1"}, {"General", "dwLanguageId"}, {"S", "k"},
    };
    for (const auto& [section, key] : probes) {
        for (const std::size_t maxChars : {std::size_t{0}, std::size_t{3}, std::size_t{259}}) {
            const std::string value = parsed.GetString(section, key, " ", maxChars);
            Check(platform::IsValidUtf8(value));
            Check(platform::CountCodePoints(value) <= maxChars);
        }
    }

    // A rewrite keeps every value, and is stable.
    const std::vector<std::optional<std::string>> before = ReadAll(parsed, probes);
    const platform::IniFile reparsed = platform::IniFile::ParseText(text);
    Check(ReadAll(reparsed, probes) == before);
    Check(reparsed.Serialize() == text);

    // Writes: values drawn from the input, the found key, a new key and a new section.
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> values = {std::string(raw.substr(0, 40)), "  padded ",
                                             "\"quoted\"", "", "plain"};
    const std::vector<std::pair<std::string, std::string>> targets = {
        {foundSection, foundKey}, {foundSection, "NEW_KEY"}, {"NEW_SECTION", "k"}};
    platform::IniFile edited = parsed;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const auto& [section, key] = targets[i];
        const std::string& value = values[(size + i) % values.size()];
        const std::vector<std::optional<std::string>> others = ReadAll(edited, probes);
        const std::string edit = edited.Serialize();
        const platform::IniWriteStatus status = edited.SetString(section, key, value);
        if (status != platform::IniWriteStatus::Ok) {
            Check(edited.Serialize() == edit);
            continue;
        }
        Check(edited.Find(section, key) == value);
        Check(platform::IniFile::ParseText(edited.Serialize()).Find(section, key) == value);
        const std::vector<std::optional<std::string>> after = ReadAll(edited, probes);
        for (std::size_t p = 0; p < probes.size(); ++p) {
            const bool same = platform::EqualsIgnoreCase(probes[p].first, section) &&
                              platform::EqualsIgnoreCase(probes[p].second, key);
            Check(same || after[p] == others[p]);
        }
    }
    return 0;
}
