#pragma once

// The placement operations of skinned windows as plain computations: each reads one value of
// the window's skin file and says what the front end does to the control (where it goes,
// whether it shows and reacts, which picture serves each state and from which point of that
// picture the button's face is cut). Then the set-up of a window in its fixed order, driven
// through a small interface the front end implements, with a missing picture as a result.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "texts/skin_layout.h"
#include "texts/skin_value.h"

namespace qv::ui {

// Which loaded picture (a file name in the skin folder) serves each of a button's five states.
// The window decides: the same picture may serve several states.
struct ButtonPictures {
    std::string_view normal;
    std::string_view hover;
    std::string_view pressed;
    std::string_view disabled;
    std::string_view checked;

    friend bool operator==(const ButtonPictures&, const ButtonPictures&) = default;
};

// One picture for every state, as arrow buttons use it.
[[nodiscard]] ButtonPictures SinglePicture(std::string_view picture);
// The four pictures of a set in their own states, the normal one again as the checked look.
[[nodiscard]] ButtonPictures StraightPictures(const StatePictureSet& set);
// The profile manager: pressed again for disabled, normal again for checked.
[[nodiscard]] ButtonPictures ProfileButtonPictures();
// The main window's key and G-key buttons: normal for disabled, and the disabled picture as
// the checked look, which marks a remapped key.
[[nodiscard]] ButtonPictures MainKeyButtonPictures();

struct ImageButtonPlacement {
    SkinRect geometry;
    SkinPoint origin;  // the point of every state picture shown at the button's top-left
    ButtonPictures pictures;
    bool visible = true;
    bool enabled = true;
    bool repaint = false;

    // The part of each state picture that the button shows.
    [[nodiscard]] SkinRect Crop() const {
        return {origin.x, origin.y, geometry.width, geometry.height};
    }
    friend bool operator==(const ImageButtonPlacement&, const ImageButtonPlacement&) = default;
};

struct ControlPlacement {
    SkinRect geometry;
    bool repaint = false;

    friend bool operator==(const ControlPlacement&, const ControlPlacement&) = default;
};

struct ArrowButtonPlacement {
    SkinRect geometry;
    SkinPoint origin;  // from the second key, not from the button's own place
    ButtonPictures pictures;

    [[nodiscard]] SkinRect Crop() const {
        return {origin.x, origin.y, geometry.width, geometry.height};
    }
    friend bool operator==(const ArrowButtonPlacement&, const ArrowButtonPlacement&) = default;
};

// Only the position changes; the control keeps its current size.
struct MovePlacement {
    SkinPoint position;
    bool repaint = true;

    friend bool operator==(const MovePlacement&, const MovePlacement&) = default;
};

// Move and size, five state pictures cut from the button's own place; a button at (1, 1) is
// disabled and hidden, whatever its size.
[[nodiscard]] ImageButtonPlacement PlaceImageButton(const SkinFile& skin, std::string_view section,
                                                    std::string_view key,
                                                    const ButtonPictures& pictures);
// Move and size; the (1, 1) rule does not apply, so a 1 x 1 control stays visible.
[[nodiscard]] ControlPlacement PlaceControl(const SkinFile& skin, std::string_view section,
                                            std::string_view key);
// Move and size from the first key; cut the one picture from the second key's (x, y).
[[nodiscard]] ArrowButtonPlacement PlaceArrowButton(const SkinFile& skin, std::string_view section,
                                                    std::string_view key,
                                                    std::string_view originSection,
                                                    std::string_view originKey,
                                                    std::string_view picture);
[[nodiscard]] MovePlacement MoveControl(const SkinFile& skin, std::string_view section,
                                        std::string_view key);

// ---- Window set-up -----------------------------------------------------------------------

enum class SkinOperation { ImageButton, Control, ArrowButton, Move };

// One entry of a window's key list: which operation places which control.
struct SkinControl {
    SkinOperation operation = SkinOperation::Control;
    std::string key;
    ButtonPictures pictures;  // image buttons; for arrows, `normal` is the one picture
    std::string originKey;    // arrows: the key in BUTTONINFO2
};

using SkinPlacement =
    std::variant<ImageButtonPlacement, ControlPlacement, ArrowButtonPlacement, MovePlacement>;

struct PlacedControl {
    std::string key;
    SkinPlacement placement;
};

// Reads BUTTONINFO (and BUTTONINFO2 for arrows).
[[nodiscard]] PlacedControl Place(const SkinFile& skin, const SkinControl& control);

// The key lists of the windows, in placing order.
// Main window: window-level and keyboard-view buttons, then the lighting panel's controls. The
// arrows take their origin from the flip setting and their positions (0 or 1).
[[nodiscard]] std::vector<SkinControl> MainWindowControls(bool flip, int leftArrowPosition,
                                                          int rightArrowPosition);
[[nodiscard]] std::vector<SkinControl> ProfileWindowControls();

// A picture that could not be loaded at set-up: the program ends with exit code 0 after one
// line on stderr naming the file.
struct SkinExit {
    static constexpr int kExitCode = 0;
    std::filesystem::path picture;

    [[nodiscard]] std::string StderrLine() const;
    friend bool operator==(const SkinExit&, const SkinExit&) = default;
};

// What the front end does for each step of a set-up.
class SkinSetupTarget {
public:
    virtual ~SkinSetupTarget() = default;
    // Loads a picture into the window's (or, for state pictures, the window class's) store;
    // false when it cannot be read.
    [[nodiscard]] virtual bool LoadPicture(const std::filesystem::path& picture) = 0;
    // Sizes the window to the background and shapes it from the mask, both loaded.
    virtual void ApplyScreen(const std::filesystem::path& background,
                             const std::filesystem::path& mask) = 0;
    virtual void Apply(const PlacedControl& placed) = 0;
    virtual void LoadTexts() = 0;
};

// The fixed order: SCREEN pictures and the window's shape; the state pictures (pass them only
// on the window's first set-up in this run, an empty list afterwards); every control in list
// order; the texts. Stops at the first picture that cannot be loaded.
[[nodiscard]] std::optional<SkinExit> SetUpSkinnedWindow(
    const SkinFile& skin, const std::filesystem::path& skinFolder,
    std::span<const std::string_view> statePictures, std::span<const SkinControl> controls,
    SkinSetupTarget& target);

}  // namespace qv::ui
