// Arbitrary bytes as a skin file: read the keys one window places (which window depends on
// the input's size, so that every window's come up), run every placement operation and a whole
// set-up over it, and check what the layout promises:
//  - every rectangle stays within the coordinate limit, with no negative size;
//  - an image button is shown and enabled exactly when it is not at (1, 1), and cut from its
//    own place; other controls keep their rectangle whatever it is;
//  - a set-up with pictures that all load places every control once, in list order, then
//    loads the texts; one that fails names a picture inside the skin folder.
// Keys that the input itself names are probed too, so that present values are hit.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "ini_keys.h"
#include "platform/ini_file.h"
#include "texts/skin_layout.h"
#include "texts/skin_placement.h"
#include "texts/skin_value.h"

namespace {

using namespace qv::ui;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckRect(const SkinRect& rect) {
    for (const int value : {rect.x, rect.y, rect.width, rect.height}) {
        Check(value >= -kSkinCoordinateLimit && value <= kSkinCoordinateLimit);
    }
    Check(rect.width >= 0 && rect.height >= 0);
}

void CheckPlaced(const PlacedControl& placed) {
    if (const auto* button = std::get_if<ImageButtonPlacement>(&placed.placement)) {
        CheckRect(button->geometry);
        Check(button->visible == !IsLeftOut(button->geometry));
        Check(button->enabled == button->visible);
        Check(button->Crop() == button->geometry);
    } else if (const auto* control = std::get_if<ControlPlacement>(&placed.placement)) {
        CheckRect(control->geometry);
    } else if (const auto* arrow = std::get_if<ArrowButtonPlacement>(&placed.placement)) {
        CheckRect(arrow->geometry);
        CheckRect(arrow->Crop());
        Check(arrow->pictures == SinglePicture(arrow->pictures.normal));
    } else {
        const auto& moved = std::get<MovePlacement>(placed.placement);
        CheckRect({moved.position.x, moved.position.y, 0, 0});
    }
}

class CountingTarget : public SkinSetupTarget {
public:
    explicit CountingTarget(std::size_t failAt) : failAt_(failAt) {}

    bool LoadPicture(const std::filesystem::path&) override { return loads_++ != failAt_; }
    void ApplyScreen(const std::filesystem::path&, const std::filesystem::path&) override {
        Check(!textsLoaded);
        screenApplied = true;
    }
    void Apply(const PlacedControl& placed) override {
        Check(screenApplied && !textsLoaded);
        CheckPlaced(placed);
        placedKeys.push_back(placed.key);
    }
    void LoadTexts() override { textsLoaded = true; }

    bool screenApplied = false;
    bool textsLoaded = false;
    std::vector<std::string> placedKeys;

private:
    std::size_t loads_ = 0;
    std::size_t failAt_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    CheckRect(ParseSkinRect(raw));

    const SkinFile skin(qv::platform::IniFile::Parse({data, size}));
    // One window's controls an input: the other windows' come with other sizes.
    const auto window = static_cast<SkinWindow>(size % 3);
    const bool flip = size / 3 % 2 == 1;
    const int position = static_cast<int>(size / 6 % 3);

    std::vector<SkinControl> controls;
    switch (window) {
        case SkinWindow::Main:
            controls = MainWindowControls(flip, position, position + 1);
            for (const std::string_view key : kMainMovedControlKeys) {
                controls.push_back({SkinOperation::Move, std::string(key), {}, {}});
            }
            break;
        case SkinWindow::Profile:
            controls = ProfileWindowControls();
            break;
        case SkinWindow::Composite:
            for (const std::string_view key : kCompositeImageButtonKeys) {
                controls.push_back({SkinOperation::ImageButton,
                                    std::string(key),
                                    StraightPictures(kCompositeKeyStatePictures),
                                    {}});
            }
            for (const std::string_view key : kCompositeControlKeys) {
                controls.push_back({SkinOperation::Control, std::string(key), {}, {}});
            }
            break;
    }
    for (const std::string& key : qv::fuzz::KeysIn(raw, 32)) {
        controls.push_back({SkinOperation::ImageButton, key, ProfileButtonPictures(), {}});
        controls.push_back({SkinOperation::ArrowButton, key, SinglePicture(kArrowPicture), key});
        controls.push_back({SkinOperation::Move, key, {}, {}});
    }
    // Every control is placed, and its placement checked, by the set-up that loads every
    // picture below.

    const std::filesystem::path skins = "/nonexistent/Skins";
    for (const std::filesystem::path& picture :
         {skin.BackgroundPicture(skins), skin.MaskPicture(skins)}) {
        Check(picture.string().starts_with(skins.string()));
    }
    (void)skin.Link();
    for (const int language : {0, 1, 2}) {
        const auto captions = skin.Captions(language);
        Check(captions.has_value() == (language != 2));
    }
    (void)MissingButtonInfoKeys(skin, window);

    const std::vector<std::string_view> pictures = StatePictureFiles(window);
    CountingTarget loads(SIZE_MAX);
    Check(!SetUpSkinnedWindow(skin, skins, pictures, controls, loads));
    Check(loads.textsLoaded && loads.placedKeys.size() == controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        Check(loads.placedKeys[i] == controls[i].key);
    }
    CountingTarget fails(size % (pictures.size() + 2));
    const auto exit = SetUpSkinnedWindow(skin, skins, pictures, controls, fails);
    Check(exit.has_value() && !fails.textsLoaded && fails.placedKeys.empty());
    Check(exit->picture.string().starts_with(skins.string()));
    return 0;
}
