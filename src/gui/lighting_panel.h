#pragma once

// The lighting panel of the main window: the lamp that opens and closes it, the mode list,
// brightness, speed, direction, the single colour with its multicolour switch, the preset
// colours and the per-key colour schemes. Its controls are placed by the main skin in window
// coordinates; only those the selected mode uses are shown while the panel is open.
//
// The keyboard service keeps the panel's state and decides every write; this class draws the
// lighting the service publishes and hands each control change on (signals) for the service to
// plan and send. It never talks to the keyboard itself and keeps no state of its own beyond
// what the controls show.

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lighting/lighting_change.h"
#include "lighting/lighting_panel_model.h"
#include "lighting/per_key_paint.h"
#include "service/session_snapshot.h"
#include "texts/skin_layout.h"
#include "texts/skin_placement.h"

class QComboBox;
class QLabel;

namespace qv::ui {
class TextLookup;
}

namespace qv::gui {

class SkinColorButton;
class PictureButton;
class PictureSlider;

class LightingPanel final : public QWidget {
    Q_OBJECT

public:
    // `skinFolder` holds the panel's pictures.
    LightingPanel(QWidget* window, std::filesystem::path skinFolder);
    ~LightingPanel() override;

    // Set-up: each of the skin's lighting controls in window coordinates, then the end of the
    // placing with the skin (the direction group's other places) and the texts.
    void Place(const ui::PlacedControl& placed);
    void FinishPlacement(const ui::SkinFile& skin, const ui::TextLookup& lookup);
    // Captions and mode names again, after a language change.
    void LoadTexts();

    // The lighting as the keyboard service last published it.
    void ShowKeyboardLighting(const service::LightingSnapshot& snapshot);

    // ---- Lamp ----
    void OpenPanel();
    void ClosePanel();
    void ToggleLamp();
    [[nodiscard]] bool IsOpen() const { return Model().IsOpen(); }

    // A key clicked on the keyboard view while the panel is open.
    void PaintKey(lighting::ViewKey key);
    // What the keyboard view shows on the key: its own colour in the per-key mode, the single
    // or preset colour of the other coloured modes, nothing while the panel is closed.
    [[nodiscard]] std::optional<QColor> PreviewOf(lighting::ViewKey key) const;

    // ---- What tests look at ----
    [[nodiscard]] const lighting::LightingPanelModel& Model() const { return shown_.panel; }
    [[nodiscard]] const lighting::PerKeyPaint& Colours() const { return shown_.colours; }
    // A control by its skin key; null for keys the panel has no control for. The controls
    // the closed panel hides are made when it first opens, or by this.
    [[nodiscard]] QWidget* Control(std::string_view skinKey);

signals:
    // A control of the shown profile's lighting record changed, to be written at once.
    void LightingChangeRequested(int profile, const qv::lighting::LightingChange& change);
    // A per-key colour or scheme change, to be kept and written at once.
    void ColourChangeRequested(const qv::lighting::ColourChange& change);
    // The lamp was clicked: the panel is to open (true) or close.
    void LampRequested(bool open);
    // The panel opened (key clicks now paint) or closed.
    void OpenChanged(bool open);
    // The controls the closed panel hides have been made: they take part in the tab order now.
    void ControlsBuilt();
    // What PreviewOf gives may have changed.
    void PreviewChanged();
    // The user colour file could not be read; the text says why.
    void ColourFileProblem(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControl(std::string_view key, const ui::SkinRect& geometry);
    void MakeControl(std::string_view key, const QRect& geometry);
    // Makes the controls that wait for the panel's first opening, with their pictures.
    void BuildControls();
    void LoadPictures(std::span<const std::string_view> names);
    // Where the skin placed a control, made yet or not, in panel coordinates once placed.
    [[nodiscard]] std::optional<QRect> PlacedArea(std::string_view key) const;
    void ConnectControls();
    [[nodiscard]] QPixmap Picture(std::string_view name) const;
    template <typename Widget>
    [[nodiscard]] Widget* Find(std::string_view key) const;

    // Control changes.
    void Send(lighting::LightingChange::Control control, int value);
    void Send(lighting::ColourChange change);
    void OnModeChosen(int position);
    void OnColourChosen(const QColor& colour);
    void OnSchemeChosen(int scheme);
    void OnSchemeRenamed(const QString& name);
    void OnPaintTool(int tool);
    void OnBaseColour(const QColor& colour);
    void OnKeyColour(const QColor& colour);

    // What the controls show.
    void ShowAll();
    // Fills the mode list from the keyboard's modes; the selection alone follows changes.
    void ShowModes();
    void ShowModeSelection();
    void ShowValues();
    void ShowDirection();
    void ShowSchemeControls();
    void ShowSchemeNames();
    void ShowVisibility();
    void ReportColourFileProblem();

    std::filesystem::path skinFolder_;
    // What the service published last.
    service::LightingSnapshot shown_;
    const ui::TextLookup* lookup_ = nullptr;
    ui::SkinFile skin_;

    std::map<std::string, QWidget*, std::less<>> controls_;
    // The controls not made yet, with their places.
    struct PlannedControl {
        std::string key;
        QRect geometry;
    };
    std::vector<PlannedControl> planned_;
    bool built_ = false;
    std::map<std::string, QPixmap, std::less<>> pictures_;
    std::optional<std::string> problemShown_;
};

}  // namespace qv::gui
