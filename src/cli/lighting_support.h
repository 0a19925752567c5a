#pragma once

// What the lighting and the per-key colour commands share: colours as RRGGBB, report rates in
// Hz, mode names, and how a lighting write that the keyboard did not take is reported.

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_command.h"
#include "driver/device_lighting.h"
#include "lighting/device_settings_block.h"
#include "lighting/lighting_record.h"
#include "service/keyboard_session.h"

namespace qv::cli {

// "RRGGBB" or "#RRGGBB" in hex.
[[nodiscard]] std::optional<lighting::Colour> ParseColour(std::string_view text);
[[nodiscard]] std::string ColourText(lighting::Colour colour);

// The USB report rates of indices 0..3.
inline constexpr int kReportRatesHz[] = {125, 250, 500, 1000};
// 125/250/500/1000, or an index 0..3.
[[nodiscard]] std::optional<int> ParseReportRate(std::string_view text);

// "3 (Flow)".
[[nodiscard]] std::string ModeWithName(const CommandContext& context, int mode);
// The modes the keyboard lists that have settings this tool knows, in the keyboard's order.
[[nodiscard]] std::vector<int> SettableModes(const lighting::DeviceSettingsBlock& settings);
// "1 (Wave), 3 (Flow)", or "none".
[[nodiscard]] std::string ModeListText(const CommandContext& context,
                                       const std::vector<int>& modes);

// Keeps the simulated keyboard's state after a write and says what was done.
int Written(CommandContext& context, const std::string& done, nlohmann::json details);
// A lighting write the keyboard did not take in full, in words; `held` is what a read-back
// found the keyboard to hold.
int FailWrite(CommandContext& context, const service::OperationResult& written,
              const std::string& what,
              service::HeldAfterFailure held = service::HeldAfterFailure::Unknown);

}  // namespace qv::cli
