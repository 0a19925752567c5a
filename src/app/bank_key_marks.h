#pragma once

// The nine G-key buttons of the main window for the key bank the keyboard uses now: which are
// assigned in the active profile, and their captions.

#include <array>
#include <cstddef>
#include <string>

#include "profiles/profile_image.h"

namespace qv::app {

struct BankKeyMarks {
    static constexpr std::size_t kCount = 9;
    bool bankB = false;  // the AB indicator shows its over picture for bank B
    // In button order: the five with captions (ids 1000..1004), then the four without.
    std::array<bool, kCount> assigned{};
    std::array<std::string, kCount> captions;  // "A1".."A5" / "B1".."B5", then empty
    friend bool operator==(const BankKeyMarks&, const BankKeyMarks&) = default;
};

// `profile` is the keyboard's active profile; outside 0..3 no key counts as assigned. The
// caller holds the image's lock.
[[nodiscard]] BankKeyMarks MarkBankKeys(const profiles::ImageContents& image, int profile,
                                        bool bankB);
// The same for one profile's key block; none when the profile is not known.
[[nodiscard]] BankKeyMarks MarkBankKeys(const keys::KeyBlock* block, bool bankB);

}  // namespace qv::app
