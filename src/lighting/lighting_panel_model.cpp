#include "lighting/lighting_panel_model.h"

#include <algorithm>

#include "lighting/mode_catalogue.h"

namespace qv::lighting {

void LightingPanelModel::Refresh(const LightingMirror& mirror, const LightingState& state,
                                 int currentProfile, RefreshKind kind) {
    const bool open = kind == RefreshKind::Arrival ? state.lightingPanelOpen : IsOpen();
    currentProfile_ = currentProfile;
    record_ = mirror.records[static_cast<std::size_t>(
        std::clamp(currentProfile, 0, static_cast<int>(layout::kProfileCount) - 1))];
    state_ = state;
    state_.lightingPanelOpen = open;
    modes_.Fill(mirror.settings.ModeList());
    perKeySupported_ = mirror.settings.IsModeSupported(kPerKeyColourMode);
}

void LightingPanelModel::Open() {
    state_.lightingPanelOpen = true;
    if (panelSwitch_ != nullptr) {
        panelSwitch_->SetPanelSwitch(true);
    }
}

void LightingPanelModel::Close() {
    state_.lightingPanelOpen = false;
    if (panelSwitch_ != nullptr) {
        panelSwitch_->SetPanelSwitch(false);
    }
}

int LightingPanelModel::ShownPresetColour() const {
    return state_.presetColour >= 0 && state_.presetColour < kPresetCount ? state_.presetColour : 0;
}

void LightingPanelModel::Take(const LightingWrite& write) {
    const bool writesMode = std::ranges::any_of(
        write.fields, [](const FieldWrite& f) { return f.field == kModeField; });
    const int mode = state_.mode;
    const bool open = state_.lightingPanelOpen;
    ApplyToRecord(write, record_);
    state_ = DecodeLightingState(record_, state_);
    state_.lightingPanelOpen = open;
    // A mode chosen without a write (one without a catalogue entry) stays selected.
    if (!writesMode) {
        state_.mode = mode;
    }
}

LightingWrite LightingPanelModel::SelectModeAt(int position) {
    const int mode = modes_.ModeAtPosition(position);
    return mode == 0 ? LightingWrite{} : SelectMode(mode);
}

LightingWrite LightingPanelModel::SelectMode(int mode) {
    LightingWrite write = Start();
    if (modes_.ModePositionOf(mode) < 0 || mode == state_.mode) {
        return write;
    }
    const std::optional<ModeTraits> traits = CatalogueEntry(mode);
    if (!traits) {
        state_.mode = mode;
        return write;
    }
    if (traits->multicolourWithMode) {
        write.Add(kMulticolourField, {static_cast<std::uint8_t>(state_.multicolour ? 1 : 0)});
    }
    write.Add(kModeField, {static_cast<std::uint8_t>(mode)});
    Take(write);
    return write;
}

LightingWrite LightingPanelModel::SetBrightness(int brightness) {
    LightingWrite write = Start();
    brightness = std::clamp(brightness, 0, kMaxLevel);
    if (brightness != state_.brightness) {
        write.Add(kBrightnessField, {static_cast<std::uint8_t>(brightness)});
        Take(write);
    }
    return write;
}

LightingWrite LightingPanelModel::SetSpeedPosition(int position) {
    LightingWrite write = Start();
    const int speed = kMaxLevel - std::clamp(position, 0, kMaxLevel);
    if (speed != state_.speed) {
        write.Add(kSpeedField, {static_cast<std::uint8_t>(speed)});
        Take(write);
    }
    return write;
}

LightingWrite LightingPanelModel::SetDirection(std::uint8_t direction) {
    LightingWrite write = Start();
    direction = direction == kDirectionFirst ? kDirectionFirst : kDirectionSecond;
    if (direction != state_.direction) {
        write.Add(kDirectionField, {direction});
        Take(write);
    }
    return write;
}

LightingWrite LightingPanelModel::SetColour(Colour colour) {
    LightingWrite write = Start();
    colour &= 0xFFFFFF;
    if (state_.multicolour || colour != state_.colour) {
        const auto rgb = ColourToBytes(colour);
        write.Add(kMulticolourField, {0});
        write.Add(kColourField, {rgb[0], rgb[1], rgb[2]});
        Take(write);
    }
    return write;
}

LightingWrite LightingPanelModel::ToggleMulticolour() {
    LightingWrite write = Start();
    write.Add(kMulticolourField, {static_cast<std::uint8_t>(state_.multicolour ? 0 : 1)});
    Take(write);
    return write;
}

LightingWrite LightingPanelModel::SetPresetColour(int preset) {
    LightingWrite write = Start();
    if (preset >= 0 && preset < kPresetCount && preset != state_.presetColour) {
        write.Add(kPresetColourField, {static_cast<std::uint8_t>(preset)});
        Take(write);
    }
    return write;
}

LightingWrite LightingPanelModel::SetReportRate(int rate) {
    LightingWrite write = Start();
    if (rate >= 0 && rate <= kMaxReportRate && rate != state_.reportRate) {
        write.Add(kReportRateField, {static_cast<std::uint8_t>(rate)});
        Take(write);
    }
    return write;
}

LightingWrite LightingPanelModel::Change(const LightingChange& change) {
    using Control = LightingChange::Control;
    switch (change.control) {
        case Control::Mode:
            return SelectMode(change.value);
        case Control::Brightness:
            return SetBrightness(change.value);
        case Control::Speed:
            return SetSpeedPosition(kMaxLevel - std::clamp(change.value, 0, kMaxLevel));
        case Control::Direction:
            return SetDirection(static_cast<std::uint8_t>(change.value));
        case Control::SingleColour:
            return SetColour(static_cast<Colour>(change.value));
        case Control::Multicolour:
            if (change.value != LightingChange::kToggle &&
                (change.value != 0) == state_.multicolour) {
                return Start();
            }
            return ToggleMulticolour();
        case Control::PresetColour:
            return SetPresetColour(change.value);
        case Control::ReportRate:
            return SetReportRate(change.value);
    }
    return Start();
}

LightingPanelModel::Plan LightingPanelModel::PlanChanges(std::span<const LightingChange> changes) {
    Plan plan;
    plan.write = Start();
    for (const LightingChange& change : changes) {
        const LightingWrite write = Change(change);
        plan.changed.push_back(!write.empty());
        plan.write.Append(write);
    }
    std::vector<FieldWrite> fields;
    for (const FieldWrite& field : plan.write.fields) {
        const auto last = std::find_if(fields.rbegin(), fields.rend(), [&](const auto& earlier) {
            return earlier.field == field.field && earlier.bytes.size() == field.bytes.size();
        });
        if (last == fields.rend() || last->bytes != field.bytes) {
            fields.push_back(field);
        }
    }
    plan.write.fields = std::move(fields);
    return plan;
}

std::vector<LightingWrite> LightingPanelModel::RestoreDefaults() {
    std::vector<LightingWrite> writes;
    if (!IsOpen()) {
        return writes;
    }
    if (LightingWrite select = SelectMode(1); !select.empty()) {
        writes.push_back(std::move(select));
    }
    LightingWrite defaults = Start();
    defaults.Add(
        0, std::vector<std::uint8_t>(kDefaultLightingBytes.begin(), kDefaultLightingBytes.end()));
    Take(defaults);
    writes.push_back(std::move(defaults));
    return writes;
}

}  // namespace qv::lighting
