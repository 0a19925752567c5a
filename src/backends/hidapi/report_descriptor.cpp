#include "backends/hidapi/report_descriptor.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace qv::device {

namespace {

// Item prefixes with the size bits cleared.
constexpr std::uint8_t kInput = 0x80;
constexpr std::uint8_t kOutput = 0x90;
constexpr std::uint8_t kFeature = 0xB0;
constexpr std::uint8_t kCollection = 0xA0;
constexpr std::uint8_t kEndCollection = 0xC0;
constexpr std::uint8_t kUsagePage = 0x04;
constexpr std::uint8_t kReportId = 0x84;
constexpr std::uint8_t kPush = 0xA4;
constexpr std::uint8_t kPop = 0xB4;
constexpr std::uint8_t kUsage = 0x08;
constexpr std::uint8_t kUsageMinimum = 0x18;
constexpr std::uint8_t kLongItem = 0xFE;

// Push/Pop nest deeper than this only in hostile input; ignoring the excess keeps memory bounded.
constexpr std::size_t kMaxGlobalStack = 32;

struct Globals {
    std::uint16_t usagePage = 0;
    std::uint8_t reportId = 0;
};

std::uint32_t ItemData(Bytes descriptor, std::size_t offset, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value |= static_cast<std::uint32_t>(descriptor[offset + i]) << (8 * i);
    }
    return value;
}

}  // namespace

std::vector<TopLevelCollection> ParseTopLevelCollections(Bytes descriptor) {
    std::vector<TopLevelCollection> collections;
    Globals globals;
    std::vector<Globals> stack;
    // The first usage of the pending local items, as (page or nullopt when not extended, usage).
    std::optional<std::pair<std::optional<std::uint16_t>, std::uint16_t>> firstUsage;
    int depth = 0;

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::uint8_t prefix = descriptor[pos];
        if (prefix == kLongItem) {
            if (descriptor.size() - pos < 3) {
                break;
            }
            const std::size_t dataSize = descriptor[pos + 1];
            if (descriptor.size() - pos - 3 < dataSize) {
                break;
            }
            pos += 3 + dataSize;
            continue;
        }
        const std::size_t sizeCode = prefix & 0x03u;
        const std::size_t size = sizeCode == 3 ? 4 : sizeCode;
        if (descriptor.size() - pos - 1 < size) {
            break;
        }
        const std::uint32_t data = ItemData(descriptor, pos + 1, size);
        pos += 1 + size;

        switch (static_cast<std::uint8_t>(prefix & 0xFCu)) {
            case kUsagePage:
                globals.usagePage = static_cast<std::uint16_t>(data);
                break;
            case kReportId:
                globals.reportId = static_cast<std::uint8_t>(data);
                break;
            case kPush:
                if (stack.size() < kMaxGlobalStack) {
                    stack.push_back(globals);
                }
                break;
            case kPop:
                if (!stack.empty()) {
                    globals = stack.back();
                    stack.pop_back();
                }
                break;
            case kUsage:
            case kUsageMinimum:
                if (!firstUsage) {
                    // A four-byte usage carries its own page in the high half.
                    std::optional<std::uint16_t> page;
                    if (size == 4) {
                        page = static_cast<std::uint16_t>(data >> 16);
                    }
                    firstUsage.emplace(page, static_cast<std::uint16_t>(data));
                }
                break;
            case kCollection:
                if (depth == 0) {
                    TopLevelCollection collection;
                    if (firstUsage) {
                        collection.usagePage = firstUsage->first.value_or(globals.usagePage);
                        collection.usage = firstUsage->second;
                    } else {
                        collection.usagePage = globals.usagePage;
                    }
                    collections.push_back(std::move(collection));
                }
                ++depth;
                firstUsage.reset();
                break;
            case kEndCollection:
                if (depth > 0) {
                    --depth;
                }
                firstUsage.reset();
                break;
            case kInput:
            case kOutput:
            case kFeature:
                if (depth > 0 && !collections.empty() && globals.reportId != 0) {
                    auto& ids = collections.back().reportIds;
                    if (std::find(ids.begin(), ids.end(), globals.reportId) == ids.end()) {
                        ids.push_back(globals.reportId);
                    }
                }
                firstUsage.reset();
                break;
            default:
                break;
        }
    }
    return collections;
}

}  // namespace qv::device
