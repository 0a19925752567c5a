#include "backends/hidapi/hid_collections.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "backends/hidapi/report_descriptor.h"

namespace qv::device {

bool SelectorMatches(const DeviceSelector& selector, const CollectionRecord& record) {
    const std::uint32_t flags = selector.matchFlags;
    return (!(flags & kMatchVendor) || selector.vendorId == record.vendorId) &&
           (!(flags & kMatchProduct) || selector.productId == record.productId) &&
           (!(flags & kMatchUsagePage) || selector.usagePage == record.usagePage) &&
           (!(flags & kMatchUsage) || selector.usage == record.usage);
}

int CountMatching(const DeviceSelector& selector, std::span<const CollectionRecord> records) {
    return static_cast<int>(std::count_if(records.begin(), records.end(), [&](const auto& r) {
        return SelectorMatches(selector, r);
    }));
}

std::vector<CollectionRecord> ExpandCollections(std::span<const CollectionRecord> enumerated,
                                                const DescriptorSource& descriptorOf) {
    std::vector<CollectionRecord> expanded;
    std::vector<std::string> donePaths;
    for (const CollectionRecord& record : enumerated) {
        if (std::find(donePaths.begin(), donePaths.end(), record.path) != donePaths.end()) {
            continue;
        }
        donePaths.push_back(record.path);

        std::vector<TopLevelCollection> parsed;
        if (descriptorOf) {
            if (auto descriptor = descriptorOf(record.path)) {
                parsed = ParseTopLevelCollections(*descriptor);
            }
        }
        if (!parsed.empty()) {
            for (TopLevelCollection& collection : parsed) {
                CollectionRecord one = record;
                one.usagePage = collection.usagePage;
                one.usage = collection.usage;
                one.reportIds = std::move(collection.reportIds);
                expanded.push_back(std::move(one));
            }
            continue;
        }
        // No descriptor: keep what the enumeration said about this node, once per usage.
        for (const CollectionRecord& same : enumerated) {
            if (same.path != record.path) {
                continue;
            }
            const bool seen = std::any_of(expanded.begin(), expanded.end(), [&](const auto& e) {
                return e.path == same.path && e.usagePage == same.usagePage &&
                       e.usage == same.usage;
            });
            if (!seen) {
                expanded.push_back(same);
            }
        }
    }
    return expanded;
}

std::vector<NodePlan> PlanNodes(std::span<const CollectionRecord> records) {
    struct Wanted {
        const DeviceSelector& selector;
        bool read;
    };
    const std::array<Wanted, 3> wanted{{
        {kControlSelector, true},
        {kConsumerSelector, true},
        {kLedSelector, false},
    }};

    std::vector<NodePlan> plans;
    for (const Wanted& want : wanted) {
        const auto found = std::find_if(records.begin(), records.end(), [&](const auto& r) {
            return SelectorMatches(want.selector, r);
        });
        if (found == records.end()) {
            continue;
        }
        auto plan = std::find_if(plans.begin(), plans.end(),
                                 [&](const NodePlan& p) { return p.path == found->path; });
        if (plan == plans.end()) {
            NodePlan fresh;
            fresh.path = found->path;
            for (const CollectionRecord& r : records) {
                if (r.path == found->path) {
                    fresh.collections.push_back(r);
                }
            }
            plans.push_back(std::move(fresh));
            plan = plans.end() - 1;
        }
        if (want.read) {
            const auto index = static_cast<std::size_t>(
                std::find(plan->collections.begin(), plan->collections.end(), *found) -
                plan->collections.begin());
            plan->readCollections.push_back(index);
        }
    }
    return plans;
}

std::vector<std::size_t> RouteInputReport(std::span<const CollectionRecord> nodeCollections,
                                          Bytes report) {
    std::vector<std::size_t> targets;
    if (nodeCollections.size() == 1) {
        targets.push_back(0);
        return targets;
    }
    const bool numbered = std::any_of(nodeCollections.begin(), nodeCollections.end(),
                                      [](const auto& c) { return !c.reportIds.empty(); });
    for (std::size_t i = 0; i < nodeCollections.size(); ++i) {
        if (!numbered) {
            targets.push_back(i);
            continue;
        }
        const auto& ids = nodeCollections[i].reportIds;
        if (!report.empty() && std::find(ids.begin(), ids.end(), report[0]) != ids.end()) {
            targets.push_back(i);
        }
    }
    return targets;
}

Bytes ReportForRegistrations(const CollectionRecord& collection, Bytes report) {
    if (SelectorMatches(kControlSelector, collection) || collection.reportIds.empty() ||
        report.empty()) {
        return report;
    }
    return report.subspan(1);
}

std::optional<std::string> ReportDescriptorPath(const std::string& nodePath) {
    constexpr std::string_view kDev = "/dev/";
    constexpr std::string_view kHidraw = "hidraw";
    if (!nodePath.starts_with(kDev)) {
        return std::nullopt;
    }
    const std::string_view name = std::string_view(nodePath).substr(kDev.size());
    if (!name.starts_with(kHidraw) || name.size() == kHidraw.size() ||
        !std::all_of(name.begin() + kHidraw.size(), name.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return "/sys/class/hidraw/" + std::string(name) + "/device/report_descriptor";
}

}  // namespace qv::device
