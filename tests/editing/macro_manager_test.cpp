// The macro page's edit session: each command and its limits on the private copies, and the
// commit that replaces the image's list and repairs keys that name a macro that is gone.

#include "editing/macro_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keys/key_lookup.h"
#include "keys/key_table.h"

namespace qv::macros {
namespace {

using keys::KeyEntry;
using keys::KeyKind;

constexpr keys::KeyCode kA = 0x01E;
constexpr keys::KeyCode kB = 0x030;
constexpr keys::KeyCode kC = 0x02E;
constexpr KeyState P = KeyState::Press;
constexpr KeyState R = KeyState::Release;
constexpr std::size_t kCaps = 0x03A;
constexpr std::size_t kG1 = keys::kFirstGKeySlot;
constexpr EditResult kDone{EditOutcome::Done};
constexpr EditResult kUnchanged{EditOutcome::Unchanged};

MacroRecord Macro(std::uint16_t id, std::u16string name, std::vector<MacroAction> actions = {}) {
    return {.name = std::move(name), .macroId = id, .actions = std::move(actions)};
}

std::vector<std::u16string> Names(const MacroList& list) {
    std::vector<std::u16string> names;
    for (const MacroRecord& macro : list) {
        names.push_back(macro.name);
    }
    return names;
}

std::vector<std::uint16_t> Ids(const MacroList& list) {
    std::vector<std::uint16_t> ids;
    for (const MacroRecord& macro : list) {
        ids.push_back(macro.macroId);
    }
    return ids;
}

KeyEntry PlaysMacro(std::uint32_t id) {
    return {.kind = KeyKind::Macro, .aux = 3, .value = id};
}

class MacroManagerTest : public ::testing::Test {
protected:
    // Opens the session on the image as it is now.
    void Open(std::uint16_t shownId = 0) { manager.Open(*image.Lock(), shownId); }

    profiles::ProfileImage image;
    MacroManager manager;
};

TEST_F(MacroManagerTest, AddNamesMacrosAfterTheCounterAndTakesTheSmallestFreeId) {
    Open();
    EXPECT_EQ(manager.Add(u"Macro "), kDone);
    EXPECT_EQ(manager.Add(u"Macro "), kDone);
    EXPECT_EQ(Names(manager.Macros()), (std::vector<std::u16string>{u"Macro 1", u"Macro 2"}));
    EXPECT_EQ(Ids(manager.Macros()), (std::vector<std::uint16_t>{1, 2}));
    EXPECT_EQ(manager.ShownIndex(), 1u);
    EXPECT_EQ(manager.ShownMacro()->repeatCount, 1);
    EXPECT_EQ(manager.ShownMacro()->newFlag, 1);

    // A new macro goes without a question; the counter moves on, the id is re-used.
    ASSERT_EQ(manager.Show(0), kUnchanged);
    EXPECT_EQ(manager.Delete(false), kDone);
    EXPECT_EQ(manager.Add(u"Macro "), kDone);
    EXPECT_EQ(Names(manager.Macros()), (std::vector<std::u16string>{u"Macro 2", u"Macro 3"}));
    EXPECT_EQ(Ids(manager.Macros()), (std::vector<std::uint16_t>{2, 1}));

    // An empty list starts the counter again.
    ASSERT_EQ(manager.Delete(false), kDone);
    ASSERT_EQ(manager.Delete(false), kDone);
    EXPECT_FALSE(manager.ShownIndex().has_value());
    EXPECT_EQ(manager.Add(u"Macro "), kDone);
    EXPECT_EQ(Names(manager.Macros()), (std::vector<std::u16string>{u"Macro 1"}));
}

TEST_F(MacroManagerTest, AddSkipsNamesThatBeginAnExistingName) {
    image.Lock()->macros = {Macro(1, u"Macro 1"), Macro(7, u"MACRO 10"), Macro(3, u"macro 2b")};
    Open();
    EXPECT_EQ(manager.Add(u"Macro "), kDone);
    EXPECT_EQ(manager.ShownMacro()->name, u"Macro 3");
    EXPECT_EQ(manager.ShownMacro()->macroId, 2);
}

TEST_F(MacroManagerTest, TheHundredAndFirstMacroIsRefused) {
    {
        const auto contents = image.Lock();
        for (std::uint16_t id = 1; id <= kMaxMacros; ++id) {
            contents->macros.push_back(Macro(id, u"m"));
        }
    }
    Open();
    EXPECT_EQ(manager.Add(u"Macro "),
              (EditResult{EditOutcome::Refused, MacroNotice::TooManyMacros}));
    EXPECT_EQ(manager.Macros().size(), kMaxMacros);
    EXPECT_FALSE(manager.Modified());
}

TEST_F(MacroManagerTest, RenameCutsTheNameAndNamesANewMacroOnAnEmptyList) {
    Open();
    EXPECT_EQ(manager.Rename(u"Typed"), kDone);
    ASSERT_EQ(manager.Macros().size(), 1u);
    EXPECT_EQ(manager.ShownMacro()->name, u"Typed");
    EXPECT_EQ(manager.ShownMacro()->macroId, 1);
    EXPECT_EQ(manager.ShownMacro()->newFlag, 1);

    // 248 units and a pair that would be cut in half: the pair goes whole.
    const std::u16string longName = std::u16string(248, u'x') + u"\U0001F600" + u"tail";
    EXPECT_EQ(manager.Rename(longName), kDone);
    EXPECT_EQ(manager.ShownMacro()->name, std::u16string(248, u'x'));
    EXPECT_EQ(manager.Rename(std::u16string(300, u'y')), kDone);
    EXPECT_EQ(manager.ShownMacro()->name.size(), kMaxMacroNameLength);
    EXPECT_EQ(manager.Macros().size(), 1u);
}

TEST_F(MacroManagerTest, NothingReachesTheImageBeforeTheCommit) {
    image.Lock()->macros = {Macro(1, u"One", {{0, kA, P}})};
    Open();
    ASSERT_EQ(manager.Add(u"Macro "), kDone);
    ASSERT_EQ(manager.Rename(u"Two"), kDone);
    ASSERT_EQ(manager.InsertAction({0, kB, P}), kDone);
    EXPECT_EQ(image.Lock()->macros, (MacroList{Macro(1, u"One", {{0, kA, P}})}));

    const CommitResult result = manager.Commit(image);
    EXPECT_FALSE(result.KeysChanged());
    EXPECT_TRUE(result.macrosChanged);
    MacroList expected = {Macro(1, u"One", {{0, kA, P}}), Macro(2, u"Two", {{0, kB, P}})};
    EXPECT_EQ(image.Lock()->macros, expected);
    EXPECT_EQ(manager.Macros(), expected);  // none new any more, in the copies either
    EXPECT_FALSE(manager.Modified());

    // A second commit of the same list changes nothing the keyboard would need.
    EXPECT_FALSE(manager.Commit(image).ImageChanged());
}

TEST_F(MacroManagerTest, DeletingAMacroThatKeysPlayAsksAndTheCommitResetsThem) {
    {
        const auto contents = image.Lock();
        contents->macros = {Macro(1, u"One"), Macro(2, u"Two")};
        contents->blocks[2][kCaps] = PlaysMacro(2);    // profile 3
        contents->blocks[1][kG1 + 4] = PlaysMacro(2);  // G5 of profile 2
        contents->blocks[0][0x010] = PlaysMacro(1);    // another macro: kept
        contents->blocks[0][0x010].spare = 0xAB;
    }
    Open(2);
    ASSERT_EQ(manager.ShownIndex(), 1u);
    EXPECT_EQ(manager.KeysPlaying(2), 2u);
    EXPECT_EQ(manager.Delete(false),
              (EditResult{EditOutcome::AskFirst, MacroNotice::ConfirmDeleteUsedMacro}));
    EXPECT_EQ(manager.Macros().size(), 2u);
    EXPECT_EQ(manager.Delete(true), kDone);
    EXPECT_EQ(manager.ShownIndex(), 0u);  // the one before it
    // The keys keep playing it until the commit.
    EXPECT_EQ(image.Lock()->blocks[2][kCaps], PlaysMacro(2));

    EXPECT_EQ(manager.Commit(image).keysReset, 2u);
    const auto contents = image.Lock();
    EXPECT_EQ(contents->blocks[2][kCaps], KeyEntry{});
    // A G key back at its default keeps its own code.
    EXPECT_EQ(contents->blocks[1][kG1 + 4], (KeyEntry{.aux = keys::GKeyAuxCode(kG1 + 4)}));
    EXPECT_EQ(contents->blocks[0][0x010].value, 1u);
    EXPECT_EQ(contents->blocks[0][0x010].spare, 0xABu);
}

// A page that hands a copy of its session over for the commit goes on from what the commit
// makes of it, without a commit of its own.
TEST_F(MacroManagerTest, ASessionMarkedCommittedIsWhatItsCommitLeaves) {
    {
        const auto contents = image.Lock();
        contents->macros = {Macro(1, u"One"), Macro(2, u"Two")};
        contents->blocks[2][kCaps] = PlaysMacro(2);
        contents->blocks[0][kG1] = PlaysMacro(0);
    }
    Open(2);
    ASSERT_EQ(manager.Delete(true), kDone);
    ASSERT_EQ(manager.Add(u"Macro "), kDone);
    MacroManager handedOver = manager;
    manager.MarkCommitted();
    (void)handedOver.Commit(image);
    EXPECT_EQ(manager.Macros(), handedOver.Macros());
    EXPECT_FALSE(manager.Modified());
    EXPECT_EQ(manager.KeysPlaying(2), handedOver.KeysPlaying(2));
    EXPECT_EQ(manager.KeysPlaying(1), handedOver.KeysPlaying(1));
    EXPECT_EQ(manager.KeysPlaying(1), 1u) << "the key with no macro gets the first one";
}

TEST_F(MacroManagerTest, ANewMacroThatTakesADeletedMacrosIdDoesNotInheritItsKeys) {
    {
        const auto contents = image.Lock();
        contents->macros = {Macro(1, u"Old")};
        contents->blocks[0][kCaps] = PlaysMacro(1);
    }
    Open();
    ASSERT_EQ(manager.Delete(true), kDone);
    ASSERT_EQ(manager.Add(u"Macro "), kDone);
    ASSERT_EQ(manager.ShownMacro()->macroId, 1);
    EXPECT_EQ(manager.Commit(image).keysReset, 1u);
    EXPECT_EQ(image.Lock()->blocks[0][kCaps], KeyEntry{});
    EXPECT_EQ(Ids(image.Lock()->macros), (std::vector<std::uint16_t>{1}));
}

TEST_F(MacroManagerTest, FirstProfilesG1IsNotAskedAboutButStillReset) {
    {
        const auto contents = image.Lock();
        contents->macros = {Macro(1, u"One")};
        contents->blocks[0][kG1] = PlaysMacro(1);
    }
    Open();
    EXPECT_EQ(manager.Delete(false), kDone);
    EXPECT_EQ(manager.Commit(image).keysReset, 1u);
    EXPECT_EQ(image.Lock()->blocks[0][kG1], (KeyEntry{.aux = keys::GKeyAuxCode(kG1)}));
}

TEST_F(MacroManagerTest, CommitGivesAKeyWithoutAMacroTheFirstOne) {
    {
        const auto contents = image.Lock();
        contents->macros = {Macro(5, u"Five"), Macro(2, u"Two")};
        contents->blocks[3][kCaps] = PlaysMacro(0);
    }
    Open();
    const CommitResult result = manager.Commit(image);
    EXPECT_EQ(result.keysGivenFirstMacro, 1u);
    EXPECT_TRUE(result.KeysChanged());
    EXPECT_EQ(image.Lock()->blocks[3][kCaps].value, 5u);

    // With no macro left there is nothing to give: Default.
    image.Lock()->blocks[3][kCaps] = PlaysMacro(0);
    Open();
    ASSERT_EQ(manager.Delete(true), kDone);
    ASSERT_EQ(manager.Delete(true), kDone);
    EXPECT_EQ(manager.Commit(image).keysReset, 1u);
    EXPECT_EQ(image.Lock()->blocks[3][kCaps], KeyEntry{});
    EXPECT_TRUE(image.Lock()->macros.empty());
}

TEST_F(MacroManagerTest, ReorderingKeepsIdsAndSoTheKeys) {
    {
        const auto contents = image.Lock();
        contents->macros = {Macro(1, u"a"), Macro(2, u"b"), Macro(3, u"c")};
        contents->blocks[0][kCaps] = PlaysMacro(3);
    }
    Open(3);
    EXPECT_EQ(manager.MoveMacro(MovePlace::Down), kUnchanged);  // already last
    EXPECT_EQ(manager.MoveMacro(MovePlace::Up), kDone);
    EXPECT_EQ(manager.MoveMacro(MovePlace::First), kDone);
    EXPECT_EQ(manager.ShownIndex(), 0u);
    EXPECT_EQ(manager.Commit(image).keysReset, 0u);
    EXPECT_EQ(Ids(image.Lock()->macros), (std::vector<std::uint16_t>{3, 1, 2}));
    EXPECT_EQ(image.Lock()->blocks[0][kCaps], PlaysMacro(3));
}

TEST_F(MacroManagerTest, ActionCommandsWorkOnTheSelectedRow) {
    image.Lock()->macros = {Macro(1, u"m", {{10, kA, P}, {20, kB, P}, {30, kC, R}})};
    Open();
    // Without a selection the row commands do nothing.
    EXPECT_EQ(manager.DeleteAction(), kUnchanged);
    EXPECT_EQ(manager.MoveAction(MovePlace::First), kUnchanged);

    // The last row moves to the top with its delay.
    manager.SelectAction(2);
    EXPECT_EQ(manager.MoveAction(MovePlace::First), kDone);
    EXPECT_EQ(manager.SelectedAction(), 0u);
    EXPECT_EQ(manager.MoveAction(MovePlace::Up), kUnchanged);
    EXPECT_EQ(manager.MoveAction(MovePlace::Down), kDone);
    EXPECT_EQ(manager.ShownMacro()->actions,
              (std::vector<MacroAction>{{10, kA, P}, {30, kC, R}, {20, kB, P}}));
    EXPECT_EQ(manager.MoveAction(MovePlace::Last), kDone);
    EXPECT_EQ(manager.ShownMacro()->actions,
              (std::vector<MacroAction>{{10, kA, P}, {20, kB, P}, {30, kC, R}}));

    // Deleting keeps the other delays.
    manager.SelectAction(1);
    EXPECT_EQ(manager.DeleteAction(), kDone);
    EXPECT_EQ(manager.ShownMacro()->actions, (std::vector<MacroAction>{{10, kA, P}, {30, kC, R}}));
    EXPECT_FALSE(manager.SelectedAction().has_value());

    EXPECT_EQ(manager.ClearActions(false),
              (EditResult{EditOutcome::AskFirst, MacroNotice::ConfirmClearActions}));
    EXPECT_EQ(manager.ShownMacro()->actions.size(), 2u);
    EXPECT_EQ(manager.ClearActions(true), kDone);
    EXPECT_TRUE(manager.ShownMacro()->actions.empty());
    EXPECT_EQ(manager.ClearActions(false), kUnchanged);  // nothing to ask about
}

TEST_F(MacroManagerTest, CellEditsFollowTheLimits) {
    image.Lock()->macros = {Macro(1, u"m", {{10, kA, P}, {0, keys::kKeyMouseLeft, R}})};
    Open();
    struct DelayCase {
        std::uint64_t typed;
        std::uint32_t stored;
        MacroNotice notice;
    };
    for (const DelayCase& c :
         {DelayCase{45678, 40000, MacroNotice::DelayTooLong},
          DelayCase{1234, 1230, MacroNotice::None}, DelayCase{40000, 40000, MacroNotice::None},
          DelayCase{9, 0, MacroNotice::None},
          DelayCase{~std::uint64_t{0}, 40000, MacroNotice::DelayTooLong}}) {
        EXPECT_EQ(manager.SetActionDelay(0, c.typed), (EditResult{EditOutcome::Done, c.notice}))
            << c.typed;
        EXPECT_EQ(manager.ShownMacro()->actions[0].delay, c.stored) << c.typed;
    }
    EXPECT_EQ(manager.SetActionDelay(2, 10), kUnchanged);  // no such row

    // The key cell offers the key choice list: the same entry changes nothing, a mouse button
    // can become a key, and nothing past the list is taken.
    EXPECT_EQ(manager.SetActionKey(0, keys::ListIdFromKeyCode(kA)), kUnchanged);
    EXPECT_EQ(manager.SetActionKey(1, keys::ListIdFromKeyCode(kB)), kDone);
    EXPECT_EQ(manager.ShownMacro()->actions[1].key, kB);
    EXPECT_EQ(manager.SetActionKey(1, keys::kKeyChoiceCount), kUnchanged);

    EXPECT_EQ(manager.SetActionState(1, R), kUnchanged);
    EXPECT_EQ(manager.SetActionState(1, P), kDone);
    EXPECT_EQ(manager.ShownMacro()->actions[1].state, P);
}

TEST_F(MacroManagerTest, RepeatCountTextStaysInRange) {
    image.Lock()->macros = {Macro(1, u"m")};
    Open();
    struct Case {
        std::string_view typed;
        int count;
        std::string_view shown;  // empty: the text stays as typed
    };
    for (const Case& c :
         {Case{"300", 255, "255"}, Case{"", 1, "1"}, Case{"0", 1, "1"}, Case{"abc", 1, "1"},
          Case{"12", 12, ""}, Case{"255", 255, ""}, Case{"99999999999999999999999", 255, "255"}}) {
        const TypedRepeatCount typed = manager.SetRepeatCountText(c.typed);
        EXPECT_EQ(typed.count, c.count) << c.typed;
        EXPECT_EQ(typed.text, c.shown) << c.typed;
        EXPECT_EQ(manager.ShownMacro()->repeatCount, c.count) << c.typed;
    }
    EXPECT_EQ(manager.SetRepeatCount(0), kDone);
    EXPECT_EQ(manager.ShownMacro()->repeatCount, 1);
}

TEST_F(MacroManagerTest, ReplacedActionsStayWithinTheLimit) {
    image.Lock()->macros = {Macro(1, u"m", {{10, kA, P}})};
    Open();
    EXPECT_EQ(manager.ReplaceActions(std::vector<MacroAction>(kMaxMacroActions + 1)),
              (EditResult{EditOutcome::Refused, MacroNotice::ActionListFull}));
    EXPECT_EQ(manager.ShownMacro()->actions.size(), 1u);
    EXPECT_EQ(manager.ReplaceActions(std::vector<MacroAction>(kMaxMacroActions)), kDone);
    EXPECT_EQ(manager.InsertAction({0, kA, P}),
              (EditResult{EditOutcome::Refused, MacroNotice::ActionListFull}));
}

TEST_F(MacroManagerTest, OpeningShowsTheMacroOfTheKeyOrTheFirst) {
    image.Lock()->macros = {Macro(4, u"a"), Macro(9, u"b")};
    Open(9);
    EXPECT_EQ(manager.ShownIndex(), 1u);
    Open(5);
    EXPECT_EQ(manager.ShownIndex(), 0u);
    manager.Close();
    EXPECT_TRUE(manager.Macros().empty());
    EXPECT_EQ(manager.ShownMacro(), nullptr);
    EXPECT_EQ(manager.InsertAction({0, kA, P}), kUnchanged);
    EXPECT_EQ(manager.Delete(true), kUnchanged);
}

}  // namespace
}  // namespace qv::macros
