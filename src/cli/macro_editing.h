#pragma once

// What the macro commands share: an edit session of the macro manager on the working image that
// ends in a commit, steps given as text or typed from a text, and the memory meter in words.

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/cli_command.h"
#include "cli/working_image.h"
#include "editing/macro_manager.h"

namespace qv::cli {

struct MacroEditSession {
    WorkingImage image;
    macros::MacroManager manager;
    std::size_t capacity = 0;  // of the keyboard's macro memory; 0 when not known
};

// The working image opened for an edit (`verb` as in "rename the macro"), with a session on its
// macros showing the macro `id`, or none for id 0. Says why not and gives the exit code when
// there is nothing to edit or no macro has the id.
[[nodiscard]] std::variant<std::unique_ptr<MacroEditSession>, int> OpenMacroEdit(
    CommandContext& context, std::string_view verb, int id);

// Refuses an edit after which the macros would not fit the keyboard even without their names,
// so that no pending edit is kept that can never be written; nothing when they fit, or when the
// keyboard's capacity is not known (the apply judges then).
[[nodiscard]] std::optional<int> RefuseTooLarge(CommandContext& context,
                                                const MacroEditSession& session);

// Commits the session into the working image, then keeps it pending or writes it (`applyNow`).
// Warns when the macros will go to the keyboard without their names.
[[nodiscard]] int FinishMacroEdit(CommandContext& context, MacroEditSession& session, bool applyNow,
                                  const std::string& done, nlohmann::json details);

// The steps of a macro: STEPS parsed, or TEXT typed as key taps with `delayMs` after each.
// Exactly one of the two is given. The error says what is wrong.
[[nodiscard]] std::variant<std::vector<macros::MacroAction>, std::string> StepsFromOptions(
    const std::optional<std::string>& steps, const std::optional<std::string>& text,
    std::uint32_t delayMs, const keys::TextLookupFn& lookup);

// "46 of 8192 bytes used (1%)", with what the apply will do about a list that does not fit.
[[nodiscard]] std::string MemoryFigure(const macros::MacroMemoryMeter& meter);
[[nodiscard]] nlohmann::json MemoryJson(const macros::MacroMemoryMeter& meter);

[[nodiscard]] std::string NoMacroMessage(int id);
// "Macro 3 \"Copy all\"".
[[nodiscard]] std::string MacroLabel(const macros::MacroRecord& macro);

}  // namespace qv::cli
