#include "platform/lock_leds.h"

#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

namespace qv::platform {
namespace {

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A missing or unreadable file reads as off.
bool LedOn(const std::filesystem::path& led) {
    std::ifstream file(led / "brightness");
    int brightness = 0;
    return static_cast<bool>(file >> brightness) && brightness > 0;
}

}  // namespace

std::optional<LockStates> ReadLockStates(const std::filesystem::path& ledFolder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(ledFolder, error);
    if (error) {
        return std::nullopt;
    }
    LockStates states;
    bool found = false;
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        bool* lock = EndsWith(name, "::capslock")     ? &states.caps
                     : EndsWith(name, "::numlock")    ? &states.num
                     : EndsWith(name, "::scrolllock") ? &states.scroll
                                                      : nullptr;
        if (lock != nullptr) {
            found = true;
            *lock = *lock || LedOn(entry.path());
        }
    }
    return found ? std::optional<LockStates>(states) : std::nullopt;
}

}  // namespace qv::platform
