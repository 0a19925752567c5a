#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "temp_folder.h"

namespace qv::platform {
namespace {

// Behaviour both stores share, run against each.
class SettingsStoreTest : public testing::TestWithParam<bool> {
protected:
    SettingsStoreTest() {
        if (GetParam()) {
            store_ = std::make_unique<IniSettingsStore>(folder_.Path() / "Org" / "App.ini");
        } else {
            store_ = std::make_unique<MemorySettingsStore>();
        }
    }

    test::TempFolder folder_;
    std::unique_ptr<SettingsStore> store_;
};

INSTANTIATE_TEST_SUITE_P(Stores, SettingsStoreTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? "IniFile" : "Memory";
                         });

TEST_P(SettingsStoreTest, ReadsBackWhatWasWrittenByKeyAndName) {
    EXPECT_EQ(store_->ReadDword("", "dwLanguageId").status, SettingsStatus::Absent);
    EXPECT_EQ(store_->ReadString("PROFILES", "Flip").status, SettingsStatus::Absent);

    ASSERT_EQ(store_->WriteDword("", "dwLanguageId", 0x0804), SettingsStatus::Ok);
    ASSERT_EQ(store_->WriteString("PROFILES", "Flip", "1"), SettingsStatus::Ok);
    ASSERT_EQ(store_->WriteString("PROFILES", "PROFILE01", "/home/u/a b/x.fwc"),
              SettingsStatus::Ok);
    ASSERT_EQ(store_->WriteDword("PROFILES\\Deep/Er", "n", 0xFFFFFFFF), SettingsStatus::Ok);

    const DwordSetting id = store_->ReadDword("", "DWLANGUAGEID");
    EXPECT_EQ(id.status, SettingsStatus::Ok);
    EXPECT_EQ(id.value, 0x0804u);
    EXPECT_EQ(store_->ReadString("profiles", "flip").value, "1");
    EXPECT_EQ(store_->ReadString("PROFILES", "PROFILE01").value, "/home/u/a b/x.fwc");
    EXPECT_EQ(store_->ReadDword("PROFILES/Deep\\Er", "n").value, 0xFFFFFFFFu);
    // The same name under another key is another value.
    EXPECT_EQ(store_->ReadDword("PROFILES", "dwLanguageId").status, SettingsStatus::Absent);
    EXPECT_EQ(store_->ReadDword("PROFILES", "n").status, SettingsStatus::Absent);

    // A write replaces a value of the other type.
    ASSERT_EQ(store_->WriteString("", "dwLanguageId", "English"), SettingsStatus::Ok);
    EXPECT_EQ(store_->ReadDword("", "dwLanguageId").status, SettingsStatus::WrongType);
    EXPECT_EQ(store_->ReadString("", "dwLanguageId").value, "English");
}

TEST_P(SettingsStoreTest, ConcurrentWritersLoseNothing) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (std::uint32_t i = 0; i < 10; ++i) {
                EXPECT_EQ(store_->WriteDword("K", "v" + std::to_string(t), i), SettingsStatus::Ok);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(store_->ReadDword("K", "v" + std::to_string(t)).value, 9u);
    }
}

TEST(IniSettingsStoreTest, UsesTheToolkitLayoutAndKeepsTheRestOfTheFile) {
    const test::TempFolder folder;
    folder.Write("Pelliton_T22.ini", "; kept\n[General]\nother=x\n[Foreign]\na=b\n");
    IniSettingsStore store(folder.Path() / "Pelliton_T22.ini");
    ASSERT_EQ(store.WriteDword("", "dwLanguageId", 1033), SettingsStatus::Ok);
    ASSERT_EQ(store.WriteString("PROFILES", "Flip", "0"), SettingsStatus::Ok);
    ASSERT_EQ(store.WriteString("A\\B", "x", " padded "), SettingsStatus::Ok);
    EXPECT_EQ(folder.Read("Pelliton_T22.ini"),
              "; kept\n[General]\nother=x\ndwLanguageId=1033\n[Foreign]\na=b\n"
              "\n[PROFILES]\nFlip=0\n\n[A]\nB\\x=\" padded \"\n");
    EXPECT_EQ(store.ReadString("A/B", "x").value, " padded ");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"Pelliton_T22.ini"});

    // The type of a value is told by its text.
    EXPECT_EQ(store.ReadDword("PROFILES", "Flip").value, 0u);
    for (const std::string_view text : {"-1", "4294967296", "12a", "", " ", "0x10"}) {
        ASSERT_EQ(store.WriteString("", "n", text), SettingsStatus::Ok);
        EXPECT_EQ(store.ReadDword("", "n").status, SettingsStatus::WrongType) << text;
    }
    EXPECT_EQ(store.WriteString("", "n", "two\nlines"), SettingsStatus::InvalidValue);
    EXPECT_EQ(store.WriteString("", "a=b", "x"), SettingsStatus::InvalidName);
}

TEST(IniSettingsStoreTest, ReportsAKeyThatCannotBeOpened) {
    const test::TempFolder folder;
    folder.Write("file", "not a folder");
    std::filesystem::create_directories(folder.Path() / "folder.ini");
    // A file where the folder should be; a folder where the file should be.
    for (const auto& path : {folder.Path() / "file" / "App.ini", folder.Path() / "folder.ini"}) {
        IniSettingsStore store(path);
        EXPECT_EQ(store.WriteDword("", "n", 1), SettingsStatus::CannotOpen) << path;
        EXPECT_EQ(store.ReadString("", "n").status, path.filename() == "App.ini"
                                                        ? SettingsStatus::Absent
                                                        : SettingsStatus::CannotOpen)
            << path;
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "folder.ini"));

    MemorySettingsStore memory;
    memory.SetOpenable(false);
    EXPECT_EQ(memory.WriteDword("", "n", 1), SettingsStatus::CannotOpen);
    EXPECT_EQ(memory.ReadDword("", "n").status, SettingsStatus::CannotOpen);
}

}  // namespace
}  // namespace qv::platform
