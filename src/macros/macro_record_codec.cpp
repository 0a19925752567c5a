#include "macros/macro_record_codec.h"

#include <algorithm>

#include "core/bytes.h"

namespace qv::macros {
namespace {

constexpr std::size_t kNameUnitSize = 2;

std::size_t ActionOffset(std::size_t index) {
    return kRecordActionsOffset + index * kRecordActionSize;
}

}  // namespace

void EncodeMacroRecord(const MacroRecord& macro, MutableMacroRecordBytes destination) {
    const MutableBytes out(destination);
    std::fill(out.begin(), out.end(), std::uint8_t{0});

    const std::size_t nameLength = std::min(macro.name.size(), kMaxMacroNameLength);
    for (std::size_t i = 0; i < nameLength; ++i) {
        WriteU16LE(out, kRecordNameOffset + i * kNameUnitSize, macro.name[i]);
    }
    WriteU8(out, kRecordRepeatOffset, macro.repeatCount);
    WriteU16LE(out, kRecordNewFlagOffset, macro.newFlag);
    WriteU16LE(out, kRecordIdOffset, macro.macroId);

    const std::size_t count = std::min(macro.actions.size(), kMaxMacroActions);
    WriteU16LE(out, kRecordActionCountOffset, static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const MacroAction& action = macro.actions[i];
        const std::size_t at = ActionOffset(i);
        WriteU32LE(out, at + kRecordActionDelayOffset, action.delay);
        WriteU16LE(out, at + kRecordActionKeyOffset, action.key);
        WriteU16LE(out, at + kRecordActionStateOffset, static_cast<std::uint16_t>(action.state));
    }
}

DecodedMacroRecord DecodeMacroRecord(MacroRecordBytes record) {
    const Bytes in(record);
    DecodedMacroRecord result;
    MacroRecord& macro = result.macro;

    for (std::size_t i = 0; i < kRecordNameUnits; ++i) {
        const auto unit =
            static_cast<char16_t>(ReadU16LE(in, kRecordNameOffset + i * kNameUnitSize));
        if (unit == u'\0') {
            break;
        }
        macro.name.push_back(unit);
    }
    if (macro.name.size() > kMaxMacroNameLength) {
        // All 250 units were filled: the last one stands where the terminator belongs.
        result.problems.push_back("the name has no terminator; cut to " +
                                  std::to_string(kMaxMacroNameLength) + " characters");
        macro.name.resize(kMaxMacroNameLength);
    }

    macro.repeatCount = ReadU8(in, kRecordRepeatOffset);
    macro.newFlag = ReadU16LE(in, kRecordNewFlagOffset);
    macro.macroId = ReadU16LE(in, kRecordIdOffset);

    std::size_t count = ReadU16LE(in, kRecordActionCountOffset);
    if (count > kMaxMacroActions) {
        result.problems.push_back("the record counts " + std::to_string(count) +
                                  " steps but holds " + std::to_string(kMaxMacroActions) +
                                  "; the rest dropped");
        count = kMaxMacroActions;
    }
    macro.actions.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = ActionOffset(i);
        macro.actions.push_back(
            {ReadU32LE(in, at + kRecordActionDelayOffset),
             ReadU16LE(in, at + kRecordActionKeyOffset),
             static_cast<KeyState>(ReadU16LE(in, at + kRecordActionStateOffset))});
    }
    return result;
}

}  // namespace qv::macros
