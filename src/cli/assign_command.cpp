#include "cli/assign_command.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "assignments/assignment_description.h"
#include "assignments/assignment_spec.h"
#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/keys_commands.h"
#include "cli/listing.h"
#include "cli/working_image.h"
#include "keys/key_name_parser.h"

namespace qv::cli {
namespace {

struct AssignOptions {
    std::string key;
    std::string target;
    std::optional<int> repeat;
    bool applyNow = false;
};

// The key a "key:NAME" target names, checked here so that every unknown key name is reported
// the same way.
std::optional<std::string> UnknownTargetKey(std::string_view target,
                                            const keys::TextLookupFn& lookup) {
    const std::size_t colon = target.find(':');
    if (colon == std::string_view::npos ||
        keys::NormalizeKeyName(target.substr(0, colon)) != "key") {
        return std::nullopt;
    }
    const std::string_view name = target.substr(colon + 1);
    if (keys::ParseKeyName(name, lookup)) {
        return std::nullopt;
    }
    return std::string(name);
}

int RunAssign(CommandContext& context, const AssignOptions& o) {
    const auto slot = keys::ParseKeySlot(o.key, context.lookup);
    if (!slot) {
        return Fail(context, UnknownKeyMessage(o.key, context.lookup), kExitBadInput);
    }
    if (const auto unknown = UnknownTargetKey(o.target, context.lookup)) {
        return Fail(context, UnknownKeyMessage(*unknown, context.lookup), kExitBadInput);
    }
    const auto opened = OpenWorkingImage(context, ImageUse::Edit, "assign");
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    const WorkingImage& working = std::get<WorkingImage>(opened);
    service::KeyEntryEdit edit;
    edit.profile = working.profile;
    edit.slot = *slot;
    edit.repeatCount = o.repeat;
    {
        const service::SnapshotPtr snapshot = context.keyboard->Service().Snapshot();
        auto parsed = keys::ParseAssignment(o.target, o.repeat.value_or(1), *slot,
                                            snapshot->image.macros, context.lookup);
        if (const auto* error = std::get_if<keys::AssignmentError>(&parsed)) {
            return Fail(context, error->message, kExitBadInput);
        }
        edit.entry = std::get<keys::KeyEntry>(parsed);
    }
    const service::OperationResult stored = context.keyboard->Call(
        [&edit](service::KeyboardSession& session) { return session.StoreKeyEntry(edit); });
    if (stored.status == service::OperationStatus::EntryRefused) {
        return Fail(context,
                    EntryRefusalText(stored.refusal,
                                     "\"" + keys::KeySlotName(*slot, context.lookup) + "\""),
                    kExitBadInput);
    }
    if (!stored.Succeeded()) {
        return FailOperation(context, stored, "assign");
    }
    const service::SnapshotPtr snapshot = context.keyboard->Service().Snapshot();
    const std::string description =
        AssignmentLine(SlotName(*slot, context.lookup),
                       snapshot->image.blocks[static_cast<std::size_t>(working.profile)][*slot],
                       snapshot->image.macros, context.lookup);
    return FinishEdit(context, working, o.applyNow,
                      "Profile " + std::to_string(working.profile + 1) + ", " + description,
                      {{"profile", working.profile + 1}, {"key", o.key}, {"target", o.target}});
}

}  // namespace

void AddAssignCommand(CLI::App& app, Command& selected) {
    auto o = std::make_shared<AssignOptions>();
    auto* assign = app.add_subcommand(
        "assign",
        "Give a key of the active profile a new job. TARGET is one of: default, disabled, "
        "stop-macro, key:NAME, mouse:left|right|middle|wheel-up|wheel-down, macro:ID, "
        "media:NAME, function:open|new|undo|save|copy|cut|paste|find|select-all|zoom-out|"
        "zoom-in");
    assign->add_option("key", o->key, "The key: its name (see `keys list`) or G1..G18")->required();
    assign->add_option("target", o->target, "What the key does")->required();
    assign
        ->add_option("--repeat", o->repeat,
                     "How often a macro plays per press, 1..255; it is the macro's own count, "
                     "so every key that plays the macro plays it that often")
        ->check(CLI::Range(1, 255));
    assign->add_flag("--apply", o->applyNow,
                     "Write to the keyboard at once instead of keeping the edit pending");
    assign->footer(
        "\nExamples:\n"
        "  quorvanectl assign \"Caps Lock\" macro:1 --repeat 2\n"
        "  quorvanectl assign G1 media:mute\n"
        "  quorvanectl assign F1 key:Backspace --apply\n"
        "  quorvanectl assign caps default");
    Select(assign, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunAssign(context, *o); }});
}

}  // namespace qv::cli
