#include "device/hid_service.h"

#include <cstdint>

#include "device/check_value.h"

namespace qv::device {

std::array<std::uint8_t, DeviceSelector::kSize> DeviceSelector::ToBytes() const {
    std::array<std::uint8_t, kSize> bytes{};
    WriteU32LE(bytes, 0, matchFlags);
    WriteU16LE(bytes, 4, vendorId);
    WriteU16LE(bytes, 6, productId);
    WriteU16LE(bytes, 8, usagePage);
    WriteU16LE(bytes, 10, usage);
    WriteU32LE(bytes, 12, reserved);
    return bytes;
}

std::uint32_t CallbackAddressValue(const ServiceCallbackTarget* callback) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(callback));
}

std::uint32_t CheckValueForDeviceCount(const DeviceSelector& selector) {
    return RequestCheckValue().Add(selector.ToBytes()).Add(0u).Add(0u).value();
}

std::uint32_t CheckValueForWriteOne(const DeviceSelector& selector, Bytes report) {
    return RequestCheckValue().Add(selector.ToBytes()).Add(0u).Add(0u).Add(report).value();
}

std::uint32_t CheckValueForAsyncRead(const DeviceSelector& selector,
                                     const ServiceCallbackTarget* callback, std::uint32_t tag) {
    return RequestCheckValue()
        .Add(selector.ToBytes())
        .Add(CallbackAddressValue(callback))
        .Add(tag)
        .value();
}

std::uint32_t CheckValueForStatusWrite(const DeviceSelector& selector,
                                       const ServiceCallbackTarget* callback, std::uint32_t tag,
                                       Bytes data) {
    return RequestCheckValue()
        .Add(selector.ToBytes())
        .Add(CallbackAddressValue(callback))
        .Add(tag)
        .Add(data)
        .value();
}

}  // namespace qv::device
