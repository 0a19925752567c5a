#include "keys/name_suggestions.h"

#include <algorithm>
#include <numeric>

#include "keys/assignable_keys.h"
#include "keys/key_name_parser.h"

namespace qv::keys {
namespace {

// What a failed text lookup gives; never a name worth suggesting.
constexpr std::string_view kMissingText = "#Error";

// How far a name may be from the typed text and still be suggested: about half its letters,
// never the whole of a short word (else "ab" would suggest every two-letter name).
std::size_t MaxDistanceFor(std::size_t typedLength) {
    const std::size_t half = std::max<std::size_t>(2, typedLength / 2);
    return typedLength == 0 ? 0 : std::min(half, typedLength - 1);
}

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
    // Three rows of the classic table: the one before the previous is needed for swaps.
    std::vector<std::size_t> older(b.size() + 1);
    std::vector<std::size_t> previous(b.size() + 1);
    std::vector<std::size_t> current(b.size() + 1);
    std::iota(previous.begin(), previous.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t replace = a[i - 1] == b[j - 1] ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + replace});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                current[j] = std::min(current[j], older[j - 2] + 1);
            }
        }
        std::swap(older, previous);
        std::swap(previous, current);
    }
    return previous[b.size()];
}

std::vector<std::string> SuggestNames(std::string_view typed,
                                      std::span<const NameSpelling> spellings, std::size_t max) {
    const std::string wanted = NormalizeKeyName(typed);
    const std::size_t limit = MaxDistanceFor(wanted.size());
    struct Scored {
        std::size_t distance;
        std::size_t order;
        const std::string* shown;
    };
    std::vector<Scored> scored;
    for (std::size_t i = 0; i < spellings.size(); ++i) {
        const NameSpelling& s = spellings[i];
        if (s.shown.empty() || s.shown == kMissingText || s.spelling == kMissingText) {
            continue;
        }
        const std::string spelling = NormalizeKeyName(s.spelling);
        if (spelling.empty()) {
            continue;
        }
        if (const std::size_t d = EditDistance(wanted, spelling); d <= limit) {
            scored.push_back({d, i, &s.shown});
        }
    }
    std::sort(scored.begin(), scored.end(), [](const Scored& x, const Scored& y) {
        return x.distance != y.distance ? x.distance < y.distance : x.order < y.order;
    });
    std::vector<std::string> names;
    for (const Scored& s : scored) {
        if (names.size() == max) {
            break;
        }
        if (std::find(names.begin(), names.end(), *s.shown) == names.end()) {
            names.push_back(*s.shown);
        }
    }
    return names;
}

std::vector<std::string> SuggestKeyNames(std::string_view typed, const TextLookupFn& lookup) {
    std::vector<NameSpelling> spellings;
    for (const NamedKey& key : AssignableKeys(lookup)) {
        // A key whose text is missing is still known by its short name.
        const std::string& shown = key.name == kMissingText ? key.shortName : key.name;
        spellings.push_back({shown, key.name});
        spellings.push_back({shown, key.shortName});
    }
    return SuggestNames(typed, spellings);
}

std::string DidYouMean(const std::vector<std::string>& names) {
    if (names.empty()) {
        return {};
    }
    std::string text = "; did you mean: ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text += i + 1 == names.size() ? " or " : ", ";
        }
        text += names[i];
    }
    return text + "?";
}

}  // namespace qv::keys
