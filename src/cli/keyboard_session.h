#pragma once

// The keyboard a quorvanectl run talks to (the simulated one, optionally kept in a state file,
// or a real one through hidapi) with the whole application core on top of it, run headless.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "app/keyboard_app.h"
#include "cli/headless_front.h"
#include "keys/key_names.h"
#include "platform/path_launcher.h"
#include "service/keyboard_backend.h"

namespace qv::cli {

using service::KeyboardChoice;
using service::ParseKeyboardChoice;

struct SessionError {
    std::string message;
};

struct SessionOptions {
    bool trace = false;
    bool assumeYes = false;
};

class KeyboardSession {
public:
    ~KeyboardSession();

    [[nodiscard]] static std::variant<std::unique_ptr<KeyboardSession>, SessionError> Open(
        const KeyboardChoice& choice, const SessionOptions& options);

    [[nodiscard]] bool IsKeyboardPresent() { return app_->transport->IsKeyboardPresent(); }
    [[nodiscard]] device::DeviceCommands& commands() { return app_->commands; }
    [[nodiscard]] app::KeyboardApp& app() { return *app_; }
    [[nodiscard]] keys::TextLookupFn Lookup() const {
        return [this](const std::string& key) { return app_->lookup.LookupText(key); };
    }

    // Handles the keyboard's arrival as the desktop app does: firmware check, key default
    // table, macro capacity, capture into the current profile file and load, lighting. False
    // when the firmware is too old for the tool (after telling the user).
    [[nodiscard]] bool Arrive();
    [[nodiscard]] bool ProgramEnded() const { return exit_.Ended(); }

    // Keeps the simulated keyboard's memory for the next run; nothing to do for a real one.
    [[nodiscard]] std::optional<SessionError> Close();

private:
    explicit KeyboardSession(const SessionOptions& options) : prompt_(options.assumeYes) {}

    std::unique_ptr<service::KeyboardBackend> backend_;
    HeadlessView view_;
    HeadlessPrompt prompt_;
    platform::PathLauncher launcher_;
    HeadlessExit exit_;
    std::unique_ptr<platform::IniSettingsStore> languageKey_;
    platform::PosixSystemLanguage systemLanguage_;
    std::unique_ptr<app::KeyboardApp> app_;
};

}  // namespace qv::cli
