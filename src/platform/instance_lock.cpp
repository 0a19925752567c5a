#include "platform/instance_lock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace qv::platform {

namespace {

// How long either side waits for the other once connected.
constexpr int kRequestTimeoutMs = 2000;
constexpr int kAnswerTimeoutMs = 10000;
// A first instance takes the lock a moment before its socket listens.
constexpr int kConnectAttempts = 40;
constexpr useconds_t kConnectRetryUs = 25000;

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

bool WaitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = ::poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        return r > 0 && (p.revents & events) != 0;
    }
}

// Reads exactly `size` bytes, each wait bounded by the timeout.
bool ReadAll(int fd, unsigned char* data, std::size_t size, int timeoutMs) {
    std::size_t done = 0;
    while (done < size) {
        if (!WaitFor(fd, POLLIN, timeoutMs)) {
            return false;
        }
        const ssize_t n = ::read(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::send(fd, data + done, size - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void PutU32(unsigned char* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

std::uint32_t GetU32(const unsigned char* in) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    }
    return value;
}

bool MakeAddress(const std::filesystem::path& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const std::string text = path.string();
    if (text.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

std::filesystem::path DefaultInstanceFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
        return std::filesystem::path(runtime) / "quorvane";
    }
    return std::filesystem::path("/tmp") / ("quorvane-" + std::to_string(::geteuid()));
}

InstanceLock::InstanceLock(std::filesystem::path folder, std::string name)
    : folder_(std::move(folder)), name_(std::move(name)) {}

InstanceLock::~InstanceLock() {
    if (listener_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
        listener_.join();
    }
    CloseFd(wakeFd_);
    if (listenFd_ >= 0) {
        CloseFd(listenFd_);
        ::unlink(SocketPath().c_str());
    }
    // The lock file stays: removing it while others may have it open would let two owners in.
    CloseFd(lockFd_);
}

std::filesystem::path InstanceLock::LockPath() const {
    return folder_ / name_;
}

std::filesystem::path InstanceLock::SocketPath() const {
    return folder_ / (name_ + ".sock");
}

bool InstanceLock::PrepareFolder() const {
    if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    if (::lstat(folder_.c_str(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

AcquireResult InstanceLock::TryAcquire() {
    if (Owned()) {
        return AcquireResult::Acquired;
    }
    if (!PrepareFolder()) {
        return AcquireResult::FolderRefused;
    }
    const std::filesystem::path path = LockPath();
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    const bool existed = fd >= 0;
    if (fd < 0) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    }
    if (fd < 0) {
        return AcquireResult::FolderRefused;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        ::close(fd);
        return errno == EWOULDBLOCK ? AcquireResult::HeldByOther : AcquireResult::FolderRefused;
    }
    lockFd_ = fd;
    tookOverStale_ = existed;
    return AcquireResult::Acquired;
}

bool InstanceLock::Listen(Handler handler) {
    if (!Owned() || listener_.joinable() || !handler) {
        return false;
    }
    sockaddr_un address{};
    const std::filesystem::path socketPath = SocketPath();
    if (!MakeAddress(socketPath, address)) {
        return false;
    }
    // Holding the lock, any socket file here is a dead owner's.
    ::unlink(socketPath.c_str());
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC);
    if (listenFd_ < 0 || wakeFd_ < 0 ||
        ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 8) != 0) {
        CloseFd(listenFd_);
        CloseFd(wakeFd_);
        return false;
    }
    handler_ = std::move(handler);
    listener_ = std::thread([this] { ListenLoop(); });
    return true;
}

void InstanceLock::ListenLoop() {
    std::array<pollfd, 2> fds{pollfd{listenFd_, POLLIN, 0}, pollfd{wakeFd_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const int connection = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) {
                Serve(connection);
                ::close(connection);
            }
        }
    }
}

void InstanceLock::Serve(int connection) const {
    std::array<unsigned char, 8> request{};
    if (!ReadAll(connection, request.data(), request.size(), kRequestTimeoutMs)) {
        return;
    }
    const bool handled = handler_(GetU32(request.data()), GetU32(request.data() + 4));
    const unsigned char answer = handled ? 1 : 0;
    WriteAll(connection, &answer, 1);
}

HandOffResult InstanceLock::HandOff(std::uint32_t number, std::uint32_t tag) const {
    sockaddr_un address{};
    if (!MakeAddress(SocketPath(), address)) {
        return HandOffResult::NoAnswer;
    }
    int fd = -1;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return HandOffResult::NoAnswer;
        }
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            break;
        }
        const int error = errno;
        CloseFd(fd);
        // Only a lock held by a live owner is worth waiting for.
        if (attempt + 1 < kConnectAttempts && (error == ENOENT || error == ECONNREFUSED)) {
            InstanceLock probe(folder_, name_);
            if (probe.TryAcquire() != AcquireResult::HeldByOther) {
                return HandOffResult::NoAnswer;
            }
            ::usleep(kConnectRetryUs);
            continue;
        }
        return HandOffResult::NoAnswer;
    }
    if (fd < 0) {
        return HandOffResult::NoAnswer;
    }
    std::array<unsigned char, 8> request{};
    PutU32(request.data(), number);
    PutU32(request.data() + 4, tag);
    unsigned char answer = 0;
    const bool answered =
        WriteAll(fd, request.data(), request.size()) && ReadAll(fd, &answer, 1, kAnswerTimeoutMs);
    ::close(fd);
    if (!answered) {
        return HandOffResult::NoAnswer;
    }
    return answer == 1 ? HandOffResult::Handled : HandOffResult::NotHandled;
}

}  // namespace qv::platform
