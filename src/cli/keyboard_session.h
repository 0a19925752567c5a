#pragma once

// The keyboard a quorvanectl run talks to: the simulated one (optionally kept in a state file)
// or a real one through hidapi, with the transport loaded on top.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "device/commands.h"
#include "device/transport.h"

namespace qv::sim {
class SimHidService;
}

namespace qv::cli {

struct KeyboardChoice {
    enum class Kind { Real, Simulated };
    Kind kind = Kind::Real;
    std::filesystem::path statePath;  // simulated only
};

// "real", "sim" or "sim:PATH"; nullopt for anything else.
[[nodiscard]] std::optional<KeyboardChoice> ParseKeyboardChoice(const std::string& text);

struct SessionError {
    std::string message;
};

class KeyboardSession {
public:
    ~KeyboardSession();

    [[nodiscard]] static std::variant<std::unique_ptr<KeyboardSession>, SessionError> Open(
        const KeyboardChoice& choice, bool trace);

    [[nodiscard]] bool IsKeyboardPresent() { return transport_->IsKeyboardPresent(); }
    [[nodiscard]] device::DeviceCommands& commands() { return *commands_; }
    [[nodiscard]] bool IsSimulated() const { return simulated_ != nullptr; }

    // Keeps the simulated keyboard's memory for the next run; nothing to do for a real one.
    [[nodiscard]] std::optional<SessionError> Close();

private:
    KeyboardSession() = default;

    std::unique_ptr<device::HidService> service_;
    sim::SimHidService* simulated_ = nullptr;
    std::filesystem::path statePath_;
    std::unique_ptr<device::Transport> transport_;
    std::unique_ptr<device::DeviceCommands> commands_;
};

}  // namespace qv::cli
