#pragma once

// Capturing the keyboard's key configuration into a profile file: the four key pages and the
// macro area, decoded into an image and written as the file. A captured file never has texts.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "device/commands.h"
#include "profiles/device_facts.h"
#include "profiles/profile_image.h"

namespace qv::driver {

using profiles::DeviceFacts;
using profiles::ImageContents;

enum class CaptureStatus {
    Captured,
    ProfileUnknown,       // the keyboard's active profile is not known: nothing was read
    KeyPageUnreadable,    // commandResult says why
    MacroAreaUnreadable,  // commandResult says why
    FileNotWritten,
};

struct CaptureResult {
    CaptureStatus status = CaptureStatus::ProfileUnknown;
    int commandResult = 1;  // the failing read's command result
    // What the keyboard held that could not be taken over as it was (see DecodeKeyPage and
    // DecodeMacroArea), including a macro area larger than the keyboard can hold.
    std::vector<std::string> problems;
    // What was read, when the reads succeeded.
    ImageContents image;
    // FileNotWritten: the file and why, as "PATH: No space left on device".
    std::string fileProblem;

    [[nodiscard]] bool Captured() const { return status == CaptureStatus::Captured; }
};

// Reads the key pages 0..3 and the macro area into `result.image`, without writing any file.
// Status Captured when every read succeeded.
[[nodiscard]] CaptureResult CaptureDevice(device::DeviceCommands& commands, int currentProfileIndex,
                                          const profiles::DeviceFacts& facts,
                                          std::u16string_view newMacroNamePrefix);

// Reads the key pages 0..3 and the macro area (never more of it than `facts` says the keyboard
// holds, when that is known) and replaces the file at `path` with them. Macros come back with
// ids 1..n in list order; a macro without a stored name is called `newMacroNamePrefix` and its
// number. `currentProfileIndex` only has to be known (0..4): the file holds every profile.
// On any failure the file is left as it was.
[[nodiscard]] CaptureResult CaptureDeviceToProfileFile(const std::filesystem::path& path,
                                                       device::DeviceCommands& commands,
                                                       int currentProfileIndex,
                                                       const profiles::DeviceFacts& facts,
                                                       std::u16string_view newMacroNamePrefix);

}  // namespace qv::driver
