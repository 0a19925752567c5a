#include "service/keyboard_backend.h"

#include <cstdio>
#include <system_error>

#include <cstdlib>

#include "platform/xdg_paths.h"
#include "sim/sim_hid_service.h"
#include "sim/state_file_keyboard.h"
#ifdef QUORVANE_HAVE_HIDAPI
#include "backends/hidapi/make_hidapi_service.h"
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
        auto opened =
            sim::OpenStateFileKeyboard(choice.statePath, std::getenv(sim::kFaultsVariable));
        if (auto* failure = std::get_if<sim::StateFileError>(&opened)) {
            return BackendError{failure->message};
        }
        auto service = std::get<std::unique_ptr<sim::SimHidService>>(std::move(opened));
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
    // Every change was kept in the state file as its report was served, before it was answered;
    // what is left is to say whether one could not be. Replies still on their way carry no
    // change, so nothing waits for them: a late one still owed at exit is simply never
    // delivered.
    if (auto failure = simulated_->StoreFailure()) {
        return BackendError{*failure};
    }
    return std::nullopt;
}

}  // namespace qv::service
