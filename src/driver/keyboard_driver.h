#pragma once

// The one place that holds the keyboard's command sequences: what is read and written, in
// which order and inside which transfer brackets. The keyboard service calls it on its worker;
// nothing above the service sends a command.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "device/commands.h"
#include "device/report_exchange.h"
#include "keys/key_page.h"
#include "lighting/device_lighting.h"
#include "lighting/device_settings_block.h"
#include "lighting/per_key_paint.h"
#include "macros/macro_area_reader.h"

namespace qv::driver {

// Every key page as the keyboard holds it, with the table they are decoded against.
struct KeyPagesRead {
    int result = device::kSuccess;  // of the first failing read
    int failedProfile = -1;         // the page that could not be read (0..3); -1 for none
    keys::KeyDefaultTable defaults = keys::kBuiltInKeyDefaultTable;
    std::array<keys::KeyPage, device::kProfileCount> pages{};
};

class KeyboardDriver {
public:
    KeyboardDriver(device::ReportExchange& exchange, std::chrono::milliseconds endTransferPause)
        : commands_(exchange, endTransferPause) {}
    KeyboardDriver(const KeyboardDriver&) = delete;
    KeyboardDriver& operator=(const KeyboardDriver&) = delete;

    // The command set under the sequences; the service's own use only.
    [[nodiscard]] device::DeviceCommands& Commands() { return commands_; }

    [[nodiscard]] int ReadSettings(lighting::DeviceSettingsBlock& block);
    [[nodiscard]] int ReadKeyDefaults(keys::KeyDefaultTable& table);
    // The key pages of every profile, or of one (0..3); the keyboard's own default table when
    // it can be read, the built-in one otherwise.
    [[nodiscard]] KeyPagesRead ReadKeyPages(std::optional<int> onlyProfile);
    // The macro area as far as the settings block's capacity goes.
    [[nodiscard]] macros::MacroAreaRead ReadMacroArea();
    // The first `length` bytes of one profile's (0..3) lighting record.
    [[nodiscard]] int ReadLightingRecord(int profile, std::uint8_t length,
                                         std::array<std::uint8_t, device::kPayloadSize>& bytes);
    // The settings block and the four lighting records; nothing when the settings block could
    // not be read.
    [[nodiscard]] std::optional<lighting::LightingMirror> ReadLightingMirror();
    // One colour slot or a whole colour page of a profile.
    [[nodiscard]] lighting::LightingWriteResult WriteColours(const lighting::ColourWrite& write);

private:
    device::DeviceCommands commands_;
};

}  // namespace qv::driver
