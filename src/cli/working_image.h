#pragma once

// The key configuration the edit commands work on: what the keyboard holds, with the pending
// edits of earlier runs on top when they were made on this keyboard and profile. Edits are kept
// as pending edits with a record of where they were made, and reach the keyboard only there.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "cli/cli_command.h"
#include "macros/macro_record.h"
#include "service/pending_edits.h"

namespace qv::cli {

struct WorkingImage {
    int profile = 0;  // the active profile, 0..3
    bool pendingIncluded = false;
};

enum class ImageUse {
    Edit,  // refused when the pending edits belong elsewhere or nothing sound can be edited
    Show,  // shows the keyboard's configuration when the pending edits belong elsewhere
};

// Puts the working image in place in the keyboard service; or says why not (`verb` names what
// was asked for, as in "assign") and gives the exit code.
[[nodiscard]] std::variant<WorkingImage, int> OpenWorkingImage(CommandContext& context,
                                                               ImageUse use, std::string_view verb);

// The macros of the working image, for a figure shown by a command that only reads: those of
// the pending edits when they belong to this keyboard and profile, else the keyboard's.
// Nothing, and not a word said, when neither can be read.
struct WorkingMacros {
    macros::MacroList macros;
    bool pendingIncluded = false;
};
[[nodiscard]] std::optional<WorkingMacros> PeekWorkingMacros(CommandContext& context);

// After an edit of the working image: keeps it as pending edits and says `done`, or with
// `applyNow` writes it to the keyboard at once.
[[nodiscard]] int FinishEdit(CommandContext& context, const WorkingImage& image, bool applyNow,
                             const std::string& done, nlohmann::json details);

// Writes the working image to the keyboard, keeps the keyboard's state and only then drops the
// pending edits. Edits not yet kept as pending edits (`kept` false) are kept when any of that
// fails.
[[nodiscard]] int ApplyWorkingImage(CommandContext& context, const WorkingImage& image, bool kept,
                                    const std::string& done, nlohmann::json details);

// Why pending edits cannot be used here, and what to do about them.
[[nodiscard]] std::string PendingConflictText(service::PendingState state,
                                              const service::PendingEdits& pending,
                                              int activeProfile);

}  // namespace qv::cli
