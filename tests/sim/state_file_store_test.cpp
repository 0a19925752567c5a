#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/hex.h"
#include "sim/sim_state_file.h"
#include "sim/state_file_io.h"
#include "sim/state_file_keyboard.h"

namespace qv::sim {
namespace {

namespace fs = std::filesystem;
using device::DeviceReport;
using device::kControlSelector;
using device::ReportBytes;

// A host that sends one report at a time and keeps the replies.
class Host final : public device::ServiceCallbackTarget {
public:
    explicit Host(SimHidService& service) : service_(service) {
        service_.RequestAsyncRead(
            kControlSelector, this, device::TAG_CTRL,
            device::CheckValueForAsyncRead(kControlSelector, this, device::TAG_CTRL), &id_);
    }
    ~Host() { service_.DeleteRequestFromUnitId(id_); }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    int ServiceCallback(const device::ServiceEvent& event) override {
        if (event.kind == device::ServiceEventKind::DataArrived) {
            const std::lock_guard lock(mutex_);
            std::copy(event.data.begin(), event.data.end(), replies_.emplace_back().begin());
        }
        return 1;
    }

    // The reply to `request`, or nullopt when none came.
    std::optional<ReportBytes> Send(const DeviceReport& request) {
        std::size_t before = 0;
        {
            const std::lock_guard lock(mutex_);
            before = replies_.size();
        }
        const Bytes bytes = request.bytes();
        service_.RequestWriteOne(kControlSelector, 0, 0, bytes,
                                 device::CheckValueForWriteOne(kControlSelector, bytes), 0);
        service_.WaitUntilIdle();
        const std::lock_guard lock(mutex_);
        if (replies_.size() == before) {
            return std::nullopt;
        }
        return replies_.back();
    }

    // Sends a write and answers its status.
    std::uint8_t Write(std::uint8_t command, std::uint16_t offset, Bytes data) {
        const auto reply = Send(
            DeviceReport::Request(command, static_cast<std::uint8_t>(data.size()), offset, data));
        return reply ? (*reply)[device::kStatusOffset] : 0xEE;
    }

    // Reads `length` bytes of an area; empty when the read failed.
    std::string Read(std::uint8_t command, std::uint16_t offset, std::uint8_t length) {
        const auto reply = Send(DeviceReport::Request(command, length, offset));
        if (!reply || (*reply)[device::kStatusOffset] != kStatusOk) {
            return {};
        }
        return HexBytes(Bytes(*reply).subspan(device::kPayloadOffset, length));
    }

private:
    SimHidService& service_;
    std::uint32_t id_ = 0;
    std::mutex mutex_;
    std::vector<ReportBytes> replies_;
};

class StateFileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("quorvane-store-test-" + std::to_string(std::random_device()()));
        fs::create_directories(folder);
        path = folder / "kb.state";
    }
    void TearDown() override { fs::remove_all(folder); }

    std::unique_ptr<SimHidService> Open(const char* faults = nullptr) {
        auto opened = OpenStateFileKeyboard(path, faults);
        if (auto* error = std::get_if<StateFileError>(&opened)) {
            ADD_FAILURE() << error->message;
            return std::make_unique<SimHidService>();
        }
        return std::get<std::unique_ptr<SimHidService>>(std::move(opened));
    }

    void MakeFactoryFile() {
        ASSERT_TRUE(std::holds_alternative<std::monostate>(
            SaveStateFile(path, SimState{.memory = FactoryMemory(), .faults = {}})));
    }

    SimState OnDisk() {
        auto loaded = LoadStateFile(path);
        if (auto* error = std::get_if<StateFileError>(&loaded)) {
            ADD_FAILURE() << error->message;
            return {};
        }
        return std::get<SimState>(std::move(loaded));
    }

    FileStamp Stamp() {
        const auto stamp = StampOf(path);
        EXPECT_TRUE(std::holds_alternative<FileStamp>(stamp));
        return std::holds_alternative<FileStamp>(stamp) ? std::get<FileStamp>(stamp) : FileStamp{};
    }

    std::set<std::string> FolderEntries() {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    static void WriteText(const fs::path& to, const std::string& text) {
        std::ofstream(to, std::ios::binary | std::ios::trunc) << text;
    }

    fs::path folder;
    fs::path path;
};

constexpr std::array<std::uint8_t, 1> kLightingByte{0x42};
constexpr std::array<std::uint8_t, 3> kKeyAction{0x05, 0x02, 0x00};

TEST_F(StateFileStoreTest, TwoKeyboardsOnOneFileKeepEachOthersChanges) {
    auto app = Open();
    auto cli = Open();
    Host appHost(*app);
    Host cliHost(*cli);

    // Each writes its own area while the other holds the file as it was at its start.
    ASSERT_EQ(appHost.Write(kCmdWriteLighting, 0, kLightingByte), kStatusOk);
    ASSERT_EQ(cliHost.Write(kCmdWriteKeyPage, kKeyPageSize, kKeyAction), kStatusOk);

    const SimState disk = OnDisk();
    EXPECT_EQ(disk.memory.lighting[0], 0x42);
    EXPECT_EQ(HexBytes(Bytes(disk.memory.keyPages).subspan(kKeyPageSize, 3)), "05 02 00");
    // And each sees the other's change on its next read.
    EXPECT_EQ(cliHost.Read(kCmdReadLighting, 0, 1), "42");
    EXPECT_EQ(appHost.Read(kCmdReadKeyPage, kKeyPageSize, 3), "05 02 00");
    EXPECT_TRUE(app->Memory() == disk.memory);

    // A profile switched on the keyboard itself is kept like the host's writes.
    cli->ChangeProfileOnKeyboard(2);
    EXPECT_EQ(OnDisk().memory.settings[kSettingsActiveProfile], 2);
    EXPECT_EQ(appHost.Read(kCmdReadSettings, 0, kSettingsBlockSize).substr(30, 2), "02");
    EXPECT_FALSE(app->StoreFailure());
    EXPECT_FALSE(cli->StoreFailure());
}

// A keyboard that is only read creates no file; the first change makes it.
TEST_F(StateFileStoreTest, AMissingFileIsMadeByTheFirstChangeAndReadsNeverWriteIt) {
    auto keyboard = Open();
    Host host(*keyboard);
    EXPECT_FALSE(host.Read(kCmdReadSettings, 0, kSettingsBlockSize).empty());
    EXPECT_TRUE(FolderEntries().empty());
    EXPECT_EQ(host.Write(kCmdWriteLighting, 0, std::array<std::uint8_t, 1>{0x02}), kStatusOk);
    SimState expected{.memory = FactoryMemory(), .faults = {}};
    expected.memory.lighting[0] = 0x02;
    EXPECT_TRUE(OnDisk().memory == expected.memory);
    const FileStamp made = Stamp();
    const auto entries = FolderEntries();
    EXPECT_EQ(entries, (std::set<std::string>{"kb.state", "kb.state.lock"}));

    EXPECT_FALSE(host.Read(kCmdReadSettings, 0, kSettingsBlockSize).empty());
    EXPECT_FALSE(host.Read(kCmdReadLighting, 0, 56).empty());
    EXPECT_FALSE(host.Read(kCmdReadKeyPage, 2 * kKeyPageSize, 56).empty());
    EXPECT_FALSE(host.Read(kCmdReadMacros, 0, 16).empty());
    EXPECT_FALSE(host.Read(kCmdReadKeyDefaults, 0, 56).empty());
    EXPECT_EQ(host.Write(kCmdBeginTransfer, 0, {}), kStatusOk);
    EXPECT_EQ(host.Write(kCmdEndTransfer, 0, {}), kStatusOk);
    // A write that leaves every byte as it was changes nothing either.
    EXPECT_EQ(host.Write(kCmdWriteLighting, 0, std::array<std::uint8_t, 1>{0x02}), kStatusOk);

    EXPECT_EQ(Stamp(), made);
    EXPECT_EQ(FolderEntries(), entries);
}

TEST_F(StateFileStoreTest, AChangeThatCannotBeKeptIsAnsweredAsFailed) {
    MakeFactoryFile();
    auto keyboard = Open();
    Host host(*keyboard);
    const SimState before = OnDisk();
    {
        // A file size limit far below a state file's size makes every save fail part way.
        struct rlimit saved {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const std::uint8_t status = host.Write(kCmdWriteLighting, 0, kLightingByte);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(status, 0xFF);
    }
    EXPECT_EQ(keyboard->Memory().lighting[0], 0x01);
    EXPECT_EQ(host.Read(kCmdReadLighting, 0, 1), "01");
    EXPECT_TRUE(OnDisk() == before);
    EXPECT_EQ(FolderEntries(), (std::set<std::string>{"kb.state", "kb.state.lock"}));
    const auto failure = keyboard->StoreFailure();
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find(path.string() + ": cannot be written"), std::string::npos) << *failure;

    // The next change is kept again; the failure stays on record for the end of the run.
    EXPECT_EQ(host.Write(kCmdWriteLighting, 0, kLightingByte), kStatusOk);
    EXPECT_EQ(OnDisk().memory.lighting[0], 0x42);
    EXPECT_TRUE(keyboard->StoreFailure());
}

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

mode_t ModeOf(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
    return info.st_mode & 07777;
}

// The state file is saved as every file of the tool is: a link stays a link and its target is
// written, the mode stays, and a read-only file is refused rather than replaced.
TEST_F(StateFileStoreTest, SavesFollowLinksKeepTheModeAndLeaveReadOnlyFilesAlone) {
    struct Case {
        const char* name;
        mode_t mode;
        bool throughLink;
        bool kept;
    };
    const std::vector<Case> cases{
        {"private file", 0600, false, true},
        {"group-readable file", 0640, false, true},
        {"link to a private file", 0600, true, true},
        {"read-only file", 0444, false, false},
        {"link to a read-only file", 0400, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path caseFolder = folder / c.name;
        const fs::path target = caseFolder / "real" / "kb.state";
        fs::create_directories(target.parent_path());
        ASSERT_TRUE(std::holds_alternative<std::monostate>(
            SaveStateFile(target, SimState{.memory = FactoryMemory(), .faults = {}})));
        ASSERT_EQ(::chmod(target.c_str(), c.mode), 0);
        const fs::path given = c.throughLink ? caseFolder / "kb.link" : target;
        if (c.throughLink) {
            fs::create_symlink("real/kb.state", given);
        }
        const std::string before = ReadText(target);

        auto opened = OpenStateFileKeyboard(given, nullptr);
        ASSERT_TRUE(std::holds_alternative<std::unique_ptr<SimHidService>>(opened));
        auto keyboard = std::get<std::unique_ptr<SimHidService>>(std::move(opened));
        {
            Host host(*keyboard);
            EXPECT_EQ(host.Write(kCmdWriteLighting, 0, kLightingByte), c.kept ? kStatusOk : 0xFF);
        }
        auto disk = LoadStateFile(target);
        ASSERT_TRUE(std::holds_alternative<SimState>(disk));
        EXPECT_EQ(std::get<SimState>(disk).memory.lighting[0], c.kept ? 0x42 : 0x01);
        EXPECT_EQ(ModeOf(target), c.mode);
        EXPECT_EQ(fs::is_symlink(given), c.throughLink);
        // The lock sits beside the file written, and no temporary file is left.
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(target.parent_path())) {
            names.insert(entry.path().filename().string());
        }
        EXPECT_EQ(names, (std::set<std::string>{"kb.state", "kb.state.lock"}));
        if (c.kept) {
            EXPECT_FALSE(keyboard->StoreFailure());
        } else {
            EXPECT_EQ(ReadText(target), before);
            ASSERT_TRUE(keyboard->StoreFailure());
            EXPECT_EQ(*keyboard->StoreFailure(),
                      target.string() + ": cannot be written: the file is read-only");
        }
    }
}

// Temporary files of killed saves, of the atomic save's naming and of the older one, go with the
// next save; a young one may belong to a save at work and stays, as does anything else.
TEST_F(StateFileStoreTest, ASaveRemovesAbandonedTemporaryFiles) {
    MakeFactoryFile();
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    const std::vector<std::string> abandoned{"kb.state.tmp-3094812-0",
                                             ".kb.state.quorvane-tmp-999999-00000000deadbeef"};
    const std::vector<std::string> kept{"kb.state.tmp-17-2", "kb.state.tmp-notes", "other.tmp-1-2"};
    for (const std::string& name : abandoned) {
        WriteText(folder / name, "half a state file");
        fs::last_write_time(folder / name, old);
    }
    for (const std::string& name : kept) {
        WriteText(folder / name, "someone's");
        if (name != "kb.state.tmp-17-2") {
            fs::last_write_time(folder / name, old);
        }
    }
    auto keyboard = Open();
    Host host(*keyboard);
    ASSERT_EQ(host.Write(kCmdWriteLighting, 0, kLightingByte), kStatusOk);

    std::set<std::string> expected{"kb.state", "kb.state.lock"};
    expected.insert(kept.begin(), kept.end());
    EXPECT_EQ(FolderEntries(), expected);
}

TEST_F(StateFileStoreTest, AFileBrokenWhileInUseFailsReportsUntilMended) {
    MakeFactoryFile();
    auto keyboard = Open();
    Host host(*keyboard);
    const std::string good = FormatStateText(OnDisk());
    WriteText(path, "quorvane-sim-state 1\n[lighting]\n0G\n");

    EXPECT_EQ(host.Read(kCmdReadLighting, 0, 1), "");
    EXPECT_EQ(host.Write(kCmdWriteLighting, 0, kLightingByte), 0xFF);
    const auto failure = keyboard->StoreFailure();
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find(path.string() + ":3: \"0G\" is not a byte"), std::string::npos)
        << *failure;

    WriteText(path, good);
    EXPECT_EQ(host.Write(kCmdWriteLighting, 0, kLightingByte), kStatusOk);
    EXPECT_EQ(OnDisk().memory.lighting[0], 0x42);
}

TEST_F(StateFileStoreTest, FaultsComeFromTheFileAndTheVariable) {
    SimState state{.memory = FactoryMemory(),
                   .faults = {{.kind = FaultKind::Status, .report = 1, .status = 0xFE}}};
    ASSERT_TRUE(std::holds_alternative<std::monostate>(SaveStateFile(path, state)));
    auto keyboard = Open("drop@2");
    Host host(*keyboard);

    const auto first = host.Send(DeviceReport::Request(kCmdBeginTransfer, 0, 0));
    ASSERT_TRUE(first);
    EXPECT_EQ((*first)[device::kStatusOffset], 0xFE);
    EXPECT_FALSE(host.Send(DeviceReport::Request(kCmdBeginTransfer, 0, 0)));
    EXPECT_EQ(host.Write(kCmdWriteLighting, 0, kLightingByte), kStatusOk);

    // A save keeps the file's faults, and only those.
    const SimState disk = OnDisk();
    EXPECT_EQ(disk.memory.lighting[0], 0x42);
    EXPECT_EQ(disk.faults, state.faults);
}

TEST_F(StateFileStoreTest, ABadVariableIsRefusedBeforeTheFileIsMade) {
    auto opened = OpenStateFileKeyboard(path, "drop@5, late@7");
    ASSERT_TRUE(std::holds_alternative<StateFileError>(opened));
    const std::string& message = std::get<StateFileError>(opened).message;
    EXPECT_EQ(message.rfind("QUORVANE_SIM_FAULTS: \"late@7\": late needs a delay", 0), 0u)
        << message;
    EXPECT_TRUE(FolderEntries().empty());

    // A fault the file arms already is a contradiction too.
    SimState state{.memory = FactoryMemory(), .faults = {{.kind = FaultKind::Drop, .report = 5}}};
    ASSERT_TRUE(std::holds_alternative<std::monostate>(SaveStateFile(path, state)));
    opened = OpenStateFileKeyboard(path, "drop@5");
    ASSERT_TRUE(std::holds_alternative<StateFileError>(opened));
    EXPECT_NE(std::get<StateFileError>(opened).message.find("armed twice"), std::string::npos);
}

TEST_F(StateFileStoreTest, RefusesAnythingButAModestPlainFile) {
    const fs::path pipe = folder / "pipe.state";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const fs::path large = folder / "large.state";
    WriteText(large, "quorvane-sim-state 1\n" + std::string(kStateFileSizeLimit, '#'));
    struct Case {
        fs::path path;
        std::string message;
    };
    const std::vector<Case> cases{
        {"/dev/zero", "/dev/zero: is a character device, not a state file"},
        {folder, folder.string() + ": is a folder, not a state file"},
        {pipe, pipe.string() + ": is a FIFO, not a state file"},
        {large, large.string() + ": is larger than 4 MiB"},
    };
    for (const Case& c : cases) {
        auto opened = OpenStateFileKeyboard(c.path, nullptr);
        ASSERT_TRUE(std::holds_alternative<StateFileError>(opened)) << c.path;
        EXPECT_EQ(std::get<StateFileError>(opened).message.rfind(c.message, 0), 0u)
            << std::get<StateFileError>(opened).message;
        auto loaded = LoadStateFile(c.path);
        ASSERT_TRUE(std::holds_alternative<StateFileError>(loaded)) << c.path;
        EXPECT_EQ(std::get<StateFileError>(loaded).message.rfind(c.message, 0), 0u);
    }
    EXPECT_FALSE(fs::exists("/dev/zero.lock"));
}

}  // namespace
}  // namespace qv::sim
