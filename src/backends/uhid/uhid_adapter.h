#pragma once

// The simulated keyboard on a uhid device: the kernel, hidraw and every program that looks for
// the keyboard see it as the USB keyboard.
//
// - Output reports the host writes go to the simulated keyboard: command reports (id 4) as
//   command reports, the LED report (id 5) as the key bank indicator. Others are dropped.
// - The keyboard's replies and key events come back as input reports; a key event is the
//   consumer report (id 3) with its code.
// - The keyboard being unplugged destroys the device; plugged back in, it is created again.
// - Each time a program opens the device while no other has it open, the keyboard's planned
//   faults count that program's reports from 1, as for a program with a simulated keyboard of
//   its own.
//
// The keyboard's callbacks write to the channel from the keyboard's thread; Handle and Control
// run on the caller's. Both may run at once.

#include <cstdint>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>

#include "backends/uhid/control_command.h"
#include "backends/uhid/uhid_channel.h"
#include "device/hid_service.h"
#include "sim/fault_plan.h"
#include "sim/sim_hid_service.h"

namespace qv::sim::uhid {

// USB ids the device shows; another pair than the keyboard's makes a device the programs must not
// take for the keyboard (for checking what they and the udev rule match).
struct UsbIds {
    std::uint16_t vendor = device::kVendorId;
    std::uint16_t product = device::kProductId;
};

class UhidAdapter final : public device::ServiceCallbackTarget {
public:
    // `log` gets one line for each change a tester may want to see (device created or gone,
    // LED report, refused control commands).
    UhidAdapter(UhidChannel& channel, SimHidService& keyboard, std::ostream& log,
                UsbIds ids = UsbIds{});
    // The device goes, and no callback of the keyboard reaches the adapter afterwards.
    ~UhidAdapter();
    UhidAdapter(const UhidAdapter&) = delete;
    UhidAdapter& operator=(const UhidAdapter&) = delete;

    // Listens to the keyboard and creates the device when the keyboard is plugged in. False when
    // the kernel refused the device; the reason is in the log.
    [[nodiscard]] bool Start();

    // One event the kernel sent.
    void Handle(const KernelEvent& event);

    // One command of a tester. False for quit.
    [[nodiscard]] bool Control(const ControlCommand& command);

    // A write to the channel failed: the adapter cannot go on.
    [[nodiscard]] bool ChannelFailed() const;

    int ServiceCallback(const device::ServiceEvent& event) override;

private:
    void SetPresent(bool present);
    void Send(Bytes report);
    void Log(const std::string& line);

    UhidChannel& channel_;
    SimHidService& keyboard_;
    std::ostream& log_;
    const FaultPlan basePlan_;  // the faults the keyboard was opened with
    const UsbIds ids_;

    mutable std::mutex mutex_;  // the channel's writes, the state below and the log
    bool created_ = false;
    bool channelFailed_ = false;

    std::uint32_t controlReadId_ = 0;
    std::uint32_t consumerReadId_ = 0;
    std::uint32_t ledWriteId_ = 0;  // only the caller's thread uses it
};

}  // namespace qv::sim::uhid
