// The record-delays option as the settings keep it: "1" or "0", anything else read as off and
// written back as "0".

#include "editing/record_delays_option.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::macros {
namespace {

constexpr std::string_view kEntry = "RecordDelays";

std::string Stored(const platform::SettingsStore& settings) {
    return settings.ReadString(kRecordDelaysSettingsKey, kEntry).value;
}

TEST(RecordDelaysOptionTest, ReadsOneAsOnAndWritesBackNormalised) {
    struct Case {
        const char* stored;  // nullptr: absent
        bool on;
        const char* after;
    };
    for (const Case& c : {Case{nullptr, false, "0"}, Case{"1", true, "1"}, Case{"0", false, "0"},
                          Case{"2", false, "0"}, Case{"yes", false, "0"}, Case{"01", true, "1"}}) {
        platform::MemorySettingsStore settings;
        if (c.stored != nullptr) {
            ASSERT_EQ(settings.WriteString(kRecordDelaysSettingsKey, kEntry, c.stored),
                      platform::SettingsStatus::Ok);
        }
        EXPECT_EQ(LoadRecordDelaysOption(settings, kEntry), c.on) << (c.stored ? c.stored : "-");
        EXPECT_EQ(Stored(settings), c.after) << (c.stored ? c.stored : "-");
    }

    platform::MemorySettingsStore settings;
    ASSERT_EQ(settings.WriteDword(kRecordDelaysSettingsKey, kEntry, 1),
              platform::SettingsStatus::Ok);
    EXPECT_TRUE(LoadRecordDelaysOption(settings, kEntry));
    EXPECT_EQ(Stored(settings), "1");
    StoreRecordDelaysOption(settings, kEntry, false);
    EXPECT_FALSE(LoadRecordDelaysOption(settings, kEntry));
}

}  // namespace
}  // namespace qv::macros
