#pragma once

// The tool's copy of the keyboard's settings block and lighting area, the decoded state of the
// profile being shown, and the writes that change lighting fields at once.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <utility>

#include "device/command_result.h"
#include "device/commands.h"
#include "lighting/device_settings_block.h"
#include "lighting/lighting_mirror.h"
#include "lighting/lighting_record.h"
#include "lighting/lighting_write.h"
#include "lighting/mode_index_table.h"

namespace qv::driver {

using lighting::DeviceSettingsBlock;
using lighting::LightingMirror;
using lighting::LightingRecord;
using lighting::LightingState;
using lighting::LightingWrite;
using lighting::ModeIndexTable;
using lighting::PanelSwitchStore;

// What a lighting write did: the first command of it that failed (kSuccess when none did), and
// whether a write of lighting bytes had been sent by then, so that the keyboard may hold part of
// the change.
struct LightingWriteResult {
    int commandResult = device::kSuccess;
    bool mayBePartlyWritten = false;

    [[nodiscard]] bool Succeeded() const { return commandResult == device::kSuccess; }
};

// Collects the results of the commands of one bracket into a LightingWriteResult.
class LightingWriteTally {
public:
    // `wroteBytes`: the command carried bytes that a keyboard which did not answer may still
    // have taken.
    void Note(int commandResult, bool wroteBytes) {
        if (result_.Succeeded() && commandResult != device::kSuccess) {
            result_.commandResult = commandResult;
        }
        result_.mayBePartlyWritten = result_.mayBePartlyWritten || wroteBytes;
    }
    [[nodiscard]] LightingWriteResult Result() const {
        LightingWriteResult result = result_;
        if (result.Succeeded()) {
            result.mayBePartlyWritten = false;
        }
        return result;
    }

private:
    LightingWriteResult result_;
};

class DeviceLighting {
public:
    enum class ReadKind {
        Refresh,    // profile switch, profile change on the keyboard, language change
        Reconnect,  // after the keyboard (re)appeared
    };

    DeviceLighting(device::DeviceCommands& commands, const PanelSwitchStore& panelSwitch)
        : commands_(commands), panelSwitch_(panelSwitch) {}

    [[nodiscard]] int ReadSettingsBlock(DeviceSettingsBlock& block) {
        return commands_.ReadSettings(block.bytes());
    }

    // Reads the settings block and the four records into the mirror and decodes the record of
    // the current profile. 0, or -1 when the settings block could not be read (the mode table
    // then stays empty and the state keeps its values). On reconnect, `userSchemes` runs inside
    // the transfer bracket before the records are read when the keyboard has per-key colours.
    int ReadLighting(ReadKind kind, const std::function<void()>& userSchemes = {});

    // One field group of the current profile's record, written at once inside its own bracket;
    // several groups go in one bracket in the order given. Every write is sent even after one
    // failed: the panel shows the new values either way, and the next read shows what the
    // keyboard really holds. The command line, which has no next read, reports the failure.
    [[nodiscard]] LightingWriteResult WriteLightingBytes(std::uint16_t areaOffset, Bytes bytes);
    [[nodiscard]] LightingWriteResult WriteLightingBytes(
        std::initializer_list<std::pair<std::uint16_t, Bytes>> writes);
    [[nodiscard]] LightingWriteResult WriteLightingBytes(
        std::span<const std::pair<std::uint16_t, Bytes>> writes);

    // A change of one profile's record, in one bracket; the mirror and, for the current
    // profile, the state take the new values whether or not the keyboard took them (the panel
    // shows them either way). An empty change sends nothing.
    [[nodiscard]] LightingWriteResult Write(const LightingWrite& write);

    // Reads one profile's record again, inside its own bracket: what the keyboard holds after
    // a write it did not take in full. The mirror and, for the current profile, the state take
    // it; a record that cannot be read is marked as not read.
    [[nodiscard]] int ReadRecord(int profile);

    // Writes the default 35 bytes into the current profile's record and takes them into the
    // state. Bytes 35..63 of the record stay as they are.
    [[nodiscard]] LightingWriteResult RestoreLightingDefaults();

    [[nodiscard]] int currentProfile() const { return currentProfile_; }
    void SetCurrentProfile(int profile) { currentProfile_ = profile; }

    [[nodiscard]] const LightingMirror& mirror() const { return mirror_; }
    [[nodiscard]] const LightingState& state() const { return state_; }
    [[nodiscard]] LightingState& state() { return state_; }
    [[nodiscard]] const ModeIndexTable& modeIndex() const { return modeIndex_; }

private:
    device::DeviceCommands& commands_;
    const PanelSwitchStore& panelSwitch_;
    LightingMirror mirror_;
    LightingState state_;
    ModeIndexTable modeIndex_;
    int currentProfile_ = 0;
};

}  // namespace qv::driver
