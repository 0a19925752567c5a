#pragma once

// The key names an INI-like input writes ("name=..." lines, whatever section they stand in), so
// that a target looks up keys that are present as well as keys that are not.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qv::fuzz {

inline std::vector<std::string> KeysIn(std::string_view text, std::size_t most) {
    std::vector<std::string> keys;
    std::size_t start = 0;
    while (start < text.size() && keys.size() < most) {
        std::size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            stop = text.size();
        }
        const std::string_view line = text.substr(start, stop - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos && equals > 0) {
            keys.emplace_back(line.substr(0, equals));
        }
        start = stop + 1;
    }
    return keys;
}

}  // namespace qv::fuzz
