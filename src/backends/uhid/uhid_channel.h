#pragma once

// One virtual HID device as the kernel's uhid driver sees it: the events written to and read
// from /dev/uhid, one struct uhid_event per read or write. Any descriptor that keeps those
// records apart works the same way (tests use a SOCK_SEQPACKET socket pair).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/bytes.h"

namespace qv::sim::uhid {

struct DeviceIdentity {
    std::string name;
    std::uint16_t bus = 0;
    std::uint32_t vendor = 0;
    std::uint32_t product = 0;
    std::uint32_t version = 0;
    Bytes descriptor;
};

// What the kernel tells the device.
struct KernelEvent {
    enum class Type {
        Start,      // a driver bound the device
        Stop,       // the driver let it go
        Open,       // the first program opened it
        Close,      // the last program closed it
        Output,     // an output report: `data`, report id first for numbered reports
        GetReport,  // a feature/input report was asked for; answer with `id`
        SetReport,  // a report was set through the control channel; answer with `id`
        Other,
    };
    Type type = Type::Other;
    std::vector<std::uint8_t> data;
    std::uint32_t id = 0;
};

class UhidChannel {
public:
    // Takes the descriptor over; it is closed with the channel.
    explicit UhidChannel(int fd) : fd_(fd) {}
    ~UhidChannel();
    UhidChannel(const UhidChannel&) = delete;
    UhidChannel& operator=(const UhidChannel&) = delete;

    // /dev/uhid, or the reason it could not be opened.
    [[nodiscard]] static std::variant<std::unique_ptr<UhidChannel>, std::string> Open(
        const char* path);

    [[nodiscard]] int fd() const { return fd_; }

    // Each returns false when the kernel refused the event (errno tells why).
    [[nodiscard]] bool Create(const DeviceIdentity& identity);
    [[nodiscard]] bool Destroy();
    [[nodiscard]] bool SendInput(Bytes report);
    // Answers a GetReport or SetReport with an errno value (0: done, no data).
    [[nodiscard]] bool RefuseRequest(const KernelEvent& request, std::uint16_t error);

    // The next event; nullopt when the descriptor failed or was closed.
    [[nodiscard]] std::optional<KernelEvent> Read();

private:
    int fd_ = -1;
};

}  // namespace qv::sim::uhid
