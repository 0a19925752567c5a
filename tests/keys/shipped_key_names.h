#pragma once

// Key names as the shipped English language file gives them, so that name tests see every
// name a user sees (and every near miss a suggestion has to beat).

#include <string>

#include "keys/key_names.h"
#include "platform/ini_file.h"

namespace qv::keys {

inline TextLookupFn ShippedKeyNames() {
    const platform::IniLoadResult loaded = platform::IniFile::Load(QV_SHIPPED_LOOKUP_FILE);
    return [file = loaded.file](const std::string& key) {
        const auto text = file.Find("TEXT", key);
        return text ? std::string(*text) : std::string("#Error");
    };
}

}  // namespace qv::keys
