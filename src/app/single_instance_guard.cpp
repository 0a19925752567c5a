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

GuardResult Refused(const std::string& problem) {
    GuardResult result;
    result.endProcess = true;
    result.exitCode = kInstanceRefusedExitCode;
    result.refusal = "cannot make sure that only one instance runs: " + problem;
    return result;
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
                (void)lock_.HandOff(MSG_KILL, TAG_KILL);
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
            (void)lock_.HandOff(MSG_OPEN, TAG_OPEN);
            result.endProcess = true;
            result.exitCode = 0;
            return result;
        case platform::AcquireResult::Acquired:
            // Without the socket later starts could not reach this one: they would end
            // thinking they had handed off, so this one ends instead.
            if (!lock_.Listen(std::move(onHandOff), IsHandOffAccepted)) {
                return Refused(lock_.Problem());
            }
            result.firstInstance = true;
            break;
        case platform::AcquireResult::FolderRefused:
            return Refused(lock_.Problem());
    }

    if (companion_ != nullptr) {
        // Best effort: its result does not matter.
        (void)companion_->Start(kCompanionProgram, "", {});
    }
    return result;
}

std::optional<HandOffRequest> AcceptHandOff(std::uint32_t number, std::uint32_t tag) {
    if (number == MSG_OPEN && tag == TAG_OPEN) {
        return HandOffRequest::Open;
    }
    if (number == MSG_KILL && tag == TAG_KILL) {
        return HandOffRequest::Kill;
    }
    return std::nullopt;
}

bool IsHandOffAccepted(std::uint32_t number, std::uint32_t tag) {
    return AcceptHandOff(number, tag).has_value();
}

platform::InstanceLock::Handler HandOffHandler(std::function<void(HandOffRequest)> deliver) {
    return [deliver = std::move(deliver)](std::uint32_t number, std::uint32_t tag) {
        const std::optional<HandOffRequest> request = AcceptHandOff(number, tag);
        if (!request) {
            return false;
        }
        deliver(*request);
        return true;
    };
}

}  // namespace qv::app
