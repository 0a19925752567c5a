#include "cli/macro_commands.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/listing.h"
#include "cli/macro_editing.h"
#include "cli/working_image.h"
#include "core/utf16.h"
#include "texts/safe_format.h"
#include "texts/text_slots.h"

namespace qv::cli {
namespace {

struct MacroOptions {
    int id = 0;
    std::string name;
    std::optional<std::string> steps;
    std::optional<std::string> text;
    std::uint32_t delay = 0;
    std::optional<int> repeat;
    std::string place;
    bool force = false;
    bool applyNow = false;
};

constexpr std::string_view kPlaceWords = "top, up, down, bottom or a position";

using Session = std::unique_ptr<MacroEditSession>;

// The name a command line gives, or the reason it cannot be a macro's name.
std::variant<std::u16string, std::string> MacroName(const std::string& typed) {
    std::u16string name = Utf8ToUtf16(typed);
    if (name.empty() || name.size() > macros::kMaxMacroNameLength) {
        return std::string("a macro name has 1 to 249 characters");
    }
    return name;
}

std::string StepsSummary(const macros::MacroRecord& macro) {
    return "(" + std::to_string(macro.actions.size()) + " steps, played " +
           std::to_string(macro.repeatCount) + "x)";
}

// Every macro, or the one with `onlyId` step by step.
int RunList(CommandContext& context, int onlyId) {
    const auto opened = OpenWorkingImage(context, ImageUse::Show, "list the macros");
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    const service::SnapshotPtr snapshot = context.keyboard->Service().Snapshot();
    const std::size_t capacity = snapshot->macroCapacity;
    const profiles::ImageContents* image = &snapshot->image;
    nlohmann::json json = nlohmann::json::array();
    std::string text;
    for (const macros::MacroRecord& macro : image->macros) {
        if (onlyId != 0 && macro.macroId != onlyId) {
            continue;
        }
        json.push_back(MacroJson(macro, context.lookup));
        text += MacroText(macro, onlyId != 0, context.lookup);
    }
    if (onlyId != 0) {
        if (json.empty()) {
            return Fail(context, NoMacroMessage(onlyId), kExitBadInput);
        }
        Print(context, text, json);
        return kExitOk;
    }
    if (image->macros.empty()) {
        text = "No macros.\n";
    }
    const macros::MacroMemoryMeter meter = macros::MeasureMacroMemory(image->macros, capacity);
    text += "Macro memory: " + MemoryFigure(meter) + "\n";
    Print(context, text, {{"macros", json}, {"memory", MemoryJson(meter)}});
    return kExitOk;
}

int RunAdd(CommandContext& context, const MacroOptions& o) {
    auto steps = StepsFromOptions(o.steps, o.text, o.delay, context.lookup);
    if (const auto* error = std::get_if<std::string>(&steps)) {
        return Fail(context, *error, kExitBadInput);
    }
    const auto name = MacroName(o.name);
    if (const auto* error = std::get_if<std::string>(&name)) {
        return Fail(context, *error, kExitBadInput);
    }
    auto opened = OpenMacroEdit(context, "add the macro", 0);
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    MacroEditSession& session = *std::get<Session>(opened);
    macros::MacroManager& manager = session.manager;
    if (manager.Add(u"").notice == macros::MacroNotice::TooManyMacros) {
        const std::string format =
            context.lookup(std::string(ui::BuiltInText(ui::TextSlot::MACRO_ERR_MAX)));
        return Fail(
            context,
            ui::SafeFormat(format, "At most %d macros.", {static_cast<int>(macros::kMaxMacros)}),
            kExitBadInput);
    }
    (void)manager.Rename(std::get<std::u16string>(name));
    (void)manager.ReplaceActions(std::get<std::vector<macros::MacroAction>>(std::move(steps)));
    (void)manager.SetRepeatCount(o.repeat.value_or(1));
    if (const auto refused = RefuseTooLarge(context, session)) {
        return *refused;
    }
    const macros::MacroRecord& macro = *manager.ShownMacro();
    const std::string done = MacroLabel(macro) + " added " + StepsSummary(macro) + ".";
    const nlohmann::json details = {{"id", macro.macroId}, {"name", o.name}};
    return FinishMacroEdit(context, session, o.applyNow, done, details);
}

int RunEdit(CommandContext& context, const MacroOptions& o) {
    if (!o.steps && !o.text && !o.repeat) {
        return Fail(context, "give the steps, --text or --repeat", kExitBadInput);
    }
    std::optional<std::vector<macros::MacroAction>> actions;
    if (o.steps || o.text) {
        auto steps = StepsFromOptions(o.steps, o.text, o.delay, context.lookup);
        if (const auto* error = std::get_if<std::string>(&steps)) {
            return Fail(context, *error, kExitBadInput);
        }
        actions = std::get<std::vector<macros::MacroAction>>(std::move(steps));
    }
    auto opened = OpenMacroEdit(context, "edit the macro", o.id);
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    MacroEditSession& session = *std::get<Session>(opened);
    if (actions) {
        (void)session.manager.ReplaceActions(*std::move(actions));
    }
    if (o.repeat) {
        (void)session.manager.SetRepeatCount(*o.repeat);
    }
    if (const auto refused = RefuseTooLarge(context, session)) {
        return *refused;
    }
    const macros::MacroRecord& macro = *session.manager.ShownMacro();
    return FinishMacroEdit(context, session, o.applyNow,
                           MacroLabel(macro) + " changed " + StepsSummary(macro) + ".",
                           {{"id", macro.macroId}});
}

int RunRename(CommandContext& context, const MacroOptions& o) {
    const auto name = MacroName(o.name);
    if (const auto* error = std::get_if<std::string>(&name)) {
        return Fail(context, *error, kExitBadInput);
    }
    auto opened = OpenMacroEdit(context, "rename the macro", o.id);
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    MacroEditSession& session = *std::get<Session>(opened);
    const std::string before = MacroLabel(*session.manager.ShownMacro());
    (void)session.manager.Rename(std::get<std::u16string>(name));
    return FinishMacroEdit(context, session, o.applyNow, before + " is now \"" + o.name + "\".",
                           {{"id", o.id}, {"name", o.name}});
}

// The position 0.. a macro at `from` goes to, in a list of `count`; nothing for a word that
// names none.
std::optional<std::size_t> TargetPosition(std::string_view place, std::size_t from,
                                          std::size_t count) {
    if (place == "top") {
        return 0;
    }
    if (place == "bottom") {
        return count - 1;
    }
    if (place == "up") {
        return from == 0 ? 0 : from - 1;
    }
    if (place == "down") {
        return std::min(from + 1, count - 1);
    }
    const std::uint64_t position = macros::LeadingDigitsValue(place);
    if (place.empty() || place.find_first_not_of("0123456789") != std::string_view::npos ||
        position < 1 || position > count) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(position - 1);
}

int RunMove(CommandContext& context, const MacroOptions& o) {
    auto opened = OpenMacroEdit(context, "move the macro", o.id);
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    MacroEditSession& session = *std::get<Session>(opened);
    macros::MacroManager& manager = session.manager;
    const std::size_t count = manager.Macros().size();
    const auto to = TargetPosition(o.place, *manager.ShownIndex(), count);
    if (!to) {
        return Fail(context,
                    "\"" + o.place + "\" is no place in the list: " + std::string(kPlaceWords) +
                        " 1.." + std::to_string(count),
                    kExitBadInput);
    }
    while (*manager.ShownIndex() > *to) {
        (void)manager.MoveMacro(macros::MovePlace::Up);
    }
    while (*manager.ShownIndex() < *to) {
        (void)manager.MoveMacro(macros::MovePlace::Down);
    }
    const std::string done = MacroLabel(*manager.ShownMacro()) + " is at position " +
                             std::to_string(*to + 1) + " of " + std::to_string(count) + ".";
    return FinishMacroEdit(context, session, o.applyNow, done,
                           {{"id", o.id}, {"position", *to + 1}});
}

int RunClear(CommandContext& context, const MacroOptions& o) {
    auto opened = OpenMacroEdit(context, "clear the macro", o.id);
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    MacroEditSession& session = *std::get<Session>(opened);
    const std::size_t steps = session.manager.ShownMacro()->actions.size();
    (void)session.manager.ClearActions(true);
    return FinishMacroEdit(context, session, o.applyNow,
                           MacroLabel(*session.manager.ShownMacro()) +
                               " cleared: " + std::to_string(steps) + " steps removed.",
                           {{"id", o.id}, {"stepsRemoved", steps}});
}

int RunDelete(CommandContext& context, const MacroOptions& o) {
    auto opened = OpenMacroEdit(context, "delete the macro", o.id);
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    MacroEditSession& session = *std::get<Session>(opened);
    const std::size_t uses = session.manager.KeysPlaying(static_cast<std::uint16_t>(o.id));
    if (uses > 0 && !o.force) {
        return Fail(context,
                    std::to_string(uses) +
                        " key(s) play this macro; --force deletes it and puts them back to "
                        "their defaults",
                    kExitBadInput);
    }
    std::string done = MacroLabel(*session.manager.ShownMacro()) + " deleted";
    (void)session.manager.Delete(true);
    if (uses > 0) {
        done += "; " + std::to_string(uses) + " key(s) that played it are back at their defaults";
    }
    return FinishMacroEdit(context, session, o.applyNow, done + ".",
                           {{"id", o.id}, {"keysReset", uses}});
}

}  // namespace

void AddMacroCommands(CLI::App& app, Command& selected) {
    auto o = std::make_shared<MacroOptions>();
    const auto applyFlag = [o](CLI::App* command) {
        command->add_flag("--apply", o->applyNow,
                          "Write to the keyboard at once instead of keeping the edit pending");
    };
    const auto idOption = [o](CLI::App* command) {
        command->add_option("id", o->id, "Macro id")->required();
    };
    const auto stepOptions = [o](CLI::App* command) {
        command->add_option("steps", o->steps,
                            "The steps, separated by commas: press KEY, release KEY, tap KEY "
                            "(press and release), and delays after a step in milliseconds "
                            "(30ms, wait 30 or 30)");
        command->add_option("--text", o->text,
                            "Instead of steps: a text to type, as taps of the keys of a US "
                            "keyboard layout (Shift for capitals and symbols, Enter for a line "
                            "break)");
        command->add_option("--delay", o->delay, "With --text: the pause after each step, in ms")
            ->check(CLI::Range(0, 40000));
        command->add_option("--repeat", o->repeat, "How often it plays per press, 1..255")
            ->check(CLI::Range(1, 255));
    };
    auto* macro =
        app.add_subcommand("macro", "List, show, add, change, move, clear and delete macros");
    macro->require_subcommand(1);
    macro->footer(
        "\nExamples:\n"
        "  quorvanectl macro list\n"
        "  quorvanectl macro add \"Copy all\" \"press LCtrl, tap A, 20ms, tap C, release LCtrl\"\n"
        "  quorvanectl macro add Greeting --text \"Hello, world!\"\n"
        "  quorvanectl macro rename 2 \"Paste twice\"\n"
        "  quorvanectl macro move 2 top\n"
        "  quorvanectl macro delete 1 --force");

    auto* list = macro->add_subcommand(
        "list",
        "Every macro with its id, pending edits included, and how much of the keyboard's "
        "macro memory they take");
    list->footer(
        "\nExamples:\n"
        "  quorvanectl macro list\n"
        "  quorvanectl --json macro list");
    Select(list, selected,
           {Needs::Keyboard, [](CommandContext& context) { return RunList(context, 0); }});

    auto* show = macro->add_subcommand("show", "One macro, step by step");
    idOption(show);
    show->footer(
        "\nExamples:\n"
        "  quorvanectl macro show 1");
    Select(show, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunList(context, o->id); }});

    auto* add =
        macro->add_subcommand("add", "Add a macro, from STEPS or from a text to type (--text)");
    add->add_option("name", o->name, "The macro's name")->required();
    stepOptions(add);
    applyFlag(add);
    add->footer(
        "\nExamples:\n"
        "  quorvanectl macro add \"Copy all\" \"press LCtrl, tap A, 20ms, tap C, release LCtrl\"\n"
        "  quorvanectl macro add Hello \"tap H, tap E, tap L, tap L, tap O\" --repeat 2 --apply\n"
        "  quorvanectl macro add Signature --text \"Kind regards, Ann\" --delay 10");
    Select(add, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunAdd(context, *o); }});

    auto* edit = macro->add_subcommand(
        "edit", "Give a macro new steps (STEPS or --text) or a new repeat count");
    idOption(edit);
    stepOptions(edit);
    applyFlag(edit);
    edit->footer(
        "\nExamples:\n"
        "  quorvanectl macro edit 1 \"press LCtrl, tap V, release LCtrl\"\n"
        "  quorvanectl macro edit 2 --text \"hello\" --delay 20\n"
        "  quorvanectl macro edit 3 --repeat 5 --apply");
    Select(edit, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunEdit(context, *o); }});

    auto* rename = macro->add_subcommand("rename", "Give a macro a new name");
    idOption(rename);
    rename->add_option("name", o->name, "The new name, 1 to 249 characters")->required();
    applyFlag(rename);
    rename->footer(
        "\nExamples:\n"
        "  quorvanectl macro rename 2 \"Paste twice\"");
    Select(rename, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunRename(context, *o); }});

    auto* move = macro->add_subcommand(
        "move",
        "Move a macro in the list (its place is its number on the keyboard; keys that "
        "play it keep playing it)");
    idOption(move);
    move->add_option("place", o->place, "top, up, down, bottom or a position from 1")->required();
    applyFlag(move);
    move->footer(
        "\nExamples:\n"
        "  quorvanectl macro move 4 top\n"
        "  quorvanectl macro move 2 down\n"
        "  quorvanectl macro move 1 3 --apply");
    Select(move, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunMove(context, *o); }});

    auto* clear = macro->add_subcommand("clear", "Remove every step of a macro, keeping the macro");
    idOption(clear);
    applyFlag(clear);
    clear->footer(
        "\nExamples:\n"
        "  quorvanectl macro clear 2");
    Select(clear, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunClear(context, *o); }});

    auto* remove = macro->add_subcommand("delete", "Delete a macro");
    idOption(remove);
    remove->add_flag("--force", o->force, "Also put the keys that play it back to their defaults");
    applyFlag(remove);
    remove->footer(
        "\nExamples:\n"
        "  quorvanectl macro delete 3\n"
        "  quorvanectl macro delete 1 --force --apply");
    Select(remove, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunDelete(context, *o); }});
}

}  // namespace qv::cli
