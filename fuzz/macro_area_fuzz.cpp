// Arbitrary bytes as the macro area read from the keyboard. Whatever the decoder keeps must be a
// list the encoder takes back (when it fits the 16-bit fields) and that reads back unchanged, so
// that capturing a keyboard and writing it again never changes or loses a macro.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "macros/macro_area.h"

namespace {

using namespace qv::macros;

constexpr std::u16string_view kPrefix = u"Macro ";
constexpr std::size_t kMaxAreaSize = 0xFFFF;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckRecords(const MacroList& macros) {
    Check(macros.size() <= kMaxMacros);
    for (std::size_t i = 0; i < macros.size(); ++i) {
        const MacroRecord& macro = macros[i];
        Check(macro.macroId == i + 1);
        Check(!macro.name.empty() && macro.name.size() <= kMaxMacroNameLength);
        Check(macro.actions.size() <= kMaxMacroActions);
        for (const MacroAction& action : macro.actions) {
            Check(action.delay % 10 == 0 && action.delay <= 40950);
        }
    }
}

std::u16string Generated(std::size_t position) {
    std::u16string name(kPrefix);
    for (const char digit : std::to_string(position + 1)) {
        name.push_back(static_cast<char16_t>(digit));
    }
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DecodedMacroArea decoded = DecodeMacroArea(qv::Bytes(data, size), kPrefix);
    CheckRecords(decoded.macros);

    const AreaSizes sizes = MacroAreaSizes(decoded.macros);
    for (const bool withNames : {true, false}) {
        const std::size_t expectedSize = withNames ? sizes.full : sizes.compact;
        const auto area = EncodeMacroArea(decoded.macros, withNames);
        // Overlapping blocks can make a list larger than the area it came from.
        if (expectedSize > kMaxAreaSize) {
            Check(!area.has_value());
            continue;
        }
        Check(area.has_value() && area->size() == expectedSize);

        const DecodedMacroArea again = DecodeMacroArea(*area, kPrefix);
        Check(again.problems.empty());
        MacroList expected = decoded.macros;
        if (!withNames) {
            for (std::size_t i = 0; i < expected.size(); ++i) {
                expected[i].name = Generated(i);
            }
        }
        Check(again.macros == expected);
    }
    return 0;
}
