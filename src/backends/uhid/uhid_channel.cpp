#include "backends/uhid/uhid_channel.h"

#include <fcntl.h>
#include <linux/uhid.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace qv::sim::uhid {
namespace {

bool WriteEvent(int fd, const uhid_event& event) {
    for (;;) {
        const ssize_t written = write(fd, &event, sizeof event);
        if (written == static_cast<ssize_t>(sizeof event)) {
            return true;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written >= 0) {
            errno = EIO;
        }
        return false;
    }
}

template <std::size_t N>
void CopyText(std::uint8_t (&field)[N], const std::string& text) {
    // Always NUL-terminated: the kernel reads these as C strings.
    const std::size_t length = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = 0;
}

}  // namespace

UhidChannel::~UhidChannel() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

std::variant<std::unique_ptr<UhidChannel>, std::string> UhidChannel::Open(const char* path) {
    const int fd = open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return std::string(path) + ": " + std::strerror(errno);
    }
    return std::make_unique<UhidChannel>(fd);
}

bool UhidChannel::Create(const DeviceIdentity& identity) {
    auto event = std::make_unique<uhid_event>();
    event->type = UHID_CREATE2;
    uhid_create2_req& request = event->u.create2;
    if (identity.descriptor.size() > sizeof request.rd_data) {
        errno = EINVAL;
        return false;
    }
    CopyText(request.name, identity.name);
    request.rd_size = static_cast<__u16>(identity.descriptor.size());
    request.bus = identity.bus;
    request.vendor = identity.vendor;
    request.product = identity.product;
    request.version = identity.version;
    std::copy(identity.descriptor.begin(), identity.descriptor.end(), request.rd_data);
    return WriteEvent(fd_, *event);
}

bool UhidChannel::Destroy() {
    auto event = std::make_unique<uhid_event>();
    event->type = UHID_DESTROY;
    return WriteEvent(fd_, *event);
}

bool UhidChannel::SendInput(Bytes report) {
    auto event = std::make_unique<uhid_event>();
    event->type = UHID_INPUT2;
    if (report.size() > sizeof event->u.input2.data) {
        errno = EINVAL;
        return false;
    }
    event->u.input2.size = static_cast<__u16>(report.size());
    std::copy(report.begin(), report.end(), event->u.input2.data);
    return WriteEvent(fd_, *event);
}

bool UhidChannel::RefuseRequest(const KernelEvent& request, std::uint16_t error) {
    auto event = std::make_unique<uhid_event>();
    if (request.type == KernelEvent::Type::GetReport) {
        event->type = UHID_GET_REPORT_REPLY;
        event->u.get_report_reply.id = request.id;
        event->u.get_report_reply.err = error;
    } else if (request.type == KernelEvent::Type::SetReport) {
        event->type = UHID_SET_REPORT_REPLY;
        event->u.set_report_reply.id = request.id;
        event->u.set_report_reply.err = error;
    } else {
        errno = EINVAL;
        return false;
    }
    return WriteEvent(fd_, *event);
}

std::optional<KernelEvent> UhidChannel::Read() {
    auto event = std::make_unique<uhid_event>();
    ssize_t got = 0;
    do {
        got = read(fd_, event.get(), sizeof *event);
    } while (got < 0 && errno == EINTR);
    if (got < static_cast<ssize_t>(sizeof event->type)) {
        return std::nullopt;
    }
    // Only the bytes that came are trusted: a short record leaves the rest zero.
    KernelEvent result;
    switch (event->type) {
        case UHID_START:
            result.type = KernelEvent::Type::Start;
            break;
        case UHID_STOP:
            result.type = KernelEvent::Type::Stop;
            break;
        case UHID_OPEN:
            result.type = KernelEvent::Type::Open;
            break;
        case UHID_CLOSE:
            result.type = KernelEvent::Type::Close;
            break;
        case UHID_OUTPUT: {
            result.type = KernelEvent::Type::Output;
            const std::size_t size =
                std::min<std::size_t>(event->u.output.size, sizeof event->u.output.data);
            result.data.assign(event->u.output.data, event->u.output.data + size);
            break;
        }
        case UHID_GET_REPORT:
            result.type = KernelEvent::Type::GetReport;
            result.id = event->u.get_report.id;
            break;
        case UHID_SET_REPORT:
            result.type = KernelEvent::Type::SetReport;
            result.id = event->u.set_report.id;
            break;
        default:
            break;
    }
    return result;
}

}  // namespace qv::sim::uhid
