#pragma once

// The English lookup file as it ships, compiled in (generated from lang/Lang0409.ini).

#include <string_view>

namespace qv::ui {

[[nodiscard]] std::string_view BuiltInLookupFileText();

}  // namespace qv::ui
