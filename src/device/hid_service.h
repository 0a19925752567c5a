#pragma once

// The HID service the transport talks to: the calls the tool makes on it, with the arguments
// and check values they carry, and the event records it delivers. Backends: the hidapi service
// for a real keyboard and the simulated keyboard's service.

#include <array>
#include <cstdint>
#include <span>

#include "core/bytes.h"
#include "core/fourcc.h"

namespace qv::device {

inline constexpr std::uint16_t kVendorId = 0x0C45;
inline constexpr std::uint16_t kProductId = 0x5004;

// The 16-byte selector that names one HID collection of the keyboard.
//   bytes 0..3 match flags (15), 4..5 vendor, 6..7 product, 8..9 usage page, 10..11 usage,
//   12..15 reserved.
struct DeviceSelector {
    static constexpr std::size_t kSize = 16;
    static constexpr std::uint32_t kMatchAll = 15;

    std::uint32_t matchFlags = kMatchAll;
    std::uint16_t vendorId = kVendorId;
    std::uint16_t productId = kProductId;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::uint32_t reserved = 0;

    [[nodiscard]] std::array<std::uint8_t, kSize> ToBytes() const;
    friend bool operator==(const DeviceSelector&, const DeviceSelector&) = default;
};

// Commands and their replies.
inline constexpr DeviceSelector kControlSelector{.usagePage = 0xFF1C, .usage = 0x0092};
// Key events the keyboard raises itself.
inline constexpr DeviceSelector kConsumerSelector{.usagePage = 0x000C, .usage = 0x0001};
// The key bank indicator.
inline constexpr DeviceSelector kLedSelector{.usagePage = 0x0008, .usage = 0x0089};

inline constexpr std::uint32_t TAG_CTRL = FourCC("CTRL");
inline constexpr std::uint32_t TAG_CONS = FourCC("CONS");
inline constexpr std::uint32_t TAG_LED = FourCC("LED");

enum class ServiceEventKind : std::uint32_t {
    DeviceCountChanged = 0,  // value: the new number of matching devices
    DataArrived = 1,         // value: number of bytes received; data: the received report
};

// What the service hands to the callback. `data` is valid only during the call.
struct ServiceEvent {
    ServiceEventKind kind = ServiceEventKind::DataArrived;
    std::uint32_t tag = 0;  // the tag given when the request was registered
    std::uint32_t value = 0;
    Bytes data;
};

// Receiver of a registration's events; called on the service's own thread(s).
class ServiceCallbackTarget {
public:
    virtual int ServiceCallback(const ServiceEvent& event) = 0;

protected:
    ~ServiceCallbackTarget() = default;
};

// The callback's address as it enters check values: its low 32 bits, little-endian.
[[nodiscard]] std::uint32_t CallbackAddressValue(const ServiceCallbackTarget* callback);

// Check values of each call, over exactly the bytes the call names.
[[nodiscard]] std::uint32_t CheckValueForDeviceCount(const DeviceSelector& selector);
[[nodiscard]] std::uint32_t CheckValueForWriteOne(const DeviceSelector& selector, Bytes report);
[[nodiscard]] std::uint32_t CheckValueForAsyncRead(const DeviceSelector& selector,
                                                   const ServiceCallbackTarget* callback,
                                                   std::uint32_t tag);
[[nodiscard]] std::uint32_t CheckValueForStatusWrite(const DeviceSelector& selector,
                                                     const ServiceCallbackTarget* callback,
                                                     std::uint32_t tag, Bytes data);

// Contract every backend keeps:
// - calls may come from any thread, concurrently;
// - callbacks run on a thread of the service, never inside a call made by the tool, and never
//   after DeleteRequestFromUnitId of their registration has returned or the service is gone;
// - a call whose check value is wrong fails (count 0, send refused, nothing registered).
class HidService {
public:
    virtual ~HidService() = default;

    // > 0 when the service is ready.
    virtual int Init(std::uint32_t flags) = 0;
    // Number of present devices that match the selector.
    virtual int RequestGetDeviceCount(const DeviceSelector& selector, std::uint32_t arg1,
                                      std::uint32_t arg2, std::uint32_t checkValue,
                                      std::uint32_t arg3) = 0;
    // > 0 when the report was sent.
    virtual int RequestWriteOne(const DeviceSelector& selector, std::uint32_t arg1,
                                std::uint32_t arg2, Bytes report, std::uint32_t checkValue,
                                std::uint32_t arg3) = 0;
    // From now on every input report of the collection (kind 1) and every change of the device
    // count (kind 0) reaches the callback with this tag. Writes the new request's id to idSlot.
    virtual int RequestAsyncRead(const DeviceSelector& selector, ServiceCallbackTarget* callback,
                                 std::uint32_t tag, std::uint32_t checkValue,
                                 std::uint32_t* idSlot) = 0;
    // Sends an output report's data bytes to the collection. Writes the request's id to idSlot.
    virtual int RequestStatusWrite(const DeviceSelector& selector, ServiceCallbackTarget* callback,
                                   std::uint32_t tag, Bytes data, std::uint32_t checkValue,
                                   std::uint32_t* idSlot) = 0;
    // Cancels the request with this id; unknown ids (0 included) are ignored.
    virtual int DeleteRequestFromUnitId(std::uint32_t id) = 0;
};

}  // namespace qv::device
