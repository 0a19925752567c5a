#pragma once

// The keyboard lock states (Caps, Num, Scroll Lock) as the system shows them on its keyboards'
// LEDs. Linux keeps every input LED as a folder "<device>::capslock" (and so on) under
// /sys/class/leds, with its state in the file "brightness"; a lock counts as on when any
// keyboard shows it on.

#include <filesystem>
#include <optional>

namespace qv::platform {

struct LockStates {
    bool caps = false;
    bool num = false;
    bool scroll = false;

    friend bool operator==(const LockStates&, const LockStates&) = default;
};

inline constexpr const char* kSystemLedFolder = "/sys/class/leds";

// None when the system shows no lock LED at all (no such folder, no keyboard LEDs).
[[nodiscard]] std::optional<LockStates> ReadLockStates(
    const std::filesystem::path& ledFolder = kSystemLedFolder);

}  // namespace qv::platform
