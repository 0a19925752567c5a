#pragma once

// The rectangle values of the skin files: "x,y,w,h", four decimal integers separated by
// commas, read the way a "%d,%d,%d,%d" scan reads them. Skin files are outside data, so
// nothing in a value can make the read fail: whatever cannot be taken as a number of sensible
// size stays at 1, the value a missing key yields.

#include <string_view>

namespace qv::ui {

struct SkinPoint {
    int x = 1;
    int y = 1;

    friend bool operator==(const SkinPoint&, const SkinPoint&) = default;
};

struct SkinRect {
    int x = 1;
    int y = 1;
    int width = 1;
    int height = 1;

    [[nodiscard]] SkinPoint Origin() const { return {x, y}; }

    friend bool operator==(const SkinRect&, const SkinRect&) = default;
};

// What a read of a missing key (or file) yields; the trailing text is never parsed.
inline constexpr std::string_view kSkinRectDefault = "1,1,1,1,x";

// Window client areas are far smaller; a larger coordinate or size is a damaged value.
inline constexpr int kSkinCoordinateLimit = 32767;

// Reads up to four numbers; the scan stops at the first text that does not continue the
// pattern, and every number it did not reach is 1. A number past the coordinate limit, and a
// negative width or height, is also 1. Anything after the fourth number is ignored.
[[nodiscard]] SkinRect ParseSkinRect(std::string_view value);

// A skin leaves an image button out by placing it at (1, 1), whatever its size.
[[nodiscard]] constexpr bool IsLeftOut(const SkinRect& rect) {
    return rect.x == 1 && rect.y == 1;
}

}  // namespace qv::ui
