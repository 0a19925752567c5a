#pragma once

// Which keyboard a program talks to: a real one through hidapi, or the simulated one, whose
// memory may be kept in a state file between runs. Both programs take it as
// --keyboard=real|sim|sim:PATH.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "device/hid_service.h"

namespace qv::sim {
class SimHidService;
}

namespace qv::service {

struct KeyboardChoice {
    enum class Kind { Real, Simulated };
    Kind kind = Kind::Real;
    std::filesystem::path statePath;  // simulated only
};

// "real", "sim" or "sim:PATH"; nullopt for anything else.
[[nodiscard]] std::optional<KeyboardChoice> ParseKeyboardChoice(const std::string& text);

struct BackendError {
    std::string message;
};

class KeyboardBackend {
public:
    [[nodiscard]] static std::variant<std::unique_ptr<KeyboardBackend>, BackendError> Open(
        const KeyboardChoice& choice);

    [[nodiscard]] device::HidService& service() { return *service_; }
    // The simulated keyboard, or nullptr for a real one.
    [[nodiscard]] sim::SimHidService* simulated() { return simulated_; }

    // The simulated keyboard keeps every change in its state file as it is made; this reports
    // the first time during the run that it could not (read or write). Nothing for a real one.
    [[nodiscard]] std::optional<BackendError> Save();

    // Which keyboard this is, the same in every run: "sim:" and the state file's absolute
    // path for a simulated one, "usb:0c45:5004" for a real one.
    [[nodiscard]] std::string Identity() const;

private:
    KeyboardBackend() = default;

    std::unique_ptr<device::HidService> service_;
    sim::SimHidService* simulated_ = nullptr;
    std::filesystem::path statePath_;
};

}  // namespace qv::service
