#include "cli/lighting_commands.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <variant>
#include <vector>

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/colour_commands.h"
#include "cli/exit_codes.h"
#include "cli/lighting_support.h"
#include "core/hex.h"
#include "device/command_result.h"
#include "driver/device_lighting.h"
#include "keys/key_name_parser.h"
#include "lighting/mode_catalogue.h"
#include "lighting/mode_index_table.h"

namespace qv::cli {
namespace {

using lighting::LightingState;

const char* DirectionName(int direction) {
    return direction == lighting::kDirectionFirst ? "first" : "second";
}

const char* PresetName(int preset) {
    static constexpr const char* kNames[] = {"red", "yellow", "green", "blue"};
    return preset >= 0 && preset < 4 ? kNames[preset] : "?";
}

nlohmann::json StateJson(const CommandContext& context, int profile, const LightingState& s) {
    return {{"profile", profile + 1},
            {"mode", s.mode},
            {"modeName", context.modeName(s.mode)},
            {"brightness", s.brightness},
            {"speed", s.speed},
            {"direction", DirectionName(s.direction)},
            {"multicolour", s.multicolour},
            {"colour", ColourText(s.colour)},
            {"reportRate", s.reportRate},
            {"reportRateHz", kReportRatesHz[s.reportRate]},
            {"presetColour", PresetName(s.presetColour)}};
}

std::string StateText(const CommandContext& context, int profile, bool active,
                      const LightingState& s) {
    return "Profile " + std::to_string(profile + 1) + (active ? " (active)" : "") + "\n  mode " +
           ModeWithName(context, s.mode) + ", brightness " + std::to_string(s.brightness) +
           ", speed " + std::to_string(s.speed) + ", direction " + DirectionName(s.direction) +
           "\n  colour " + ColourText(s.colour) + (s.multicolour ? " (multicolour on)" : "") +
           ", preset colour " + PresetName(s.presetColour) + ", report rate " +
           std::to_string(kReportRatesHz[s.reportRate]) + " Hz\n";
}

// Reads everything once and gives the decoded state of each profile.
struct LightingRecords {
    lighting::LightingMirror mirror;
    std::array<LightingState, device::kProfileCount> states;
};

std::optional<LightingRecords> ReadRecords(CommandContext& context) {
    const auto read =
        context.keyboard->Call([](service::KeyboardSession& s) { return s.ReadLightingMirror(); });
    if (!read.result.Succeeded()) {
        return std::nullopt;
    }
    LightingRecords snapshot{read.value, {}};
    for (std::size_t p = 0; p < device::kProfileCount; ++p) {
        snapshot.states[p] = lighting::DecodeLightingState(snapshot.mirror.records[p], {});
    }
    return snapshot;
}

struct SetOptions {
    int profile = 0;
    std::optional<std::string> mode;
    std::optional<int> brightness;
    std::optional<int> speed;
    std::optional<std::string> direction;
    std::optional<std::string> colour;
    std::optional<std::string> multicolour;
    std::optional<std::string> reportRate;
    std::optional<std::string> presetColour;
};

// The options ask for something to be set.
bool AnythingToSet(const SetOptions& o) {
    return o.mode || o.brightness || o.speed || o.direction || o.colour || o.multicolour ||
           o.reportRate || o.presetColour;
}

// What the options ask for, checked before the keyboard is asked anything.
struct SetRequest {
    std::optional<std::variant<int, std::string>> mode;  // a number, or a name to look up
    std::optional<lighting::Colour> colour;
    std::optional<int> reportRate;
};

std::variant<SetRequest, std::string> CheckOptions(const SetOptions& o) {
    SetRequest request;
    if (o.mode) {
        int number = 0;
        const auto [end, error] =
            std::from_chars(o.mode->data(), o.mode->data() + o.mode->size(), number);
        if (error == std::errc() && end == o.mode->data() + o.mode->size()) {
            request.mode = number;
        } else {
            request.mode = *o.mode;
        }
    }
    if (o.colour) {
        if (!(request.colour = ParseColour(*o.colour))) {
            return "colour '" + *o.colour + "' is not RRGGBB in hex";
        }
    }
    if (o.reportRate) {
        if (!(request.reportRate = ParseReportRate(*o.reportRate))) {
            return "report rate '" + *o.reportRate + "' is not 125, 250, 500 or 1000";
        }
    }
    return request;
}

// The mode a name stands for among the keyboard's modes and the catalogue, compared as key
// names are (any case, blanks and dashes left out).
std::optional<int> ModeNamed(const CommandContext& context, const std::string& name,
                             const lighting::DeviceSettingsBlock& settings) {
    const std::string wanted = keys::NormalizeKeyName(name);
    std::vector<int> candidates;
    for (std::uint8_t mode : settings.ModeList()) {
        if (mode != 0) {
            candidates.push_back(mode);
        }
    }
    for (int mode = lighting::kFirstCataloguedMode; mode <= lighting::kLastCataloguedMode; ++mode) {
        candidates.push_back(mode);
    }
    for (int mode : candidates) {
        if (keys::NormalizeKeyName(context.modeName(mode)) == wanted) {
            return mode;
        }
    }
    return std::nullopt;
}

// Why the keyboard cannot be set to `mode`, in words.
std::string ModeRefusalText(const CommandContext& context, int mode,
                            lighting::LightingRefusal refusal,
                            const lighting::DeviceSettingsBlock& settings) {
    const std::string allowed =
        "; modes you can set: " + ModeListText(context, SettableModes(settings));
    if (refusal == lighting::LightingRefusal::NoSuchMode) {
        return "the keyboard has no lighting mode " + std::to_string(mode) + allowed;
    }
    return "lighting mode " + std::to_string(mode) +
           " has no settings this tool knows; nothing was written" + allowed;
}

// The changes the options ask for, in the order they go into the bracket, with what each one
// is called when the command says what it did.
struct Plan {
    std::vector<lighting::LightingChange> changes;
    std::vector<std::string> names;

    void Add(lighting::LightingChange::Control control, int value, std::string name) {
        changes.push_back({control, value});
        names.push_back(std::move(name));
    }
};

Plan PlanChanges(const SetOptions& o, const SetRequest& request, int mode) {
    using Control = lighting::LightingChange::Control;
    Plan plan;
    std::optional<bool> multicolour;
    if (o.multicolour) {
        multicolour = *o.multicolour == "on";
    }
    if (request.colour) {
        plan.Add(Control::SingleColour, static_cast<int>(*request.colour),
                 "colour " + ColourText(*request.colour));
        // A colour turns multicolour off unless the same command says otherwise.
        if (multicolour.value_or(false)) {
            plan.Add(Control::Multicolour, 1, "multicolour on");
        }
    } else if (multicolour) {
        plan.Add(Control::Multicolour, *multicolour ? 1 : 0,
                 std::string("multicolour ") + (*multicolour ? "on" : "off"));
    }
    if (request.mode) {
        plan.Add(Control::Mode, mode, "mode " + std::to_string(mode));
    }
    if (o.brightness) {
        plan.Add(Control::Brightness, *o.brightness, "brightness " + std::to_string(*o.brightness));
    }
    if (o.speed) {
        plan.Add(Control::Speed, *o.speed, "speed " + std::to_string(*o.speed));
    }
    if (o.direction) {
        plan.Add(Control::Direction,
                 *o.direction == "first" ? lighting::kDirectionFirst : lighting::kDirectionSecond,
                 "direction " + *o.direction);
    }
    if (request.reportRate) {
        plan.Add(Control::ReportRate, *request.reportRate,
                 "report rate " + std::to_string(kReportRatesHz[*request.reportRate]) + " Hz");
    }
    if (o.presetColour) {
        static const std::vector<std::string> kPresets{"red", "yellow", "green", "blue"};
        const auto index = std::ranges::find(kPresets, *o.presetColour) - kPresets.begin();
        plan.Add(Control::PresetColour, static_cast<int>(index),
                 "preset colour " + *o.presetColour);
    }
    return plan;
}

// What the command says it did: each change, "(unchanged)" where the record held it already.
std::vector<std::string> SaidChanges(const Plan& plan, const std::vector<bool>& changed,
                                     bool colourAlone) {
    std::vector<std::string> said;
    for (std::size_t i = 0; i < plan.names.size(); ++i) {
        const bool wrote = i < changed.size() && changed[i];
        said.push_back(wrote ? plan.names[i] : plan.names[i] + " (unchanged)");
        if (colourAlone && i == 0) {
            said.push_back(wrote ? "multicolour off" : "multicolour off (unchanged)");
        }
    }
    return said;
}

struct SetOutcome {
    service::OperationResult operation;
    service::HeldAfterFailure held = service::HeldAfterFailure::Unknown;
    std::optional<std::string> refusal;
    std::vector<std::string> said;
};

int RunSet(CommandContext& context, const SetOptions& o) {
    if (!AnythingToSet(o)) {
        return Fail(context, "nothing to set (see `quorvanectl lighting set --help`)",
                    kExitBadInput);
    }
    auto checked = CheckOptions(o);
    if (const auto* error = std::get_if<std::string>(&checked)) {
        return Fail(context, *error, kExitBadInput);
    }
    const SetRequest request = std::get<SetRequest>(checked);
    const bool colourAlone = request.colour && !(o.multicolour && *o.multicolour == "on");
    const SetOutcome outcome = context.keyboard->Call([&](service::KeyboardSession& s) {
        SetOutcome result;
        const lighting::LightingMirror mirror = s.Snapshot()->lighting.mirror;
        int mode = 0;
        if (request.mode) {
            if (const auto* name = std::get_if<std::string>(&*request.mode)) {
                if (!mirror.settingsRead) {
                    result.operation = s.CheckWritable();
                    if (result.operation.Succeeded()) {
                        result.operation = service::OperationStatus::KeyboardUnread;
                    }
                    return result;
                }
                const auto named = ModeNamed(context, *name, mirror.settings);
                if (!named) {
                    result.refusal = "there is no lighting mode named \"" + *name +
                                     "\"; modes you can set: " +
                                     ModeListText(context, SettableModes(mirror.settings));
                    return result;
                }
                mode = *named;
            } else {
                mode = std::get<int>(*request.mode);
            }
        }
        const Plan plan = PlanChanges(o, request, mode);
        const service::LightingChangeResult changed =
            s.ChangeLighting({o.profile - 1, plan.changes});
        result.operation = changed.result;
        result.held = changed.held;
        if (changed.result.status == service::OperationStatus::LightingRefused) {
            result.refusal =
                ModeRefusalText(context, mode, changed.result.lightingRefusal, mirror.settings);
        }
        result.said = SaidChanges(plan, changed.changed, colourAlone);
        return result;
    });
    if (outcome.refusal) {
        return Fail(context, *outcome.refusal, kExitBadInput);
    }
    if (!outcome.operation.Succeeded()) {
        return FailWrite(context, outcome.operation, "set the lighting", outcome.held);
    }
    std::string said;
    for (const std::string& part : outcome.said) {
        said += (said.empty() ? "" : ", ") + part;
    }
    return Written(context, "Profile " + std::to_string(o.profile) + " lighting set: " + said + ".",
                   {{"profile", o.profile}, {"set", outcome.said}});
}

int RunRestore(CommandContext& context, int profile) {
    const service::OperationResult written = context.keyboard->Call(
        [profile](service::KeyboardSession& s) { return s.RestoreLighting(profile - 1); });
    if (!written.Succeeded()) {
        return FailWrite(context, written, "restore the lighting");
    }
    return Written(context,
                   "Profile " + std::to_string(profile) + " lighting restored to its defaults.",
                   {{"profile", profile}});
}

int RunShow(CommandContext& context, int showProfile) {
    const auto snapshot = ReadRecords(context);
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
        nlohmann::json entry = StateJson(context, p, decoded);
        entry["active"] = p == active;
        entry["baseColour"] = ColourText(
            lighting::ColourFromBytes(std::span(record).subspan(lighting::kBaseColourField, 3)));
        entry["bytes"] = bytes;
        json.push_back(entry);
        text += StateText(context, p, p == active, decoded) + "  bytes " + bytes + "\n";
    }
    Print(context, text, json);
    return kExitOk;
}

int RunModes(CommandContext& context) {
    const auto read =
        context.keyboard->Call([](service::KeyboardSession& s) { return s.ReadSettingsBlock(); });
    const lighting::DeviceSettingsBlock& settings = read.value;
    if (!read.result.Succeeded()) {
        return Fail(context, "could not read the lighting modes: the keyboard did not answer",
                    kExitDeviceError);
    }
    nlohmann::json json = nlohmann::json::array();
    std::string text;
    for (std::uint8_t mode : settings.ModeList()) {
        if (mode == 0) {
            continue;
        }
        const bool settable = lighting::HasCatalogueEntry(mode);
        json.push_back({{"mode", mode}, {"name", context.modeName(mode)}, {"settable", settable}});
        text += "  " + ModeWithName(context, mode) +
                (settable ? "" : "  (no settings this tool knows)") + "\n";
    }
    Print(context, text.empty() ? "The keyboard offers no lighting modes.\n" : text, json);
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
        "  quorvanectl lighting key --profile 1 \"Caps Lock\" FF0000\n"
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

    auto* modes = lightingCmd->add_subcommand(
        "modes", "List the lighting modes the keyboard offers, with their names");
    modes->footer(
        "\nExamples:\n"
        "  quorvanectl lighting modes\n"
        "  quorvanectl --json lighting modes");
    Select(modes, selected, {Needs::Keyboard, RunModes});

    SetOptions& set = state->set;
    auto* setCmd = lightingCmd->add_subcommand(
        "set",
        "Change lighting fields of a profile; each is written to the keyboard at once, values "
        "the profile already has are not written again");
    setCmd->add_option("--profile", set.profile, "Profile 1..4")
        ->required()
        ->check(CLI::Range(1, 4));
    setCmd->add_option("--mode", set.mode,
                       "Lighting mode, by number or name (see `lighting modes`); a mode that "
                       "takes the multicolour flag is written with it");
    setCmd->add_option("--brightness", set.brightness, "0..4")->check(CLI::Range(0, 4));
    setCmd->add_option("--speed", set.speed, "0 (fastest) .. 4")->check(CLI::Range(0, 4));
    setCmd->add_option("--direction", set.direction, "first or second")
        ->check(CLI::IsMember({"first", "second"}));
    setCmd->add_option("--colour,--color", set.colour,
                       "Single colour as RRGGBB hex; turns multicolour off unless --multicolour "
                       "on is given too");
    setCmd->add_option("--multicolour,--multicolor", set.multicolour, "on or off")
        ->check(CLI::IsMember({"on", "off"}));
    setCmd
        ->add_option("--report-rate", set.reportRate, "USB report rate: 125, 250, 500 or 1000 (Hz)")
        ->check(CLI::IsMember({"125", "250", "500", "1000", "0", "1", "2", "3"}));
    setCmd
        ->add_option("--preset-colour,--preset-color", set.presetColour,
                     "red, yellow, green or blue")
        ->check(CLI::IsMember({"red", "yellow", "green", "blue"}));
    setCmd->footer(
        "\nExamples:\n"
        "  quorvanectl lighting set --profile 1 --mode 3 --colour 00A0FF\n"
        "  quorvanectl lighting set --profile 1 --mode \"Per-key Colours\"\n"
        "  quorvanectl lighting set --profile 2 --brightness 2 --speed 0\n"
        "  quorvanectl lighting set --profile 3 --report-rate 1000\n"
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

    AddColourCommands(*lightingCmd, selected);
}

}  // namespace qv::cli
