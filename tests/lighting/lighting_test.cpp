#include <gtest/gtest.h>

#include "device/command_result.h"
#include "device/transport.h"
#include "driver/active_profile.h"
#include "driver/device_lighting.h"
#include "sim/sim_hid_service.h"

namespace qv::lighting {
namespace {

using driver::DeviceLighting;
using driver::LightingWriteResult;

using namespace std::chrono_literals;

TEST(LightingStateTest, DecodesFieldsAndKeepsInvalidOptions) {
    LightingRecord record{};
    record[kModeField] = 5;
    record[kBrightnessField] = 3;
    record[kSpeedField] = 1;
    record[kDirectionField] = kDirectionFirst;
    record[kMulticolourField] = 9;
    record[kColourField] = 0x11;
    record[kColourField + 1] = 0x22;
    record[kColourField + 2] = 0x33;
    record[kReportRateField] = 7;
    record[kPresetColourField] = 2;
    record[kMode7OptionField] = 1;   // ignored: mode is not 7
    record[kTriggerStyleField] = 2;  // not a trigger style

    LightingState previous;
    previous.mode7Option = 0;
    previous.triggerStyle = 1;
    const LightingState state = DecodeLightingState(record, previous);
    EXPECT_EQ(state.mode, 5);
    EXPECT_EQ(state.brightness, 3);
    EXPECT_EQ(state.speed, 1);
    EXPECT_EQ(state.direction, 255);
    EXPECT_TRUE(state.multicolour);
    EXPECT_EQ(state.colour, 0x332211u);
    EXPECT_EQ(state.reportRate, 3);
    EXPECT_EQ(state.presetColour, 2);
    EXPECT_EQ(state.mode7Option, 0);
    EXPECT_EQ(state.triggerStyle, 1);

    record[kModeField] = 7;
    record[kTriggerStyleField] = 0;
    const LightingState mode7 = DecodeLightingState(record, previous);
    EXPECT_EQ(mode7.mode7Option, 1);
    EXPECT_EQ(mode7.triggerStyle, 0);
}

TEST(ModeIndexTableTest, SkipsGapsAndAnswersAbsentModes) {
    ModeIndexTable table;
    const std::array<std::uint8_t, 6> list{3, 0, 0, 20, 0, 7};
    table.Fill(list);
    EXPECT_EQ(table.size(), 3);
    EXPECT_EQ(table.ModePositionOf(20), 1);
    EXPECT_EQ(table.ModeAtPosition(2), 7);
    EXPECT_EQ(table.ModePositionOf(4), -1);
    EXPECT_EQ(table.ModeAtPosition(3), 0);

    DeviceSettingsBlock empty;
    EXPECT_FALSE(empty.IsModeSupported(kPerKeyColourMode));
    EXPECT_FALSE(empty.IsModeSupported(0));
}

class PanelSwitch final : public PanelSwitchStore {
public:
    bool PanelSwitchOn() const override { return on; }
    void SetPanelSwitch(bool value) override { on = value; }
    bool on = false;
};

class DeviceLightingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(transport.Load(nullptr)); }

    sim::SimHidService keyboard;
    device::Transport transport{keyboard, {.replyWait = 100ms, .retryPause = 10ms}};
    device::DeviceCommands commands{transport};
    PanelSwitch panelSwitch;
    DeviceLighting lighting{commands, panelSwitch};
};

TEST_F(DeviceLightingTest, ReadsEveryRecordAndDecodesTheCurrentProfile) {
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) {
        m.lighting[2 * 64 + kModeField] = 9;
        m.lighting[2 * 64 + kBrightnessField] = 1;
        m.lighting[2 * 64 + 60] = 0xEE;  // beyond what is read
    });
    lighting.SetCurrentProfile(2);
    ASSERT_EQ(lighting.ReadLighting(DeviceLighting::ReadKind::Refresh), 0);
    EXPECT_EQ(lighting.state().mode, 9);
    EXPECT_EQ(lighting.state().brightness, 1);
    const sim::KeyboardMemory memory = keyboard.Memory();
    for (std::size_t p = 0; p < 4; ++p) {
        EXPECT_TRUE(std::equal(lighting.mirror().records[p].begin(),
                               lighting.mirror().records[p].begin() + 56,
                               memory.lighting.begin() + p * 64));
    }
    EXPECT_EQ(lighting.mirror().records[2][60], 0);
    EXPECT_EQ(lighting.modeIndex().ModePositionOf(20), 18);
    EXPECT_TRUE(lighting.mirror().settings.IsModeSupported(kPerKeyColourMode));
}

TEST_F(DeviceLightingTest, FailedSettingsReadLeavesTheStateAndAnEmptyModeTable) {
    ASSERT_EQ(lighting.ReadLighting(DeviceLighting::ReadKind::Refresh), 0);
    const LightingState before = lighting.state();
    keyboard.AnswerStatus(0xFF, 3);
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) { m.lighting[kModeField] = 12; });
    EXPECT_EQ(lighting.ReadLighting(DeviceLighting::ReadKind::Refresh), -1);
    EXPECT_EQ(lighting.modeIndex().size(), 0);
    EXPECT_EQ(lighting.state().mode, before.mode);
}

TEST_F(DeviceLightingTest, PanelSwitchOnReconnectIsExact) {
    panelSwitch.on = true;
    ASSERT_EQ(lighting.ReadLighting(DeviceLighting::ReadKind::Refresh), 0);
    EXPECT_TRUE(lighting.state().lightingPanelOpen);
    panelSwitch.on = false;
    ASSERT_EQ(lighting.ReadLighting(DeviceLighting::ReadKind::Refresh), 0);
    EXPECT_TRUE(lighting.state().lightingPanelOpen);
    int schemes = 0;
    ASSERT_EQ(lighting.ReadLighting(DeviceLighting::ReadKind::Reconnect, [&] { ++schemes; }), 0);
    EXPECT_FALSE(lighting.state().lightingPanelOpen);
    EXPECT_EQ(schemes, 1);
}

TEST_F(DeviceLightingTest, RestoreDefaultsWritesThirtyFiveBytesOfTheCurrentRecord) {
    keyboard.UpdateMemory(
        [](sim::KeyboardMemory& m) { std::fill_n(m.lighting.begin() + 128, 64, 0x77); });
    lighting.SetCurrentProfile(2);
    keyboard.ClearSentReports();
    EXPECT_TRUE(lighting.RestoreLightingDefaults().Succeeded());

    const auto sent = keyboard.SentReports();
    ASSERT_EQ(sent.size(), 3u);
    const device::DeviceReport write(sent[1]);
    EXPECT_EQ(write.Command(), device::CMD_WRITE_LIGHTING);
    EXPECT_EQ(write.Offset(), 128);
    EXPECT_EQ(write.Length(), 35);
    EXPECT_EQ(device::DeviceReport(sent[0]).Command(), device::CMD_BEGIN_TRANSFER);
    EXPECT_EQ(device::DeviceReport(sent[2]).Command(), device::CMD_END_TRANSFER);

    const sim::KeyboardMemory memory = keyboard.Memory();
    EXPECT_TRUE(std::equal(kDefaultLightingBytes.begin(), kDefaultLightingBytes.end(),
                           memory.lighting.begin() + 128));
    for (std::size_t i = 163; i < 192; ++i) {
        EXPECT_EQ(memory.lighting[i], 0x77) << i;
    }
    EXPECT_EQ(lighting.state().mode, 1);
    EXPECT_EQ(lighting.state().colour, 0xFFFFFFu);
    EXPECT_TRUE(lighting.state().multicolour);
}

TEST_F(DeviceLightingTest, TwoFieldsGoInOneBracketFlagFirst) {
    const std::array<std::uint8_t, 1> flag{0};
    const std::array<std::uint8_t, 3> colour{1, 2, 3};
    keyboard.ClearSentReports();
    EXPECT_TRUE(lighting
                    .WriteLightingBytes({{RecordOffset(1, kMulticolourField), flag},
                                         {RecordOffset(1, kColourField), colour}})
                    .Succeeded());
    const auto sent = keyboard.SentReports();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(device::DeviceReport(sent[1]).Offset(), 64 + 4);
    EXPECT_EQ(device::DeviceReport(sent[2]).Offset(), 64 + 5);
    EXPECT_EQ(keyboard.Memory().lighting[64 + 7], 3);
}

// Every write is still sent after a failure; the first failure is what the write reports, and
// whether lighting bytes may have reached the keyboard by then.
TEST_F(DeviceLightingTest, WritesReportTheirFirstFailure) {
    const std::array<std::uint8_t, 1> flag{0};
    const std::array<std::uint8_t, 3> colour{1, 2, 3};
    const std::pair<std::uint16_t, Bytes> writes[] = {{RecordOffset(1, kMulticolourField), flag},
                                                      {RecordOffset(1, kColourField), colour}};

    keyboard.AnswerStatus(0xFF, 3);  // the bracket's start, sent three times
    const LightingWriteResult refusedStart = lighting.WriteLightingBytes(writes);
    EXPECT_EQ(refusedStart.commandResult, device::kStatusFF);
    EXPECT_TRUE(refusedStart.mayBePartlyWritten);
    EXPECT_EQ(keyboard.Memory().lighting[64 + 7], 3);

    keyboard.UpdateMemory([](sim::KeyboardMemory& m) { m.lighting[64 + 7] = 0; });
    const auto sentBefore = static_cast<std::uint32_t>(keyboard.SentReports().size());
    keyboard.PlanFaults({{.kind = sim::FaultKind::Refuse, .report = sentBefore + 3}});
    const LightingWriteResult refusedColour = lighting.WriteLightingBytes(writes);
    EXPECT_EQ(refusedColour.commandResult, device::kSendRefused);
    EXPECT_TRUE(refusedColour.mayBePartlyWritten);
    EXPECT_EQ(keyboard.Memory().lighting[64 + 7], 0);
    EXPECT_EQ(keyboard.SentReports().size(), sentBefore + 3u);  // the bracket is still closed

    keyboard.UpdateMemory([](sim::KeyboardMemory& m) { m.lighting[128] = 0x77; });
    keyboard.Unplug();
    const LightingWriteResult gone = lighting.RestoreLightingDefaults();
    EXPECT_FALSE(gone.Succeeded());
    EXPECT_EQ(keyboard.Memory().lighting[128], 0x77);
}

TEST_F(DeviceLightingTest, ActiveProfileIsCachedAndFollowsWrites) {
    driver::ActiveProfileCache active;
    keyboard.ClearSentReports();
    EXPECT_EQ(active.SetActiveProfile(commands, -1), device::kSuccess);
    EXPECT_TRUE(keyboard.SentReports().empty());

    EXPECT_EQ(active.SetActiveProfile(commands, 2), device::kSuccess);
    EXPECT_EQ(active.Cached(), 2);
    EXPECT_EQ(keyboard.Memory().settings[10], 2);

    keyboard.ClearSentReports();
    EXPECT_EQ(active.GetActiveProfile(commands), 2);
    EXPECT_TRUE(keyboard.SentReports().empty());

    // A profile the keyboard refuses leaves nothing known.
    EXPECT_EQ(active.SetActiveProfile(commands, 9), device::kStatusFF);
    EXPECT_EQ(active.Cached(), driver::ActiveProfileCache::kUnknown);

    keyboard.Unplug();
    EXPECT_EQ(active.GetActiveProfile(commands), driver::ActiveProfileCache::kUnknown);
    EXPECT_EQ(active.Cached(), driver::ActiveProfileCache::kUnknown);
    keyboard.Plug();
    EXPECT_EQ(active.GetActiveProfile(commands), 2);

    // A byte that names no profile is not taken as one.
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) { m.settings[10] = 7; });
    active.Forget();
    EXPECT_EQ(active.GetActiveProfile(commands), driver::ActiveProfileCache::kUnknown);
    EXPECT_EQ(active.Cached(), driver::ActiveProfileCache::kUnknown);
}

}  // namespace
}  // namespace qv::lighting
