#pragma once

// Where interface texts come from besides the built-in slot texts:
//  - the language file Skins/language.ini beside the program, which names the interface
//    language (section LANGUAGE, key language: 1 is English, anything else Chinese) and holds
//    one section of texts per language;
//  - the lookup files in the program's folder, section TEXT, keyed by identifiers that mostly
//    begin with "IDS_": Lang0409.ini (English) and one per other interface language
//    (Lang0804.ini, Simplified Chinese). A key the language's own file lacks is looked up in
//    Lang0409.ini.
// The user may choose the interface language; the choice is kept in the user's settings and
// overrides the language file beside the program, which a normal user cannot write.
// A lookup also makes sure the user's language id is recorded in the settings.
//
// Each file is read once and kept parsed; a lookup checks with one status call whether the file
// changed and reads it again only then, so an edited file takes effect at the next lookup or
// window set-up. The recorded language id is kept the same way. Lookups may run on several
// threads at once.

#include <array>
#include <atomic>
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
#include "texts/cached_ini_file.h"
#include "texts/file_stamp.h"

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

// The interface languages: the language file's language value (1 English, 0 Chinese), the
// section of the language file and the lookup file of each.
enum class InterfaceLanguage : std::uint8_t { Chinese = 0, English = 1 };

struct InterfaceLanguageInfo {
    InterfaceLanguage language;
    std::string_view section;
    std::uint16_t lookupFileId;
    // How the language names itself in a menu, the same in every language.
    std::string_view nativeName;
};

inline constexpr std::array<InterfaceLanguageInfo, 2> kInterfaceLanguages = {{
    {InterfaceLanguage::English, kEnglishSection, 0x0409, "English"},
    {InterfaceLanguage::Chinese, kChineseSection, 0x0804, "简体中文"},
}};

[[nodiscard]] const InterfaceLanguageInfo& InfoOf(InterfaceLanguage language) noexcept;
// The language a language value stands for: 1 English, anything else Chinese.
[[nodiscard]] InterfaceLanguage LanguageOfValue(int languageValue) noexcept;

// Where the user's choice is kept: a number value of the language settings key, the language
// value as the language file writes it. Absent (or another number) leaves the file to decide.
inline constexpr std::string_view kChosenLanguageValueName = "InterfaceLanguage";

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

class TextLookup {
public:
    // `programFolder` holds Skins/ and the lookup file. `languageKey` is the open settings key
    // of the language id; `system` answers the system's default language.
    TextLookup(std::filesystem::path programFolder, platform::SettingsStore& languageKey,
               const platform::SystemLanguage& system);

    [[nodiscard]] std::filesystem::path LanguageFilePath() const;
    // The English lookup file, the one every other language falls back on.
    [[nodiscard]] std::filesystem::path LookupFilePath() const;
    [[nodiscard]] std::filesystem::path LookupFilePath(InterfaceLanguage language) const;

    // The language file as it is now; empty when it is missing or unreadable.
    [[nodiscard]] std::shared_ptr<const platform::IniFile> LoadLanguageFile() const;
    // The lookup file as it is now; empty when it is missing or unreadable.
    [[nodiscard]] std::shared_ptr<const platform::IniFile> LoadLookupFile() const;

    // The language the interface shows: the user's choice, else the language file's.
    [[nodiscard]] InterfaceLanguage Language() const;
    // The user's choice, as read at construction or made since.
    [[nodiscard]] std::optional<InterfaceLanguage> ChosenLanguage() const;
    // Makes `language` the interface language from now on and keeps the choice in the
    // settings. It holds for this run even when the settings cannot be written (false).
    [[nodiscard]] bool ChooseLanguage(InterfaceLanguage language);

    // The section of Language(): "ENGINSH" or "CHINESE".
    [[nodiscard]] std::string_view InterfaceSection() const;

    // A key of the interface section: its value, or " " when missing; at most 259 characters.
    [[nodiscard]] std::string LanguageText(std::string_view key) const;
    // A key of a given section of the language file, with the caller's default.
    [[nodiscard]] std::string LanguageText(std::string_view section, std::string_view key,
                                           std::string_view defaultText) const;

    // The value of `key` in section TEXT of the interface language's lookup file, else of
    // Lang0409.ini (at most 259 characters), which may be empty; "#Error" when neither file has
    // the key. Records the language id first.
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
    CachedIniFile chineseLookupFile_;
    // InterfaceLanguage's value + 1 while a choice is made; 0 without one.
    std::atomic<int> chosen_{0};
    // The file the language key is kept in, when it is kept in one: its stamp tells whether a
    // recorded id can still be trusted. A store without a file is asked every time.
    std::optional<std::filesystem::path> languageKeyFile_;
    // Makes the read-check-write of the language id one step for concurrent lookups, and
    // guards the kept id.
    mutable std::mutex languageIdMutex_;
    mutable std::optional<KeptLanguageId> keptLanguageId_;
};

}  // namespace qv::ui
