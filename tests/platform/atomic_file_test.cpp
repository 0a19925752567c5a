#include "platform/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "texts/temp_folder.h"

namespace qv::platform {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

constexpr uid_t kNobody = 65534;

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode;
}

std::vector<std::string> SortedEntries(const TempFolder& temp) {
    std::vector<std::string> names = temp.Entries();
    std::ranges::sort(names);
    return names;
}

bool IsRoot() {
    return ::geteuid() == 0;
}

TEST(AtomicFile, ReplacesContentAndKeepsTheModeOfTheFileItReplaces) {
    TempFolder temp;
    for (const mode_t mode : {0600, 0640, 0644, 0660, 0604}) {
        const fs::path file = temp.Write("data.ini", "old");
        ASSERT_EQ(::chmod(file.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileAtomically(file, std::string_view("new"))) << std::oct << mode;
        EXPECT_EQ(temp.Read("data.ini"), "new");
        EXPECT_EQ(ModeOf(file) & 07777, mode) << std::oct << mode;
    }
    EXPECT_EQ(SortedEntries(temp), std::vector<std::string>{"data.ini"});

    // A new file gets the usual mode the umask leaves.
    const mode_t mask = ::umask(022);
    const std::vector<std::uint8_t> bytes{1, 2, 3};
    ASSERT_TRUE(WriteFileAtomically(temp.Path() / "fresh.bin", bytes));
    ::umask(mask);
    EXPECT_EQ(ModeOf(temp.Path() / "fresh.bin") & 07777, 0644u);
    EXPECT_EQ(temp.Read("fresh.bin"), std::string("\1\2\3"));
}

TEST(AtomicFile, KeepsTheOwnerAndGroupWhereTheProcessMay) {
    if (!IsRoot()) {
        GTEST_SKIP() << "only root may give a file to another user";
    }
    TempFolder temp;
    const fs::path file = temp.Write("theirs.fwc", "old");
    ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    ASSERT_TRUE(WriteFileAtomically(file, std::string_view("new")));
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kNobody);
    EXPECT_EQ(info.st_gid, kNobody);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(temp.Read("theirs.fwc"), "new");
}

TEST(AtomicFile, RefusesAReadOnlyFileAndNamesIt) {
    TempFolder temp;
    for (const mode_t mode : {0444, 0400, 0440}) {
        const fs::path file = temp.Write("locked.fwc", "old");
        ASSERT_EQ(::chmod(file.c_str(), mode), 0);
        const AtomicWriteResult result = WriteFileAtomically(file, std::string_view("new"));
        EXPECT_FALSE(result);
        EXPECT_EQ(result.failure, AtomicWriteFailure::ReadOnly);
        EXPECT_EQ(result.Message(), file.string() + ": the file is read-only");
        EXPECT_EQ(temp.Read("locked.fwc"), "old");
        EXPECT_EQ(ModeOf(file) & 07777, mode);
        ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    }
    EXPECT_EQ(SortedEntries(temp), std::vector<std::string>{"locked.fwc"});
}

TEST(AtomicFile, FollowsLinksAndReplacesTheirTarget) {
    TempFolder temp;
    const fs::path target = temp.Write("real/profile.fwc", "old");
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    // A relative link to a link to the file, from another folder.
    fs::create_directory(temp.Path() / "links");
    fs::create_symlink("../real/profile.fwc", temp.Path() / "links" / "direct");
    fs::create_symlink("direct", temp.Path() / "links" / "chain");

    ASSERT_TRUE(WriteFileAtomically(temp.Path() / "links" / "chain", std::string_view("new")));
    EXPECT_EQ(temp.Read("real/profile.fwc"), "new");
    EXPECT_EQ(ModeOf(target) & 07777, 0600u);
    EXPECT_TRUE(fs::is_symlink(temp.Path() / "links" / "chain"));
    EXPECT_TRUE(fs::is_symlink(temp.Path() / "links" / "direct"));
    // The temporary file was made beside the target, and nothing is left anywhere.
    EXPECT_EQ(temp.Entries("links").size(), 2u);
    EXPECT_EQ(temp.Entries("real"), std::vector<std::string>{"profile.fwc"});

    // A link to a missing file makes that file.
    fs::create_symlink(temp.Path() / "real" / "later.fwc", temp.Path() / "dangling");
    ASSERT_TRUE(WriteFileAtomically(temp.Path() / "dangling", std::string_view("made")));
    EXPECT_TRUE(fs::is_symlink(temp.Path() / "dangling"));
    EXPECT_EQ(temp.Read("real/later.fwc"), "made");

    // A loop of links is refused.
    fs::create_symlink("loop-b", temp.Path() / "loop-a");
    fs::create_symlink("loop-a", temp.Path() / "loop-b");
    const AtomicWriteResult loop = WriteFileAtomically(temp.Path() / "loop-a", "x");
    EXPECT_EQ(loop.failure, AtomicWriteFailure::LinkLoop);
    EXPECT_TRUE(fs::is_symlink(temp.Path() / "loop-a"));
}

struct SpecialFile {
    const char* name;
    // Makes the special file at the path; false when this process cannot.
    std::function<bool(const fs::path&)> make;
    const char* reason;
};

// Cases print as their names, so test names read as words.
void PrintTo(const SpecialFile& c, std::ostream* out) {
    *out << c.name;
}

class AtomicFileSpecial : public ::testing::TestWithParam<SpecialFile> {};

TEST_P(AtomicFileSpecial, IsRefusedAndLeftInPlace) {
    TempFolder temp;
    const fs::path path = temp.Path() / "special";
    if (!GetParam().make(path)) {
        GTEST_SKIP() << "cannot make a " << GetParam().name << " here";
    }
    const mode_t before = ModeOf(path);
    // Directly and through a link alike.
    fs::create_symlink("special", temp.Path() / "link");
    for (const fs::path& name : {path, temp.Path() / "link"}) {
        const AtomicWriteResult result = WriteFileAtomically(name, std::string_view("export"));
        EXPECT_EQ(result.failure, AtomicWriteFailure::NotRegularFile) << name;
        EXPECT_EQ(result.Message(), path.string() + ": " + GetParam().reason);
    }
    EXPECT_EQ(ModeOf(path), before);
    EXPECT_EQ(SortedEntries(temp), (std::vector<std::string>{"link", "special"}));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AtomicFileSpecial,
    ::testing::Values(
        SpecialFile{"folder", [](const fs::path& p) { return ::mkdir(p.c_str(), 0700) == 0; },
                    "is a folder, not a regular file"},
        SpecialFile{"fifo", [](const fs::path& p) { return ::mkfifo(p.c_str(), 0600) == 0; },
                    "is a FIFO, not a regular file"},
        SpecialFile{"socket",
                    [](const fs::path& p) {
                        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                        sockaddr_un address{};
                        address.sun_family = AF_UNIX;
                        std::strncpy(address.sun_path, p.c_str(), sizeof address.sun_path - 1);
                        const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address),
                                                  sizeof address) == 0;
                        ::close(fd);
                        return bound;
                    },
                    "is a socket, not a regular file"},
        // The same device as /dev/full, made here so that a failing test cannot harm the real
        // one.
        SpecialFile{"full_device",
                    [](const fs::path& p) {
                        return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
                    },
                    "is a character device, not a regular file"}),
    [](const ::testing::TestParamInfo<SpecialFile>& p) { return std::string(p.param.name); });

TEST(AtomicFile, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    TempFolder temp;
    const fs::path file = temp.Write("current", "old content");
    // A file size limit makes the write fail as a full disk would.
    struct sigaction ignore {
    }, saved{};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &saved), 0);
    rlimit limit{}, savedLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &savedLimit), 0);
    limit.rlim_cur = 4;
    limit.rlim_max = savedLimit.rlim_max;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const AtomicWriteResult result = WriteFileAtomically(file, std::string_view("new content"));
    ::setrlimit(RLIMIT_FSIZE, &savedLimit);
    ::sigaction(SIGXFSZ, &saved, nullptr);

    EXPECT_EQ(result.failure, AtomicWriteFailure::WriteFailed);
    EXPECT_EQ(result.Message(), file.string() + ": File too large");
    EXPECT_EQ(temp.Read("current"), "old content");
    EXPECT_EQ(SortedEntries(temp), std::vector<std::string>{"current"});

    const AtomicWriteResult missing =
        WriteFileAtomically(temp.Path() / "no-such-folder" / "file", std::string_view("x"));
    EXPECT_EQ(missing.failure, AtomicWriteFailure::CreateFailed);
    EXPECT_NE(missing.Message().find("No such file or directory"), std::string::npos);
}

pid_t DeadProcessId() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

// Sets the file's times `seconds` into the past.
void MakeOld(const fs::path& path, time_t seconds) {
    const timespec old[2] = {{::time(nullptr) - seconds, 0}, {::time(nullptr) - seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
}

TEST(AtomicFile, ASaveRemovesOnlyTemporariesLeftByEarlierCrashes) {
    TempFolder temp;
    const std::string mark(kTemporaryMark);
    const std::string live = std::to_string(::getpid());
    const std::string dead = std::to_string(DeadProcessId());

    MakeOld(temp.Write(".a.fwc" + mark + dead + "-1", "crashed writer"), 30);
    MakeOld(temp.Write(".b.ini" + mark + live + "-2", "hung writer"), 120);
    temp.Write(".c.ini" + mark + live + "-3", "being written now");
    // The process may only look gone (another process namespace): a fresh file stays.
    temp.Write(".g.ini" + mark + dead + "-6", "just written");
    // Not of our pattern.
    MakeOld(temp.Write("d.ini" + mark + dead + "-4", "no leading dot"), 120);
    MakeOld(temp.Write(".e.ini.tmp-123", "someone else's"), 120);
    temp.Write("notes.txt", "user file");
    bool foreignMade = false;
    if (IsRoot()) {
        const fs::path foreign = temp.Write(".f.ini" + mark + dead + "-5", "another user's");
        foreignMade = ::chown(foreign.c_str(), kNobody, kNobody) == 0;
        MakeOld(foreign, 120);
    }

    ASSERT_TRUE(WriteFileAtomically(temp.Path() / "profile.fwc", std::string_view("saved")));

    std::vector<std::string> expected{
        ".c.ini" + mark + live + "-3", ".e.ini.tmp-123", ".g.ini" + mark + dead + "-6",
        "d.ini" + mark + dead + "-4",  "notes.txt",      "profile.fwc"};
    if (foreignMade) {
        expected.push_back(".f.ini" + mark + dead + "-5");
    }
    std::ranges::sort(expected);
    EXPECT_EQ(SortedEntries(temp), expected);
}

}  // namespace
}  // namespace qv::platform
