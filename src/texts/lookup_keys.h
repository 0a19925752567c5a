#pragma once

// The keys under which windows and messages find their texts, in one place so that the code
// and the check of the shipped language files use the same list.
//
//  - Lookup keys of section TEXT of Lang0409.ini that windows and messages name directly
//    (some of them are also the built-in texts of text slots). Not listed here: the name keys
//    of the key tables (keys/key_table_data.cpp, keys/key_lists_data.cpp) and the keys that
//    only a text slot names (ui/text_slots.cpp), which are reached through those tables.
//  - Keys that single windows read from the interface section of Skins/language.ini.
//  - The section of Lang0409.ini that names the lighting modes.

#include <array>
#include <string_view>

namespace qv::ui {

// ---- Main window -------------------------------------------------------------------------
inline constexpr std::string_view kIdsMainCaption = "IDS_MAIN_CAPTION";
// Tooltips of the help, minimise, close and menu buttons.
inline constexpr std::string_view kIdsMainHelpPrompt = "IDS_MAIN_HELP_PROMPT";
inline constexpr std::string_view kIdsMainMinimizePrompt = "IDS_MAIN_MINIMIZE_PROMPT";
inline constexpr std::string_view kIdsMainClosePrompt = "IDS_MAIN_CLOSE_PROMPT";
inline constexpr std::string_view kIdsMainMenuPrompt = "IDS_MAIN_MENU_PROMPT";
// Captions of the four profile slot buttons and the command buttons.
inline constexpr std::string_view kIdsMainProfile1 = "IDS_MAIN_PROFILE1";
inline constexpr std::string_view kIdsMainProfile2 = "IDS_MAIN_PROFILE2";
inline constexpr std::string_view kIdsMainProfile3 = "IDS_MAIN_PROFILE3";
inline constexpr std::string_view kIdsMainProfile4 = "IDS_MAIN_PROFILE4";
inline constexpr std::string_view kIdsMainDefault = "IDS_MAIN_DEFAULT";
inline constexpr std::string_view kIdsMainMacro = "IDS_MAIN_MACRO";
inline constexpr std::string_view kIdsMainOk = "IDS_MAIN_OK";
inline constexpr std::string_view kIdsMainCancel = "IDS_MAIN_Cancel";
inline constexpr std::string_view kIdsMainApply = "IDS_MAIN_Apply";
// Yes/No question of the Default command.
inline constexpr std::string_view kIdsMainPromptDefault = "IDS_MAIN_PROMPT_DEFAULT";
// Shown after a refused import.
inline constexpr std::string_view kIdsMainPromptImport = "IDS_MAIN_PROMPT_INPORT";
// Items of the menu button's menu.
inline constexpr std::string_view kIdsButtonMenuImport = "IDS_BUTTON_MENU_IMPORT";
inline constexpr std::string_view kIdsButtonMenuExport = "IDS_BUTTON_MENU_EXPORT";
// The language submenu of the menu button's menu and of the tray menu.
inline constexpr std::string_view kIdsMenuLanguage = "IDS_MENU_LANGUAGE";
// Captions of the lock indicators.
inline constexpr std::string_view kIdsMainLockNum = "IDS_MAIN_LOCK_NUM";
inline constexpr std::string_view kIdsMainLockCaps = "IDS_MAIN_LOCK_CAPS";
inline constexpr std::string_view kIdsMainLockScroll = "IDS_MAIN_LOCK_SCROLL";
// Messages of the main window's commands; the export one is a format with one %s (the file).
inline constexpr std::string_view kIdsMainExportFailed = "IDS_MAIN_EXPORT_FAILED";
inline constexpr std::string_view kIdsMainApplyFailed = "IDS_MAIN_APPLY_FAILED";
inline constexpr std::string_view kIdsMainReportRateNotWritten = "IDS_MAIN_REPORT_RATE_NOT_WRITTEN";
// Buttons of the message boxes.
inline constexpr std::string_view kIdsBoxOk = "IDS_BOX_OK";
inline constexpr std::string_view kIdsBoxCancel = "IDS_BOX_CANCEL";
inline constexpr std::string_view kIdsBoxYes = "IDS_BOX_YES";
inline constexpr std::string_view kIdsBoxNo = "IDS_BOX_NO";

// ---- Profile switching and the profile manager -------------------------------------------
// Format with one %d: the profile (1..4) the keyboard did not switch to.
inline constexpr std::string_view kIdsProfileNotSwitched = "IDS_PROFILE_NOT_SWITCHED";
inline constexpr std::string_view kIdsProfileTitle = "IDS_PROFILE_TITLE";
inline constexpr std::string_view kIdsProfileColumnActive = "IDS_PROFILE_COLUMN_ACTIVE";
inline constexpr std::string_view kIdsProfileColumnName = "IDS_PROFILE_COLUMN_NAME";
inline constexpr std::string_view kIdsProfileColumnPath = "IDS_PROFILE_COLUMN_PATH";
inline constexpr std::string_view kIdsProfileAdd = "IDS_PROFILE_ADD";
inline constexpr std::string_view kIdsProfileLoad = "IDS_PROFILE_LOAD";
inline constexpr std::string_view kIdsProfileDelete = "IDS_PROFILE_DELETE";
inline constexpr std::string_view kIdsProfileApply = "IDS_PROFILE_APPLY";
inline constexpr std::string_view kIdsProfileOk = "IDS_PROFILE_OK";
inline constexpr std::string_view kIdsProfileCancel = "IDS_PROFILE_CANCEL";
// Format with one %s: the file that could not be written.
inline constexpr std::string_view kIdsProfileNewNotWritten = "IDS_PROFILE_NEW_NOT_WRITTEN";

// ---- What the keyboard service reports and asks -------------------------------------------
// Format with one %s: what could not be read.
inline constexpr std::string_view kIdsNoticeKeyboardUnreadable = "IDS_NOTICE_KEYBOARD_UNREADABLE";
inline constexpr std::string_view kIdsNoticePartlyWritten = "IDS_NOTICE_PARTLY_WRITTEN";
inline constexpr std::string_view kIdsNoticeColourPageNotWritten =
    "IDS_NOTICE_COLOUR_PAGE_NOT_WRITTEN";
// Format with one %s: the key settings an import dropped, one a line.
inline constexpr std::string_view kIdsNoticeImportEntriesDropped =
    "IDS_NOTICE_IMPORT_ENTRIES_DROPPED";
// Format with one %s: the file to import again.
inline constexpr std::string_view kIdsNoticeImportPartlyWritten =
    "IDS_NOTICE_IMPORT_PARTLY_WRITTEN";
inline constexpr std::string_view kIdsNoticeEndNotConfirmed = "IDS_NOTICE_END_NOT_CONFIRMED";
// Format with one %s: the file to import again.
inline constexpr std::string_view kIdsNoticeImportEndNotConfirmed =
    "IDS_NOTICE_IMPORT_END_NOT_CONFIRMED";
inline constexpr std::string_view kIdsNoticeMacroCapacityUnknown =
    "IDS_NOTICE_MACRO_CAPACITY_UNKNOWN";
// Format with one %s: the file that was not imported.
inline constexpr std::string_view kIdsNoticeImportNotWritten = "IDS_NOTICE_IMPORT_NOT_WRITTEN";
// Format with one %s: the file and why it could not be written.
inline constexpr std::string_view kIdsNoticeProfileFileNotSaved =
    "IDS_NOTICE_PROFILE_FILE_NOT_SAVED";
inline constexpr std::string_view kIdsEntryNotRemappable = "IDS_ENTRY_NOT_REMAPPABLE";
inline constexpr std::string_view kIdsEntryMacroOnly = "IDS_ENTRY_MACRO_ONLY";
inline constexpr std::string_view kIdsEntryNotSendable = "IDS_ENTRY_NOT_SENDABLE";
inline constexpr std::string_view kIdsEntryNoSuchMacro = "IDS_ENTRY_NO_SUCH_MACRO";
// Format with two %s: the profile (1..4) the changes were made for, twice.
inline constexpr std::string_view kIdsNoticePendingForOtherProfile =
    "IDS_NOTICE_PENDING_FOR_OTHER_PROFILE";
inline constexpr std::string_view kIdsQuestionOverwriteUnread = "IDS_QUESTION_OVERWRITE_UNREAD";
inline constexpr std::string_view kIdsQuestionUpdateFirmware = "IDS_QUESTION_UPDATE_FIRMWARE";
inline constexpr std::string_view kIdsQuestionUpdateFirmwareCaption =
    "IDS_QUESTION_UPDATE_FIRMWARE_CAPTION";

// ---- Device link -------------------------------------------------------------------------
// The keyboard's key default table could not be read on arrival.
inline constexpr std::string_view kIdsMainDefaultMatrixPrompt = "IDS_MIAN_DEFAULT_PROMPT";

// ---- Notification-area icon --------------------------------------------------------------
inline constexpr std::string_view kIdsKeyboardTrayDesc = "IDS_KEYBOARD_TRAY_DESC";
inline constexpr std::string_view kIdsPopUpMenuOpen = "IDS_POP_UP_MENU_OPEN";
inline constexpr std::string_view kIdsPopUpMenuAbout = "IDS_POP_UP_MENU_ABOUT";
inline constexpr std::string_view kIdsPopUpMenuExit = "IDS_POP_UP_MENU_EXIT";

// ---- About box ---------------------------------------------------------------------------
inline constexpr std::string_view kIdsAboutTitle = "IDS_ABOUT_TITLE";
inline constexpr std::string_view kIdsAboutVersion = "IDS_ABOUT_VERSION";
inline constexpr std::string_view kIdsAboutCopyright = "IDS_ABOUT_COPYRIGHT";
inline constexpr std::string_view kIdsAboutOk = "IDS_ABOUT_OK";

// ---- Lighting panel captions (and the report-rate caption of the main window) ------------
inline constexpr std::string_view kIdsKeyboardFuncDeng = "IDS_KEYBOARD_FUNC_DENG";
inline constexpr std::string_view kIdsKeyboardFuncTextLight = "IDS_KEYBOARD_FUNC_TEXTLIGHT";
inline constexpr std::string_view kIdsKeyboardFuncFx = "IDS_KEYBOARD_FUNC_FX";
inline constexpr std::string_view kIdsKeyboardFuncSpeed = "IDS_KEYBOARD_FUNC_SPEED";
inline constexpr std::string_view kIdsKeyboardFuncColor = "IDS_KEYBOARD_FUNC_COLOR";
inline constexpr std::string_view kIdsKeyboardFuncJColor = "IDS_KEYBOARD_FUNC_JCOLOR";
inline constexpr std::string_view kIdsKeyboardFuncColourful = "IDS_KEYBOARD_FUNC_COLOURFUL";
inline constexpr std::string_view kIdsKeyboardFuncTool = "IDS_KEYBOARD_FUNC_TOOL";
inline constexpr std::string_view kIdsKeyboardFuncUsb = "IDS_KEYBOARD_FUNC_USB";

// ---- Key assignment dialog ---------------------------------------------------------------
// Title: ordinary keys, and the macro-only G key.
inline constexpr std::string_view kIdsKeyboardKeySetting = "IDS_KEYBOARD_KEY_SETTING";
inline constexpr std::string_view kIdsKeyboardEditTishi = "IDS_KEYBOARD_EDIT_TISHI";
// Tabs, OK, Cancel, Clear (caption and tooltip).
inline constexpr std::string_view kIdsCompositeSelectKey = "IDS_COMPOSITE_SELECT_KEY";
inline constexpr std::string_view kIdsCompositeSelectMacro = "IDS_COMPOSITE_SELECT_MACRO";
inline constexpr std::string_view kIdsCompositeSelectMedia = "IDS_COMPOSITE_SELECT_MEDIA";
inline constexpr std::string_view kIdsCompositeSelectFunction = "IDS_COMPOSITE_SELECT_FUNCTION";
inline constexpr std::string_view kIdsCompositeOk = "IDS_COMPOSITE_OK";
inline constexpr std::string_view kIdsCompositeCancel = "IDS_COMPOSITE_CANCEL";
inline constexpr std::string_view kIdsKeyboardMacroReset = "IDS_KEYBOARD_MARCO_RESET";
// Prompts of the single-key, media and function pages and the KB / MOU labels.
inline constexpr std::string_view kIdsKeyboardKeySingle = "IDS_KEYBOARD_KEY_SINGLE";
inline constexpr std::string_view kIdsMediaEdit = "IDS_MEDIA_EDIT";
inline constexpr std::string_view kIdsFunctionEdit = "IDS_FUNCTION_EDIT";
inline constexpr std::string_view kIdsMacroKbKey = "IDS_MACRO_KB_KEY";
inline constexpr std::string_view kIdsMacroMouKey = "IDS_MACRO_MOU_KEY";
// The key box while it waits for a key, and while it does not; the dialog's Apply.
inline constexpr std::string_view kIdsKeyCaptureArmed = "IDS_KEY_CAPTURE_ARMED";
inline constexpr std::string_view kIdsKeyCaptureIdle = "IDS_KEY_CAPTURE_IDLE";
inline constexpr std::string_view kIdsCompositeApply = "IDS_COMPOSITE_APPLY";
// Captions of the macro list's add and delete buttons.
inline constexpr std::string_view kIdsCompositeMacroAdd = "IDS_COMPOSITE_MACRO_ADD";
inline constexpr std::string_view kIdsCompositeMacroDelete = "IDS_COMPOSITE_MACRO_DELETE";

// ---- Macro page of the key assignment dialog ---------------------------------------------
inline constexpr std::string_view kIdsMacroName = "IDS_MACRO_NAME";
inline constexpr std::string_view kIdsMacroCycles = "IDS_MACRO_CYCLES";
inline constexpr std::string_view kIdsMacroRecordDelay = "IDS_MACRO_RECORD_DELAY";
// Action buttons.
inline constexpr std::string_view kIdsCompositeMacroActionUpTop =
    "IDS_COMPOSITE_MACRO_ACTION_UPTOP";
inline constexpr std::string_view kIdsCompositeMacroActionUp = "IDS_COMPOSITE_MACRO_ACTION_UP";
inline constexpr std::string_view kIdsCompositeMacroActionDown = "IDS_COMPOSITE_MACRO_ACTION_DOWN";
inline constexpr std::string_view kIdsCompositeMacroActionDownBottom =
    "IDS_COMPOSITE_MACRO_ACTION_DOWNBOTTOM";
inline constexpr std::string_view kIdsCompositeMacroActionRecord =
    "IDS_COMPOSITE_MACRO_ACTION_RECORD";
inline constexpr std::string_view kIdsCompositeMacroActionDelete =
    "IDS_COMPOSITE_MACRO_ACTION_DELETE";
inline constexpr std::string_view kIdsCompositeMacroActionClear =
    "IDS_COMPOSITE_MACRO_ACTION_CLEAR";
// Column headers of the action list.
inline constexpr std::string_view kIdsMacroActionColumnKeys = "IDS_MACRO_MACRO_ACTION_COLUME_KEYS";
inline constexpr std::string_view kIdsMacroActionColumnAction =
    "IDS_MACRO_MACRO_ACTION_COLUME_ACTION";
inline constexpr std::string_view kIdsMacroActionColumnDelay =
    "IDS_MACRO_MACRO_ACTION_COLUME_DELAY";
// The record button while stopped and while recording.
inline constexpr std::string_view kIdsMacroActionRecord = "IDS_MACRO_ACTION_RECORD";
inline constexpr std::string_view kIdsMacroActionStopRecord = "IDS_MACRO_ACTION_STOP_RECORD";
// The action column of the action list.
inline constexpr std::string_view kIdsMacroActionPress = "IDS_MACRO_ACTION_PRESS";
inline constexpr std::string_view kIdsMacroActionRelease = "IDS_MACRO_ACTION_RELEASE";
// Its text names the settings entry of the record-delays option; it is not shown.
inline constexpr std::string_view kIdsMacroActionRecordDelay = "IDS_MACRO_ACTION_RECORD_DELAY";
// Prefix of generated macro names ("%s%d" with a number).
inline constexpr std::string_view kIdsMacroNewPrefix = "IDS_MACRO_NEW_PREFIX";
// Questions and messages; ERR_DELAY_MAX is a format with one %d (the longest delay).
inline constexpr std::string_view kIdsKeyMacroDeleteConfirmOfKeys =
    "IDS_KEY_MACRO_DELETE_CONFIRM_OF_KEYS";
inline constexpr std::string_view kIdsMacroActionClearConfirm = "IDS_MACRO_ACTION_CLEAR_CONFIRM";
inline constexpr std::string_view kIdsMacroActionErrDelayMax = "IDS_MACRO_ACTION_ERR_DELAY_MAX";
// The memory meter: USED is a format with three %u (bytes used, capacity, percent), UNKNOWN one
// (bytes used) for a keyboard not read yet, TOO_LARGE one (bytes over); NAMES_DROPPED warns
// that Apply will store the macros without their names.
inline constexpr std::string_view kIdsMacroMemoryUsed = "IDS_MACRO_MEMORY_USED";
inline constexpr std::string_view kIdsMacroMemoryUnknown = "IDS_MACRO_MEMORY_UNKNOWN";
inline constexpr std::string_view kIdsMacroMemoryNamesDropped = "IDS_MACRO_MEMORY_NAMES_DROPPED";
inline constexpr std::string_view kIdsMacroMemoryTooLarge = "IDS_MACRO_MEMORY_TOO_LARGE";
// Shown while a recording runs: every key goes into the macro until Stop is clicked.
inline constexpr std::string_view kIdsMacroRecordingHint = "IDS_MACRO_RECORDING_HINT";
// Tooltip of the macro list: how a macro is moved in it.
inline constexpr std::string_view kIdsMacroListMoveTip = "IDS_MACRO_LIST_MOVE_TIP";

// ---- Key tooltips of the keyboard view ---------------------------------------------------
inline constexpr std::string_view kIdsKeyPromptSet = "IDS_KEY_PROMPT_SET";
inline constexpr std::string_view kIdsKeyPromptSingle = "IDS_KEY_PROMPT_SINGLE";
inline constexpr std::string_view kIdsKeyPromptMacro = "IDS_KEY_PROMPT_MACRO";
inline constexpr std::string_view kIdsKeyPromptMedia = "IDS_KEY_PROMPT_MEDIA";
inline constexpr std::string_view kIdsKeyPromptFunction = "IDS_KEY_PROMPT_FUNCTION";

inline constexpr std::array kAllLookupKeys = {
    kIdsMainCaption,
    kIdsMainHelpPrompt,
    kIdsMainMinimizePrompt,
    kIdsMainClosePrompt,
    kIdsMainMenuPrompt,
    kIdsMainProfile1,
    kIdsMainProfile2,
    kIdsMainProfile3,
    kIdsMainProfile4,
    kIdsMainDefault,
    kIdsMainMacro,
    kIdsMainOk,
    kIdsMainCancel,
    kIdsMainApply,
    kIdsMainPromptDefault,
    kIdsMainPromptImport,
    kIdsButtonMenuImport,
    kIdsButtonMenuExport,
    kIdsMenuLanguage,
    kIdsMainLockNum,
    kIdsMainLockCaps,
    kIdsMainLockScroll,
    kIdsMainExportFailed,
    kIdsMainApplyFailed,
    kIdsMainReportRateNotWritten,
    kIdsBoxOk,
    kIdsBoxCancel,
    kIdsBoxYes,
    kIdsBoxNo,
    kIdsProfileNotSwitched,
    kIdsProfileTitle,
    kIdsProfileColumnActive,
    kIdsProfileColumnName,
    kIdsProfileColumnPath,
    kIdsProfileAdd,
    kIdsProfileLoad,
    kIdsProfileDelete,
    kIdsProfileApply,
    kIdsProfileOk,
    kIdsProfileCancel,
    kIdsProfileNewNotWritten,
    kIdsNoticeKeyboardUnreadable,
    kIdsNoticePartlyWritten,
    kIdsNoticeColourPageNotWritten,
    kIdsNoticeImportEntriesDropped,
    kIdsNoticeImportPartlyWritten,
    kIdsNoticeEndNotConfirmed,
    kIdsNoticeImportEndNotConfirmed,
    kIdsNoticeMacroCapacityUnknown,
    kIdsNoticeImportNotWritten,
    kIdsNoticeProfileFileNotSaved,
    kIdsEntryNotRemappable,
    kIdsEntryMacroOnly,
    kIdsEntryNotSendable,
    kIdsEntryNoSuchMacro,
    kIdsNoticePendingForOtherProfile,
    kIdsQuestionOverwriteUnread,
    kIdsQuestionUpdateFirmware,
    kIdsQuestionUpdateFirmwareCaption,
    kIdsMainDefaultMatrixPrompt,
    kIdsKeyboardTrayDesc,
    kIdsPopUpMenuOpen,
    kIdsPopUpMenuAbout,
    kIdsPopUpMenuExit,
    kIdsAboutTitle,
    kIdsAboutVersion,
    kIdsAboutCopyright,
    kIdsAboutOk,
    kIdsKeyboardFuncDeng,
    kIdsKeyboardFuncTextLight,
    kIdsKeyboardFuncFx,
    kIdsKeyboardFuncSpeed,
    kIdsKeyboardFuncColor,
    kIdsKeyboardFuncJColor,
    kIdsKeyboardFuncColourful,
    kIdsKeyboardFuncTool,
    kIdsKeyboardFuncUsb,
    kIdsKeyboardKeySetting,
    kIdsKeyboardEditTishi,
    kIdsCompositeSelectKey,
    kIdsCompositeSelectMacro,
    kIdsCompositeSelectMedia,
    kIdsCompositeSelectFunction,
    kIdsCompositeOk,
    kIdsCompositeCancel,
    kIdsKeyboardMacroReset,
    kIdsKeyboardKeySingle,
    kIdsMediaEdit,
    kIdsFunctionEdit,
    kIdsMacroKbKey,
    kIdsMacroMouKey,
    kIdsKeyCaptureArmed,
    kIdsKeyCaptureIdle,
    kIdsCompositeApply,
    kIdsCompositeMacroAdd,
    kIdsCompositeMacroDelete,
    kIdsMacroName,
    kIdsMacroCycles,
    kIdsMacroRecordDelay,
    kIdsCompositeMacroActionUpTop,
    kIdsCompositeMacroActionUp,
    kIdsCompositeMacroActionDown,
    kIdsCompositeMacroActionDownBottom,
    kIdsCompositeMacroActionRecord,
    kIdsCompositeMacroActionDelete,
    kIdsCompositeMacroActionClear,
    kIdsMacroActionColumnKeys,
    kIdsMacroActionColumnAction,
    kIdsMacroActionColumnDelay,
    kIdsMacroActionRecord,
    kIdsMacroActionStopRecord,
    kIdsMacroActionPress,
    kIdsMacroActionRelease,
    kIdsMacroActionRecordDelay,
    kIdsMacroNewPrefix,
    kIdsKeyMacroDeleteConfirmOfKeys,
    kIdsMacroActionClearConfirm,
    kIdsMacroActionErrDelayMax,
    kIdsMacroMemoryUsed,
    kIdsMacroMemoryUnknown,
    kIdsMacroMemoryNamesDropped,
    kIdsMacroMemoryTooLarge,
    kIdsMacroRecordingHint,
    kIdsMacroListMoveTip,
    kIdsKeyPromptSet,
    kIdsKeyPromptSingle,
    kIdsKeyPromptMacro,
    kIdsKeyPromptMedia,
    kIdsKeyPromptFunction,
};

// ---- Keys of the language file's interface sections read by single windows ---------------
// About box: its description line and its copyright line.
inline constexpr std::string_view kLangAboutDescription = "GUANYU_JIESHAO";
inline constexpr std::string_view kLangAboutCopyright = "GUANYU_BANQUAN";
// Tray menu items at positions 0, 1, 2 (open, about, exit).
inline constexpr std::string_view kLangTrayMenuOpen = "MENU_11";
inline constexpr std::string_view kLangTrayMenuAbout = "MENU_22";
inline constexpr std::string_view kLangTrayMenuExit = "MENU_33";
// Tooltip of the on-screen keyboard button; always read from the CHINESE section.
inline constexpr std::string_view kLangOnScreenKeyboardTip = "COMPOSITE_PROMPT_OSK";

inline constexpr std::array kWindowLanguageKeys = {
    kLangAboutDescription, kLangAboutCopyright, kLangTrayMenuOpen,
    kLangTrayMenuAbout,    kLangTrayMenuExit,   kLangOnScreenKeyboardTip,
};

// ---- Lighting mode names -----------------------------------------------------------------
// Section of Lang0409.ini whose key n (decimal, no leading zeros) names lighting mode n; a
// missing key reads as "1".
inline constexpr std::string_view kModeNameSection = "Mode";
inline constexpr std::string_view kMissingModeName = "1";

}  // namespace qv::ui
