#include "platform/lock_leds.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

// Cases name only the fields they set.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace qv::platform {
namespace {

namespace fs = std::filesystem;

class LockLedsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("quorvane-leds-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    void Led(const std::string& name, const char* brightness) {
        fs::create_directories(folder_ / name);
        if (brightness != nullptr) {
            std::ofstream(folder_ / name / "brightness") << brightness;
        }
    }

    fs::path folder_;
};

TEST_F(LockLedsTest, ALockIsOnWhenAnyKeyboardShowsIt) {
    Led("input3::capslock", "0\n");
    Led("input7::capslock", "1\n");
    Led("input3::numlock", "1\n");
    Led("input3::scrolllock", nullptr);  // unreadable: off
    Led("phy0-led", "1\n");              // not a lock
    EXPECT_EQ(ReadLockStates(folder_), (LockStates{.caps = true, .num = true, .scroll = false}));
}

TEST_F(LockLedsTest, NoLockLedsOrNoFolderTellNothing) {
    Led("mmc0::", "1\n");
    EXPECT_EQ(ReadLockStates(folder_), std::nullopt);
    EXPECT_EQ(ReadLockStates(folder_ / "missing"), std::nullopt);
}

}  // namespace
}  // namespace qv::platform
