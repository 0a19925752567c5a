#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assignments/assignment_spec.h"
#include "keys/name_suggestions.h"
#include "keys/shipped_key_names.h"

namespace qv::keys {
namespace {

using Names = std::vector<std::string>;

TEST(EditDistance, CountsInsertsDeletesReplacesAndSwaps) {
    const struct {
        const char* a;
        const char* b;
        std::size_t distance;
    } cases[] = {
        {"", "", 0},
        {"", "abc", 3},
        {"abc", "", 3},
        {"kitten", "sitting", 3},
        {"captial", "capital", 1},
        {"ab", "ba", 1},
        {"capslock", "capslock", 0},
        {"captiallock", "capslock", 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EditDistance(c.a, c.b), c.distance) << c.a << " / " << c.b;
        EXPECT_EQ(EditDistance(c.b, c.a), c.distance) << c.b << " / " << c.a;
    }
}

TEST(SuggestNames, NearestFirstEachOnceAndOnlyPlausibleOnes) {
    const std::vector<NameSpelling> spellings = {
        {"Page Up", "Page Up"}, {"Page Up", "PAGE_UP"}, {"Page Down", "Page Down"},
        {"Num 1", "Num 1"},     {"Num 2", "Num 2"},     {"Num 3", "Num 3"},
        {"Num 4", "Num 4"},     {"#Error", "#Error"},
    };
    EXPECT_EQ(SuggestNames("page-upp", spellings), (Names{"Page Up"}));
    EXPECT_EQ(SuggestNames("pagedwn", spellings), (Names{"Page Down", "Page Up"}));
    EXPECT_EQ(SuggestNames("num", spellings), (Names{"Num 1", "Num 2", "Num 3"}))
        << "ties in the order given, at most three";
    EXPECT_EQ(SuggestNames("num4", spellings), (Names{"Num 4", "Num 1", "Num 2"}));
    EXPECT_EQ(SuggestNames("num4", spellings, 1), (Names{"Num 4"}));
    EXPECT_EQ(SuggestNames("xyzzy", spellings), Names{});
    EXPECT_EQ(SuggestNames("", spellings), Names{});
    EXPECT_EQ(SuggestNames("#Erro", spellings), Names{}) << "a missing text is no name";
}

TEST(SuggestNames, KeysMediaAndFunctionsByShownAndShortName) {
    const auto lookup = ShippedKeyNames();
    const Names keys = SuggestKeyNames("Captial Lock", lookup);
    ASSERT_FALSE(keys.empty());
    EXPECT_LE(keys.size(), kMaxSuggestions);
    EXPECT_EQ(keys.front(), "Caps Lock");
    EXPECT_EQ(SuggestKeyNames("lctrk", lookup).front(), "Left Ctrl") << "by the short name LCTRL";
    EXPECT_EQ(SuggestKeyNames("Mute", lookup), Names{}) << "not a key a key can be given";
    EXPECT_EQ(SuggestMediaNames("vol add", lookup).front(), "Volume Up");
    EXPECT_EQ(SuggestMediaNames("Calculater", lookup).front(), "Calculator");
    EXPECT_EQ(SuggestFunctionNames("Zoom Inn", lookup).front(), "zoomin");
    EXPECT_EQ(SuggestFunctionNames("past", lookup).front(), "paste");
}

TEST(DidYouMean, ListsTheNamesAsASentence) {
    EXPECT_EQ(DidYouMean({}), "");
    EXPECT_EQ(DidYouMean({"Caps Lock"}), "; did you mean: Caps Lock?");
    EXPECT_EQ(DidYouMean({"A", "B", "C"}), "; did you mean: A, B or C?");
}

}  // namespace
}  // namespace qv::keys
