#pragma once

// The skin folder: which files a skinned window reads, their sections and keys, the state
// pictures each window loads, and the full list of control keys per window (so that a check
// of a shipped skin can see that none is missing). Nothing here touches a widget: the reads
// give plain values that the front end applies.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ini_file.h"
#include "texts/skin_value.h"

namespace qv::ui {

// ---- Folder and files --------------------------------------------------------------------
inline constexpr std::string_view kSkinFolderName = "Skins";
inline constexpr std::string_view kMainSkinFileName = "Main.ini";
inline constexpr std::string_view kProfileSkinFileName = "Profile.ini";
inline constexpr std::string_view kCompositeSkinFileName = "Composite.ini";

enum class SkinWindow { Main, Profile, Composite };

[[nodiscard]] std::filesystem::path SkinFolder(const std::filesystem::path& programFolder);
[[nodiscard]] std::filesystem::path SkinFilePath(const std::filesystem::path& programFolder,
                                                 SkinWindow window);

// ---- Sections and keys -------------------------------------------------------------------
inline constexpr std::string_view kSkinScreenSection = "SCREEN";
inline constexpr std::string_view kSkinButtonInfoSection = "BUTTONINFO";
inline constexpr std::string_view kSkinButtonInfo2Section = "BUTTONINFO2";
inline constexpr std::string_view kSkinCaptionsChineseSection = "Control_Name";
inline constexpr std::string_view kSkinCaptionsEnglishSection = "Control_Name1";

inline constexpr std::string_view kSkinScreenMainKey = "Main";
inline constexpr std::string_view kSkinScreenMaskKey = "Mask";
inline constexpr std::string_view kSkinScreenLinkKey = "Link";

// Every skin value is read as the system's profile calls read it into a 260-unit buffer.
inline constexpr std::size_t kSkinValueMaxChars = platform::kProfileReadMaxChars;

// ---- State pictures ----------------------------------------------------------------------
// File names relative to the skin folder, each a picture of the whole window.
struct StatePictureSet {
    std::string_view normal;
    std::string_view hover;
    std::string_view pressed;
    std::string_view disabled;

    friend bool operator==(const StatePictureSet&, const StatePictureSet&) = default;
};

inline constexpr StatePictureSet kMainStatePictures = {"main_normal.jpg", "main_over.jpg",
                                                       "main_down.jpg", "main_disable.jpg"};
// The profile manager has no disabled picture of its own: its pressed one serves.
inline constexpr StatePictureSet kProfileStatePictures = {"Profile_normal.jpg", "Profile_over.jpg",
                                                          "Profile_down.jpg", "Profile_down.jpg"};
inline constexpr StatePictureSet kCompositeKeyStatePictures = {"key_normal.jpg", "key_over.jpg",
                                                               "key_down.jpg", "key_disable.jpg"};
inline constexpr StatePictureSet kCompositeMacroStatePictures = {
    "macro_normal.jpg", "macro_over.jpg", "macro_down.jpg", "macro_disable.jpg"};

inline constexpr std::string_view kArrowPicture = "Arrow.jpg";
inline constexpr auto kMainExtraPictures =
    std::to_array<std::string_view>({kArrowPicture, "main_color0.jpg", "main_color1.jpg"});
inline constexpr auto kCompositeExtraPictures = std::to_array<std::string_view>(
    {"macro2_normal.jpg", "macro2_over.jpg", "macro2_down.jpg", "macro2_disable.jpg",
     "media_normal.jpg", "media_over.jpg", "media_down.jpg", "function_normal.jpg",
     "function_over.jpg", "function_down.jpg"});

// Every state picture a window loads on its first set-up, in load order, without repeats.
[[nodiscard]] std::vector<std::string_view> StatePictureFiles(SkinWindow window);

// ---- Control keys of section BUTTONINFO ---------------------------------------------------
inline constexpr auto kMainImageButtonKeys = std::to_array<std::string_view>(
    {"CONTROL_OK",    "CONTROL_CANCEL",   "CONTROL2_APPLY", "CONTROL_CLOSE", "CONTROL_HELP",
     "CONTROL_MENU",  "CONTROL_MINIMIZE", "QUINDO_LINK",    "QUINDO_VER",    "FLIP_0",
     "FLIP_1",        "FLIP_2",           "FUNC_DEFAULT",   "FUNC_MACRO",    "FUNC_PROFILE1",
     "FUNC_PROFILE2", "FUNC_PROFILE3",    "FUNC_PROFILE4",  "FUNC_PROFILES", "FUNC_REPORT1",
     "FUNC_REPORT2",  "FUNC_REPORT3",     "FUNC_REPORT4",   "FUNC_SWITCH",   "KEY_FN",
     "LOCK_AB",       "LOCK_CAPS",        "LOCK_NUM",       "LOCK_SCROLL",   "LEFT_ARROW",
     "RIGHT_ARROW"});

inline constexpr std::string_view kLeftArrowKey = "LEFT_ARROW";
inline constexpr std::string_view kRightArrowKey = "RIGHT_ARROW";

inline constexpr int kSkinGKeyCount = 9;
// The codes of the on-screen keyboard's main keys; each is placed by "KEY_%03X" of its slot.
inline constexpr auto kMainKeyCodes = std::to_array<unsigned>(
    {0x03B, 0x03C, 0x03D, 0x03E, 0x03F, 0x040, 0x001, 0x041, 0x042, 0x043, 0x044, 0x057, 0x058,
     0x029, 0x002, 0x003, 0x004, 0x005, 0x006, 0x007, 0x008, 0x009, 0x00A, 0x00B, 0x00C, 0x00D,
     0x02B, 0x00E, 0x010, 0x011, 0x012, 0x013, 0x014, 0x015, 0x016, 0x017, 0x018, 0x019, 0x01A,
     0x01B, 0x00F, 0x01E, 0x01F, 0x020, 0x021, 0x022, 0x023, 0x024, 0x025, 0x026, 0x027, 0x028,
     0x03A, 0x01C, 0x02C, 0x02D, 0x02E, 0x02F, 0x030, 0x031, 0x032, 0x033, 0x034, 0x035, 0x036,
     0x02A, 0x01D, 0x15B, 0x038, 0x138, 0x15C, 0x15D, 0x11D, 0x039, 0x137, 0x046, 0x045, 0x152,
     0x147, 0x149, 0x153, 0x14F, 0x151, 0x14B, 0x150, 0x14D, 0x148, 0x145, 0x135, 0x037, 0x04A,
     0x047, 0x048, 0x049, 0x04E, 0x04B, 0x04C, 0x04D, 0x04F, 0x050, 0x051, 0x11C, 0x053, 0x052});

// The six extra keys D1..D6, which take F1..F4's place while the flip setting is on. Skins
// need not have them: a skin without them leaves them out.
inline constexpr auto kMainExtraKeyKeys =
    std::to_array<std::string_view>({"KEY_D1", "KEY_D2", "KEY_D3", "KEY_D4", "KEY_D5", "KEY_D6"});

// "FUNC_G%d" for n = 1..9; an n outside that range gives nothing.
[[nodiscard]] std::optional<std::string> GKeySkinKey(int number);
// "KEY_%03X" of the code's slot in the key table.
[[nodiscard]] std::string MainKeySkinKey(unsigned keyCode);

// The lighting panel's controls, moved and sized.
inline constexpr auto kMainPlacedControlKeys = std::to_array<std::string_view>({
    "COLOR_R",
    "COLOR_G",
    "COLOR_B",
    "CONTROL_BLFXLStaPic",
    "CONTROL_BLFXRStaPic",
    "CONTROL_BLFXStatic",
    "CONTROL_CDsjsStaPic",
    "CONTROL_CDsjsStatic",
    "CONTROL_CDysButton",
    "CONTROL_CDysStatic",
    "CONTROL_Color1",
    "CONTROL_Color2",
    "CONTROL_Color3",
    "CONTROL_Color4",
    "CONTROL_Color5",
    "CONTROL_Color6",
    "CONTROL_Color7",
    "CONTROL_Color8",
    "CONTROL_DengStaPic",
    "CONTROL_DengStatic",
    "CONTROL_FYCFStatic",
    "CONTROL_FYSJSStaPic",
    "CONTROL_FYSJSStatic",
    "CONTROL_FYYSButton",
    "CONTROL_FYYSStatic",
    "CONTROL_FYdjcfStaPic",
    "CONTROL_FYdjcfStatic",
    "CONTROL_FYggcfStaPic",
    "CONTROL_FYggcfStatc",
    "CONTROL_Facebook",
    "CONTROL_HONGPIC",
    "CONTROL_HUANGPIC",
    "CONTROL_HXsjsStaPic",
    "CONTROL_HXsjsStatic",
    "CONTROL_HXysButton",
    "CONTROL_HXysStatic",
    "CONTROL_JDTStatic",
    "CONTROL_JTysButton",
    "CONTROL_JTysStatic",
    "CONTROL_LANPIC",
    "CONTROL_LVPIC",
    "CONTROL_LightSlider",
    "CONTROL_LightStatic",
    "CONTROL_Network",
    "CONTROL_RGBStatic",
    "CONTROL_SpeedSlider",
    "CONTROL_SpeedStatic",
    "CONTROL_TSsjsStaPic",
    "CONTROL_TSsjsStatic",
    "CONTROL_TSysButton",
    "CONTROL_TSysStatic",
    "CONTROL_USERgjStaPic1",
    "CONTROL_USERgjStaPic2",
    "CONTROL_USERgjStatic",
    "CONTROL_USERjsButton",
    "CONTROL_USERjsStatic",
    "CONTROL_USERysButton",
    "CONTROL_USERysStatic",
    "CONTROL_UsbStatic",
    "CONTROL_XGcombox",
    "CONTROL_twitter",
    "CONTROL_umCombo",
});

// The direction pictures of the lighting panel: one position per group of modes, size kept.
inline constexpr auto kMainMovedControlKeys = std::to_array<std::string_view>(
    {"CONTROL_BLFXLStaPic", "CONTROL_BLFXLStaPic2", "CONTROL_BLFXLStaPic3", "CONTROL_BLFXRStaPic",
     "CONTROL_BLFXRStaPic2", "CONTROL_BLFXRStaPic3", "CONTROL_BLFXStatic", "CONTROL_BLFXStatic2",
     "CONTROL_BLFXStatic3"});

inline constexpr auto kProfileImageButtonKeys = std::to_array<std::string_view>(
    {"CONTROL_OK", "CONTROL_CANCEL", "FUNC_ADD", "FUNC_LOAD", "FUNC_DELETE", "CONTROL2_APPLY"});
inline constexpr auto kProfileControlKeys = std::to_array<std::string_view>({"PROGRAM_LIST"});
// Where a profile manager skin wants the window's title written; a skin without it draws its
// own title, and the window writes none.
inline constexpr std::string_view kProfileTitleKey = "PROGRAM_TITLE";

inline constexpr auto kCompositeImageButtonKeys = std::to_array<std::string_view>(
    {"CONTROL_OK", "CONTROL_CANCEL", "CONTROL_CLEAR", "CONTROL_FUNCTION", "CONTROL_KEY",
     "CONTROL_MACRO", "CONTROL_MEDIA", "CONTROL_MASK", "CONTROL_OSK", "CONTROL_TITLE",
     "FUNC_MACRO_ADD", "FUNC_MACRO_CLEAR", "FUNC_MACRO_DELETE", "FUNC_MACRO_DELETE2",
     "FUNC_MACRO_DOWN", "FUNC_MACRO_DOWN_BOTTOM", "FUNC_MACRO_RECORD", "FUNC_MACRO_UP",
     "FUNC_MACRO_UP_TOP"});
inline constexpr auto kCompositeControlKeys = std::to_array<std::string_view>({
    "FUNCTION_KEY_SETTING_TISHI",
    "FUNC_FUNCTION_SELECT",
    "FUNC_KEY_COMBO_MOU",
    "FUNC_KEY_INPUT",
    "FUNC_KEY_RADIO_KB",
    "FUNC_KEY_RADIO_KB_STATIC",
    "FUNC_KEY_RADIO_MOU",
    "FUNC_KEY_RADIO_MOU_STATIC",
    "FUNC_MACRO_CYCLES",
    "FUNC_MACRO_CYCLES_PROMPT",
    "FUNC_MACRO_LIST",
    "FUNC_MACRO_LIST2",
    "FUNC_MACRO_RECORD_DELAY",
    "FUNC_MACRO_RECORD_DELAY2",
    "FUNC_MEDIA_SELECT",
    "KEY_SETTING",
    "MARCO_NAME_SETTING",
    "MEDIA_SETTING_TISHI",
    "TISHI_SINGLE_STATIC",
});

// Controls of the assignment dialog that a skin may place; without a place in the skin the
// dialog finds them one itself. The macro page's memory meter, and the line that tells while a
// recording runs that every key goes into the macro.
inline constexpr auto kCompositeOptionalControlKeys =
    std::to_array<std::string_view>({"FUNC_MACRO_MEMORY", "FUNC_MACRO_RECORD_HINT"});

// Every BUTTONINFO key a window reads, without repeats: what a complete skin file holds.
[[nodiscard]] std::vector<std::string> AllButtonInfoKeys(SkinWindow window);

// ---- Arrow origins (section BUTTONINFO2) --------------------------------------------------
enum class ArrowSide { Left, Right };

// "UP_ARROW_LEFT1" and the like: UP while the flip setting is on, DOWN otherwise; the digit is
// the arrow's position (0 or 1; anything else counts as 0) plus one.
[[nodiscard]] std::string ArrowOriginKey(ArrowSide side, bool flip, int position);

// ---- Lighting panel captions (sections Control_Name, Control_Name1) ------------------------
inline constexpr auto kSkinCaptionKeys = std::to_array<std::string_view>(
    {"Usb", "Deng", "Light", "FX", "Speed", "Color", "JColor", "DC", "Tool"});

struct SkinCaption {
    std::string_view key;
    std::string text;

    friend bool operator==(const SkinCaption&, const SkinCaption&) = default;
};

// ---- Reading a skin file -----------------------------------------------------------------
struct SkinFileLoad;

// One window's skin file as read at set-up. A missing or unreadable file reads as empty, so
// every value takes its default and every image button is left out.
class SkinFile {
public:
    SkinFile() = default;
    explicit SkinFile(platform::IniFile ini) : ini_(std::move(ini)) {}

    [[nodiscard]] static SkinFile Load(const std::filesystem::path& path);
    // The same, with what kept an existing file from being read (too large, unreadable), for
    // a front end to tell the user.
    [[nodiscard]] static SkinFileLoad Read(const std::filesystem::path& path);

    [[nodiscard]] const platform::IniFile& Ini() const { return ini_; }

    // The value read as the placement operations read it.
    [[nodiscard]] SkinRect Rect(std::string_view section, std::string_view key) const;

    // SCREEN Main / Mask inside the skin folder. An absent key gives the folder itself, which
    // then fails to load as a picture.
    [[nodiscard]] std::filesystem::path BackgroundPicture(
        const std::filesystem::path& skinFolder) const;
    [[nodiscard]] std::filesystem::path MaskPicture(const std::filesystem::path& skinFolder) const;

    // SCREEN Link: the maker's web site; empty when the skin names none.
    [[nodiscard]] std::string Link() const;

    // The captions for language value 0 (Chinese) or 1 (English), in key order; nothing for
    // any other value, which leaves the labels as they are.
    [[nodiscard]] std::optional<std::vector<SkinCaption>> Captions(int languageValue) const;

private:
    platform::IniFile ini_;
};

struct SkinFileLoad {
    SkinFile skin;
    std::optional<std::string> problem;
};

// The keys of AllButtonInfoKeys that the file's BUTTONINFO section lacks, in list order.
[[nodiscard]] std::vector<std::string> MissingButtonInfoKeys(const SkinFile& skin,
                                                             SkinWindow window);

}  // namespace qv::ui
