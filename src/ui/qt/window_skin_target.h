#pragma once

// What a skinned window does for each step of its set-up: pictures are decoded into the
// window's store by file name, the SCREEN pictures size and shape the window, and each placed
// control goes to the window's own placing function.

#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QString>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "ui/qt/base_dialog.h"
#include "ui/skin_placement.h"

namespace qv::gui {

using PictureStore = std::map<std::string, QPixmap, std::less<>>;

// The picture of that file name, or a null picture.
[[nodiscard]] inline QPixmap PictureNamed(const PictureStore& store, std::string_view name) {
    const auto found = store.find(name);
    return found != store.end() ? found->second : QPixmap();
}

class WindowSkinTarget final : public ui::SkinSetupTarget {
public:
    using Decode = std::function<QImage(const QString& path)>;
    using PlaceFn = std::function<void(const ui::PlacedControl& placed)>;

    // Pictures are decoded into `pictures` as the set-up names them.
    WindowSkinTarget(CBaseDialog& window, PictureStore& pictures, Decode decode, PlaceFn place)
        : window_(window),
          pictures_(&pictures),
          decode_(std::move(decode)),
          place_(std::move(place)) {}

    // Pictures are only checked for being readable, and the window is sized from the headers
    // of its SCREEN pictures: a window that starts hidden decodes them when it first shows.
    WindowSkinTarget(CBaseDialog& window, PlaceFn place)
        : window_(window), pictures_(nullptr), place_(std::move(place)) {}

    bool LoadPicture(const std::filesystem::path& picture) override {
        const QString path = QString::fromStdString(picture.string());
        if (pictures_ == nullptr) {
            return QImageReader(path).canRead();
        }
        QPixmap loaded = QPixmap::fromImage(decode_(path));
        if (loaded.isNull()) {
            return false;
        }
        (*pictures_)[picture.filename().string()] = loaded;
        return true;
    }
    void ApplyScreen(const std::filesystem::path&, const std::filesystem::path&) override {
        screenApplied_ = pictures_ == nullptr ? window_.SizeFromSkin() : window_.ApplySkin();
    }
    void Apply(const ui::PlacedControl& placed) override { place_(placed); }
    void LoadTexts() override {}

    // False when the window could not take its SCREEN pictures.
    [[nodiscard]] bool ScreenApplied() const { return screenApplied_; }

private:
    CBaseDialog& window_;
    PictureStore* pictures_;
    Decode decode_;
    PlaceFn place_;
    bool screenApplied_ = true;
};

// The set-up of a skinned dialog whose pictures are read from their files: placed controls go
// to `placeControl`, image and arrow buttons to `placeButton`. Nothing when the dialog is
// ready; else the picture that could not be loaded.
[[nodiscard]] inline std::optional<ui::SkinExit> SetUpSkinnedDialog(
    CBaseDialog& window, PictureStore& pictures, const ui::SkinFile& skin,
    const std::filesystem::path& skinFolder, std::span<const std::string_view> statePictures,
    std::span<const ui::SkinControl> controls, const WindowSkinTarget::PlaceFn& placeControl,
    const WindowSkinTarget::PlaceFn& placeButton) {
    WindowSkinTarget target(
        window, pictures, [](const QString& path) { return QImage(path); },
        [&](const ui::PlacedControl& placed) {
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
