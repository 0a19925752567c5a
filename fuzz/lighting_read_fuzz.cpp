// Arbitrary bytes as what the keyboard answers for its settings block and its four lighting
// records, then control changes asked of the lighting panel over them. What the decoding
// promises:
//  - the block's values are its bytes as laid out; a mode is supported exactly when the mode
//    list holds it, and the mode table lists the non-empty entries in order, each mode at its
//    first position;
//  - a mode change is refused exactly for a mode the list lacks (no such mode) or one without a
//    catalogue entry (no settings); other controls are never refused;
//  - a record decodes to its bytes, the report rate at most 3, and the mode-7 option and trigger
//    style only from valid bytes;
//  - the panel's planned changes stay inside the record read from the keyboard, are for the
//    profile shown, and leave the record and the state as the same changes made one by one.
//
// Input: the 44-byte settings block, four 56-byte records (short input is padded with zeros),
// then pairs of [control][value] bytes, the changes.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "core/memory_layout.h"
#include "lighting/device_settings_block.h"
#include "lighting/lighting_change.h"
#include "lighting/lighting_mirror.h"
#include "lighting/lighting_panel_model.h"
#include "lighting/lighting_record.h"
#include "lighting/lighting_write.h"
#include "lighting/mode_catalogue.h"
#include "lighting/mode_index_table.h"
#include "lighting/panel_controls.h"

namespace {

using namespace qv::lighting;
namespace layout = qv::layout;

constexpr std::size_t kRecordsOffset = layout::kSettingsBlockSize;
constexpr std::size_t kChangesOffset = kRecordsOffset + layout::kProfileCount * kRecordReadLength;
constexpr std::size_t kMaxChanges = 16;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool SameExceptMode7Option(const LightingState& a, const LightingState& b) {
    return a.mode == b.mode && a.brightness == b.brightness && a.speed == b.speed &&
           a.direction == b.direction && a.multicolour == b.multicolour && a.colour == b.colour &&
           a.reportRate == b.reportRate && a.presetColour == b.presetColour &&
           a.triggerStyle == b.triggerStyle && a.lightingPanelOpen == b.lightingPanelOpen;
}

void CheckSettings(const DeviceSettingsBlock& block, const ModeIndexTable& modes) {
    const auto& bytes = block.bytes();
    Check(block.FirmwareVersion() == (bytes[8] | bytes[9] << 8));
    Check(block.ActiveProfile() == bytes[kActiveProfileOffset]);
    Check(block.MacroCapacity() == bytes[kMacroCapacityOffset] * kMacroCapacityUnit);
    const std::span<const std::uint8_t> list = block.ModeList();
    Check(std::ranges::equal(list, std::span(bytes).subspan(kModeListOffset)));

    Check(modes.size() == kModeListSize - std::ranges::count(list, 0));
    Check(modes.ModeAtPosition(-1) == 0 && modes.ModeAtPosition(modes.size()) == 0);
    for (int position = 0; position < modes.size(); ++position) {
        const int mode = modes.ModeAtPosition(position);
        Check(mode != 0 && block.IsModeSupported(mode));
        Check(modes.ModePositionOf(mode) <= position);
    }
    std::array<bool, 256> listed{};
    for (const std::uint8_t mode : list) {
        listed[mode] = mode != 0;
    }
    // The modes listed, those around the catalogue's edges, and any the input picks (bytes 0..7,
    // which the block does not interpret): every number each input would cost a search each.
    std::vector<int> probed(list.begin(), list.end());
    probed.insert(probed.end(), bytes.begin(), bytes.begin() + 8);
    for (const int mode : {-1, 0, 1, 6, 7, 18, 19, 20, 21, 255, 256}) {
        probed.push_back(mode);
    }
    for (const int mode : probed) {
        const bool supported = mode > 0 && mode < 256 && listed[static_cast<std::size_t>(mode)];
        Check(block.IsModeSupported(mode) == supported);
        Check((modes.ModePositionOf(mode) >= 0) == supported);
        if (supported) {
            Check(modes.ModeAtPosition(modes.ModePositionOf(mode)) == mode);
        }
        const auto refusal = CheckLightingChange(block, {LightingChange::Control::Mode, mode});
        Check(refusal == (!supported ? std::optional(LightingRefusal::NoSuchMode)
                          : !HasCatalogueEntry(mode)
                              ? std::optional(LightingRefusal::ModeWithoutSettings)
                              : std::nullopt));
    }
    Check(!CheckLightingChange(block, {LightingChange::Control::Brightness, 9}));
}

void CheckDecoded(const LightingRecord& record, const LightingState& previous) {
    const LightingState state = DecodeLightingState(record, previous);
    Check(state.mode == record[kModeField] && state.brightness == record[kBrightnessField]);
    Check(state.speed == record[kSpeedField] && state.direction == record[kDirectionField]);
    Check(state.multicolour == (record[kMulticolourField] != 0));
    Check(state.colour == ColourFromBytes(std::span(record).subspan(kColourField, 3)));
    Check(state.colour <= 0xFFFFFF);
    Check(state.reportRate == std::min<int>(record[kReportRateField], kMaxReportRate));
    Check(state.presetColour == record[kPresetColourField]);
    const bool option = state.mode == 7 && record[kMode7OptionField] <= 1;
    Check(state.mode7Option == (option ? record[kMode7OptionField] : previous.mode7Option));
    const bool style = record[kTriggerStyleField] <= 1;
    Check(state.triggerStyle == (style ? record[kTriggerStyleField] : previous.triggerStyle));
    Check(state.lightingPanelOpen == previous.lightingPanelOpen);
}

// What a pair of input bytes asks of the panel.
LightingChange ChangeOf(std::uint8_t control, std::uint8_t value, const ModeIndexTable& modes) {
    using Control = LightingChange::Control;
    switch (control % 8) {
        case 0:
            // A listed mode most of the time, any number otherwise.
            return {Control::Mode, value < 0xC0 ? modes.ModeAtPosition(value % 32) : value - 0xC0};
        case 1:
            return {Control::Brightness, value - 2};
        case 2:
            return {Control::Speed, value - 2};
        case 3:
            return {Control::Direction, value};
        case 4:
            return {Control::SingleColour, value * 0x10203};
        case 5:
            return {Control::Multicolour, value % 3 - 1};
        case 6:
            return {Control::PresetColour, value % 6 - 1};
        default:
            return {Control::ReportRate, value % 6 - 1};
    }
}

void CheckWrite(const LightingWrite& write, int profile) {
    Check(write.profile == profile);
    for (const FieldWrite& field : write.fields) {
        Check(!field.bytes.empty() && field.field + field.bytes.size() <= kRecordReadLength);
    }
}

void CheckPanel(const LightingMirror& mirror, int profile, std::span<const std::uint8_t> pairs,
                bool open) {
    LightingState read = DecodeLightingState(mirror.records[static_cast<std::size_t>(profile)], {});
    read.lightingPanelOpen = open;
    LightingPanelModel planned;
    LightingPanelModel stepped;
    for (LightingPanelModel* model : {&planned, &stepped}) {
        model->Refresh(mirror, read, profile, LightingPanelModel::RefreshKind::Arrival);
        Check(model->IsOpen() == open && model->CurrentProfile() == profile);
        Check(model->Modes().size() ==
              kModeListSize - std::ranges::count(mirror.settings.ModeList(), 0));
    }

    // As the keyboard session plans them: refused changes are not planned.
    std::vector<LightingChange> changes;
    for (std::size_t i = 0; i + 1 < pairs.size() && changes.size() < kMaxChanges; i += 2) {
        const LightingChange change = ChangeOf(pairs[i], pairs[i + 1], planned.Modes());
        if (!CheckLightingChange(mirror.settings, change)) {
            changes.push_back(change);
        }
    }
    const LightingState before = planned.State();
    const LightingPanelModel::Plan plan = planned.PlanChanges(changes);
    CheckWrite(plan.write, profile);
    Check(plan.changed.size() == changes.size());

    LightingRecord byPlan = mirror.records[static_cast<std::size_t>(profile)];
    LightingRecord byStep = byPlan;
    ApplyToRecord(plan.write, byPlan);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const LightingWrite write = stepped.Change(changes[i]);
        CheckWrite(write, profile);
        Check(write.empty() == !plan.changed[i]);
        ApplyToRecord(write, byStep);
    }
    Check(byPlan == byStep);
    Check(SameExceptMode7Option(planned.State(), stepped.State()));
    Check(planned.State().mode7Option == stepped.State().mode7Option);
    LightingState decoded = DecodeLightingState(byPlan, before);
    Check(SameExceptMode7Option(planned.State(), decoded));

    const PanelVisibility shown = planned.Visibility();
    Check(shown.modeCombo == open && (open || shown == PanelVisibility{}));
    Check(!planned.PerKeyModeSelected() || planned.PerKeyModeSupported());
    Check(planned.ShownPresetColour() >= 0 && planned.ShownPresetColour() < 4);

    const std::vector<LightingWrite> restored = planned.RestoreDefaults();
    Check(restored.empty() == !open);
    for (const LightingWrite& write : restored) {
        CheckWrite(write, profile);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> input(data, data + size);
    input.resize(std::max(size, kChangesOffset), 0);

    LightingMirror mirror;
    std::copy_n(input.begin(), layout::kSettingsBlockSize, mirror.settings.bytes().begin());
    mirror.settingsRead = true;
    for (std::size_t p = 0; p < layout::kProfileCount; ++p) {
        std::copy_n(
            input.begin() + static_cast<std::ptrdiff_t>(kRecordsOffset + p * kRecordReadLength),
            kRecordReadLength, mirror.records[p].begin());
        mirror.recordsRead[p] = true;
    }

    ModeIndexTable modes;
    modes.Fill(mirror.settings.ModeList());
    CheckSettings(mirror.settings, modes);

    LightingState previous;
    previous.mode7Option = 9;
    previous.triggerStyle = 9;
    previous.lightingPanelOpen = true;
    for (const LightingRecord& record : mirror.records) {
        CheckDecoded(record, previous);
        CheckDecoded(record, {});
    }

    // The profile the keyboard runs when it names one, as the session takes it.
    const int active = mirror.settings.ActiveProfile();
    const int profile = layout::IsProfileIndex(active) ? active : 0;
    const std::span<const std::uint8_t> pairs = std::span(input).subspan(kChangesOffset);
    CheckPanel(mirror, profile, pairs, size % 2 == 0);
    return 0;
}
