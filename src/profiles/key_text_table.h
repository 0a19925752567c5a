#pragma once

// The texts that Launch program and Text block entries carry, one slot per key entry of the
// image. The entry itself only holds where its text stands in a file's text area.

#include <cstddef>
#include <string>
#include <vector>

#include "profiles/image_layout.h"

namespace qv::profiles {

class KeyTextTable {
public:
    static constexpr std::size_t kSlotCount = kImageKeyEntryCount;

    KeyTextTable() : slots_(kSlotCount) {}

    // Empty = no text. `slot` < kSlotCount.
    [[nodiscard]] const std::u16string& Text(std::size_t slot) const;
    // A text ends at its first NUL, as it would in a file.
    void SetText(std::size_t slot, std::u16string_view text);
    void Clear();

    // Bytes the texts take as NUL-terminated UTF-16: (length + 1) x 2 for every non-empty
    // slot.
    [[nodiscard]] std::size_t TotalBytes() const { return totalBytes_; }

    friend bool operator==(const KeyTextTable&, const KeyTextTable&) = default;

private:
    [[nodiscard]] static std::size_t SlotBytes(const std::u16string& text) {
        return text.empty() ? 0 : (text.size() + 1) * sizeof(char16_t);
    }

    std::vector<std::u16string> slots_;
    std::size_t totalBytes_ = 0;
};

}  // namespace qv::profiles
