#include "cli/lighting_commands.h"

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <variant>
#include <vector>

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "core/hex.h"
#include "device/command_result.h"
#include "lighting/device_lighting.h"
#include "lighting/mode_catalogue.h"
#include "lighting/mode_index_table.h"

namespace qv::cli {
namespace {

using lighting::LightingState;

// The command line keeps no panel; the switch only matters to the desktop app.
class NoPanelSwitch final : public lighting::PanelSwitchStore {
public:
    bool PanelSwitchOn() const override { return false; }
};

const char* DirectionName(int direction) {
    return direction == lighting::kDirectionFirst ? "first" : "second";
}

const char* PresetName(int preset) {
    static constexpr const char* kNames[] = {"red", "yellow", "green", "blue"};
    return preset >= 0 && preset < 4 ? kNames[preset] : "?";
}

std::string ColourText(lighting::Colour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return text;
}

nlohmann::json StateJson(int profile, const LightingState& s) {
    return {{"profile", profile + 1},
            {"mode", s.mode},
            {"brightness", s.brightness},
            {"speed", s.speed},
            {"direction", DirectionName(s.direction)},
            {"multicolour", s.multicolour},
            {"colour", ColourText(s.colour)},
            {"reportRate", s.reportRate},
            {"presetColour", PresetName(s.presetColour)}};
}

std::string StateText(int profile, bool active, const LightingState& s) {
    return "Profile " + std::to_string(profile + 1) + (active ? " (active)" : "") + "\n  mode " +
           std::to_string(s.mode) + ", brightness " + std::to_string(s.brightness) + ", speed " +
           std::to_string(s.speed) + ", direction " + DirectionName(s.direction) + "\n  colour " +
           ColourText(s.colour) + (s.multicolour ? " (multicolour on)" : "") + ", preset colour " +
           PresetName(s.presetColour) + ", report rate " + std::to_string(s.reportRate) + "\n";
}

// Reads everything once and gives the decoded state of each profile.
struct LightingRecords {
    lighting::LightingMirror mirror;
    std::array<LightingState, device::kProfileCount> states;
};

std::optional<LightingRecords> ReadRecords(device::DeviceCommands& commands) {
    NoPanelSwitch panelSwitch;
    lighting::DeviceLighting lighting(commands, panelSwitch);
    if (lighting.ReadLighting(lighting::DeviceLighting::ReadKind::Refresh) != 0) {
        return std::nullopt;
    }
    LightingRecords snapshot{lighting.mirror(), {}};
    for (std::size_t p = 0; p < device::kProfileCount; ++p) {
        snapshot.states[p] = lighting::DecodeLightingState(snapshot.mirror.records[p], {});
    }
    return snapshot;
}

struct SetOptions {
    int profile = 0;
    std::optional<int> mode;
    std::optional<int> brightness;
    std::optional<int> speed;
    std::optional<std::string> direction;
    std::optional<std::string> colour;
    std::optional<std::string> multicolour;
    std::optional<int> reportRate;
    std::optional<std::string> presetColour;
};

std::optional<lighting::Colour> ParseColour(const std::string& text) {
    std::string hex = text;
    if (!hex.empty() && hex[0] == '#') {
        hex.erase(0, 1);
    }
    if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return std::nullopt;
    }
    const unsigned long rgb = std::stoul(hex, nullptr, 16);
    // RRGGBB on the command line; red in the low byte in memory.
    return static_cast<lighting::Colour>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) |
                                         (rgb & 0xFF) << 16);
}

// The writes the options ask for, with what they set in words; or the error.
struct LightingWrites {
    // Each write keeps its bytes alive until the bracket is sent.
    std::vector<std::vector<std::uint8_t>> storage;
    std::vector<std::pair<std::uint16_t, Bytes>> writes;
    std::vector<std::string> said;
};

// The options ask for something to be set.
bool AnythingToSet(const SetOptions& o) {
    return o.mode || o.brightness || o.speed || o.direction || o.colour || o.multicolour ||
           o.reportRate || o.presetColour;
}

// Brightness and speed the record already holds are not written again.
std::variant<LightingWrites, std::string> PlanWrites(
    const SetOptions& o, std::span<const std::uint8_t, device::kPayloadSize> current) {
    LightingWrites plan;
    plan.storage.reserve(10);
    const int profile = o.profile - 1;
    const auto add = [&](std::size_t field, std::vector<std::uint8_t> bytes) {
        plan.storage.push_back(std::move(bytes));
        plan.writes.emplace_back(lighting::RecordOffset(profile, field), plan.storage.back());
    };
    std::optional<bool> multicolour;
    if (o.multicolour) {
        multicolour = *o.multicolour == "on";
    }
    if (o.colour) {
        const auto colour = ParseColour(*o.colour);
        if (!colour) {
            return "colour '" + *o.colour + "' is not RRGGBB in hex";
        }
        // Choosing a colour turns multicolour off unless the same command says otherwise.
        add(lighting::kMulticolourField, {static_cast<std::uint8_t>(multicolour.value_or(false))});
        const auto rgb = lighting::ColourToBytes(*colour);
        add(lighting::kColourField, {rgb.begin(), rgb.end()});
        plan.said.push_back("colour " + ColourText(*colour));
        plan.said.push_back(std::string("multicolour ") +
                            (multicolour.value_or(false) ? "on" : "off"));
    } else if (multicolour) {
        add(lighting::kMulticolourField, {static_cast<std::uint8_t>(*multicolour)});
        plan.said.push_back(std::string("multicolour ") + (*multicolour ? "on" : "off"));
    }
    if (o.mode) {
        add(lighting::kModeField, {static_cast<std::uint8_t>(*o.mode)});
        plan.said.push_back("mode " + std::to_string(*o.mode));
    }
    if (o.brightness) {
        if (current[lighting::kBrightnessField] != *o.brightness) {
            add(lighting::kBrightnessField, {static_cast<std::uint8_t>(*o.brightness)});
        }
        plan.said.push_back("brightness " + std::to_string(*o.brightness));
    }
    if (o.speed) {
        if (current[lighting::kSpeedField] != *o.speed) {
            add(lighting::kSpeedField, {static_cast<std::uint8_t>(*o.speed)});
        }
        plan.said.push_back("speed " + std::to_string(*o.speed));
    }
    if (o.direction) {
        add(lighting::kDirectionField,
            {*o.direction == "first" ? lighting::kDirectionFirst : lighting::kDirectionSecond});
        plan.said.push_back("direction " + *o.direction);
    }
    if (o.reportRate) {
        add(lighting::kReportRateField, {static_cast<std::uint8_t>(*o.reportRate)});
        plan.said.push_back("report rate " + std::to_string(*o.reportRate));
    }
    if (o.presetColour) {
        static const std::vector<std::string> kPresets{"red", "yellow", "green", "blue"};
        const auto index = std::find(kPresets.begin(), kPresets.end(), *o.presetColour);
        add(lighting::kPresetColourField, {static_cast<std::uint8_t>(index - kPresets.begin())});
        plan.said.push_back("preset colour " + *o.presetColour);
    }
    return plan;
}

// Why the keyboard cannot be set to `mode`, or nullopt when it can.
std::optional<std::string> ModeRefusal(int mode, const lighting::DeviceSettingsBlock& settings) {
    lighting::ModeIndexTable modes;
    modes.Fill(settings.ModeList());
    if (modes.ModePositionOf(mode) < 0) {
        std::string offered;
        for (int position = 0; position < modes.size(); ++position) {
            offered +=
                (offered.empty() ? "" : " ") + std::to_string(modes.ModeAtPosition(position));
        }
        return "the keyboard has no lighting mode " + std::to_string(mode) +
               (offered.empty() ? "; it offers none" : "; it offers modes " + offered);
    }
    if (!lighting::HasCatalogueEntry(mode)) {
        return "lighting mode " + std::to_string(mode) +
               " has no settings this tool knows; nothing was written";
    }
    return std::nullopt;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

// Lighting writes need a keyboard that may be written; afterwards its state is kept.
int Written(CommandContext& context, const std::string& done, nlohmann::json details) {
    if (const auto failure = context.keyboard->Save()) {
        return Fail(context, "the keyboard's state could not be kept: " + *failure,
                    kExitSetupError);
    }
    return Succeed(context, done, std::move(details));
}

// A lighting write the keyboard did not take in full, in words.
int FailWrite(CommandContext& context, const lighting::LightingWriteResult& written,
              const std::string& what) {
    return Fail(context,
                "could not " + what + ": the keyboard did not take the write (result " +
                    std::to_string(written.commandResult) + ")" +
                    (written.mayBePartlyWritten
                         ? "; the lighting may be partly changed: run the command again to "
                           "repair it"
                         : "; the lighting was left as it was"),
                kExitDeviceError);
}

struct SetOutcome {
    service::OperationResult operation;
    std::optional<std::string> refusal;
    LightingWrites plan;
    lighting::LightingWriteResult written;
};

int RunSet(CommandContext& context, const SetOptions& o) {
    if (!AnythingToSet(o)) {
        return Fail(context, "nothing to set (see `quorvanectl lighting set --help`)",
                    kExitBadInput);
    }
    SetOutcome outcome = context.keyboard->Call([&](service::KeyboardSession& s) {
        SetOutcome result;
        result.operation = s.CheckWritable();
        if (!result.operation.Succeeded()) {
            return result;
        }
        // What to write depends on what the keyboard offers and holds now, not on what it
        // held when it arrived.
        lighting::DeviceSettingsBlock settings;
        std::array<std::uint8_t, device::kPayloadSize> record{};
        if (const int read = s.Lighting().ReadSettingsBlock(settings); read != device::kSuccess) {
            result.operation = service::OperationStatus::KeyboardUnread;
            result.operation.commandResult = read;
            return result;
        }
        if (o.mode) {
            if ((result.refusal = ModeRefusal(*o.mode, settings))) {
                return result;
            }
        }
        if (const int read = s.Commands().ReadLighting(record, lighting::kRecordReadLength,
                                                       lighting::RecordOffset(o.profile - 1));
            read != device::kSuccess) {
            result.operation = service::OperationStatus::KeyboardUnread;
            result.operation.commandResult = read;
            return result;
        }
        auto planned = PlanWrites(o, record);
        if (auto* error = std::get_if<std::string>(&planned)) {
            result.refusal = std::move(*error);
            return result;
        }
        result.plan = std::move(std::get<LightingWrites>(planned));
        if (!result.plan.writes.empty()) {
            result.written = s.Lighting().WriteLightingBytes(result.plan.writes);
            s.PublishLighting();
        }
        return result;
    });
    if (!outcome.operation.Succeeded()) {
        return FailOperation(context, outcome.operation, "set the lighting");
    }
    if (outcome.refusal) {
        return Fail(context, *outcome.refusal, kExitBadInput);
    }
    if (!outcome.written.Succeeded()) {
        return FailWrite(context, outcome.written, "set the lighting");
    }
    return Written(context,
                   "Profile " + std::to_string(o.profile) +
                       " lighting set: " + Joined(outcome.plan.said) + ".",
                   {{"profile", o.profile}, {"set", outcome.plan.said}});
}

int RunRestore(CommandContext& context, int profile) {
    lighting::LightingWriteResult written;
    const service::OperationResult writable =
        context.keyboard->Call([&](service::KeyboardSession& s) {
            service::OperationResult result = s.CheckWritable();
            if (result.Succeeded()) {
                lighting::DeviceLighting& lighting = s.Lighting();
                const int current = lighting.currentProfile();
                lighting.SetCurrentProfile(profile - 1);
                written = lighting.RestoreLightingDefaults();
                lighting.SetCurrentProfile(current);
                s.PublishLighting();
            }
            return result;
        });
    if (!writable.Succeeded()) {
        return FailOperation(context, writable, "restore the lighting");
    }
    if (!written.Succeeded()) {
        return FailWrite(context, written, "restore the lighting");
    }
    return Written(context,
                   "Profile " + std::to_string(profile) + " lighting restored to its defaults.",
                   {{"profile", profile}});
}

int RunShow(CommandContext& context, int showProfile) {
    const auto snapshot = context.keyboard->Call(
        [](service::KeyboardSession& s) { return ReadRecords(s.Commands()); });
    if (!snapshot) {
        return Fail(context, "could not read the lighting: the keyboard did not answer",
                    kExitDeviceError);
    }
    const int active = snapshot->mirror.settings.ActiveProfile();
    nlohmann::json json = nlohmann::json::array();
    std::string text;
    for (int p = 0; p < static_cast<int>(device::kProfileCount); ++p) {
        if (showProfile != 0 && p != showProfile - 1) {
            continue;
        }
        const auto& decoded = snapshot->states[static_cast<std::size_t>(p)];
        const auto& record = snapshot->mirror.records[static_cast<std::size_t>(p)];
        const std::string bytes = HexBytes(std::span(record).first(lighting::kRecordReadLength));
        nlohmann::json entry = StateJson(p, decoded);
        entry["active"] = p == active;
        entry["baseColour"] = ColourText(
            lighting::ColourFromBytes(std::span(record).subspan(lighting::kBaseColourField, 3)));
        entry["bytes"] = bytes;
        json.push_back(entry);
        text += StateText(p, p == active, decoded) + "  bytes " + bytes + "\n";
    }
    Print(context, text, json);
    return kExitOk;
}

// Option values live as long as the parser's callbacks that read them.
struct LightingOptions {
    int showProfile = 0;
    SetOptions set;
    int restoreProfile = 0;
};

}  // namespace

void AddLightingCommands(CLI::App& app, Command& selected) {
    auto state = std::make_shared<LightingOptions>();
    auto* lightingCmd = app.add_subcommand("lighting", "Show or change the lighting of a profile");
    lightingCmd->require_subcommand(1);
    lightingCmd->footer(
        "\nExamples:\n"
        "  quorvanectl lighting show --profile 2\n"
        "  quorvanectl lighting set --profile 1 --mode 3 --colour 00A0FF\n"
        "  quorvanectl lighting restore --profile 1");

    auto* show = lightingCmd->add_subcommand(
        "show", "Show the lighting records (all profiles, or the one given)");
    show->add_option("--profile", state->showProfile, "Profile 1..4")->check(CLI::Range(1, 4));
    show->footer(
        "\nExamples:\n"
        "  quorvanectl lighting show\n"
        "  quorvanectl --json lighting show --profile 3");
    Select(show, selected, {Needs::Keyboard, [state](CommandContext& context) {
                                return RunShow(context, state->showProfile);
                            }});

    SetOptions& set = state->set;
    auto* setCmd = lightingCmd->add_subcommand(
        "set", "Change lighting fields of a profile; each is written to the keyboard at once");
    setCmd->add_option("--profile", set.profile, "Profile 1..4")
        ->required()
        ->check(CLI::Range(1, 4));
    setCmd->add_option("--mode", set.mode, "Lighting mode number (see `info`)")
        ->check(CLI::Range(1, 255));
    setCmd->add_option("--brightness", set.brightness, "0..4")->check(CLI::Range(0, 4));
    setCmd->add_option("--speed", set.speed, "0 (fastest) .. 4")->check(CLI::Range(0, 4));
    setCmd->add_option("--direction", set.direction, "first or second")
        ->check(CLI::IsMember({"first", "second"}));
    setCmd->add_option("--colour,--color", set.colour,
                       "Single colour as RRGGBB hex; turns multicolour off unless --multicolour "
                       "on is given too");
    setCmd->add_option("--multicolour,--multicolor", set.multicolour, "on or off")
        ->check(CLI::IsMember({"on", "off"}));
    setCmd->add_option("--report-rate", set.reportRate, "USB report rate index 0..3")
        ->check(CLI::Range(0, 3));
    setCmd
        ->add_option("--preset-colour,--preset-color", set.presetColour,
                     "red, yellow, green or blue")
        ->check(CLI::IsMember({"red", "yellow", "green", "blue"}));
    setCmd->footer(
        "\nExamples:\n"
        "  quorvanectl lighting set --profile 1 --mode 3 --colour 00A0FF\n"
        "  quorvanectl lighting set --profile 2 --brightness 2 --speed 0\n"
        "  quorvanectl lighting set --profile 4 --multicolour on");
    Select(setCmd, selected, {Needs::Keyboard, [state](CommandContext& context) {
                                  return RunSet(context, state->set);
                              }});

    auto* restore = lightingCmd->add_subcommand("restore", "Restore a profile's lighting defaults");
    restore->add_option("--profile", state->restoreProfile, "Profile 1..4")
        ->required()
        ->check(CLI::Range(1, 4));
    restore->footer(
        "\nExamples:\n"
        "  quorvanectl lighting restore --profile 2");
    Select(restore, selected, {Needs::Keyboard, [state](CommandContext& context) {
                                   return RunRestore(context, state->restoreProfile);
                               }});
}

}  // namespace qv::cli
