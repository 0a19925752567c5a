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

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace qv::platform {

inline constexpr std::string_view kInstanceName = "QX24T51M";

// $XDG_RUNTIME_DIR/quorvane, or /tmp/quorvane-<uid>.
[[nodiscard]] std::filesystem::path DefaultInstanceFolder();

enum class AcquireResult : std::uint8_t {
    Acquired,       // this object owns the lock now (also when it already did)
    HeldByOther,    // another instance runs
    FolderRefused,  // the folder could not be made, is not ours or others may enter it
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

    explicit InstanceLock(std::filesystem::path folder = DefaultInstanceFolder(),
                          std::string name = std::string(kInstanceName));
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Creates the folder (0700) when missing and takes the lock without waiting.
    [[nodiscard]] AcquireResult TryAcquire();
    [[nodiscard]] bool Owned() const { return lockFd_ >= 0; }
    // Whether the lock file was already there when this object took it (a stale lock).
    [[nodiscard]] bool TookOverStaleLock() const { return tookOverStale_; }

    // Owner only: replaces a socket left by a dead owner and starts the listener thread.
    // False when not the owner, already listening, or the socket cannot be set up.
    [[nodiscard]] bool Listen(Handler handler);

    // Sends one hand-off to the running instance and waits for its answer.
    [[nodiscard]] HandOffResult HandOff(std::uint32_t number, std::uint32_t tag) const;

    [[nodiscard]] const std::filesystem::path& Folder() const { return folder_; }
    [[nodiscard]] std::filesystem::path LockPath() const;
    [[nodiscard]] std::filesystem::path SocketPath() const;

private:
    [[nodiscard]] bool PrepareFolder() const;
    void ListenLoop();
    void Serve(int connection) const;

    std::filesystem::path folder_;
    std::string name_;
    int lockFd_ = -1;
    bool tookOverStale_ = false;
    int listenFd_ = -1;
    int wakeFd_ = -1;
    Handler handler_;
    std::thread listener_;
};

}  // namespace qv::platform
