#include "app/main_window_commands.h"

#include <algorithm>

#include "app/keyboard_view_model.h"
#include "platform/ini_file.h"

namespace qv::app {
namespace {

constexpr std::string_view kLinksSection = "LINKS";

std::optional<std::string> WebAddress(std::string_view text) {
    const std::string_view trimmed = text.substr(0, text.find_first_of(" \t"));
    for (const std::string_view scheme : {"https://", "http://"}) {
        if (trimmed.size() > scheme.size() &&
            platform::EqualsIgnoreCase(trimmed.substr(0, scheme.size()), scheme)) {
            return std::string(trimmed);
        }
    }
    return std::nullopt;
}

}  // namespace

std::size_t CheckedReportRateButton(const lighting::LightingState& state) noexcept {
    return static_cast<std::size_t>(std::clamp(state.reportRate, 0, lighting::kMaxReportRate));
}

std::vector<std::size_t> DefaultCommandSlots(bool bankB) {
    std::vector<std::size_t> slots;
    for (const unsigned code : ui::kMainKeyCodes) {
        slots.push_back(MainKeySlot(static_cast<keys::KeyCode>(code)));
    }
    for (std::size_t position = 0; position < keys::kGKeysPerBank; ++position) {
        slots.push_back(GKeySlot(position, bankB));
    }
    return slots;
}

bool ApplyFailureUntold(const service::OperationResult& result) noexcept {
    using service::OperationStatus;
    switch (result.status) {
        case OperationStatus::Done:
        case OperationStatus::NothingToDo:
        // Told by the service's own notices, or the user's own choice.
        case OperationStatus::MacrosTooLong:
        case OperationStatus::MacroCapacityUnknown:
        case OperationStatus::PartlyWritten:
        case OperationStatus::EndNotConfirmed:
        case OperationStatus::ProfileChanged:
        case OperationStatus::KeyboardUnread:
        case OperationStatus::FileRefused:
        case OperationStatus::FileNotSaved:
            return false;
        case OperationStatus::NoKeyboard:
        case OperationStatus::FirmwareTooOld:
        case OperationStatus::KeyDefaultsUnread:
        case OperationStatus::ProfileUnknown:
        case OperationStatus::NotWritten:
        case OperationStatus::OutcomeUnknown:
        case OperationStatus::EntryRefused:
        case OperationStatus::LightingRefused:
            break;
    }
    return true;
}

bool ImportFailureUntold(const service::OperationResult& result) noexcept {
    return result.status != service::OperationStatus::NotWritten && ApplyFailureUntold(result);
}

std::optional<std::string> WebPageAddress(const ui::SkinFile& skin, std::string_view buttonKey) {
    return WebAddress(skin.Ini().GetString(kLinksSection, buttonKey, "", ui::kSkinValueMaxChars));
}

std::optional<std::string> SiteAddress(const ui::SkinFile& skin) {
    return WebAddress(skin.Link());
}

}  // namespace qv::app
