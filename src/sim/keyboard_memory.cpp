#include "sim/keyboard_memory.h"

#include <algorithm>

#include "core/bytes.h"

namespace qv::sim {
namespace {

// Bytes 0..7 of the block mean nothing to the host, which carries them unchanged; they are
// non-zero so that a host which loses them on a read-modify-write is caught.
constexpr std::array<std::uint8_t, kSettingsHostBytesSize> kFactorySettingsPrefix{
    0x51, 0x56, 0x4B, 0x02, 0x19, 0x06, 0x30, 0x01};

// Each profile's record starts as the restored defaults (mode 1, brightness 4, speed 2,
// direction 0, multicolour, white) except for its mode and colour, so records can be told apart.
struct FactoryLighting {
    std::uint8_t mode;
    std::array<std::uint8_t, kColourSize> colour;
};
constexpr std::array<FactoryLighting, kProfileCount> kFactoryLighting{{
    {1, {0xFF, 0xFF, 0xFF}},
    {2, {0xFF, 0x00, 0x00}},
    {3, {0x00, 0xFF, 0x00}},
    {4, {0x00, 0x00, 0xFF}},
}};
// The per-key base colour matches the factory colour pages (white).
constexpr std::array<std::uint8_t, kColourSize> kFactoryBaseColour{0xFF, 0xFF, 0xFF};

// The keyboard's own key default table: the host's built-in table, except that the G key
// positions name their G key (06 A2 n) instead of holding "no function" (05 00 00).
constexpr std::array<std::uint8_t, kKeyPageSize> kFactoryKeyDefaults{
    // positions 0..7
    0x06, 0xA2, 0x01, 0x06, 0xA2, 0x02, 0x06, 0xA2, 0x03, 0x06, 0xA2, 0x04,  //
    0x06, 0xA2, 0x05, 0x06, 0xA2, 0x06, 0x06, 0xA2, 0x07, 0x06, 0xA2, 0x08,  //
    // positions 8..15
    0x02, 0x02, 0x29, 0x02, 0x02, 0x35, 0x02, 0x02, 0x2B, 0x02, 0x02, 0x39,  //
    0x02, 0x01, 0x02, 0x02, 0x01, 0x01, 0x06, 0xA2, 0x09, 0x00, 0x00, 0x00,  //
    // positions 16..23
    0x02, 0x02, 0x3A, 0x02, 0x02, 0x1E, 0x02, 0x02, 0x14, 0x02, 0x02, 0x04,  //
    0x02, 0x02, 0x1D, 0x02, 0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
    // positions 24..31
    0x02, 0x02, 0x3B, 0x02, 0x02, 0x1F, 0x02, 0x02, 0x1A, 0x02, 0x02, 0x16,  //
    0x02, 0x02, 0x1B, 0x02, 0x01, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
    // positions 32..39
    0x02, 0x02, 0x3C, 0x02, 0x02, 0x20, 0x02, 0x02, 0x08, 0x02, 0x02, 0x07,  //
    0x02, 0x02, 0x06, 0x02, 0x02, 0x2C, 0x02, 0x02, 0x46, 0x00, 0x00, 0x00,  //
    // positions 40..47
    0x02, 0x02, 0x3D, 0x02, 0x02, 0x21, 0x02, 0x02, 0x15, 0x02, 0x02, 0x09,  //
    0x02, 0x02, 0x19, 0x02, 0x01, 0x40, 0x02, 0x02, 0x47, 0x00, 0x00, 0x00,  //
    // positions 48..55
    0x02, 0x02, 0x3E, 0x02, 0x02, 0x22, 0x02, 0x02, 0x17, 0x02, 0x02, 0x0A,  //
    0x02, 0x02, 0x05, 0x05, 0x02, 0x02, 0x02, 0x02, 0x2E, 0x00, 0x00, 0x00,  //
    // positions 56..63
    0x02, 0x02, 0x3F, 0x02, 0x02, 0x23, 0x02, 0x02, 0x1C, 0x02, 0x02, 0x0B,  //
    0x02, 0x02, 0x11, 0x02, 0x02, 0x65, 0x02, 0x02, 0x48, 0x00, 0x00, 0x00,  //
};

// An empty macro area: magic, size 16, no macros, no names.
constexpr auto kEmptyMacroAreaSize = static_cast<std::uint16_t>(kMacroHeaderSize);

// Modes the factory firmware offers: 1..18, then 20 (per-key colours).
constexpr std::uint8_t kLastPlainMode = 18;
constexpr std::uint8_t kPerKeyColourMode = 20;

}  // namespace

KeyboardMemory FactoryMemory() {
    KeyboardMemory memory;

    std::copy(kFactorySettingsPrefix.begin(), kFactorySettingsPrefix.end(),
              memory.settings.begin() + kSettingsHostBytes);
    WriteU16LE(memory.settings, kSettingsFirmwareVersion, kFactoryFirmwareVersion);
    WriteU8(memory.settings, kSettingsActiveProfile, 0);
    WriteU8(memory.settings, kSettingsMacroCapacity, kFactoryMacroCapacityUnits);
    std::size_t modeEntry = kSettingsModeList;
    for (std::uint8_t mode = 1; mode <= kLastPlainMode; ++mode) {
        WriteU8(memory.settings, modeEntry++, mode);
    }
    WriteU8(memory.settings, modeEntry, kPerKeyColourMode);

    for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
        const MutableBytes record =
            MutableBytes(memory.lighting)
                .subspan(profile * kLightingRecordSize, kLightingRecordSize);
        const FactoryLighting& factory = kFactoryLighting[profile];
        WriteU8(record, kRecordMode, factory.mode);
        WriteU8(record, kRecordBrightness, 4);
        WriteU8(record, kRecordSpeed, 2);
        WriteU8(record, kRecordDirection, 0);
        WriteU8(record, kRecordMulticolour, 0xFF);
        std::copy(factory.colour.begin(), factory.colour.end(), record.begin() + kRecordColour);
        std::copy(kFactoryBaseColour.begin(), kFactoryBaseColour.end(),
                  record.begin() + kRecordBaseColour);
    }

    memory.keyDefaults = kFactoryKeyDefaults;
    for (std::size_t page = 0; page < kProfileCount; ++page) {
        std::copy(kFactoryKeyDefaults.begin(), kFactoryKeyDefaults.end(),
                  memory.keyPages.begin() + static_cast<std::ptrdiff_t>(page * kKeyPageSize));
    }

    memory.macroArea.assign(memory.MacroCapacity(), 0);
    WriteU16LE(memory.macroArea, kMacroMagicOffset, kMacroMagic);
    WriteU16LE(memory.macroArea, kMacroSizeOffset, kEmptyMacroAreaSize);

    memory.colourPages.fill(0xFF);
    return memory;
}

void FitMacroAreaToCapacity(KeyboardMemory& memory) {
    memory.macroArea.resize(memory.MacroCapacity(), 0);
}

}  // namespace qv::sim
