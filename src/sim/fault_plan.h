#pragma once

// Faults a tester arms from outside a program, each at one command report of the run:
// "drop@5, late@7:1500ms, status@3:FE, misnumber@4, refuse@2, flip@6, unplug@9". They come from
// the QUORVANE_SIM_FAULTS environment variable and from the [faults] section of a state file;
// tests add them to the simulated keyboard's plan directly.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "device/device_report.h"

namespace qv::sim {

enum class FaultKind {
    Unplug,     // the cable is pulled as the report arrives: never executed nor answered
    Drop,       // executed, never answered
    Late,       // answered `delay` later than it would be
    Status,     // not executed, answered with `status`
    Misnumber,  // executed, answered with another command number
    Refuse,     // the send itself is refused
    Flip,       // answered with byte `byte` of the reply inverted, so its checksum is wrong
};

// The byte a flip inverts unless told otherwise: the first of the reply's payload.
inline constexpr std::size_t kDefaultFlippedByte = device::kPayloadOffset;

struct PlannedFault {
    FaultKind kind = FaultKind::Drop;
    std::uint32_t report = 1;  // 1 = the first command report the program sends
    std::chrono::milliseconds delay{0};
    std::uint8_t status = 0;
    std::size_t byte = kDefaultFlippedByte;

    friend bool operator==(const PlannedFault&, const PlannedFault&) = default;
};

using FaultPlan = std::vector<PlannedFault>;

// The name of the variable programs read faults from.
inline constexpr const char* kFaultsVariable = "QUORVANE_SIM_FAULTS";

inline constexpr std::uint32_t kLastPlannedReport = 1'000'000;
inline constexpr std::chrono::milliseconds kLongestLateReply{3'600'000};

struct FaultPlanError {
    std::string message;  // names the entry and what is wrong with it
};

// Entries separated by commas; blanks around them do not matter; empty text is an empty plan.
[[nodiscard]] std::variant<FaultPlan, FaultPlanError> ParseFaultPlan(std::string_view text);
// Appends the entries of `text` to `plan`; a fault of a kind already armed at the same report
// is an error (its values would contradict each other or mean nothing more).
[[nodiscard]] std::optional<FaultPlanError> ParseFaultsInto(std::string_view text, FaultPlan& plan);

// `fault` at `count` reports in a row, the first at `fault.report`.
[[nodiscard]] FaultPlan InARow(const PlannedFault& fault, std::uint32_t count);

// "late@7:1500ms": the form ParseFaultPlan reads back.
[[nodiscard]] std::string FormatFault(const PlannedFault& fault);

}  // namespace qv::sim
