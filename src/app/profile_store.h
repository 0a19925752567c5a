#pragma once

// The profile flows of the main window: the reload after every attach of the keyboard, the
// apply pipeline's save, and the user's Import and Export. Everything here runs on the
// user-interface thread; the device worker only reaches it through ProfileActions.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/profile_actions.h"
#include "device/commands.h"
#include "lighting/active_profile.h"
#include "platform/user_prompt.h"
#include "profiles/device_facts.h"
#include "profiles/device_image_writer.h"
#include "profiles/profile_file.h"
#include "profiles/profile_image.h"
#include "ui/text_slots.h"

namespace qv::profiles {

// What the file dialogs of Import and Export offer.
inline constexpr std::string_view kProfileFileExtension = "fwc";
inline constexpr std::string_view kProfileFileInitialName = "*.fwc";
inline constexpr std::string_view kProfileFileFilter = "(*.fwc)|*.fwc|(*.*)|*.*||";

// The localised messages of a write to the keyboard, already looked up.
struct DeviceWriteTexts {
    std::string macroTooLong;       // slot EXTRA_MACRO_TOO_LONG: nothing was sent
    std::string profileSpaceTight;  // slot EXTRA_PROFILE_SPACE_TIGHT: sent without macro names
};

// Tells the user what the write's result calls for.
void ShowDeviceWriteMessages(const DeviceWriteResult& result, const DeviceWriteTexts& texts,
                             platform::UserPrompt& prompt);

struct ProfileStoreTexts {
    // The current text of a slot as the text table holds it. The store uses three directly,
    // without a lookup: PROFILE_FORMAT_ERROR, MAIN_PROMPT_INPORT and MACRO_NEW_PREFIX.
    std::function<std::string(ui::TextSlot)> slotText;
    // The messages of a write to the keyboard, looked up at the time of the write.
    std::function<DeviceWriteTexts()> deviceWriteTexts;
};

// The flows that read or write the keyboard may run on a worker while the window waits, so the
// hooks may be called on that worker: what they change on screen must reach the window's
// thread by itself.
struct ProfileStoreHooks {
    // The working image was replaced as a whole: the key view shows the active profile's block
    // again. Called with the image lock held.
    std::function<void(const ImageContents&)> imageReplaced;
    // The image now matches the keyboard and the current profile file: Apply has nothing to do.
    std::function<void()> applyNoLongerPending;
};

enum class ImportStatus {
    Imported,
    Refused,     // the file did not validate; nothing changed
    LoadFailed,  // it validated but could not be loaded after all; nothing changed
};

struct ImportResult {
    ImportStatus status = ImportStatus::Refused;
    ProfileFileCheck check = ProfileFileCheck::Invalid;
    bool savedCurrentFile = false;      // false when there is no current profile file yet
    bool writtenToKeyboard = false;     // the last key page write succeeded
    std::vector<std::string> problems;  // what the load cut or left out
};

class ProfileStore final : public ProfileActions {
public:
    // `profileFolder` is ProfileFolderPath(documents folder); it is created again whenever an
    // operation needs it and it has gone.
    ProfileStore(std::filesystem::path profileFolder, ProfileImage& profileImage,
                 DeviceImage& deviceImage, device::DeviceCommands& commands,
                 lighting::ActiveProfile& activeProfile, const profiles::DeviceFacts& facts,
                 platform::UserPrompt& prompt, ProfileStoreTexts texts);

    // Set once, before the first flow runs.
    void SetHooks(ProfileStoreHooks hooks) { hooks_ = std::move(hooks); }

    [[nodiscard]] const std::filesystem::path& Folder() const { return folder_; }
    [[nodiscard]] std::filesystem::path CurrentProfileFile() const;

    // Captures the keyboard into the current profile file and loads it; when the keyboard's
    // profile is unknown or anything fails, the default image instead (the file is then left
    // as it was). The keyboard is read before the image lock is taken.
    void ReloadProfileFromDevice() override;

    // Writes `image` to the current profile file, but only when that file exists: before the
    // first successful capture there is nothing to keep in step with.
    [[nodiscard]] bool SaveImageToCurrentProfileFile(const ImageContents& image) override;

    // Validates the user's file (telling the user about a bad format) and, when it is sound,
    // makes it the working image, the current profile file and the content of all four key
    // pages of the keyboard. A refused or unloadable file shows MAIN_PROMPT_INPORT and changes
    // nothing.
    [[nodiscard]] ImportResult ImportProfile(const std::filesystem::path& path);

    // Writes the working image to the user's file. Reports nothing to the user.
    [[nodiscard]] bool ExportProfile(const std::filesystem::path& path);

private:
    [[nodiscard]] std::string SlotText(ui::TextSlot slot) const;
    void ImageReplaced(const ImageContents& image) const;
    void ApplyNoLongerPending() const;

    std::filesystem::path folder_;
    ProfileImage& profileImage_;
    DeviceImage& deviceImage_;
    device::DeviceCommands& commands_;
    lighting::ActiveProfile& activeProfile_;
    const profiles::DeviceFacts& facts_;
    platform::UserPrompt& prompt_;
    ProfileStoreTexts texts_;
    ProfileStoreHooks hooks_;
};

}  // namespace qv::profiles
