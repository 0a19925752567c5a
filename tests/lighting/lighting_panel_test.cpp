// The lighting panel's rules: which controls each mode shows, and the bytes each control change
// writes to the simulated keyboard (or that it writes nothing).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/transport.h"
#include "driver/device_lighting.h"
#include "lighting/lighting_panel_model.h"
#include "sim/keyboard_layout.h"
#include "sim/sim_hid_service.h"

namespace qv::lighting {
namespace {

using driver::DeviceLighting;

using namespace std::chrono_literals;

// ---- Visibility ----

// Letters for the controls a mode shows: S speed, D direction, B group B, A group A,
// P presets, U user schemes; mode combo and brightness are always shown for a catalogued mode.
struct VisibilityCase {
    int mode;
    const char* shown;
};

std::string Letters(const PanelVisibility& v) {
    std::string letters;
    letters += v.speed ? "S" : "";
    letters += v.direction ? "D" : "";
    letters += v.singleColourGroupB ? "B" : "";
    letters += v.singleColourGroupA ? "A" : "";
    letters += v.presetColours ? "P" : "";
    letters += v.schemes ? "U" : "";
    return letters;
}

const VisibilityCase kVisibility[] = {
    {1, "SDB"}, {2, "SDB"}, {3, "SDB"}, {4, "S"},  {5, "SB"},  {6, "A"},   {7, "SB"},
    {8, "SB"},  {9, "SB"},  {10, "SB"}, {11, "S"}, {12, "SD"}, {13, "SB"}, {14, "SB"},
    {15, "SB"}, {16, "A"},  {17, "P"},  {18, "D"}, {20, "U"},
};

class PanelVisibilityTest : public ::testing::TestWithParam<VisibilityCase> {};

TEST_P(PanelVisibilityTest, ShowsTheControlsOfTheMode) {
    const PanelVisibility shown = VisibleControls(GetParam().mode, true);
    EXPECT_TRUE(shown.modeCombo && shown.brightness);
    EXPECT_EQ(Letters(shown), GetParam().shown);
    EXPECT_EQ(VisibleControls(GetParam().mode, false), PanelVisibility{});
}

INSTANTIATE_TEST_SUITE_P(Modes, PanelVisibilityTest, ::testing::ValuesIn(kVisibility),
                         [](const auto& param) {
                             return "Mode" + std::to_string(param.param.mode);
                         });

TEST(PanelVisibilityTest, AModeWithoutSettingsShowsOnlyTheModeCombo) {
    for (int mode : {19, 21, 200}) {
        EXPECT_EQ(VisibleControls(mode, true), PanelVisibility{.modeCombo = true}) << mode;
    }
}

TEST(PanelVisibilityTest, DirectionPicturesFollowTheModesPair) {
    EXPECT_EQ(DirectionPicturesFor(CatalogueEntry(12)->direction, 255).first, "updown.bmp");
    EXPECT_EQ(DirectionPicturesFor(CatalogueEntry(18)->direction, 0).second, "julongdown.bmp");
    EXPECT_EQ(DirectionPicturesFor(CatalogueEntry(5)->direction, 0).first, "leftup.bmp");
    EXPECT_EQ(DirectionPlacementFor(CatalogueEntry(2)->direction).first, "CONTROL_BLFXLStaPic2");
}

// ---- Writes on the simulated keyboard ----

class PanelSwitch final : public PanelSwitchStore {
public:
    bool PanelSwitchOn() const override { return on; }
    void SetPanelSwitch(bool value) override {
        on = value;
        ++writes;
    }
    bool on = false;
    int writes = 0;
};

// A lighting write as the keyboard took it.
struct Sent {
    std::uint16_t offset;
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const Sent&, const Sent&) = default;
};

void PrintTo(const Sent& sent, std::ostream* os) {
    *os << sent.offset << ":";
    for (std::uint8_t byte : sent.bytes) {
        *os << " " << static_cast<int>(byte);
    }
}

class PanelWriteTest : public ::testing::Test {
protected:
    // Profile 1 (record at 64) runs `mode` with brightness 4, speed 2, multicolour on.
    void Start(int mode, std::vector<std::uint8_t> modeList = {}) {
        keyboard.UpdateMemory([&](sim::KeyboardMemory& m) {
            m.lighting[64 + kModeField] = static_cast<std::uint8_t>(mode);
            m.settings[sim::kSettingsActiveProfile] = 1;
            if (!modeList.empty()) {
                std::fill_n(m.settings.begin() + sim::kSettingsModeList, 32, std::uint8_t{0});
                std::ranges::copy(modeList, m.settings.begin() + sim::kSettingsModeList);
            }
        });
        ASSERT_TRUE(transport.Load(nullptr));
        lighting.SetCurrentProfile(1);
        ASSERT_EQ(lighting.ReadLighting(DeviceLighting::ReadKind::Reconnect), 0);
        panel.Refresh(lighting.mirror(), lighting.state(), 1,
                      LightingPanelModel::RefreshKind::Arrival);
        panel.Open();
        keyboard.ClearSentReports();
    }

    // Sends the write and gives the lighting writes of its bracket.
    std::vector<Sent> Send(const LightingWrite& write) {
        keyboard.ClearSentReports();
        EXPECT_TRUE(lighting.Write(write).Succeeded());
        std::vector<Sent> sent;
        const auto reports = keyboard.SentReports();
        for (const auto& bytes : reports) {
            const device::DeviceReport report(bytes);
            if (report.Command() == device::CMD_WRITE_LIGHTING) {
                const auto payload = report.Payload().first(report.Length());
                sent.push_back({report.Offset(), {payload.begin(), payload.end()}});
            }
        }
        if (!sent.empty()) {
            EXPECT_EQ(device::DeviceReport(reports.front()).Command(), device::CMD_BEGIN_TRANSFER);
            EXPECT_EQ(device::DeviceReport(reports.back()).Command(), device::CMD_END_TRANSFER);
        } else {
            EXPECT_TRUE(reports.empty());
        }
        return sent;
    }

    sim::SimHidService keyboard;
    device::Transport transport{keyboard,
                                {.replyWait = 100ms, .retryPause = 1ms, .endTransferPause = 0ms}};
    device::DeviceCommands commands{transport, 0ms};
    PanelSwitch panelSwitch;
    DeviceLighting lighting{commands, panelSwitch};
    LightingPanelModel panel{&panelSwitch};
};

TEST_F(PanelWriteTest, EachControlWritesItsBytesIntoTheCurrentRecord) {
    Start(1);
    EXPECT_EQ(Send(panel.SetBrightness(2)), (std::vector<Sent>{{65, {2}}}));
    // The speed slider shows 4 - speed.
    EXPECT_EQ(Send(panel.SetSpeedPosition(0)), (std::vector<Sent>{{66, {4}}}));
    EXPECT_EQ(panel.SpeedPosition(), 0);
    EXPECT_EQ(Send(panel.SetDirection(kDirectionFirst)), (std::vector<Sent>{{67, {255}}}));
    // A colour turns multicolour off, the flag first.
    EXPECT_EQ(Send(panel.SetColour(0x332211)),
              (std::vector<Sent>{{68, {0}}, {69, {0x11, 0x22, 0x33}}}));
    EXPECT_EQ(Send(panel.ToggleMulticolour()), (std::vector<Sent>{{68, {1}}}));
    EXPECT_EQ(Send(panel.SetPresetColour(2)), (std::vector<Sent>{{81, {2}}}));
    EXPECT_EQ(Send(panel.SetReportRate(3)), (std::vector<Sent>{{79, {3}}}));

    const sim::KeyboardMemory memory = keyboard.Memory();
    EXPECT_EQ(memory.lighting[65], 2);
    EXPECT_EQ(memory.lighting[71], 0x33);
    EXPECT_EQ(lighting.state().colour, 0x332211u);
    EXPECT_EQ(lighting.state().brightness, 2);
    EXPECT_EQ(panel.State().presetColour, 2);
}

TEST_F(PanelWriteTest, ValuesAlreadyHeldAreNotWrittenAgain) {
    Start(1);
    EXPECT_TRUE(Send(panel.SetBrightness(4)).empty());
    EXPECT_TRUE(Send(panel.SetSpeedPosition(2)).empty());
    EXPECT_TRUE(Send(panel.SetDirection(kDirectionSecond)).empty());
    EXPECT_TRUE(Send(panel.SelectMode(1)).empty());
    EXPECT_TRUE(Send(panel.SetPresetColour(0)).empty());
    EXPECT_FALSE(Send(panel.SetColour(0x0000FF)).empty());
    EXPECT_TRUE(Send(panel.SetColour(0x0000FF)).empty());
}

TEST_F(PanelWriteTest, TogglingTwiceSendsTwoWritesAndReturnsTheFlag) {
    Start(5);
    EXPECT_EQ(Send(panel.ToggleMulticolour()), (std::vector<Sent>{{68, {0}}}));
    EXPECT_EQ(Send(panel.ToggleMulticolour()), (std::vector<Sent>{{68, {1}}}));
    EXPECT_TRUE(panel.State().multicolour);
}

struct ModeCase {
    const char* name;
    int mode;
    std::vector<Sent> sent;
};

// The flag goes with the modes that take it; mode 10 shows the colour group but writes only
// its mode; modes without a catalogue entry write nothing.
const ModeCase kModeCases[] = {
    {"Mode3TakesTheFlag", 3, {{68, {1}}, {64, {3}}}},
    {"Mode15TakesTheFlag", 15, {{68, {1}}, {64, {15}}}},
    {"Mode10ModeOnly", 10, {{64, {10}}}},
    {"Mode6ModeOnly", 6, {{64, {6}}}},
    {"Mode20ModeOnly", 20, {{64, {20}}}},
    {"Mode19Nothing", 19, {}},
    {"Mode21Nothing", 21, {}},
    {"ModeNotListedNothing", 2, {}},
};

void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << c.name;
}

class PanelModeTest : public PanelWriteTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(PanelModeTest, SelectingAModeWritesWhatTheCatalogueSays) {
    const ModeCase& c = GetParam();
    Start(4, {4, 3, 15, 10, 6, 19, 20, 21});
    EXPECT_EQ(Send(panel.SelectMode(c.mode)), c.sent);
    const bool listed = c.mode != 2;
    EXPECT_EQ(panel.State().mode, listed ? c.mode : 4);
    // The mode the keyboard runs changes only with a write.
    EXPECT_EQ(keyboard.Memory().lighting[64], c.sent.empty() ? 4 : c.mode);
}

INSTANTIATE_TEST_SUITE_P(Modes, PanelModeTest, ::testing::ValuesIn(kModeCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(PanelWriteTest, OnlyTheModesTheKeyboardListsAreOffered) {
    Start(3, {3, 0, 0, 20, 0, 7});
    EXPECT_EQ(panel.Modes().size(), 3);
    EXPECT_EQ(panel.Modes().ModeAtPosition(1), 20);
    EXPECT_EQ(panel.SelectedPosition(), 0);
    EXPECT_EQ(Send(panel.SelectModeAt(2)), (std::vector<Sent>{{68, {1}}, {64, {7}}}));
    EXPECT_TRUE(Send(panel.SelectModeAt(3)).empty());
    EXPECT_TRUE(panel.PerKeyModeSupported());
    EXPECT_FALSE(panel.PerKeyModeSelected());
    EXPECT_FALSE(Send(panel.SelectModeAt(1)).empty());
    EXPECT_TRUE(panel.PerKeyModeSelected());
}

TEST_F(PanelWriteTest, AModeWithoutSettingsKeepsTheOtherControlsFromWriting) {
    Start(3, {3, 19});
    EXPECT_TRUE(Send(panel.SelectMode(19)).empty());
    EXPECT_EQ(panel.Visibility(), PanelVisibility{.modeCombo = true});
    // A later write leaves the selection where the user put it.
    EXPECT_FALSE(Send(panel.SetBrightness(1)).empty());
    EXPECT_EQ(panel.State().mode, 19);
    EXPECT_EQ(Send(panel.SelectMode(3)), (std::vector<Sent>{{68, {1}}, {64, {3}}}));
}

TEST_F(PanelWriteTest, DefaultsSelectModeOneThenWriteTheRecordOnlyWhileOpen) {
    Start(12);
    panel.Close();
    EXPECT_TRUE(panel.RestoreDefaults().empty());
    panel.Open();
    const std::vector<LightingWrite> writes = panel.RestoreDefaults();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(Send(writes[0]), (std::vector<Sent>{{68, {1}}, {64, {1}}}));
    const std::vector<Sent> defaults = Send(writes[1]);
    ASSERT_EQ(defaults.size(), 1u);
    EXPECT_EQ(defaults[0].offset, 64);
    EXPECT_EQ(defaults[0].bytes, std::vector<std::uint8_t>(kDefaultLightingBytes.begin(),
                                                           kDefaultLightingBytes.end()));
    EXPECT_EQ(panel.State().brightness, 4);
    EXPECT_EQ(panel.State().colour, 0xFFFFFFu);
    EXPECT_EQ(panel.SpeedPosition(), 2);
}

TEST_F(PanelWriteTest, TheLampIsKeptAndFollowedOnlyAtArrival) {
    Start(6);
    EXPECT_TRUE(panel.IsOpen());
    EXPECT_TRUE(panelSwitch.on);
    EXPECT_EQ(Letters(panel.Visibility()), "A");
    panel.Close();
    EXPECT_FALSE(panelSwitch.on);
    EXPECT_EQ(panel.Visibility(), PanelVisibility{});

    // Another read (the session's state still says open) leaves the lamp as the user left it.
    LightingState read = lighting.state();
    read.lightingPanelOpen = true;
    panel.Refresh(lighting.mirror(), read, 1, LightingPanelModel::RefreshKind::Read);
    EXPECT_FALSE(panel.IsOpen());
    panel.Refresh(lighting.mirror(), read, 1, LightingPanelModel::RefreshKind::Arrival);
    EXPECT_TRUE(panel.IsOpen());
}

TEST_F(PanelWriteTest, APresetOutsideTheFourShowsRed) {
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) { m.lighting[64 + kPresetColourField] = 7; });
    Start(17);
    EXPECT_EQ(panel.ShownPresetColour(), 0);
    EXPECT_EQ(Letters(panel.Visibility()), "P");
}

}  // namespace
}  // namespace qv::lighting
