#include "editing/record_delays_option.h"

#include "editing/action_list_edits.h"

namespace qv::macros {

bool LoadRecordDelaysOption(platform::SettingsStore& settings, std::string_view entryName) {
    const platform::StringSetting stored = settings.ReadString(kRecordDelaysSettingsKey, entryName);
    bool on = false;
    if (stored.status == platform::SettingsStatus::Ok) {
        std::string_view text = stored.value;
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
            text.remove_prefix(1);
        }
        on = LeadingDigitsValue(text) == 1;
    } else if (stored.status == platform::SettingsStatus::WrongType) {
        // Kept as a number by someone else: the same rule.
        const platform::DwordSetting number =
            settings.ReadDword(kRecordDelaysSettingsKey, entryName);
        on = number.status == platform::SettingsStatus::Ok && number.value == 1;
    }
    StoreRecordDelaysOption(settings, entryName, on);
    return on;
}

void StoreRecordDelaysOption(platform::SettingsStore& settings, std::string_view entryName,
                             bool on) {
    // A store that cannot be written keeps the option for this run only.
    (void)settings.WriteString(kRecordDelaysSettingsKey, entryName, on ? "1" : "0");
}

}  // namespace qv::macros
