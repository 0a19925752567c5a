#include "profiles/entry_screening.h"

#include <cstdint>
#include <vector>

#include "keys/key_entry_check.h"
#include "profiles/image_layout.h"
#include "profiles/profile_file_codec.h"

namespace qv::profiles {
namespace {

struct Fault {
    std::size_t index;
    keys::EntryFault fault;
};

std::string Line(const ImageContents& image, const Fault& f) {
    return ImageEntryName(f.index) + ": " +
           keys::EntryFaultText(f.fault, image.ImageEntry(f.index));
}

}  // namespace

EntryScreening ScreenImportedEntries(ImageContents& image) {
    std::vector<std::uint16_t> macroIds;
    macroIds.reserve(image.macros.size());
    for (const macros::MacroRecord& macro : image.macros) {
        macroIds.push_back(macro.macroId);
    }

    std::vector<Fault> unknownKinds;
    std::vector<Fault> droppable;
    for (std::size_t i = 0; i < kImageKeyEntryCount; ++i) {
        const std::size_t slot = i % keys::kKeyBlockSize;
        if (const auto fault = keys::FindEntryFault(slot, image.ImageEntry(i), macroIds)) {
            (*fault == keys::EntryFault::UnknownKind ? unknownKinds : droppable)
                .push_back({i, *fault});
        }
    }

    EntryScreening result;
    if (!unknownKinds.empty()) {
        std::string refusal =
            "the key entries are not a profile's: " + Line(image, unknownKinds.front());
        if (unknownKinds.size() > 1) {
            refusal += " (and " + std::to_string(unknownKinds.size() - 1) +
                       " more entries of unknown kinds)";
        }
        result.refusal = std::move(refusal);
        return result;
    }

    const keys::KeyBlock fresh = keys::FreshKeyBlock();
    for (std::size_t n = 0; n < droppable.size(); ++n) {
        const Fault& f = droppable[n];
        if (n < kListedDroppedEntries) {
            result.dropped.push_back(Line(image, f) +
                                     (f.fault == keys::EntryFault::NotAKey
                                          ? "; dropped"
                                          : "; dropped, the key keeps its default"));
        }
        keys::KeyEntry& entry = image.ImageEntry(f.index);
        // The fields beside the assignment travel on untouched, as for every other entry.
        const keys::KeyEntry& start = fresh[f.index % keys::kKeyBlockSize];
        entry.kind = start.kind;
        entry.aux = start.aux;
        entry.value = start.value;
    }
    if (droppable.size() > kListedDroppedEntries) {
        result.dropped.push_back(std::to_string(droppable.size() - kListedDroppedEntries) +
                                 " more entries dropped the same way");
    }
    return result;
}

}  // namespace qv::profiles
