#pragma once

// Which lighting modes the tool knows the parameters of, and what each of them takes. A keyboard
// may list other modes; the tool shows them, but choosing one writes nothing, since what their
// record bytes mean is not known. Every catalogued mode takes a brightness.

#include <array>
#include <cstdint>
#include <optional>

namespace qv::lighting {

inline constexpr int kFirstCataloguedMode = 1;
inline constexpr int kLastCataloguedMode = 20;
inline constexpr int kUncataloguedMode = 19;

[[nodiscard]] constexpr bool HasCatalogueEntry(int mode) {
    return mode >= kFirstCataloguedMode && mode <= kLastCataloguedMode && mode != kUncataloguedMode;
}

static_assert(HasCatalogueEntry(1) && HasCatalogueEntry(18) && HasCatalogueEntry(20));
static_assert(!HasCatalogueEntry(0) && !HasCatalogueEntry(19) && !HasCatalogueEntry(21));

// The pair of choices the direction byte offers; 255 is the first of each pair, 0 the second.
enum class DirectionPair : std::uint8_t { None, LeftRight, UpDown, SpreadGather };

// How a mode is coloured. The two single-colour groups are two placements of the same controls
// (colour and multicolour flag) and write the same bytes.
enum class ColourKind : std::uint8_t {
    None,
    SingleGroupA,
    SingleGroupB,
    PresetColour,  // one of four presets (record byte 17)
    PerKey,        // the colour page, from the current user scheme
};

struct ModeTraits {
    bool speed = false;
    DirectionPair direction = DirectionPair::None;
    ColourKind colour = ColourKind::None;
    // The keyboard takes the multicolour flag along with the mode byte when such a mode is
    // chosen, so the flag goes in the same bracket.
    bool multicolourWithMode = false;

    [[nodiscard]] constexpr bool SingleColour() const {
        return colour == ColourKind::SingleGroupA || colour == ColourKind::SingleGroupB;
    }
    friend constexpr bool operator==(const ModeTraits&, const ModeTraits&) = default;
};

namespace detail {
inline constexpr ModeTraits kWaveLike{true, DirectionPair::LeftRight, ColourKind::SingleGroupB,
                                      true};
inline constexpr ModeTraits kColouredLike{true, DirectionPair::None, ColourKind::SingleGroupB,
                                          true};
inline constexpr ModeTraits kSpeedOnly{true, DirectionPair::None, ColourKind::None, false};
inline constexpr ModeTraits kStillColour{false, DirectionPair::None, ColourKind::SingleGroupA,
                                         false};

// Indexed by mode number; entry 0 and 19 are unused.
inline constexpr std::array<ModeTraits, kLastCataloguedMode + 1> kCatalogue{{
    {},                                                             // 0
    kWaveLike,                                                      // 1
    kWaveLike,                                                      // 2
    kWaveLike,                                                      // 3
    kSpeedOnly,                                                     // 4
    kColouredLike,                                                  // 5
    kStillColour,                                                   // 6
    kColouredLike,                                                  // 7
    kColouredLike,                                                  // 8
    kColouredLike,                                                  // 9
    {true, DirectionPair::None, ColourKind::SingleGroupB, false},   // 10
    kSpeedOnly,                                                     // 11
    {true, DirectionPair::UpDown, ColourKind::None, false},         // 12
    kColouredLike,                                                  // 13
    kColouredLike,                                                  // 14
    kColouredLike,                                                  // 15
    kStillColour,                                                   // 16
    {false, DirectionPair::None, ColourKind::PresetColour, false},  // 17
    {false, DirectionPair::SpreadGather, ColourKind::None, false},  // 18
    {},                                                             // 19
    {false, DirectionPair::None, ColourKind::PerKey, false},        // 20
}};
}  // namespace detail

// The mode's parameters, or nothing for a mode without an entry.
[[nodiscard]] constexpr std::optional<ModeTraits> CatalogueEntry(int mode) {
    if (!HasCatalogueEntry(mode)) {
        return std::nullopt;
    }
    return detail::kCatalogue[static_cast<std::size_t>(mode)];
}

static_assert(CatalogueEntry(10)->SingleColour() && !CatalogueEntry(10)->multicolourWithMode);
static_assert(CatalogueEntry(15)->multicolourWithMode && !CatalogueEntry(6)->speed);

}  // namespace qv::lighting
