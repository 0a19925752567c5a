#pragma once

// How a command reports its outcome: plain lines (results on stdout, "quorvanectl: ..." on
// stderr), or with --json one JSON object on stdout, {"ok": true, ...} or
// {"ok": false, "error": "..."}.

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "cli/cli_command.h"
#include "service/operation_result.h"

namespace qv::cli {

// Says why the command failed and returns `code`.
int Fail(CommandContext& context, std::string_view message, int code);
// Says what the command did. `details` (an object) adds to the JSON form.
int Succeed(CommandContext& context, std::string_view message,
            nlohmann::json details = nlohmann::json::object());
// A remark on stderr that does not change the outcome.
void Note(CommandContext& context, std::string_view message);
// Read results: the text as it is, or the JSON value on its own.
void Print(CommandContext& context, std::string_view text, const nlohmann::json& json);

// Why the keyboard cannot hold an edit of the key `keyName` (as in "\"Caps Lock\"").
[[nodiscard]] std::string EntryRefusalText(keys::EntryRefusal refusal, std::string_view keyName);
// Why an operation of the keyboard service failed, and the exit code that goes with it.
[[nodiscard]] std::string OperationFailureText(const service::OperationResult& result);
[[nodiscard]] int OperationExitCode(const service::OperationResult& result);

// When the simulated keyboard answered with a failure because its state file could not be read
// or written, that cause ("; the simulated keyboard could not use its state file (PATH: No space
// left on device)"); empty otherwise.
[[nodiscard]] std::string KeptStateCause(CommandContext& context);

// A failed operation of the keyboard service, in words and an exit code. `what` names the
// operation, as in "apply the edits"; `after` is added to the message.
int FailOperation(CommandContext& context, const service::OperationResult& result,
                  std::string_view what, std::string_view after = {});
// Each problem a read or a load left, as a warning.
void WarnProblems(CommandContext& context, const service::OperationResult& result);

}  // namespace qv::cli
