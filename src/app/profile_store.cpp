#include "app/profile_store.h"

#include <optional>
#include <system_error>

#include "core/utf16.h"
#include "profiles/profile_capture.h"
#include "profiles/profile_folder.h"
#include "ui/profile_file_messages.h"

namespace qv::profiles {

ProfileStore::ProfileStore(std::filesystem::path profileFolder, ProfileImage& profileImage,
                           DeviceImage& deviceImage, device::DeviceCommands& commands,
                           lighting::ActiveProfile& activeProfile,
                           const profiles::DeviceFacts& facts, platform::UserPrompt& prompt,
                           ProfileStoreTexts texts)
    : folder_(std::move(profileFolder)),
      profileImage_(profileImage),
      deviceImage_(deviceImage),
      commands_(commands),
      activeProfile_(activeProfile),
      facts_(facts),
      prompt_(prompt),
      texts_(std::move(texts)) {}

std::filesystem::path ProfileStore::CurrentProfileFile() const {
    return CurrentProfileFilePath(folder_, activeProfile_.Cached());
}

void ProfileStore::ReloadProfileFromDevice() {
    static_cast<void>(EnsureProfileFolder(folder_));
    // Unknown after start-up and after every removal: ask the keyboard.
    const int profile = activeProfile_.GetActiveProfile(commands_);
    const std::filesystem::path file = CurrentProfileFile();

    // The keyboard is read and the file loaded before the image is locked: the lock is only
    // held for the swap and the refresh.
    std::optional<ImageContents> loaded;
    if (profile >= 0) {
        const std::u16string prefix = Utf8ToUtf16(SlotText(ui::TextSlot::MACRO_NEW_PREFIX));
        if (CaptureDeviceToProfileFile(file, commands_, profile, facts_, prefix).Captured()) {
            ImageContents contents;
            if (LoadImageFromFile(file, contents).Loaded()) {
                loaded = std::move(contents);
            }
        }
    }
    {
        const ProfileImage::Access image = profileImage_.Lock();
        if (loaded) {
            *image = std::move(*loaded);
        } else {
            ReleaseImageContents(*image);
            InstallDefaultImage(*image);
        }
        ImageReplaced(*image);
    }
    ApplyNoLongerPending();
}

bool ProfileStore::SaveImageToCurrentProfileFile(const ImageContents& image) {
    static_cast<void>(EnsureProfileFolder(folder_));
    const std::filesystem::path file = CurrentProfileFile();
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        return false;
    }
    return WriteImageToFile(file, image);
}

ImportResult ProfileStore::ImportProfile(const std::filesystem::path& path) {
    static_cast<void>(EnsureProfileFolder(folder_));
    ImportResult result;
    result.check =
        ui::ValidateProfileFile(path, prompt_, SlotText(ui::TextSlot::PROFILE_FORMAT_ERROR));
    if (result.check != ProfileFileCheck::Valid) {
        prompt_.ShowMessage(SlotText(ui::TextSlot::MAIN_PROMPT_INPORT));
        result.status = ImportStatus::Refused;
        return result;
    }
    // Loaded aside first, so that a file that changed since it was checked cannot leave the
    // working image half replaced.
    ImageContents contents;
    LoadResult load = LoadImageFromFile(path, contents);
    result.problems = std::move(load.problems);
    if (!load.Loaded()) {
        prompt_.ShowMessage(SlotText(ui::TextSlot::MAIN_PROMPT_INPORT));
        result.status = ImportStatus::LoadFailed;
        return result;
    }
    {
        const ProfileImage::Access image = profileImage_.Lock();
        *image = std::move(contents);
        result.savedCurrentFile = SaveImageToCurrentProfileFile(*image);
        const keys::KeyDefaultTable keyDefaults = facts_.KeyDefaults();
        const DeviceWriteContext context{
            commands_,
            keyDefaults,
            facts_.MacroCapacity(),
            activeProfile_.GetActiveProfile(commands_),
        };
        const DeviceWriteResult written =
            ApplyImageToDevice(profileImage_, deviceImage_, PageSelection::AllProfiles, context);
        ShowDeviceWriteMessages(
            written, texts_.deviceWriteTexts ? texts_.deviceWriteTexts() : DeviceWriteTexts{},
            prompt_);
        result.writtenToKeyboard = written.Written();
        ImageReplaced(*image);
    }
    ApplyNoLongerPending();
    result.status = ImportStatus::Imported;
    return result;
}

bool ProfileStore::ExportProfile(const std::filesystem::path& path) {
    const ProfileImage::Access image = profileImage_.Lock();
    return WriteImageToFile(path, *image);
}

void ShowDeviceWriteMessages(const DeviceWriteResult& result, const DeviceWriteTexts& texts,
                             platform::UserPrompt& prompt) {
    if (result.status == DeviceWriteStatus::MacrosTooLong) {
        prompt.ShowMessage(texts.macroTooLong, true);
    } else if (result.namesDropped) {
        prompt.ShowMessage(texts.profileSpaceTight, true);
    }
}

std::string ProfileStore::SlotText(ui::TextSlot slot) const {
    return texts_.slotText ? texts_.slotText(slot) : std::string(ui::BuiltInText(slot));
}

void ProfileStore::ImageReplaced(const ImageContents& image) const {
    if (hooks_.imageReplaced) {
        hooks_.imageReplaced(image);
    }
}

void ProfileStore::ApplyNoLongerPending() const {
    if (hooks_.applyNoLongerPending) {
        hooks_.applyNoLongerPending();
    }
}

}  // namespace qv::profiles
