#pragma once

// Where interface texts come from besides the built-in slot texts:
//  - the language file Skins/language.ini beside the program, which names the interface
//    language (section LANGUAGE, key language: 1 is English, anything else Chinese) and holds
//    one section of texts per language;
//  - the lookup file Lang0409.ini in the program's folder, section TEXT, keyed by identifiers
//    that mostly begin with "IDS_".
// A lookup also makes sure the user's language id is recorded in the settings.
//
// Each file is read once and kept parsed; a lookup checks with one status call whether the file
// changed and reads it again only then, so an edited file takes effect at the next lookup or
// window set-up. The recorded language id is kept the same way. Lookups may run on several
// threads at once.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ini_file.h"
#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "ui/cached_ini_file.h"
#include "ui/file_stamp.h"

namespace qv::ui {

inline constexpr std::string_view kEnglishSection = "ENGINSH";
inline constexpr std::string_view kChineseSection = "CHINESE";
// What a read from the language file yields for a missing key or file.
inline constexpr std::string_view kMissingLanguageText = " ";
// The lookup file's section of texts.
inline constexpr std::string_view kLookupFileSection = "TEXT";
// What a lookup yields for a missing key or file.
inline constexpr std::string_view kLookupErrorText = "#Error";

// The settings key that records the language id: its organisation name (a key directly below
// Software) and the value's name in its root.
inline constexpr std::string_view kLanguageSettingsOrganisation = "Pelliton_T22";
inline constexpr std::string_view kLanguageIdValueName = "dwLanguageId";

// The first nine entries are the supported language ids; the 0 ends the list. Lookups always
// use the first.
inline constexpr std::array<std::uint16_t, 10> kSupportedLanguages = {
    0x0409, 0x040C, 0x0C0A, 0x0416, 0x0413, 0x0804, 0x0421, 0x0412, 0x0404, 0};

[[nodiscard]] bool IsSupportedLanguage(std::uint32_t id) noexcept;
// The id a regional variant stands for when the language id is first recorded, or the id
// itself when the regional map does not list it.
[[nodiscard]] std::uint16_t MapRegionalLanguage(std::uint16_t id) noexcept;

// "Lang%04X.ini".
[[nodiscard]] std::string LookupFileName(std::uint16_t languageId);

// Decimal text as the C library's atoi reads it: leading blanks, a sign, then digits up to the
// first other character; no digits give 0. Out-of-range values stop at the int limits rather
// than wrap, so that no long number can pass for 1.
[[nodiscard]] int ParseDecimal(std::string_view text) noexcept;

[[nodiscard]] int LanguageValueOf(const platform::IniFile& languageFile);
[[nodiscard]] std::string_view InterfaceSectionOf(const platform::IniFile& languageFile);

class TextLookup {
public:
    // `programFolder` holds Skins/ and the lookup file. `languageKey` is the open settings key
    // of the language id; `system` answers the system's default language.
    TextLookup(std::filesystem::path programFolder, platform::SettingsStore& languageKey,
               const platform::SystemLanguage& system);

    [[nodiscard]] std::filesystem::path LanguageFilePath() const;
    [[nodiscard]] std::filesystem::path LookupFilePath() const;

    // The language file as it is now; empty when it is missing or unreadable.
    [[nodiscard]] std::shared_ptr<const platform::IniFile> LoadLanguageFile() const;
    // The lookup file as it is now; empty when it is missing or unreadable.
    [[nodiscard]] std::shared_ptr<const platform::IniFile> LoadLookupFile() const;

    // "ENGINSH" when the language value is 1, "CHINESE" otherwise.
    [[nodiscard]] std::string_view InterfaceSection() const;

    // A key of the interface section: its value, or " " when missing; at most 259 characters.
    [[nodiscard]] std::string LanguageText(std::string_view key) const;
    // A key of a given section of the language file, with the caller's default.
    [[nodiscard]] std::string LanguageText(std::string_view section, std::string_view key,
                                           std::string_view defaultText) const;

    // The value of `key` in section TEXT of the lookup file (at most 259 characters), which may
    // be empty; "#Error" when the key or the file is missing. Records the language id first.
    [[nodiscard]] std::string LookupText(std::string_view key) const;

    // The recorded language id. When none is recorded (absent, 0, or not a number), records the
    // system's default language (mapped, and replaced by 0x0409 when not supported) and returns
    // it; when the settings key cannot be written, returns it all the same.
    [[nodiscard]] std::uint32_t StoredLanguageId() const;

    // How often each file has been read from disk so far.
    [[nodiscard]] std::uint64_t LanguageFileReads() const { return languageFile_.Reads(); }
    [[nodiscard]] std::uint64_t LookupFileReads() const { return lookupFile_.Reads(); }

private:
    struct KeptLanguageId {
        FileStamp stamp;
        std::uint32_t id = 0;
    };

    std::filesystem::path programFolder_;
    platform::SettingsStore& languageKey_;
    const platform::SystemLanguage& system_;
    CachedIniFile languageFile_;
    CachedIniFile lookupFile_;
    // The file the language key is kept in, when it is kept in one: its stamp tells whether a
    // recorded id can still be trusted. A store without a file is asked every time.
    std::optional<std::filesystem::path> languageKeyFile_;
    // Makes the read-check-write of the language id one step for concurrent lookups, and
    // guards the kept id.
    mutable std::mutex languageIdMutex_;
    mutable std::optional<KeptLanguageId> keptLanguageId_;
};

}  // namespace qv::ui
