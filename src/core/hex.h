#pragma once

#include <string>

#include "core/bytes.h"

namespace qv {

// "04 01 00 01 ..." — two hex digits a byte, separated by single spaces.
[[nodiscard]] std::string HexBytes(Bytes bytes);

}  // namespace qv
