#include "value_choices.h"

#include <algorithm>
#include <regex>

#include "text_util.h"

namespace qv::helpdoc {
namespace {

bool NamesAFile(std::string name) {
    name = Lower(name);
    while (!name.empty() && (name.front() == '-' || name.front() == '<')) {
        name.erase(0, 1);
    }
    if (name.ends_with('>')) {
        name.pop_back();
    }
    for (const char* kind : {"file", "path", "dir", "filename"}) {
        const std::string word(kind);
        if (name == word || name.ends_with("-" + word) || name.ends_with("_" + word)) {
            return true;
        }
    }
    return false;
}

bool TypeIsAFile(const std::string& type) {
    static const std::regex kFileType{R"((^|[^A-Za-z])(FILE|PATH|DIR)([^A-Za-z]|$))"};
    return std::regex_search(type, kFileType) || NamesAFile(type);
}

void AddWord(ValueChoices& choices, const std::string& word) {
    if (std::find(choices.words.begin(), choices.words.end(), word) == choices.words.end()) {
        choices.words.push_back(word);
    }
}

void AddFilePrefix(ValueChoices& choices, const std::string& prefix) {
    auto& prefixes = choices.filePrefixes;
    if (std::find(prefixes.begin(), prefixes.end(), prefix) == prefixes.end()) {
        prefixes.push_back(prefix);
    }
}

void AddRangeAndSet(ValueChoices& choices, const std::string& type) {
    static const std::regex kRange{R"(\[\s*(-?\d{1,9})\s*-\s*(-?\d{1,9})\s*\])"};
    static const std::regex kSet{R"(\{([^{}]*)\})"};
    std::smatch match;
    if (std::regex_search(type, match, kRange)) {
        const int low = std::stoi(match[1].str());
        const int high = std::stoi(match[2].str());
        if (low <= high && high - low < kMaxListedRange) {
            for (int value = low; value <= high; ++value) {
                AddWord(choices, std::to_string(value));
            }
        }
    }
    if (std::regex_search(type, match, kSet)) {
        for (const std::string& member : SplitOn(match[1].str(), ',')) {
            if (!Trim(member).empty()) {
                AddWord(choices, std::string(Trim(member)));
            }
        }
    }
}

// 'real', 'sim' or 'sim:PATH': a quoted word, maybe with a placeholder after a colon. Two or
// more of them make a list of choices; one alone is just a quotation.
void AddQuotedChoices(ValueChoices& choices, const std::string& description) {
    static const std::regex kQuoted{R"((^|[^A-Za-z0-9])'([A-Za-z0-9][A-Za-z0-9_.+-]*)(:[A-Z]+)?')"};
    std::vector<std::pair<std::string, std::string>> found;
    for (auto it = std::sregex_iterator(description.begin(), description.end(), kQuoted);
         it != std::sregex_iterator(); ++it) {
        found.emplace_back((*it)[2].str(), (*it)[3].str());
    }
    if (found.size() < 2) {
        return;
    }
    for (const auto& [word, placeholder] : found) {
        if (placeholder.empty()) {
            AddWord(choices, word);
            continue;
        }
        AddWord(choices, word + ":");
        if (TypeIsAFile(placeholder.substr(1))) {
            AddFilePrefix(choices, word + ":");
        }
    }
}

}  // namespace

ValueChoices ChoicesFor(const HelpEntry& entry, bool positional) {
    ValueChoices choices;
    if (!positional && entry.valueType.empty()) {
        return choices;
    }
    AddRangeAndSet(choices, entry.valueType);
    AddQuotedChoices(choices, entry.description);
    const bool nameIsAFile = std::any_of(entry.names.begin(), entry.names.end(),
                                         [](const std::string& name) { return NamesAFile(name); });
    if (choices.words.empty() && (nameIsAFile || TypeIsAFile(entry.valueType))) {
        AddFilePrefix(choices, "");
    }
    return choices;
}

}  // namespace qv::helpdoc
