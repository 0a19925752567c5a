#pragma once

// A profile's user colour file: the ten colour schemes of the per-key colour mode, kept as an
// INI file of decimal texts. Every value read has a default for when it is missing, so a
// profile without a file reads as scheme 0, schemes named "0", tool 0, black base and key
// colours, and every key red following the base colour.
//
//   [PRESENTMODE] mode=<scheme in use, 0..9>
//   [MODENAME]    0=<name of scheme 0> .. 9=<name of scheme 9>
//   [Mode<s>]     tool=<0|1>  jcolor=<r,g,b base colour>  color=<r,g,b key colour>
//                 <slot 0..63>=<r,g,b,follows-base flag>
//
// A file that is not such a file (too large, not text, a value that is not the numbers its key
// takes) is refused as a whole with the reason: it is neither used nor written over.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "lighting/lighting_record.h"
#include "platform/ini_file.h"

namespace qv::lighting {

inline constexpr int kSchemeCount = 10;
// A full file is some 15 KB.
inline constexpr std::uintmax_t kMaxUserColourFileBytes = 256u << 10;
// Red, following the base colour.
inline constexpr Colour kDefaultSlotColour = 0x0000FF;
// A scheme name holds as much as a macro name: 249 UTF-16 units (what a Qt line edit's
// maxLength counts), so that every list that shows names has one bound to lay out for.
inline constexpr std::size_t kMaxSchemeNameLength = 249;

struct SchemeTools {
    int paintTool = 0;  // 0 paints keyColour, 1 paints baseColour
    Colour baseColour = 0;
    Colour keyColour = 0;
    friend bool operator==(const SchemeTools&, const SchemeTools&) = default;
};

struct SlotEntry {
    Colour colour = kDefaultSlotColour;
    bool followsBase = true;
    friend bool operator==(const SlotEntry&, const SlotEntry&) = default;
};

// "UserDengColor_<profile>.userd" in `folder`.
[[nodiscard]] std::filesystem::path UserColourFilePath(const std::filesystem::path& folder,
                                                       int profile);

class UserColourFile {
public:
    // Every value its default.
    UserColourFile() = default;

    // A missing file reads as an empty one; a damaged one gives the reason, naming the file.
    [[nodiscard]] static std::variant<UserColourFile, std::string> Load(
        const std::filesystem::path& path);
    // The same for content already read; the reason does not name a file.
    [[nodiscard]] static std::variant<UserColourFile, std::string> Parse(
        std::span<const std::uint8_t> bytes);

    // Outside 0..9, scheme numbers are taken as 0.
    [[nodiscard]] int PresentScheme() const;
    void SetPresentScheme(int scheme);

    // A longer name in the file (one an earlier version let through) reads cut to
    // kMaxSchemeNameLength; the file keeps it until the scheme is renamed.
    [[nodiscard]] std::string SchemeName(int scheme) const;
    // Why `name` cannot be a scheme's name (not one line of text, or longer than
    // kMaxSchemeNameLength), in words for the user; nothing when it can. Empty is a name.
    [[nodiscard]] static std::optional<std::string> SchemeNameProblem(std::string_view name);
    // False, and the name left as it was, for a name SchemeNameProblem refuses.
    [[nodiscard]] bool SetSchemeName(int scheme, std::string_view name);

    [[nodiscard]] SchemeTools Tools(int scheme) const;
    void SetTools(int scheme, const SchemeTools& tools);

    // Slots outside 0..63 read as the default and are not written.
    [[nodiscard]] SlotEntry Slot(int scheme, int slot) const;
    void SetSlot(int scheme, int slot, const SlotEntry& entry);

    // The file's content as Save writes it.
    [[nodiscard]] std::string Serialize() const { return ini_.Serialize(); }
    // Replaces the file at once (the folder is made when missing); the reason when it could
    // not be written, and the file is then as it was.
    [[nodiscard]] std::optional<std::string> Save(const std::filesystem::path& path) const;

private:
    explicit UserColourFile(platform::IniFile ini) : ini_(std::move(ini)) {}
    [[nodiscard]] std::string Get(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) const;
    void Set(std::string_view section, std::string_view key, const std::string& value);

    platform::IniFile ini_;
};

// The schemes of `profile` become a byte-for-byte copy of profile 3's file, the template of the
// defaults (no file there: every value its default). Profile 3 keeps its own file. The reason
// when the copy could not be made; the file is then as it was.
[[nodiscard]] std::optional<std::string> CopyDefaultSchemes(const std::filesystem::path& folder,
                                                            int profile);
inline constexpr int kTemplateSchemeProfile = 3;

}  // namespace qv::lighting
