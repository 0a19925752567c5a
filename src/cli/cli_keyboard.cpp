#include "cli/cli_keyboard.h"

#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "core/hex.h"
#include "core/utf16.h"
#include "device/device_report.h"
#include "profiles/profile_folder.h"
#include "texts/text_slots.h"

namespace qv::cli {
namespace {

std::optional<service::KeyboardChoice> ChooseKeyboard(const CommandContext& context) {
    const std::string& text = context.options.keyboard;
    if (text == "sim") {
        return service::KeyboardChoice{
            service::KeyboardChoice::Kind::Simulated,
            context.env.stateFolder / "quorvane" / "simulated-keyboard.state"};
    }
    return service::ParseKeyboardChoice(text);
}

std::string TraceLine(device::TraceDirection direction, std::uint32_t tag, Bytes report) {
    const char* tagName = tag == device::TAG_CTRL   ? "CTRL"
                          : tag == device::TAG_CONS ? "CONS"
                                                    : "LED ";
    return std::string(direction == device::TraceDirection::Sent ? "-> " : "<- ") + tagName + " " +
           HexBytes(report) + "\n";
}

}  // namespace

std::filesystem::path ProfileFolder(const CliEnvironment& env) {
    return env.documentsFolder / profiles::kProfileFolderName;
}

service::PendingEdits PendingEditsOf(const CliEnvironment& env) {
    return service::PendingEdits(env.stateFolder / "quorvane");
}

std::variant<std::unique_ptr<CliKeyboard>, int> CliKeyboard::Open(CommandContext& context) {
    const auto choice = ChooseKeyboard(context);
    if (!choice) {
        return Fail(
            context,
            "unknown keyboard '" + context.options.keyboard + "' (use real, sim or sim:PATH)",
            kExitBadInput);
    }
    std::unique_ptr<CliKeyboard> keyboard(
        new CliKeyboard(context.err, context.options.assumeYes, context.env));
    auto backend = context.env.openKeyboard(*choice);
    if (auto* failure = std::get_if<service::BackendError>(&backend)) {
        return Fail(context, failure->message, kExitSetupError);
    }
    keyboard->backend_ = std::move(std::get<std::unique_ptr<service::KeyboardBackend>>(backend));

    service::ServiceOptions options;
    options.session.profileFolder = ProfileFolder(context.env);
    options.session.updaterFolder = context.env.programFolder / "Help";
    // A command that changes nothing writes no file.
    options.session.captureOnArrival = false;
    options.session.colourPageOnArrival = false;
    options.session.firmwarePause = context.env.firmwarePause;
    // Macros the keyboard keeps without a name are named as everywhere else.
    options.session.newMacroNamePrefix =
        Utf8ToUtf16(context.lookup(std::string(ui::BuiltInText(ui::TextSlot::MACRO_NEW_PREFIX))));
    options.transportTiming = context.env.transportTiming;
    if (context.options.trace) {
        options.trace = [&err = context.err](device::TraceDirection direction, std::uint32_t tag,
                                             Bytes report) {
            err << TraceLine(direction, tag, report);
        };
    }
    keyboard->service_ = std::make_unique<service::KeyboardService>(
        keyboard->backend_->service(), keyboard->launcher_, keyboard->observer_,
        std::move(options));
    if (!keyboard->service_->Start()) {
        return Fail(context, "the HID service could not be started", kExitSetupError);
    }
    keyboard->service_->WaitIdle();
    if (!keyboard->service_->KeyboardPresent() && !keyboard->FirmwareTooOld()) {
        return Fail(context,
                    "no keyboard found (USB 0C45:5004). Check that it is plugged in and that "
                    "you may access it (see the README).",
                    kExitNoKeyboard);
    }
    if (keyboard->FirmwareTooOld()) {
        Note(context,
             "the keyboard's firmware is too old for this tool; nothing will be written to it "
             "until it is updated");
    }
    if (context.env.keyboardArrived) {
        context.env.keyboardArrived(*keyboard->backend_);
    }
    return keyboard;
}

CliKeyboard::~CliKeyboard() {
    // The service's worker and transport stop before the HID service they use goes.
    const bool started = service_ != nullptr;
    service_.reset();
    if (started && env_.keyboardDone) {
        env_.keyboardDone(*backend_);
    }
}

std::optional<std::string> CliKeyboard::Save() {
    if (auto failure = backend_->Save()) {
        return failure->message;
    }
    return std::nullopt;
}

}  // namespace qv::cli
