#include "texts/skin_layout.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "keys/key_code.h"

namespace qv::ui {

namespace {

void AddOnce(std::vector<std::string_view>& list, std::string_view name) {
    if (std::find(list.begin(), list.end(), name) == list.end()) {
        list.push_back(name);
    }
}

void AddSet(std::vector<std::string_view>& list, const StatePictureSet& set) {
    for (const std::string_view name : {set.normal, set.hover, set.pressed, set.disabled}) {
        AddOnce(list, name);
    }
}

template <typename Names>
void AddKeysOnce(std::vector<std::string>& keys, const Names& names) {
    for (const auto& name : names) {
        const std::string key(name);
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            keys.push_back(key);
        }
    }
}

// The name is appended to the folder as text would be, so a rooted name still lands inside it.
std::filesystem::path InSkinFolder(const std::filesystem::path& skinFolder,
                                   const std::string& name) {
    return skinFolder / std::filesystem::path(name).relative_path();
}

}  // namespace

std::filesystem::path SkinFolder(const std::filesystem::path& programFolder) {
    return programFolder / kSkinFolderName;
}

std::filesystem::path SkinFilePath(const std::filesystem::path& programFolder, SkinWindow window) {
    switch (window) {
        case SkinWindow::Main:
            return SkinFolder(programFolder) / kMainSkinFileName;
        case SkinWindow::Profile:
            return SkinFolder(programFolder) / kProfileSkinFileName;
        case SkinWindow::Composite:
            break;
    }
    return SkinFolder(programFolder) / kCompositeSkinFileName;
}

std::vector<std::string_view> StatePictureFiles(SkinWindow window) {
    std::vector<std::string_view> files;
    switch (window) {
        case SkinWindow::Main:
            AddSet(files, kMainStatePictures);
            for (const std::string_view name : kMainExtraPictures) {
                AddOnce(files, name);
            }
            break;
        case SkinWindow::Profile:
            AddSet(files, kProfileStatePictures);
            break;
        case SkinWindow::Composite:
            AddSet(files, kCompositeKeyStatePictures);
            AddSet(files, kCompositeMacroStatePictures);
            for (const std::string_view name : kCompositeExtraPictures) {
                AddOnce(files, name);
            }
            break;
    }
    return files;
}

std::optional<std::string> GKeySkinKey(int number) {
    if (number < 1 || number > kSkinGKeyCount) {
        return std::nullopt;
    }
    return "FUNC_G" + std::to_string(number);
}

std::string MainKeySkinKey(unsigned keyCode) {
    const keys::KeyIndex index =
        keys::KeyCodeToIndex(static_cast<keys::KeyCode>(std::min(keyCode, 0xFFFFu)));
    // A slot is below 0x10000, so three or four digits and the prefix always fit.
    char text[16] = {};
    std::snprintf(text, sizeof text, "KEY_%03X", static_cast<unsigned>(index));
    return text;
}

namespace {

std::vector<std::string> ListButtonInfoKeys(SkinWindow window) {
    std::vector<std::string> keys;
    switch (window) {
        case SkinWindow::Main:
            AddKeysOnce(keys, kMainImageButtonKeys);
            for (int n = 1; n <= kSkinGKeyCount; ++n) {
                keys.push_back(*GKeySkinKey(n));
            }
            for (const unsigned code : kMainKeyCodes) {
                AddKeysOnce(keys, std::array<std::string, 1>{MainKeySkinKey(code)});
            }
            AddKeysOnce(keys, kMainPlacedControlKeys);
            AddKeysOnce(keys, kMainMovedControlKeys);
            break;
        case SkinWindow::Profile:
            AddKeysOnce(keys, kProfileImageButtonKeys);
            AddKeysOnce(keys, kProfileControlKeys);
            break;
        case SkinWindow::Composite:
            AddKeysOnce(keys, kCompositeImageButtonKeys);
            AddKeysOnce(keys, kCompositeControlKeys);
            break;
    }
    return keys;
}

// The lists are fixed, and making one compares every key with those before it: made once.
const std::vector<std::string>& ButtonInfoKeysOf(SkinWindow window) {
    static const std::array<std::vector<std::string>, 3> lists = {
        ListButtonInfoKeys(SkinWindow::Main), ListButtonInfoKeys(SkinWindow::Profile),
        ListButtonInfoKeys(SkinWindow::Composite)};
    return lists.at(static_cast<std::size_t>(window));
}

}  // namespace

std::vector<std::string> AllButtonInfoKeys(SkinWindow window) {
    return ButtonInfoKeysOf(window);
}

std::string ArrowOriginKey(ArrowSide side, bool flip, int position) {
    std::string key = flip ? "UP_ARROW_" : "DOWN_ARROW_";
    key += side == ArrowSide::Left ? "LEFT" : "RIGHT";
    key += position == 1 ? '2' : '1';
    return key;
}

SkinFile SkinFile::Load(const std::filesystem::path& path) {
    return Read(path).skin;
}

SkinFileLoad SkinFile::Read(const std::filesystem::path& path) {
    platform::IniLoadResult loaded = platform::IniFile::Load(path);
    if (loaded.status != platform::IniLoadStatus::Ok) {
        return {SkinFile(), platform::IniLoadProblem(path, loaded.status)};
    }
    return {SkinFile(std::move(loaded.file)), std::nullopt};
}

SkinRect SkinFile::Rect(std::string_view section, std::string_view key) const {
    return ParseSkinRect(ini_.GetString(section, key, kSkinRectDefault, kSkinValueMaxChars));
}

std::filesystem::path SkinFile::BackgroundPicture(const std::filesystem::path& skinFolder) const {
    return InSkinFolder(
        skinFolder, ini_.GetString(kSkinScreenSection, kSkinScreenMainKey, "", kSkinValueMaxChars));
}

std::filesystem::path SkinFile::MaskPicture(const std::filesystem::path& skinFolder) const {
    return InSkinFolder(
        skinFolder, ini_.GetString(kSkinScreenSection, kSkinScreenMaskKey, "", kSkinValueMaxChars));
}

std::string SkinFile::Link() const {
    return ini_.GetString(kSkinScreenSection, kSkinScreenLinkKey, "", kSkinValueMaxChars);
}

std::optional<std::vector<SkinCaption>> SkinFile::Captions(int languageValue) const {
    std::string_view section;
    if (languageValue == 0) {
        section = kSkinCaptionsChineseSection;
    } else if (languageValue == 1) {
        section = kSkinCaptionsEnglishSection;
    } else {
        return std::nullopt;
    }
    std::vector<SkinCaption> captions;
    for (const std::string_view key : kSkinCaptionKeys) {
        captions.push_back({key, ini_.GetString(section, key, "", kSkinValueMaxChars)});
    }
    return captions;
}

std::vector<std::string> MissingButtonInfoKeys(const SkinFile& skin, SkinWindow window) {
    std::vector<std::string> missing;
    for (const std::string& key : ButtonInfoKeysOf(window)) {
        if (!skin.Ini().Find(kSkinButtonInfoSection, key)) {
            missing.push_back(key);
        }
    }
    return missing;
}

}  // namespace qv::ui
