#include "driver/profile_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "device/command_result.h"
#include "device/transport.h"
#include "driver/device_image_writer.h"
#include "keys/device_action.h"
#include "keys/key_page.h"
#include "profiles/profile_file.h"
#include "profiles/profile_file_codec.h"
#include "profiles/profile_file_support.h"
#include "profiles/profile_folder.h"
#include "sim/sim_hid_service.h"
#include "texts/temp_folder.h"

namespace qv::profiles {
namespace {

using driver::ApplyImageToDevice;
using driver::CaptureDevice;
using driver::CaptureDeviceToProfileFile;
using driver::CaptureResult;
using driver::CaptureStatus;
using driver::PageSelection;

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

class ProfileCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(transport.Load(nullptr));
        facts.SetKeyDefaults(keyboard.Memory().keyDefaults);
        facts.SetMacroCapacity(keyboard.Memory().MacroCapacity());
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

    sim::SimHidService keyboard;
    device::Transport transport{
        keyboard,
        {.replyWait = std::chrono::milliseconds(100), .retryPause = std::chrono::milliseconds(10)}};
    device::DeviceCommands commands{transport};
    profiles::DeviceFacts facts;
    qv::test::TempFolder documents;
};

TEST_F(ProfileCaptureTest, CaptureTakesEveryProfileAndTheMacros) {
    const ImageContents image = KeyboardImage(facts.KeyDefaults(), 0);
    PutOnKeyboard(image);
    const std::filesystem::path path = documents.Path() / "captured";
    const CaptureResult result = CaptureDeviceToProfileFile(path, commands, 4, facts, u"Macro ");
    ASSERT_TRUE(result.Captured());
    EXPECT_TRUE(result.problems.empty());

    EXPECT_EQ(CheckProfileFile(path).check, ProfileFileCheck::Valid);
    ImageContents loaded;
    ASSERT_TRUE(LoadImageFromFile(path, loaded).Loaded());
    EXPECT_EQ(loaded, image);
}

TEST_F(ProfileCaptureTest, CaptureReadsNoMoreMacroAreaThanTheKeyboardHolds) {
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

TEST_F(ProfileCaptureTest, FailedCapturesLeaveTheFileAsItWas) {
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

}  // namespace
}  // namespace qv::profiles
