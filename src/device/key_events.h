#pragma once

// The keyboard's own key events: the first two bytes of a consumer report, little-endian.
// Every other code (0x1801..0x1804 among them) is ignored.

#include <cstdint>

namespace qv::device {

inline constexpr std::uint16_t KEY_EVENT_BANK_TOGGLE = 0x02FF;
inline constexpr std::uint16_t KEY_EVENT_SETTINGS_CHANGED = 0x0401;
inline constexpr std::uint16_t KEY_EVENT_PLAY_ON = 0x1811;
inline constexpr std::uint16_t KEY_EVENT_PLAY_OFF = 0x1810;

}  // namespace qv::device
