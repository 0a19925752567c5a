#include "device/device_report.h"

#include <algorithm>

#include "core/contract.h"

namespace qv::device {

std::uint16_t ReportChecksum(std::span<const std::uint8_t, kReportSize> report) {
    unsigned sum = 0;
    for (std::size_t i = kChecksumFirstByte; i < kReportSize; ++i) {
        sum += report[i];
    }
    return static_cast<std::uint16_t>(sum);
}

DeviceReport DeviceReport::Request(std::uint8_t command, std::uint8_t length, std::uint16_t offset,
                                   Bytes payload) {
    QV_EXPECTS(payload.size() <= kPayloadSize);
    DeviceReport report;
    ReportBytes& b = report.bytes_;
    b[kReportIdOffset] = kReportId;
    b[kCommandOffset] = command;
    b[kLengthOffset] = length;
    WriteU16LE(b, kAreaOffsetOffset, offset);
    std::copy(payload.begin(), payload.end(), b.begin() + kPayloadOffset);
    WriteU16LE(b, kChecksumOffset, ReportChecksum(b));
    return report;
}

}  // namespace qv::device
