#pragma once

// What a tester asks of the simulated keyboard on the uhid device, one line each:
//
//   bank-toggle | play-on | play-off   the keyboard raises that key event
//   event CODE                         any key-event code, hex (0x0401) or decimal
//   profile N                          the profile key: the keyboard switches to profile N (1..4)
//   unplug | plug                      the cable is pulled or plugged back in
//   faults [LIST]                      faults for the programs that open the keyboard from now
//                                      on, as QUORVANE_SIM_FAULTS writes them; none clears them
//   quit                               the device goes and the adapter ends

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace qv::sim::uhid {

struct ControlCommand {
    // Nothing: a blank line or a comment (#).
    enum class Kind { Nothing, KeyEvent, Profile, Unplug, Plug, Faults, Quit };
    Kind kind = Kind::Nothing;
    std::uint16_t code = 0;  // KeyEvent
    int profile = 0;         // Profile: 0..3
    std::string faults;      // Faults

    friend bool operator==(const ControlCommand&, const ControlCommand&) = default;
};

struct ControlError {
    std::string message;
};

// Blanks around words do not matter; the error says what is wrong and what would do.
[[nodiscard]] std::variant<ControlCommand, ControlError> ParseControlCommand(std::string_view line);

}  // namespace qv::sim::uhid
