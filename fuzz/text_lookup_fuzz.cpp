// Arbitrary bytes as the language file and the lookup file, read through the whole text lookup
// chain: the files are written once per input to a folder of this process and read by a fresh
// lookup, as the program reads them. What the chain promises:
//  - the language value and interface section follow the language file's LANGUAGE/language;
//  - a read is at most 259 characters, and a lookup gives "#Error" only for a missing text;
//  - a slot's user text is never a raw text id, "#Error" or blank when its built-in English
//    text is none of these (for a format slot: when that text fits the arguments);
//  - a looked-up user text is never one either, or is empty for a key the program does not ship.
//
// Input: the language file, the line "#----lookup----", then the lookup file (no line: the
// lookup file is missing).

#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ini_keys.h"
#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "platform/text_encoding.h"
#include "texts/safe_format.h"
#include "texts/text_lookup.h"
#include "texts/text_slots.h"
#include "texts/text_table.h"
#include "texts/user_text.h"

namespace {

namespace fs = std::filesystem;
using namespace qv::ui;

constexpr std::string_view kSeparator = "\n#----lookup----\n";
constexpr std::size_t kMaxReadChars = 259;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path made =
            fs::temp_directory_path() / ("text_lookup_fuzz-" + std::to_string(::getpid()));
        fs::create_directories(made / "Skins");
        return made;
    }();
    return folder;
}

void RemoveFolder() {
    std::error_code ignored;
    fs::remove_all(Folder(), ignored);
}

void WriteOrRemove(const fs::path& path, const std::string_view* bytes) {
    if (bytes == nullptr) {
        std::error_code ignored;
        fs::remove(path, ignored);
        return;
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    // A file changed just now is read again at every lookup, in case it changes again within
    // its time stamp's resolution; dated back, it is read once, as a file edited a while ago.
    std::error_code ignored;
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1), ignored);
}

void CheckRead(const std::string& text) {
    Check(qv::platform::IsValidUtf8(text));
    Check(qv::platform::CountCodePoints(text) <= kMaxReadChars);
}

bool IsFormatUse(SlotUse use) {
    return use == SlotUse::Format || use == SlotUse::LookupFormat;
}

void CheckUserTexts(const TextTable& table, const TextLookup& lookup) {
    const std::vector<std::vector<FormatArg>> argSets = {
        {}, {7}, {3, 4}, {std::string_view("name")}, {1u, std::string_view("x")}};
    for (std::size_t i = 0; i < kTextSlotCount; ++i) {
        const auto slot = static_cast<TextSlot>(i);
        const std::string_view english = EnglishText(slot);
        if (!IsFormatUse(UseOf(slot))) {
            const std::string text = UserText(table, lookup, slot);
            Check(IsNoUserText(english) || !IsNoUserText(text));
            continue;
        }
        for (const std::vector<FormatArg>& args : argSets) {
            const std::string text = UserText(table, lookup, slot, args);
            const auto own = FormatChecked(english, args);
            Check(!own || IsNoUserText(*own) || !IsNoUserText(text));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)Folder();
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find(kSeparator);
    const std::string_view languageBytes = input.substr(0, split);
    const std::string_view lookupBytes = split == std::string_view::npos
                                             ? std::string_view()
                                             : input.substr(split + kSeparator.size());
    WriteOrRemove(Folder() / "Skins" / "language.ini", &languageBytes);
    WriteOrRemove(Folder() / LookupFileName(0x0409),
                  split == std::string_view::npos ? nullptr : &lookupBytes);

    qv::platform::MemorySettingsStore settings;
    const qv::platform::FixedSystemLanguage system(0x0409);
    const TextLookup lookup(Folder(), settings, system);

    const auto languageFile = lookup.LoadLanguageFile();
    Check(languageFile != nullptr);
    Check(lookup.InterfaceSection() ==
          (LanguageValueOf(*languageFile) == 1 ? kEnglishSection : kChineseSection));
    Check(lookup.StoredLanguageId() == 0x0409);

    std::vector<std::string> keys = qv::fuzz::KeysIn(input, 16);
    for (const char* fixed : {"IDS_MAIN_CAPTION", "IDS_KEYBOARD_BS", "PROFILE_1", "language"}) {
        keys.emplace_back(fixed);
    }
    for (const std::string& key : keys) {
        const std::string languageText = lookup.LanguageText(key);
        CheckRead(languageText);
        const std::string looked = lookup.LookupText(key);
        CheckRead(looked);
        const std::string shown = LookupUserText(lookup, key);
        Check(shown.empty() || !IsNoUserText(shown));
        Check(!IsNoUserText(looked) ? shown == looked : shown == BuiltInLookupText(key));
    }

    TextTable table;
    LoadMainWindowTexts(table, lookup);
    CheckUserTexts(table, lookup);
    return 0;
}
