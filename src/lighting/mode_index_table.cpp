#include "lighting/mode_index_table.h"

#include <algorithm>

namespace qv::lighting {

void ModeIndexTable::Fill(std::span<const std::uint8_t> modeList) {
    modes_.clear();
    for (std::uint8_t mode : modeList) {
        if (mode != 0) {
            modes_.push_back(mode);
        }
    }
}

int ModeIndexTable::ModePositionOf(int mode) const {
    const auto found = std::ranges::find(modes_, mode);
    return found == modes_.end() ? -1 : static_cast<int>(found - modes_.begin());
}

int ModeIndexTable::ModeAtPosition(int position) const {
    return position >= 0 && position < size() ? modes_[static_cast<std::size_t>(position)] : 0;
}

}  // namespace qv::lighting
