// HID report descriptors come from the kernel as the device sent them: any bytes at all.

#include <cstddef>
#include <cstdint>

#include "backends/hidapi/report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto collections = qv::device::ParseTopLevelCollections(qv::Bytes(data, size));
    volatile std::size_t sink = collections.size();
    (void)sink;
    return 0;
}
