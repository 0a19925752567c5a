// Arbitrary bytes as a user colour file: a file that is accepted reads only values in range, and
// after writes of every kind it reads back what was written and is accepted again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <variant>

#include "lighting/colour_slots.h"
#include "lighting/user_colour_file.h"

namespace {

namespace lighting = qv::lighting;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckReads(const lighting::UserColourFile& file) {
    const int present = file.PresentScheme();
    Check(present >= 0 && present < lighting::kSchemeCount);
    for (int scheme = 0; scheme < lighting::kSchemeCount; ++scheme) {
        const lighting::SchemeTools tools = file.Tools(scheme);
        Check(tools.paintTool == 0 || tools.paintTool == 1);
        Check(tools.baseColour <= 0xFFFFFF && tools.keyColour <= 0xFFFFFF);
        for (int slot = 0; slot < lighting::kColourSlotCount; slot += 21) {
            Check(file.Slot(scheme, slot).colour <= 0xFFFFFF);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto parsed = lighting::UserColourFile::Parse({data, size});
    auto* file = std::get_if<lighting::UserColourFile>(&parsed);
    if (!file) {
        Check(!std::get<std::string>(parsed).empty());
        return 0;
    }
    CheckReads(*file);
    const int scheme = static_cast<int>(size % lighting::kSchemeCount);
    const int slot = static_cast<int>(size % lighting::kColourSlotCount);
    const lighting::SlotEntry entry{static_cast<lighting::Colour>(size * 2654435761u) & 0xFFFFFF,
                                    size % 2 == 0};
    const lighting::SchemeTools tools{static_cast<int>(size % 2), 0x123456, 0xABCDEF};
    file->SetSlot(scheme, slot, entry);
    file->SetTools(scheme, tools);
    file->SetPresentScheme(scheme);
    const bool named = file->SetSchemeName(scheme, "fuzzed name");

    const std::string text = file->Serialize();
    auto again = lighting::UserColourFile::Parse(
        {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    auto* back = std::get_if<lighting::UserColourFile>(&again);
    Check(back != nullptr);
    CheckReads(*back);
    Check(back->Slot(scheme, slot) == entry);
    Check(back->Tools(scheme) == tools);
    Check(back->PresentScheme() == scheme);
    Check(!named || back->SchemeName(scheme) == "fuzzed name");
    return 0;
}
