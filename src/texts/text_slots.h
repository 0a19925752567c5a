#pragma once

// The named text slots of the interface. A slot's name is also its key in the language file's
// two language sections. Most built-in texts are "IDS_" + the name and serve as the key of a
// text lookup; the others are listed with the slots in text_slots.cpp, with how each slot's
// text is used and the English sentence that stands in when no file gives a text.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qv::ui {

// Enumerators carry the slot names as they appear in the language file.
enum class TextSlot : std::uint8_t {
    // Macros
    MACRO_ACTION_RECORD_DELAY,
    MACRO_NEW_PREFIX,
    MACRO_ERR_MAX,
    MACRO_ERR_SAME,
    MACRO_ERR_NAME_SYSTEM,
    MACRO_DEFAULT_NAME,
    MACRO_ERR_RECORD,
    MACRO_PROMPT_DEMO,
    MACRO_ACTION_CLEAR_CONFIRM,
    MACRO_ACTION_ERR_MODIFY,
    MACRO_ACTION_ERR_DELAY_MAX,
    MACRO_ACTION_RECORD,
    MACRO_ACTION_STOP_RECORD,
    EXTRA_MACRO_TOO_LONG,
    // Keys
    UNKNOWN_KEY,
    FUNC_KEY_DESC1,
    FUNC_KEY_DESC2,
    FUNC_KEY_DESC3,
    FUNC_KEY_DESC4,
    FUNC_KEY_DESC5,
    FUNC_KEY_DESC6,
    FUNC_KEY_DESC7,
    FUNC_KEY_DESC8,
    FUNC_KEY_DESC9,
    FUNC_KEY_DESC10,
    FUNC_KEY_DESC11,
    APPLY_PROMPT,
    MACRO_DELETE_CONFIRM_OF_KEYS,
    KEY_PROMPT,
    KEY_PROMPT_SET,
    KEY_PROMPT_SINGLE,
    KEY_PROMPT_MACRO,
    KEY_PROMPT_MEDIA,
    KEY_PROMPT_FUNCTION,
    // Profiles
    DEFAULT_PROFILE_NAME,
    PROFILE_SELECT_PROMPT,
    PROFILE_SEELCT_PROMPT2,
    PROFILE_FORMAT_ERROR,
    PROFILE_NEW,
    PROFILE_TIP,
    EXTRA_PROFILE_SPACE_TIGHT,
    // Main window and tray
    KEYBOARD_TRAY_DESC,
    MAIN_CAPTION,
    MAIN_HELP_PROMPT,
    MAIN_MINIMIZE_PROMPT,
    MAIN_MENU_PROMPT,
    MAIN_CLOSE_PROMPT,
    MAIN_BUTTON_QUINDO_VER,
    MAIN_PROMPT_DEFAULT,
    MAIN_PROMPT_INPORT,
    MAIN_DEFAULT_MATRIX_PROMPT,
    MAIN_NO_DEVICE_PROMPT,
    // Main window, loaded from the language file
    PROFILE_1,
    PROFILE_2,
    PROFILE_3,
    PROFILE_MACRO,
    PROFILE_DEFAULT,
    PROFILE_OK,
    PROFILE_CANCLE,
    PROFILE_APPLY,
};

inline constexpr std::size_t kTextSlotCount = static_cast<std::size_t>(TextSlot::PROFILE_APPLY) + 1;

// What a slot's current text is to the code that uses it.
enum class SlotUse : std::uint8_t {
    Shown,         // the text itself, shown as it stands
    LookupKey,     // a key of the lookup file, whose text is shown
    Format,        // a printf-style format, shown with its arguments
    LookupFormat,  // a key of the lookup file, whose text is a format
    // Loaded from the language file before it is shown; the built-in text only holds the place.
    Loaded,
};

[[nodiscard]] std::string_view SlotName(TextSlot slot) noexcept;
[[nodiscard]] std::string_view BuiltInText(TextSlot slot) noexcept;
[[nodiscard]] SlotUse UseOf(TextSlot slot) noexcept;
// The English text of the slot as the user should see it (for a format slot, the format), for
// when neither the slot nor the files give one. Never empty and never a text id.
[[nodiscard]] std::string_view EnglishText(TextSlot slot) noexcept;
// Names compare exactly, as the language file's keys are written.
[[nodiscard]] std::optional<TextSlot> FindSlot(std::string_view name) noexcept;

// The slots the main window reloads from the language file at the end of its set-up: its
// button captions and the tooltips of three of its buttons.
inline constexpr std::array kMainWindowLanguageSlots = {
    TextSlot::PROFILE_1,        TextSlot::PROFILE_2,         TextSlot::PROFILE_3,
    TextSlot::PROFILE_MACRO,    TextSlot::PROFILE_DEFAULT,   TextSlot::PROFILE_OK,
    TextSlot::PROFILE_CANCLE,   TextSlot::PROFILE_APPLY,     TextSlot::MAIN_MINIMIZE_PROMPT,
    TextSlot::MAIN_MENU_PROMPT, TextSlot::MAIN_CLOSE_PROMPT,
};

}  // namespace qv::ui
