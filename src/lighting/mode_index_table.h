#pragma once

// Positions of the lighting modes in the mode combo: consecutive from 0 in ModeList order,
// empty entries skipped.

#include <cstdint>
#include <span>
#include <vector>

namespace qv::lighting {

class ModeIndexTable {
public:
    void Fill(std::span<const std::uint8_t> modeList);
    void Clear() { modes_.clear(); }

    // The first position that holds the mode, or -1.
    [[nodiscard]] int ModePositionOf(int mode) const;
    // The mode at a position, or 0 outside the table.
    [[nodiscard]] int ModeAtPosition(int position) const;
    [[nodiscard]] int size() const { return static_cast<int>(modes_.size()); }

private:
    std::vector<int> modes_;
};

}  // namespace qv::lighting
