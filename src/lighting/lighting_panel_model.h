#pragma once

// The lighting panel without its widgets: the modes it offers (the keyboard's list), which
// controls the selected mode shows, the open/closed lamp, and for every control change the
// write of the current profile's record it makes, or none when the value is already held.
// The model changes its state as the panel shows it at once; the writes go to the keyboard
// through the keyboard service, and a write the keyboard does not take is seen at the next read.

#include <span>
#include <vector>

#include "lighting/lighting_change.h"
#include "lighting/lighting_mirror.h"
#include "lighting/lighting_record.h"
#include "lighting/lighting_write.h"
#include "lighting/mode_index_table.h"
#include "lighting/panel_controls.h"

namespace qv::lighting {

class LightingPanelModel {
public:
    enum class RefreshKind {
        Arrival,  // the keyboard was read after it appeared: the lamp follows the kept switch
        Read,     // any other read: the lamp stays as the user left it
    };

    // `panelSwitch` keeps the lamp between runs; without one the lamp is not kept.
    explicit LightingPanelModel(PanelSwitchStore* panelSwitch = nullptr)
        : panelSwitch_(panelSwitch) {}

    // Takes the keyboard's state after a read: its mode list, the current profile's record.
    void Refresh(const LightingMirror& mirror, const LightingState& state, int currentProfile,
                 RefreshKind kind);

    // ---- Lamp ----
    // The caller has had the profile switch accept first (it may refuse, and the panel then
    // stays closed).
    void Open();
    void Close();
    [[nodiscard]] bool IsOpen() const { return state_.lightingPanelOpen; }

    // ---- What the panel shows ----
    [[nodiscard]] const LightingState& State() const { return state_; }
    [[nodiscard]] int CurrentProfile() const { return currentProfile_; }
    // The modes offered, in the keyboard's order.
    [[nodiscard]] const ModeIndexTable& Modes() const { return modes_; }
    // The selected mode's position in the mode list, or -1 when the keyboard does not list it.
    [[nodiscard]] int SelectedPosition() const { return modes_.ModePositionOf(state_.mode); }
    [[nodiscard]] PanelVisibility Visibility() const {
        return VisibleControls(state_.mode, IsOpen());
    }
    // Key clicks paint only while the panel is open on the per-key colour mode.
    [[nodiscard]] bool PerKeyModeSelected() const {
        return IsOpen() && state_.mode == kPerKeyColourMode && SelectedPosition() >= 0;
    }
    [[nodiscard]] bool PerKeyModeSupported() const { return perKeySupported_; }
    // 0..4 as the speed slider shows it: 4 - speed.
    [[nodiscard]] int SpeedPosition() const { return kMaxLevel - state_.speed; }
    // A preset colour outside 0..3 shows as red.
    [[nodiscard]] int ShownPresetColour() const;

    // ---- Control changes: each returns the write to make ----
    // Only a mode the keyboard lists is selected. A mode without a catalogue entry becomes the
    // selection but writes nothing; a catalogued mode writes its byte, with the current
    // multicolour flag first for the modes that take it.
    [[nodiscard]] LightingWrite SelectModeAt(int position);
    [[nodiscard]] LightingWrite SelectMode(int mode);
    [[nodiscard]] LightingWrite SetBrightness(int brightness);
    [[nodiscard]] LightingWrite SetSpeedPosition(int position);
    [[nodiscard]] LightingWrite SetDirection(std::uint8_t direction);
    // A colour chosen in either picker: multicolour off, then the colour.
    [[nodiscard]] LightingWrite SetColour(Colour colour);
    [[nodiscard]] LightingWrite ToggleMulticolour();
    [[nodiscard]] LightingWrite SetPresetColour(int preset);
    [[nodiscard]] LightingWrite SetReportRate(int rate);
    // One control's change, as the setters above make it.
    [[nodiscard]] LightingWrite Change(const LightingChange& change);

    // Several changes in one bracket, in the order given: what each writes (nothing when the
    // record already holds its value) and the fields to send, where a field written again with
    // the value it was just given (the flag that goes with a mode after a colour turned it off)
    // is left out.
    struct Plan {
        LightingWrite write;
        std::vector<bool> changed;  // one per change
    };
    [[nodiscard]] Plan PlanChanges(std::span<const LightingChange> changes);

    // The Default command's lighting part, only while the panel is open (nothing otherwise):
    // mode 1 selected as a selection would, then the record's 35 default bytes, each in its
    // own bracket. The per-key side (the default schemes) is PerKeyPaint's.
    [[nodiscard]] std::vector<LightingWrite> RestoreDefaults();

    static constexpr int kMaxLevel = 4;
    static constexpr int kPresetCount = 4;

private:
    [[nodiscard]] LightingWrite Start() const { return {currentProfile_, {}}; }
    void Take(const LightingWrite& write);

    PanelSwitchStore* panelSwitch_ = nullptr;
    LightingState state_;
    LightingRecord record_{};
    ModeIndexTable modes_;
    int currentProfile_ = 0;
    bool perKeySupported_ = false;
};

}  // namespace qv::lighting
