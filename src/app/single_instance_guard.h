#pragma once

// The start-up check that only one instance runs. It reads the arguments ("/Kill", "/Start",
// also "--kill", "--start", in any case and any order), hands a request to a running instance
// and tells the caller whether this process ends. It never ends the process itself.

#include <cstdint>
#include <span>
#include <string>

#include "app/main_window_messages.h"
#include "platform/instance_lock.h"
#include "platform/program_launcher.h"

namespace qv::app {

inline constexpr std::string_view kCompanionProgram = "Mistrel.exe";

struct GuardResult {
    bool endProcess = false;   // another instance runs and got the request; end now
    int exitCode = 0;          // the code to end with when endProcess
    bool startHidden = false;  // "/Start": set the opened-once flag
    // This process is the first instance and holds the lock. False also when the lock folder
    // was refused: the process then runs without single-instance protection.
    bool firstInstance = false;
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

// A hand-off handler that delivers the request to the main window as its message and reports
// it handled only when the window did (a wrong tag is ignored there).
[[nodiscard]] platform::InstanceLock::Handler ForwardToMainWindow(device::MainWindowPort& port);

}  // namespace qv::app
