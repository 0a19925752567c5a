#include "texts/widget_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace qv::ui {
namespace {

struct LookCase {
    const char* name;
    ButtonState state;
    ButtonLook look;
};

TEST(ButtonLookTest, PrecedenceOfStatePictures) {
    using P = ButtonPicture;
    using C = ButtonTextColour;
    const LookCase cases[] = {
        {"plain", {}, {P::Normal, C::Normal}},
        {"disabled beats all", {false, true, true, true, true, true}, {P::Disabled, C::Disabled}},
        {"disabled and checked", {.enabled = false, .checked = true}, {P::Disabled, C::Disabled}},
        {"override beats pressed",
         {.overrideOn = true, .pressed = true, .hover = true},
         {P::Override, C::Normal}},
        {"second override",
         {.overrideOn = true, .useSecondOverride = true, .checked = true},
         {P::SecondOverride, C::Normal}},
        {"second choice without override", {.useSecondOverride = true}, {P::Normal, C::Normal}},
        {"pressed beats hover",
         {.pressed = true, .hover = true, .checked = true},
         {P::Pressed, C::Pressed}},
        {"hover beats checked", {.hover = true, .checked = true}, {P::Hover, C::HoverOrChecked}},
        {"checked alone", {.checked = true}, {P::Checked, C::HoverOrChecked}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseButtonLook(c.state), c.look) << c.name;
    }
}

TEST(MaskRunsTest, WhitePixelsSplitRowsIntoRuns) {
    constexpr std::uint32_t W = 0xFFFFFF;
    constexpr std::uint32_t K = 0x000000;
    // Near-white and white with stray high bits: only the exact colour is cut away.
    constexpr std::uint32_t N = 0xFFFFFE;
    constexpr std::uint32_t H = 0xFF'FFFFFF;
    const std::vector<std::vector<std::uint32_t>> rows = {
        {K, W, K, N},  // row 0: two runs
        {W, W, W, W},  // row 1: none
        {H, K, K, W},  // row 2: one run in the middle
        {},            // row 3: nothing to cut
    };
    std::vector<MaskRun> runs;
    for (std::size_t y = 0; y < rows.size(); ++y) {
        AppendRowRuns(static_cast<int>(y), rows[y], runs);
    }
    const std::vector<MaskRun> expected = {{0, 0, 1}, {2, 0, 2}, {1, 2, 2}};
    EXPECT_EQ(runs, expected);
}

TEST(MaskRunsTest, ARowAddsToTheRunsBeforeIt) {
    std::vector<MaskRun> runs = {{5, 0, 3}};
    AppendRowRuns(7, std::vector<std::uint32_t>{0x102030, 0xFFFFFF, 0x102030}, runs);
    const std::vector<MaskRun> expected = {{5, 0, 3}, {0, 7, 1}, {2, 7, 1}};
    EXPECT_EQ(runs, expected);
}

TEST(OutlineTest, PercentIsHeldToRangeOnlyWhileOn) {
    EXPECT_EQ(StoredOutlinePercent(150, true), 100);
    EXPECT_EQ(StoredOutlinePercent(100, true), 100);
    EXPECT_EQ(StoredOutlinePercent(40, true), 40);
    EXPECT_EQ(StoredOutlinePercent(-5, true), 0);
    EXPECT_EQ(StoredOutlinePercent(150, false), 150);
}

TEST(TooltipTest, EmptyTextLeavesTooltipAlone) {
    TooltipState tooltip;
    EXPECT_FALSE(ApplyTooltipText(tooltip, "", true));
    EXPECT_FALSE(tooltip.created);
    EXPECT_FALSE(TooltipShows(tooltip));

    EXPECT_TRUE(ApplyTooltipText(tooltip, "Apply", true));
    EXPECT_TRUE(tooltip.created && tooltip.toolAdded);
    EXPECT_EQ(tooltip.delayMs, kTooltipDelayMs);
    EXPECT_TRUE(TooltipShows(tooltip));

    EXPECT_FALSE(ApplyTooltipText(tooltip, "", false));
    EXPECT_EQ(tooltip.text, "Apply");
    EXPECT_TRUE(tooltip.active);

    EXPECT_TRUE(ApplyTooltipText(tooltip, "Close", false));
    EXPECT_EQ(tooltip.text, "Close");
    EXPECT_FALSE(TooltipShows(tooltip));
}

}  // namespace
}  // namespace qv::ui
