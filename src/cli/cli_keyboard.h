#pragma once

// The keyboard a command talks to: the backend --keyboard chose, with the keyboard service on
// top of it, started and past the keyboard's arrival. The arrival reads the keyboard into
// memory only; nothing is written to a file until a command says so.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <variant>

#include "cli/cli_command.h"
#include "cli/cli_observer.h"
#include "platform/path_launcher.h"
#include "service/keyboard_service.h"
#include "service/pending_edits.h"

namespace qv::cli {

class CliKeyboard {
public:
    // The keyboard, or the exit code after saying why there is none.
    [[nodiscard]] static std::variant<std::unique_ptr<CliKeyboard>, int> Open(
        CommandContext& context);
    ~CliKeyboard();
    CliKeyboard(const CliKeyboard&) = delete;
    CliKeyboard& operator=(const CliKeyboard&) = delete;

    [[nodiscard]] service::KeyboardService& Service() { return *service_; }
    template <typename F>
    auto Call(F&& work) {
        return service_->Call(std::forward<F>(work));
    }
    [[nodiscard]] bool FirmwareTooOld() const { return observer_.FirmwareTooOld(); }
    [[nodiscard]] std::string Identity() const { return backend_->Identity(); }

    // Keeps the keyboard's memory after a command that wrote to it: the error, or nullopt.
    [[nodiscard]] std::optional<std::string> Save();

private:
    CliKeyboard(std::ostream& err, bool assumeYes, const CliEnvironment& env)
        : observer_(err, assumeYes), env_(env) {}

    std::unique_ptr<service::KeyboardBackend> backend_;
    CliObserver observer_;
    const CliEnvironment& env_;
    platform::PathLauncher launcher_;
    // Goes before the backend it talks to.
    std::unique_ptr<service::KeyboardService> service_;
};

// The profile folder below the documents folder, created by the commands that write to it.
[[nodiscard]] std::filesystem::path ProfileFolder(const CliEnvironment& env);
[[nodiscard]] service::PendingEdits PendingEditsOf(const CliEnvironment& env);

}  // namespace qv::cli
