// Recording from synthesised key and mouse events: what each event becomes, where it goes in
// the action list, and the delays, with and without measured pauses.

#include "editing/macro_recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::macros {
namespace {

constexpr keys::KeyCode kA = 0x01E;
constexpr keys::KeyCode kB = 0x030;
constexpr keys::KeyCode kX = 0x02D;
constexpr keys::KeyCode kY = 0x015;
constexpr keys::KeyCode kZ = 0x02C;
constexpr keys::KeyCode kMute = 0x120;
constexpr keys::KeyCode kLeftWin = 0x15B;
constexpr keys::KeyCode kPrint = keys::kKeyPrintScreen;
constexpr KeyState P = KeyState::Press;
constexpr KeyState R = KeyState::Release;

// One event of a script; the recording starts at time 1000.
struct Event {
    enum Kind { Key, KeyRepeat, Mouse, MouseOnRecordButton } kind;
    unsigned code;  // KeyCode, or the MouseButton
    bool pressed;
    std::uint64_t time;
    EventUse use;
};

struct RecordCase {
    const char* name;
    bool recordDelays;
    std::vector<MacroAction> before;
    std::optional<std::size_t> selected;
    std::vector<Event> events;
    std::vector<MacroAction> after;
};

constexpr auto Left = static_cast<unsigned>(MouseButton::Left);
constexpr auto Right = static_cast<unsigned>(MouseButton::Right);
constexpr auto Middle = static_cast<unsigned>(MouseButton::Middle);
constexpr EventUse Rec = EventUse::Recorded;
constexpr EventUse Swal = EventUse::Swallowed;
constexpr EventUse Pass = EventUse::PassedOn;

const RecordCase kCases[] = {
    // The first row has no action before it to pause after: its measured pause is dropped.
    {"TapWithDelays",
     true,
     {},
     {},
     {{Event::Key, kA, true, 1030, Rec}, {Event::Key, kA, false, 1150, Rec}},
     {{120, kA, P}, {0, kA, R}}},
    {"TapWithoutDelays",
     false,
     {},
     {},
     {{Event::Key, kA, true, 1030, Rec}, {Event::Key, kA, false, 1150, Rec}},
     {{50, kA, P}, {0, kA, R}}},
    {"HeldKeyRecordsOnePress",
     true,
     {},
     {},
     {{Event::Key, kA, true, 1010, Rec},
      {Event::Key, kA, true, 1040, Swal},
      {Event::KeyRepeat, kA, false, 1060, Swal},
      {Event::KeyRepeat, kA, true, 1070, Swal},
      {Event::Key, kA, false, 1100, Rec}},
     {{90, kA, P}, {0, kA, R}}},
    // The press is recorded with the release: the previous action pauses 2 ms, the press the
    // measured pause.
    {"ReleaseOnlyKeyWithDelays",
     true,
     {},
     {},
     {{Event::Key, kA, true, 1000, Rec},
      {Event::Key, kA, false, 1010, Rec},
      {Event::Key, kPrint, true, 1040, Swal},
      {Event::Key, kPrint, false, 1070, Rec}},
     {{10, kA, P}, {2, kA, R}, {60, kPrint, P}, {0, kPrint, R}}},
    {"ReleaseOnlyKeyWithoutDelays",
     false,
     {},
     {},
     {{Event::Key, kA, true, 1000, Rec},
      {Event::Key, kA, false, 1010, Rec},
      {Event::Key, kPrint, false, 1070, Rec}},
     {{50, kA, P}, {50, kA, R}, {50, kPrint, P}, {0, kPrint, R}}},
    {"MediaKeysAndUnnamedKeysPassOn",
     true,
     {},
     {},
     {{Event::Key, kMute, true, 1010, Pass},
      {Event::Key, keys::kNoKey, true, 1020, Pass},
      {Event::Key, kLeftWin, true, 1030, Rec},
      {Event::Key, kLeftWin, false, 1045, Rec}},
     {{15, kLeftWin, P}, {0, kLeftWin, R}}},
    // The click that stops the recording is not part of the macro; other buttons on the record
    // button are.
    {"MouseButtons",
     true,
     {},
     {},
     {{Event::MouseOnRecordButton, Left, true, 1010, Pass},
      {Event::MouseOnRecordButton, Right, true, 1100, Rec},
      {Event::MouseOnRecordButton, Right, false, 1130, Rec},
      {Event::Mouse, Left, true, 1200, Rec},
      {Event::Mouse, Middle, false, 1250, Rec},
      {Event::MouseOnRecordButton, Left, false, 1300, Pass}},
     {{30, keys::kKeyMouseRight, P},
      {70, keys::kKeyMouseRight, R},
      {50, keys::kKeyMouseLeft, P},
      {0, keys::kKeyMouseMiddle, R}}},
    {"PauseLongerThanTheLongestDelay",
     true,
     {},
     {},
     {{Event::Key, kA, true, 1000, Rec}, {Event::Key, kA, false, 99'000, Rec}},
     {{40'000, kA, P}, {0, kA, R}}},
    // After a selected middle row, one after another; each row keeps the pause after it.
    {"InsertsAfterTheSelectedRow",
     true,
     {{5, kX, P}, {6, kY, P}, {7, kZ, P}},
     0,
     {{Event::Key, kB, true, 1010, Rec}, {Event::Key, kB, false, 1030, Rec}},
     {{10, kX, P}, {20, kB, P}, {5, kB, R}, {6, kY, P}, {7, kZ, P}}},
    {"AppendsWithoutASelection",
     true,
     {{5, kX, P}},
     {},
     {{Event::Key, kB, true, 1010, Rec}},
     {{10, kX, P}, {5, kB, P}}},
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.name;
}

class RecorderTest : public ::testing::TestWithParam<RecordCase> {
protected:
    void Open(std::vector<MacroAction> actions) {
        profiles::ImageContents image;
        image.macros = {{.name = u"M", .macroId = 1, .actions = std::move(actions)}};
        manager.Open(image);
    }

    EventUse Send(const Event& e) {
        switch (e.kind) {
            case Event::Key:
            case Event::KeyRepeat:
                return recorder.OnKey(static_cast<keys::KeyCode>(e.code), e.pressed, e.time,
                                      e.kind == Event::KeyRepeat);
            case Event::Mouse:
            case Event::MouseOnRecordButton:
                return recorder.OnMouseButton(
                    static_cast<MouseButton>(e.code), e.pressed, e.time,
                    e.kind == Event::Mouse ? PointerPlace::Elsewhere : PointerPlace::RecordButton);
        }
        return EventUse::PassedOn;
    }

    MacroManager manager;
    MacroRecorder recorder{manager};
};

TEST_P(RecorderTest, RecordsEventsAsActions) {
    const RecordCase& c = GetParam();
    Open(c.before);
    manager.SelectAction(c.selected);
    recorder.SetRecordDelays(c.recordDelays);
    ASSERT_EQ(recorder.Toggle(1000), RecordStart::Started);
    for (const Event& event : c.events) {
        EXPECT_EQ(Send(event), event.use) << "event at " << event.time;
    }
    EXPECT_EQ(recorder.Toggle(2000), RecordStart::Stopped);
    EXPECT_EQ(manager.ShownMacro()->actions, c.after);
    EXPECT_TRUE(manager.Modified());
}

INSTANTIATE_TEST_SUITE_P(Scripts, RecorderTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(RecorderStateTest, RecordsOnlyWhileRunningAndLocksTheShownMacro) {
    MacroManager manager;
    MacroRecorder recorder(manager);
    profiles::ImageContents image;
    manager.Open(image);
    EXPECT_EQ(recorder.Start(0), RecordStart::NoMacroShown);
    EXPECT_EQ(recorder.OnKey(kA, true, 10), EventUse::PassedOn);

    image.macros = {{.name = u"One", .macroId = 1, .actions = {}},
                    {.name = u"Two", .macroId = 2, .actions = {}}};
    manager.Open(image);
    ASSERT_EQ(recorder.Start(0), RecordStart::Started);
    const EditResult locked{EditOutcome::Recording};
    EXPECT_EQ(manager.Show(1), locked);
    EXPECT_EQ(manager.Add(u"Macro "), locked);
    EXPECT_EQ(manager.Rename(u"x"), locked);
    EXPECT_EQ(manager.Delete(true), locked);
    EXPECT_EQ(manager.MoveMacro(MovePlace::Last), locked);
    // Opening the page again ends the recording.
    manager.Open(image);
    EXPECT_FALSE(recorder.Recording());
    EXPECT_EQ(recorder.OnKey(kA, true, 10), EventUse::PassedOn);
    EXPECT_TRUE(manager.ShownMacro()->actions.empty());
    EXPECT_EQ(manager.Show(1).outcome, EditOutcome::Unchanged);
    EXPECT_EQ(manager.ShownIndex(), 1u);
}

TEST(RecorderStateTest, TheTwoThousandAndFirstActionIsDropped) {
    MacroManager manager;
    MacroRecorder recorder(manager);
    profiles::ImageContents image;
    image.macros = {{.name = u"Full",
                     .macroId = 1,
                     .actions = std::vector<MacroAction>(kMaxMacroActions, {0, kA, P})}};
    manager.Open(image);
    ASSERT_EQ(recorder.Start(0), RecordStart::Started);
    // Still swallowed: the window must not act on a key meant for the macro.
    EXPECT_EQ(recorder.OnKey(kB, true, 10), EventUse::Recorded);
    EXPECT_EQ(manager.ShownMacro()->actions.size(), kMaxMacroActions);
    EXPECT_EQ(manager.ShownMacro()->actions.back().key, kA);
}

}  // namespace
}  // namespace qv::macros
