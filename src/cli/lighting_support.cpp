#include "cli/lighting_support.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "lighting/mode_catalogue.h"
#include "lighting/mode_index_table.h"

namespace qv::cli {

std::optional<lighting::Colour> ParseColour(std::string_view text) {
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    }
    unsigned rgb = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rgb, 16);
    if (text.size() != 6 || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    // RRGGBB on the command line; red in the low byte in memory.
    return static_cast<lighting::Colour>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) |
                                         (rgb & 0xFF) << 16);
}

std::string ColourText(lighting::Colour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return text;
}

std::optional<int> ParseReportRate(std::string_view text) {
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    for (int index = 0; index <= lighting::kMaxReportRate; ++index) {
        if (value == index || value == kReportRatesHz[index]) {
            return index;
        }
    }
    return std::nullopt;
}

std::string ModeWithName(const CommandContext& context, int mode) {
    return std::to_string(mode) + " (" + context.modeName(mode) + ")";
}

std::vector<int> SettableModes(const lighting::DeviceSettingsBlock& settings) {
    lighting::ModeIndexTable offered;
    offered.Fill(settings.ModeList());
    std::vector<int> modes;
    for (int position = 0; position < offered.size(); ++position) {
        const int mode = offered.ModeAtPosition(position);
        if (lighting::HasCatalogueEntry(mode) && std::ranges::find(modes, mode) == modes.end()) {
            modes.push_back(mode);
        }
    }
    return modes;
}

std::string ModeListText(const CommandContext& context, const std::vector<int>& modes) {
    std::string text;
    for (int mode : modes) {
        text += (text.empty() ? "" : ", ") + ModeWithName(context, mode);
    }
    return text.empty() ? "none" : text;
}

int Written(CommandContext& context, const std::string& done, nlohmann::json details) {
    if (const auto failure = context.keyboard->Save()) {
        return Fail(context, "the keyboard's state could not be kept: " + *failure,
                    kExitSetupError);
    }
    return Succeed(context, done, std::move(details));
}

int FailWrite(CommandContext& context, const service::OperationResult& written,
              const std::string& what, service::HeldAfterFailure held) {
    if (written.status != service::OperationStatus::PartlyWritten &&
        written.status != service::OperationStatus::NotWritten) {
        return FailOperation(context, written, what);
    }
    std::string after;
    switch (held) {
        case service::HeldAfterFailure::Old:
            after = "; the keyboard was read back and holds the lighting as it was";
            break;
        case service::HeldAfterFailure::Part:
            after =
                "; the keyboard was read back and holds part of the change: run the command "
                "again to repair it";
            break;
        case service::HeldAfterFailure::New:
        case service::HeldAfterFailure::Unknown:
            after = written.status == service::OperationStatus::PartlyWritten
                        ? "; the lighting may be partly changed: run the command again to "
                          "repair it"
                        : "; the lighting was left as it was";
            break;
    }
    return Fail(context,
                "could not " + what + ": the keyboard did not take the write (result " +
                    std::to_string(written.commandResult) + ")" + KeptStateCause(context) + after,
                kExitDeviceError);
}

}  // namespace qv::cli
