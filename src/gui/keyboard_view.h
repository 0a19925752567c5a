#pragma once

// The on-screen keyboard of the main window: a button per key, the nine G keys, Fn, the extra
// keys D1..D6, the flip buttons with their arrows, and the lock and bank indicators (the lock
// indicators keep their resting picture; the bank indicator lights for bank B). It shows
// what each key does in the profile shown (the remapped look and a tooltip) and turns a click
// on a key into a request to edit that key. The rules come from app/keyboard_view_model.h.

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/keyboard_view_model.h"
#include "gui/widgets/button_cuts.h"
#include "lighting/colour_slots.h"
#include "platform/settings_store.h"
#include "texts/skin_layout.h"
#include "texts/skin_placement.h"

namespace qv::gui {

class PngButton;

class KeyboardView final : public QWidget {
    Q_OBJECT

public:
    // `skin` gives the arrows their pictures; `settings` keeps the flip setting.
    KeyboardView(QWidget* parent, ui::SkinFile skin, platform::SettingsStore* settings);
    ~KeyboardView() override;

    // Whether a main-window skin key is one of the view's controls.
    [[nodiscard]] static bool OwnsSkinKey(std::string_view key);

    // Set-up: each control as the skin places it (in window coordinates), then the end of the
    // placing, after which the view covers just its controls.
    void Place(const ui::PlacedControl& placed);
    void FinishPlacement();

    // The view's key buttons and where their pictures come from, for the window's cutter.
    [[nodiscard]] std::vector<ButtonPictureSource> PictureSources() const;
    // The further files the view cuts for itself: the edited keys' highlight, the indicators'
    // looks and the arrows.
    [[nodiscard]] std::vector<std::string> OwnPictureNames() const;
    // Cuts those of the window's picture `name`, which the caller may drop afterwards; once
    // every picture has been offered and the key buttons have their cuts, ShowCuts shows them.
    // Until then, and after ReleasePictures, the buttons show no picture; what they show does
    // not change otherwise.
    void CutFrom(std::string_view name, const QPixmap& whole);
    void ShowCuts();

    // What the keys show; after every change of the profile shown or of its keys.
    void ShowLooks(const app::KeyboardLooks& looks);

    // The flip setting as it is stored now, applied to the keys.
    void ApplyFlip();
    [[nodiscard]] bool Flip() const { return flip_; }

    // The key being edited keeps its highlighted look until the edit ends.
    void MarkEdited(const QString& skinKey, bool on);

    // The Macro button: edit the ninth G key of the bank shown, on the macro page alone.
    void RequestMacroKey();

    // While the lighting panel is open, a click paints the key instead of editing it.
    void SetPaintMode(bool on) { paintMode_ = on; }
    [[nodiscard]] bool PaintMode() const { return paintMode_; }

    // The lighting preview: every key that `colourOf` gives a colour shows it laid over its
    // face; the others look exactly as they would without a preview.
    using KeyColourFn = std::function<std::optional<QColor>(lighting::ViewKey key)>;
    void ShowKeyColours(const KeyColourFn& colourOf);
    [[nodiscard]] std::optional<QColor> KeyColourShown(std::string_view skinKey) const;
    // The key a button of the view stands for, for the keys that take colours or clicks.
    [[nodiscard]] std::optional<lighting::ViewKey> ViewKeyOf(std::string_view skinKey) const;

    // Gives up the pictures; the view shows nothing until they are loaded again.
    void ReleasePictures();

    [[nodiscard]] PngButton* Button(std::string_view skinKey) const;

signals:
    // A click asks to edit `slot` of the profile shown; `skinKey` names the clicked button.
    void AssignmentRequested(std::size_t slot, bool macroOnly, const QString& skinKey);
    // A click in paint mode (keys, G keys, Fn and D1..D6).
    void PaintRequested(const QString& skinKey);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Indicator {
        QPixmap normal;
        QPixmap lit;
    };
    // Where a button's pictures come from: its origin in the window's pictures and the files
    // of its normal, hover, pressed, disabled and checked looks.
    struct Plan {
        QPoint origin;
        PictureNames pictures;
        bool arrow = false;
    };
    // An arrow's picture, cut to cover both of its flip origins, and the cut's corner.
    struct ArrowCut {
        QPixmap picture;
        QPoint corner;
    };

    void OnKeyClicked(const std::string& skinKey);
    void ToggleFlip();
    void ShowFlip();
    void ShowArrow(ui::ArrowSide side);
    void CutArrow(ui::ArrowSide side, const QPixmap& whole);
    void ShowEdited(const std::string& skinKey, bool on);
    void ShowIndicator(std::string_view skinKey, bool lit);
    void DrawKeyColour(PngButton& button, std::string_view skinKey) const;
    // A key the keyboard cannot remap wears a hatch: it still takes focus and clicks, which
    // say why.
    void DrawNotRemappable(PngButton& button, std::string_view skinKey) const;

    ui::SkinFile skin_;
    platform::SettingsStore* settings_ = nullptr;
    std::map<std::string, PngButton*, std::less<>> buttons_;
    std::map<std::string, Indicator, std::less<>> indicators_;
    std::map<std::string, Plan, std::less<>> plans_;
    // main-key skin key -> its code
    std::map<std::string, keys::KeyCode, std::less<>> mainKeys_;
    // skin key -> the highlighted look of the key, cut for it
    std::map<std::string, QPixmap, std::less<>> highlights_;
    // the keys being edited
    std::set<std::string, std::less<>> edited_;
    ArrowCut arrowCuts_[2];
    app::KeyboardLooks looks_;
    // skin key -> the preview colour it shows
    std::map<std::string, QColor, std::less<>> keyColours_;
    std::set<std::string, std::less<>> notRemappable_;
    bool flip_ = false;
    bool paintMode_ = false;
};

}  // namespace qv::gui
