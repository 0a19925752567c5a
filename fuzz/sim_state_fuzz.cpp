// Arbitrary bytes as the simulated keyboard's state file, and as a fault plan (the same text
// reaches both: a plan comes from an environment variable or from a state file's [faults]
// section). What the parsers promise:
//  - a state that parses formats as a text that parses back to the same state, and formatting
//    that again changes nothing;
//  - a fault plan that parses formats entry by entry into a plan that parses back the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "sim/fault_plan.h"
#include "sim/sim_state_file.h"

namespace {

using namespace qv::sim;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckStateText(std::string_view text) {
    const auto parsed = ParseStateText(text, "fuzz.state");
    if (const auto* error = std::get_if<StateFileError>(&parsed)) {
        Check(!error->message.empty());
        return;
    }
    const SimState& state = std::get<SimState>(parsed);
    const std::string formatted = FormatStateText(state);
    const auto again = ParseStateText(formatted, "fuzz.state");
    Check(std::holds_alternative<SimState>(again));
    Check(std::get<SimState>(again) == state);
    Check(FormatStateText(std::get<SimState>(again)) == formatted);
}

void CheckFaultPlan(std::string_view text) {
    const auto parsed = ParseFaultPlan(text);
    if (const auto* error = std::get_if<FaultPlanError>(&parsed)) {
        Check(!error->message.empty());
        return;
    }
    const FaultPlan& plan = std::get<FaultPlan>(parsed);
    std::string formatted;
    for (const PlannedFault& fault : plan) {
        Check(fault.report >= 1 && fault.report <= kLastPlannedReport);
        Check(fault.delay >= std::chrono::milliseconds{0} && fault.delay <= kLongestLateReply);
        formatted += (formatted.empty() ? "" : ", ") + FormatFault(fault);
    }
    const auto again = ParseFaultPlan(formatted);
    Check(std::holds_alternative<FaultPlan>(again));
    Check(std::get<FaultPlan>(again) == plan);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckStateText(text);
    CheckFaultPlan(text);
    return 0;
}
