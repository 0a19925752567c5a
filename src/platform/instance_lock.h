#pragma once

// The per-user single-instance primitive: a lock file held by the first instance for its whole
// life and a local socket on which that instance takes hand-offs from later starts.
//
// Both live in a folder only this user can enter ($XDG_RUNTIME_DIR/quorvane, or
// /tmp/quorvane-<uid> without it). The lock file is named after the instance name and held
// with an exclusive flock, so a crashed owner leaves a stale file that the next start simply
// takes over. The socket, named after it with ".sock", carries one hand-off per connection:
// the message number and its tag (two little-endian u32) and, back, one byte telling whether
// the running instance handled it.
//
// The folder is trusted only when it is a real folder (not a link) of this user with mode 0700,
// the lock file a regular file of this user and the socket path free or a socket. Anything
// else is refused with a reason rather than worked around: working around it (another name,
// no lock) would let two instances run, or let another user steer this one.
//
// The owner serves connections side by side: each may take a short while to send its request
// and is dropped after that, so a client that connects and sends nothing delays nobody.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "core/bytes.h"

namespace qv::platform {

inline constexpr std::string_view kInstanceName = "QX24T51M";

// $XDG_RUNTIME_DIR/quorvane, or /tmp/quorvane-<uid>.
[[nodiscard]] std::filesystem::path DefaultInstanceFolder();

enum class AcquireResult : std::uint8_t {
    Acquired,       // this object owns the lock now (also when it already did)
    HeldByOther,    // another instance runs
    FolderRefused,  // the folder, lock file or socket path is unusable or unsafe; see Problem()
};

enum class HandOffResult : std::uint8_t {
    Handled,
    NotHandled,  // the running instance answered that it did not handle it
    NoAnswer,    // nobody listens, or the connection broke before the answer
};

class InstanceLock {
public:
    // Called on the listener thread with the number and tag of each hand-off; returns whether
    // it was handled. Must not throw. The destructor waits for a call in progress, so whatever
    // the handler waits on (the main window) must stop waiting before the lock is destroyed.
    using Handler = std::function<bool(std::uint32_t number, std::uint32_t tag)>;
    // Tells the hand-offs the owner knows from everything else; others are answered "not
    // handled" without reaching the handler. Called on the listener thread; must not throw.
    using Accepts = std::function<bool(std::uint32_t number, std::uint32_t tag)>;

    // How long a connection may take to send its request before it is dropped.
    static constexpr std::chrono::milliseconds kDefaultRequestTimeout{200};

    explicit InstanceLock(std::filesystem::path folder = DefaultInstanceFolder(),
                          std::string name = std::string(kInstanceName));
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Creates the folder (0700) when missing, checks that it and the files in it are safe to
    // use, and takes the lock without waiting.
    [[nodiscard]] AcquireResult TryAcquire();
    // Why the last TryAcquire or Listen failed, naming the path ("PATH: reason"); empty when
    // neither did.
    [[nodiscard]] const std::string& Problem() const { return problem_; }
    [[nodiscard]] bool Owned() const { return lockFd_ >= 0; }
    // Whether the lock file was already there when this object took it (a stale lock).
    [[nodiscard]] bool TookOverStaleLock() const { return tookOverStale_; }

    // Before Listen: how long a connection may stay silent before it is dropped.
    void SetRequestTimeout(std::chrono::milliseconds timeout) { requestTimeout_ = timeout; }

    // Owner only: replaces a socket left by a dead owner and starts the listener thread, which
    // passes the hand-offs `accepts` lets through to `handler`. False when not the owner,
    // already listening, or the socket cannot be set up (Problem() says why).
    [[nodiscard]] bool Listen(Handler handler, Accepts accepts);

    // Sends one hand-off to the running instance and waits for its answer.
    [[nodiscard]] HandOffResult HandOff(std::uint32_t number, std::uint32_t tag) const;

    [[nodiscard]] const std::filesystem::path& Folder() const { return folder_; }
    [[nodiscard]] std::filesystem::path LockPath() const;
    [[nodiscard]] std::filesystem::path SocketPath() const;

private:
    [[nodiscard]] bool PrepareFolder();
    [[nodiscard]] bool CheckEntries();
    bool Refuse(const std::filesystem::path& path, const std::string& reason);
    void ListenLoop();
    void Answer(int connection, Bytes request) const;

    std::filesystem::path folder_;
    std::string name_;
    int lockFd_ = -1;
    bool tookOverStale_ = false;
    int listenFd_ = -1;
    int wakeFd_ = -1;
    Handler handler_;
    Accepts accepts_;
    std::chrono::milliseconds requestTimeout_ = kDefaultRequestTimeout;
    std::string problem_;
    std::thread listener_;
};

}  // namespace qv::platform
