#include "lighting/panel_controls.h"

#include "lighting/lighting_record.h"

namespace qv::lighting {

PanelVisibility VisibleControls(int mode, bool panelOpen) {
    PanelVisibility shown;
    if (!panelOpen) {
        return shown;
    }
    shown.modeCombo = true;
    const std::optional<ModeTraits> traits = CatalogueEntry(mode);
    if (!traits) {
        return shown;
    }
    shown.brightness = true;
    shown.speed = traits->speed;
    shown.direction = traits->direction != DirectionPair::None;
    shown.singleColourGroupB = traits->colour == ColourKind::SingleGroupB;
    shown.singleColourGroupA = traits->colour == ColourKind::SingleGroupA;
    shown.presetColours = traits->colour == ColourKind::PresetColour;
    shown.schemes = traits->colour == ColourKind::PerKey;
    return shown;
}

DirectionPlacement DirectionPlacementFor(DirectionPair pair) {
    switch (pair) {
        case DirectionPair::UpDown:
            return {"CONTROL_BLFXStatic3", "CONTROL_BLFXLStaPic3", "CONTROL_BLFXRStaPic3"};
        case DirectionPair::SpreadGather:
            return {"CONTROL_BLFXStatic", "CONTROL_BLFXLStaPic", "CONTROL_BLFXRStaPic"};
        case DirectionPair::LeftRight:
        case DirectionPair::None:
            break;
    }
    return {"CONTROL_BLFXStatic2", "CONTROL_BLFXLStaPic2", "CONTROL_BLFXRStaPic2"};
}

DirectionPictures DirectionPicturesFor(DirectionPair pair, int direction) {
    const bool first = direction == kDirectionFirst;
    switch (pair) {
        case DirectionPair::UpDown:
            return first ? DirectionPictures{"updown.bmp", "downup.bmp"}
                         : DirectionPictures{"upup.bmp", "downdown.bmp"};
        case DirectionPair::SpreadGather:
            return first ? DirectionPictures{"kuosandown.bmp", "julong.bmp"}
                         : DirectionPictures{"kuosan.bmp", "julongdown.bmp"};
        case DirectionPair::LeftRight:
        case DirectionPair::None:
            break;
    }
    return first ? DirectionPictures{"leftdown.bmp", "rightup.bmp"}
                 : DirectionPictures{"leftup.bmp", "rightdown.bmp"};
}

}  // namespace qv::lighting
