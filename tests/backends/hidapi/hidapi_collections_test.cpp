#include <gtest/gtest.h>

#include <ostream>

#include <map>

#include "backends/hidapi/hid_collections.h"
#include "backends/hidapi/hidapi_descriptor_fixtures.h"

namespace qv::device {
namespace {

CollectionRecord Record(std::string path, std::uint16_t usagePage, std::uint16_t usage,
                        int interfaceNumber, std::vector<std::uint8_t> reportIds = {},
                        std::uint16_t productId = kProductId) {
    CollectionRecord record;
    record.path = std::move(path);
    record.vendorId = kVendorId;
    record.productId = productId;
    record.usagePage = usagePage;
    record.usage = usage;
    record.interfaceNumber = interfaceNumber;
    record.reportIds = std::move(reportIds);
    return record;
}

const CollectionRecord kBoot = Record("/dev/hidraw0", 0x0001, 0x0006, 0);
const CollectionRecord kControl = Record("/dev/hidraw1", 0xFF1C, 0x0092, 1);
const CollectionRecord kConsumer = Record("/dev/hidraw2", 0x000C, 0x0001, 2);
const CollectionRecord kLed = Record("/dev/hidraw3", 0x0008, 0x0089, 3);

// One interface carrying all three, numbered as the keyboard numbers its reports.
const CollectionRecord kSharedControl = Record("/dev/hidraw5", 0xFF1C, 0x0092, 1, {4});
const CollectionRecord kSharedConsumer = Record("/dev/hidraw5", 0x000C, 0x0001, 1, {2});
const CollectionRecord kSharedLed = Record("/dev/hidraw5", 0x0008, 0x0089, 1, {5});

struct PlanCase {
    const char* name;
    std::vector<CollectionRecord> records;
    std::vector<NodePlan> expected;
};
// Cases print as their names, so test names read as words.
void PrintTo(const PlanCase& c, std::ostream* out) {
    *out << c.name;
}

class PlanNodesTest : public testing::TestWithParam<PlanCase> {};

TEST_P(PlanNodesTest, OpensEachNodeThatCarriesAWantedCollectionOnce) {
    EXPECT_EQ(PlanNodes(GetParam().records), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keyboards, PlanNodesTest,
    testing::Values(
        PlanCase{"NoDevice", {}, {}},
        PlanCase{"SeparateInterfaces",
                 {kBoot, kControl, kConsumer, kLed},
                 {{kControl.path, {kControl}, {0}},
                  {kConsumer.path, {kConsumer}, {0}},
                  {kLed.path, {kLed}, {}}}},
        // The boot keyboard on the same node is kept for routing but not read.
        PlanCase{"SharedInterface",
                 {kBoot, Record("/dev/hidraw5", 0x0001, 0x0006, 1), kSharedControl, kSharedConsumer,
                  kSharedLed},
                 {{"/dev/hidraw5",
                   {Record("/dev/hidraw5", 0x0001, 0x0006, 1), kSharedControl, kSharedConsumer,
                    kSharedLed},
                   {1, 2}}}},
        PlanCase{"OtherProductWithTheSameUsages",
                 {Record("/dev/hidraw7", 0xFF1C, 0x0092, 1, {}, 0x5005)},
                 {}},
        // A keyboard without a consumer collection still gets its control and LED nodes.
        PlanCase{"PartialKeyboard",
                 {kLed, kControl},
                 {{kControl.path, {kControl}, {0}}, {kLed.path, {kLed}, {}}}},
        // With two keyboards the first one found is served.
        PlanCase{"TwoKeyboards",
                 {kControl, Record("/dev/hidraw9", 0xFF1C, 0x0092, 1)},
                 {{kControl.path, {kControl}, {0}}}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ExpandCollectionsTest, DescriptorRevealsCollectionsTheEnumerationHid) {
    // The enumeration names one usage per node: the shared node shows only its first collection.
    const std::vector<CollectionRecord> enumerated = {
        kBoot, Record("/dev/hidraw5", 0xFF1C, 0x0092, 1), kLed};
    const std::map<std::string, std::vector<std::uint8_t>> descriptors = {
        {"/dev/hidraw0", fixtures::kBootKeyboard},
        {"/dev/hidraw5",
         fixtures::Concat({fixtures::kControlCollection, fixtures::kConsumerCollection,
                           fixtures::kLedCollection})},
        // hidraw3's descriptor cannot be read: the enumeration's record stands.
    };
    const auto source = [&](const std::string& path) -> std::optional<std::vector<std::uint8_t>> {
        const auto it = descriptors.find(path);
        if (it == descriptors.end()) {
            return std::nullopt;
        }
        return it->second;
    };

    const std::vector<CollectionRecord> expanded = ExpandCollections(enumerated, source);

    EXPECT_EQ(expanded, (std::vector<CollectionRecord>{kBoot, kSharedControl, kSharedConsumer,
                                                       kSharedLed, kLed}));
    // The shared node wins the LED over hidraw3 because it comes first.
    EXPECT_EQ(PlanNodes(expanded),
              (std::vector<NodePlan>{
                  {"/dev/hidraw5", {kSharedControl, kSharedConsumer, kSharedLed}, {0, 1}}}));
}

TEST(ExpandCollectionsTest, WithoutDescriptorsKeepsEachUsageOfANodeOnce) {
    // Enumerations that already list every collection of a node, possibly twice.
    const std::vector<CollectionRecord> enumerated = {kSharedConsumer, kSharedControl,
                                                      kSharedConsumer, kControl};
    const auto none = [](const std::string&) -> std::optional<std::vector<std::uint8_t>> {
        return std::nullopt;
    };
    EXPECT_EQ(ExpandCollections(enumerated, none),
              (std::vector<CollectionRecord>{kSharedConsumer, kSharedControl, kControl}));
}

struct RouteCase {
    const char* name;
    std::vector<CollectionRecord> node;
    std::vector<std::uint8_t> report;
    std::vector<std::size_t> expected;
};
// Cases print as their names, so test names read as words.
void PrintTo(const RouteCase& c, std::ostream* out) {
    *out << c.name;
}

class RouteInputReportTest : public testing::TestWithParam<RouteCase> {};

TEST_P(RouteInputReportTest, GivesTheReportToTheCollectionItBelongsTo) {
    EXPECT_EQ(RouteInputReport(GetParam().node, GetParam().report), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, RouteInputReportTest,
    testing::Values(
        // A node of its own takes every report, whatever its first byte.
        RouteCase{"SingleCollection", {kConsumer}, {0xFF, 0x02}, {0}},
        RouteCase{"SingleCollectionEmptyReport", {kConsumer}, {}, {0}},
        RouteCase{"SharedControlReport", {kSharedControl, kSharedConsumer}, {0x04, 0x00}, {0}},
        RouteCase{"SharedConsumerReport", {kSharedControl, kSharedConsumer}, {0x02, 0xFF}, {1}},
        RouteCase{"SharedUnknownReportId", {kSharedControl, kSharedConsumer}, {0x07}, {}},
        RouteCase{"SharedEmptyReport", {kSharedControl, kSharedConsumer}, {}, {}},
        RouteCase{"SharedWithoutReportIds", {kControl, kConsumer}, {0x04}, {0, 1}}),
    [](const auto& param) { return std::string(param.param.name); });

struct PayloadCase {
    const char* name;
    CollectionRecord collection;
    std::vector<std::uint8_t> report;
    std::vector<std::uint8_t> expected;
};
void PrintTo(const PayloadCase& c, std::ostream* out) {
    *out << c.name;
}

class ReportForRegistrationsTest : public testing::TestWithParam<PayloadCase> {};

// hidraw hands out a numbered report with its id first: the bank toggle of a consumer collection
// with report id 2 reads 02 FF 02, and the transport must see the code FF 02, not 02 FF.
TEST_P(ReportForRegistrationsTest, KeyEventsStartAfterTheReportIdRepliesKeepIt) {
    const Bytes delivered = ReportForRegistrations(GetParam().collection, GetParam().report);
    EXPECT_EQ(std::vector<std::uint8_t>(delivered.begin(), delivered.end()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ReportForRegistrationsTest,
    testing::Values(
        PayloadCase{"NumberedConsumer", kSharedConsumer, {0x02, 0xFF, 0x02}, {0xFF, 0x02}},
        PayloadCase{"UnnumberedConsumer", kConsumer, {0xFF, 0x02}, {0xFF, 0x02}},
        PayloadCase{"NumberedEmptyReport", kSharedConsumer, {}, {}},
        PayloadCase{
            "NumberedControlKeepsItsId", kSharedControl, {0x04, 0x2F, 0x00}, {0x04, 0x2F, 0x00}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(SelectorTest, MatchFlagsChooseTheFieldsThatMustAgree) {
    const std::vector<CollectionRecord> records = {kBoot, kControl, kConsumer, kLed,
                                                   kSharedControl};
    EXPECT_EQ(CountMatching(kControlSelector, records), 2);
    EXPECT_EQ(CountMatching(kConsumerSelector, records), 1);
    EXPECT_EQ(CountMatching(kLedSelector, records), 1);

    DeviceSelector otherProduct = kControlSelector;
    otherProduct.productId = 0x5005;
    EXPECT_EQ(CountMatching(otherProduct, records), 0);

    DeviceSelector anyUsage = otherProduct;
    anyUsage.matchFlags = kMatchVendor | kMatchUsagePage;  // product and usage left open
    EXPECT_EQ(CountMatching(anyUsage, records), 2);

    DeviceSelector everything = kLedSelector;
    everything.matchFlags = 0;
    EXPECT_EQ(CountMatching(everything, records), 5);
}

TEST(ReportDescriptorPathTest, OnlyHidrawNodesHaveOne) {
    EXPECT_EQ(ReportDescriptorPath("/dev/hidraw3"),
              "/sys/class/hidraw/hidraw3/device/report_descriptor");
    EXPECT_EQ(ReportDescriptorPath("/dev/hidraw12"),
              "/sys/class/hidraw/hidraw12/device/report_descriptor");
    for (const char* other : {"/dev/hidraw", "/dev/hidraw1/../../etc", "/dev/usb/hiddev0",
                              "1-2:1.0", "", "/dev/hidrawx"}) {
        EXPECT_EQ(ReportDescriptorPath(other), std::nullopt) << other;
    }
}

}  // namespace
}  // namespace qv::device
