#include "driver/profile_capture.h"

#include <new>

#include "device/command_result.h"
#include "driver/macro_area_reader.h"
#include "keys/key_page.h"
#include "macros/macro_area.h"
#include "profiles/profile_file.h"
#include "profiles/profile_image.h"

namespace qv::driver {

using namespace profiles;
namespace {

// The keyboard's profile only has to be known: the file holds every profile, so 4 passes too.
constexpr int kHighestAcceptedProfileIndex = 4;

void AddProblems(std::vector<std::string>& to, const std::string& where,
                 const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) {
        to.push_back(where + problem);
    }
}

}  // namespace

CaptureResult CaptureDevice(device::DeviceCommands& commands, int currentProfileIndex,
                            const profiles::DeviceFacts& facts,
                            std::u16string_view newMacroNamePrefix) {
    CaptureResult result;
    if (currentProfileIndex < 0 || currentProfileIndex > kHighestAcceptedProfileIndex) {
        result.status = CaptureStatus::ProfileUnknown;
        return result;
    }
    try {
        const keys::KeyDefaultTable keyDefaults = facts.KeyDefaults();
        ImageContents& captured = result.image;
        for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
            keys::KeyPage page{};
            result.commandResult = commands.ReadKeyPage(page, static_cast<int>(profile));
            if (result.commandResult != device::kSuccess) {
                result.status = CaptureStatus::KeyPageUnreadable;
                return result;
            }
            keys::DecodedKeyPage decoded = keys::DecodeKeyPage(page, keyDefaults);
            AddProblems(result.problems, "key page " + std::to_string(profile) + ": ",
                        decoded.problems);
            captured.blocks[profile] = decoded.block;
        }

        const std::size_t capacity = facts.MacroCapacity();
        const MacroAreaRead area = ReadMacroAreaFromDevice(commands, capacity);
        result.commandResult = area.result;
        if (area.result != device::kSuccess) {
            result.status = CaptureStatus::MacroAreaUnreadable;
            return result;
        }
        if (area.sizeCut) {
            result.problems.push_back("macro area: its header announces more than the " +
                                      std::to_string(capacity) +
                                      " bytes the keyboard holds; only those were read");
        }
        if (!area.area.empty()) {
            macros::DecodedMacroArea decoded =
                macros::DecodeMacroArea(area.area, newMacroNamePrefix);
            AddProblems(result.problems, "macro area: ", decoded.problems);
            captured.macros = std::move(decoded.macros);
        }

        result.status = CaptureStatus::Captured;
    } catch (const std::bad_alloc&) {
        result.status = CaptureStatus::FileNotWritten;
        result.fileProblem = "not enough memory for what the keyboard holds";
    }
    return result;
}

CaptureResult CaptureDeviceToProfileFile(const std::filesystem::path& path,
                                         device::DeviceCommands& commands, int currentProfileIndex,
                                         const profiles::DeviceFacts& facts,
                                         std::u16string_view newMacroNamePrefix) {
    CaptureResult result = CaptureDevice(commands, currentProfileIndex, facts, newMacroNamePrefix);
    if (result.Captured()) {
        if (const platform::AtomicWriteResult saved = SaveImageToFile(path, result.image);
            !saved.Ok()) {
            result.status = CaptureStatus::FileNotWritten;
            result.fileProblem = saved.Message();
        }
    }
    return result;
}

}  // namespace qv::driver
