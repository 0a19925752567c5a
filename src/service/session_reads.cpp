// Reads of what the keyboard holds now, for the command line's commands that show it.

#include "service/keyboard_session.h"

namespace qv::service {
namespace {

OperationResult Unread(int commandResult) {
    OperationResult result{OperationStatus::KeyboardUnread};
    result.commandResult = commandResult;
    return result;
}

}  // namespace

Read<lighting::DeviceSettingsBlock> KeyboardSession::ReadSettingsBlock() {
    Read<lighting::DeviceSettingsBlock> read;
    if (const int result = driver_.ReadSettings(read.value); result != device::kSuccess) {
        read.result = Unread(result);
    }
    return read;
}

Read<lighting::LightingMirror> KeyboardSession::ReadLightingMirror() {
    Read<lighting::LightingMirror> read;
    if (auto mirror = driver_.ReadLightingMirror()) {
        read.value = std::move(*mirror);
    } else {
        read.result = Unread(device::kNoReply);
    }
    return read;
}

Read<driver::KeyPagesRead> KeyboardSession::ReadKeyPages(std::optional<int> onlyProfile) {
    Read<driver::KeyPagesRead> read;
    read.value = driver_.ReadKeyPages(onlyProfile);
    if (read.value.result != device::kSuccess) {
        read.result = Unread(read.value.result);
    }
    return read;
}

Read<MacroAreaDump> KeyboardSession::ReadMacroArea() {
    Read<MacroAreaDump> read;
    const driver::MacroAreaRead area = driver_.ReadMacroArea();
    if (area.result != device::kSuccess) {
        read.result = Unread(area.result);
        return read;
    }
    read.value.decoded = macros::DecodeMacroArea(area.area, options_.newMacroNamePrefix);
    read.value.sizeCut = area.sizeCut;
    return read;
}

}  // namespace qv::service
