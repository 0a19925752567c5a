#include "texts/text_slots.h"

#include "core/contract.h"

namespace qv::ui {
namespace {

struct SlotInfo {
    TextSlot slot;
    std::string_view name;
    std::string_view builtIn;
    SlotUse use;
    std::string_view english;
};

using enum SlotUse;

constexpr std::array<SlotInfo, kTextSlotCount> kSlots = {{
    // Names the settings entry of the record-delays option rather than being shown.
    {TextSlot::MACRO_ACTION_RECORD_DELAY, "MACRO_ACTION_RECORD_DELAY",
     "IDS_MACRO_ACTION_RECORD_DELAY", LookupKey, "RecordDelays"},
    // Also the prefix of new macro names, followed by a number.
    {TextSlot::MACRO_NEW_PREFIX, "MACRO_NEW_PREFIX", "IDS_MACRO_NEW_PREFIX", LookupKey, "Macro "},
    // One number: the largest number of macros.
    {TextSlot::MACRO_ERR_MAX, "MACRO_ERR_MAX", "IDS_MACRO_ERR_MAX", LookupFormat,
     "You can have at most %d macros. Please delete one before adding another."},
    {TextSlot::MACRO_ERR_SAME, "MACRO_ERR_SAME", "IDS_MACRO_ERR_SAME", LookupKey,
     "A macro with this name already exists. Please choose another name."},
    {TextSlot::MACRO_ERR_NAME_SYSTEM, "MACRO_ERR_NAME_SYSTEM", "IDS_MACRO_ERR_NAME_SYSTEM",
     LookupKey, "This name is reserved. Please choose another name."},
    {TextSlot::MACRO_DEFAULT_NAME, "MACRO_DEFAULT_NAME", "IDS_MACRO_DEFAULT_NAME", LookupKey,
     "New macro"},
    {TextSlot::MACRO_ERR_RECORD, "MACRO_ERR_RECORD", "IDS_MACRO_ERR_RECORD", LookupKey,
     "Recording could not be started. Please try again."},
    {TextSlot::MACRO_PROMPT_DEMO, "MACRO_PROMPT_DEMO", "IDS_MACRO_PROMPT_DEMO", LookupKey,
     "Click Record, then press the keys of your macro. Click Stop when you are done."},
    {TextSlot::MACRO_ACTION_CLEAR_CONFIRM, "MACRO_ACTION_CLEAR_CONFIRM",
     "IDS_MACRO_ACTION_CLEAR_CONFIRM", LookupKey, "Remove all actions of this macro?"},
    {TextSlot::MACRO_ACTION_ERR_MODIFY, "MACRO_ACTION_ERR_MODIFY", "IDS_MACRO_ACTION_ERR_MODIFY",
     LookupKey, "Please stop recording before you edit the actions."},
    // One number: the longest delay in milliseconds.
    {TextSlot::MACRO_ACTION_ERR_DELAY_MAX, "MACRO_ACTION_ERR_DELAY_MAX",
     "IDS_MACRO_ACTION_ERR_DELAY_MAX", LookupFormat,
     "A delay can be at most %d ms; the longest delay is used instead."},
    {TextSlot::MACRO_ACTION_RECORD, "MACRO_ACTION_RECORD", "IDS_MACRO_ACTION_RECORD", LookupKey,
     "Record"},
    {TextSlot::MACRO_ACTION_STOP_RECORD, "MACRO_ACTION_STOP_RECORD", "IDS_MACRO_ACTION_STOP_RECORD",
     LookupKey, "Stop"},
    {TextSlot::EXTRA_MACRO_TOO_LONG, "EXTRA_MACRO_TOO_LONG", "IDS_MACRO_OVER", LookupKey,
     "The macros are too long for the keyboard's memory. Please shorten or delete some macros "
     "and apply again."},
    // The name of a key that has none of its own; one number, the key code.
    {TextSlot::UNKNOWN_KEY, "UNKNOWN_KEY", "Unknown Key: %03x", LookupFormat, "Unknown key (%03X)"},
    {TextSlot::FUNC_KEY_DESC1, "FUNC_KEY_DESC1", "IDS_COMPOSITE_FUNC_KEY_OPEN", LookupKey, "Open"},
    {TextSlot::FUNC_KEY_DESC2, "FUNC_KEY_DESC2", "IDS_COMPOSITE_FUNC_KEY_NEW", LookupKey, "New"},
    {TextSlot::FUNC_KEY_DESC3, "FUNC_KEY_DESC3", "IDS_COMPOSITE_FUNC_KEY_UNDO", LookupKey, "Undo"},
    {TextSlot::FUNC_KEY_DESC4, "FUNC_KEY_DESC4", "IDS_COMPOSITE_FUNC_KEY_SAVE", LookupKey, "Save"},
    {TextSlot::FUNC_KEY_DESC5, "FUNC_KEY_DESC5", "IDS_COMPOSITE_FUNC_KEY_COPY", LookupKey, "Copy"},
    {TextSlot::FUNC_KEY_DESC6, "FUNC_KEY_DESC6", "IDS_COMPOSITE_FUNC_KEY_CUT", LookupKey, "Cut"},
    {TextSlot::FUNC_KEY_DESC7, "FUNC_KEY_DESC7", "IDS_COMPOSITE_FUNC_KEY_PASTE", LookupKey,
     "Paste"},
    {TextSlot::FUNC_KEY_DESC8, "FUNC_KEY_DESC8", "IDS_COMPOSITE_FUNC_KEY_FIND", LookupKey, "Find"},
    {TextSlot::FUNC_KEY_DESC9, "FUNC_KEY_DESC9", "IDS_COMPOSITE_FUNC_KEY_SELECT_ALL", LookupKey,
     "Select All"},
    {TextSlot::FUNC_KEY_DESC10, "FUNC_KEY_DESC10", "IDS_COMPOSITE_FUNC_KEY_ZOOMOUT", LookupKey,
     "Zoom Out"},
    {TextSlot::FUNC_KEY_DESC11, "FUNC_KEY_DESC11", "IDS_COMPOSITE_FUNC_KEY_ZOOMIN", LookupKey,
     "Zoom In"},
    // Shown as it stands although the built-in text is a key: the language file gives the text.
    {TextSlot::APPLY_PROMPT, "APPLY_PROMPT", "IDS_KEY_APPLY_PROMPT", Shown,
     "Your key changes are not on the keyboard yet. Click Apply to send them."},
    {TextSlot::MACRO_DELETE_CONFIRM_OF_KEYS, "MACRO_DELETE_CONFIRM_OF_KEYS",
     "IDS_KEY_MACRO_DELETE_CONFIRM_OF_KEYS", LookupKey,
     "This macro is assigned to one or more keys. Delete it anyway? Those keys go back to their "
     "default."},
    // A reassigned key's tooltip is put together from pieces: the key name, SET, one of the kind
    // texts, the target and ")".
    {TextSlot::KEY_PROMPT, "KEY_PROMPT", "IDS_KEY_PROMPT", LookupKey,
     "Click a key to change what it does."},
    {TextSlot::KEY_PROMPT_SET, "KEY_PROMPT_SET", "IDS_KEY_PROMPT_SET", LookupKey, ": assigned"},
    {TextSlot::KEY_PROMPT_SINGLE, "KEY_PROMPT_SINGLE", "IDS_KEY_PROMPT_SINGLE", LookupKey,
     " to key ("},
    {TextSlot::KEY_PROMPT_MACRO, "KEY_PROMPT_MACRO", "IDS_KEY_PROMPT_MACRO", LookupKey,
     " to macro ("},
    {TextSlot::KEY_PROMPT_MEDIA, "KEY_PROMPT_MEDIA", "IDS_KEY_PROMPT_MEDIA", LookupKey,
     " to media key ("},
    {TextSlot::KEY_PROMPT_FUNCTION, "KEY_PROMPT_FUNCTION", "IDS_KEY_PROMPT_FUNCTION", LookupKey,
     " to function ("},
    {TextSlot::DEFAULT_PROFILE_NAME, "DEFAULT_PROFILE_NAME", "IDS_DEFAULT_PROFILE_NAME", LookupKey,
     "Default profile"},
    {TextSlot::PROFILE_SELECT_PROMPT, "PROFILE_SELECT_PROMPT", "IDS_PROFILE_SELECT_PROMPT",
     LookupKey,
     "You have changes that are not applied yet. Apply them before switching profiles? (No "
     "discards them.)"},
    {TextSlot::PROFILE_SEELCT_PROMPT2, "PROFILE_SEELCT_PROMPT2",
     "When fast switch scene mode, you must first close the editor dialog box.", Shown,
     "Please close the key assignment window before switching profiles."},
    // Shown when a profile file is refused; one text, the problem found.
    {TextSlot::PROFILE_FORMAT_ERROR, "PROFILE_FORMAT_ERROR",
     "This profile file has the wrong format and was not used: %s", Format,
     "This profile file has the wrong format and was not used: %s"},
    // Appended to a folder path without a separator: the leading backslash is the separator.
    {TextSlot::PROFILE_NEW, "PROFILE_NEW", "\\The new contextual  mode", Shown, "\\New profile"},
    {TextSlot::PROFILE_TIP, "PROFILE_TIP", "The current contextual  mode: ", Shown,
     "Current profile: "},
    {TextSlot::EXTRA_PROFILE_SPACE_TIGHT, "EXTRA_PROFILE_SPACE_TIGHT", "EXTRA_PROFILE_SPACE_TIGHT",
     LookupKey,
     "The keyboard's macro memory is nearly full, so the macro names were not stored on the "
     "keyboard. The macros themselves work as before."},
    {TextSlot::KEYBOARD_TRAY_DESC, "KEYBOARD_TRAY_DESC", "IDS_KEYBOARD_TRAY_DESC", LookupKey,
     "Quorvane keyboard settings"},
    {TextSlot::MAIN_CAPTION, "MAIN_CAPTION", "IDS_MAIN_CAPTION", LookupKey,
     "Quorvane Keyboard Settings"},
    {TextSlot::MAIN_HELP_PROMPT, "MAIN_HELP_PROMPT", "IDS_MAIN_HELP_PROMPT", LookupKey, "Help"},
    // Looked up at first; the main window's set-up then loads them from the language file, and
    // from then on they are shown as they stand.
    {TextSlot::MAIN_MINIMIZE_PROMPT, "MAIN_MINIMIZE_PROMPT", "IDS_MAIN_MINIMIZE_PROMPT", Shown,
     "Minimise"},
    {TextSlot::MAIN_MENU_PROMPT, "MAIN_MENU_PROMPT", "IDS_MAIN_MENU_PROMPT", Shown,
     "Import or export a profile"},
    {TextSlot::MAIN_CLOSE_PROMPT, "MAIN_CLOSE_PROMPT", "IDS_MAIN_CLOSE_PROMPT", Shown,
     "Exit Quorvane"},
    {TextSlot::MAIN_BUTTON_QUINDO_VER, "MAIN_BUTTON_QUINDO_VER", "", Shown, "Quorvane"},
    {TextSlot::MAIN_PROMPT_DEFAULT, "MAIN_PROMPT_DEFAULT", "IDS_MAIN_PROMPT_DEFAULT", LookupKey,
     "Restore the default key assignments of this profile and apply them to the keyboard? If "
     "the lighting panel is open, the lighting is reset too."},
    // Shown as it stands although the built-in text is a key: the language file gives the text.
    {TextSlot::MAIN_PROMPT_INPORT, "MAIN_PROMPT_INPORT", "IDS_MAIN_PROMPT_INPORT", Shown,
     "The file could not be imported. Please choose a valid Quorvane profile file."},
    {TextSlot::MAIN_DEFAULT_MATRIX_PROMPT, "MAIN_DEFAULT_MATRIX_PROMPT", "IDS_MIAN_DEFAULT_PROMPT",
     LookupKey,
     "The keyboard's default key layout could not be read. Some keys may not be shown "
     "correctly."},
    // The comma is the full-width U+FF0C.
    {TextSlot::MAIN_NO_DEVICE_PROMPT, "MAIN_NO_DEVICE_PROMPT",
     "Device is not detected\xEF\xBC\x8C"
     "the key settings can not be displayed!",
     Shown, "No keyboard detected, so the key settings cannot be shown."},
    {TextSlot::PROFILE_1, "PROFILE_1", "hello", Loaded, "Profile 1"},
    {TextSlot::PROFILE_2, "PROFILE_2", "hello", Loaded, "Profile 2"},
    {TextSlot::PROFILE_3, "PROFILE_3", "hello", Loaded, "Profile 3"},
    {TextSlot::PROFILE_MACRO, "PROFILE_MACRO", "hello", Loaded, "Macros"},
    {TextSlot::PROFILE_DEFAULT, "PROFILE_DEFAULT", "hello", Loaded, "Defaults"},
    {TextSlot::PROFILE_OK, "PROFILE_OK", "hello", Loaded, "OK"},
    {TextSlot::PROFILE_CANCLE, "PROFILE_CANCLE", "hello", Loaded, "Cancel"},
    {TextSlot::PROFILE_APPLY, "PROFILE_APPLY", "hello", Loaded, "Apply"},
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

// The English texts are the last resort of what a user sees: never nothing, never a key.
constexpr bool EnglishTextsAreTexts() {
    for (const SlotInfo& info : kSlots) {
        if (info.english.empty() || info.english.starts_with("IDS_") || info.english == info.name) {
            return false;
        }
    }
    return true;
}
static_assert(EnglishTextsAreTexts(), "every slot needs an English text to fall back to");

}  // namespace

std::string_view SlotName(TextSlot slot) noexcept {
    QV_EXPECTS(static_cast<std::size_t>(slot) < kSlots.size());
    return kSlots[static_cast<std::size_t>(slot)].name;
}

std::string_view BuiltInText(TextSlot slot) noexcept {
    QV_EXPECTS(static_cast<std::size_t>(slot) < kSlots.size());
    return kSlots[static_cast<std::size_t>(slot)].builtIn;
}

SlotUse UseOf(TextSlot slot) noexcept {
    QV_EXPECTS(static_cast<std::size_t>(slot) < kSlots.size());
    return kSlots[static_cast<std::size_t>(slot)].use;
}

std::string_view EnglishText(TextSlot slot) noexcept {
    QV_EXPECTS(static_cast<std::size_t>(slot) < kSlots.size());
    return kSlots[static_cast<std::size_t>(slot)].english;
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
