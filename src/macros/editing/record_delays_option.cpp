#include "macros/editing/record_delays_option.h"

#include "macros/editing/action_list_edits.h"

namespace qv::macros {

bool LoadRecordDelaysOption(platform::SettingsStore& settings, std::string_view entryName) {
    const platform::StringSetting stored = settings.ReadString(kRecordDelaysSettingsKey, entryName);
    std::string_view text = stored.status == platform::SettingsStatus::Ok ? stored.value : "0";
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    const bool on = LeadingDigitsValue(text) == 1;
    StoreRecordDelaysOption(settings, entryName, on);
    return on;
}

void StoreRecordDelaysOption(platform::SettingsStore& settings, std::string_view entryName,
                             bool on) {
    // A store that cannot be written keeps the option for this run only.
    (void)settings.WriteString(kRecordDelaysSettingsKey, entryName, on ? "1" : "0");
}

}  // namespace qv::macros
