#include "sim/state_file_keyboard.h"

#include <string>
#include <string_view>

#include "sim/state_file_store.h"

namespace qv::sim {

std::variant<std::unique_ptr<SimHidService>, StateFileError> OpenStateFileKeyboard(
    const std::filesystem::path& path, const char* faultsVariable) {
    const auto variableError = [](const FaultPlanError& error) {
        return StateFileError{std::string(kFaultsVariable) + ": " + error.message};
    };
    // A mistyped variable is refused before the file is touched.
    const std::string_view variable = faultsVariable != nullptr ? faultsVariable : "";
    if (auto parsed = ParseFaultPlan(variable); std::holds_alternative<FaultPlanError>(parsed)) {
        return variableError(std::get<FaultPlanError>(parsed));
    }
    auto opened = StateFileStore::Open(path);
    if (auto* error = std::get_if<StateFileError>(&opened)) {
        return *error;
    }
    auto& [store, state] = std::get<StateFileStore::Opened>(opened);
    FaultPlan faults = state.faults;
    if (auto error = ParseFaultsInto(variable, faults)) {
        return variableError(*error);  // a fault the file arms already
    }
    auto keyboard = std::make_unique<SimHidService>(std::move(state.memory));
    keyboard->KeepMemoryIn(std::move(store));
    keyboard->PlanFaults(faults);
    return keyboard;
}

}  // namespace qv::sim
