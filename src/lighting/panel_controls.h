#pragma once

// Which controls of the lighting panel a mode shows, and the pictures of its direction pair.
// The Qt panel draws what these say; the rules live here so that they can be tested without a
// window.

#include <string_view>

#include "lighting/mode_catalogue.h"

namespace qv::lighting {

// The controls that come and go with the mode. The lamp toggle and its caption are always
// shown and are not listed.
struct PanelVisibility {
    bool modeCombo = false;
    bool brightness = false;  // caption and slider
    bool speed = false;
    bool direction = false;  // caption and the two direction pictures
    bool singleColourGroupB = false;
    bool singleColourGroupA = false;
    bool presetColours = false;
    bool schemes = false;  // the per-key colour scheme controls
    friend constexpr bool operator==(const PanelVisibility&, const PanelVisibility&) = default;
};

// Everything hidden while the panel is closed. A mode without a catalogue entry shows the mode
// combo alone, so that another mode can be chosen: its other bytes mean nothing known, and the
// keyboard still runs the mode chosen before it.
[[nodiscard]] PanelVisibility VisibleControls(int mode, bool panelOpen);

// Where the direction group is placed: the skin keys of its caption and its two pictures.
struct DirectionPlacement {
    std::string_view caption;
    std::string_view first;
    std::string_view second;
};
[[nodiscard]] DirectionPlacement DirectionPlacementFor(DirectionPair pair);

// The pictures of the two direction buttons; the pressed picture marks the chosen direction.
// Modes without a pair of their own show the left/right pair.
struct DirectionPictures {
    std::string_view first;
    std::string_view second;
};
[[nodiscard]] DirectionPictures DirectionPicturesFor(DirectionPair pair, int direction);

}  // namespace qv::lighting
