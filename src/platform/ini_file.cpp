#include "platform/ini_file.h"

#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "platform/atomic_file.h"

namespace qv::platform {
namespace {

constexpr std::string_view kBlanks = " \t\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Span {
    std::size_t begin = 0;
    std::size_t length = 0;
};

// The blank-trimmed part of text[begin, end).
Span Trimmed(std::string_view text, std::size_t begin, std::size_t end) {
    while (begin < end && kBlanks.find(text[begin]) != std::string_view::npos) {
        ++begin;
    }
    while (end > begin && kBlanks.find(text[end - 1]) != std::string_view::npos) {
        --end;
    }
    return {begin, end - begin};
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

bool QuotedWhole(std::string_view value) {
    return value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back();
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsTrimmed(std::string_view text) {
    const Span span = Trimmed(text, 0, text.size());
    return span.begin == 0 && span.length == text.size();
}

bool ValidSectionName(std::string_view name) {
    return !name.empty() && IsTrimmed(name) && !HasLineBreak(name) &&
           name.find(']') == std::string_view::npos && IsValidUtf8(name);
}

bool ValidKeyName(std::string_view name) {
    // A leading '[' or ';' would make the line a section header or a comment.
    return !name.empty() && IsTrimmed(name) && !HasLineBreak(name) &&
           name.find('=') == std::string_view::npos && name.front() != '[' && name.front() != ';' &&
           IsValidUtf8(name);
}

std::string EncodeValue(std::string_view value) {
    const bool padded = !value.empty() && !IsTrimmed(value);
    if (padded || QuotedWhole(value)) {
        return "\"" + std::string(value) + "\"";
    }
    return std::string(value);
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) {
        return false;
    }
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view IniFile::Line::Name() const {
    return std::string_view(text).substr(nameBegin, nameLength);
}

std::string_view IniFile::Line::Value() const {
    return std::string_view(text).substr(valueBegin, valueLength);
}

IniFile::Line IniFile::Classify(std::string text, std::string end) {
    Line line;
    line.text = std::move(text);
    line.end = std::move(end);
    const std::string_view view = line.text;
    const Span whole = Trimmed(view, 0, view.size());
    if (whole.length == 0) {
        line.kind = LineKind::Blank;
    } else if (view[whole.begin] == ';') {
        line.kind = LineKind::Comment;
    } else if (view[whole.begin] == '[') {
        // Text after the closing bracket is ignored; a missing bracket ends the name at the
        // end of the line.
        const std::size_t close = view.find(']', whole.begin + 1);
        const std::size_t nameEnd =
            close == std::string_view::npos ? whole.begin + whole.length : close;
        const Span name = Trimmed(view, whole.begin + 1, nameEnd);
        line.kind = LineKind::Section;
        line.nameBegin = name.begin;
        line.nameLength = name.length;
    } else if (const std::size_t equals = view.find('='); equals != std::string_view::npos) {
        const Span name = Trimmed(view, 0, equals);
        Span value = Trimmed(view, equals + 1, view.size());
        if (QuotedWhole(view.substr(value.begin, value.length))) {
            value = {value.begin + 1, value.length - 2};
        }
        line.kind = LineKind::Key;
        line.nameBegin = name.begin;
        line.nameLength = name.length;
        line.valueBegin = value.begin;
        line.valueLength = value.length;
    }
    return line;
}

IniFile IniFile::FromText(DecodedText decoded) {
    IniFile file;
    file.encoding_ = decoded.encoding;
    const std::string_view text = decoded.utf8;
    bool sawLineEnd = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            file.lines_.push_back(Classify(std::string(text.substr(start)), ""));
            break;
        }
        const std::size_t endLength = text.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
        std::string end(text.substr(stop, endLength));
        if (!sawLineEnd) {
            file.lineEnd_ = end;
            sawLineEnd = true;
        }
        file.lines_.push_back(
            Classify(std::string(text.substr(start, stop - start)), std::move(end)));
        start = stop + endLength;
    }
    return file;
}

IniFile IniFile::Parse(std::span<const std::uint8_t> bytes) {
    return FromText(DecodeText(bytes));
}

IniFile IniFile::ParseText(std::string_view bytes) {
    return Parse({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

IniLoadResult IniFile::Load(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return {IniLoadStatus::Missing, {}};
    }
    if (error || status.type() != std::filesystem::file_type::regular) {
        return {IniLoadStatus::Unreadable, {}};
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return {IniLoadStatus::Unreadable, {}};
    }
    // Read in chunks rather than trust the size, which may change meanwhile; stop one chunk
    // past the limit.
    std::vector<std::uint8_t> bytes;
    constexpr std::size_t kChunk = 64 * 1024;
    while (stream && bytes.size() <= kMaxIniFileBytes) {
        const std::size_t old = bytes.size();
        bytes.resize(old + kChunk);
        stream.read(reinterpret_cast<char*>(bytes.data() + old), kChunk);
        bytes.resize(old + static_cast<std::size_t>(stream.gcount()));
    }
    if (stream.bad()) {
        return {IniLoadStatus::Unreadable, {}};
    }
    if (bytes.size() > kMaxIniFileBytes) {
        return {IniLoadStatus::TooLarge, {}};
    }
    return {IniLoadStatus::Ok, Parse(bytes)};
}

std::optional<std::string> IniLoadProblem(const std::filesystem::path& path, IniLoadStatus status) {
    switch (status) {
        case IniLoadStatus::Ok:
        case IniLoadStatus::Missing:
            return std::nullopt;
        case IniLoadStatus::Unreadable:
            return path.string() + ": cannot be read";
        case IniLoadStatus::TooLarge:
            return path.string() + ": is larger than " + std::to_string(kMaxIniFileBytes >> 20) +
                   " MiB and was not read";
    }
    return path.string() + ": cannot be read";
}

std::optional<std::size_t> IniFile::FindKeyLine(std::string_view section,
                                                std::string_view key) const {
    // Keys above the first section header belong to no section and are never found.
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Section) {
            inSection = EqualsIgnoreCase(line.Name(), section);
        } else if (inSection && line.kind == LineKind::Key && EqualsIgnoreCase(line.Name(), key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::FindSectionLine(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section && EqualsIgnoreCase(lines_[i].Name(), section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> IniFile::Find(std::string_view section,
                                              std::string_view key) const {
    const auto index = FindKeyLine(section, key);
    if (!index) {
        return std::nullopt;
    }
    return lines_[*index].Value();
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue, std::size_t maxChars) const {
    const auto value = Find(section, key);
    return std::string(CutToCodePoints(value ? *value : defaultValue, maxChars));
}

void IniFile::InsertLine(std::size_t index, std::string text) {
    // The line before the new one may have been the last, without a line end of its own.
    if (index > 0 && lines_[index - 1].end.empty()) {
        lines_[index - 1].end = lineEnd_;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index),
                  Classify(std::move(text), lineEnd_));
}

IniWriteStatus IniFile::SetString(std::string_view section, std::string_view key,
                                  std::string_view value) {
    if (!ValidSectionName(section) || !ValidKeyName(key)) {
        return IniWriteStatus::InvalidName;
    }
    if (HasLineBreak(value) || !IsValidUtf8(value)) {
        return IniWriteStatus::InvalidValue;
    }
    const std::string encoded = EncodeValue(value);

    if (const auto index = FindKeyLine(section, key)) {
        // Keep the key's spelling and the spacing around '='; only the value changes.
        Line& line = lines_[*index];
        const std::string_view text = line.text;
        const std::size_t equals = text.find('=');
        const Span old = Trimmed(text, equals + 1, text.size());
        const bool keepSpacing = old.length > 0 && !encoded.empty();
        std::string updated(text.substr(0, keepSpacing ? old.begin : equals + 1));
        updated += encoded;
        line = Classify(std::move(updated), std::move(line.end));
        return IniWriteStatus::Ok;
    }

    if (const auto header = FindSectionLine(section)) {
        std::size_t insertAt = *header + 1;
        for (std::size_t i = *header + 1; i < lines_.size(); ++i) {
            if (lines_[i].kind == LineKind::Section) {
                break;
            }
            if (lines_[i].kind == LineKind::Key) {
                insertAt = i + 1;
            }
        }
        InsertLine(insertAt, std::string(key) + "=" + encoded);
        return IniWriteStatus::Ok;
    }

    // A blank line sets the new section apart from what came before.
    if (!lines_.empty() && lines_.back().kind != LineKind::Blank) {
        InsertLine(lines_.size(), "");
    }
    InsertLine(lines_.size(), "[" + std::string(section) + "]");
    InsertLine(lines_.size(), std::string(key) + "=" + encoded);
    return IniWriteStatus::Ok;
}

std::string IniFile::Serialize() const {
    std::string out;
    // A text that itself starts with U+FEFF needs a mark in front, or reading the file back
    // would take its first character for the mark.
    const bool textStartsWithMark =
        !lines_.empty() && std::string_view(lines_.front().text).starts_with(kByteOrderMark);
    if (encoding_ == TextEncoding::Utf8Bom || textStartsWithMark) {
        out += kByteOrderMark;
    }
    for (const Line& line : lines_) {
        out += line.text;
        out += line.end;
    }
    return out;
}

IniWriteStatus IniFile::Save(const std::filesystem::path& path) const {
    return platform::WriteFileAtomically(path, Serialize()) ? IniWriteStatus::Ok
                                                            : IniWriteStatus::WriteFailed;
}

std::string ReadProfileString(const std::filesystem::path& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t maxChars) {
    const IniLoadResult loaded = IniFile::Load(path);
    return loaded.file.GetString(section, key, defaultValue, maxChars);
}

IniWriteStatus WriteProfileString(const std::filesystem::path& path, std::string_view section,
                                  std::string_view key, std::string_view value) {
    IniLoadResult loaded = IniFile::Load(path);
    if (loaded.status != IniLoadStatus::Ok && loaded.status != IniLoadStatus::Missing) {
        return IniWriteStatus::Unreadable;
    }
    const IniWriteStatus set = loaded.file.SetString(section, key, value);
    if (set != IniWriteStatus::Ok) {
        return set;
    }
    return loaded.file.Save(path);
}

}  // namespace qv::platform
