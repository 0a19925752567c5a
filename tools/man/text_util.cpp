#include "text_util.h"

#include <cctype>

#include "core/text.h"

namespace qv::helpdoc {

std::string_view Trim(std::string_view text) {
    return qv::Trim(text, kBlanks);
}

std::string Lower(std::string_view text) {
    return AsciiLower(text);
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view TrimLines(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos || !Trim(text.substr(0, end)).empty()) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::size_t IndentOf(std::string_view line) {
    std::size_t indent = 0;
    while (indent < line.size() && (line[indent] == ' ' || line[indent] == '\t')) {
        ++indent;
    }
    return indent;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::vector<std::string> SplitWords(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsSpace(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !IsSpace(text[i])) {
            ++i;
        }
        if (i > start) {
            words.emplace_back(text.substr(start, i - start));
        }
    }
    return words;
}

std::vector<std::string> SplitOn(std::string_view text, char separator) {
    std::vector<std::string> parts;
    while (true) {
        const std::size_t end = text.find(separator);
        parts.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(end + 1);
    }
}

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (const std::string& part : parts) {
        if (!out.empty()) {
            out += separator;
        }
        out += part;
    }
    return out;
}

std::string JoinWords(const std::vector<std::string>& words) {
    return Join(words, " ");
}

std::string JoinWrapped(std::string_view text, std::string_view next) {
    if (text.empty()) {
        return std::string(next);
    }
    const bool brokenAtHyphen = text.size() >= 2 && text.back() == '-' &&
                                std::isalpha(static_cast<unsigned char>(text[text.size() - 2])) &&
                                !next.empty() &&
                                std::isalpha(static_cast<unsigned char>(next.front()));
    return std::string(text) + (brokenAtHyphen ? "" : " ") + std::string(next);
}

}  // namespace qv::helpdoc
