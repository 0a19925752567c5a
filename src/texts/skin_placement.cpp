#include "texts/skin_placement.h"

#include <string>
#include <utility>

namespace qv::ui {

namespace {

SkinControl ImageButton(std::string key, const ButtonPictures& pictures) {
    return {SkinOperation::ImageButton, std::move(key), pictures, {}};
}

SkinControl Control(std::string_view key) {
    return {SkinOperation::Control, std::string(key), {}, {}};
}

bool IsMainKeyButton(std::string_view key) {
    return key == "KEY_FN";
}

}  // namespace

ButtonPictures SinglePicture(std::string_view picture) {
    return {picture, picture, picture, picture, picture};
}

ButtonPictures StraightPictures(const StatePictureSet& set) {
    return {set.normal, set.hover, set.pressed, set.disabled, set.normal};
}

ButtonPictures ProfileButtonPictures() {
    const StatePictureSet& set = kProfileStatePictures;
    return {set.normal, set.hover, set.pressed, set.pressed, set.normal};
}

ButtonPictures MainKeyButtonPictures() {
    const StatePictureSet& set = kMainStatePictures;
    return {set.normal, set.hover, set.pressed, set.normal, set.disabled};
}

ImageButtonPlacement PlaceImageButton(const SkinFile& skin, std::string_view section,
                                      std::string_view key, const ButtonPictures& pictures) {
    const SkinRect rect = skin.Rect(section, key);
    const bool shown = !IsLeftOut(rect);
    return {rect, rect.Origin(), pictures, shown, shown, false};
}

ControlPlacement PlaceControl(const SkinFile& skin, std::string_view section,
                              std::string_view key) {
    return {skin.Rect(section, key), false};
}

ArrowButtonPlacement PlaceArrowButton(const SkinFile& skin, std::string_view section,
                                      std::string_view key, std::string_view originSection,
                                      std::string_view originKey, std::string_view picture) {
    return {skin.Rect(section, key), skin.Rect(originSection, originKey).Origin(),
            SinglePicture(picture)};
}

MovePlacement MoveControl(const SkinFile& skin, std::string_view section, std::string_view key) {
    return {skin.Rect(section, key).Origin(), true};
}

PlacedControl Place(const SkinFile& skin, const SkinControl& control) {
    switch (control.operation) {
        case SkinOperation::ImageButton:
            return {control.key,
                    PlaceImageButton(skin, kSkinButtonInfoSection, control.key, control.pictures)};
        case SkinOperation::ArrowButton:
            return {control.key, PlaceArrowButton(skin, kSkinButtonInfoSection, control.key,
                                                  kSkinButtonInfo2Section, control.originKey,
                                                  control.pictures.normal)};
        case SkinOperation::Move:
            return {control.key, MoveControl(skin, kSkinButtonInfoSection, control.key)};
        case SkinOperation::Control:
            break;
    }
    return {control.key, PlaceControl(skin, kSkinButtonInfoSection, control.key)};
}

std::vector<SkinControl> MainWindowControls(bool flip, int leftArrowPosition,
                                            int rightArrowPosition) {
    std::vector<SkinControl> controls;
    for (const std::string_view key : kMainImageButtonKeys) {
        if (key == kLeftArrowKey || key == kRightArrowKey) {
            const bool left = key == kLeftArrowKey;
            controls.push_back({SkinOperation::ArrowButton, std::string(key),
                                SinglePicture(kArrowPicture),
                                ArrowOriginKey(left ? ArrowSide::Left : ArrowSide::Right, flip,
                                               left ? leftArrowPosition : rightArrowPosition)});
        } else if (IsMainKeyButton(key)) {
            controls.push_back(ImageButton(std::string(key), MainKeyButtonPictures()));
        } else {
            controls.push_back(ImageButton(std::string(key), StraightPictures(kMainStatePictures)));
        }
    }
    for (int n = 1; n <= kSkinGKeyCount; ++n) {
        controls.push_back(ImageButton(*GKeySkinKey(n), MainKeyButtonPictures()));
    }
    for (const unsigned code : kMainKeyCodes) {
        controls.push_back(ImageButton(MainKeySkinKey(code), MainKeyButtonPictures()));
    }
    for (const std::string_view key : kMainExtraKeyKeys) {
        controls.push_back(ImageButton(std::string(key), MainKeyButtonPictures()));
    }
    // The direction pictures are placed here with their size; a mode change later only moves
    // them (to the positions of kMainMovedControlKeys).
    for (const std::string_view key : kMainPlacedControlKeys) {
        controls.push_back(Control(key));
    }
    return controls;
}

std::vector<SkinControl> ProfileWindowControls() {
    std::vector<SkinControl> controls;
    for (const std::string_view key : kProfileImageButtonKeys) {
        controls.push_back(ImageButton(std::string(key), ProfileButtonPictures()));
    }
    for (const std::string_view key : kProfileControlKeys) {
        controls.push_back(Control(key));
    }
    return controls;
}

std::string SkinExit::StderrLine() const {
    return "quorvane: cannot load the skin picture " + picture.string();
}

std::optional<SkinExit> SetUpSkinnedWindow(const SkinFile& skin,
                                           const std::filesystem::path& skinFolder,
                                           std::span<const std::string_view> statePictures,
                                           std::span<const SkinControl> controls,
                                           SkinSetupTarget& target) {
    const std::filesystem::path background = skin.BackgroundPicture(skinFolder);
    const std::filesystem::path mask = skin.MaskPicture(skinFolder);
    for (const std::filesystem::path& picture : {background, mask}) {
        if (!target.LoadPicture(picture)) {
            return SkinExit{picture};
        }
    }
    target.ApplyScreen(background, mask);
    for (const std::string_view name : statePictures) {
        const std::filesystem::path picture = skinFolder / name;
        if (!target.LoadPicture(picture)) {
            return SkinExit{picture};
        }
    }
    for (const SkinControl& control : controls) {
        target.Apply(Place(skin, control));
    }
    target.LoadTexts();
    return std::nullopt;
}

}  // namespace qv::ui
