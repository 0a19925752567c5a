#pragma once

// What the tool learns about the keyboard at every attach and keeps for the whole run: its key
// default table (the built-in one until a read succeeds) and its macro capacity. Written by
// the presence worker, read by the user-interface thread.

#include <cstddef>
#include <mutex>

#include "keys/key_page.h"

namespace qv::profiles {

class DeviceFacts {
public:
    [[nodiscard]] keys::KeyDefaultTable KeyDefaults() const {
        std::lock_guard lock(mutex_);
        return keyDefaults_;
    }
    void SetKeyDefaults(const keys::KeyDefaultTable& table) {
        std::lock_guard lock(mutex_);
        keyDefaults_ = table;
    }
    // Bytes of macro area (128 x settings byte 11); 0 before the first attach.
    [[nodiscard]] std::size_t MacroCapacity() const {
        std::lock_guard lock(mutex_);
        return macroCapacity_;
    }
    void SetMacroCapacity(std::size_t bytes) {
        std::lock_guard lock(mutex_);
        macroCapacity_ = bytes;
        macroCapacityKnown_ = true;
    }
    // Whether a settings block was ever read: a capacity of 0 is then the keyboard's own, not
    // a read that failed.
    [[nodiscard]] bool MacroCapacityKnown() const {
        std::lock_guard lock(mutex_);
        return macroCapacityKnown_;
    }

private:
    mutable std::mutex mutex_;
    keys::KeyDefaultTable keyDefaults_ = keys::kBuiltInKeyDefaultTable;
    std::size_t macroCapacity_ = 0;
    bool macroCapacityKnown_ = false;
};

}  // namespace qv::profiles
