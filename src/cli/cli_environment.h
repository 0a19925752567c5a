#pragma once

// What a quorvanectl run needs from its surroundings, so that tests run it in-process against a
// simulated keyboard in a folder of their own.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <variant>

#include "device/transport.h"
#include "service/keyboard_backend.h"

namespace qv::cli {

using OpenKeyboardFn =
    std::function<std::variant<std::unique_ptr<service::KeyboardBackend>, service::BackendError>(
        const service::KeyboardChoice&)>;

struct CliEnvironment {
    // The profile folder is inside it.
    std::filesystem::path documentsFolder;
    // Pending edits and the default simulated keyboard are kept in its "quorvane" folder.
    std::filesystem::path stateFolder;
    // Lang0409.ini and Help/ (the firmware updater's folder).
    std::filesystem::path programFolder;
    // Opens the keyboard --keyboard chose.
    OpenKeyboardFn openKeyboard = service::KeyboardBackend::Open;
    // Run once the keyboard's arrival has been handled, before the command, and once the
    // command is over, before the keyboard is let go (tests arm faults, benchmarks count).
    std::function<void(service::KeyboardBackend&)> keyboardArrived;
    std::function<void(service::KeyboardBackend&)> keyboardDone;
    device::TransportTiming transportTiming{};
    std::chrono::milliseconds firmwarePause{10};

    // The folders of the user running the program.
    [[nodiscard]] static CliEnvironment FromSystem();
};

}  // namespace qv::cli
