#pragma once

// How the simulated keyboard shows itself to the kernel: its USB identity and the report
// descriptor of the keyboard's three collections, all on one HID interface and therefore all
// with numbered reports.
//
//   control   FF1C/0092  report 4: 63 bytes each way (with the id, the 64-byte command report)
//   consumer  000C/0001  report 3 in: the keyboard's key-event code, LE16
//   LED       0008/0089  report 5 out: the key bank indicator byte
//
// The fields carry vendor usages only, so the kernel's input layer makes no input device of
// them: nothing but a program that opens the hidraw node ever talks to the device, and no
// desktop service writes LED reports of its own to it.

#include <cstddef>
#include <cstdint>

#include "core/bytes.h"
#include "device/device_report.h"
#include "device/hid_service.h"
#include "device/transport.h"

namespace qv::sim::uhid {

inline constexpr std::uint16_t kBusUsb = 0x03;
inline constexpr std::uint32_t kDeviceVersion = 0x0110;
inline constexpr const char* kDeviceName = "Quorvane simulated keyboard";

inline constexpr std::uint8_t kControlReportId = device::kReportId;
inline constexpr std::size_t kControlReportSize = device::kReportSize;  // id included

inline constexpr std::uint8_t kConsumerReportId = 3;
inline constexpr std::size_t kConsumerCodeOffset = 1;
inline constexpr std::size_t kConsumerReportSize = kConsumerCodeOffset + 2;

inline constexpr std::uint8_t kLedReportId = device::kInitialLedReport[0];
inline constexpr std::size_t kLedReportSize = device::kInitialLedReport.size();

static_assert(kLedReportId == 5 && kLedReportSize == 2);
static_assert(kControlReportId != kConsumerReportId && kConsumerReportId != kLedReportId);

// The descriptor the device is created with.
[[nodiscard]] Bytes ReportDescriptor();

}  // namespace qv::sim::uhid
