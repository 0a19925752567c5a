#pragma once

// Which hidraw nodes serve the tool's three collections, how many of each are present, and
// which collection an input report read from a node belongs to. Plain data in, plain data out:
// the enumeration and the reads themselves live in the hidapi service.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "device/hid_service.h"

namespace qv::device {

// One HID collection of a device, as enumerated.
struct CollectionRecord {
    std::string path;  // the node that carries the collection; several collections may share it
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    int interfaceNumber = -1;
    std::vector<std::uint8_t> reportIds;  // empty: unknown, or the node uses no report ids

    friend bool operator==(const CollectionRecord&, const CollectionRecord&) = default;
};

// Match flag bits of a selector; a cleared bit makes that field match anything.
inline constexpr std::uint32_t kMatchVendor = 1u << 0;
inline constexpr std::uint32_t kMatchProduct = 1u << 1;
inline constexpr std::uint32_t kMatchUsagePage = 1u << 2;
inline constexpr std::uint32_t kMatchUsage = 1u << 3;

[[nodiscard]] bool SelectorMatches(const DeviceSelector& selector, const CollectionRecord& record);

[[nodiscard]] int CountMatching(const DeviceSelector& selector,
                                std::span<const CollectionRecord> records);

// Replaces the records of each node by the collections of its report descriptor when
// `descriptorOf` can supply one (the enumeration may name only the node's first collection),
// and drops duplicates otherwise. Node order is kept.
using DescriptorSource =
    std::function<std::optional<std::vector<std::uint8_t>>(const std::string&)>;
[[nodiscard]] std::vector<CollectionRecord> ExpandCollections(
    std::span<const CollectionRecord> enumerated, const DescriptorSource& descriptorOf);

// A node to open and what it carries.
struct NodePlan {
    std::string path;
    std::vector<CollectionRecord> collections;  // every collection on the node
    // Indices into `collections` of the control and consumer collections: each gets a reader of
    // its own, so a callback that blocks on one collection cannot stall the other's reports.
    std::vector<std::size_t> readCollections;

    friend bool operator==(const NodePlan&, const NodePlan&) = default;
};

// For the control, consumer and LED selectors, the first collection that matches each; every
// node carrying one of them is planned once. Only one keyboard is served: with two attached, the
// collections found first win.
[[nodiscard]] std::vector<NodePlan> PlanNodes(std::span<const CollectionRecord> records);

// Indices into `nodeCollections` of the collections an input report read from that node
// belongs to. On a node with one collection every report is that collection's; on a shared node
// the report id (byte 0) decides, and a node whose descriptor names no report ids at all hands
// the report to every collection.
[[nodiscard]] std::vector<std::size_t> RouteInputReport(
    std::span<const CollectionRecord> nodeCollections, Bytes report);

// The part of an input report the collection's read registrations get. A command reply is the
// whole report: its report id is byte 0 of the command report. A key event is the report's data:
// on a collection with numbered reports hidraw puts the report id first, and the key-event code
// follows it.
[[nodiscard]] Bytes ReportForRegistrations(const CollectionRecord& collection, Bytes report);

// The sysfs file that holds a hidraw node's report descriptor ("/dev/hidraw3" →
// "/sys/class/hidraw/hidraw3/device/report_descriptor"); nullopt for any other path.
[[nodiscard]] std::optional<std::string> ReportDescriptorPath(const std::string& nodePath);

}  // namespace qv::device
