#pragma once

// INI files with the behaviour of the system's private-profile calls, which the language, skin
// and settings files were written for:
//  - section and key names compare without regard to (ASCII) case;
//  - a value is the text after the first '=', without surrounding blanks and without one pair
//    of matching quotes around the whole of it;
//  - a missing file, section or key yields the caller's default;
//  - a read is cut to the caller's maximum number of characters;
//  - a write changes the one line it concerns (or adds it) and keeps every other byte.
// Files may be UTF-8 (with or without a byte-order mark) or UTF-16 with a mark, and any line
// ending; they are written back as UTF-8. The content comes from outside: nothing in it can
// make a read fail, only select the default.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

namespace qv::platform {

// The reads of this program pass buffers of 260 units with the terminator.
inline constexpr std::size_t kProfileReadMaxChars = 259;

// Larger files are refused rather than read: no INI file of the program comes near this, and a
// refused file is neither read nor overwritten.
inline constexpr std::uintmax_t kMaxIniFileBytes = 16u << 20;

enum class IniLoadStatus { Ok, Missing, Unreadable, TooLarge };

enum class IniWriteStatus {
    Ok,
    InvalidName,   // empty, blank-padded, or with characters a line of the file cannot carry
    InvalidValue,  // a line break, or not UTF-8
    Unreadable,    // the file exists but could not be read; it was left alone
    WriteFailed,
};

struct IniLoadResult;

class IniFile {
public:
    // An empty file that ends lines with "\n".
    IniFile() = default;

    [[nodiscard]] static IniFile Parse(std::span<const std::uint8_t> bytes);
    [[nodiscard]] static IniFile ParseText(std::string_view bytes);
    [[nodiscard]] static IniLoadResult Load(const std::filesystem::path& path);

    // The value of the first line with this key in a section of this name, or nothing.
    [[nodiscard]] std::optional<std::string_view> Find(std::string_view section,
                                                       std::string_view key) const;

    // The value cut to `maxChars` characters, or the default (cut the same way) when missing.
    [[nodiscard]] std::string GetString(std::string_view section, std::string_view key,
                                        std::string_view defaultValue, std::size_t maxChars) const;

    // Replaces the value of the line Find would use, or adds the key at the end of the first
    // section of that name (after its last key), or adds the section at the end of the file.
    // A value that reads back differently when written bare (blanks at either end, or quotes
    // around the whole) is written inside quotes, so that it reads back exactly.
    [[nodiscard]] IniWriteStatus SetString(std::string_view section, std::string_view key,
                                           std::string_view value);

    // UTF-8; the byte-order mark is kept when the source had one.
    [[nodiscard]] std::string Serialize() const;

    // Writes Serialize() atomically; the folder must exist.
    [[nodiscard]] IniWriteStatus Save(const std::filesystem::path& path) const;

    [[nodiscard]] TextEncoding SourceEncoding() const { return encoding_; }

private:
    enum class LineKind { Blank, Comment, Section, Key, Other };

    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n", "\r", or "" for a last line without one
        LineKind kind = LineKind::Other;
        // Where the section or key name, and a key's value, sit in `text`.
        std::size_t nameBegin = 0;
        std::size_t nameLength = 0;
        std::size_t valueBegin = 0;
        std::size_t valueLength = 0;

        [[nodiscard]] std::string_view Name() const;
        [[nodiscard]] std::string_view Value() const;
    };

    static Line Classify(std::string text, std::string end);
    static IniFile FromText(DecodedText decoded);
    [[nodiscard]] std::optional<std::size_t> FindKeyLine(std::string_view section,
                                                         std::string_view key) const;
    [[nodiscard]] std::optional<std::size_t> FindSectionLine(std::string_view section) const;
    void InsertLine(std::size_t index, std::string text);

    std::vector<Line> lines_;
    std::string lineEnd_ = "\n";
    TextEncoding encoding_ = TextEncoding::Utf8;
};

struct IniLoadResult {
    IniLoadStatus status = IniLoadStatus::Missing;
    IniFile file;  // empty unless status is Ok
};

// Why a file was not read, naming it: nullopt when it was read or is simply missing.
[[nodiscard]] std::optional<std::string> IniLoadProblem(const std::filesystem::path& path,
                                                        IniLoadStatus status);

// The private-profile calls on a path. The file is read at every call, so a change by another
// program or thread is seen at once.
[[nodiscard]] std::string ReadProfileString(const std::filesystem::path& path,
                                            std::string_view section, std::string_view key,
                                            std::string_view defaultValue, std::size_t maxChars);
// Creates the file (not its folder) when missing.
[[nodiscard]] IniWriteStatus WriteProfileString(const std::filesystem::path& path,
                                                std::string_view section, std::string_view key,
                                                std::string_view value);

// ASCII case-insensitive equality, as names in these files compare.
[[nodiscard]] bool EqualsIgnoreCase(std::string_view a, std::string_view b) noexcept;

}  // namespace qv::platform
