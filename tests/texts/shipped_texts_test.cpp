// The language files that ship beside the program: every key the code reads is there, every
// text fits where it goes, and every format fits the arguments the code passes.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "keys/key_lists.h"
#include "keys/key_names.h"
#include "keys/key_table.h"
#include "keys/unknown_key_format.h"
#include "platform/ini_file.h"
#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "platform/text_encoding.h"
#include "temp_folder.h"
#include "texts/lookup_keys.h"
#include "texts/safe_format.h"
#include "texts/text_lookup.h"
#include "texts/text_slots.h"
#include "texts/text_table.h"

namespace qv::ui {
namespace {

const std::filesystem::path kSourceDir = QV_SOURCE_DIR;
const std::filesystem::path kLookupFile = kSourceDir / "lang" / "Lang0409.ini";
const std::filesystem::path kChineseLookupFile = kSourceDir / "lang" / "Lang0804.ini";
const std::filesystem::path kLanguageFile = kSourceDir / "Skins" / "language.ini";

constexpr std::string_view kTextSection = "TEXT";
constexpr std::array kLanguageSections = {kChineseSection, kEnglishSection};
constexpr int kModeCount = 20;

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

platform::IniFile LoadShipped(const std::filesystem::path& path) {
    platform::IniLoadResult loaded = platform::IniFile::Load(path);
    EXPECT_EQ(loaded.status, platform::IniLoadStatus::Ok) << path;
    return std::move(loaded.file);
}

std::string Upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

std::string_view Trim(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// The key names of a section in file order, duplicates included; platform::IniFile answers values
// only.
std::vector<std::string> SectionKeys(std::string_view text, std::string_view section) {
    std::vector<std::string> keys;
    bool inSection = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            stop = text.size();
        }
        const std::string_view line = Trim(text.substr(start, stop - start));
        start = stop + 1;
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            inSection =
                platform::EqualsIgnoreCase(Trim(line.substr(1, line.find(']') - 1)), section);
        } else if (inSection && line.find('=') != std::string_view::npos) {
            keys.emplace_back(Trim(line.substr(0, line.find('='))));
        }
    }
    return keys;
}

// Slots whose built-in text is a lookup key but whose text is shown as it stands: the language
// file must give them a real text, not a key.
bool IsShownSlot(TextSlot slot) {
    return slot == TextSlot::APPLY_PROMPT || slot == TextSlot::MAIN_PROMPT_INPORT ||
           std::find(kMainWindowLanguageSlots.begin(), kMainWindowLanguageSlots.end(), slot) !=
               kMainWindowLanguageSlots.end();
}

bool HoldsLookupKey(TextSlot slot) {
    const std::string_view builtIn = BuiltInText(slot);
    return builtIn.starts_with("IDS_") || slot == TextSlot::EXTRA_PROFILE_SPACE_TIGHT ||
           slot == TextSlot::UNKNOWN_KEY;
}

std::vector<TextSlot> AllSlots() {
    std::vector<TextSlot> slots;
    for (std::size_t i = 0; i < kTextSlotCount; ++i) {
        slots.push_back(static_cast<TextSlot>(i));
    }
    return slots;
}

// Every key the code looks up in section TEXT, by upper-case name (lookups ignore case).
std::set<std::string> UsedLookupKeys() {
    std::set<std::string> keys;
    for (const keys::KeyRecord& record : keys::kKeyTable) {
        if (!record.nameKey.empty()) {
            keys.insert(Upper(record.nameKey));
        }
    }
    for (const keys::MediaChoice& media : keys::kMediaTable) {
        keys.insert(Upper(keys::KeyRecordOf(media.nameCode).nameKey));
    }
    for (std::string_view name : keys::kFunctionTable) {
        keys.insert(Upper(name));
    }
    for (TextSlot slot : AllSlots()) {
        if (HoldsLookupKey(slot)) {
            keys.insert(Upper(BuiltInText(slot)));
        }
    }
    for (std::string_view key : kAllLookupKeys) {
        keys.insert(Upper(key));
    }
    return keys;
}

struct FormatUse {
    std::string_view key;
    std::vector<FormatArg> args;
};

// The formats of section TEXT with the arguments the code passes them.
const std::vector<FormatUse>& LookupFormats() {
    static const std::vector<FormatUse> formats = {
        {BuiltInText(TextSlot::MACRO_ERR_MAX), {100}},
        {kIdsMacroActionErrDelayMax, {40000}},
        {kIdsMacroMemoryUsed, {8192u, 8192u, 100u}},
        {kIdsMacroMemoryUnknown, {26u}},
        {kIdsMacroMemoryTooLarge, {1u}},
        {keys::kUnknownKeySlotText, {0x064u}},
        {kIdsMainExportFailed, {std::string_view("/tmp/a.fwc")}},
        {kIdsProfileNotSwitched, {2}},
        {kIdsProfileNewNotWritten, {std::string_view("/tmp/a.fwc")}},
        {kIdsNoticeKeyboardUnreadable, {std::string_view("a key page could not be read")}},
        {kIdsNoticeImportEntriesDropped, {std::string_view("profile 1, key slot 58: ...")}},
        {kIdsNoticeImportPartlyWritten, {std::string_view("/tmp/a.fwc")}},
        {kIdsNoticeImportEndNotConfirmed, {std::string_view("/tmp/a.fwc")}},
        {kIdsNoticeImportNotWritten, {std::string_view("/tmp/a.fwc")}},
        {kIdsNoticeProfileFileNotSaved, {std::string_view("/tmp/$Profile0: Permission denied")}},
        {kIdsNoticePendingForOtherProfile, {std::string_view("2"), std::string_view("2")}},
        {kIdsEntryNotRemappable, {std::string_view("U")}},
        {kIdsEntryMacroOnly, {std::string_view("G9")}},
        {kIdsEntryNotSendable, {std::string_view("Caps Lock")}},
        {kIdsEntryNoSuchMacro, {std::string_view("Caps Lock")}},
    };
    return formats;
}

class ShippedTexts : public testing::Test {
protected:
    platform::IniFile lookup_ = LoadShipped(kLookupFile);
    platform::IniFile language_ = LoadShipped(kLanguageFile);
};

TEST_F(ShippedTexts, EveryLookupKeyTheCodeUsesHasAText) {
    const std::set<std::string> used = UsedLookupKeys();
    for (const std::string& key : used) {
        const auto value = lookup_.Find(kTextSection, key);
        ASSERT_TRUE(value.has_value()) << key;
        EXPECT_FALSE(Trim(*value).empty()) << key;
        EXPECT_TRUE(platform::IsValidUtf8(*value)) << key;
        EXPECT_LE(platform::CountCodePoints(*value), platform::kProfileReadMaxChars) << key;
    }
}

TEST_F(ShippedTexts, LookupFileHoldsOnlyUsedKeysOnceAndEveryModeName) {
    const std::string text = ReadBytes(kLookupFile);
    const std::set<std::string> used = UsedLookupKeys();
    std::set<std::string> seen;
    for (const std::string& key : SectionKeys(text, kTextSection)) {
        EXPECT_TRUE(used.contains(Upper(key))) << "no code reads " << key;
        EXPECT_TRUE(seen.insert(Upper(key)).second) << "second entry for " << key;
    }

    std::set<std::string> modes;
    for (const std::string& key : SectionKeys(text, kModeNameSection)) {
        EXPECT_TRUE(modes.insert(key).second) << "second entry for mode " << key;
    }
    for (int mode = 1; mode <= kModeCount; ++mode) {
        const std::string key = std::to_string(mode);
        EXPECT_TRUE(modes.erase(key) == 1) << "no name for mode " << mode;
        const std::string name = lookup_.GetString(kModeNameSection, key, kMissingModeName,
                                                   platform::kProfileReadMaxChars);
        EXPECT_NE(name, kMissingModeName) << mode;
        EXPECT_FALSE(Trim(name).empty()) << mode;
    }
    EXPECT_TRUE(modes.empty()) << "names for modes past " << kModeCount;
}

TEST_F(ShippedTexts, LanguageFileHasEverySlotAndWindowKeyInBothSections) {
    std::set<std::string> known;
    for (TextSlot slot : AllSlots()) {
        known.insert(std::string(SlotName(slot)));
    }
    for (std::string_view key : kWindowLanguageKeys) {
        known.insert(std::string(key));
    }

    const std::string text = ReadBytes(kLanguageFile);
    for (std::string_view section : kLanguageSections) {
        SCOPED_TRACE(section);
        std::set<std::string> seen;
        for (const std::string& key : SectionKeys(text, section)) {
            // Slot names are matched exactly, so a near miss would silently leave " ".
            EXPECT_TRUE(known.contains(key)) << "unknown key " << key;
            EXPECT_TRUE(seen.insert(Upper(key)).second) << "second entry for " << key;
        }
        for (const std::string& key : known) {
            const auto value = language_.Find(section, key);
            ASSERT_TRUE(value.has_value()) << key;
            EXPECT_FALSE(Trim(*value).empty()) << key;
            EXPECT_TRUE(platform::IsValidUtf8(*value)) << key;
            EXPECT_LE(platform::CountCodePoints(*value), kSlotMaxChars) << key;
        }
        for (TextSlot slot : AllSlots()) {
            const std::string_view value = language_.Find(section, SlotName(slot)).value_or("");
            if (IsShownSlot(slot)) {
                EXPECT_FALSE(value.starts_with("IDS_")) << SlotName(slot) << " is shown as is";
                EXPECT_NE(value, BuiltInText(slot)) << SlotName(slot);
            } else if (HoldsLookupKey(slot)) {
                EXPECT_EQ(value, BuiltInText(slot)) << SlotName(slot) << " is a lookup key";
            }
        }
    }
}

TEST_F(ShippedTexts, FormatsFitTheirArgumentsAndNoOtherTextHasAConversion) {
    std::set<std::string> formatKeys;
    for (const FormatUse& use : LookupFormats()) {
        const std::string format =
            lookup_.GetString(kTextSection, use.key, "", platform::kProfileReadMaxChars);
        EXPECT_TRUE(FormatChecked(format, use.args).has_value()) << use.key << ": " << format;
        formatKeys.insert(Upper(use.key));
    }
    const std::string unknownFormat = lookup_.GetString(kTextSection, keys::kUnknownKeySlotText, "",
                                                        platform::kProfileReadMaxChars);
    EXPECT_TRUE(keys::IsSafeUnknownKeyFormat(unknownFormat)) << unknownFormat;
    EXPECT_NE(keys::FormatUnknownKeyName(unknownFormat, 0x064).find("064"), std::string::npos);

    const std::string_view path = "/home/user/Documents/Quorvane_51M/broken.fwc";
    for (std::string_view section : kLanguageSections) {
        const std::string format = language_.GetString(
            section, SlotName(TextSlot::PROFILE_FORMAT_ERROR), "", platform::kProfileReadMaxChars);
        const auto text = FormatChecked(format, std::vector<FormatArg>{path});
        ASSERT_TRUE(text.has_value()) << section << ": " << format;
        EXPECT_NE(text->find(path), std::string::npos);
    }

    // A '%' anywhere else is a conversion some later formatting would trip over, or a sign
    // shown doubled.
    for (const std::string& key : SectionKeys(ReadBytes(kLookupFile), kTextSection)) {
        if (!formatKeys.contains(Upper(key))) {
            EXPECT_EQ(lookup_.Find(kTextSection, key)->find('%'), std::string_view::npos) << key;
        }
    }
    const std::string languageText = ReadBytes(kLanguageFile);
    for (std::string_view section : kLanguageSections) {
        for (const std::string& key : SectionKeys(languageText, section)) {
            if (key != SlotName(TextSlot::PROFILE_FORMAT_ERROR) &&
                key != SlotName(TextSlot::UNKNOWN_KEY)) {
                EXPECT_EQ(language_.Find(section, key)->find('%'), std::string_view::npos)
                    << section << " " << key;
            }
        }
    }
}

// The built-in English texts stand in for the shipped English ones and say the same.
TEST_F(ShippedTexts, BuiltInEnglishTextsAreTheShippedEnglishTexts) {
    for (TextSlot slot : AllSlots()) {
        const SlotUse use = UseOf(slot);
        const bool lookedUp = use == SlotUse::LookupKey || use == SlotUse::LookupFormat;
        const std::string shipped = lookedUp
                                        ? lookup_.GetString(kTextSection, BuiltInText(slot), "",
                                                            platform::kProfileReadMaxChars)
                                        : language_.GetString(kEnglishSection, SlotName(slot), "",
                                                              platform::kProfileReadMaxChars);
        if (slot == TextSlot::MAIN_BUTTON_QUINDO_VER) {
            // The shipped caption adds the version, which the built-in one leaves out.
            EXPECT_TRUE(shipped.starts_with(EnglishText(slot))) << shipped;
        } else {
            EXPECT_EQ(EnglishText(slot), shipped) << SlotName(slot);
        }
    }
}

TEST_F(ShippedTexts, VersionTextsNameTheProjectVersion) {
    const std::string_view version = QV_PROJECT_VERSION;
    EXPECT_NE(lookup_.Find(kTextSection, kIdsAboutVersion).value_or("").find(version),
              std::string_view::npos);
    for (std::string_view section : kLanguageSections) {
        EXPECT_NE(language_.Find(section, SlotName(TextSlot::MAIN_BUTTON_QUINDO_VER))
                      .value_or("")
                      .find(version),
                  std::string_view::npos)
            << section;
    }
}

// Every lookup file gives every key a text: the keys (and lighting modes) of all shipped
// lookup files together, each listed where a file lacks it or leaves it blank.
TEST_F(ShippedTexts, EveryLanguageHasATextForEveryKey) {
    const std::pair<std::string_view, std::filesystem::path> files[] = {
        {"Lang0409.ini", kLookupFile}, {"Lang0804.ini", kChineseLookupFile}};
    std::set<std::pair<std::string, std::string>> keys;  // section, upper-case key
    for (const auto& [name, path] : files) {
        const std::string text = ReadBytes(path);
        for (std::string_view section : {kTextSection, kModeNameSection}) {
            for (const std::string& key : SectionKeys(text, section)) {
                keys.emplace(std::string(section), Upper(key));
            }
        }
    }
    for (const auto& [name, path] : files) {
        const platform::IniFile file = LoadShipped(path);
        std::string missing;
        for (const auto& [section, key] : keys) {
            const auto value = file.Find(section, key);
            if (!value || Trim(*value).empty()) {
                missing += " [" + section + "] " + key;
            }
        }
        EXPECT_TRUE(missing.empty()) << name << " has no text for:" << missing;
    }
}

// The Chinese texts keep what the code relies on: the same formats, no other conversion, no
// text longer than a lookup reads, and the identifier kept where a text is one.
TEST_F(ShippedTexts, ChineseTextsFitWhereTheEnglishOnesGo) {
    const platform::IniFile chinese = LoadShipped(kChineseLookupFile);
    std::set<std::string> formatKeys;
    for (const FormatUse& use : LookupFormats()) {
        const std::string format =
            chinese.GetString(kTextSection, use.key, "", platform::kProfileReadMaxChars);
        EXPECT_TRUE(FormatChecked(format, use.args).has_value()) << use.key << ": " << format;
        formatKeys.insert(Upper(use.key));
    }
    const std::string unknownFormat = chinese.GetString(kTextSection, keys::kUnknownKeySlotText, "",
                                                        platform::kProfileReadMaxChars);
    EXPECT_TRUE(keys::IsSafeUnknownKeyFormat(unknownFormat)) << unknownFormat;
    for (const std::string& key : SectionKeys(ReadBytes(kChineseLookupFile), kTextSection)) {
        const std::string_view value = chinese.Find(kTextSection, key).value_or("");
        EXPECT_TRUE(platform::IsValidUtf8(value)) << key;
        EXPECT_LE(platform::CountCodePoints(value), platform::kProfileReadMaxChars) << key;
        if (!formatKeys.contains(Upper(key))) {
            EXPECT_EQ(value.find('%'), std::string_view::npos) << key;
        }
    }
    EXPECT_EQ(chinese.Find(kTextSection, kIdsMacroActionRecordDelay),
              lookup_.Find(kTextSection, kIdsMacroActionRecordDelay));
}

// In Chinese, as a user who chose it finds the files beside the program: every key the code
// looks up has a Chinese text, and the main window's slots are filled from the Chinese section.
TEST(ShippedTextsBesideTheProgram, ChineseGivesEveryTextTheCodeLooksUp) {
    const test::TempFolder folder;
    folder.Write("Lang0409.ini", ReadBytes(kLookupFile));
    folder.Write("Lang0804.ini", ReadBytes(kChineseLookupFile));
    folder.Write("Skins/language.ini", ReadBytes(kLanguageFile));
    platform::MemorySettingsStore store;
    const platform::FixedSystemLanguage system{0x0409};
    TextLookup lookup{folder.Path(), store, system};
    ASSERT_TRUE(lookup.ChooseLanguage(InterfaceLanguage::Chinese));
    const platform::IniFile chinese = LoadShipped(kChineseLookupFile);
    for (const std::string& key : UsedLookupKeys()) {
        const std::string text = lookup.LookupText(key);
        EXPECT_EQ(text, chinese.GetString(kTextSection, key, "", platform::kProfileReadMaxChars))
            << key;
        EXPECT_FALSE(text.empty()) << key;
    }
    TextTable table;
    LoadMainWindowTexts(table, lookup);
    EXPECT_EQ(table.SlotText(TextSlot::PROFILE_1),
              LoadShipped(kLanguageFile)
                  .GetString(kChineseSection, "PROFILE_1", "", platform::kProfileReadMaxChars));
}

// The files as the program finds them beside itself, read through the program's own lookup.
TEST(ShippedTextsBesideTheProgram, NoLookupFailsAndTheMainWindowGetsItsTexts) {
    const test::TempFolder folder;
    folder.Write("Lang0409.ini", ReadBytes(kLookupFile));
    folder.Write("Skins/language.ini", ReadBytes(kLanguageFile));
    platform::MemorySettingsStore store;
    const platform::FixedSystemLanguage system{0x0409};
    const TextLookup lookup{folder.Path(), store, system};

    for (const std::string& key : UsedLookupKeys()) {
        const std::string text = lookup.LookupText(key);
        EXPECT_NE(text, kLookupErrorText) << key;
        EXPECT_FALSE(text.empty()) << key;
    }

    const keys::TextLookupFn lookupFn = [&lookup](const std::string& key) {
        return lookup.LookupText(key);
    };
    for (keys::KeyIndex index = 0; index < keys::kKeySlotCount; ++index) {
        const keys::KeyCode code = keys::IndexToKeyCode(index);
        const std::string name = keys::KeyName(code, lookupFn);
        EXPECT_EQ(name.find(kLookupErrorText), std::string::npos) << std::hex << code;
        EXPECT_FALSE(name.empty()) << std::hex << code;
    }
    // A key without a name of its own (F13) goes through the shipped unknown-key format.
    EXPECT_NE(keys::KeyName(0x064, lookupFn).find("064"), std::string::npos);
    for (std::size_t i = 0; i < keys::kFunctionTable.size(); ++i) {
        EXPECT_NE(keys::FunctionName(i, lookupFn), kLookupErrorText) << i;
    }

    EXPECT_EQ(lookup.InterfaceSection(), kEnglishSection);
    TextTable table;
    LoadMainWindowTexts(table, lookup);
    for (TextSlot slot : kMainWindowLanguageSlots) {
        EXPECT_EQ(table.SlotText(slot), lookup.LanguageText(SlotName(slot))) << SlotName(slot);
        EXPECT_NE(table.SlotText(slot), kMissingLanguageText) << SlotName(slot);
    }
    for (std::string_view key : kWindowLanguageKeys) {
        EXPECT_NE(lookup.LanguageText(key), kMissingLanguageText) << key;
    }
    EXPECT_NE(lookup.LanguageText(kChineseSection, kLangOnScreenKeyboardTip, kMissingLanguageText),
              kMissingLanguageText);
}

}  // namespace
}  // namespace qv::ui
