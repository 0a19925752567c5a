#include <gtest/gtest.h>

#include <ostream>

#include "backends/hidapi/hidapi_descriptor_fixtures.h"
#include "backends/hidapi/report_descriptor.h"

namespace qv::device {
namespace {

using Bytes8 = std::vector<std::uint8_t>;

struct DescriptorCase {
    const char* name;
    Bytes8 descriptor;
    std::vector<TopLevelCollection> expected;
};
// Cases print as their names, so test names read as words.
void PrintTo(const DescriptorCase& c, std::ostream* out) {
    *out << c.name;
}

class TopLevelCollectionsTest : public testing::TestWithParam<DescriptorCase> {};

TEST_P(TopLevelCollectionsTest, FindsEveryTopLevelCollectionWithItsReportIds) {
    EXPECT_EQ(ParseTopLevelCollections(GetParam().descriptor), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, TopLevelCollectionsTest,
    testing::Values(
        DescriptorCase{"SharedInterface",
                       fixtures::Concat({fixtures::kControlCollection,
                                         fixtures::kConsumerCollection, fixtures::kLedCollection}),
                       {{0xFF1C, 0x0092, {4}}, {0x000C, 0x0001, {2}}, {0x0008, 0x0089, {5}}}},
        DescriptorCase{"NoReportIds", fixtures::kBootKeyboard, {{0x0001, 0x0006, {}}}},
        // Only depth-0 collections count; the usage of an inner collection is not one.
        DescriptorCase{
            "NestedCollection",
            {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x81, 0x02, 0xC0, 0xC0},
            {{0x0001, 0x0002, {}}}},
        // A four-byte usage names its own page, whatever the current usage page.
        DescriptorCase{"ExtendedUsage",
                       {0x05, 0x01, 0x0B, 0x92, 0x00, 0x1C, 0xFF, 0xA1, 0x01, 0xC0},
                       {{0xFF1C, 0x0092, {}}}},
        DescriptorCase{"PopRestoresUsagePage",
                       {0x05, 0x0C, 0xA4, 0x05, 0x08, 0xB4, 0x09, 0x01, 0xA1, 0x01, 0xC0},
                       {{0x000C, 0x0001, {}}}},
        DescriptorCase{"LongItemSkipped",
                       {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x05, 0x08, 0x09, 0x89, 0xA1, 0x01, 0xC0},
                       {{0x0008, 0x0089, {}}}},
        // Items that run past the end stop the walk; what came before is kept.
        DescriptorCase{"TruncatedShortItem",
                       fixtures::Concat({fixtures::kLedCollection, {0x06, 0x1C}}),
                       {{0x0008, 0x0089, {5}}}},
        DescriptorCase{"TruncatedLongItem",
                       fixtures::Concat({fixtures::kLedCollection, {0xFE, 0x09, 0x10, 0x00}}),
                       {{0x0008, 0x0089, {5}}}},
        DescriptorCase{"StrayEndCollection",
                       {0xC0, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0xC0},
                       {{0x000C, 0x0001, {}}}},
        DescriptorCase{"Empty", {}, {}}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace qv::device
