#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <utility>
#include <vector>

#include "app/main_window_messages.h"

#include "ui/temp_folder.h"

namespace qv::platform {
namespace {

namespace fs = std::filesystem;
using device::MSG_KILL;
using device::MSG_OPEN;
using device::TAG_KILL;
using device::TAG_OPEN;

using test::TempFolder;

// The runtime folder inside a temporary folder, not yet made.
fs::path Runtime(const TempFolder& temp) {
    return temp.Path() / "run";
}

// Records hand-offs and handles only the two a second instance sends, with their tags.
class Recorder {
public:
    InstanceLock::Handler Handler() {
        return [this](std::uint32_t number, std::uint32_t tag) {
            std::lock_guard lock(mutex_);
            received_.emplace_back(number, tag);
            return (number == MSG_OPEN && tag == TAG_OPEN) ||
                   (number == MSG_KILL && tag == TAG_KILL);
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
    ASSERT_TRUE(first.Listen(recorder.Handler()));

    InstanceLock second(Runtime(temp));
    EXPECT_EQ(second.TryAcquire(), AcquireResult::HeldByOther);
    EXPECT_FALSE(second.Owned());
    EXPECT_EQ(second.HandOff(MSG_OPEN, TAG_OPEN), HandOffResult::Handled);
    EXPECT_EQ(second.HandOff(MSG_KILL, TAG_KILL), HandOffResult::Handled);
    // A wrong tag reaches the owner, which does not handle it.
    EXPECT_EQ(second.HandOff(MSG_OPEN, TAG_KILL), HandOffResult::NotHandled);

    using Pair = std::pair<std::uint32_t, std::uint32_t>;
    EXPECT_EQ(
        recorder.Received(),
        (std::vector<Pair>{{MSG_OPEN, TAG_OPEN}, {MSG_KILL, TAG_KILL}, {MSG_OPEN, TAG_KILL}}));
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
    ASSERT_TRUE(owner.Listen(recorder.Handler()));
    EXPECT_EQ(probe.HandOff(MSG_OPEN, TAG_OPEN), HandOffResult::Handled);
}

TEST(InstanceLock, RefusesAFolderOthersCanEnter) {
    TempFolder temp;
    ASSERT_EQ(::mkdir(Runtime(temp).c_str(), 0700), 0);
    ASSERT_EQ(::chmod(Runtime(temp).c_str(), 0750), 0);
    InstanceLock open(Runtime(temp));
    EXPECT_EQ(open.TryAcquire(), AcquireResult::FolderRefused);
    EXPECT_FALSE(fs::exists(Runtime(temp) / "QX24T51M"));

    // Nor one reached through a link, even to a private folder.
    ASSERT_EQ(::chmod(Runtime(temp).c_str(), 0700), 0);
    const fs::path link = Runtime(temp).parent_path() / "link";
    fs::create_directory_symlink(Runtime(temp), link);
    InstanceLock linked(link);
    EXPECT_EQ(linked.TryAcquire(), AcquireResult::FolderRefused);
}

TEST(InstanceLock, AnotherProcessIsTheInstanceUntilItDies) {
    TempFolder temp;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
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
            !owner.Listen([&](std::uint32_t number, std::uint32_t tag) {
                if (number != MSG_KILL || tag != TAG_KILL) {
                    return false;
                }
                const char killed = 'k';
                return ::write(pipeToSelf[1], &killed, 1) == 1;
            })) {
            ::_exit(2);
        }
        const char up = 'u';
        if (::write(ready[1], &up, 1) != 1) {
            ::_exit(4);
        }
        char got = 0;
        // Ends like a crash: the lock and socket files stay.
        ::_exit(::read(pipeToSelf[0], &got, 1) == 1 ? 0 : 5);
    }
    ::close(ready[1]);
    char up = 0;
    ASSERT_EQ(::read(ready[0], &up, 1), 1);
    ::close(ready[0]);

    InstanceLock second(Runtime(temp));
    EXPECT_EQ(second.TryAcquire(), AcquireResult::HeldByOther);
    EXPECT_EQ(second.HandOff(MSG_OPEN, TAG_OPEN), HandOffResult::NotHandled);
    EXPECT_EQ(second.HandOff(MSG_KILL, TAG_KILL), HandOffResult::Handled);
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
