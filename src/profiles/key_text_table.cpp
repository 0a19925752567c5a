#include "profiles/key_text_table.h"

#include "core/contract.h"

namespace qv::profiles {

const std::u16string& KeyTextTable::Text(std::size_t slot) const {
    QV_EXPECTS(slot < kSlotCount);
    return slots_[slot];
}

void KeyTextTable::SetText(std::size_t slot, std::u16string_view text) {
    QV_EXPECTS(slot < kSlotCount);
    text = text.substr(0, text.find(u'\0'));
    totalBytes_ -= SlotBytes(slots_[slot]);
    slots_[slot].assign(text);
    totalBytes_ += SlotBytes(slots_[slot]);
}

void KeyTextTable::Clear() {
    for (std::u16string& text : slots_) {
        text.clear();
        text.shrink_to_fit();
    }
    totalBytes_ = 0;
}

}  // namespace qv::profiles
