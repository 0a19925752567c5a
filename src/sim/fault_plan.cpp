#include "sim/fault_plan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include "core/text.h"

namespace qv::sim {
namespace {

struct KindName {
    FaultKind kind;
    std::string_view name;
};
constexpr std::array<KindName, 7> kKindNames{{
    {FaultKind::Unplug, "unplug"},
    {FaultKind::Drop, "drop"},
    {FaultKind::Late, "late"},
    {FaultKind::Status, "status"},
    {FaultKind::Misnumber, "misnumber"},
    {FaultKind::Refuse, "refuse"},
    {FaultKind::Flip, "flip"},
}};

std::string_view NameOf(FaultKind kind) {
    for (const KindName& entry : kKindNames) {
        if (entry.kind == kind) {
            return entry.name;
        }
    }
    return "?";
}

// Plain decimal digits, nothing else, at most `max`.
std::optional<std::uint64_t> Decimal(std::string_view text, std::uint64_t max) {
    if (text.empty() || text.size() > 12 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint8_t> HexByte(std::string_view text) {
    const auto isHex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    };
    if (text.size() != 2 || !isHex(text[0]) || !isHex(text[1])) {
        return std::nullopt;
    }
    unsigned value = 0;
    std::from_chars(text.data(), text.data() + 2, value, 16);
    return static_cast<std::uint8_t>(value);
}

// "1500ms" or "2s".
std::optional<std::chrono::milliseconds> Duration(std::string_view text) {
    std::uint64_t scale = 1;
    if (text.ends_with("ms")) {
        text.remove_suffix(2);
    } else if (text.ends_with("s")) {
        text.remove_suffix(1);
        scale = 1000;
    } else {
        return std::nullopt;
    }
    const auto count = Decimal(text, static_cast<std::uint64_t>(kLongestLateReply.count()) / scale);
    if (!count) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(static_cast<std::chrono::milliseconds::rep>(*count * scale));
}

FaultPlanError Problem(std::string_view entry, const std::string& what) {
    return FaultPlanError{'"' + std::string(entry) + "\": " + what};
}

std::variant<PlannedFault, FaultPlanError> ParseEntry(std::string_view entry) {
    const auto at = entry.find('@');
    if (at == std::string_view::npos) {
        return Problem(entry, "a fault is written KIND@REPORT, for example drop@5");
    }
    const std::string_view name = entry.substr(0, at);
    const auto known = std::find_if(kKindNames.begin(), kKindNames.end(),
                                    [&](const KindName& k) { return k.name == name; });
    if (known == kKindNames.end()) {
        std::string names;
        for (const KindName& k : kKindNames) {
            names += (names.empty() ? "" : ", ") + std::string(k.name);
        }
        return Problem(entry, "unknown fault \"" + std::string(name) + "\" (known: " + names + ')');
    }

    std::string_view rest = entry.substr(at + 1);
    std::optional<std::string_view> value;
    if (const auto colon = rest.find(':'); colon != std::string_view::npos) {
        value = rest.substr(colon + 1);
        rest = rest.substr(0, colon);
    }
    const auto report = Decimal(rest, kLastPlannedReport);
    if (!report || *report == 0) {
        return Problem(entry, "the report number is a whole number from 1 to " +
                                  std::to_string(kLastPlannedReport));
    }

    PlannedFault fault{.kind = known->kind, .report = static_cast<std::uint32_t>(*report)};
    switch (fault.kind) {
        case FaultKind::Late: {
            const auto delay = value ? Duration(*value) : std::nullopt;
            if (!delay) {
                return Problem(entry, "late needs a delay of at most " +
                                          std::to_string(kLongestLateReply.count()) +
                                          " ms, written like late@7:1500ms or late@7:2s");
            }
            fault.delay = *delay;
            break;
        }
        case FaultKind::Status: {
            const auto status = value ? HexByte(*value) : std::nullopt;
            if (!status) {
                return Problem(entry,
                               "status needs the status byte as two hex digits, like "
                               "status@3:FE");
            }
            fault.status = *status;
            break;
        }
        case FaultKind::Flip: {
            fault.byte = kDefaultFlippedByte;
            if (value) {
                const auto byte = Decimal(*value, device::kReportSize - 1);
                if (!byte) {
                    return Problem(entry,
                                   "flip takes the byte of the reply to invert, 0 to 63, "
                                   "like flip@6:8");
                }
                fault.byte = static_cast<std::size_t>(*byte);
            }
            break;
        }
        case FaultKind::Unplug:
        case FaultKind::Drop:
        case FaultKind::Misnumber:
        case FaultKind::Refuse:
            if (value) {
                return Problem(entry, std::string(name) + " takes no value");
            }
            break;
    }
    return fault;
}

}  // namespace

std::optional<FaultPlanError> ParseFaultsInto(std::string_view text, FaultPlan& plan) {
    if (Trim(text).empty()) {
        return std::nullopt;
    }
    FaultPlan added = plan;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view entry = Trim(text.substr(start, comma - start));
        if (entry.empty()) {
            return FaultPlanError{"an empty entry: faults are separated by single commas"};
        }
        auto parsed = ParseEntry(entry);
        if (auto* error = std::get_if<FaultPlanError>(&parsed)) {
            return *error;
        }
        const PlannedFault& fault = std::get<PlannedFault>(parsed);
        const bool twice = std::any_of(added.begin(), added.end(), [&](const PlannedFault& f) {
            return f.kind == fault.kind && f.report == fault.report;
        });
        if (twice) {
            return Problem(entry, std::string(NameOf(fault.kind)) + " is armed twice at report " +
                                      std::to_string(fault.report));
        }
        added.push_back(fault);
        if (comma == text.size()) {
            break;
        }
        start = comma + 1;
    }
    plan = std::move(added);
    return std::nullopt;
}

std::variant<FaultPlan, FaultPlanError> ParseFaultPlan(std::string_view text) {
    FaultPlan plan;
    if (auto error = ParseFaultsInto(text, plan)) {
        return *error;
    }
    return plan;
}

FaultPlan InARow(const PlannedFault& fault, std::uint32_t count) {
    FaultPlan plan(count, fault);
    for (std::uint32_t i = 0; i < count; ++i) {
        plan[i].report = fault.report + i;
    }
    return plan;
}

std::string FormatFault(const PlannedFault& fault) {
    std::string text = std::string(NameOf(fault.kind)) + '@' + std::to_string(fault.report);
    switch (fault.kind) {
        case FaultKind::Late:
            text += ':' + std::to_string(fault.delay.count()) + "ms";
            break;
        case FaultKind::Status: {
            std::array<char, 3> hex{};
            std::snprintf(hex.data(), hex.size(), "%02X", static_cast<unsigned>(fault.status));
            text += ':' + std::string(hex.data());
            break;
        }
        case FaultKind::Flip:
            if (fault.byte != kDefaultFlippedByte) {
                text += ':' + std::to_string(fault.byte);
            }
            break;
        default:
            break;
    }
    return text;
}

}  // namespace qv::sim
