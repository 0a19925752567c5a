#pragma once

// The localised texts quorvanectl shows (key names, assignment descriptions, messages), found
// the same way the desktop app finds them.

#include <memory>
#include <string>

#include "keys/key_names.h"
#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "ui/text_lookup.h"

namespace qv::cli {

class CliTexts {
public:
    CliTexts();

    [[nodiscard]] std::string LookupText(const std::string& key) const {
        return lookup_.LookupText(key);
    }
    [[nodiscard]] keys::TextLookupFn LookupFn() const {
        return [this](const std::string& key) { return lookup_.LookupText(key); };
    }

private:
    platform::IniSettingsStore languageKey_;
    platform::PosixSystemLanguage systemLanguage_;
    ui::TextLookup lookup_;
};

}  // namespace qv::cli
