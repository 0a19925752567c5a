#pragma once

// Sending the key configuration to the keyboard: the macro area and the key pages, in one
// transfer group, from a copy of the working image.

#include <cstddef>

#include "device/commands.h"
#include "keys/key_page.h"
#include "profiles/profile_image.h"

namespace qv::driver {

using profiles::DeviceImage;
using profiles::ProfileImage;

enum class PageSelection {
    ActiveProfile,  // the apply pipeline: only the keyboard's active profile changed
    AllProfiles,    // an import: every profile may have changed
};

// What the write needs to know about the keyboard.
struct DeviceWriteContext {
    device::DeviceCommands& commands;
    // The keyboard's table as read at attach, or the built-in one.
    const keys::KeyDefaultTable& keyDefaults;
    // Bytes the keyboard holds for the macro area (128 x settings byte 11); 0 before any
    // attach, which refuses every write since even an empty area takes 16 bytes.
    std::size_t macroCapacity = 0;
    // The page written for PageSelection::ActiveProfile; outside 0..3 nothing is sent.
    int activeProfile = -1;
};

enum class DeviceWriteStatus {
    Written,          // every report of the transfer was taken
    MacrosTooLong,    // the macros do not fit even without names: nothing was sent
    NotSent,          // no page to write (profile unknown) or an area that cannot be expressed
    NotWritten,       // nothing of the content reached the keyboard: it holds what it held
    PartlyWritten,    // a write failed on the way: the keyboard may hold part old, part new
    EndNotConfirmed,  // every part of the content was taken; the end of the group was not
};

struct DeviceWriteResult {
    DeviceWriteStatus status = DeviceWriteStatus::NotSent;
    // The macro area went without its names because they do not fit the keyboard.
    bool namesDropped = false;
    // The failing command's result, for NotWritten, PartlyWritten and EndNotConfirmed.
    int commandResult = 1;

    [[nodiscard]] bool Written() const { return status == DeviceWriteStatus::Written; }
};

// Writes the device image to the keyboard: begin, the whole macro area (with names when they
// fit the capacity, otherwise without them), the selected pages in ascending order, end. The
// transfer stops at the first report the keyboard does not take (the end of the group is still
// sent, so the keyboard leaves its transfer state). What the keyboard holds then follows from
// where it stopped: at the first chunk, when that chunk never reached the keyboard, it holds
// what it held; at the end, everything new.
[[nodiscard]] DeviceWriteResult WriteDeviceImage(const DeviceImage::Access& device,
                                                 PageSelection pages,
                                                 const DeviceWriteContext& context);

// Rebuilds the device image from the working image and writes it. Takes the image lock (the
// caller normally already holds it around saving the profile file, and it is re-entrant), then
// the device-image lock, and keeps both for the whole transfer.
[[nodiscard]] DeviceWriteResult ApplyImageToDevice(ProfileImage& profileImage,
                                                   DeviceImage& deviceImage, PageSelection pages,
                                                   const DeviceWriteContext& context);

}  // namespace qv::driver
