#include "profiles/key_entry_edit.h"

#include <algorithm>

#include "macros/macro_record.h"
#include "profiles/image_layout.h"

namespace qv::profiles {

bool StoreKeyEntry(ImageContents& image, int profile, std::size_t slot,
                   const keys::KeyEntry& entry) {
    if (profile < 0 || static_cast<std::size_t>(profile) >= image.blocks.size() ||
        slot >= keys::kKeyBlockSize) {
        return false;
    }
    if (entry.kind == keys::KeyKind::Macro) {
        const auto macro =
            std::find_if(image.macros.begin(), image.macros.end(),
                         [&](const macros::MacroRecord& m) { return m.macroId == entry.value; });
        if (macro == image.macros.end() || entry.aux < macros::kMinRepeatCount ||
            entry.aux > macros::kMaxRepeatCount) {
            return false;
        }
        macro->repeatCount = static_cast<std::uint8_t>(entry.aux);
    }
    const std::size_t index = static_cast<std::size_t>(profile) * keys::kKeyBlockSize + slot;
    if (index < KeyTextTable::kSlotCount) {
        image.texts.SetText(index, u"");
    }
    image.blocks[static_cast<std::size_t>(profile)][slot] = entry;
    return true;
}

}  // namespace qv::profiles
