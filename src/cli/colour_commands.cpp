#include "cli/colour_commands.h"

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <variant>

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/keys_commands.h"
#include "cli/lighting_support.h"
#include "device/command_result.h"
#include "keys/key_name_parser.h"
#include "lighting/colour_slots.h"
#include "lighting/user_colour_file.h"
#include "profiles/profile_folder.h"

namespace qv::cli {
namespace {

using Kind = lighting::ColourChange::Kind;

struct ColourOptions {
    int profile = 0;
    std::string key;
    std::string colour;
    int scheme = 0;
    std::optional<std::string> name;
};

std::filesystem::path ColourFolder(const CommandContext& context) {
    return context.env.documentsFolder / profiles::kProfileFolderName;
}

// A key of the on-screen keyboard by name: the main keys by their names, G1..G7, Fn.
std::variant<lighting::ViewKey, std::string> ParseViewKey(const CommandContext& context,
                                                          const std::string& text) {
    const std::string normal = keys::NormalizeKeyName(text);
    if (normal == "fn") {
        return lighting::ViewKey::FnKey();
    }
    for (int g = 1; g <= lighting::kViewGKeyCount; ++g) {
        if (normal == "g" + std::to_string(g)) {
            if (g > lighting::kColouredGKeys) {
                return "\"" + text + "\" has no light of its own on the keyboard";
            }
            return lighting::ViewKey::G(g);
        }
    }
    const auto code = keys::ParseKeyName(text, context.lookup);
    if (!code) {
        return UnknownKeyMessage(text, context.lookup);
    }
    const lighting::ViewKey key = lighting::ViewKey::Main(*code);
    if (!lighting::ColouredKeyIndex(key)) {
        return "\"" + text + "\" has no light of its own on the keyboard";
    }
    return key;
}

// Sends the change through the keyboard service and says what was done, or why not.
int Report(CommandContext& context, const lighting::ColourChange& change, const char* what,
           const std::string& done, nlohmann::json details) {
    const service::ColourChangeResult outcome = context.keyboard->Call(
        [&change](service::KeyboardSession& s) { return s.ChangeColours(change); });
    const service::OperationResult& result = outcome.result;
    const std::string problem = result.problems.empty() ? std::string() : result.problems.front();
    switch (result.status) {
        case service::OperationStatus::LightingRefused:
            return Fail(context,
                        "the keyboard has no per-key colours (it does not offer lighting mode " +
                            std::to_string(lighting::kPerKeyColourMode) + ")",
                        kExitBadInput);
        case service::OperationStatus::FileRefused:
            return Fail(context, "the colour schemes cannot be used: " + problem, kExitBadInput);
        case service::OperationStatus::FileNotSaved:
            return Fail(context,
                        "the colour schemes could not be kept: " + problem +
                            "; nothing was written to the keyboard",
                        kExitSetupError);
        default:
            break;
    }
    if (!result.Succeeded()) {
        return FailWrite(context, result, what);
    }
    const int profile = change.profile + 1;
    const std::string scheme =
        "scheme " + std::to_string(outcome.scheme) + " (\"" + outcome.schemeName + "\")";
    std::string message = "Profile " + std::to_string(profile) + ", " + scheme + ": " + done;
    if (outcome.slot == lighting::kSharedColourSlot) {
        message += " (with every key that has no colour of its own)";
    }
    message += ".";
    if (!outcome.perKeyModeActive) {
        message += "\nThe keyboard shows per-key colours in lighting mode " +
                   std::to_string(lighting::kPerKeyColourMode) + " (`quorvanectl lighting set " +
                   "--profile " + std::to_string(profile) + " --mode " +
                   std::to_string(lighting::kPerKeyColourMode) + "`).";
    }
    if (outcome.slot >= 0) {
        details["slot"] = outcome.slot;
    }
    details["profile"] = profile;
    details["scheme"] = scheme;
    details["perKeyModeActive"] = outcome.perKeyModeActive;
    return Written(context, message, std::move(details));
}

int RunKey(CommandContext& context, const ColourOptions& o) {
    auto key = ParseViewKey(context, o.key);
    if (const auto* error = std::get_if<std::string>(&key)) {
        return Fail(context, *error, kExitBadInput);
    }
    const auto colour = ParseColour(o.colour);
    if (!colour) {
        return Fail(context, "colour '" + o.colour + "' is not RRGGBB in hex", kExitBadInput);
    }
    return Report(context,
                  lighting::ColourChange::Of(Kind::PaintKeyWith, o.profile - 1)
                      .WithKey(std::get<lighting::ViewKey>(key))
                      .WithColour(*colour),
                  "set the key's colour", o.key + " set to " + ColourText(*colour),
                  {{"key", o.key}, {"colour", ColourText(*colour)}});
}

int RunFill(CommandContext& context, const ColourOptions& o) {
    const auto colour = ParseColour(o.colour);
    if (!colour) {
        return Fail(context, "colour '" + o.colour + "' is not RRGGBB in hex", kExitBadInput);
    }
    return Report(context,
                  lighting::ColourChange::Of(Kind::Fill, o.profile - 1).WithColour(*colour),
                  "fill the keys' colours", "every key set to " + ColourText(*colour),
                  {{"colour", ColourText(*colour)}});
}

int RunSchemeLoad(CommandContext& context, const ColourOptions& o) {
    return Report(context,
                  lighting::ColourChange::Of(Kind::SelectScheme, o.profile - 1).WithValue(o.scheme),
                  "load the colour scheme", "in use, its colours written to the keyboard",
                  {{"number", o.scheme}});
}

// Reads the profile's colour schemes, or says why they cannot be used.
std::variant<lighting::UserColourFile, int> LoadSchemes(CommandContext& context, int profile) {
    auto loaded = lighting::UserColourFile::Load(
        lighting::UserColourFilePath(ColourFolder(context), profile));
    if (auto* problem = std::get_if<std::string>(&loaded)) {
        return Fail(context, "the colour schemes cannot be used: " + *problem, kExitBadInput);
    }
    return std::move(std::get<lighting::UserColourFile>(loaded));
}

int RunSchemeList(CommandContext& context, const ColourOptions& o) {
    auto loaded = LoadSchemes(context, o.profile - 1);
    if (const int* code = std::get_if<int>(&loaded)) {
        return *code;
    }
    const lighting::UserColourFile& file = std::get<lighting::UserColourFile>(loaded);
    const int inUse = file.PresentScheme();
    std::string text = "Profile " + std::to_string(o.profile) + " colour schemes:\n";
    nlohmann::json schemes = nlohmann::json::array();
    for (int scheme = 0; scheme < lighting::kSchemeCount; ++scheme) {
        const std::string name = file.SchemeName(scheme);
        text += (scheme == inUse ? "* " : "  ") + std::to_string(scheme) + "  " + name + "\n";
        schemes.push_back({{"number", scheme}, {"name", name}, {"inUse", scheme == inUse}});
    }
    Print(context, text, {{"profile", o.profile}, {"inUse", inUse}, {"schemes", schemes}});
    return kExitOk;
}

int RunSchemeSave(CommandContext& context, const ColourOptions& o) {
    const int profile = o.profile - 1;
    auto loaded = LoadSchemes(context, profile);
    if (const int* code = std::get_if<int>(&loaded)) {
        return *code;
    }
    lighting::UserColourFile& file = std::get<lighting::UserColourFile>(loaded);
    const int from = file.PresentScheme();
    if (o.name) {
        if (const auto problem = lighting::UserColourFile::SchemeNameProblem(*o.name)) {
            return Fail(context, *problem, kExitBadInput);
        }
        if (!file.SetSchemeName(o.scheme, *o.name)) {
            return Fail(context, "a scheme name is one line of text", kExitBadInput);
        }
    }
    if (from != o.scheme) {
        file.SetTools(o.scheme, file.Tools(from));
        for (int slot = 0; slot < lighting::kColourSlotCount; ++slot) {
            file.SetSlot(o.scheme, slot, file.Slot(from, slot));
        }
        file.SetPresentScheme(o.scheme);
    }
    const std::filesystem::path path = lighting::UserColourFilePath(ColourFolder(context), profile);
    if (const auto problem = file.Save(path)) {
        return Fail(context, "the colour schemes could not be kept: " + *problem, kExitSetupError);
    }
    const std::string name = file.SchemeName(o.scheme);
    return Succeed(context,
                   "Profile " + std::to_string(o.profile) + ": the colours of scheme " +
                       std::to_string(from) + " saved as scheme " + std::to_string(o.scheme) +
                       " (\"" + name + "\"), now in use.",
                   {{"profile", o.profile}, {"from", from}, {"number", o.scheme}, {"name", name}});
}

void AddProfileOption(CLI::App* command, ColourOptions& o) {
    command->add_option("--profile", o.profile, "Profile 1..4")
        ->required()
        ->check(CLI::Range(1, 4));
}

}  // namespace

void AddColourCommands(CLI::App& lightingCmd, Command& selected) {
    auto o = std::make_shared<ColourOptions>();

    auto* key = lightingCmd.add_subcommand(
        "key",
        "Give one key its own colour in the profile's colour scheme in use, and write it "
        "to the keyboard");
    AddProfileOption(key, *o);
    key->add_option("KEY", o->key, "A key name (see `keys list`), G1..G7 or Fn")->required();
    key->add_option("COLOUR", o->colour, "RRGGBB in hex")->required();
    key->footer(
        "\nExamples:\n"
        "  quorvanectl lighting key --profile 1 \"Caps Lock\" FF0000\n"
        "  quorvanectl lighting key --profile 2 G1 00A0FF\n"
        "Keys without a colour of their own (such as F5) share one colour.");
    Select(key, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunKey(context, *o); }});

    auto* fill = lightingCmd.add_subcommand(
        "fill",
        "Give every key one colour in the profile's colour scheme in use, and write it "
        "to the keyboard");
    AddProfileOption(fill, *o);
    fill->add_option("COLOUR", o->colour, "RRGGBB in hex")->required();
    fill->footer(
        "\nExamples:\n"
        "  quorvanectl lighting fill --profile 1 FFFFFF");
    Select(fill, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunFill(context, *o); }});

    auto* scheme = lightingCmd.add_subcommand(
        "scheme", "List, load or save the ten per-key colour schemes of a profile");
    scheme->require_subcommand(1);
    scheme->footer(
        "\nExamples:\n"
        "  quorvanectl lighting scheme list --profile 1\n"
        "  quorvanectl lighting scheme load --profile 1 3\n"
        "  quorvanectl lighting scheme save --profile 1 4 --name Gaming");

    auto* list = scheme->add_subcommand("list", "The schemes of a profile; * marks the one in use");
    AddProfileOption(list, *o);
    list->footer(
        "\nExamples:\n"
        "  quorvanectl lighting scheme list --profile 2\n"
        "  quorvanectl --json lighting scheme list --profile 2");
    Select(list, selected, {Needs::NoKeyboard, [o](CommandContext& context) {
                                return RunSchemeList(context, *o);
                            }});

    auto* load =
        scheme->add_subcommand("load", "Put a scheme in use and write its colours to the keyboard");
    AddProfileOption(load, *o);
    load->add_option("SCHEME", o->scheme, "Scheme 0..9")->required()->check(CLI::Range(0, 9));
    load->footer(
        "\nExamples:\n"
        "  quorvanectl lighting scheme load --profile 1 3");
    Select(load, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunSchemeLoad(context, *o); }});

    auto* save = scheme->add_subcommand(
        "save", "Keep the colours of the scheme in use as another scheme, which is then in use");
    AddProfileOption(save, *o);
    save->add_option("SCHEME", o->scheme, "Scheme 0..9")->required()->check(CLI::Range(0, 9));
    save->add_option("--name", o->name, "The scheme's new name, at most 249 characters");
    save->footer(
        "\nExamples:\n"
        "  quorvanectl lighting scheme save --profile 1 4 --name Gaming");
    Select(save, selected, {Needs::NoKeyboard, [o](CommandContext& context) {
                                return RunSchemeSave(context, *o);
                            }});
}

}  // namespace qv::cli
