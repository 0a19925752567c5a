#include "app/single_instance_guard.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>

namespace qv::app {

namespace {

bool SameText(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool IsKill(std::string_view argument) {
    return SameText(argument, "/Kill") || SameText(argument, "--kill");
}

bool IsStart(std::string_view argument) {
    return SameText(argument, "/Start") || SameText(argument, "--start");
}

}  // namespace

SingleInstanceGuard::SingleInstanceGuard(platform::InstanceLock& lock,
                                         platform::ProgramLauncher* companion)
    : lock_(lock), companion_(companion) {}

GuardResult SingleInstanceGuard::Run(std::span<const std::string> arguments,
                                     platform::InstanceLock::Handler onHandOff) {
    GuardResult result;
    for (const std::string& argument : arguments) {
        if (IsKill(argument)) {
            if (lock_.TryAcquire() == platform::AcquireResult::HeldByOther) {
                // Whether or not it answers, this process ends.
                (void)lock_.HandOff(device::MSG_KILL, device::TAG_KILL);
                result.endProcess = true;
                result.exitCode = 0;
                return result;
            }
        } else if (IsStart(argument)) {
            result.startHidden = true;
        }
    }

    switch (lock_.TryAcquire()) {
        case platform::AcquireResult::HeldByOther:
            (void)lock_.HandOff(device::MSG_OPEN, device::TAG_OPEN);
            result.endProcess = true;
            result.exitCode = 0;
            return result;
        case platform::AcquireResult::Acquired:
            result.firstInstance = true;
            (void)lock_.Listen(std::move(onHandOff));
            break;
        case platform::AcquireResult::FolderRefused:
            break;
    }

    if (companion_ != nullptr) {
        // Best effort: its result does not matter.
        (void)companion_->Start(kCompanionProgram, "", {});
    }
    return result;
}

platform::InstanceLock::Handler ForwardToMainWindow(device::MainWindowPort& port) {
    return [&port](std::uint32_t number, std::uint32_t tag) {
        return port.Send(device::Message{number, tag, 0}) == device::MessageReply::Handled;
    };
}

}  // namespace qv::app
