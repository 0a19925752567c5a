#include "value_choices.h"

#include <gtest/gtest.h>

#include <ostream>

namespace qv::helpdoc {
namespace {

struct ChoicesCase {
    const char* name;
    HelpEntry entry;
    bool positional;
    std::vector<std::string> words;
    std::vector<std::string> filePrefixes;
};
// Cases print as their names, so test names read as words.
void PrintTo(const ChoicesCase& c, std::ostream* out) {
    *out << c.name;
}

class CompletionValueChoices : public ::testing::TestWithParam<ChoicesCase> {};

TEST_P(CompletionValueChoices, ReadFromTheHelp) {
    const ChoicesCase& c = GetParam();
    const ValueChoices choices = ChoicesFor(c.entry, c.positional);
    EXPECT_EQ(choices.words, c.words);
    EXPECT_EQ(choices.filePrefixes, c.filePrefixes);
}

HelpEntry Entry(std::string name, std::string type, std::string description = "") {
    HelpEntry entry;
    entry.names = {std::move(name)};
    entry.valueType = std::move(type);
    entry.description = std::move(description);
    return entry;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CompletionValueChoices,
    ::testing::Values(
        ChoicesCase{"SmallRange",
                    Entry("--profile", "INT:INT in [1 - 4]"),
                    false,
                    {"1", "2", "3", "4"},
                    {}},
        ChoicesCase{"LongRangeNotListed", Entry("--mode", "INT:INT in [1 - 255]"), false, {}, {}},
        ChoicesCase{
            "Set", Entry("--direction", "TEXT:{first,second}"), false, {"first", "second"}, {}},
        ChoicesCase{"QuotedChoicesWithAFileAfterAPrefix",
                    Entry("--keyboard", "KIND",
                          "Which keyboard: 'real' (default), the user's 'sim' or 'sim:PATH'"),
                    false,
                    {"real", "sim", "sim:"},
                    {"sim:"}},
        ChoicesCase{
            "OneQuotedWordIsAQuotation", Entry("--name", "TEXT", "Like 'this'"), false, {}, {}},
        ChoicesCase{"FilePositional", Entry("file", "TEXT"), true, {}, {""}},
        ChoicesCase{"FileType", Entry("--out", "TEXT:FILE"), false, {}, {""}},
        ChoicesCase{"QtFileValue", Entry("--screenshot", "<file>"), false, {}, {""}},
        ChoicesCase{"ProfileIsNotAFile", Entry("--profile", "TEXT"), false, {}, {}},
        ChoicesCase{"FlagTakesNothing", Entry("--input-file", ""), false, {}, {}}),
    [](const ::testing::TestParamInfo<ChoicesCase>& param) { return param.param.name; });

}  // namespace
}  // namespace qv::helpdoc
