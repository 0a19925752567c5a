#include "driver/device_lighting.h"

#include <algorithm>
#include <vector>

#include "device/command_result.h"

namespace qv::driver {

using namespace lighting;

int DeviceLighting::ReadLighting(ReadKind kind, const std::function<void()>& userSchemes) {
    modeIndex_.Clear();
    mirror_.settings.ClearModeList();
    mirror_.settingsRead = false;
    mirror_.recordsRead = {};
    DeviceSettingsBlock block;
    if (ReadSettingsBlock(block) != device::kSuccess) {
        return -1;
    }
    mirror_.settings = block;
    mirror_.settingsRead = true;
    modeIndex_.Fill(block.ModeList());

    (void)commands_.BeginTransfer();
    if (kind == ReadKind::Reconnect && block.IsModeSupported(kPerKeyColourMode) && userSchemes) {
        userSchemes();
    }
    for (int profile = 0; profile < static_cast<int>(device::kProfileCount); ++profile) {
        std::array<std::uint8_t, device::kPayloadSize> bytes{};
        if (commands_.ReadLighting(bytes, kRecordReadLength, RecordOffset(profile)) ==
            device::kSuccess) {
            LightingRecord& record = mirror_.records[static_cast<std::size_t>(profile)];
            std::ranges::copy(bytes, record.begin());
            mirror_.recordsRead[static_cast<std::size_t>(profile)] = true;
        }
    }
    (void)commands_.EndTransfer();

    const bool wasOpen = state_.lightingPanelOpen;
    state_ =
        DecodeLightingState(mirror_.records[static_cast<std::size_t>(currentProfile_)], state_);
    const bool switchOn = panelSwitch_.PanelSwitchOn();
    state_.lightingPanelOpen = kind == ReadKind::Reconnect ? switchOn : (wasOpen || switchOn);
    return 0;
}

LightingWriteResult DeviceLighting::WriteLightingBytes(std::uint16_t areaOffset, Bytes bytes) {
    return WriteLightingBytes({{areaOffset, bytes}});
}

LightingWriteResult DeviceLighting::WriteLightingBytes(
    std::initializer_list<std::pair<std::uint16_t, Bytes>> writes) {
    return WriteLightingBytes(std::span(writes.begin(), writes.size()));
}

LightingWriteResult DeviceLighting::WriteLightingBytes(
    std::span<const std::pair<std::uint16_t, Bytes>> writes) {
    LightingWriteTally tally;
    tally.Note(commands_.BeginTransfer(), false);
    for (const auto& [offset, bytes] : writes) {
        tally.Note(commands_.WriteLighting(bytes, offset), true);
    }
    tally.Note(commands_.EndTransfer(), false);
    return tally.Result();
}

LightingWriteResult DeviceLighting::Write(const LightingWrite& write) {
    if (write.empty() || write.profile < 0 ||
        write.profile >= static_cast<int>(device::kProfileCount)) {
        return {};
    }
    std::vector<std::pair<std::uint16_t, Bytes>> writes;
    writes.reserve(write.fields.size());
    for (const FieldWrite& field : write.fields) {
        writes.emplace_back(RecordOffset(write.profile, field.field), field.bytes);
    }
    const LightingWriteResult result = WriteLightingBytes(writes);
    LightingRecord& record = mirror_.records[static_cast<std::size_t>(write.profile)];
    ApplyToRecord(write, record);
    if (write.profile == currentProfile_) {
        const bool open = state_.lightingPanelOpen;
        state_ = DecodeLightingState(record, state_);
        state_.lightingPanelOpen = open;
    }
    return result;
}

int DeviceLighting::ReadRecord(int profile) {
    if (profile < 0 || profile >= static_cast<int>(device::kProfileCount)) {
        return device::kSuccess;
    }
    const auto index = static_cast<std::size_t>(profile);
    std::array<std::uint8_t, device::kPayloadSize> bytes{};
    const int begun = commands_.BeginTransfer();
    const int read = begun == device::kSuccess
                         ? commands_.ReadLighting(bytes, kRecordReadLength, RecordOffset(profile))
                         : begun;
    (void)commands_.EndTransfer();
    mirror_.recordsRead[index] = read == device::kSuccess;
    if (read != device::kSuccess) {
        return read;
    }
    std::ranges::copy(bytes, mirror_.records[index].begin());
    if (profile == currentProfile_) {
        const bool open = state_.lightingPanelOpen;
        state_ = DecodeLightingState(mirror_.records[index], state_);
        state_.lightingPanelOpen = open;
    }
    return device::kSuccess;
}

LightingWriteResult DeviceLighting::RestoreLightingDefaults() {
    const LightingWriteResult result =
        WriteLightingBytes(RecordOffset(currentProfile_), kDefaultLightingBytes);
    std::ranges::copy(kDefaultLightingBytes,
                      mirror_.records[static_cast<std::size_t>(currentProfile_)].begin());
    state_.mode = 1;
    state_.brightness = 4;
    state_.speed = 2;
    state_.direction = 0;
    state_.multicolour = true;
    state_.colour = 0xFFFFFF;
    state_.reportRate = 0;
    return result;
}

}  // namespace qv::driver
