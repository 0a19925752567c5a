#pragma once

// The start-up check that only one instance runs. It reads the arguments ("/Kill", "/Start",
// also "--kill", "--start", in any case and any order), hands a request to a running instance
// and tells the caller whether this process ends. It never ends the process itself.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "core/fourcc.h"
#include "platform/instance_lock.h"
#include "platform/program_launcher.h"

namespace qv::app {

inline constexpr std::string_view kCompanionProgram = "Mistrel.exe";

// What a later start sends the running instance: a message number and its tag. Other
// processes, also of older builds, send exactly these values.
inline constexpr std::uint32_t MSG_KILL = 0x4D4B;
inline constexpr std::uint32_t MSG_OPEN = 0x5350;
// KILL's value, unlike OPEN's, holds its characters last-first ("LLIK").
inline constexpr std::uint32_t TAG_KILL = 0x4C4C494B;
inline constexpr std::uint32_t TAG_OPEN = FourCC("OPEN");
static_assert(TAG_OPEN == 0x4F50454E);

enum class HandOffRequest : std::uint8_t { Open, Kill };

// The request a hand-off carries: MSG_OPEN with OPEN or MSG_KILL with KILL. Any other number,
// or one of these with another tag, is no request and is ignored. The running instance's lock
// answers every other hand-off itself, before it reaches the handler.
[[nodiscard]] std::optional<HandOffRequest> AcceptHandOff(std::uint32_t number, std::uint32_t tag);
[[nodiscard]] bool IsHandOffAccepted(std::uint32_t number, std::uint32_t tag);

// Exit code of a start that cannot make sure it is the only instance.
inline constexpr int kInstanceRefusedExitCode = 1;

struct GuardResult {
    // End now: another instance runs and got the request, or (with `refusal`) the lock's
    // folder is unsafe or unusable, so this process cannot know whether another one runs.
    bool endProcess = false;
    int exitCode = 0;          // the code to end with when endProcess
    bool startHidden = false;  // "/Start": the window does not open by itself
    // This process is the first instance, holds the lock and takes hand-offs.
    bool firstInstance = false;
    // Why the process ends without running, for the user ("PATH: reason"); empty otherwise.
    std::string refusal;
};

class SingleInstanceGuard {
public:
    // `lock` must outlive the guard's use and stays held for the life of the process.
    // `companion`, when given, starts the maker's companion program in a first instance.
    explicit SingleInstanceGuard(platform::InstanceLock& lock,
                                 platform::ProgramLauncher* companion = nullptr);

    // `arguments` are those after the program name. In a first instance, hand-offs from later
    // starts go to `onHandOff` (on the lock's listener thread) from then on.
    [[nodiscard]] GuardResult Run(std::span<const std::string> arguments,
                                  platform::InstanceLock::Handler onHandOff);

private:
    platform::InstanceLock& lock_;
    platform::ProgramLauncher* companion_;
};

// A hand-off handler that passes each accepted request to `deliver` (on the listener thread)
// and reports it handled; every other hand-off is answered as not handled.
[[nodiscard]] platform::InstanceLock::Handler HandOffHandler(
    std::function<void(HandOffRequest)> deliver);

}  // namespace qv::app
