#include "cli/macro_editing.h"

#include <cstdio>

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "core/utf16.h"
#include "macros/macro_text.h"
#include "macros/text_taps.h"

namespace qv::cli {
namespace {

std::string_view FormName(macros::MacroAreaForm form) {
    switch (form) {
        case macros::MacroAreaForm::Full:
            return "full";
        case macros::MacroAreaForm::Compact:
            return "compact";
        case macros::MacroAreaForm::TooLarge:
            break;
    }
    return "too-large";
}

// A character as the user typed it, with its code point: "é" (U+00E9). Control characters
// show by their code point alone.
std::string CharacterText(char32_t character) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    if (character < 0x20 || character == 0x7F) {
        return code;
    }
    std::u16string units;
    if (character >= 0x10000) {
        units.push_back(static_cast<char16_t>(0xD800 + ((character - 0x10000) >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + ((character - 0x10000) & 0x3FF)));
    } else {
        units.push_back(static_cast<char16_t>(character));
    }
    return "\"" + Utf16ToUtf8(units) + "\" (" + code + ")";
}

std::string TextTapsErrorText(const macros::TextTapsError& error) {
    switch (error.kind) {
        case macros::TextTapsError::Kind::Empty:
            return "the text is empty";
        case macros::TextTapsError::Kind::NoKey:
            return "character " + std::to_string(error.position) + " of the text, " +
                   CharacterText(error.character) + ", has no key on the US keyboard layout";
        case macros::TextTapsError::Kind::TooManySteps:
            return "the text is too long: up to character " + std::to_string(error.position) +
                   " it takes more than " + std::to_string(macros::kMaxMacroActions) +
                   " steps, the most a macro holds";
    }
    return {};
}

}  // namespace

std::string NoMacroMessage(int id) {
    return "no macro has the id " + std::to_string(id) + " (see `quorvanectl macro list`)";
}

std::string MacroLabel(const macros::MacroRecord& macro) {
    return "Macro " + std::to_string(macro.macroId) + " \"" + Utf16ToUtf8(macro.name) + "\"";
}

std::variant<std::unique_ptr<MacroEditSession>, int> OpenMacroEdit(CommandContext& context,
                                                                   std::string_view verb, int id) {
    const auto opened = OpenWorkingImage(context, ImageUse::Edit, verb);
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    auto session = std::make_unique<MacroEditSession>();
    session->image = std::get<WorkingImage>(opened);
    const service::SnapshotPtr snapshot = context.keyboard->Service().Snapshot();
    session->capacity = snapshot->macroCapacity;
    const auto shownId = static_cast<std::uint16_t>(id);
    session->manager.Open(snapshot->image, shownId);
    if (id != 0 && (id < 0 || id > 0xFFFF || !session->manager.IndexOfId(shownId))) {
        return Fail(context, NoMacroMessage(id), kExitBadInput);
    }
    return session;
}

std::optional<int> RefuseTooLarge(CommandContext& context, const MacroEditSession& session) {
    const macros::MacroMemoryMeter meter = session.manager.Meter(session.capacity);
    if (!meter.CapacityKnown() || !meter.ApplyRefused()) {
        return std::nullopt;
    }
    return Fail(context,
                "the macros would need " + std::to_string(meter.sizes.compact) +
                    " bytes of the keyboard's macro memory, which holds " +
                    std::to_string(meter.capacity) + " bytes; nothing was changed",
                kExitBadInput);
}

int FinishMacroEdit(CommandContext& context, MacroEditSession& session, bool applyNow,
                    const std::string& done, nlohmann::json details) {
    const macros::MacroMemoryMeter meter = session.manager.Meter(session.capacity);
    const service::OperationResult edited = context.keyboard->Call(
        [&](service::KeyboardSession& s) { return s.EditMacros(std::move(session.manager)); });
    if (!edited.Succeeded()) {
        return FailOperation(context, edited, "edit the macros");
    }
    if (meter.CapacityKnown() && meter.NamesDropped()) {
        Note(context, "the macro names do not fit the keyboard's macro memory (" +
                          MemoryFigure(meter) +
                          "): the keyboard will get the macros without "
                          "their names");
    }
    return FinishEdit(context, session.image, applyNow, done, std::move(details));
}

std::variant<std::vector<macros::MacroAction>, std::string> StepsFromOptions(
    const std::optional<std::string>& steps, const std::optional<std::string>& text,
    std::uint32_t delayMs, const keys::TextLookupFn& lookup) {
    if (steps.has_value() == text.has_value()) {
        return std::string(steps ? "give the steps or --text, not both"
                                 : "give the steps or --text");
    }
    if (steps) {
        auto parsed = macros::ParseMacroText(*steps, lookup);
        if (const auto* error = std::get_if<macros::MacroTextError>(&parsed)) {
            return "the macro steps are not right: " + error->message;
        }
        return std::get<std::vector<macros::MacroAction>>(std::move(parsed));
    }
    auto typed = macros::TextToTaps(*text, delayMs);
    if (const auto* error = std::get_if<macros::TextTapsError>(&typed)) {
        return TextTapsErrorText(*error);
    }
    return std::get<std::vector<macros::MacroAction>>(std::move(typed));
}

std::string MemoryFigure(const macros::MacroMemoryMeter& meter) {
    if (!meter.CapacityKnown()) {
        return std::to_string(meter.Used()) + " bytes used; the keyboard's capacity is not known";
    }
    std::string figure = std::to_string(meter.Used()) + " of " + std::to_string(meter.capacity) +
                         " bytes used (" + std::to_string(meter.PercentUsed()) + "%)";
    if (meter.NamesDropped()) {
        figure += "; without names, which do not fit";
    } else if (meter.ApplyRefused()) {
        figure += "; " + std::to_string(meter.Excess()) + " bytes too many: apply will refuse them";
    }
    return figure;
}

nlohmann::json MemoryJson(const macros::MacroMemoryMeter& meter) {
    nlohmann::json json = {{"usedBytes", meter.Used()},
                           {"fullBytes", meter.sizes.full},
                           {"compactBytes", meter.sizes.compact},
                           {"form", FormName(meter.form)}};
    if (meter.CapacityKnown()) {
        json["capacityBytes"] = meter.capacity;
        json["percentUsed"] = meter.PercentUsed();
    } else {
        json["capacityBytes"] = nullptr;
        json["form"] = nullptr;
    }
    return json;
}

}  // namespace qv::cli
