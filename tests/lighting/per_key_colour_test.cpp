// Per-key colours: painting with the two tools, shared slots, the base colour, schemes kept in
// the user colour file, the colour page bytes the simulated keyboard gets, and the preview rule.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "device/transport.h"
#include "driver/colour_writes.h"
#include "lighting/lighting_preview.h"
#include "lighting/per_key_paint.h"
#include "sim/sim_hid_service.h"
#include "texts/temp_folder.h"

namespace qv::lighting {
namespace {

using driver::SendColourWrite;

using namespace std::chrono_literals;

constexpr ViewKey kZ = ViewKey::Main(0x02C);
constexpr ViewKey kBackspace = ViewKey::Main(0x00E);
constexpr ViewKey kF5 = ViewKey::Main(0x03F);  // no slot of its own
constexpr ViewKey kF7 = ViewKey::Main(0x041);  // no slot of its own
constexpr ViewKey kA = ViewKey::Main(0x01E);

TEST(ColourSlotsTest, KeysFindTheirSlots) {
    EXPECT_EQ(ColouredKeys().size(), 104u + 7u + 1u);
    EXPECT_EQ(PaintSlotOf(kZ), 34);
    EXPECT_EQ(PaintSlotOf(kBackspace), 34);
    EXPECT_EQ(PaintSlotOf(kF5), kSharedColourSlot);
    EXPECT_EQ(PaintSlotOf(ViewKey::G(1)), 39);
    EXPECT_EQ(PaintSlotOf(ViewKey::G(7)), 22);
    EXPECT_EQ(PaintSlotOf(ViewKey::FnKey()), 42);
    EXPECT_EQ(PaintSlotOf(ViewKey::D(3)), kExtraKeyColourSlot);
    EXPECT_FALSE(PaintSlotOf(ViewKey::G(8)));
    EXPECT_FALSE(PaintSlotOf(ViewKey::G(9)));
    EXPECT_FALSE(PaintSlotOf(ViewKey::Main(0x171)));  // a mouse button is no key of the view
    EXPECT_FALSE(ColouredKeyIndex(ViewKey::D(3)));
}

class PerKeyColourTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(transport.Load(nullptr)); }

    // The writes a colour change made, as (offset, length) of each report of its bracket.
    std::vector<std::pair<int, int>> Send(const ColourWrite& write) {
        keyboard.ClearSentReports();
        EXPECT_TRUE(SendColourWrite(commands, write).Succeeded());
        std::vector<std::pair<int, int>> sent;
        for (const auto& bytes : keyboard.SentReports()) {
            const device::DeviceReport report(bytes);
            if (report.Command() == device::CMD_WRITE_KEY_COLOURS) {
                sent.emplace_back(report.Offset(), report.Length());
            }
        }
        return sent;
    }

    Colour KeyboardSlot(int profile, int slot) {
        const sim::KeyboardMemory memory = keyboard.Memory();
        return ColourFromBytes(std::span(memory.colourPages)
                                   .subspan(static_cast<std::size_t>(profile * 192 + slot * 3), 3));
    }

    std::filesystem::path File(int profile) const {
        return UserColourFilePath(folder.Path(), profile);
    }

    // What the profile's file holds for the scheme in use.
    UserColourFile Scheme(int profile) const {
        auto loaded = UserColourFile::Load(File(profile));
        EXPECT_TRUE(std::holds_alternative<UserColourFile>(loaded));
        return std::holds_alternative<UserColourFile>(loaded) ? std::get<UserColourFile>(loaded)
                                                              : UserColourFile();
    }
    SlotEntry SchemeSlot(int profile, int slot) const {
        const UserColourFile file = Scheme(profile);
        return file.Slot(file.PresentScheme(), slot);
    }
    Colour SchemeKeyColour(int profile) const {
        const UserColourFile file = Scheme(profile);
        return file.Tools(file.PresentScheme()).keyColour;
    }

    test::TempFolder folder;
    sim::SimHidService keyboard;
    device::Transport transport{keyboard,
                                {.replyWait = 100ms, .retryPause = 1ms, .endTransferPause = 0ms}};
    device::DeviceCommands commands{transport, 0ms};
    PerKeyPaint paint{folder.Path()};
};

TEST_F(PerKeyColourTest, TheWholePageGoesInFourWritesFromTheScheme) {
    UserColourFile file;
    file.SetSlot(0, 46, {0x123456, false});
    ASSERT_FALSE(file.Save(File(2)));
    const ColourWrite load = paint.Load(2);
    EXPECT_EQ(Send(load), (std::vector<std::pair<int, int>>{
                              {384, 54}, {384 + 54, 54}, {384 + 108, 54}, {384 + 162, 30}}));
    EXPECT_EQ(KeyboardSlot(2, 46), 0x123456u);
    EXPECT_EQ(KeyboardSlot(2, 1), kDefaultSlotColour);  // Esc, from the default entry
    EXPECT_EQ(KeyboardSlot(2, 0), 0u);                  // no key loads slot 0
    EXPECT_TRUE(paint.FollowsBase(kA, 2));
    EXPECT_FALSE(paint.FollowsBase(ViewKey::Main(0x039), 2));  // Space, slot 46
}

TEST_F(PerKeyColourTest, PaintingWritesOneSlotAndKeepsItInTheScheme) {
    static_cast<void>(paint.Load(1));
    paint.SetKeyColour(0x00FF00);
    const ColourWrite write = paint.Paint(kA);
    EXPECT_EQ(Send(write), (std::vector<std::pair<int, int>>{{192 + 26 * 3, 3}}));
    EXPECT_EQ(KeyboardSlot(1, 26), 0x00FF00u);
    EXPECT_FALSE(paint.FollowsBase(kA, 1));
    EXPECT_EQ(SchemeSlot(1, 26), (SlotEntry{0x00FF00, false}));
    EXPECT_EQ(SchemeKeyColour(1), 0x00FF00u);
}

TEST_F(PerKeyColourTest, SharedSlotsTakeTheColourTogether) {
    static_cast<void>(paint.Load(0));
    paint.SetPaintTool(PerKeyPaint::kToolBaseColour);
    static_cast<void>(paint.SetBaseColour(0x0000AA));
    static_cast<void>(paint.Paint(kZ));
    EXPECT_EQ(paint.KeyColour(kBackspace), 0x0000AAu);
    EXPECT_TRUE(paint.FollowsBase(kZ, 0));

    paint.SetPaintTool(PerKeyPaint::kToolKeyColour);
    paint.SetKeyColour(0x112233);
    EXPECT_EQ(Send(paint.Paint(kF5)), (std::vector<std::pair<int, int>>{{63 * 3, 3}}));
    EXPECT_EQ(paint.KeyColour(kF7), 0x112233u);
    // D1..D6 paint slot 0 and are not shown from the page.
    EXPECT_EQ(Send(paint.Paint(ViewKey::D(1))), (std::vector<std::pair<int, int>>{{0, 3}}));
    EXPECT_FALSE(paint.KeyColour(ViewKey::D(1)));
    EXPECT_TRUE(paint.Paint(ViewKey::G(8)).empty());
}

TEST_F(PerKeyColourTest, TheBaseColourRecoloursOnlyTheKeysThatFollowIt) {
    static_cast<void>(paint.Load(0));
    paint.SetKeyColour(0x010101);
    static_cast<void>(paint.Paint(kA));  // tool 0: no longer follows
    const ColourWrite recolour = paint.SetBaseColour(0x00C0C0);
    EXPECT_EQ(recolour.kind, ColourWrite::Kind::Page);
    EXPECT_EQ(Send(recolour).size(), 4u);
    EXPECT_EQ(KeyboardSlot(0, 26), 0x010101u);
    EXPECT_EQ(KeyboardSlot(0, 27), 0x00C0C0u);  // S followed the base colour
    EXPECT_EQ(SchemeSlot(0, 27), (SlotEntry{0x00C0C0, true}));
    // The same colour again writes nothing.
    EXPECT_TRUE(paint.SetBaseColour(0x00C0C0).empty());
}

TEST_F(PerKeyColourTest, SchemesAreKeptApartInTheFile) {
    static_cast<void>(paint.Load(0));
    paint.SetKeyColour(0x0000FF);
    static_cast<void>(paint.Paint(kA));
    paint.RenameScheme("Red A");
    const ColourWrite other = paint.SelectScheme(4);
    EXPECT_EQ(other.kind, ColourWrite::Kind::Page);
    EXPECT_EQ(paint.CurrentScheme(), 4);
    EXPECT_EQ(paint.KeyColour(kA), kDefaultSlotColour);
    paint.SetKeyColour(0x00FF00);
    static_cast<void>(paint.Paint(kA));
    static_cast<void>(paint.SelectScheme(0));
    EXPECT_EQ(paint.KeyColour(kA), 0x0000FFu);
    EXPECT_EQ(paint.SchemeNames()[0], "Red A");
    EXPECT_EQ(paint.SchemeNames()[4], "0");
    // Another tool reading the file finds the scheme in use.
    PerKeyPaint again(folder.Path());
    static_cast<void>(again.Load(0));
    EXPECT_EQ(again.CurrentScheme(), 0);
}

TEST_F(PerKeyColourTest, ADamagedFileIsNeitherUsedNorWrittenOver) {
    const std::string damaged = "[Mode0]\n26=not a colour\n";
    std::ofstream(File(0), std::ios::binary) << damaged;
    EXPECT_TRUE(paint.Load(0).empty());
    ASSERT_TRUE(paint.Problem());
    EXPECT_NE(paint.Problem()->find("is not red,green,blue,flag"), std::string::npos);
    static_cast<void>(paint.Paint(kA));
    std::ifstream in(File(0), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), damaged);
    // Restoring the defaults replaces it.
    EXPECT_EQ(paint.RestoreDefaults().kind, ColourWrite::Kind::Page);
    EXPECT_FALSE(paint.Problem());
}

TEST_F(PerKeyColourTest, BaseMarksFollowTheRecordsBaseColour) {
    static_cast<void>(paint.Load(0));
    paint.SetKeyColour(0xFFFFFF);
    static_cast<void>(paint.Paint(kA));
    LightingMirror mirror;
    mirror.records[0][kBaseColourField] = 0xFF;
    mirror.records[0][kBaseColourField + 1] = 0xFF;
    mirror.records[0][kBaseColourField + 2] = 0xFF;
    paint.RebuildBaseMarks(mirror);
    EXPECT_TRUE(paint.FollowsBase(kA, 0));
    EXPECT_FALSE(paint.FollowsBase(kZ, 0));
}

// ---- Preview ----

TEST(LightingPreviewTest, ShowsWhatTheModeLightsTheKeyWith) {
    ColourPage page{};
    SetSlotColour(page, 26, 0x123456);
    LightingState state;
    state.colour = 0x0000FF;
    const auto preview = [&](int mode, bool multicolour, ViewKey key, bool open = true) {
        state.mode = mode;
        state.multicolour = multicolour;
        return PreviewColour({state, page, open}, key);
    };
    EXPECT_EQ(preview(20, false, kA), 0x123456u);
    EXPECT_EQ(preview(6, false, kA), 0x0000FFu);
    EXPECT_EQ(preview(5, false, ViewKey::G(2)), 0x0000FFu);
    EXPECT_FALSE(preview(5, true, kA));  // multicolour: no one colour
    EXPECT_FALSE(preview(4, false, kA));
    EXPECT_FALSE(preview(19, false, kA));
    EXPECT_FALSE(preview(6, false, kA, false));
    EXPECT_FALSE(preview(20, false, ViewKey::G(9)));
    state.presetColour = 3;
    EXPECT_EQ(preview(17, false, kA), 0xFF0000u);
}

}  // namespace
}  // namespace qv::lighting
