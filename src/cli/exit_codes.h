#pragma once

namespace qv::cli {

// Exit codes a script can tell apart.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNoKeyboard = 2;
inline constexpr int kExitDeviceError = 3;
inline constexpr int kExitSetupError = 4;
inline constexpr int kExitBadInput = 5;
// Pending edits stand in the way: they belong to another keyboard or profile, or an import
// would drop them.
inline constexpr int kExitPendingConflict = 6;

}  // namespace qv::cli
