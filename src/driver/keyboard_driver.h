#pragma once

// The one place that holds the keyboard's command sequences: what is read and written, in
// which order and inside which transfer brackets. The keyboard service calls it on its worker;
// nothing above the service sends a command.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

#include <filesystem>
#include <string_view>

#include "device/commands.h"
#include "device/report_exchange.h"
#include "driver/active_profile.h"
#include "driver/device_image_writer.h"
#include "driver/device_lighting.h"
#include "driver/macro_area_reader.h"
#include "driver/profile_capture.h"
#include "keys/key_page.h"
#include "lighting/device_settings_block.h"
#include "lighting/per_key_paint.h"
#include "profiles/device_facts.h"
#include "profiles/profile_image.h"

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
    KeyboardDriver(device::ReportExchange& exchange, std::chrono::milliseconds endTransferPause,
                   const lighting::PanelSwitchStore& panelSwitch)
        : commands_(exchange, endTransferPause), lighting_(commands_, panelSwitch) {}
    KeyboardDriver(const KeyboardDriver&) = delete;
    KeyboardDriver& operator=(const KeyboardDriver&) = delete;

    // ---- What the keyboard is ----
    // The firmware version of the settings block; 0 when it cannot be read.
    [[nodiscard]] std::uint16_t ReadFirmwareVersion();
    [[nodiscard]] int ReadSettings(lighting::DeviceSettingsBlock& block);
    [[nodiscard]] int ReadKeyDefaults(keys::KeyDefaultTable& table);
    // The key pages of every profile, or of one (0..3); the keyboard's own default table when
    // it can be read, the built-in one otherwise.
    [[nodiscard]] KeyPagesRead ReadKeyPages(std::optional<int> onlyProfile);
    // The macro area as far as the settings block's capacity goes.
    [[nodiscard]] MacroAreaRead ReadMacroArea();
    // The settings block and the four lighting records; nothing when the settings block could
    // not be read.
    [[nodiscard]] std::optional<lighting::LightingMirror> ReadLightingMirror();
    // One colour slot or a whole colour page of a profile.
    [[nodiscard]] LightingWriteResult WriteColours(const lighting::ColourWrite& write);

    // ---- The active profile, cached: only a switch or a removal changes it ----
    // The cache when known; otherwise read. -1 when the keyboard cannot be read.
    [[nodiscard]] int ActiveProfile() { return activeProfile_.GetActiveProfile(commands_); }
    [[nodiscard]] int CachedActiveProfile() const { return activeProfile_.Cached(); }
    void ForgetActiveProfile() { activeProfile_.Forget(); }
    // Read, change, write back; the cache says what the keyboard took. The result of the
    // command that failed.
    [[nodiscard]] int SetActiveProfile(int profile) {
        return activeProfile_.SetActiveProfile(commands_, profile);
    }

    // ---- The key configuration ----
    // The four key pages and the macro area, decoded.
    [[nodiscard]] CaptureResult Capture(int activeProfile, const profiles::DeviceFacts& facts,
                                        std::u16string_view newMacroNamePrefix);
    // The same, kept in the profile file at `path`; on failure the file is left as it was.
    [[nodiscard]] CaptureResult CaptureToFile(const std::filesystem::path& path, int activeProfile,
                                              const profiles::DeviceFacts& facts,
                                              std::u16string_view newMacroNamePrefix);
    // The working image to the keyboard: the macro area and the selected key pages, in one
    // transfer group, from a copy taken into the device image.
    [[nodiscard]] DeviceWriteResult WriteImage(profiles::ProfileImage& image,
                                               profiles::DeviceImage& device, PageSelection pages,
                                               const keys::KeyDefaultTable& keyDefaults,
                                               std::size_t macroCapacity, int activeProfile);

    // ---- Lighting: the mirror of the settings block and the records, and their writes ----
    [[nodiscard]] DeviceLighting& Lighting() { return lighting_; }
    [[nodiscard]] const DeviceLighting& Lighting() const { return lighting_; }

private:
    device::DeviceCommands commands_;
    ActiveProfileCache activeProfile_;
    DeviceLighting lighting_;
};

}  // namespace qv::driver
