#pragma once

// The simulated keyboard a program opens for --keyboard=sim[:PATH]: its memory kept in a state
// file, and the faults of that file and of QUORVANE_SIM_FAULTS armed from the program's first
// report on.

#include <filesystem>
#include <memory>
#include <variant>

#include "sim/sim_hid_service.h"
#include "sim/sim_state_file.h"

namespace qv::sim {

// `faultsVariable` is the value of QUORVANE_SIM_FAULTS, or null when it is not set. Errors name
// the file (and line) or the variable, and what is wrong.
[[nodiscard]] std::variant<std::unique_ptr<SimHidService>, StateFileError> OpenStateFileKeyboard(
    const std::filesystem::path& path, const char* faultsVariable);

}  // namespace qv::sim
