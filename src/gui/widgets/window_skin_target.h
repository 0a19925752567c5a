#pragma once

// The set-up of a skinned window from its skin file, without decoding a picture: a window
// decodes its pictures when it shows and drops them when it hides.

#include <QImageReader>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "gui/widgets/base_dialog.h"
#include "texts/skin_placement.h"

namespace qv::gui {

// Each step of a skinned window's set-up: the pictures are only checked for being readable and
// the window is sized from the headers of its SCREEN pictures; the window decodes what it shows
// when it shows. Each placed control goes to the window's own placing function.
class WindowSkinTarget final : public ui::SkinSetupTarget {
public:
    using PlaceFn = std::function<void(const ui::PlacedControl& placed)>;

    WindowSkinTarget(BaseDialog& window, PlaceFn place)
        : window_(window), place_(std::move(place)) {}

    bool LoadPicture(const std::filesystem::path& picture) override {
        return QImageReader(QString::fromStdString(picture.string())).canRead();
    }
    void ApplyScreen(const std::filesystem::path&, const std::filesystem::path&) override {
        screenApplied_ = window_.SizeFromSkin();
    }
    void Apply(const ui::PlacedControl& placed) override { place_(placed); }
    void LoadTexts() override {}

    // False when the window could not take its SCREEN pictures.
    [[nodiscard]] bool ScreenApplied() const { return screenApplied_; }

private:
    BaseDialog& window_;
    PlaceFn place_;
    bool screenApplied_ = true;
};

// The set-up of a skinned window: placed controls go to `placeControl`, image and arrow buttons
// to `placeButton`. The pictures are only checked here; the window decodes them when it shows.
// Nothing when the window is ready; else the picture that cannot be read.
[[nodiscard]] inline std::optional<ui::SkinExit> SetUpSkin(
    BaseDialog& window, const ui::SkinFile& skin, const std::filesystem::path& skinFolder,
    std::span<const std::string_view> statePictures, std::span<const ui::SkinControl> controls,
    const WindowSkinTarget::PlaceFn& placeControl, const WindowSkinTarget::PlaceFn& placeButton) {
    WindowSkinTarget target(window, [&](const ui::PlacedControl& placed) {
        if (std::holds_alternative<ui::ControlPlacement>(placed.placement)) {
            placeControl(placed);
        } else {
            placeButton(placed);
        }
    });
    if (auto failure = ui::SetUpSkinnedWindow(skin, skinFolder, statePictures, controls, target)) {
        return failure;
    }
    if (!target.ScreenApplied()) {
        return ui::SkinExit{skin.BackgroundPicture(skinFolder)};
    }
    return std::nullopt;
}

}  // namespace qv::gui
