#include "value_choices.h"

#include <gtest/gtest.h>

namespace qv::helpdoc {
namespace {

struct ChoicesCase {
    const char* name;
    HelpEntry entry;
    bool positional;
    std::vector<std::string> words;
    std::vector<std::string> filePrefixes;
};

class CompletionValueChoices : public ::testing::TestWithParam<ChoicesCase> {};

TEST_P(CompletionValueChoices, ReadFromTheHelp) {
    const ChoicesCase& c = GetParam();
    const ValueChoices choices = ChoicesFor(c.entry, c.positional);
    EXPECT_EQ(choices.words, c.words);
    EXPECT_EQ(choices.filePrefixes, c.filePrefixes);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CompletionValueChoices,
    ::testing::Values(
        ChoicesCase{
            "SmallRange", {{"--profile"}, "INT:INT in [1 - 4]"}, false, {"1", "2", "3", "4"}, {}},
        ChoicesCase{"LongRangeNotListed", {{"--mode"}, "INT:INT in [1 - 255]"}, false, {}, {}},
        ChoicesCase{
            "Set", {{"--direction"}, "TEXT:{first,second}"}, false, {"first", "second"}, {}},
        ChoicesCase{"QuotedChoicesWithAFileAfterAPrefix",
                    {{"--keyboard"},
                     "KIND",
                     "",
                     false,
                     "Which keyboard: 'real' (default), the user's 'sim' or 'sim:PATH' (a file)"},
                    false,
                    {"real", "sim", "sim:"},
                    {"sim:"}},
        ChoicesCase{"OneQuotedWordIsAQuotation",
                    {{"--name"}, "TEXT", "", false, "Like 'this'"},
                    false,
                    {},
                    {}},
        ChoicesCase{"FilePositional", {{"file"}, "TEXT"}, true, {}, {""}},
        ChoicesCase{"FileType", {{"--out"}, "TEXT:FILE"}, false, {}, {""}},
        ChoicesCase{"QtFileValue", {{"--screenshot"}, "<file>"}, false, {}, {""}},
        ChoicesCase{"ProfileIsNotAFile", {{"--profile"}, "TEXT"}, false, {}, {}},
        ChoicesCase{"FlagTakesNothing", {{"--input-file"}, ""}, false, {}, {}}),
    [](const ::testing::TestParamInfo<ChoicesCase>& info) { return info.param.name; });

}  // namespace
}  // namespace qv::helpdoc
