#pragma once

// Sending the key configuration to the keyboard: the macro area and the key pages, in one
// transfer group, from a copy of the working image.

#include <cstddef>
#include <string>

#include "device/commands.h"
#include "keys/key_page.h"
#include "platform/user_prompt.h"
#include "profiles/profile_image.h"

namespace qv::profiles {

enum class PageSelection {
    ActiveProfile,  // the apply pipeline: only the keyboard's active profile changed
    AllProfiles,    // an import: every profile may have changed
};

// The localised messages, already looked up.
struct DeviceWriteTexts {
    std::string macroTooLong;       // slot EXTRA_MACRO_TOO_LONG: nothing was sent
    std::string profileSpaceTight;  // slot EXTRA_PROFILE_SPACE_TIGHT: sent without macro names
};

// What the write needs to know about the keyboard and the program around it.
struct DeviceWriteContext {
    device::DeviceCommands& commands;
    platform::UserPrompt& prompt;
    // The keyboard's table as read at attach, or the built-in one.
    const keys::KeyDefaultTable& keyDefaults;
    // Bytes the keyboard holds for the macro area (128 x settings byte 11); 0 before any
    // attach, which refuses every write since even an empty area takes 16 bytes.
    std::size_t macroCapacity = 0;
    // The page written for PageSelection::ActiveProfile; outside 0..3 nothing is sent.
    int activeProfile = -1;
    DeviceWriteTexts texts;
};

// Writes the device image to the keyboard: begin, the whole macro area (with names when they
// fit the capacity, otherwise without them and a warning afterwards), the selected pages in
// ascending order, end. True when the last page write succeeded; earlier failures leave the
// keyboard partly written and are not reported here. False without sending anything when the
// macros do not fit even without names (after telling the user), or when the area or the
// page selection cannot be expressed.
[[nodiscard]] bool WriteDeviceImage(const DeviceImage::Access& device, PageSelection pages,
                                    const DeviceWriteContext& context);

// Rebuilds the device image from the working image and writes it. Takes the image lock (the
// caller normally already holds it around saving the profile file, and it is re-entrant), then
// the device-image lock, and keeps both for the whole transfer.
[[nodiscard]] bool ApplyImageToDevice(ProfileImage& profileImage, DeviceImage& deviceImage,
                                      PageSelection pages, const DeviceWriteContext& context);

}  // namespace qv::profiles
