#include "texts/cached_ini_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "temp_folder.h"

namespace qv::ui {
namespace {

using namespace std::chrono_literals;

// Moves a file's modification time an hour back, as for a file edited long before it is read.
void BackDate(const std::filesystem::path& path) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - 1h);
}

std::string Value(const CachedIniFile& file) {
    return file.Get()->GetString("S", "k", "missing", platform::kProfileReadMaxChars);
}

class CachedIniFileTest : public testing::Test {
protected:
    std::filesystem::path Write(std::string_view value, bool backDated = true) {
        const std::filesystem::path path = folder_.Write("f.ini", "[S]\nk=" + std::string(value));
        if (backDated) {
            BackDate(path);
        }
        return path;
    }

    test::TempFolder folder_;
    CachedIniFile file_{folder_.Path() / "f.ini"};
};

TEST_F(CachedIniFileTest, AnUnchangedFileIsReadOnce) {
    Write("one");
    for (int i = 0; i < 10'000; ++i) {
        ASSERT_EQ(Value(file_), "one");
    }
    EXPECT_EQ(file_.Reads(), 1u);
}

TEST_F(CachedIniFileTest, EveryKindOfChangeIsSeenAtTheNextGet) {
    EXPECT_EQ(Value(file_), "missing");  // no file yet
    Write("one");
    EXPECT_EQ(Value(file_), "one");  // created
    Write("three");
    EXPECT_EQ(Value(file_), "three");  // another size

    // The same size and time, but another file renamed over it, as editors save.
    const auto time = std::filesystem::last_write_time(folder_.Path() / "f.ini");
    const std::filesystem::path other = folder_.Write("g.ini", "[S]\nk=seven");
    std::filesystem::last_write_time(other, time);
    std::filesystem::rename(other, folder_.Path() / "f.ini");
    EXPECT_EQ(Value(file_), "seven");

    // The same size and file, another time.
    Write("eight");
    std::filesystem::last_write_time(folder_.Path() / "f.ini", time + 1s);
    EXPECT_EQ(Value(file_), "eight");

    std::filesystem::remove(folder_.Path() / "f.ini");
    EXPECT_EQ(Value(file_), "missing");
    EXPECT_EQ(file_.Reads(), 6u);
}

// File times move in steps: a file rewritten to the same size within the step of the read
// before keeps its stamp. A copy of a file that changed that recently is not trusted.
TEST_F(CachedIniFileTest, ASameSizeRewriteRightAfterAReadIsSeen) {
    for (const std::string_view value : {"aaa", "bbb", "ccc", "ddd"}) {
        Write(value, false);
        EXPECT_EQ(Value(file_), value);
    }
    // Once its time is well past, the copy is trusted again.
    BackDate(folder_.Path() / "f.ini");
    const std::uint64_t reads = file_.Reads();
    EXPECT_EQ(Value(file_), "ddd");
    EXPECT_EQ(Value(file_), "ddd");
    EXPECT_EQ(file_.Reads(), reads + 1);
}

TEST_F(CachedIniFileTest, ConcurrentReadersShareOneRead) {
    Write("one");
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (std::size_t t = 0; t < failures.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 1000; ++i) {
                failures[t] += Value(file_) != "one";
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(4, 0));
    EXPECT_EQ(file_.Reads(), 1u);
}

}  // namespace
}  // namespace qv::ui
