#include "ui/text_slots.h"

#include "core/contract.h"

namespace qv::ui {
namespace {

struct SlotInfo {
    TextSlot slot;
    std::string_view name;
    std::string_view builtIn;
};

// How each slot is used (shown unchanged, used as a lookup key, used as a format) is decided
// where it is used; only its name and built-in text live here.
constexpr std::array<SlotInfo, kTextSlotCount> kSlots = {{
    {TextSlot::MACRO_ACTION_RECORD_DELAY, "MACRO_ACTION_RECORD_DELAY",
     "IDS_MACRO_ACTION_RECORD_DELAY"},
    {TextSlot::MACRO_NEW_PREFIX, "MACRO_NEW_PREFIX", "IDS_MACRO_NEW_PREFIX"},
    {TextSlot::MACRO_ERR_MAX, "MACRO_ERR_MAX", "IDS_MACRO_ERR_MAX"},
    {TextSlot::MACRO_ERR_SAME, "MACRO_ERR_SAME", "IDS_MACRO_ERR_SAME"},
    {TextSlot::MACRO_ERR_NAME_SYSTEM, "MACRO_ERR_NAME_SYSTEM", "IDS_MACRO_ERR_NAME_SYSTEM"},
    {TextSlot::MACRO_DEFAULT_NAME, "MACRO_DEFAULT_NAME", "IDS_MACRO_DEFAULT_NAME"},
    {TextSlot::MACRO_ERR_RECORD, "MACRO_ERR_RECORD", "IDS_MACRO_ERR_RECORD"},
    {TextSlot::MACRO_PROMPT_DEMO, "MACRO_PROMPT_DEMO", "IDS_MACRO_PROMPT_DEMO"},
    {TextSlot::MACRO_ACTION_CLEAR_CONFIRM, "MACRO_ACTION_CLEAR_CONFIRM",
     "IDS_MACRO_ACTION_CLEAR_CONFIRM"},
    {TextSlot::MACRO_ACTION_ERR_MODIFY, "MACRO_ACTION_ERR_MODIFY", "IDS_MACRO_ACTION_ERR_MODIFY"},
    {TextSlot::MACRO_ACTION_ERR_DELAY_MAX, "MACRO_ACTION_ERR_DELAY_MAX",
     "IDS_MACRO_ACTION_ERR_DELAY_MAX"},
    {TextSlot::MACRO_ACTION_RECORD, "MACRO_ACTION_RECORD", "IDS_MACRO_ACTION_RECORD"},
    {TextSlot::MACRO_ACTION_STOP_RECORD, "MACRO_ACTION_STOP_RECORD",
     "IDS_MACRO_ACTION_STOP_RECORD"},
    {TextSlot::EXTRA_MACRO_TOO_LONG, "EXTRA_MACRO_TOO_LONG", "IDS_MACRO_OVER"},
    {TextSlot::UNKNOWN_KEY, "UNKNOWN_KEY", "Unknown Key: %03x"},
    {TextSlot::FUNC_KEY_DESC1, "FUNC_KEY_DESC1", "IDS_COMPOSITE_FUNC_KEY_OPEN"},
    {TextSlot::FUNC_KEY_DESC2, "FUNC_KEY_DESC2", "IDS_COMPOSITE_FUNC_KEY_NEW"},
    {TextSlot::FUNC_KEY_DESC3, "FUNC_KEY_DESC3", "IDS_COMPOSITE_FUNC_KEY_UNDO"},
    {TextSlot::FUNC_KEY_DESC4, "FUNC_KEY_DESC4", "IDS_COMPOSITE_FUNC_KEY_SAVE"},
    {TextSlot::FUNC_KEY_DESC5, "FUNC_KEY_DESC5", "IDS_COMPOSITE_FUNC_KEY_COPY"},
    {TextSlot::FUNC_KEY_DESC6, "FUNC_KEY_DESC6", "IDS_COMPOSITE_FUNC_KEY_CUT"},
    {TextSlot::FUNC_KEY_DESC7, "FUNC_KEY_DESC7", "IDS_COMPOSITE_FUNC_KEY_PASTE"},
    {TextSlot::FUNC_KEY_DESC8, "FUNC_KEY_DESC8", "IDS_COMPOSITE_FUNC_KEY_FIND"},
    {TextSlot::FUNC_KEY_DESC9, "FUNC_KEY_DESC9", "IDS_COMPOSITE_FUNC_KEY_SELECT_ALL"},
    {TextSlot::FUNC_KEY_DESC10, "FUNC_KEY_DESC10", "IDS_COMPOSITE_FUNC_KEY_ZOOMOUT"},
    {TextSlot::FUNC_KEY_DESC11, "FUNC_KEY_DESC11", "IDS_COMPOSITE_FUNC_KEY_ZOOMIN"},
    {TextSlot::APPLY_PROMPT, "APPLY_PROMPT", "IDS_KEY_APPLY_PROMPT"},
    {TextSlot::MACRO_DELETE_CONFIRM_OF_KEYS, "MACRO_DELETE_CONFIRM_OF_KEYS",
     "IDS_KEY_MACRO_DELETE_CONFIRM_OF_KEYS"},
    {TextSlot::KEY_PROMPT, "KEY_PROMPT", "IDS_KEY_PROMPT"},
    {TextSlot::KEY_PROMPT_SET, "KEY_PROMPT_SET", "IDS_KEY_PROMPT_SET"},
    {TextSlot::KEY_PROMPT_SINGLE, "KEY_PROMPT_SINGLE", "IDS_KEY_PROMPT_SINGLE"},
    {TextSlot::KEY_PROMPT_MACRO, "KEY_PROMPT_MACRO", "IDS_KEY_PROMPT_MACRO"},
    {TextSlot::KEY_PROMPT_MEDIA, "KEY_PROMPT_MEDIA", "IDS_KEY_PROMPT_MEDIA"},
    {TextSlot::KEY_PROMPT_FUNCTION, "KEY_PROMPT_FUNCTION", "IDS_KEY_PROMPT_FUNCTION"},
    {TextSlot::DEFAULT_PROFILE_NAME, "DEFAULT_PROFILE_NAME", "IDS_DEFAULT_PROFILE_NAME"},
    {TextSlot::PROFILE_SELECT_PROMPT, "PROFILE_SELECT_PROMPT", "IDS_PROFILE_SELECT_PROMPT"},
    {TextSlot::PROFILE_SEELCT_PROMPT2, "PROFILE_SEELCT_PROMPT2",
     "When fast switch scene mode, you must first close the editor dialog box."},
    {TextSlot::PROFILE_FORMAT_ERROR, "PROFILE_FORMAT_ERROR",
     "wrong file format, revert to the default values: \n  %s"},
    // Appended to a folder path without a separator: the leading backslash is the separator.
    {TextSlot::PROFILE_NEW, "PROFILE_NEW", "\\The new contextual  mode"},
    {TextSlot::PROFILE_TIP, "PROFILE_TIP", "The current contextual  mode: "},
    {TextSlot::EXTRA_PROFILE_SPACE_TIGHT, "EXTRA_PROFILE_SPACE_TIGHT", "EXTRA_PROFILE_SPACE_TIGHT"},
    {TextSlot::KEYBOARD_TRAY_DESC, "KEYBOARD_TRAY_DESC", "IDS_KEYBOARD_TRAY_DESC"},
    {TextSlot::MAIN_CAPTION, "MAIN_CAPTION", "IDS_MAIN_CAPTION"},
    {TextSlot::MAIN_HELP_PROMPT, "MAIN_HELP_PROMPT", "IDS_MAIN_HELP_PROMPT"},
    {TextSlot::MAIN_MINIMIZE_PROMPT, "MAIN_MINIMIZE_PROMPT", "IDS_MAIN_MINIMIZE_PROMPT"},
    {TextSlot::MAIN_MENU_PROMPT, "MAIN_MENU_PROMPT", "IDS_MAIN_MENU_PROMPT"},
    {TextSlot::MAIN_CLOSE_PROMPT, "MAIN_CLOSE_PROMPT", "IDS_MAIN_CLOSE_PROMPT"},
    {TextSlot::MAIN_BUTTON_QUINDO_VER, "MAIN_BUTTON_QUINDO_VER", ""},
    {TextSlot::MAIN_PROMPT_DEFAULT, "MAIN_PROMPT_DEFAULT", "IDS_MAIN_PROMPT_DEFAULT"},
    {TextSlot::MAIN_PROMPT_INPORT, "MAIN_PROMPT_INPORT", "IDS_MAIN_PROMPT_INPORT"},
    {TextSlot::MAIN_DEFAULT_MATRIX_PROMPT, "MAIN_DEFAULT_MATRIX_PROMPT", "IDS_MIAN_DEFAULT_PROMPT"},
    // The comma is the full-width U+FF0C.
    {TextSlot::MAIN_NO_DEVICE_PROMPT, "MAIN_NO_DEVICE_PROMPT",
     "Device is not detected\xEF\xBC\x8C"
     "the key settings can not be displayed!"},
    // Placeholders that the main window replaces from the language file before showing them.
    {TextSlot::PROFILE_1, "PROFILE_1", "hello"},
    {TextSlot::PROFILE_2, "PROFILE_2", "hello"},
    {TextSlot::PROFILE_3, "PROFILE_3", "hello"},
    {TextSlot::PROFILE_MACRO, "PROFILE_MACRO", "hello"},
    {TextSlot::PROFILE_DEFAULT, "PROFILE_DEFAULT", "hello"},
    {TextSlot::PROFILE_OK, "PROFILE_OK", "hello"},
    {TextSlot::PROFILE_CANCLE, "PROFILE_CANCLE", "hello"},
    {TextSlot::PROFILE_APPLY, "PROFILE_APPLY", "hello"},
}};

constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < kSlots.size(); ++i) {
        if (static_cast<std::size_t>(kSlots[i].slot) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InEnumOrder(), "kSlots is indexed by TextSlot");

}  // namespace

std::string_view SlotName(TextSlot slot) noexcept {
    QV_EXPECTS(static_cast<std::size_t>(slot) < kSlots.size());
    return kSlots[static_cast<std::size_t>(slot)].name;
}

std::string_view BuiltInText(TextSlot slot) noexcept {
    QV_EXPECTS(static_cast<std::size_t>(slot) < kSlots.size());
    return kSlots[static_cast<std::size_t>(slot)].builtIn;
}

std::optional<TextSlot> FindSlot(std::string_view name) noexcept {
    for (const SlotInfo& info : kSlots) {
        if (info.name == name) {
            return info.slot;
        }
    }
    return std::nullopt;
}

}  // namespace qv::ui
