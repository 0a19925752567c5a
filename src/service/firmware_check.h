#pragma once

// The firmware version check run on every keyboard arrival: a keyboard whose firmware is too
// old for the tool is offered the maker's updater, and the tool ends either way.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/program_exit.h"
#include "platform/program_launcher.h"
#include "platform/user_prompt.h"

namespace qv::service {

inline constexpr std::uint16_t MinFirmwareVersion = 0x0107;

inline constexpr std::string_view kFirmwareTooOldText =
    "The current version is too low! Please update the program after upgrading.";
inline constexpr std::string_view kFirmwareTooOldCaption = "Version update";
inline constexpr std::string_view kUpdaterProgram = "Tornquil.exe";
inline constexpr std::string_view kUpdaterParameters = "In the upgrade";

// 0 means the keyboard does not report its version, which never counts as too old.
[[nodiscard]] constexpr bool IsFirmwareSupported(std::uint16_t version) {
    return version == 0 || version >= MinFirmwareVersion;
}

struct FirmwareCheckParts {
    // The keyboard's, read from its settings block; 0 when it could not be read.
    std::uint16_t version = 0;
    platform::UserPrompt& prompt;
    platform::ProgramLauncher& launcher;
    platform::ProgramExit& exit;
    std::filesystem::path helpFolder;     // the updater's working directory
    std::chrono::milliseconds pause{10};  // before the question and before the start
};

enum class FirmwareVerdict { Supported, ProgramEnds };

// For a firmware too old: asks, starts the updater on OK, and ends the program with exit code
// 0 on either answer.
[[nodiscard]] FirmwareVerdict CheckFirmwareVersion(const FirmwareCheckParts& parts);

}  // namespace qv::service
