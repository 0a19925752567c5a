#include "backends/uhid/control_command.h"

#include <charconv>

#include "core/text.h"
#include "device/key_events.h"

namespace qv::sim::uhid {
namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

ControlCommand Command(ControlCommand::Kind kind) {
    ControlCommand command;
    command.kind = kind;
    return command;
}

ControlCommand KeyEvent(std::uint16_t code) {
    ControlCommand command = Command(ControlCommand::Kind::KeyEvent);
    command.code = code;
    return command;
}

}  // namespace

std::variant<ControlCommand, ControlError> ParseControlCommand(std::string_view line) {
    line = Trim(line);
    if (const auto hash = line.find('#'); hash != std::string_view::npos) {
        line = Trim(line.substr(0, hash));
    }
    if (line.empty()) {
        return ControlCommand{};
    }
    const std::size_t space = line.find_first_of(" \t");
    const std::string_view word = line.substr(0, space);
    const std::string_view rest =
        space == std::string_view::npos ? std::string_view() : Trim(line.substr(space));

    const auto noArgument =
        [&](ControlCommand command) -> std::variant<ControlCommand, ControlError> {
        if (!rest.empty()) {
            return ControlError{"'" + std::string(word) + "' takes nothing after it"};
        }
        return command;
    };
    if (word == "bank-toggle") {
        return noArgument(KeyEvent(device::KEY_EVENT_BANK_TOGGLE));
    }
    if (word == "play-on") {
        return noArgument(KeyEvent(device::KEY_EVENT_PLAY_ON));
    }
    if (word == "play-off") {
        return noArgument(KeyEvent(device::KEY_EVENT_PLAY_OFF));
    }
    if (word == "unplug") {
        return noArgument(Command(ControlCommand::Kind::Unplug));
    }
    if (word == "plug") {
        return noArgument(Command(ControlCommand::Kind::Plug));
    }
    if (word == "quit") {
        return noArgument(Command(ControlCommand::Kind::Quit));
    }
    if (word == "event") {
        std::uint16_t code = 0;
        if (!ParseNumber(rest, code)) {
            return ControlError{"'event' needs a code from 0 to 0xFFFF, e.g. event 0x0401"};
        }
        return KeyEvent(code);
    }
    if (word == "profile") {
        int profile = 0;
        if (!ParseNumber(rest, profile) || profile < 1 || profile > 4) {
            return ControlError{"'profile' needs a profile from 1 to 4"};
        }
        ControlCommand command = Command(ControlCommand::Kind::Profile);
        command.profile = profile - 1;
        return command;
    }
    if (word == "faults") {
        ControlCommand command = Command(ControlCommand::Kind::Faults);
        command.faults = std::string(rest);
        return command;
    }
    return ControlError{"unknown command '" + std::string(word) +
                        "' (bank-toggle, play-on, play-off, event CODE, profile N, unplug, plug, "
                        "faults LIST, quit)"};
}

}  // namespace qv::sim::uhid
