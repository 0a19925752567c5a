#include "sim/sim_state_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/hex.h"
#include "core/text.h"
#include "sim/state_file_io.h"

namespace qv::sim {
namespace {

constexpr std::string_view kMagic = "quorvane-sim-state";
constexpr unsigned kFormatVersion = 1;
constexpr std::size_t kBytesPerLine = 16;
constexpr std::size_t kReservedSettingsBytes = kSettingsHostBytesSize;

constexpr std::string_view kSettingsSection = "settings";
constexpr std::string_view kLightingSection = "lighting";
constexpr std::string_view kKeyPagesSection = "key-pages";
constexpr std::string_view kKeyDefaultsSection = "key-defaults";
constexpr std::string_view kMacroAreaSection = "macro-area";
constexpr std::string_view kColourPagesSection = "colour-pages";
constexpr std::string_view kFaultsSection = "faults";

constexpr std::string_view kReservedKey = "reserved";
constexpr std::string_view kFirmwareKey = "firmware";
constexpr std::string_view kActiveProfileKey = "active-profile";
constexpr std::string_view kCapacityKey = "macro-capacity-units";
constexpr std::string_view kModesKey = "modes";
constexpr std::array<std::string_view, 5> kSettingsKeys{kReservedKey, kFirmwareKey,
                                                        kActiveProfileKey, kCapacityKey, kModesKey};

// ---------------------------------------------------------------------------------------------
// Writing

void WriteHexLines(std::ostream& out, Bytes bytes) {
    for (std::size_t i = 0; i < bytes.size(); i += kBytesPerLine) {
        out << HexBytes(bytes.subspan(i, std::min(kBytesPerLine, bytes.size() - i))) << '\n';
    }
}

// Pages and records get a comment each, so a reader finds profile 2 without counting lines.
void WritePages(std::ostream& out, Bytes area, std::size_t pageSize, std::string_view what) {
    for (std::size_t page = 0; page * pageSize < area.size(); ++page) {
        out << "# " << what << ' ' << page << '\n';
        WriteHexLines(out, area.subspan(page * pageSize, pageSize));
    }
}

}  // namespace

std::string FormatStateText(const SimState& state) {
    const KeyboardMemory& memory = state.memory;
    std::ostringstream out;
    out << "# The simulated keyboard's memory; the format is described in docs/sim-state.md.\n";
    out << kMagic << ' ' << kFormatVersion << "\n\n";

    const Bytes settings = memory.settings;
    out << '[' << kSettingsSection << "]\n";
    out << kReservedKey << " = "
        << HexBytes(settings.subspan(kSettingsHostBytes, kReservedSettingsBytes)) << '\n';
    std::array<char, 8> firmware{};
    const std::uint16_t version = ReadU16LE(settings, kSettingsFirmwareVersion);
    std::snprintf(firmware.data(), firmware.size(), "0x%04X", static_cast<unsigned>(version));
    out << kFirmwareKey << " = " << firmware.data() << '\n';
    out << kActiveProfileKey << " = " << unsigned{ReadU8(settings, kSettingsActiveProfile)} << '\n';
    out << kCapacityKey << " = " << unsigned{ReadU8(settings, kSettingsMacroCapacity)}
        << "  # x 128 bytes of macro area\n";
    // Trailing empty entries are implied, so the list shows only the modes offered.
    Bytes modes = settings.subspan(kSettingsModeList, kModeListSize);
    while (!modes.empty() && modes.back() == 0) {
        modes = modes.first(modes.size() - 1);
    }
    out << kModesKey << " =";
    for (std::uint8_t mode : modes) {
        out << ' ' << unsigned{mode};
    }
    out << "\n\n";

    out << '[' << kLightingSection << "]\n";
    WritePages(out, memory.lighting, kLightingRecordSize, "profile");
    out << "\n[" << kKeyPagesSection << "]\n";
    WritePages(out, memory.keyPages, kKeyPageSize, "profile");
    out << "\n[" << kKeyDefaultsSection << "]\n";
    WriteHexLines(out, memory.keyDefaults);

    out << "\n[" << kMacroAreaSection << "]\n";
    // Trailing zeros are implied; the header stays whole so the file shows what it says.
    Bytes macros = memory.macroArea;
    const std::size_t keep = std::min(kMacroHeaderSize, macros.size());
    while (macros.size() > keep && macros.back() == 0) {
        macros = macros.first(macros.size() - 1);
    }
    out << "# " << memory.macroArea.size() << " bytes; the bytes not listed are zero\n";
    WriteHexLines(out, macros);

    out << "\n[" << kColourPagesSection << "]\n";
    WritePages(out, memory.colourPages, kColourPageSize, "profile");

    out << "\n[" << kFaultsSection << "]\n";
    out << "# armed when a program starts using the keyboard, e.g. drop@5, late@7:1500ms\n";
    for (const PlannedFault& fault : state.faults) {
        out << FormatFault(fault) << '\n';
    }
    return out.str();
}

namespace {

// ---------------------------------------------------------------------------------------------
// Reading

std::vector<std::string_view> Tokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    std::size_t pos = 0;
    while (true) {
        pos = text.find_first_not_of(" \t", pos);
        if (pos == std::string_view::npos) {
            return tokens;
        }
        const std::size_t end = std::min(text.find_first_of(" \t", pos), text.size());
        tokens.push_back(text.substr(pos, end - pos));
        pos = end;
    }
}

// A decimal number or a 0x-prefixed hexadecimal one, no sign, at most `max`.
std::optional<unsigned> ParseNumber(std::string_view text, unsigned max) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty() || text.front() == '-' || text.front() == '+') {
        return std::nullopt;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint8_t> ParseHexByte(std::string_view token) {
    if (token.size() != 2 || !std::isxdigit(static_cast<unsigned char>(token[0])) ||
        !std::isxdigit(static_cast<unsigned char>(token[1]))) {
        return std::nullopt;
    }
    unsigned value = 0;
    std::from_chars(token.data(), token.data() + 2, value, 16);
    return static_cast<std::uint8_t>(value);
}

struct ByteSection {
    std::string_view name;
    std::size_t maxSize = 0;  // for the macro area: filled in once the settings are known
    std::vector<std::uint8_t> bytes;
    std::size_t line = 0;  // of its [name] line; 0 while not seen
};

class Parser {
public:
    explicit Parser(std::string fileName) : file_(std::move(fileName)) {}

    std::variant<SimState, StateFileError> Parse(std::istream& in) {
        std::string raw;
        while (std::getline(in, raw)) {
            ++line_;
            std::string_view text = raw;
            if (const auto hash = text.find('#'); hash != std::string_view::npos) {
                text = text.substr(0, hash);
            }
            if (!text.empty() && text.back() == '\r') {
                text.remove_suffix(1);
            }
            text = Trim(text, kLineBlanks);
            if (text.empty()) {
                continue;
            }
            if (!ParseLine(text)) {
                return StateFileError{error_};
            }
        }
        if (in.bad()) {
            return StateFileError{file_ + ": cannot be read"};
        }
        line_ = 0;
        if (!Finish()) {
            return StateFileError{error_};
        }
        return SimState{.memory = std::move(memory_), .faults = std::move(faults_)};
    }

private:
    bool Fail(const std::string& message) {
        error_ = file_;
        if (line_ != 0) {
            error_ += ':' + std::to_string(line_);
        }
        error_ += ": " + message;
        return false;
    }

    bool FailAt(std::size_t line, const std::string& message) {
        line_ = line;
        return Fail(message);
    }

    bool ParseLine(std::string_view text) {
        if (!sawHeader_) {
            const auto tokens = Tokens(text);
            if (tokens.size() != 2 || tokens[0] != kMagic) {
                return Fail("not a simulated keyboard state file (expected \"" +
                            std::string(kMagic) + ' ' + std::to_string(kFormatVersion) + "\")");
            }
            if (ParseNumber(tokens[1], 0xFFFF) != kFormatVersion) {
                return Fail("unsupported format version \"" + std::string(tokens[1]) +
                            "\" (this program reads version " + std::to_string(kFormatVersion) +
                            ')');
            }
            sawHeader_ = true;
            return true;
        }
        if (text.front() == '[') {
            return StartSection(text);
        }
        if (inFaults_) {
            if (auto error = ParseFaultsInto(text, faults_)) {
                return Fail(error->message);
            }
            return true;
        }
        if (current_ == nullptr && !inSettings_) {
            return Fail("data outside a section");
        }
        if (inSettings_) {
            return SettingsLine(text);
        }
        return ByteLine(text);
    }

    bool StartSection(std::string_view text) {
        if (text.back() != ']') {
            return Fail("a section header is \"[name]\"");
        }
        const std::string_view name = Trim(text.substr(1, text.size() - 2), kLineBlanks);
        current_ = nullptr;
        inSettings_ = false;
        inFaults_ = false;
        if (name == kFaultsSection) {
            if (faultsLine_ != 0) {
                return Fail("section [faults] appears twice");
            }
            faultsLine_ = line_;
            inFaults_ = true;
            return true;
        }
        if (name == kSettingsSection) {
            if (settingsLine_ != 0) {
                return Fail("section [settings] appears twice");
            }
            settingsLine_ = line_;
            inSettings_ = true;
            return true;
        }
        for (ByteSection& section : sections_) {
            if (section.name == name) {
                if (section.line != 0) {
                    return Fail("section [" + std::string(name) + "] appears twice");
                }
                section.line = line_;
                current_ = &section;
                return true;
            }
        }
        return Fail("unknown section [" + std::string(name) + ']');
    }

    bool ByteLine(std::string_view text) {
        for (std::string_view token : Tokens(text)) {
            const auto byte = ParseHexByte(token);
            if (!byte) {
                return Fail('"' + std::string(token) + "\" is not a byte (two hex digits)");
            }
            if (current_->bytes.size() == current_->maxSize) {
                return Fail("section [" + std::string(current_->name) + "] has more than " +
                            std::to_string(current_->maxSize) + " bytes");
            }
            current_->bytes.push_back(*byte);
        }
        return true;
    }

    bool SettingsLine(std::string_view text) {
        const auto equals = text.find('=');
        if (equals == std::string_view::npos) {
            return Fail("expected \"key = value\" in [settings]");
        }
        const std::string_view key = Trim(text.substr(0, equals), kLineBlanks);
        const std::string_view value = Trim(text.substr(equals + 1), kLineBlanks);
        const auto known = std::find(kSettingsKeys.begin(), kSettingsKeys.end(), key);
        if (known == kSettingsKeys.end()) {
            return Fail("unknown setting \"" + std::string(key) + '"');
        }
        const std::size_t index = static_cast<std::size_t>(known - kSettingsKeys.begin());
        if (settingLines_[index] != 0) {
            return Fail("setting \"" + std::string(key) + "\" appears twice");
        }
        settingLines_[index] = line_;

        const MutableBytes settings = memory_.settings;
        if (key == kReservedKey) {
            const auto tokens = Tokens(value);
            if (tokens.size() != kReservedSettingsBytes) {
                return Fail("reserved takes exactly 8 bytes");
            }
            for (std::size_t i = 0; i < tokens.size(); ++i) {
                const auto byte = ParseHexByte(tokens[i]);
                if (!byte) {
                    return Fail('"' + std::string(tokens[i]) + "\" is not a byte (two hex digits)");
                }
                WriteU8(settings, i, *byte);
            }
        } else if (key == kFirmwareKey) {
            const auto version = ParseNumber(value, 0xFFFF);
            if (!version) {
                return Fail("firmware is a number from 0 to 0xFFFF");
            }
            WriteU16LE(settings, kSettingsFirmwareVersion, static_cast<std::uint16_t>(*version));
        } else if (key == kActiveProfileKey) {
            const auto profile = ParseNumber(value, kProfileCount - 1);
            if (!profile) {
                return Fail("active-profile is 0, 1, 2 or 3");
            }
            WriteU8(settings, kSettingsActiveProfile, static_cast<std::uint8_t>(*profile));
        } else if (key == kCapacityKey) {
            const auto units = ParseNumber(value, 0xFF);
            if (!units) {
                return Fail("macro-capacity-units is a number from 0 to 255");
            }
            WriteU8(settings, kSettingsMacroCapacity, static_cast<std::uint8_t>(*units));
        } else {
            const auto tokens = Tokens(value);
            if (tokens.size() > kModeListSize) {
                return Fail("modes lists at most 32 modes");
            }
            for (std::size_t i = 0; i < tokens.size(); ++i) {
                const auto mode = ParseNumber(tokens[i], 0xFF);
                if (!mode) {
                    return Fail("mode \"" + std::string(tokens[i]) +
                                "\" is not a number from 0 to 255");
                }
                WriteU8(settings, kSettingsModeList + i, static_cast<std::uint8_t>(*mode));
            }
        }
        return true;
    }

    bool Finish() {
        if (!sawHeader_) {
            return Fail("empty file: not a simulated keyboard state file");
        }
        if (settingsLine_ == 0) {
            return Fail("section [settings] is missing");
        }
        for (std::size_t i = 0; i < kSettingsKeys.size(); ++i) {
            if (settingLines_[i] == 0) {
                return FailAt(settingsLine_, "setting \"" + std::string(kSettingsKeys[i]) +
                                                 "\" is missing from [settings]");
            }
        }
        for (ByteSection& section : sections_) {
            if (section.line == 0) {
                return Fail("section [" + std::string(section.name) + "] is missing");
            }
        }
        ByteSection& macros = sections_[kMacroAreaIndex];
        // The macro area may stop early: whatever the file leaves out up to the capacity is
        // zero, so a user need not write out thousands of empty bytes.
        if (macros.bytes.size() > memory_.MacroCapacity()) {
            return FailAt(macros.line, "section [macro-area] has " +
                                           std::to_string(macros.bytes.size()) +
                                           " bytes, more than the macro capacity of " +
                                           std::to_string(memory_.MacroCapacity()));
        }
        memory_.macroArea = std::move(macros.bytes);
        FitMacroAreaToCapacity(memory_);

        const std::array<MutableBytes, 4> fixed{memory_.lighting, memory_.keyPages,
                                                memory_.keyDefaults, memory_.colourPages};
        const std::array<std::size_t, 4> fixedIndex{kLightingIndex, kKeyPagesIndex,
                                                    kKeyDefaultsIndex, kColourPagesIndex};
        for (std::size_t i = 0; i < fixed.size(); ++i) {
            const ByteSection& section = sections_[fixedIndex[i]];
            if (section.bytes.size() != fixed[i].size()) {
                return FailAt(section.line, "section [" + std::string(section.name) + "] has " +
                                                std::to_string(section.bytes.size()) +
                                                " bytes, needs exactly " +
                                                std::to_string(fixed[i].size()));
            }
            std::copy(section.bytes.begin(), section.bytes.end(), fixed[i].begin());
        }
        return true;
    }

    static constexpr std::size_t kLightingIndex = 0;
    static constexpr std::size_t kKeyPagesIndex = 1;
    static constexpr std::size_t kKeyDefaultsIndex = 2;
    static constexpr std::size_t kMacroAreaIndex = 3;
    static constexpr std::size_t kColourPagesIndex = 4;
    std::string file_;
    std::size_t line_ = 0;
    std::string error_;
    bool sawHeader_ = false;
    std::size_t settingsLine_ = 0;
    std::array<std::size_t, kSettingsKeys.size()> settingLines_{};
    bool inSettings_ = false;
    bool inFaults_ = false;
    std::size_t faultsLine_ = 0;
    FaultPlan faults_;
    ByteSection* current_ = nullptr;
    std::array<ByteSection, 5> sections_{{
        {kLightingSection, kLightingAreaSize, {}, 0},
        {kKeyPagesSection, kKeyAreaSize, {}, 0},
        {kKeyDefaultsSection, kKeyDefaultTableSize, {}, 0},
        {kMacroAreaSection, kLargestMacroArea, {}, 0},
        {kColourPagesSection, kColourAreaSize, {}, 0},
    }};
    KeyboardMemory memory_;
};

}  // namespace

std::variant<SimState, StateFileError> ParseStateText(std::string_view text,
                                                      const std::string& fileName) {
    std::istringstream in{std::string(text)};
    return Parser(fileName).Parse(in);
}

std::variant<SimState, StateFileError> LoadStateFile(const std::filesystem::path& path) {
    auto read = ReadPlainFile(path);
    if (auto* problem = std::get_if<FileProblem>(&read)) {
        return StateFileError{problem->message};
    }
    return ParseStateText(std::get<FileContents>(read).text, path.string());
}

std::variant<SimState, StateFileError> LoadOrFactory(const std::filesystem::path& path) {
    auto read = ReadPlainFile(path);
    if (auto* problem = std::get_if<FileProblem>(&read)) {
        if (problem->missing) {
            return SimState{.memory = FactoryMemory(), .faults = {}};
        }
        return StateFileError{problem->message};
    }
    return ParseStateText(std::get<FileContents>(read).text, path.string());
}

std::variant<std::monostate, StateFileError> SaveStateFile(const std::filesystem::path& path,
                                                           const SimState& state) {
    auto written = ReplaceFile(path, FormatStateText(state));
    if (auto* problem = std::get_if<FileProblem>(&written)) {
        return StateFileError{problem->message};
    }
    return std::monostate{};
}

}  // namespace qv::sim
