#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "core/hex.h"
#include "device/command_result.h"
#include "device/commands.h"

namespace qv::device {
namespace {

// The command layer on its own: records every request and answers from a script. What the
// keyboard itself does with the requests is tested against the simulated keyboard.
class ScriptedExchange final : public ReportExchange {
public:
    struct Answer {
        int result = kSuccess;
        std::uint8_t status = 0;
        std::uint8_t fill = 0;  // payload byte of the reply
    };

    int Exchange(Bytes request, MutableBytes reply, std::size_t& receivedLength) override {
        requests.emplace_back();
        std::copy_n(request.begin(), kReportSize, requests.back().begin());
        receivedLength = 0;
        const Answer answer = script.empty() ? Answer{} : script.front();
        if (!script.empty()) {
            script.pop_front();
        }
        if (answer.result != kSuccess) {
            return answer.result;
        }
        ReportBytes bytes = requests.back();
        bytes[kStatusOffset] = answer.status;
        std::fill(bytes.begin() + kPayloadOffset, bytes.end(), answer.fill);
        std::copy(bytes.begin(), bytes.end(), reply.begin());
        receivedLength = kReportSize;
        return kSuccess;
    }

    std::deque<Answer> script;
    std::vector<ReportBytes> requests;
};

class CommandsTest : public ::testing::Test {
protected:
    ScriptedExchange exchange;
    DeviceCommands commands{exchange};
};

TEST_F(CommandsTest, KeyPageIsWrittenInFourChunks) {
    std::array<std::uint8_t, kKeyPageSize> page{};
    for (std::size_t i = 0; i < page.size(); ++i) {
        page[i] = static_cast<std::uint8_t>(i);
    }
    ASSERT_EQ(commands.WriteKeyPage(page, 2), kSuccess);
    ASSERT_EQ(exchange.requests.size(), 4u);
    const std::array<std::pair<int, int>, 4> chunks{{{384, 56}, {440, 56}, {496, 56}, {552, 24}}};
    for (std::size_t i = 0; i < 4; ++i) {
        const DeviceReport sent(exchange.requests[i]);
        EXPECT_EQ(sent.Command(), CMD_WRITE_KEY_PAGE);
        EXPECT_EQ(sent.Offset(), chunks[i].first);
        EXPECT_EQ(sent.Length(), chunks[i].second);
        EXPECT_EQ(sent.Payload()[0], page[i * 56]);
        EXPECT_EQ(sent.Payload()[kPayloadSize - 1], i < 3 ? page[i * 56 + 55] : 0);
    }
}

TEST_F(CommandsTest, KeyPageIsReadInFourChunks) {
    std::array<std::uint8_t, kKeyPageSize> page{};
    ASSERT_EQ(commands.ReadKeyPage(page, 2), kSuccess);
    // The second chunk of page 2, byte for byte: offset 440 = 0x01B8, checksum 7 + 56 + 0xB9.
    EXPECT_EQ(HexBytes(Bytes(exchange.requests[1]).first(8)), "04 F8 00 07 38 B8 01 00");
    EXPECT_EQ(DeviceReport(exchange.requests[3]).Length(), 24);
    EXPECT_EQ(DeviceReport(exchange.requests[3]).Offset(), 2 * 192 + 168);
}

TEST_F(CommandsTest, KeyPageOutsideZeroToThreeSendsNothing) {
    std::array<std::uint8_t, kKeyPageSize> page{};
    for (int bad : {4, -1, 100}) {
        EXPECT_EQ(commands.ReadKeyPage(page, bad), kBadKeyPage);
        EXPECT_EQ(commands.WriteKeyPage(page, bad), kBadKeyPage);
    }
    EXPECT_TRUE(exchange.requests.empty());
}

TEST_F(CommandsTest, MacroTransfersAreCounted) {
    EXPECT_EQ(commands.WriteMacros({}), kSuccess);
    EXPECT_TRUE(exchange.requests.empty());

    std::vector<std::uint8_t> area(57, 0xAB);
    ASSERT_EQ(commands.WriteMacros(area), kSuccess);
    ASSERT_EQ(exchange.requests.size(), 2u);
    EXPECT_EQ(DeviceReport(exchange.requests[0]).Offset(), 0);
    EXPECT_EQ(DeviceReport(exchange.requests[0]).Length(), 56);
    EXPECT_EQ(DeviceReport(exchange.requests[1]).Offset(), 56);
    EXPECT_EQ(DeviceReport(exchange.requests[1]).Length(), 1);
    EXPECT_EQ(DeviceReport(exchange.requests[1]).Payload()[0], 0xAB);
    EXPECT_EQ(DeviceReport(exchange.requests[1]).Payload()[1], 0);
}

TEST_F(CommandsTest, TransferBeyondSixteenBitOffsetsSendsNothing) {
    std::vector<std::uint8_t> area(0x10001);
    EXPECT_EQ(commands.WriteMacros(area), kBeyondOffsets);
    EXPECT_EQ(commands.ReadMacros(area), kBeyondOffsets);
    EXPECT_TRUE(exchange.requests.empty());
}

TEST_F(CommandsTest, FailedStatusLeavesTheChunkUntouchedAndStopsTheTransfer) {
    std::array<std::uint8_t, kKeyPageSize> page{};
    page.fill(0x11);
    exchange.script = {{kSuccess, 0, 0x22}, {kSuccess, kStatusFailFF, 0x33}};
    EXPECT_EQ(commands.ReadKeyPage(page, 0), kStatusFF);
    EXPECT_EQ(exchange.requests.size(), 2u);
    EXPECT_EQ(page[0], 0x22);
    EXPECT_EQ(page[56], 0x11);

    exchange.requests.clear();
    exchange.script = {{kSuccess, kStatusFailFE, 0}};
    EXPECT_EQ(commands.BeginTransfer(), kStatusFE);
}

TEST_F(CommandsTest, ExchangeResultsPassThroughUnchanged) {
    std::array<std::uint8_t, kSettingsBlockSize> block{};
    std::array<std::uint8_t, kPayloadSize> bytes{};
    for (int result : {kNoKeyboard, kSendRefused, kNoReply}) {
        exchange.script = {{result}, {result}, {result}, {result}};
        EXPECT_EQ(commands.ReadSettings(block), result);
        EXPECT_EQ(commands.EndTransfer(), result);
        EXPECT_EQ(commands.ReadLighting(bytes, 56, 64), result);
        EXPECT_EQ(commands.WriteKeyColours(Bytes(bytes).first(6), 3, 1), result);
    }
}

TEST_F(CommandsTest, ByteAddressedCommandsCarryTheirOffsets) {
    std::array<std::uint8_t, 3> colour{0x10, 0x20, 0x30};
    ASSERT_EQ(commands.WriteKeyColours(colour, 5, 2), kSuccess);
    const DeviceReport sent(exchange.requests.back());
    EXPECT_EQ(sent.Command(), CMD_WRITE_KEY_COLOURS);
    EXPECT_EQ(sent.Offset(), 2 * 192 + 5 * 3);
    EXPECT_EQ(sent.Length(), 3);
    EXPECT_EQ(HexBytes(sent.Payload().first(4)), "10 20 30 00");

    std::array<std::uint8_t, 2> rate{3, 0};
    ASSERT_EQ(commands.WriteLighting(Bytes(rate).first(1), 64 + 15), kSuccess);
    EXPECT_EQ(DeviceReport(exchange.requests.back()).Offset(), 79);
    EXPECT_EQ(DeviceReport(exchange.requests.back()).Length(), 1);

    std::array<std::uint8_t, kSettingsBlockSize> block{};
    exchange.script = {{kSuccess, 0, 0x5A}};
    ASSERT_EQ(commands.ReadSettings(block), kSuccess);
    EXPECT_EQ(block[43], 0x5A);
}

}  // namespace
}  // namespace qv::device
