#include "texts/widget_rules.h"

#include <algorithm>

namespace qv::ui {

ButtonLook ChooseButtonLook(const ButtonState& state) noexcept {
    if (!state.enabled) {
        return {ButtonPicture::Disabled, ButtonTextColour::Disabled};
    }
    if (state.overrideOn) {
        return {state.useSecondOverride ? ButtonPicture::SecondOverride : ButtonPicture::Override,
                ButtonTextColour::Normal};
    }
    if (state.pressed) {
        return {ButtonPicture::Pressed, ButtonTextColour::Pressed};
    }
    if (state.hover) {
        return {ButtonPicture::Hover, ButtonTextColour::HoverOrChecked};
    }
    if (state.checked) {
        return {ButtonPicture::Checked, ButtonTextColour::HoverOrChecked};
    }
    return {ButtonPicture::Normal, ButtonTextColour::Normal};
}

void AppendRowRuns(int y, std::span<const std::uint32_t> row, std::vector<MaskRun>& runs) {
    const auto inside = [](std::uint32_t pixel) {
        return (pixel & 0xFFFFFFu) != kMaskOutsideColour;
    };
    const std::size_t width = row.size();
    std::size_t x = 0;
    while (x < width) {
        while (x < width && !inside(row[x])) {
            ++x;
        }
        const std::size_t start = x;
        while (x < width && inside(row[x])) {
            ++x;
        }
        if (x > start) {
            runs.push_back({static_cast<int>(start), y, static_cast<int>(x - start)});
        }
    }
}

int StoredOutlinePercent(int percent, bool on) noexcept {
    return on ? std::clamp(percent, 0, kMaxOutlinePercent) : percent;
}

bool ApplyTooltipText(TooltipState& tooltip, std::string_view text, bool activate) {
    if (text.empty()) {
        return false;
    }
    tooltip.created = true;
    tooltip.toolAdded = true;
    tooltip.text = text;
    tooltip.delayMs = kTooltipDelayMs;
    tooltip.active = activate;
    return true;
}

bool TooltipShows(const TooltipState& tooltip) noexcept {
    return tooltip.created && tooltip.active && !tooltip.text.empty();
}

}  // namespace qv::ui
