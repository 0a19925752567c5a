#include "texts/text_lookup.h"

#include <climits>
#include <cstdio>
#include <utility>

namespace qv::ui {
namespace {

struct RegionalPair {
    std::uint16_t from;
    std::uint16_t to;
};

// First match wins; the order is the recorded one even where no two entries overlap.
constexpr std::array<RegionalPair, 43> kRegionalMap = {{
    {0x0C04, 0x0409}, {0x1004, 0x0404}, {0x080A, 0x040A}, {0x0C0A, 0x040A}, {0x100A, 0x040A},
    {0x140A, 0x040A}, {0x180A, 0x040A}, {0x1C0A, 0x040A}, {0x200A, 0x040A}, {0x240A, 0x040A},
    {0x280A, 0x040A}, {0x2C0A, 0x040A}, {0x300A, 0x040A}, {0x340A, 0x040A}, {0x380A, 0x040A},
    {0x3C0A, 0x040A}, {0x400A, 0x040A}, {0x440A, 0x040A}, {0x480A, 0x040A}, {0x4C0A, 0x040A},
    {0x500A, 0x040A}, {0x080C, 0x040C}, {0x0C0C, 0x040C}, {0x100C, 0x040C}, {0x140C, 0x040C},
    {0x0810, 0x0410}, {0x0816, 0x0416}, {0x0813, 0x0413}, {0x081D, 0x041D}, {0x0809, 0x0409},
    {0x0C09, 0x0409}, {0x1009, 0x0409}, {0x1409, 0x0409}, {0x1809, 0x0409}, {0x1C09, 0x0409},
    {0x2009, 0x0409}, {0x2409, 0x0409}, {0x2809, 0x0409}, {0x2C09, 0x0409}, {0x0807, 0x0407},
    {0x0C07, 0x0407}, {0x1007, 0x0407}, {0x1407, 0x0407},
}};

constexpr std::string_view kLanguageSection = "LANGUAGE";
constexpr std::string_view kLanguageKey = "language";
// The root of the language settings key.
constexpr std::string_view kRootKey = "";

}  // namespace

const InterfaceLanguageInfo& InfoOf(InterfaceLanguage language) noexcept {
    for (const InterfaceLanguageInfo& info : kInterfaceLanguages) {
        if (info.language == language) {
            return info;
        }
    }
    return kInterfaceLanguages[0];
}

InterfaceLanguage LanguageOfValue(int languageValue) noexcept {
    return languageValue == 1 ? InterfaceLanguage::English : InterfaceLanguage::Chinese;
}

bool IsSupportedLanguage(std::uint32_t id) noexcept {
    for (const std::uint16_t supported : kSupportedLanguages) {
        if (supported == 0) {
            break;
        }
        if (supported == id) {
            return true;
        }
    }
    return false;
}

std::uint16_t MapRegionalLanguage(std::uint16_t id) noexcept {
    for (const RegionalPair& pair : kRegionalMap) {
        if (pair.from == id) {
            return pair.to;
        }
    }
    return id;
}

std::string LookupFileName(std::uint16_t languageId) {
    char name[16];
    std::snprintf(name, sizeof name, "Lang%04X.ini", static_cast<unsigned>(languageId));
    return name;
}

int ParseDecimal(std::string_view text) noexcept {
    std::size_t i = 0;
    while (i < text.size() && std::string_view(" \t\n\v\f\r").find(text[i]) != text.npos) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        return static_cast<int>(-value);
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

int LanguageValueOf(const platform::IniFile& languageFile) {
    return ParseDecimal(languageFile.GetString(kLanguageSection, kLanguageKey, kMissingLanguageText,
                                               platform::kProfileReadMaxChars));
}

TextLookup::TextLookup(std::filesystem::path programFolder, platform::SettingsStore& languageKey,
                       const platform::SystemLanguage& system)
    : programFolder_(std::move(programFolder)),
      languageKey_(languageKey),
      system_(system),
      languageFile_(LanguageFilePath()),
      lookupFile_(LookupFilePath(InterfaceLanguage::English)),
      chineseLookupFile_(LookupFilePath(InterfaceLanguage::Chinese)) {
    if (const auto* file = dynamic_cast<const platform::IniSettingsStore*>(&languageKey_)) {
        languageKeyFile_ = file->File();
    }
    const platform::DwordSetting chosen =
        languageKey_.ReadDword(kRootKey, kChosenLanguageValueName);
    if (chosen.status == platform::SettingsStatus::Ok && chosen.value <= 1) {
        chosen_.store(static_cast<int>(chosen.value) + 1);
    }
}

std::filesystem::path TextLookup::LanguageFilePath() const {
    return programFolder_ / "Skins" / "language.ini";
}

std::filesystem::path TextLookup::LookupFilePath() const {
    return LookupFilePath(InterfaceLanguage::English);
}

std::filesystem::path TextLookup::LookupFilePath(InterfaceLanguage language) const {
    return programFolder_ / LookupFileName(InfoOf(language).lookupFileId);
}

std::shared_ptr<const platform::IniFile> TextLookup::LoadLanguageFile() const {
    return languageFile_.Get();
}

std::shared_ptr<const platform::IniFile> TextLookup::LoadLookupFile() const {
    return lookupFile_.Get();
}

std::optional<InterfaceLanguage> TextLookup::ChosenLanguage() const {
    const int chosen = chosen_.load();
    if (chosen == 0) {
        return std::nullopt;
    }
    return static_cast<InterfaceLanguage>(chosen - 1);
}

bool TextLookup::ChooseLanguage(InterfaceLanguage language) {
    chosen_.store(static_cast<int>(language) + 1);
    return languageKey_.WriteDword(kRootKey, kChosenLanguageValueName,
                                   static_cast<std::uint32_t>(language)) ==
           platform::SettingsStatus::Ok;
}

InterfaceLanguage TextLookup::Language() const {
    if (const std::optional<InterfaceLanguage> chosen = ChosenLanguage()) {
        return *chosen;
    }
    return LanguageOfValue(LanguageValueOf(*LoadLanguageFile()));
}

std::string_view TextLookup::InterfaceSection() const {
    return InfoOf(Language()).section;
}

std::string TextLookup::LanguageText(std::string_view key) const {
    return LoadLanguageFile()->GetString(InterfaceSection(), key, kMissingLanguageText,
                                         platform::kProfileReadMaxChars);
}

std::string TextLookup::LanguageText(std::string_view section, std::string_view key,
                                     std::string_view defaultText) const {
    return LoadLanguageFile()->GetString(section, key, defaultText, platform::kProfileReadMaxChars);
}

std::string TextLookup::LookupText(std::string_view key) const {
    (void)StoredLanguageId();
    if (Language() == InterfaceLanguage::Chinese) {
        const std::shared_ptr<const platform::IniFile> own = chineseLookupFile_.Get();
        if (own->Find(kLookupFileSection, key)) {
            return own->GetString(kLookupFileSection, key, kLookupErrorText,
                                  platform::kProfileReadMaxChars);
        }
    }
    return LoadLookupFile()->GetString(kLookupFileSection, key, kLookupErrorText,
                                       platform::kProfileReadMaxChars);
}

std::uint32_t TextLookup::StoredLanguageId() const {
    std::lock_guard lock(languageIdMutex_);
    // A recorded id changes only when this process records one (which forgets the kept id
    // below) or when the file it is kept in changes.
    std::optional<FileStamp> stamp;
    if (languageKeyFile_) {
        const std::int64_t now = FileClockNowNs();
        stamp = StampOf(*languageKeyFile_);
        if (!StampIsSettled(*stamp, now)) {
            stamp.reset();
        }
    }
    if (stamp && keptLanguageId_ && keptLanguageId_->stamp == *stamp) {
        return keptLanguageId_->id;
    }
    keptLanguageId_.reset();

    const platform::DwordSetting stored = languageKey_.ReadDword(kRootKey, kLanguageIdValueName);
    // An absent or mistyped value counts as 0. Recording that 0 first would change nothing:
    // a 0 is always replaced by the detected id below.
    if (stored.status == platform::SettingsStatus::Ok && stored.value != 0) {
        if (stamp) {
            keptLanguageId_ = KeptLanguageId{*stamp, stored.value};
        }
        return stored.value;
    }
    const std::uint16_t mapped = MapRegionalLanguage(system_.DefaultLanguageId());
    const std::uint16_t id = IsSupportedLanguage(mapped) ? mapped : kSupportedLanguages[0];
    // A key that cannot be written leaves the id unrecorded; the caller gets it regardless.
    (void)languageKey_.WriteDword(kRootKey, kLanguageIdValueName, id);
    return id;
}

}  // namespace qv::ui
