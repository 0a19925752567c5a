#pragma once

// The keys of the on-screen keyboard and the entry ("colour slot") each one has in a profile's
// colour page. Keys without a slot of their own share slot 63; G8 and G9 have none; the six
// extra keys D1..D6 paint slot 0, which no other key uses, but are never loaded or recoloured.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "keys/key_code.h"

namespace qv::lighting {

inline constexpr int kColourSlotCount = 64;
inline constexpr int kSharedColourSlot = 63;
inline constexpr int kExtraKeyColourSlot = 0;
inline constexpr int kViewGKeyCount = 9;
inline constexpr int kColouredGKeys = 7;  // G1..G7; G8 and G9 are never painted
inline constexpr int kExtraKeyCount = 6;

struct ViewKey {
    enum class Kind : std::uint8_t {
        Main,   // one of the 104 main keys, by its KeyCode
        GKey,   // G1..G9, by number
        Fn,     // the Fn key
        Extra,  // D1..D6, by number
    };
    Kind kind = Kind::Main;
    std::uint16_t value = 0;

    [[nodiscard]] static constexpr ViewKey Main(keys::KeyCode code) { return {Kind::Main, code}; }
    [[nodiscard]] static constexpr ViewKey G(int number) {
        return {Kind::GKey, static_cast<std::uint16_t>(number)};
    }
    [[nodiscard]] static constexpr ViewKey FnKey() { return {Kind::Fn, 0}; }
    [[nodiscard]] static constexpr ViewKey D(int number) {
        return {Kind::Extra, static_cast<std::uint16_t>(number)};
    }
    friend constexpr bool operator==(const ViewKey&, const ViewKey&) = default;
    friend constexpr auto operator<=>(const ViewKey&, const ViewKey&) = default;
};

// The keys whose colour is loaded from a scheme and follows the base colour: the main keys,
// G1..G7 and Fn, in that order. Their position in this list is their index elsewhere.
[[nodiscard]] std::span<const ViewKey> ColouredKeys();
// A key's position in ColouredKeys(), or nothing.
[[nodiscard]] std::optional<std::size_t> ColouredKeyIndex(ViewKey key);

// The slot a paint click on the key writes: its own, 63 for a main key without one, 0 for
// D1..D6; nothing for G8, G9 and anything not on the view.
[[nodiscard]] std::optional<int> PaintSlotOf(ViewKey key);

}  // namespace qv::lighting
