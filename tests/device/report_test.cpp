#include <gtest/gtest.h>

#include <array>
#include <set>

#include "core/hex.h"
#include "device/check_value.h"
#include "device/device_report.h"
#include "device/hid_service.h"

namespace qv::device {
namespace {

std::string Head(const DeviceReport& report, std::size_t n = 8) {
    return HexBytes(Bytes(report.bytes()).first(n));
}

TEST(DeviceReportTest, RequestsAreByteExact) {
    const DeviceReport begin = DeviceReport::Request(CMD_BEGIN_TRANSFER, 0, 0);
    EXPECT_EQ(Head(begin), "04 01 00 01 00 00 00 00");
    EXPECT_EQ(begin.Checksum(), 1);

    const DeviceReport settings = DeviceReport::Request(CMD_READ_SETTINGS, 44, 0);
    EXPECT_EQ(Head(settings), "04 2F 00 03 2C 00 00 00");

    for (std::size_t i = kPayloadOffset; i < kReportSize; ++i) {
        EXPECT_EQ(begin.bytes()[i], 0) << "byte " << i;
    }
}

TEST(DeviceReportTest, ChecksumCoversPayloadAndNeverWraps) {
    std::array<std::uint8_t, kPayloadSize> full{};
    full.fill(0xFF);
    const DeviceReport report = DeviceReport::Request(0xFF, 0xFF, 0xFFFF, full);
    // 61 bytes of 0xFF except the status byte: 60 * 255.
    EXPECT_EQ(report.Checksum(), 60 * 255);
    EXPECT_EQ(report.Offset(), 0xFFFF);
    EXPECT_EQ(ReportChecksum(report.bytes()), report.Checksum());
}

TEST(CheckValueTest, TableIsAPermutationAndSumIsOrderFree) {
    std::set<std::uint8_t> values(CheckValueTable.begin(), CheckValueTable.end());
    EXPECT_EQ(values.size(), 256u);

    const std::array<std::uint8_t, 3> a{1, 2, 3};
    const std::array<std::uint8_t, 2> b{0xFE, 0x00};
    EXPECT_EQ(RequestCheckValue().Add(a).Add(b).value(), RequestCheckValue().Add(b).Add(a).value());
    EXPECT_EQ(RequestCheckValue().Add(0x04030201u).value(),
              RequestCheckValue().Add(a).Add(std::array<std::uint8_t, 1>{4}).value());
}

TEST(CheckValueTest, SelectorBytesFollowTheLayout) {
    EXPECT_EQ(HexBytes(kControlSelector.ToBytes()),
              "0F 00 00 00 45 0C 04 50 1C FF 92 00 00 00 00 00");
    EXPECT_EQ(HexBytes(kLedSelector.ToBytes()), "0F 00 00 00 45 0C 04 50 08 00 89 00 00 00 00 00");
}

}  // namespace
}  // namespace qv::device
