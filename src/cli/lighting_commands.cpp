#include "cli/lighting_commands.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/info_command.h"
#include "core/hex.h"
#include "device/command_result.h"
#include "lighting/active_profile.h"
#include "lighting/device_lighting.h"
#include "platform/xdg_paths.h"

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
struct LightingSnapshot {
    lighting::LightingMirror mirror;
    std::array<LightingState, device::kProfileCount> states;
};

std::optional<LightingSnapshot> ReadSnapshot(device::DeviceCommands& commands) {
    NoPanelSwitch panelSwitch;
    lighting::DeviceLighting lighting(commands, panelSwitch);
    if (lighting.ReadLighting(lighting::DeviceLighting::ReadKind::Refresh) != 0) {
        return std::nullopt;
    }
    LightingSnapshot snapshot{lighting.mirror(), {}};
    for (std::size_t p = 0; p < device::kProfileCount; ++p) {
        snapshot.states[p] = lighting::DecodeLightingState(snapshot.mirror.records[p], {});
    }
    return snapshot;
}

int DeviceFailure(const char* what) {
    std::fprintf(stderr, "quorvanectl: could not %s: the keyboard did not answer\n", what);
    return kExitDeviceError;
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

int RunSet(KeyboardSession& session, const SetOptions& o) {
    NoPanelSwitch panelSwitch;
    lighting::DeviceLighting lighting(session.commands(), panelSwitch);
    lighting.SetCurrentProfile(o.profile - 1);

    // Each write keeps its bytes alive until the bracket is sent.
    std::vector<std::vector<std::uint8_t>> storage;
    std::vector<std::pair<std::uint16_t, Bytes>> writes;
    const auto add = [&](std::size_t field, std::vector<std::uint8_t> bytes) {
        storage.push_back(std::move(bytes));
        writes.emplace_back(lighting::RecordOffset(o.profile - 1, field), storage.back());
    };
    storage.reserve(10);

    std::optional<bool> multicolour;
    if (o.multicolour) {
        multicolour = *o.multicolour == "on";
    }
    if (o.colour) {
        const auto colour = ParseColour(*o.colour);
        if (!colour) {
            std::fprintf(stderr, "quorvanectl: colour '%s' is not RRGGBB in hex\n",
                         o.colour->c_str());
            return kExitBadInput;
        }
        // Choosing a colour turns multicolour off unless the same command says otherwise.
        add(lighting::kMulticolourField, {static_cast<std::uint8_t>(multicolour.value_or(false))});
        const auto rgb = lighting::ColourToBytes(*colour);
        add(lighting::kColourField, {rgb.begin(), rgb.end()});
    } else if (multicolour) {
        add(lighting::kMulticolourField, {static_cast<std::uint8_t>(*multicolour)});
    }
    if (o.mode) {
        add(lighting::kModeField, {static_cast<std::uint8_t>(*o.mode)});
    }
    if (o.brightness) {
        add(lighting::kBrightnessField, {static_cast<std::uint8_t>(*o.brightness)});
    }
    if (o.speed) {
        add(lighting::kSpeedField, {static_cast<std::uint8_t>(*o.speed)});
    }
    if (o.direction) {
        add(lighting::kDirectionField,
            {*o.direction == "first" ? lighting::kDirectionFirst : lighting::kDirectionSecond});
    }
    if (o.reportRate) {
        add(lighting::kReportRateField, {static_cast<std::uint8_t>(*o.reportRate)});
    }
    if (o.presetColour) {
        static const std::vector<std::string> kPresets{"red", "yellow", "green", "blue"};
        const auto index = std::find(kPresets.begin(), kPresets.end(), *o.presetColour);
        add(lighting::kPresetColourField, {static_cast<std::uint8_t>(index - kPresets.begin())});
    }
    if (writes.empty()) {
        std::fprintf(stderr, "quorvanectl: nothing to set (see lighting set --help)\n");
        return kExitBadInput;
    }
    lighting.WriteLightingBytes(writes);
    return kExitOk;
}

// Option values live as long as the parser's callbacks that read them.
struct LightingOptions {
    int showProfile = 0;
    SetOptions set;
    int restoreProfile = 0;
    int newProfile = 0;
};

}  // namespace

void AddLightingCommands(CLI::App& app, CommandRunner& selected) {
    auto state = std::make_shared<LightingOptions>();
    auto* settings = app.add_subcommand("settings", "Show the settings block, decoded and in hex");
    settings->callback([&selected] {
        selected = [](KeyboardSession& session, const GlobalOptions& options) {
            device::DeviceCommands& commands = session.commands();
            lighting::DeviceSettingsBlock block;
            if (commands.ReadSettings(block.bytes()) != device::kSuccess) {
                return DeviceFailure("read the settings block");
            }
            const KeyboardInfo info = KeyboardInfoFromSettings(block);
            if (options.json) {
                nlohmann::json json = nlohmann::json::parse(FormatInfoJson(info));
                json["bytes"] = HexBytes(block.bytes());
                std::cout << json.dump(2) << "\n";
            } else {
                std::cout << FormatInfoText(info) << "Bytes:            " << HexBytes(block.bytes())
                          << "\n";
            }
            return kExitOk;
        };
    });

    auto* lightingCmd = app.add_subcommand("lighting", "Show or change the lighting of a profile");
    lightingCmd->require_subcommand(1);

    auto* show = lightingCmd->add_subcommand(
        "show", "Show the lighting records (all profiles, or the one given)");
    show->add_option("--profile", state->showProfile, "Profile 1..4")->check(CLI::Range(1, 4));
    show->callback([&selected, state] {
        selected = [state](KeyboardSession& session, const GlobalOptions& options) {
            const int showProfile = state->showProfile;
            const auto snapshot = ReadSnapshot(session.commands());
            if (!snapshot) {
                return DeviceFailure("read the lighting");
            }
            const int active = snapshot->mirror.settings.ActiveProfile();
            nlohmann::json json = nlohmann::json::array();
            for (int p = 0; p < static_cast<int>(device::kProfileCount); ++p) {
                if (showProfile != 0 && p != showProfile - 1) {
                    continue;
                }
                const auto& decoded = snapshot->states[static_cast<std::size_t>(p)];
                const auto& record = snapshot->mirror.records[static_cast<std::size_t>(p)];
                if (options.json) {
                    nlohmann::json entry = StateJson(p, decoded);
                    entry["active"] = p == active;
                    entry["baseColour"] = ColourText(lighting::ColourFromBytes(
                        std::span(record).subspan(lighting::kBaseColourField, 3)));
                    entry["bytes"] = HexBytes(std::span(record).first(lighting::kRecordReadLength));
                    json.push_back(entry);
                } else {
                    std::cout << StateText(p, p == active, decoded) << "  bytes "
                              << HexBytes(std::span(record).first(lighting::kRecordReadLength))
                              << "\n";
                }
            }
            if (options.json) {
                std::cout << json.dump(2) << "\n";
            }
            return kExitOk;
        };
    });

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
    setCmd->callback([&selected, state] {
        selected = [state](KeyboardSession& session, const GlobalOptions&) {
            return RunSet(session, state->set);
        };
    });

    auto* restore = lightingCmd->add_subcommand("restore", "Restore a profile's lighting defaults");
    restore->add_option("--profile", state->restoreProfile, "Profile 1..4")
        ->required()
        ->check(CLI::Range(1, 4));
    restore->callback([&selected, state] {
        selected = [state](KeyboardSession& session, const GlobalOptions&) {
            NoPanelSwitch panelSwitch;
            lighting::DeviceLighting lighting(session.commands(), panelSwitch);
            lighting.SetCurrentProfile(state->restoreProfile - 1);
            lighting.RestoreLightingDefaults();
            return kExitOk;
        };
    });

    auto* profile = app.add_subcommand("profile", "Show or switch the keyboard's active profile");
    profile->require_subcommand(1);
    profile->add_subcommand("show", "Show the active profile")->callback([&selected] {
        selected = [](KeyboardSession& session, const GlobalOptions& options) {
            lighting::ActiveProfile active;
            const int current = active.GetActiveProfile(session.commands());
            if (current < 0) {
                return DeviceFailure("read the active profile");
            }
            if (options.json) {
                std::cout << nlohmann::json{{"activeProfile", current + 1}}.dump(2) << "\n";
            } else {
                std::cout << "Active profile: " << current + 1 << "\n";
            }
            return kExitOk;
        };
    });
    auto* profileSet = profile->add_subcommand("set", "Make a profile the keyboard's active one");
    profileSet->add_option("profile", state->newProfile, "Profile 1..4")
        ->required()
        ->check(CLI::Range(1, 4));
    profileSet->callback([&selected, state] {
        selected = [state](KeyboardSession& session, const GlobalOptions&) {
            const int newProfile = state->newProfile;
            if (std::filesystem::exists(platform::StateFolder() / "quorvane" / "pending.fwc")) {
                std::fprintf(stderr,
                             "quorvanectl: there are pending changes: `quorvanectl apply` or "
                             "`quorvanectl discard` them first\n");
                return kExitBadInput;
            }
            lighting::ActiveProfile active;
            active.SetActiveProfile(session.commands(), newProfile - 1);
            if (active.Cached() != newProfile - 1) {
                return DeviceFailure("switch the active profile");
            }
            return kExitOk;
        };
    });
}

}  // namespace qv::cli
