#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "device/command_result.h"
#include "device/transport.h"
#include "driver/device_image_writer.h"
#include "editing/macro_memory_meter.h"
#include "macros/macro_area.h"
#include "sim/fault_plan.h"
#include "sim/sim_hid_service.h"

namespace qv::profiles {
namespace {

using driver::ApplyImageToDevice;
using driver::DeviceWriteContext;
using driver::DeviceWriteResult;
using driver::DeviceWriteStatus;
using driver::PageSelection;

using keys::KeyKind;

struct SentReport {
    std::uint8_t command;
    std::uint16_t offset;
    std::uint8_t length;
    friend bool operator==(const SentReport&, const SentReport&) = default;
};

macros::MacroRecord Macro(std::uint16_t id, std::u16string name, std::size_t actions) {
    macros::MacroRecord record;
    record.macroId = id;
    record.name = std::move(name);
    for (std::size_t i = 0; i < actions; ++i) {
        record.actions.push_back({50, 0x01E, macros::KeyState::Press});
    }
    return record;
}

constexpr std::size_t kFullCapacity = 8192;

class DeviceImageWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(transport.Load(nullptr));
        InstallDefaultImage(*profileImage.Lock());
    }

    DeviceWriteContext Context(std::size_t capacity, int activeProfile) {
        return {commands, keyboardDefaults, capacity, activeProfile};
    }

    [[nodiscard]] DeviceWriteResult Apply(PageSelection pages, std::size_t capacity,
                                          int activeProfile) {
        const DeviceWriteResult result =
            ApplyImageToDevice(profileImage, deviceImage, pages, Context(capacity, activeProfile));
        keyboard.WaitUntilIdle();
        return result;
    }

    std::vector<SentReport> Sent() const {
        std::vector<SentReport> sent;
        for (const device::ReportBytes& bytes : keyboard.SentReports()) {
            const device::DeviceReport report(bytes);
            sent.push_back({report.Command(), report.Offset(), report.Length()});
        }
        return sent;
    }

    sim::SimHidService keyboard;
    device::Transport transport{
        keyboard,
        {.replyWait = std::chrono::milliseconds(100), .retryPause = std::chrono::milliseconds(10)}};
    device::DeviceCommands commands{transport};
    const keys::KeyDefaultTable keyboardDefaults = keyboard.Memory().keyDefaults;
    ProfileImage profileImage;
    DeviceImage deviceImage;
};

TEST_F(DeviceImageWriterTest, RefusalsSendNothing) {
    struct Case {
        const char* what;
        std::size_t capacity;
        int activeProfile;
        DeviceWriteStatus status;
    };
    // One macro of two actions: compact 16 + 2 + 4 + 8 = 30 bytes.
    const std::vector<Case> cases = {
        {"no attach yet: not even the empty header fits", 0, 0, DeviceWriteStatus::MacrosTooLong},
        {"one byte short of the compact area", 29, 0, DeviceWriteStatus::MacrosTooLong},
        {"the keyboard's profile is not known", kFullCapacity, -1, DeviceWriteStatus::NotSent},
    };
    profileImage.Lock()->macros = {Macro(1, u"m", 2)};
    for (const Case& c : cases) {
        EXPECT_EQ(Apply(PageSelection::ActiveProfile, c.capacity, c.activeProfile).status, c.status)
            << c.what;
        EXPECT_TRUE(Sent().empty()) << c.what;
    }
}

TEST_F(DeviceImageWriterTest, ActiveProfileSendsItsPageAfterTheWholeMacroArea) {
    const sim::KeyboardMemory before = keyboard.Memory();
    {
        const ProfileImage::Access image = profileImage.Lock();
        // 16 + 4 + 3 x (4 + 4 x 20) = 272 bytes with names of 1..3 units: five chunks of 56.
        image->macros = {Macro(4, u"a", 20), Macro(9, u"bb", 20), Macro(2, u"ccc", 20)};
        image->blocks[2][1] = {KeyKind::Macro, 1, 9};  // Esc plays the second macro
        image->blocks[0][1] = {KeyKind::Disabled};     // another profile: not sent
    }
    const DeviceWriteResult result = Apply(PageSelection::ActiveProfile, kFullCapacity, 2);
    ASSERT_TRUE(result.Written());
    EXPECT_FALSE(result.namesDropped);

    const auto area = macros::EncodeMacroArea(profileImage.Lock()->macros, true);
    ASSERT_TRUE(area.has_value());
    ASSERT_EQ(area->size(), 16u + 6u + 3u * 84u + 12u);
    std::vector<SentReport> expected = {{device::CMD_BEGIN_TRANSFER, 0, 0}};
    for (std::size_t offset = 0; offset < area->size(); offset += 56) {
        expected.push_back(
            {device::CMD_WRITE_MACROS, static_cast<std::uint16_t>(offset),
             static_cast<std::uint8_t>(std::min<std::size_t>(56, area->size() - offset))});
    }
    for (const std::uint16_t offset :
         {std::uint16_t{384}, std::uint16_t{440}, std::uint16_t{496}, std::uint16_t{552}}) {
        expected.push_back({device::CMD_WRITE_KEY_PAGE, offset,
                            static_cast<std::uint8_t>(offset == 552 ? 24 : 56)});
    }
    expected.push_back({device::CMD_END_TRANSFER, 0, 0});
    EXPECT_EQ(Sent(), expected);

    const sim::KeyboardMemory after = keyboard.Memory();
    EXPECT_TRUE(std::equal(area->begin(), area->end(), after.macroArea.begin()));
    // Esc is position 8 of the keyboard's table.
    EXPECT_EQ(after.keyPages[384 + 24], 0x05);
    EXPECT_EQ(after.keyPages[384 + 25], 0x01);
    EXPECT_EQ(after.keyPages[384 + 26], 0x01) << "macro id 9 stands at position 1";
    for (const std::size_t page : {0u, 1u, 3u}) {
        EXPECT_TRUE(std::equal(after.keyPages.begin() + 192 * page,
                               after.keyPages.begin() + 192 * (page + 1),
                               before.keyPages.begin() + 192 * page))
            << "page " << page << " untouched";
    }
    EXPECT_EQ(*deviceImage.Lock(), *profileImage.Lock()) << "the device image is the copy sent";
}

TEST_F(DeviceImageWriterTest, NamesAreDroppedWhenOnlyTheCompactAreaFits) {
    // Compact 16 + 2 + 4 + 4 = 26 bytes, full 26 + 20 = 46.
    profileImage.Lock()->macros = {Macro(1, u"ten chars!", 1)};
    const DeviceWriteResult result = Apply(PageSelection::ActiveProfile, 30, 0);
    ASSERT_TRUE(result.Written());
    EXPECT_TRUE(result.namesDropped);

    const auto compact = macros::EncodeMacroArea(profileImage.Lock()->macros, false);
    ASSERT_TRUE(compact.has_value());
    ASSERT_EQ(compact->size(), 26u);
    const sim::KeyboardMemory memory = keyboard.Memory();
    EXPECT_TRUE(std::equal(compact->begin(), compact->end(), memory.macroArea.begin()));
    EXPECT_EQ(memory.macroArea[6], 0) << "names flag";
    EXPECT_EQ(Sent().back().command, device::CMD_END_TRANSFER);
}

// What the macro page's meter foretells is what the write does, at every edge of the rule.
TEST_F(DeviceImageWriterTest, TheMemoryMeterForetellsTheWrite) {
    profileImage.Lock()->macros = {Macro(1, u"ab", 1)};  // compact 26 bytes, full 30
    for (const std::size_t capacity : {31u, 30u, 29u, 26u, 25u, 0u}) {
        SCOPED_TRACE(capacity);
        const macros::MacroMemoryMeter meter =
            macros::MeasureMacroMemory(profileImage.Lock()->macros, capacity);
        const DeviceWriteResult result = Apply(PageSelection::ActiveProfile, capacity, 0);
        EXPECT_EQ(result.status == DeviceWriteStatus::MacrosTooLong, meter.ApplyRefused());
        EXPECT_EQ(result.Written(), !meter.ApplyRefused());
        EXPECT_EQ(result.namesDropped, meter.NamesDropped());
    }
}

TEST_F(DeviceImageWriterTest, AllProfilesWriteAndReadBackThroughTheKeyboard) {
    const std::vector<keys::KeyEntry> assignments = {
        {KeyKind::Disabled},        {KeyKind::Key, 0, 0x171}, {KeyKind::Key, 0, 0x02A},
        {KeyKind::Macro, 0, 2},     {KeyKind::StopMacro},     {KeyKind::Media, 0, 13},
        {KeyKind::Function, 0, 10}, {KeyKind::Key, 0, 0x162},
    };
    {
        const ProfileImage::Access image = profileImage.Lock();
        image->macros = {Macro(1, u"one", 3), Macro(2, u"two", 1)};
        std::size_t next = 0;
        for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
            image->blocks[profile] = keys::FreshKeyBlock();
            for (std::size_t position = profile; position < keys::kKeyPositions; position += 3) {
                const keys::KeyCode code = keys::DecodeDeviceAction(
                    keys::DeviceAction::FromBytes(keyboardDefaults, 3 * position));
                if (code != keys::kNoKey && code != 0x02A) {
                    const keys::KeyEntry& a = assignments[next++ % assignments.size()];
                    keys::KeyEntry& entry = image->blocks[profile][keys::KeyCodeToIndex(code)];
                    entry.kind = a.kind;
                    entry.value = a.value;
                }
            }
        }
        // G key 1 sits at position 0 of the keyboard's table.
        image->blocks[3][256] = {KeyKind::Macro, 0x0301, 1};
    }
    ASSERT_TRUE(Apply(PageSelection::AllProfiles, kFullCapacity, 0).Written());
    std::vector<std::uint16_t> pageOffsets;
    for (const SentReport& report : Sent()) {
        if (report.command == device::CMD_WRITE_KEY_PAGE) {
            pageOffsets.push_back(report.offset);
        }
    }
    EXPECT_EQ(pageOffsets.size(), 16u);
    EXPECT_TRUE(std::is_sorted(pageOffsets.begin(), pageOffsets.end()));

    keys::KeyDefaultTable defaults{};
    ASSERT_EQ(commands.ReadKeyDefaults(defaults), device::kSuccess);
    for (int profile = 0; profile < 4; ++profile) {
        keys::KeyPage page{};
        ASSERT_EQ(commands.ReadKeyPage(page, profile), device::kSuccess);
        const keys::DecodedKeyPage decoded = keys::DecodeKeyPage(page, defaults);
        EXPECT_TRUE(decoded.problems.empty());
        // Macro ids come back as positions + 1, which these ids already are; the G key's aux
        // holds its code, as in a fresh block.
        keys::KeyBlock expected = profileImage.Lock()->blocks[static_cast<std::size_t>(profile)];
        EXPECT_EQ(decoded.block, expected) << "profile " << profile;
    }
}

// Every report must be taken: a failure anywhere is reported, and where it stops decides
// whether the keyboard may hold a mix of old and new.
TEST_F(DeviceImageWriterTest, EveryWriteMustSucceed) {
    struct Case {
        const char* what;
        std::function<void()> arm;
        DeviceWriteStatus status;
    };
    // Begin, the 16-byte empty area, four pages of four chunks, end.
    const std::vector<Case> cases = {
        // Every attempt of the begin answered with a failure status.
        {"the begin is refused: nothing changed", [this] { keyboard.AnswerStatus(0xFF, 3); },
         DeviceWriteStatus::NotWritten},
        {"the keyboard goes after the begin", [this] { keyboard.UnplugAfterReports(2); },
         DeviceWriteStatus::PartlyWritten},
        {"the first chunk never goes out: nothing changed",
         [this] { keyboard.AddFaultsAhead({{.kind = sim::FaultKind::Refuse, .report = 2}}); },
         DeviceWriteStatus::NotWritten},
        {"a later chunk never goes out",
         [this] { keyboard.AddFaultsAhead({{.kind = sim::FaultKind::Refuse, .report = 3}}); },
         DeviceWriteStatus::PartlyWritten},
        {"the end never goes out: everything new was taken",
         [this] { keyboard.AddFaultsAhead({{.kind = sim::FaultKind::Refuse, .report = 19}}); },
         DeviceWriteStatus::EndNotConfirmed},
        {"the keyboard goes in the fourth page", [this] { keyboard.UnplugAfterReports(18); },
         DeviceWriteStatus::PartlyWritten},
        {"every report taken", [] {}, DeviceWriteStatus::Written},
    };
    for (const Case& c : cases) {
        keyboard.Plug();
        c.arm();
        EXPECT_EQ(Apply(PageSelection::AllProfiles, kFullCapacity, 0).status, c.status) << c.what;
    }
}

}  // namespace
}  // namespace qv::profiles
