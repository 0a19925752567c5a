#include "lighting/user_colour_file.h"

#include <array>
#include <charconv>
#include <fstream>
#include <vector>

#include "core/text.h"
#include "core/utf16.h"
#include "lighting/colour_slots.h"
#include "platform/atomic_file.h"
#include "platform/text_encoding.h"

namespace qv::lighting {
namespace {

constexpr std::string_view kPresentSection = "PRESENTMODE";
constexpr std::string_view kPresentKey = "mode";
constexpr std::string_view kNameSection = "MODENAME";
constexpr std::string_view kToolKey = "tool";
constexpr std::string_view kBaseColourKey = "jcolor";
constexpr std::string_view kKeyColourKey = "color";
constexpr std::string_view kDefaultNumber = "0";
constexpr std::string_view kDefaultColour = "0,0,0";
constexpr std::string_view kDefaultSlot = "255,0,0,1";
constexpr int kMaxDigits = 10;

std::string SchemeSection(int scheme) {
    return "Mode" + std::to_string(scheme);
}

bool IsScheme(int scheme) {
    return scheme >= 0 && scheme < kSchemeCount;
}

// A decimal number with an optional sign and at most ten digits.
std::optional<std::int64_t> ParseNumber(std::string_view text) {
    text = Trim(text, kLineBlanks);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > kMaxDigits) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

// Exactly `count` numbers separated by commas.
template <std::size_t N>
std::optional<std::array<std::int64_t, N>> ParseNumbers(std::string_view text) {
    std::array<std::int64_t, N> numbers{};
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t comma = text.find(',');
        const bool last = i + 1 == N;
        if (last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        const auto number = ParseNumber(text.substr(0, comma));
        if (!number) {
            return std::nullopt;
        }
        numbers[i] = *number;
        text = last ? std::string_view() : text.substr(comma + 1);
    }
    return numbers;
}

// Each component keeps its low eight bits.
Colour ColourOf(std::int64_t red, std::int64_t green, std::int64_t blue) {
    return static_cast<Colour>(red & 0xFF) | static_cast<Colour>(green & 0xFF) << 8 |
           static_cast<Colour>(blue & 0xFF) << 16;
}

std::string ColourText(Colour colour) {
    return std::to_string(colour & 0xFF) + "," + std::to_string((colour >> 8) & 0xFF) + "," +
           std::to_string((colour >> 16) & 0xFF);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Why the file's values are not what their keys take, or nothing.
std::optional<std::string> CheckValues(const platform::IniFile& ini) {
    if (const auto present = ini.Find(kPresentSection, kPresentKey)) {
        const auto scheme = ParseNumber(*present);
        if (!scheme || !IsScheme(static_cast<int>(*scheme))) {
            return "[" + std::string(kPresentSection) + "] " + std::string(kPresentKey) + " " +
                   Quoted(*present) + " is not a scheme number 0..9";
        }
    }
    for (int scheme = 0; scheme < kSchemeCount; ++scheme) {
        const std::string section = SchemeSection(scheme);
        const auto where = [&](std::string_view key, std::string_view value) {
            return "[" + section + "] " + std::string(key) + " " + Quoted(value);
        };
        if (const auto tool = ini.Find(section, kToolKey)) {
            const auto value = ParseNumber(*tool);
            if (!value || (*value != 0 && *value != 1)) {
                return where(kToolKey, *tool) + " is not 0 or 1";
            }
        }
        for (const std::string_view key : {kBaseColourKey, kKeyColourKey}) {
            if (const auto colour = ini.Find(section, key); colour && !ParseNumbers<3>(*colour)) {
                return where(key, *colour) + " is not red,green,blue";
            }
        }
        for (int slot = 0; slot < kColourSlotCount; ++slot) {
            const std::string key = std::to_string(slot);
            if (const auto entry = ini.Find(section, key); entry && !ParseNumbers<4>(*entry)) {
                return where(key, *entry) + " is not red,green,blue,flag";
            }
        }
    }
    return std::nullopt;
}

// At most `limit` bytes and one more, so that a larger file is seen as one.
std::optional<std::vector<std::uint8_t>> ReadBounded(const std::filesystem::path& path,
                                                     std::uintmax_t limit) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(limit) + 1);
    stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (stream.bad()) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    return bytes;
}

enum class FileRead { Missing, Read, Failed };

struct ReadFile {
    FileRead status = FileRead::Missing;
    std::vector<std::uint8_t> bytes;
    std::string reason;  // for Failed, naming the file
};

ReadFile ReadUserFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return {};
    }
    if (error || status.type() != std::filesystem::file_type::regular) {
        return {FileRead::Failed, {}, path.string() + ": is not a regular file"};
    }
    auto bytes = ReadBounded(path, kMaxUserColourFileBytes);
    if (!bytes) {
        return {FileRead::Failed, {}, path.string() + ": cannot be read"};
    }
    if (bytes->size() > kMaxUserColourFileBytes) {
        return {FileRead::Failed,
                {},
                path.string() + ": is larger than " +
                    std::to_string(kMaxUserColourFileBytes >> 10) +
                    " KiB, which no colour scheme file is"};
    }
    return {FileRead::Read, std::move(*bytes), {}};
}

}  // namespace

std::filesystem::path UserColourFilePath(const std::filesystem::path& folder, int profile) {
    return folder / ("UserDengColor_" + std::to_string(profile) + ".userd");
}

std::variant<UserColourFile, std::string> UserColourFile::Parse(
    std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kMaxUserColourFileBytes) {
        return "is larger than " + std::to_string(kMaxUserColourFileBytes >> 10) +
               " KiB, which no colour scheme file is";
    }
    if (platform::DecodeText(bytes).utf8.find('\0') != std::string::npos) {
        return std::string("is not a text file");
    }
    platform::IniFile ini = platform::IniFile::Parse(bytes);
    if (auto problem = CheckValues(ini)) {
        return std::move(*problem);
    }
    return UserColourFile(std::move(ini));
}

std::variant<UserColourFile, std::string> UserColourFile::Load(const std::filesystem::path& path) {
    ReadFile read = ReadUserFile(path);
    switch (read.status) {
        case FileRead::Missing:
            return UserColourFile();
        case FileRead::Failed:
            return std::move(read.reason);
        case FileRead::Read:
            break;
    }
    auto parsed = Parse(read.bytes);
    if (auto* problem = std::get_if<std::string>(&parsed)) {
        return path.string() + ": " + *problem;
    }
    return parsed;
}

std::string UserColourFile::Get(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    return ini_.GetString(section, key, defaultValue, platform::kProfileReadMaxChars);
}

void UserColourFile::Set(std::string_view section, std::string_view key, const std::string& value) {
    // Sections, keys and numbers of our own always fit a line.
    static_cast<void>(ini_.SetString(section, key, value));
}

int UserColourFile::PresentScheme() const {
    const auto scheme = ParseNumber(Get(kPresentSection, kPresentKey, kDefaultNumber));
    return scheme && IsScheme(static_cast<int>(*scheme)) ? static_cast<int>(*scheme) : 0;
}

void UserColourFile::SetPresentScheme(int scheme) {
    Set(kPresentSection, kPresentKey, std::to_string(IsScheme(scheme) ? scheme : 0));
}

std::string UserColourFile::SchemeName(int scheme) const {
    std::string name = Get(kNameSection, std::to_string(scheme), kDefaultNumber);
    // Any UTF-8 text has at most as many UTF-16 units as bytes.
    if (name.size() <= kMaxSchemeNameLength) {
        return name;
    }
    std::u16string units = Utf8ToUtf16(name);
    if (units.size() <= kMaxSchemeNameLength) {
        return name;
    }
    std::size_t length = kMaxSchemeNameLength;
    // Never half a surrogate pair.
    if (const char16_t last = units[length - 1]; last >= 0xD800 && last < 0xDC00) {
        --length;
    }
    units.resize(length);
    return Utf16ToUtf8(units);
}

std::optional<std::string> UserColourFile::SchemeNameProblem(std::string_view name) {
    if (name.find_first_of("\r\n") != std::string_view::npos) {
        return "a scheme name is one line of text";
    }
    if (name.size() > kMaxSchemeNameLength && Utf8ToUtf16(name).size() > kMaxSchemeNameLength) {
        return "a scheme name has at most " + std::to_string(kMaxSchemeNameLength) + " characters";
    }
    return std::nullopt;
}

bool UserColourFile::SetSchemeName(int scheme, std::string_view name) {
    if (!IsScheme(scheme) || SchemeNameProblem(name)) {
        return false;
    }
    return ini_.SetString(kNameSection, std::to_string(scheme), name) ==
           platform::IniWriteStatus::Ok;
}

SchemeTools UserColourFile::Tools(int scheme) const {
    const std::string section = SchemeSection(scheme);
    SchemeTools tools;
    tools.paintTool = ParseNumber(Get(section, kToolKey, kDefaultNumber)).value_or(0) != 0 ? 1 : 0;
    for (auto [key, colour] : {std::pair{kBaseColourKey, &tools.baseColour},
                               std::pair{kKeyColourKey, &tools.keyColour}}) {
        if (const auto rgb = ParseNumbers<3>(Get(section, key, kDefaultColour))) {
            *colour = ColourOf((*rgb)[0], (*rgb)[1], (*rgb)[2]);
        }
    }
    return tools;
}

void UserColourFile::SetTools(int scheme, const SchemeTools& tools) {
    if (!IsScheme(scheme)) {
        return;
    }
    const std::string section = SchemeSection(scheme);
    Set(section, kToolKey, tools.paintTool != 0 ? "1" : "0");
    Set(section, kBaseColourKey, ColourText(tools.baseColour));
    Set(section, kKeyColourKey, ColourText(tools.keyColour));
}

SlotEntry UserColourFile::Slot(int scheme, int slot) const {
    SlotEntry entry;
    if (slot < 0 || slot >= kColourSlotCount) {
        return entry;
    }
    if (const auto values =
            ParseNumbers<4>(Get(SchemeSection(scheme), std::to_string(slot), kDefaultSlot))) {
        entry.colour = ColourOf((*values)[0], (*values)[1], (*values)[2]);
        entry.followsBase = (*values)[3] != 0;
    }
    return entry;
}

void UserColourFile::SetSlot(int scheme, int slot, const SlotEntry& entry) {
    if (!IsScheme(scheme) || slot < 0 || slot >= kColourSlotCount) {
        return;
    }
    Set(SchemeSection(scheme), std::to_string(slot),
        ColourText(entry.colour) + "," + (entry.followsBase ? "1" : "0"));
}

std::optional<std::string> UserColourFile::Save(const std::filesystem::path& path) const {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const platform::AtomicWriteResult written = platform::WriteFileAtomically(path, Serialize());
    if (!written) {
        return written.Message();
    }
    return std::nullopt;
}

std::optional<std::string> CopyDefaultSchemes(const std::filesystem::path& folder, int profile) {
    if (profile == kTemplateSchemeProfile) {
        return std::nullopt;
    }
    const std::filesystem::path source = UserColourFilePath(folder, kTemplateSchemeProfile);
    ReadFile read = ReadUserFile(source);
    if (read.status == FileRead::Failed) {
        return std::move(read.reason);
    }
    // The copy must be a file the schemes can be read from.
    if (auto parsed = UserColourFile::Parse(read.bytes);
        std::holds_alternative<std::string>(parsed)) {
        return source.string() + ": " + std::get<std::string>(parsed);
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const platform::AtomicWriteResult written =
        platform::WriteFileAtomically(UserColourFilePath(folder, profile), read.bytes);
    if (!written) {
        return written.Message();
    }
    return std::nullopt;
}

}  // namespace qv::lighting
