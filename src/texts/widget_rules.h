#pragma once

// The decisions of the skinned widgets that do not need a window system: which state picture a
// picture button shows, how a mask picture becomes a window outline, and how the outline and
// tooltip settings are stored. The Qt widgets call these, so the rules are tested without a
// display.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv::ui {

// The pictures a picture button can show; the two overrides stand in for every state while on.
enum class ButtonPicture { Normal, Hover, Pressed, Disabled, Checked, Override, SecondOverride };

// Checked shares the hover colour: a checked button reads as "lit", like a hovered one.
enum class ButtonTextColour { Normal, HoverOrChecked, Pressed, Disabled };

struct ButtonState {
    bool enabled = true;
    bool overrideOn = false;
    bool useSecondOverride = false;
    bool pressed = false;
    bool hover = false;
    bool checked = false;
};

struct ButtonLook {
    ButtonPicture picture = ButtonPicture::Normal;
    ButtonTextColour colour = ButtonTextColour::Normal;

    friend bool operator==(const ButtonLook&, const ButtonLook&) = default;
};

// Disabled beats everything, then the override, pressed, hover, checked, normal.
[[nodiscard]] ButtonLook ChooseButtonLook(const ButtonState& state) noexcept;

// Mask pixels of exactly this colour (0xRRGGBB) lie outside the window.
inline constexpr std::uint32_t kMaskOutsideColour = 0xFFFFFFu;

// One run of inside pixels of one row.
struct MaskRun {
    int x = 0;
    int y = 0;
    int width = 0;

    friend bool operator==(const MaskRun&, const MaskRun&) = default;
};

// Every maximal run of pixels of row `y` that are not kMaskOutsideColour, left to right, added
// to `runs`; rows given from the top make the order a banded region wants. `row` holds 0xRRGGBB
// values; bits above the 24 colour bits are ignored.
void AppendRowRuns(int y, std::span<const std::uint32_t> row, std::vector<MaskRun>& runs);

// Regions are built from the runs in batches of this many rectangles, which keeps each union
// small on large masks.
inline constexpr std::size_t kOutlineBatchRects = 2000;

inline constexpr int kMaxOutlinePercent = 100;

// The percentage an outline keeps: with the mode on, it is held to 0..100; with the mode off it
// is kept as given, since it is not used until the mode is turned on again with a new value.
[[nodiscard]] int StoredOutlinePercent(int percent, bool on) noexcept;

// The tooltip of a picture button: created on first use, with the button's area as its one tool.
struct TooltipState {
    bool created = false;
    bool toolAdded = false;
    std::string text;
    int delayMs = 0;
    bool active = false;
};

// The automatic delay of a button's tooltip.
inline constexpr int kTooltipDelayMs = 300;

// Applies a new tooltip text. An empty text changes nothing (returns false), so an owner may pass
// a missing translation without wiping a tooltip it set before.
bool ApplyTooltipText(TooltipState& tooltip, std::string_view text, bool activate);

// Whether hovering the button shows its tooltip.
[[nodiscard]] bool TooltipShows(const TooltipState& tooltip) noexcept;

}  // namespace qv::ui
