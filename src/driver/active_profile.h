#pragma once

// The keyboard's active profile (settings block byte 10), cached because nearly every window
// asks for it and only a switch or a removal changes it.

#include <atomic>

#include "device/commands.h"

namespace qv::driver {

class ActiveProfileCache {
public:
    static constexpr int kUnknown = -1;

    // The cache when known; otherwise read from the keyboard and cached. kUnknown when the
    // keyboard cannot be read.
    [[nodiscard]] int GetActiveProfile(device::DeviceCommands& commands);
    // Read, change byte 10, write back. Ignored for profile < 0; when the read fails nothing is
    // sent; the cache becomes the profile on success and kUnknown when the write fails. The
    // result is that of the read or the write that failed.
    [[nodiscard]] int SetActiveProfile(device::DeviceCommands& commands, int profile);

    // The keyboard went away, or the program starts: nothing is known.
    void Forget() { CurrentProfileIndex.store(kUnknown); }
    [[nodiscard]] int Cached() const { return CurrentProfileIndex.load(); }

private:
    // Written by the device worker on removal, read on the user-interface thread.
    std::atomic<int> CurrentProfileIndex{kUnknown};
};

}  // namespace qv::driver
