#include "app/profile_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "device/command_result.h"
#include "device/transport.h"
#include "keys/device_action.h"
#include "keys/key_page.h"
#include "profiles/profile_capture.h"
#include "profiles/profile_file_codec.h"
#include "profiles/profile_file_support.h"
#include "profiles/profile_folder.h"
#include "sim/sim_hid_service.h"
#include "ui/profile_file_messages.h"
#include "ui/temp_folder.h"

namespace qv::profiles {
namespace {

using keys::KeyKind;
using test::ReadFileBytes;

TEST(ProfileFolder, IsMadeInsideTheDocumentsFolderAndHoldsOneFileForEveryProfile) {
    const qv::test::TempFolder temp;
    const std::filesystem::path documents = temp.Path() / "not yet there";
    const std::filesystem::path folder = ProfileFolderPath(documents);
    EXPECT_EQ(folder, documents / "Quorvane_51M");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    for (const int profile : {-1, 0, 2, 3}) {
        EXPECT_EQ(CurrentProfileFilePath(folder, profile), folder / "$Profile0");
    }
}

// An image the keyboard can hold exactly: assignments its key pages express on positions of
// every profile, and macros with ids 1..n whose steps survive the macro area.
ImageContents KeyboardImage(const keys::KeyDefaultTable& defaults, std::size_t variant) {
    const std::vector<keys::KeyEntry> assignments = {
        {KeyKind::Disabled},        {KeyKind::Key, 0, 0x171}, {KeyKind::Key, 0, 0x02A},
        {KeyKind::Macro, 0, 2},     {KeyKind::StopMacro},     {KeyKind::Media, 0, 13},
        {KeyKind::Function, 0, 10}, {KeyKind::Key, 0, 0x162},
    };
    ImageContents image;
    image.macros = {
        test::Macro(1, u"one",
                    {{50, 0x01E, macros::KeyState::Press}, {0, 0x01E, macros::KeyState::Release}},
                    3),
        test::Macro(2, u"two", {{10, 0x172, macros::KeyState::Press}}),
    };
    std::size_t next = variant;
    for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
        image.blocks[profile] = keys::FreshKeyBlock();
        for (std::size_t position = (profile + variant) % 3; position < keys::kKeyPositions;
             position += 3) {
            const keys::KeyCode code =
                keys::DecodeDeviceAction(keys::DeviceAction::FromBytes(defaults, 3 * position));
            const keys::KeyEntry& a = assignments[next++ % assignments.size()];
            // A key sent as itself reads back as its default.
            if (code == keys::kNoKey || (a.kind == KeyKind::Key && a.value == code)) {
                continue;
            }
            keys::KeyEntry& entry = image.blocks[profile][keys::KeyCodeToIndex(code)];
            entry.kind = a.kind;
            entry.value = a.value;
        }
    }
    return image;
}

ProfileStoreTexts Texts() {
    return {[](ui::TextSlot slot) -> std::string {
                switch (slot) {
                    case ui::TextSlot::PROFILE_FORMAT_ERROR:
                        return "Bad file: %s";
                    case ui::TextSlot::MACRO_NEW_PREFIX:
                        return "Macro ";
                    default:
                        return std::string(ui::BuiltInText(slot));
                }
            },
            [] {
                return DeviceWriteTexts{"too long", "tight"};
            }};
}

class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(transport.Load(nullptr));
        facts.SetKeyDefaults(keyboard.Memory().keyDefaults);
        facts.SetMacroCapacity(keyboard.Memory().MacroCapacity());
        InstallDefaultImage(*profileImage.Lock());
        store.SetHooks(
            {[this](const ImageContents& image) { shownMacros.push_back(image.macros.size()); },
             [this] { ++applyCleared; }});
    }

    void SetKeyboardProfile(int profile) {
        keyboard.UpdateMemory([&](sim::KeyboardMemory& memory) {
            memory.settings[sim::kSettingsActiveProfile] = static_cast<std::uint8_t>(profile);
        });
        active.Forget();
        ASSERT_EQ(active.GetActiveProfile(commands), profile);
    }

    // Puts the image on the keyboard the way an import does.
    void PutOnKeyboard(const ImageContents& image) {
        ProfileImage source;
        DeviceImage copy;
        *source.Lock() = image;
        const keys::KeyDefaultTable defaults = facts.KeyDefaults();
        ASSERT_TRUE(ApplyImageToDevice(source, copy, PageSelection::AllProfiles,
                                       {commands, defaults, facts.MacroCapacity(), 0})
                        .Written());
        keyboard.WaitUntilIdle();
    }

    ProfileKeyBlocks KeyboardBlocks() {
        ProfileKeyBlocks blocks;
        for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
            keys::KeyPage page{};
            EXPECT_EQ(commands.ReadKeyPage(page, static_cast<int>(profile)), device::kSuccess);
            blocks[profile] = keys::DecodeKeyPage(page, facts.KeyDefaults()).block;
        }
        return blocks;
    }

    ImageContents Working() { return *profileImage.Lock(); }

    std::filesystem::path CurrentFile() const { return store.Folder() / "$Profile0"; }

    sim::SimHidService keyboard;
    device::Transport transport{
        keyboard,
        {.replyWait = std::chrono::milliseconds(100), .retryPause = std::chrono::milliseconds(10)}};
    device::DeviceCommands commands{transport};
    lighting::ActiveProfile active;
    profiles::DeviceFacts facts;
    ProfileImage profileImage;
    DeviceImage deviceImage;
    test::RecordingPrompt prompt;
    qv::test::TempFolder documents;
    ProfileStore store{ProfileFolderPath(documents.Path()),
                       profileImage,
                       deviceImage,
                       commands,
                       active,
                       facts,
                       prompt,
                       Texts()};
    std::vector<std::size_t> shownMacros;  // the macro count of every image the view was given
    int applyCleared = 0;
};

TEST_F(ProfileStoreTest, CaptureTakesEveryProfileAndTheMacros) {
    const ImageContents image = KeyboardImage(facts.KeyDefaults(), 0);
    PutOnKeyboard(image);
    const std::filesystem::path path = documents.Path() / "captured";
    const CaptureResult result = CaptureDeviceToProfileFile(path, commands, 4, facts, u"Macro ");
    ASSERT_TRUE(result.Captured());
    EXPECT_TRUE(result.problems.empty());

    EXPECT_EQ(ui::ValidateProfileFile(path, prompt, "%s"), ProfileFileCheck::Valid);
    ImageContents loaded;
    ASSERT_TRUE(LoadImageFromFile(path, loaded).Loaded());
    EXPECT_EQ(loaded, image);
}

TEST_F(ProfileStoreTest, CaptureReadsNoMoreMacroAreaThanTheKeyboardHolds) {
    // The area claims the largest size and 300 macros; the keyboard holds 8,192 bytes and
    // refuses reads past them, so reading what the header says would fail the capture.
    keyboard.UpdateMemory([](sim::KeyboardMemory& memory) {
        std::fill(memory.macroArea.begin(), memory.macroArea.end(), std::uint8_t{0});
        WriteU16LE(memory.macroArea, 0, 0x55AA);
        WriteU16LE(memory.macroArea, 2, 0xFFFF);
        WriteU16LE(memory.macroArea, 4, 300);
    });
    const std::filesystem::path path = documents.Path() / "captured";
    const CaptureResult result = CaptureDeviceToProfileFile(path, commands, 0, facts, u"Macro ");
    ASSERT_TRUE(result.Captured());
    EXPECT_GE(result.problems.size(), 2u) << "the size cut and the count cut";

    ImageContents loaded;
    ASSERT_TRUE(LoadImageFromFile(path, loaded).Loaded());
    ASSERT_EQ(loaded.macros.size(), 100u);
    EXPECT_EQ(loaded.macros[99].name, u"Macro 100");
}

TEST_F(ProfileStoreTest, FailedCapturesLeaveTheFileAsItWas) {
    struct Case {
        const char* what;
        int profile;
        std::function<void()> fault;
        CaptureStatus status;
    };
    const std::vector<Case> cases = {
        {"profile unknown", -1, [] {}, CaptureStatus::ProfileUnknown},
        {"profile out of range", 5, [] {}, CaptureStatus::ProfileUnknown},
        {"keyboard gone after the key pages", 0, [this] { keyboard.UnplugAfterReports(17); },
         CaptureStatus::MacroAreaUnreadable},
        {"no keyboard", 0, [this] { keyboard.Unplug(); }, CaptureStatus::KeyPageUnreadable},
    };
    const std::filesystem::path path = documents.Path() / "kept";
    ASSERT_TRUE(WriteImageToFile(path, test::VariedImage()));
    const std::vector<std::uint8_t> before = ReadFileBytes(path);
    for (const Case& c : cases) {
        c.fault();
        EXPECT_EQ(CaptureDeviceToProfileFile(path, commands, c.profile, facts, u"M").status,
                  c.status)
            << c.what;
        EXPECT_EQ(ReadFileBytes(path), before) << c.what;
    }
}

TEST_F(ProfileStoreTest, ReloadWithoutKeyboardInstallsTheDefaultImageAndLeavesTheFile) {
    keyboard.Unplug();
    ASSERT_EQ(active.GetActiveProfile(commands), lighting::ActiveProfile::kUnknown);
    *profileImage.Lock() = test::VariedImage();

    store.ReloadProfileFromDevice();
    ImageContents expected;
    InstallDefaultImage(expected);
    EXPECT_EQ(Working(), expected);
    EXPECT_FALSE(std::filesystem::exists(CurrentFile()));
    EXPECT_EQ(shownMacros, std::vector<std::size_t>{0});
    EXPECT_EQ(applyCleared, 1);

    // An earlier capture stays as it was too.
    ASSERT_TRUE(WriteImageToFile(CurrentFile(), test::VariedImage()));
    const std::vector<std::uint8_t> before = ReadFileBytes(CurrentFile());
    store.ReloadProfileFromDevice();
    EXPECT_EQ(Working(), expected);
    EXPECT_EQ(ReadFileBytes(CurrentFile()), before);
}

TEST_F(ProfileStoreTest, ReloadCapturesTheKeyboardIntoTheCurrentFileAndLoadsIt) {
    const ImageContents image = KeyboardImage(facts.KeyDefaults(), 1);
    PutOnKeyboard(image);
    SetKeyboardProfile(2);

    store.ReloadProfileFromDevice();
    EXPECT_EQ(Working(), image);
    EXPECT_EQ(documents.Entries("Quorvane_51M"), std::vector<std::string>{"$Profile0"});
    EXPECT_EQ(shownMacros, std::vector<std::size_t>{2});
    EXPECT_EQ(applyCleared, 1);
}

TEST_F(ProfileStoreTest, SavingWritesTheOneCurrentFileOnceItExists) {
    SetKeyboardProfile(0);
    EXPECT_FALSE(store.SaveImageToCurrentProfileFile(test::VariedImage()));
    EXPECT_FALSE(std::filesystem::exists(CurrentFile())) << "nothing to keep in step yet";

    store.ReloadProfileFromDevice();
    SetKeyboardProfile(2);
    ASSERT_TRUE(store.SaveImageToCurrentProfileFile(test::VariedImage()));
    EXPECT_EQ(documents.Entries("Quorvane_51M"), std::vector<std::string>{"$Profile0"});
    ImageContents saved;
    ASSERT_TRUE(LoadImageFromFile(CurrentFile(), saved).Loaded());
    EXPECT_EQ(saved.macros, test::VariedImage().macros);
}

TEST_F(ProfileStoreTest, ImportReplacesTheImageTheCurrentFileAndEveryKeyPage) {
    SetKeyboardProfile(1);
    store.ReloadProfileFromDevice();  // makes the current file
    const ImageContents image = KeyboardImage(facts.KeyDefaults(), 2);
    const std::filesystem::path path = documents.Path() / "mine.fwc";
    ASSERT_TRUE(WriteImageToFile(path, image));

    const ImportResult result = store.ImportProfile(path);
    EXPECT_EQ(result.status, ImportStatus::Imported);
    EXPECT_TRUE(result.savedCurrentFile);
    EXPECT_TRUE(result.writtenToKeyboard);
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(Working(), image);
    EXPECT_EQ(ReadFileBytes(CurrentFile()), ReadFileBytes(path));
    EXPECT_EQ(KeyboardBlocks(), image.blocks);
    EXPECT_EQ(shownMacros, (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(applyCleared, 2);
}

TEST_F(ProfileStoreTest, RefusedImportsTellTheUserAndChangeNothing) {
    SetKeyboardProfile(0);
    store.ReloadProfileFromDevice();
    *profileImage.Lock() = test::VariedImage();
    const std::vector<std::uint8_t> currentBefore = ReadFileBytes(CurrentFile());
    const std::filesystem::path damaged = documents.Path() / "damaged.fwc";
    ASSERT_TRUE(WriteDefaultProfileFile(damaged));
    std::vector<std::uint8_t> bytes = ReadFileBytes(damaged);
    ++bytes[31];
    test::WriteFileBytes(damaged, bytes);
    const std::filesystem::path tooShort = documents.Path() / "short.fwc";
    test::WriteFileBytes(tooShort, std::vector<std::uint8_t>(100, 0));

    struct Case {
        std::filesystem::path path;
        std::vector<std::string> shown;
    };
    const std::vector<Case> cases = {
        {damaged, {"Bad file: " + damaged.string(), "IDS_MAIN_PROMPT_INPORT"}},
        {documents.Path() / "absent.fwc", {"IDS_MAIN_PROMPT_INPORT"}},
        {tooShort, {"IDS_MAIN_PROMPT_INPORT"}},
    };
    keyboard.ClearSentReports();
    for (const Case& c : cases) {
        prompt.shown.clear();
        EXPECT_EQ(store.ImportProfile(c.path).status, ImportStatus::Refused) << c.path;
        EXPECT_EQ(prompt.shown, c.shown) << c.path;
    }
    EXPECT_EQ(Working(), test::VariedImage());
    EXPECT_EQ(ReadFileBytes(CurrentFile()), currentBefore);
    EXPECT_TRUE(keyboard.SentReports().empty());
    EXPECT_EQ(applyCleared, 1) << "only the reload's";
}

TEST_F(ProfileStoreTest, ExportWritesTheWorkingImageAndSaysNothing) {
    *profileImage.Lock() = test::VariedImage();
    const std::filesystem::path path = documents.Path() / "out.fwc";
    ASSERT_TRUE(store.ExportProfile(path));
    EXPECT_EQ(ReadFileBytes(path), EncodeProfileFile(test::VariedImage()).value());
    EXPECT_EQ(ui::ValidateProfileFile(path, prompt, "%s"), ProfileFileCheck::Valid);
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_TRUE(shownMacros.empty());
}

}  // namespace
}  // namespace qv::profiles
