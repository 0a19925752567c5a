#include "cli/macro_commands.h"

#include <algorithm>
#include <memory>

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/listing.h"
#include "cli/working_image.h"
#include "core/utf16.h"
#include "macros/macro_area.h"
#include "macros/macro_text.h"
#include "ui/safe_format.h"
#include "ui/text_slots.h"

namespace qv::cli {
namespace {

struct MacroOptions {
    int id = 0;
    std::string name;
    std::string steps;
    int repeat = 1;
    bool force = false;
    bool applyNow = false;
};

std::uint16_t FreeMacroId(const macros::MacroList& list) {
    for (std::uint16_t id = macros::kMinMacroId; id <= macros::kMaxMacroId; ++id) {
        if (std::none_of(list.begin(), list.end(),
                         [&](const auto& m) { return m.macroId == id; })) {
            return id;
        }
    }
    return 0;
}

std::string NoMacroMessage(int id) {
    return "no macro has the id " + std::to_string(id) + " (see `quorvanectl macro list`)";
}

// Every macro, or the one with `onlyId` step by step.
int RunList(CommandContext& context, int onlyId) {
    const auto opened = OpenWorkingImage(context, ImageUse::Show, "list the macros");
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    const auto image = context.keyboard->Service().Image().Lock();
    nlohmann::json json = nlohmann::json::array();
    std::string text;
    for (const macros::MacroRecord& macro : image->macros) {
        if (onlyId != 0 && macro.macroId != onlyId) {
            continue;
        }
        json.push_back(MacroJson(macro, context.lookup));
        text += MacroText(macro, onlyId != 0, context.lookup);
    }
    if (onlyId != 0 && json.empty()) {
        return Fail(context, NoMacroMessage(onlyId), kExitBadInput);
    }
    if (image->macros.empty()) {
        text = "No macros.\n";
    }
    Print(context, text, json);
    return kExitOk;
}

int RunAdd(CommandContext& context, const MacroOptions& o) {
    const auto steps = macros::ParseMacroText(o.steps, context.lookup);
    if (const auto* error = std::get_if<macros::MacroTextError>(&steps)) {
        return Fail(context, "the macro steps are not right: " + error->message, kExitBadInput);
    }
    const std::u16string name = Utf8ToUtf16(o.name);
    if (name.empty() || name.size() > macros::kMaxMacroNameLength) {
        return Fail(context, "a macro name has 1 to 249 characters", kExitBadInput);
    }
    const auto opened = OpenWorkingImage(context, ImageUse::Edit, "add the macro");
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    const std::size_t capacity = context.keyboard->Call(
        [](service::KeyboardSession& s) { return s.Facts().MacroCapacity(); });
    std::uint16_t id = 0;
    std::size_t stepCount = 0;
    {
        const auto image = context.keyboard->Service().Image().Lock();
        if (image->macros.size() >= macros::kMaxMacros) {
            const std::string format =
                context.lookup(std::string(ui::BuiltInText(ui::TextSlot::MACRO_ERR_MAX)));
            return Fail(context, ui::SafeFormat(format, "At most %d macros.", {100}),
                        kExitBadInput);
        }
        id = FreeMacroId(image->macros);
        auto actions = std::get<std::vector<macros::MacroAction>>(steps);
        stepCount = actions.size();
        image->macros.push_back({.name = name,
                                 .repeatCount = static_cast<std::uint8_t>(o.repeat),
                                 .macroId = id,
                                 .actions = std::move(actions)});
        // Refused here rather than at the apply, so that no pending edit is kept that can never
        // be written. Without a capacity read (0) the apply is left to judge.
        const std::size_t needed = macros::MacroAreaSizes(image->macros).compact;
        if (capacity != 0 && needed > capacity) {
            image->macros.pop_back();
            return Fail(context,
                        "the macros would need " + std::to_string(needed) +
                            " bytes of the keyboard's macro memory, which holds " +
                            std::to_string(capacity) + " bytes; nothing was changed",
                        kExitBadInput);
        }
    }
    return FinishEdit(context, std::get<WorkingImage>(opened), o.applyNow,
                      "Macro " + std::to_string(id) + " \"" + o.name + "\" added (" +
                          std::to_string(stepCount) + " steps, played " + std::to_string(o.repeat) +
                          "x).",
                      {{"id", id}, {"name", o.name}});
}

int RunDelete(CommandContext& context, const MacroOptions& o) {
    const auto opened = OpenWorkingImage(context, ImageUse::Edit, "delete the macro");
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    int uses = 0;
    std::string name;
    {
        const auto image = context.keyboard->Service().Image().Lock();
        auto& list = image->macros;
        const auto found = std::find_if(list.begin(), list.end(),
                                        [&](const auto& m) { return m.macroId == o.id; });
        if (found == list.end()) {
            return Fail(context, NoMacroMessage(o.id), kExitBadInput);
        }
        for (auto& block : image->blocks) {
            for (std::size_t slot = 0; slot < keys::kGKeySlotEnd; ++slot) {
                const keys::KeyEntry& entry = block[slot];
                uses += entry.kind == keys::KeyKind::Macro &&
                        entry.value == static_cast<std::uint32_t>(o.id);
            }
        }
        if (uses > 0 && !o.force) {
            return Fail(context,
                        std::to_string(uses) +
                            " key(s) play this macro; --force deletes it and puts them back to "
                            "their defaults",
                        kExitBadInput);
        }
        for (auto& block : image->blocks) {
            for (std::size_t slot = 0; slot < keys::kGKeySlotEnd; ++slot) {
                keys::KeyEntry& entry = block[slot];
                if (entry.kind == keys::KeyKind::Macro &&
                    entry.value == static_cast<std::uint32_t>(o.id)) {
                    entry = keys::KeyEntry{.aux = keys::GKeyAuxCode(slot)};
                }
            }
        }
        name = Utf16ToUtf8(found->name);
        list.erase(found);
    }
    std::string done = "Macro " + std::to_string(o.id) + " \"" + name + "\" deleted";
    if (uses > 0) {
        done += "; " + std::to_string(uses) + " key(s) that played it are back at their defaults";
    }
    return FinishEdit(context, std::get<WorkingImage>(opened), o.applyNow, done + ".",
                      {{"id", o.id}, {"keysReset", uses}});
}

}  // namespace

void AddMacroCommands(CLI::App& app, Command& selected) {
    auto o = std::make_shared<MacroOptions>();
    const auto applyFlag = [o](CLI::App* command) {
        command->add_flag("--apply", o->applyNow,
                          "Write to the keyboard at once instead of keeping the edit pending");
    };
    auto* macro = app.add_subcommand("macro", "List, show, add and delete macros");
    macro->require_subcommand(1);
    macro->footer(
        "\nExamples:\n"
        "  quorvanectl macro list\n"
        "  quorvanectl macro add \"Copy all\" \"press LCtrl, tap A, 20ms, tap C, release LCtrl\"\n"
        "  quorvanectl macro delete 1 --force");

    auto* list = macro->add_subcommand("list", "Every macro with its id, pending edits included");
    list->footer(
        "\nExamples:\n"
        "  quorvanectl macro list\n"
        "  quorvanectl --json macro list");
    Select(list, selected,
           {Needs::Keyboard, [](CommandContext& context) { return RunList(context, 0); }});

    auto* show = macro->add_subcommand("show", "One macro, step by step");
    show->add_option("id", o->id, "Macro id")->required();
    show->footer(
        "\nExamples:\n"
        "  quorvanectl macro show 1");
    Select(show, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunList(context, o->id); }});

    auto* add = macro->add_subcommand(
        "add",
        "Add a macro. STEPS, separated by commas: press KEY, release KEY, tap KEY (press and "
        "release), and delays after a step in milliseconds (30ms, wait 30 or 30)");
    add->add_option("name", o->name, "The macro's name")->required();
    add->add_option("steps", o->steps, "The steps")->required();
    add->add_option("--repeat", o->repeat, "How often it plays per press, 1..255")
        ->check(CLI::Range(1, 255));
    applyFlag(add);
    add->footer(
        "\nExamples:\n"
        "  quorvanectl macro add \"Copy all\" \"press LCtrl, tap A, 20ms, tap C, release LCtrl\"\n"
        "  quorvanectl macro add Hello \"tap H, tap E, tap L, tap L, tap O\" --repeat 2 --apply");
    Select(add, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunAdd(context, *o); }});

    auto* remove = macro->add_subcommand("delete", "Delete a macro");
    remove->add_option("id", o->id, "Macro id")->required();
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
