#include "cli/settings_command.h"

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/info_command.h"
#include "core/hex.h"
#include "device/command_result.h"

namespace qv::cli {
namespace {

int RunSettings(CommandContext& context) {
    const auto read =
        context.keyboard->Call([](service::KeyboardSession& s) { return s.ReadSettingsBlock(); });
    const lighting::DeviceSettingsBlock& block = read.value;
    if (const int result = read.result.commandResult; !read.result.Succeeded()) {
        return Fail(context,
                    "could not read the settings block: the keyboard did not answer (result " +
                        std::to_string(result) + ")",
                    kExitDeviceError);
    }
    const KeyboardInfo info = KeyboardInfoFromSettings(block);
    nlohmann::json json = InfoJson(info);
    json["bytes"] = HexBytes(block.bytes());
    Print(context, FormatInfoText(info) + "Bytes:            " + HexBytes(block.bytes()) + "\n",
          json);
    return kExitOk;
}

}  // namespace

void AddSettingsCommand(CLI::App& app, Command& selected) {
    auto* settings = app.add_subcommand("settings", "Show the settings block, decoded and in hex");
    settings->footer(
        "\nExamples:\n"
        "  quorvanectl settings\n"
        "  quorvanectl --json settings");
    Select(settings, selected, {Needs::Keyboard, RunSettings});
}

}  // namespace qv::cli
