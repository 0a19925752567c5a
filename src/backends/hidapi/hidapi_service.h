#pragma once

// The HID service for a real keyboard on Linux: hidapi over hidraw for the reports, udev for
// arrival and removal.
//
// - Each of the tool's collections (control, consumer, LED) is looked up by usage page and usage
//   among the keyboard's hidraw nodes; one node may carry several of them.
// - The control and consumer collections each have a reader thread; their input reports reach
//   the read registrations of that collection as kind-1 events.
// - A udev monitor thread re-enumerates on every hidraw arrival or removal and sends a kind-0
//   event with the new count to each read registration whose count changed. The count the
//   service reports is kept from that, never enumerated per call.
// - Output reports go out as given: byte 0 is the report id (4 for command reports; 5 for the
//   LED report, whose byte 1 holds the bank bits).
// - Callbacks run on the reader and monitor threads and may call back into the service. The
//   destructor stops every thread; it must not run on one of them, i.e. not from a callback.

#include <cstdint>
#include <memory>

#include "device/hid_service.h"

namespace qv::device {

class HidapiService final : public HidService {
public:
    HidapiService();
    ~HidapiService() override;
    HidapiService(const HidapiService&) = delete;
    HidapiService& operator=(const HidapiService&) = delete;

    int Init(std::uint32_t flags) override;
    int RequestGetDeviceCount(const DeviceSelector& selector, std::uint32_t arg1,
                              std::uint32_t arg2, std::uint32_t checkValue,
                              std::uint32_t arg3) override;
    int RequestWriteOne(const DeviceSelector& selector, std::uint32_t arg1, std::uint32_t arg2,
                        Bytes report, std::uint32_t checkValue, std::uint32_t arg3) override;
    int RequestAsyncRead(const DeviceSelector& selector, ServiceCallbackTarget* callback,
                         std::uint32_t tag, std::uint32_t checkValue,
                         std::uint32_t* idSlot) override;
    int RequestStatusWrite(const DeviceSelector& selector, ServiceCallbackTarget* callback,
                           std::uint32_t tag, Bytes data, std::uint32_t checkValue,
                           std::uint32_t* idSlot) override;
    int DeleteRequestFromUnitId(std::uint32_t id) override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace qv::device
