#include "platform/instance_lock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/file_kind.h"
#include "platform/hand_off_message.h"

namespace qv::platform {

namespace {

// How long a later start waits for the running instance's answer.
constexpr int kAnswerTimeoutMs = 10000;
// Connections the owner holds while their requests arrive, and the kernel's queue before it
// takes them; the owner takes every waiting connection at once, so the queue rarely fills.
constexpr std::size_t kMaxPending = 32;
constexpr int kBacklog = 32;
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

std::string ErrnoText(int error) {
    return std::generic_category().message(error);
}

std::string OctalMode(mode_t mode) {
    char text[8] = {};
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
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

bool InstanceLock::Refuse(const std::filesystem::path& path, const std::string& reason) {
    problem_ = path.string() + ": " + reason;
    return false;
}

bool InstanceLock::PrepareFolder() {
    const bool made = ::mkdir(folder_.c_str(), 0700) == 0;
    if (!made && errno != EEXIST) {
        return Refuse(folder_, "cannot create the folder: " + ErrnoText(errno));
    }
    // A umask may have taken bits from the folder just made; it must be exactly 0700.
    if (made && ::chmod(folder_.c_str(), 0700) != 0) {
        return Refuse(folder_, "cannot set the folder's mode: " + ErrnoText(errno));
    }
    struct stat info {};
    if (::lstat(folder_.c_str(), &info) != 0) {
        return Refuse(folder_, ErrnoText(errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return Refuse(folder_, std::string(FileKindText(info.st_mode)) + ", not a folder");
    }
    if (info.st_uid != ::geteuid()) {
        return Refuse(folder_, "the folder belongs to another user (uid " +
                                   std::to_string(info.st_uid) + ")");
    }
    if ((info.st_mode & 07777) != 0700) {
        return Refuse(folder_, "the folder has mode " + OctalMode(info.st_mode) +
                                   "; only its owner may enter it (0700)");
    }
    return true;
}

bool InstanceLock::CheckEntries() {
    struct stat info {};
    const std::filesystem::path lockPath = LockPath();
    if (::lstat(lockPath.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return Refuse(lockPath, std::string(FileKindText(info.st_mode)) + ", not a lock file");
    }
    // A dead owner's socket is replaced by the next owner; anything else is not ours to remove.
    const std::filesystem::path socketPath = SocketPath();
    if (::lstat(socketPath.c_str(), &info) == 0 && !S_ISSOCK(info.st_mode)) {
        return Refuse(socketPath, std::string(FileKindText(info.st_mode)) + ", not a socket");
    }
    return true;
}

AcquireResult InstanceLock::TryAcquire() {
    if (Owned()) {
        return AcquireResult::Acquired;
    }
    problem_.clear();
    if (!PrepareFolder() || !CheckEntries()) {
        return AcquireResult::FolderRefused;
    }
    const std::filesystem::path path = LockPath();
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    bool existed = fd >= 0;
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno == EEXIST) {
            // Another start made it just now.
            fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
            existed = fd >= 0;
        }
    }
    if (fd < 0) {
        Refuse(path, "cannot open the lock file: " + ErrnoText(errno));
        return AcquireResult::FolderRefused;
    }
    // Checked again on the open file: the name may have changed since the look above.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        Refuse(path, "the lock file is not a regular file of this user");
        return AcquireResult::FolderRefused;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            return AcquireResult::HeldByOther;
        }
        Refuse(path, "cannot lock the lock file: " + ErrnoText(error));
        return AcquireResult::FolderRefused;
    }
    lockFd_ = fd;
    tookOverStale_ = existed;
    return AcquireResult::Acquired;
}

bool InstanceLock::Listen(Handler handler, Accepts accepts) {
    if (!Owned() || listener_.joinable() || !handler || !accepts) {
        return false;
    }
    sockaddr_un address{};
    const std::filesystem::path socketPath = SocketPath();
    if (!MakeAddress(socketPath, address)) {
        return Refuse(socketPath, "the path is too long for a socket");
    }
    // Holding the lock, a socket here is a dead owner's; anything else is refused.
    struct stat info {};
    if (::lstat(socketPath.c_str(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode)) {
            return Refuse(socketPath, std::string(FileKindText(info.st_mode)) + ", not a socket");
        }
        ::unlink(socketPath.c_str());
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC);
    if (listenFd_ < 0 || wakeFd_ < 0 ||
        ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, kBacklog) != 0) {
        const int error = errno;
        CloseFd(listenFd_);
        CloseFd(wakeFd_);
        return Refuse(socketPath, "cannot listen on the socket: " + ErrnoText(error));
    }
    handler_ = std::move(handler);
    accepts_ = std::move(accepts);
    listener_ = std::thread([this] { ListenLoop(); });
    return true;
}

namespace {

// A connection that has not sent its whole request yet.
struct Pending {
    int fd = -1;
    std::chrono::steady_clock::time_point deadline;
    HandOffBytes request{};
    std::size_t received = 0;
};

bool FromThisUser(int connection) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::geteuid();
}

// Milliseconds until the nearest deadline, rounded up; -1 with none.
int PollTimeout(const std::vector<Pending>& pending) {
    if (pending.empty()) {
        return -1;
    }
    auto nearest = pending.front().deadline;
    for (const Pending& p : pending) {
        nearest = std::min(nearest, p.deadline);
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(nearest - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

}  // namespace

void InstanceLock::ListenLoop() {
    std::vector<Pending> pending;
    const auto closeAll = [&pending] {
        for (Pending& p : pending) {
            CloseFd(p.fd);
        }
    };
    std::vector<pollfd> fds;
    for (;;) {
        fds.assign({pollfd{listenFd_, POLLIN, 0}, pollfd{wakeFd_, POLLIN, 0}});
        for (const Pending& p : pending) {
            fds.push_back(pollfd{p.fd, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), PollTimeout(pending)) < 0) {
            if (errno == EINTR) {
                continue;
            }
            closeAll();
            return;
        }
        if (fds[1].revents != 0) {
            closeAll();
            return;
        }
        // Requests first, in the order their connections came.
        for (std::size_t i = 0; i < pending.size(); ++i) {
            Pending& p = pending[i];
            if (fds[i + 2].revents == 0) {
                continue;
            }
            const ssize_t n =
                ::recv(p.fd, p.request.data() + p.received, p.request.size() - p.received, 0);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            if (n <= 0) {
                CloseFd(p.fd);
                continue;
            }
            p.received += static_cast<std::size_t>(n);
            if (p.received == p.request.size()) {
                Answer(p.fd, p.request);
                CloseFd(p.fd);
            }
        }
        const auto now = std::chrono::steady_clock::now();
        for (Pending& p : pending) {
            if (p.fd >= 0 && p.deadline <= now) {
                CloseFd(p.fd);
            }
        }
        std::erase_if(pending, [](const Pending& p) { return p.fd < 0; });

        if ((fds[0].revents & POLLIN) != 0) {
            for (;;) {
                const int connection =
                    ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (connection < 0) {
                    break;  // none left (EAGAIN), or out of descriptors until one closes
                }
                if (!FromThisUser(connection)) {
                    ::close(connection);
                    continue;
                }
                // Full: the connection that has waited longest makes room.
                if (pending.size() == kMaxPending) {
                    CloseFd(pending.front().fd);
                    pending.erase(pending.begin());
                }
                pending.push_back(Pending{connection, now + requestTimeout_, {}, 0});
            }
        }
    }
}

void InstanceLock::Answer(int connection, Bytes request) const {
    const std::optional<HandOffRequest> parsed = ParseHandOff(request);
    const bool handled =
        parsed && accepts_(parsed->number, parsed->tag) && handler_(parsed->number, parsed->tag);
    const unsigned char answer = handled ? 1 : 0;
    // One byte into a fresh connection's buffer does not block.
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
    const HandOffBytes request = EncodeHandOff({number, tag});
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
