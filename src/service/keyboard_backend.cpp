#include "service/keyboard_backend.h"

#include <cstdio>
#include <system_error>

#include "platform/xdg_paths.h"
#include "sim/sim_hid_service.h"
#include "sim/sim_state_file.h"
#ifdef QUORVANE_HAVE_HIDAPI
#include "device/hidapi/make_hidapi_service.h"
#endif

namespace qv::service {

std::optional<KeyboardChoice> ParseKeyboardChoice(const std::string& text) {
    if (text == "real") {
        return KeyboardChoice{};
    }
    if (text == "sim") {
        return KeyboardChoice{KeyboardChoice::Kind::Simulated, platform::DefaultSimStatePath()};
    }
    if (text.rfind("sim:", 0) == 0 && text.size() > 4) {
        return KeyboardChoice{KeyboardChoice::Kind::Simulated, text.substr(4)};
    }
    return std::nullopt;
}

std::variant<std::unique_ptr<KeyboardBackend>, BackendError> KeyboardBackend::Open(
    const KeyboardChoice& choice) {
    std::unique_ptr<KeyboardBackend> backend(new KeyboardBackend());
    if (choice.kind == KeyboardChoice::Kind::Simulated) {
        auto loaded = sim::LoadOrFactory(choice.statePath);
        if (auto* failure = std::get_if<sim::StateFileError>(&loaded)) {
            return BackendError{failure->message};
        }
        auto service =
            std::make_unique<sim::SimHidService>(std::get<sim::KeyboardMemory>(std::move(loaded)));
        backend->simulated_ = service.get();
        std::error_code error;
        backend->statePath_ = std::filesystem::absolute(choice.statePath, error);
        if (error) {
            backend->statePath_ = choice.statePath;
        }
        backend->service_ = std::move(service);
        return backend;
    }
#ifdef QUORVANE_HAVE_HIDAPI
    backend->service_ = device::MakeHidapiService();
    return backend;
#else
    return BackendError{"this build has no support for real keyboards; use --keyboard=sim"};
#endif
}

std::string KeyboardBackend::Identity() const {
    if (simulated_ != nullptr) {
        return "sim:" + statePath_.lexically_normal().string();
    }
    // The hidapi service does not tell one keyboard of the model from another yet.
    char text[32];
    std::snprintf(text, sizeof text, "usb:%04x:%04x", static_cast<unsigned>(device::kVendorId),
                  static_cast<unsigned>(device::kProductId));
    return text;
}

std::optional<BackendError> KeyboardBackend::Save() {
    if (simulated_ == nullptr) {
        return std::nullopt;
    }
    simulated_->WaitUntilIdle();
    auto saved = sim::SaveStateFile(statePath_, simulated_->Memory());
    if (auto* failure = std::get_if<sim::StateFileError>(&saved)) {
        return BackendError{failure->message};
    }
    return std::nullopt;
}

}  // namespace qv::service
