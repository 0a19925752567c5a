#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/single_instance_guard.h"

#include "texts/temp_folder.h"

namespace qv::platform {
namespace {

namespace fs = std::filesystem;
using app::MSG_KILL;
using app::MSG_OPEN;
using app::TAG_KILL;
using app::TAG_OPEN;

using test::TempFolder;

// The runtime folder inside a temporary folder, not yet made.
fs::path Runtime(const TempFolder& temp) {
    return temp.Path() / "run";
}

// The two hand-offs a second instance sends, with their tags.
bool Known(std::uint32_t number, std::uint32_t tag) {
    return (number == MSG_OPEN && tag == TAG_OPEN) || (number == MSG_KILL && tag == TAG_KILL);
}

bool HandleAll(std::uint32_t, std::uint32_t) {
    return true;
}

// Records the hand-offs that reach the handler and handles them all.
class Recorder {
public:
    InstanceLock::Handler Handler() {
        return [this](std::uint32_t number, std::uint32_t tag) {
            std::lock_guard lock(mutex_);
            received_.emplace_back(number, tag);
            return true;
        };
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Received() {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> received_;
};

TEST(InstanceLock, SecondInstanceSeesTheFirstAndHandsOffToIt) {
    TempFolder temp;
    Recorder recorder;
    InstanceLock first(Runtime(temp));
    ASSERT_EQ(first.TryAcquire(), AcquireResult::Acquired);
    EXPECT_FALSE(first.TookOverStaleLock());
    EXPECT_EQ(fs::status(Runtime(temp)).permissions() & fs::perms::all, fs::perms::owner_all);
    ASSERT_TRUE(first.Listen(recorder.Handler(), Known));

    InstanceLock second(Runtime(temp));
    EXPECT_EQ(second.TryAcquire(), AcquireResult::HeldByOther);
    EXPECT_FALSE(second.Owned());
    EXPECT_EQ(second.Problem(), "");
    EXPECT_EQ(second.HandOff(MSG_OPEN, TAG_OPEN), HandOffResult::Handled);
    // Anything but the two known hand-offs is answered by the lock and never reaches the
    // handler: a wrong tag, swapped tags, another number.
    EXPECT_EQ(second.HandOff(MSG_OPEN, TAG_KILL), HandOffResult::NotHandled);
    EXPECT_EQ(second.HandOff(MSG_KILL, TAG_OPEN), HandOffResult::NotHandled);
    EXPECT_EQ(second.HandOff(0x0010, TAG_OPEN), HandOffResult::NotHandled);
    EXPECT_EQ(second.HandOff(MSG_KILL, TAG_KILL), HandOffResult::Handled);

    using Pair = std::pair<std::uint32_t, std::uint32_t>;
    EXPECT_EQ(recorder.Received(), (std::vector<Pair>{{MSG_OPEN, TAG_OPEN}, {MSG_KILL, TAG_KILL}}));
}

// A client of the running instance that connects and then sends `bytes` of a request.
class Client {
public:
    Client(const fs::path& socketPath, std::string_view bytes) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
        connected_ =
            ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
            ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                static_cast<ssize_t>(bytes.size());
    }
    ~Client() { ::close(fd_); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    [[nodiscard]] bool Connected() const { return connected_; }
    // Whether the owner has dropped the connection, waiting at most `ms` to find out.
    [[nodiscard]] bool Dropped(int ms) const {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, ms) != 1) {
            return false;
        }
        char byte = 0;
        return ::recv(fd_, &byte, 1, MSG_DONTWAIT) <= 0;
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

TEST(InstanceLock, SilentClientsDelayNoHandOff) {
    TempFolder temp;
    Recorder recorder;
    InstanceLock owner(Runtime(temp));
    ASSERT_EQ(owner.TryAcquire(), AcquireResult::Acquired);
    // Silent clients are kept far longer than any hand-off takes, so a hand-off served only
    // after them would find them gone.
    owner.SetRequestTimeout(std::chrono::minutes(5));
    ASSERT_TRUE(owner.Listen(recorder.Handler(), Known));

    const Client idle(owner.SocketPath(), "");
    const Client halfway(owner.SocketPath(), std::string_view("\x50\x53\x00", 3));
    ASSERT_TRUE(idle.Connected());
    ASSERT_TRUE(halfway.Connected());
    InstanceLock later(Runtime(temp));
    EXPECT_EQ(later.HandOff(MSG_OPEN, TAG_OPEN), HandOffResult::Handled);
    EXPECT_FALSE(idle.Dropped(0));
    EXPECT_FALSE(halfway.Dropped(0));

    // More silent clients than the kernel queues before the owner takes them.
    std::vector<std::unique_ptr<Client>> crowd;
    for (int i = 0; i < 12; ++i) {
        crowd.push_back(std::make_unique<Client>(owner.SocketPath(), ""));
        ASSERT_TRUE(crowd.back()->Connected()) << i;
    }
    EXPECT_EQ(later.HandOff(MSG_KILL, TAG_KILL), HandOffResult::Handled);
    EXPECT_FALSE(crowd.front()->Dropped(0));
    EXPECT_FALSE(crowd.back()->Dropped(0));
    EXPECT_EQ(recorder.Received().size(), 2u);
}

TEST(InstanceLock, ASilentClientIsDroppedAfterTheRequestTimeout) {
    TempFolder temp;
    Recorder recorder;
    InstanceLock owner(Runtime(temp));
    ASSERT_EQ(owner.TryAcquire(), AcquireResult::Acquired);
    ASSERT_TRUE(owner.Listen(recorder.Handler(), Known));
    const Client idle(owner.SocketPath(), "");
    ASSERT_TRUE(idle.Connected());
    // Generous: the point is that it ends, not when.
    EXPECT_TRUE(idle.Dropped(30000));
    EXPECT_TRUE(recorder.Received().empty());
}

// A runtime folder, or something in it, that must not be used; made by `make` in a fresh
// temporary folder. `make` returns false when this process cannot make it.
struct UnsafeFolder {
    const char* name;
    std::function<bool(const fs::path& run)> make;
    // The path the refusal names, relative to the temporary folder, and its reason.
    const char* named;
    const char* reason;
};

// Cases print as their names, so test names read as words.
void PrintTo(const UnsafeFolder& c, std::ostream* out) {
    *out << c.name;
}

bool MakeFolder(const fs::path& run, mode_t mode) {
    return ::mkdir(run.c_str(), 0700) == 0 && ::chmod(run.c_str(), mode) == 0;
}

class InstanceLockUnsafe : public ::testing::TestWithParam<UnsafeFolder> {};

TEST_P(InstanceLockUnsafe, IsRefusedWithAReasonAndNothingIsReplaced) {
    TempFolder temp;
    const fs::path run = Runtime(temp);
    if (!GetParam().make(run)) {
        GTEST_SKIP() << "cannot make this case here";
    }
    const auto before = [&] {
        std::vector<std::string> listing;
        for (const auto& entry : fs::recursive_directory_iterator(temp.Path())) {
            listing.push_back(entry.path().string() + " " +
                              std::to_string(static_cast<int>(entry.symlink_status().type())));
        }
        std::ranges::sort(listing);
        return listing;
    };
    const std::vector<std::string> listing = before();

    InstanceLock lock(run);
    EXPECT_EQ(lock.TryAcquire(), AcquireResult::FolderRefused);
    EXPECT_FALSE(lock.Owned());
    EXPECT_EQ(lock.Problem(), (temp.Path() / GetParam().named).string() + ": " + GetParam().reason);
    EXPECT_FALSE(lock.Listen(HandleAll, Known));
    EXPECT_EQ(before(), listing);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstanceLockUnsafe,
    ::testing::Values(
        UnsafeFolder{"group_writable", [](const fs::path& run) { return MakeFolder(run, 0770); },
                     "run", "the folder has mode 0770; only its owner may enter it (0700)"},
        UnsafeFolder{"other_writable", [](const fs::path& run) { return MakeFolder(run, 0703); },
                     "run", "the folder has mode 0703; only its owner may enter it (0700)"},
        UnsafeFolder{"group_readable", [](const fs::path& run) { return MakeFolder(run, 0750); },
                     "run", "the folder has mode 0750; only its owner may enter it (0700)"},
        UnsafeFolder{"sticky", [](const fs::path& run) { return MakeFolder(run, 01700); }, "run",
                     "the folder has mode 1700; only its owner may enter it (0700)"},
        UnsafeFolder{"another_users",
                     [](const fs::path& run) {
                         return ::geteuid() == 0 && MakeFolder(run, 0700) &&
                                ::chown(run.c_str(), 65534, 65534) == 0;
                     },
                     "run", "the folder belongs to another user (uid 65534)"},
        UnsafeFolder{"folder_is_a_link",
                     [](const fs::path& run) {
                         const fs::path real = run.parent_path() / "real";
                         return MakeFolder(real, 0700) && ::symlink("real", run.c_str()) == 0;
                     },
                     "run", "is a symbolic link, not a folder"},
        UnsafeFolder{"folder_is_a_file",
                     [](const fs::path& run) { return std::ofstream(run).good(); }, "run",
                     "is a regular file, not a folder"},
        UnsafeFolder{"lock_is_a_folder",
                     [](const fs::path& run) {
                         return MakeFolder(run, 0700) &&
                                ::mkdir((run / "QX24T51M").c_str(), 0700) == 0;
                     },
                     "run/QX24T51M", "is a folder, not a lock file"},
        UnsafeFolder{"lock_is_a_link",
                     [](const fs::path& run) {
                         return MakeFolder(run, 0700) && std::ofstream(run / "elsewhere").good() &&
                                ::symlink("elsewhere", (run / "QX24T51M").c_str()) == 0;
                     },
                     "run/QX24T51M", "is a symbolic link, not a lock file"},
        UnsafeFolder{"socket_is_a_file",
                     [](const fs::path& run) {
                         return MakeFolder(run, 0700) &&
                                (std::ofstream(run / "QX24T51M.sock") << "keep").good();
                     },
                     "run/QX24T51M.sock", "is a regular file, not a socket"},
        UnsafeFolder{"socket_is_a_link",
                     [](const fs::path& run) {
                         return MakeFolder(run, 0700) &&
                                ::symlink("/tmp", (run / "QX24T51M.sock").c_str()) == 0;
                     },
                     "run/QX24T51M.sock", "is a symbolic link, not a socket"}),
    [](const ::testing::TestParamInfo<UnsafeFolder>& p) { return std::string(p.param.name); });

TEST(InstanceLock, ListenRefusesASocketPathTakenByAFileMeanwhile) {
    TempFolder temp;
    InstanceLock owner(Runtime(temp));
    ASSERT_EQ(owner.TryAcquire(), AcquireResult::Acquired);
    std::ofstream(owner.SocketPath()) << "keep";
    EXPECT_FALSE(owner.Listen(HandleAll, Known));
    EXPECT_EQ(owner.Problem(), owner.SocketPath().string() + ": is a regular file, not a socket");
    EXPECT_TRUE(fs::is_regular_file(owner.SocketPath()));
}

TEST(InstanceLock, StaleLockAndSocketOfADeadOwnerAreTakenOver) {
    TempFolder temp;
    ASSERT_EQ(::mkdir(Runtime(temp).c_str(), 0700), 0);
    std::ofstream(Runtime(temp) / "QX24T51M") << "";
    {
        // A socket file whose listener is gone.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = (Runtime(temp) / "QX24T51M.sock").string();
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }

    InstanceLock probe(Runtime(temp));
    EXPECT_EQ(probe.HandOff(MSG_OPEN, TAG_OPEN), HandOffResult::NoAnswer);

    Recorder recorder;
    InstanceLock owner(Runtime(temp));
    ASSERT_EQ(owner.TryAcquire(), AcquireResult::Acquired);
    EXPECT_TRUE(owner.TookOverStaleLock());
    ASSERT_TRUE(owner.Listen(recorder.Handler(), Known));
    EXPECT_EQ(probe.HandOff(MSG_OPEN, TAG_OPEN), HandOffResult::Handled);
}

TEST(InstanceLock, AnotherProcessIsTheInstanceUntilItDies) {
    TempFolder temp;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    // The child ends only once its answer to the exit hand-off has reached this process: an
    // end right after the handler would race the answer on the socket.
    int answered[2];
    ASSERT_EQ(::pipe(answered), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        ::alarm(20);  // never outlive a broken test
        int pipeToSelf[2];
        if (::pipe(pipeToSelf) != 0) {
            ::_exit(3);
        }
        InstanceLock owner(Runtime(temp));
        if (owner.TryAcquire() != AcquireResult::Acquired ||
            !owner.Listen(
                [&](std::uint32_t number, std::uint32_t tag) {
                    if (number != MSG_KILL || tag != TAG_KILL) {
                        return false;
                    }
                    const char killed = 'k';
                    return ::write(pipeToSelf[1], &killed, 1) == 1;
                },
                Known)) {
            ::_exit(2);
        }
        const char up = 'u';
        if (::write(ready[1], &up, 1) != 1) {
            ::_exit(4);
        }
        ::close(answered[1]);
        char got = 0;
        if (::read(pipeToSelf[0], &got, 1) != 1 || ::read(answered[0], &got, 1) != 1) {
            ::_exit(5);
        }
        // Ends like a crash: the lock and socket files stay.
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(answered[0]);
    char up = 0;
    ASSERT_EQ(::read(ready[0], &up, 1), 1);
    ::close(ready[0]);

    InstanceLock second(Runtime(temp));
    EXPECT_EQ(second.TryAcquire(), AcquireResult::HeldByOther);
    EXPECT_EQ(second.HandOff(MSG_OPEN, TAG_OPEN), HandOffResult::NotHandled);
    EXPECT_EQ(second.HandOff(MSG_KILL, TAG_KILL), HandOffResult::Handled);
    const char done = 'd';
    EXPECT_EQ(::write(answered[1], &done, 1), 1);
    ::close(answered[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    EXPECT_EQ(second.HandOff(MSG_OPEN, TAG_OPEN), HandOffResult::NoAnswer);
    ASSERT_EQ(second.TryAcquire(), AcquireResult::Acquired);
    EXPECT_TRUE(second.TookOverStaleLock());
}

}  // namespace
}  // namespace qv::platform
