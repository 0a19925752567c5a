#pragma once

// The names of the lighting modes: key n (decimal) of section [Mode] of the lookup file. Where
// the lookup file gives no name, the English lookup file built into the program answers, and
// where neither does, the name is "1".

#include <string>

#include "platform/ini_file.h"

namespace qv::ui {

class TextLookup;

[[nodiscard]] std::string ModeName(const platform::IniFile& lookupFile, int mode);
[[nodiscard]] std::string ModeName(const TextLookup& lookup, int mode);

}  // namespace qv::ui
