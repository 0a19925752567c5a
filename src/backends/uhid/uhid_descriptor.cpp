#include "backends/uhid/uhid_descriptor.h"

#include <array>

namespace qv::sim::uhid {
namespace {

// clang-format off
constexpr auto kDescriptor = std::to_array<std::uint8_t>({
    // Control: commands out, replies in.
    0x06, 0x1C, 0xFF,              // Usage Page (0xFF1C)
    0x09, 0x92,                    // Usage (0x92)
    0xA1, 0x01,                    // Collection (Application)
    0x85, kControlReportId,        //   Report ID
    0x15, 0x00,                    //   Logical Minimum (0)
    0x26, 0xFF, 0x00,              //   Logical Maximum (255)
    0x75, 0x08,                    //   Report Size (8)
    0x95, kControlReportSize - 1,  //   Report Count (63)
    0x09, 0x01,                    //   Usage (1)
    0x81, 0x02,                    //   Input (Data, Variable, Absolute)
    0x09, 0x02,                    //   Usage (2)
    0x91, 0x02,                    //   Output (Data, Variable, Absolute)
    0xC0,                          // End Collection

    // Consumer: the keyboard's own key events. The codes are not consumer usages, so the
    // field is a vendor one.
    0x05, 0x0C,                    // Usage Page (Consumer)
    0x09, 0x01,                    // Usage (Consumer Control)
    0xA1, 0x01,                    // Collection (Application)
    0x85, kConsumerReportId,       //   Report ID
    0x06, 0x1C, 0xFF,              //   Usage Page (0xFF1C)
    0x09, 0x03,                    //   Usage (3)
    0x15, 0x00,                    //   Logical Minimum (0)
    0x27, 0xFF, 0xFF, 0x00, 0x00,  //   Logical Maximum (65535)
    0x75, 0x10,                    //   Report Size (16)
    0x95, 0x01,                    //   Report Count (1)
    0x81, 0x02,                    //   Input (Data, Variable, Absolute)
    0xC0,                          // End Collection

    // LED: the key bank indicator.
    0x05, 0x08,                    // Usage Page (LEDs)
    0x09, 0x89,                    // Usage (0x89)
    0xA1, 0x01,                    // Collection (Application)
    0x85, kLedReportId,            //   Report ID
    0x06, 0x1C, 0xFF,              //   Usage Page (0xFF1C)
    0x09, 0x04,                    //   Usage (4)
    0x15, 0x00,                    //   Logical Minimum (0)
    0x26, 0xFF, 0x00,              //   Logical Maximum (255)
    0x75, 0x08,                    //   Report Size (8)
    0x95, kLedReportSize - 1,      //   Report Count (1)
    0x91, 0x02,                    //   Output (Data, Variable, Absolute)
    0xC0,                          // End Collection
});
// clang-format on

}  // namespace

Bytes ReportDescriptor() {
    return kDescriptor;
}

}  // namespace qv::sim::uhid
