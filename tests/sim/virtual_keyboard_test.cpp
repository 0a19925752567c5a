#include <gtest/gtest.h>

#include <vector>

#include "core/hex.h"
#include "sim/virtual_keyboard.h"

namespace qv::sim {
namespace {

using device::DeviceReport;
using device::ReportBytes;

constexpr std::uint8_t kOk = kStatusOk;
constexpr std::uint8_t kFF = kStatusOutOfRange;
constexpr std::uint8_t kFE = kStatusBadRequest;

// The reply the firmware must give: header echoed, status, payload, and its own checksum.
ReportBytes ExpectedReply(std::uint8_t command, std::uint8_t length, std::uint16_t offset,
                          std::uint8_t status, Bytes payload = {}) {
    ReportBytes reply{};
    reply[0] = device::kReportId;
    reply[3] = command;
    reply[4] = length;
    WriteU16LE(reply, 5, offset);
    reply[7] = status;
    std::copy(payload.begin(), payload.end(), reply.begin() + 8);
    WriteU16LE(reply, 1, device::ReportChecksum(reply));
    return reply;
}

ReportBytes Send(VirtualKeyboard& keyboard, std::uint8_t command, std::uint8_t length,
                 std::uint16_t offset, Bytes payload = {}) {
    return keyboard.HandleCommand(DeviceReport::Request(command, length, offset, payload).bytes());
}

TEST(SimFactoryMemory, HoldsTheDocumentedLayout) {
    const KeyboardMemory m = FactoryMemory();
    EXPECT_EQ(HexBytes(Bytes(m.settings).subspan(8, 4)), "10 01 00 40");
    EXPECT_EQ(HexBytes(Bytes(m.settings).subspan(12, 32)),
              "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 14 00 00 00 00 00 00 00 00 "
              "00 00 00 00 00");
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_NE(m.settings[i], 0) << "settings byte " << i;
    }
    EXPECT_EQ(m.MacroCapacity(), 8192u);
    ASSERT_EQ(m.macroArea.size(), 8192u);
    EXPECT_EQ(HexBytes(Bytes(m.macroArea).first(17)),
              "AA 55 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00");

    // Every record is the restored defaults but for its mode and colour.
    EXPECT_EQ(HexBytes(Bytes(m.lighting).first(12)), "01 04 02 00 FF FF FF FF 00 FF FF FF");
    for (std::size_t p = 1; p < 4; ++p) {
        EXPECT_FALSE(std::equal(m.lighting.begin(), m.lighting.begin() + 8,
                                m.lighting.begin() + static_cast<std::ptrdiff_t>(p * 64)))
            << "record " << p << " equals record 0";
    }

    // G keys 1..9 at positions 0..7 and 14; the rest is the host's built-in table.
    const std::vector<std::pair<std::size_t, std::uint8_t>> gKeys{
        {0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {14, 9}};
    for (const auto& [position, n] : gKeys) {
        EXPECT_EQ(HexBytes(Bytes(m.keyDefaults).subspan(position * 3, 3)),
                  HexBytes(std::array<std::uint8_t, 3>{0x06, 0xA2, n}))
            << "position " << position;
    }
    EXPECT_EQ(HexBytes(Bytes(m.keyDefaults).subspan(8 * 3, 3)), "02 02 29");
    EXPECT_EQ(HexBytes(Bytes(m.keyDefaults).subspan(53 * 3, 3)), "05 02 02");
    EXPECT_EQ(HexBytes(Bytes(m.keyDefaults).subspan(63 * 3, 3)), "00 00 00");
    for (std::size_t page = 0; page < 4; ++page) {
        EXPECT_TRUE(std::equal(m.keyDefaults.begin(), m.keyDefaults.end(),
                               m.keyPages.begin() + static_cast<std::ptrdiff_t>(page * 192)));
    }
    EXPECT_TRUE(std::all_of(m.colourPages.begin(), m.colourPages.end(),
                            [](std::uint8_t b) { return b == 0xFF; }));
}

struct StatusCase {
    const char* what;
    std::uint8_t command;
    std::uint8_t length;
    std::uint16_t offset;
    std::uint8_t status;
};

TEST(VirtualKeyboard, AnswersEveryCommandWithItsStatus) {
    const std::vector<StatusCase> cases{
        {"begin transfer", 1, 0, 0, kOk},
        {"end transfer", 2, 0, 0, kOk},
        {"bare 11", 11, 0, 0, kOk},
        {"bare 14", 14, 0, 0, kOk},
        {"read settings", 3, 44, 0, kOk},
        {"read settings, short", 3, 43, 0, kFF},
        {"read settings, offset", 3, 44, 1, kFF},
        {"write settings, short", 4, 43, 0, kFF},
        {"write settings, offset", 4, 44, 4, kFF},
        {"read lighting, last 56", 5, 56, 200, kOk},
        {"read lighting, past the end", 5, 56, 201, kFF},
        {"read lighting, 57 bytes", 5, 57, 0, kFF},
        {"write lighting, last byte", 6, 1, 255, kOk},
        {"write lighting, past the end", 6, 2, 255, kFF},
        {"read key page, last chunk", 7, 24, 744, kOk},
        {"read key page, past the end", 7, 25, 744, kFF},
        {"write key page, 57 bytes", 8, 57, 0, kFF},
        {"write key page, past the end", 8, 1, 768, kFF},
        {"read macros, last 56", 9, 56, 8136, kOk},
        {"read macros, past capacity", 9, 56, 8137, kFF},
        {"write macros, past capacity", 10, 1, 8192, kFF},
        {"read key defaults, last chunk", 15, 24, 168, kOk},
        {"read key defaults, past the end", 15, 25, 168, kFF},
        {"read key colours, last 8", 16, 8, 760, kOk},
        {"read key colours, past the end", 16, 8, 761, kFF},
        {"write key colours, past the end", 17, 3, 766, kFF},
        {"largest offset", 9, 1, 0xFFFF, kFF},
        {"command 0", 0, 0, 0, kFE},
        {"command 18", 18, 0, 0, kFE},
        {"command 255", 255, 0, 0, kFE},
    };
    for (const StatusCase& c : cases) {
        VirtualKeyboard keyboard;
        const ReportBytes reply = Send(keyboard, c.command, c.length, c.offset);
        EXPECT_EQ(reply[7], c.status) << c.what;
        EXPECT_EQ(reply[0], 4) << c.what;
        EXPECT_EQ(reply[3], c.command) << c.what;
        EXPECT_EQ(reply[4], c.length) << c.what;
        EXPECT_EQ(ReadU16LE(reply, 5), c.offset) << c.what;
    }
}

TEST(VirtualKeyboard, RejectsMalformedReportsWithFE) {
    VirtualKeyboard keyboard;
    ReportBytes request = DeviceReport::Request(3, 44, 0).bytes();

    ReportBytes badChecksum = request;
    badChecksum[1] ^= 1;
    EXPECT_EQ(HexBytes(keyboard.HandleCommand(badChecksum)),
              HexBytes(ExpectedReply(3, 44, 0, kFE)));

    ReportBytes badId = request;
    badId[0] = 5;
    EXPECT_EQ(keyboard.HandleCommand(badId)[7], kFE);

    EXPECT_EQ(keyboard.HandleCommand(Bytes(request).first(63))[7], kFE);
    EXPECT_EQ(keyboard.HandleCommand(Bytes{})[7], kFE);
}

TEST(VirtualKeyboard, ReadsAreByteExact) {
    VirtualKeyboard keyboard;
    KeyboardMemory& m = keyboard.memory();
    for (std::size_t i = 0; i < m.lighting.size(); ++i) {
        m.lighting[i] = static_cast<std::uint8_t>(i);
    }
    for (std::size_t i = 0; i < m.keyPages.size(); ++i) {
        m.keyPages[i] = static_cast<std::uint8_t>(i * 7);
    }
    for (std::size_t i = 0; i < m.colourPages.size(); ++i) {
        m.colourPages[i] = static_cast<std::uint8_t>(i * 3);
    }
    m.macroArea[8191] = 0x77;
    const Bytes settings = m.settings;
    const Bytes lighting = m.lighting;
    const Bytes keys = m.keyPages;
    const Bytes colours = m.colourPages;

    std::array<std::uint8_t, 56> tail{};  // the last 32 lighting bytes, then zeros
    std::copy(lighting.begin() + 224, lighting.end(), tail.begin());
    std::array<std::uint8_t, 56> colourTail{};
    std::copy(colours.begin() + 760, colours.end(), colourTail.begin());
    std::array<std::uint8_t, 1> lastMacroByte{0x77};

    struct ReadCase {
        const char* what;
        std::uint8_t command;
        std::uint8_t length;
        std::uint16_t offset;
        Bytes payload;
    };
    const std::vector<ReadCase> cases{
        {"settings", 3, 44, 0, settings},
        // Lighting and colour reads answer a whole payload, zero past the area.
        {"lighting, two-byte form", 5, 2, 0, lighting.first(56)},
        {"lighting tail", 5, 32, 224, tail},
        {"key colours tail", 16, 8, 760, colourTail},
        // The others answer exactly the bytes asked for.
        {"key page 2, second chunk", 7, 56, 440, keys.subspan(440, 56)},
        {"key page 3, last chunk", 7, 24, 744, keys.subspan(744, 24)},
        {"key defaults", 15, 56, 56, Bytes(m.keyDefaults).subspan(56, 56)},
        {"macro header", 9, 16, 0, Bytes(m.macroArea).first(16)},
        {"last macro byte", 9, 1, 8191, lastMacroByte},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(HexBytes(Send(keyboard, c.command, c.length, c.offset)),
                  HexBytes(ExpectedReply(c.command, c.length, c.offset, kOk, c.payload)))
            << c.what;
    }
}

TEST(VirtualKeyboard, WritesChangeExactlyTheAddressedBytes) {
    struct WriteCase {
        const char* what;
        std::uint8_t command;
        std::uint16_t offset;
        MutableBytes (*area)(KeyboardMemory&);
    };
    const std::vector<WriteCase> cases{
        {"lighting", 6, 130, [](KeyboardMemory& m) { return MutableBytes(m.lighting); }},
        {"key page", 8, 400, [](KeyboardMemory& m) { return MutableBytes(m.keyPages); }},
        {"macros", 10, 8187, [](KeyboardMemory& m) { return MutableBytes(m.macroArea); }},
        {"key colours", 17, 573, [](KeyboardMemory& m) { return MutableBytes(m.colourPages); }},
    };
    const std::array<std::uint8_t, 5> data{0xDE, 0xAD, 0xBE, 0xEF, 0x42};
    for (const WriteCase& c : cases) {
        VirtualKeyboard keyboard;
        KeyboardMemory expected = keyboard.memory();
        std::copy(data.begin(), data.end(), c.area(expected).begin() + c.offset);

        EXPECT_EQ(HexBytes(Send(keyboard, c.command, 5, c.offset, data)),
                  HexBytes(ExpectedReply(c.command, 5, c.offset, kOk)))
            << c.what;
        EXPECT_TRUE(keyboard.memory() == expected) << c.what;

        // A refused write leaves the area alone, even the part that would have fit.
        const ReportBytes refused =
            Send(keyboard, c.command, 56, static_cast<std::uint16_t>(c.area(expected).size() - 10),
                 std::array<std::uint8_t, 56>{1, 2, 3});
        EXPECT_EQ(refused[7], kFF) << c.what;
        EXPECT_TRUE(keyboard.memory() == expected) << c.what;
    }
}

TEST(VirtualKeyboard, SettingsWriteStoresProfileButKeepsWhatDescribesTheFirmware) {
    VirtualKeyboard keyboard;
    const KeyboardMemory factory = keyboard.memory();
    std::array<std::uint8_t, 44> block{};
    block.fill(0x33);
    block[10] = 3;

    ASSERT_EQ(Send(keyboard, 4, 44, 0, block)[7], kOk);
    const auto& settings = keyboard.memory().settings;
    EXPECT_TRUE(std::all_of(settings.begin(), settings.begin() + 8,
                            [](std::uint8_t b) { return b == 0x33; }));
    EXPECT_EQ(settings[10], 3);
    EXPECT_TRUE(
        std::equal(settings.begin() + 8, settings.begin() + 10, factory.settings.begin() + 8));
    EXPECT_TRUE(std::equal(settings.begin() + 11, settings.end(), factory.settings.begin() + 11));

    block[10] = 4;
    EXPECT_EQ(Send(keyboard, 4, 44, 0, block)[7], kFF);
    EXPECT_EQ(keyboard.memory().settings[10], 3);

    // The host's read-modify-write round trip leaves the block as it was.
    const ReportBytes read = Send(keyboard, 3, 44, 0);
    EXPECT_EQ(Send(keyboard, 4, 44, 0, Bytes(read).subspan(8, 44))[7], kOk);
    EXPECT_EQ(HexBytes(Send(keyboard, 3, 44, 0)), HexBytes(read));
}

TEST(VirtualKeyboard, MacroCapacityFollowsTheSettingsByte) {
    KeyboardMemory memory = FactoryMemory();
    memory.settings[kSettingsMacroCapacity] = 1;  // 128 bytes; the area is cut to match
    VirtualKeyboard keyboard(memory);
    EXPECT_EQ(keyboard.memory().macroArea.size(), 128u);
    EXPECT_EQ(Send(keyboard, 9, 56, 72)[7], kOk);
    EXPECT_EQ(Send(keyboard, 9, 56, 73)[7], kFF);

    memory.settings[kSettingsMacroCapacity] = 0;
    VirtualKeyboard empty(memory);
    EXPECT_EQ(Send(empty, 10, 1, 0, std::array<std::uint8_t, 1>{1})[7], kFF);
}

TEST(VirtualKeyboard, KeepsTheLastTwoByteLedReport) {
    VirtualKeyboard keyboard;
    EXPECT_EQ(HexBytes(keyboard.LedReport()), "05 02");
    keyboard.HandleLedReport(std::array<std::uint8_t, 2>{0x05, 0x03});
    EXPECT_EQ(HexBytes(keyboard.LedReport()), "05 03");
    keyboard.HandleLedReport(std::array<std::uint8_t, 3>{0x01, 0x01, 0x01});
    EXPECT_EQ(HexBytes(keyboard.LedReport()), "05 03");
}

}  // namespace
}  // namespace qv::sim
