#pragma once

// A skin draws all the buttons of a window in one window-sized picture per state, and a picture
// button shows the rectangle of its size at its picture origin. Keeping a few megabytes per
// state for a handful of small rectangles is wasteful, so each button is handed just its
// rectangle, cut out once, with its origin moved to match: it draws the same pixels, and the
// whole pictures can be dropped.

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "texts/skin_placement.h"

namespace qv::gui {

// Where a cut for a button at `origin` starts: parts left of or above the picture are never
// drawn, so the cut starts no further out than the picture's corner.
[[nodiscard]] inline QPoint CutCorner(QPoint origin) {
    return {std::max(origin.x(), 0), std::max(origin.y(), 0)};
}

// The part of `whole` that a button of `size` at picture origin `origin` can draw; a null
// picture when none of it lies in the picture. Drawn at origin `origin - CutCorner(origin)`, it
// gives the same pixels as `whole` at `origin`.
[[nodiscard]] inline QPixmap CutPicture(const QPixmap& whole, QPoint origin, QSize size) {
    if (whole.isNull() || size.isEmpty()) {
        return {};
    }
    const QRect area =
        QRect(CutCorner(origin), origin + QPoint(size.width() - 1, size.height() - 1))
            .intersected(whole.rect());
    return area.isEmpty() ? QPixmap() : whole.copy(area);
}

// The files of a button's normal, hover, pressed, disabled and checked pictures.
using PictureNames = std::array<std::string, 5>;

[[nodiscard]] inline PictureNames NamesOf(const ui::ButtonPictures& set) {
    return {std::string(set.normal), std::string(set.hover), std::string(set.pressed),
            std::string(set.disabled), std::string(set.checked)};
}

// One picture for every look.
[[nodiscard]] inline PictureNames NamesOf(std::string_view one) {
    const std::string name(one);
    return {name, name, name, name, name};
}

}  // namespace qv::gui
