#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/fault_plan.h"

namespace qv::sim {
namespace {

using namespace std::chrono_literals;

std::string Formatted(const FaultPlan& plan) {
    std::string text;
    for (const PlannedFault& fault : plan) {
        text += (text.empty() ? "" : ", ") + FormatFault(fault);
    }
    return text;
}

struct GoodText {
    const char* name;
    std::string text;
    FaultPlan plan;
};

void PrintTo(const GoodText& c, std::ostream* out) {
    *out << c.name;
}

class FaultPlanAccepts : public ::testing::TestWithParam<GoodText> {};

TEST_P(FaultPlanAccepts, AndFormatsItBackTheSame) {
    const auto parsed = ParseFaultPlan(GetParam().text);
    ASSERT_TRUE(std::holds_alternative<FaultPlan>(parsed))
        << std::get<FaultPlanError>(parsed).message;
    const FaultPlan& plan = std::get<FaultPlan>(parsed);
    EXPECT_EQ(plan, GetParam().plan);
    const auto again = ParseFaultPlan(Formatted(plan));
    ASSERT_TRUE(std::holds_alternative<FaultPlan>(again)) << Formatted(plan);
    EXPECT_EQ(std::get<FaultPlan>(again), plan);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FaultPlanAccepts,
    ::testing::Values(GoodText{"Empty", "  ", {}},
                      GoodText{
                          "EveryKind",
                          "drop@5,late@7:1500ms,status@3:FE,misnumber@4,refuse@2,flip@6,unplug@9",
                          {{.kind = FaultKind::Drop, .report = 5},
                           {.kind = FaultKind::Late, .report = 7, .delay = 1500ms},
                           {.kind = FaultKind::Status, .report = 3, .status = 0xFE},
                           {.kind = FaultKind::Misnumber, .report = 4},
                           {.kind = FaultKind::Refuse, .report = 2},
                           {.kind = FaultKind::Flip, .report = 6, .byte = kDefaultFlippedByte},
                           {.kind = FaultKind::Unplug, .report = 9}}},
                      GoodText{"BlanksAroundEntries",
                               " drop@1 ,\tstatus@1:ff ",
                               {{.kind = FaultKind::Drop, .report = 1},
                                {.kind = FaultKind::Status, .report = 1, .status = 0xFF}}},
                      GoodText{"SecondsAndAFlippedChecksumByte",
                               "late@2:3s, flip@2:1",
                               {{.kind = FaultKind::Late, .report = 2, .delay = 3000ms},
                                {.kind = FaultKind::Flip, .report = 2, .byte = 1}}},
                      GoodText{"SameKindAtTwoReports",
                               "drop@1, drop@1000000",
                               {{.kind = FaultKind::Drop, .report = 1},
                                {.kind = FaultKind::Drop, .report = 1'000'000}}}),
    [](const ::testing::TestParamInfo<GoodText>& param) { return std::string(param.param.name); });

struct BadText {
    const char* name;
    std::string text;
    std::string message;  // part of the error
};

void PrintTo(const BadText& c, std::ostream* out) {
    *out << c.name;
}

class FaultPlanRefuses : public ::testing::TestWithParam<BadText> {};

TEST_P(FaultPlanRefuses, NamingTheProblem) {
    const auto parsed = ParseFaultPlan(GetParam().text);
    ASSERT_TRUE(std::holds_alternative<FaultPlanError>(parsed));
    const std::string& message = std::get<FaultPlanError>(parsed).message;
    EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FaultPlanRefuses,
    ::testing::Values(
        BadText{"UnknownKind", "drop@1,explode@2", "\"explode@2\": unknown fault \"explode\""},
        BadText{"NoReport", "drop", "\"drop\": a fault is written KIND@REPORT"},
        BadText{"ReportZero", "drop@0", "report number is a whole number from 1 to 1000000"},
        BadText{"ReportTooLarge", "drop@1000001", "from 1 to 1000000"},
        BadText{"SignedReport", "drop@+3", "report number"},
        BadText{"LateWithoutDelay", "late@7", "late needs a delay"},
        BadText{"LateWithoutUnit", "late@7:1500", "late needs a delay"},
        BadText{"LateTooLong", "late@7:3601s", "at most 3600000 ms"},
        BadText{"StatusWithoutByte", "status@3", "two hex digits"},
        BadText{"StatusOfThreeDigits", "status@3:0FE", "two hex digits"},
        BadText{"FlipOutsideTheReport", "flip@6:64", "0 to 63"},
        BadText{"ValueWhereNoneBelongs", "drop@5:2", "drop takes no value"},
        BadText{"EmptyEntry", "drop@5,,refuse@2", "an empty entry"},
        BadText{"TrailingComma", "drop@5,", "an empty entry"},
        BadText{"ArmedTwice", "late@7:1s, late@7:2s", "late is armed twice at report 7"}),
    [](const ::testing::TestParamInfo<BadText>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace qv::sim
