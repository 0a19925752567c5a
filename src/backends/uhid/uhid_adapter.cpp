#include "backends/uhid/uhid_adapter.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <variant>

#include "backends/uhid/uhid_descriptor.h"
#include "core/hex.h"

namespace qv::sim::uhid {
namespace {

DeviceIdentity KeyboardIdentity(UsbIds ids) {
    DeviceIdentity identity;
    identity.name = kDeviceName;
    identity.bus = kBusUsb;
    identity.vendor = ids.vendor;
    identity.product = ids.product;
    identity.version = kDeviceVersion;
    identity.descriptor = ReportDescriptor();
    return identity;
}

}  // namespace

UhidAdapter::UhidAdapter(UhidChannel& channel, SimHidService& keyboard, std::ostream& log,
                         UsbIds ids)
    : channel_(channel),
      keyboard_(keyboard),
      log_(log),
      basePlan_(keyboard.PlannedFaults()),
      ids_(ids) {}

UhidAdapter::~UhidAdapter() {
    // Cancelling waits for a callback that is running, so none is left when the device goes.
    for (const std::uint32_t id : {controlReadId_, consumerReadId_, ledWriteId_}) {
        keyboard_.DeleteRequestFromUnitId(id);
    }
    SetPresent(false);
}

bool UhidAdapter::Start() {
    using device::kConsumerSelector;
    using device::kControlSelector;
    keyboard_.RequestAsyncRead(
        kControlSelector, this, device::TAG_CTRL,
        device::CheckValueForAsyncRead(kControlSelector, this, device::TAG_CTRL), &controlReadId_);
    keyboard_.RequestAsyncRead(
        kConsumerSelector, this, device::TAG_CONS,
        device::CheckValueForAsyncRead(kConsumerSelector, this, device::TAG_CONS),
        &consumerReadId_);
    const int present = keyboard_.RequestGetDeviceCount(
        kControlSelector, 0, 0, device::CheckValueForDeviceCount(kControlSelector), 0);
    SetPresent(present > 0);
    return !ChannelFailed();
}

void UhidAdapter::Handle(const KernelEvent& event) {
    switch (event.type) {
        case KernelEvent::Type::Open:
            keyboard_.StartRun();
            break;
        case KernelEvent::Type::Output: {
            const Bytes report = event.data;
            if (report.size() == kControlReportSize && report[0] == kControlReportId) {
                // A report the keyboard does not take is lost on the way: the kernel has long
                // told the host the write went out.
                (void)keyboard_.RequestWriteOne(
                    device::kControlSelector, 0, 0, report,
                    device::CheckValueForWriteOne(device::kControlSelector, report), 0);
            } else if (report.size() == kLedReportSize && report[0] == kLedReportId) {
                keyboard_.DeleteRequestFromUnitId(ledWriteId_);
                ledWriteId_ = 0;
                (void)keyboard_.RequestStatusWrite(
                    device::kLedSelector, this, device::TAG_LED, report,
                    device::CheckValueForStatusWrite(device::kLedSelector, this, device::TAG_LED,
                                                     report),
                    &ledWriteId_);
                Log("LED report " + HexBytes(report));
            } else {
                Log("dropped an output report of " + std::to_string(report.size()) + " bytes");
            }
            break;
        }
        case KernelEvent::Type::GetReport:
        case KernelEvent::Type::SetReport: {
            // The keyboard has no feature reports; the host learns so at once instead of
            // waiting for the kernel's time-out.
            const std::lock_guard lock(mutex_);
            if (!channel_.RefuseRequest(event, EIO)) {
                channelFailed_ = true;
            }
            break;
        }
        default:
            break;
    }
}

bool UhidAdapter::Control(const ControlCommand& command) {
    switch (command.kind) {
        case ControlCommand::Kind::Nothing:
            break;
        case ControlCommand::Kind::KeyEvent:
            keyboard_.RaiseKeyEvent(command.code);
            break;
        case ControlCommand::Kind::Profile:
            keyboard_.ChangeProfileOnKeyboard(command.profile);
            break;
        case ControlCommand::Kind::Unplug:
            keyboard_.Unplug();
            break;
        case ControlCommand::Kind::Plug:
            keyboard_.Plug();
            break;
        case ControlCommand::Kind::Faults: {
            FaultPlan plan = basePlan_;
            if (const auto error = ParseFaultsInto(command.faults, plan)) {
                Log("faults not armed: " + error->message);
                break;
            }
            keyboard_.PlanFaults(plan);
            Log(command.faults.empty() ? "faults cleared" : "faults armed: " + command.faults);
            break;
        }
        case ControlCommand::Kind::Quit:
            return false;
    }
    return true;
}

bool UhidAdapter::ChannelFailed() const {
    const std::lock_guard lock(mutex_);
    return channelFailed_;
}

int UhidAdapter::ServiceCallback(const device::ServiceEvent& event) {
    if (event.kind == device::ServiceEventKind::DeviceCountChanged) {
        // Every registration hears of it; one is enough.
        if (event.tag == device::TAG_CTRL) {
            SetPresent(event.value > 0);
        }
        return 1;
    }
    const Bytes data = event.data.first(std::min<std::size_t>(event.value, event.data.size()));
    if (event.tag == device::TAG_CTRL) {
        Send(data);
    } else if (event.tag == device::TAG_CONS && data.size() >= 2) {
        std::array<std::uint8_t, kConsumerReportSize> report{};
        WriteU8(report, 0, kConsumerReportId);
        WriteU16LE(report, kConsumerCodeOffset, ReadU16LE(data, 0));
        Send(report);
    }
    return 1;
}

void UhidAdapter::SetPresent(bool present) {
    const std::lock_guard lock(mutex_);
    if (created_ == present || channelFailed_) {
        return;
    }
    const bool done = present ? channel_.Create(KeyboardIdentity(ids_)) : channel_.Destroy();
    if (!done) {
        channelFailed_ = true;
        log_ << "quorvane_uhid: the kernel refused to " << (present ? "create" : "remove")
             << " the device: " << std::strerror(errno) << std::endl;
        return;
    }
    created_ = present;
    char usb[16];
    std::snprintf(usb, sizeof usb, "%04X:%04X", ids_.vendor, ids_.product);
    log_ << "quorvane_uhid: "
         << (present ? std::string("keyboard plugged in (USB ") + usb + ")" : "keyboard unplugged")
         << std::endl;
}

void UhidAdapter::Send(Bytes report) {
    const std::lock_guard lock(mutex_);
    // A reply or event for a device that is gone has nowhere to go.
    if (!created_ || channelFailed_) {
        return;
    }
    if (!channel_.SendInput(report)) {
        channelFailed_ = true;
        log_ << "quorvane_uhid: the kernel refused an input report: " << std::strerror(errno)
             << std::endl;
    }
}

void UhidAdapter::Log(const std::string& line) {
    const std::lock_guard lock(mutex_);
    log_ << "quorvane_uhid: " << line << std::endl;
}

}  // namespace qv::sim::uhid
