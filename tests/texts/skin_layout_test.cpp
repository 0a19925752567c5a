#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "temp_folder.h"
#include "texts/skin_layout.h"
#include "texts/skin_placement.h"
#include "texts/skin_value.h"

namespace qv::ui {
namespace {

// ---- Values ------------------------------------------------------------------------------

struct RectCase {
    const char* value;
    SkinRect expected;
};

TEST(SkinValueTest, ParsesLikeTheFourNumberScanWithOnesForWhatItMisses) {
    const RectCase cases[] = {
        {"12,40,60,20", {12, 40, 60, 20}},
        {"1,1,1,1,x", {1, 1, 1, 1}},
        {"", {1, 1, 1, 1}},
        {"0,0,80,20 trailing, 9", {0, 0, 80, 20}},
        {"3,4,5,6,7", {3, 4, 5, 6}},
        // Fewer than four numbers: the rest are 1.
        {"5,6", {5, 6, 1, 1}},
        {"5,6,7", {5, 6, 7, 1}},
        // The scan skips blanks before a number, never before a comma, and stops at the
        // first mismatch.
        {" 12, 40,\t60, 20", {12, 40, 60, 20}},
        {"7 ,8,9,10", {7, 1, 1, 1}},
        {"12,,60,20", {12, 1, 1, 1}},
        {"a,5,5,5", {1, 1, 1, 1}},
        {"12;40;60;20", {12, 1, 1, 1}},
        {"+3,-4,5,6", {3, -4, 5, 6}},
        // Damaged numbers: a size below zero or any number past the limit is 1; the scan
        // goes on after an over-long number.
        {"0,0,-3,-4", {0, 0, 1, 1}},
        {"99999,5,5,5", {1, 5, 5, 5}},
        {"5,5,99999999999999999999999,5", {5, 5, 1, 5}},
        {"-32767,32767,32767,0", {-32767, 32767, 32767, 0}},
        {"-32768,5,5,5", {1, 5, 5, 5}},
        {"-,5,5,5", {1, 1, 1, 1}},
    };
    for (const RectCase& c : cases) {
        EXPECT_EQ(ParseSkinRect(c.value), c.expected) << '"' << c.value << '"';
    }
}

// ---- A small skin ------------------------------------------------------------------------

constexpr std::string_view kMainIni =
    "[SCREEN]\n"
    "Main=main_bg.jpg\n"
    "Mask=main_mask.bmp\n"
    "[buttoninfo]\n"  // sections and keys compare without case
    "control_ok=12,40,60,20\n"
    "CONTROL_CANCEL=0,0,80,20\n"
    "CONTROL2_APPLY=1,1,80,20\n"
    "FUNC_PROFILE1=100,10,30,30\n"
    "FUNC_PROFILE2=1,50,30,30\n"
    "KEY_01E=200,150,24,24\n"
    "LEFT_ARROW=300,400,16,8\n"
    "RIGHT_ARROW=330,400,16,8\n"
    "CONTROL_BLFXStatic=50,60,70,20\n"
    "CONTROL_BLFXStatic2=55,65,999,999\n"
    "[BUTTONINFO2]\n"
    "DOWN_ARROW_LEFT1=500,5,99,99\n"
    "DOWN_ARROW_LEFT2=520,5,99,99\n"
    "UP_ARROW_LEFT1=540,5,99,99\n"
    "UP_ARROW_RIGHT1=560,7,99,99\n"
    "[Control_Name]\n"
    "Usb=UsbZh\n"
    "Tool=ToolZh\n"
    "[Control_Name1]\n"
    "Usb=Report rate\n"
    "Deng=Lighting\n";

constexpr std::string_view kProfileIni =
    "[SCREEN]\n"
    "Main=profile_bg.jpg\n"
    "Mask=profile_mask.jpg\n"
    "[BUTTONINFO]\n"
    "CONTROL_OK=10,200,50,20\n"
    "PROGRAM_LIST=1,1,1,1\n";

class SkinLayoutTest : public ::testing::Test {
protected:
    SkinLayoutTest() {
        folder_.Write("Skins/Main.ini", kMainIni);
        folder_.Write("Skins/Profile.ini", kProfileIni);
        main_ = SkinFile::Load(SkinFilePath(folder_.Path(), SkinWindow::Main));
        profile_ = SkinFile::Load(SkinFilePath(folder_.Path(), SkinWindow::Profile));
    }

    [[nodiscard]] std::filesystem::path Skins() const { return SkinFolder(folder_.Path()); }

    test::TempFolder folder_;
    SkinFile main_;
    SkinFile profile_;
};

TEST_F(SkinLayoutTest, ImageButtonIsPlacedCutFromItsOwnPlaceOrLeftOutAtOneOne) {
    const ButtonPictures pictures = StraightPictures(kMainStatePictures);
    struct Case {
        const char* key;
        SkinRect geometry;
        bool shown;
    };
    const Case cases[] = {
        {"CONTROL_OK", {12, 40, 60, 20}, true},
        {"CONTROL_CANCEL", {0, 0, 80, 20}, true},   // the top-left corner is a real place
        {"FUNC_PROFILE2", {1, 50, 30, 30}, true},   // both coordinates must be 1
        {"CONTROL2_APPLY", {1, 1, 80, 20}, false},  // the size does not save it
        {"FUNC_PROFILE4", {1, 1, 1, 1}, false},     // absent: hidden, cannot be clicked
    };
    for (const Case& c : cases) {
        const ImageButtonPlacement placed =
            PlaceImageButton(main_, kSkinButtonInfoSection, c.key, pictures);
        EXPECT_EQ(placed.geometry, c.geometry) << c.key;
        EXPECT_EQ(placed.visible, c.shown) << c.key;
        EXPECT_EQ(placed.enabled, c.shown) << c.key;
        EXPECT_FALSE(placed.repaint) << c.key;
        EXPECT_EQ(placed.Crop(), c.geometry) << c.key;
        EXPECT_EQ(placed.pictures, pictures) << c.key;
    }
}

TEST_F(SkinLayoutTest, OnlyImageButtonsFollowTheOneOneRule) {
    const PlacedControl list = Place(profile_, {SkinOperation::Control, "PROGRAM_LIST", {}, {}});
    ASSERT_TRUE(std::holds_alternative<ControlPlacement>(list.placement));
    EXPECT_EQ(std::get<ControlPlacement>(list.placement), (ControlPlacement{{1, 1, 1, 1}, false}));

    const PlacedControl button =
        Place(profile_, {SkinOperation::ImageButton, "PROGRAM_LIST", ProfileButtonPictures(), {}});
    EXPECT_FALSE(std::get<ImageButtonPlacement>(button.placement).visible);
}

TEST_F(SkinLayoutTest, ArrowTakesItsPlaceFromOneKeyAndItsLookFromAnother) {
    const ArrowButtonPlacement arrow =
        PlaceArrowButton(main_, kSkinButtonInfoSection, "LEFT_ARROW", kSkinButtonInfo2Section,
                         "DOWN_ARROW_LEFT2", kArrowPicture);
    EXPECT_EQ(arrow.geometry, (SkinRect{300, 400, 16, 8}));
    EXPECT_EQ(arrow.origin, (SkinPoint{520, 5}));
    EXPECT_EQ(arrow.Crop(), (SkinRect{520, 5, 16, 8}));
    EXPECT_EQ(arrow.pictures, SinglePicture("Arrow.jpg"));

    // The main window's list picks the origin key from the flip setting and the positions.
    const std::vector<SkinControl> flipped = MainWindowControls(true, 0, 0);
    std::vector<PlacedControl> arrows;
    for (const SkinControl& control : flipped) {
        if (control.operation == SkinOperation::ArrowButton) {
            arrows.push_back(Place(main_, control));
        }
    }
    ASSERT_EQ(arrows.size(), 2u);
    EXPECT_EQ(std::get<ArrowButtonPlacement>(arrows[0].placement).origin, (SkinPoint{540, 5}));
    EXPECT_EQ(std::get<ArrowButtonPlacement>(arrows[1].placement).origin, (SkinPoint{560, 7}));
}

TEST(SkinArrowKeyTest, NamesFollowFlipSideAndPosition) {
    EXPECT_EQ(ArrowOriginKey(ArrowSide::Left, false, 0), "DOWN_ARROW_LEFT1");
    EXPECT_EQ(ArrowOriginKey(ArrowSide::Left, true, 1), "UP_ARROW_LEFT2");
    EXPECT_EQ(ArrowOriginKey(ArrowSide::Right, false, 1), "DOWN_ARROW_RIGHT2");
    EXPECT_EQ(ArrowOriginKey(ArrowSide::Right, true, 0), "UP_ARROW_RIGHT1");
    // A damaged position never names a key outside the two that exist.
    EXPECT_EQ(ArrowOriginKey(ArrowSide::Right, true, 7), "UP_ARROW_RIGHT1");
    EXPECT_EQ(ArrowOriginKey(ArrowSide::Right, true, -1), "UP_ARROW_RIGHT1");
}

TEST_F(SkinLayoutTest, MoveKeepsTheSizeAndRepaints) {
    EXPECT_EQ(MoveControl(main_, kSkinButtonInfoSection, "CONTROL_BLFXStatic2"),
              (MovePlacement{{55, 65}, true}));
    EXPECT_EQ(MoveControl(main_, kSkinButtonInfoSection, "CONTROL_BLFXStatic3"),
              (MovePlacement{{1, 1}, true}));
}

TEST_F(SkinLayoutTest, MissingFileLeavesEveryImageButtonOutAndPlacesTheRestAtOneOne) {
    const SkinFile missing = SkinFile::Load(SkinFilePath(folder_.Path(), SkinWindow::Composite));
    for (const SkinControl& control : ProfileWindowControls()) {
        const PlacedControl placed = Place(missing, control);
        if (const auto* button = std::get_if<ImageButtonPlacement>(&placed.placement)) {
            EXPECT_FALSE(button->visible || button->enabled) << placed.key;
            EXPECT_EQ(button->geometry, SkinRect{}) << placed.key;
        } else {
            EXPECT_EQ(std::get<ControlPlacement>(placed.placement).geometry, SkinRect{})
                << placed.key;
        }
    }
}

TEST_F(SkinLayoutTest, OversizedFileIsRefusedWithAMessageRatherThanRead) {
    const std::filesystem::path path = folder_.Path() / "huge.ini";
    std::ofstream(path) << "[" << kSkinScreenSection << "]\n" << kSkinScreenMainKey << "=a.bmp\n";
    std::filesystem::resize_file(path, platform::kMaxIniFileBytes + 1);
    const SkinFileLoad read = SkinFile::Read(path);
    EXPECT_EQ(read.problem, path.string() + ": is larger than 16 MiB and was not read");
    EXPECT_FALSE(read.skin.Ini().Find(kSkinScreenSection, kSkinScreenMainKey));

    std::filesystem::resize_file(path, platform::kMaxIniFileBytes);
    const SkinFileLoad bounded = SkinFile::Read(path);
    EXPECT_FALSE(bounded.problem);
    EXPECT_EQ(bounded.skin.Ini().Find(kSkinScreenSection, kSkinScreenMainKey), "a.bmp");
    EXPECT_FALSE(SkinFile::Read(folder_.Path() / "missing.ini").problem);
}

TEST_F(SkinLayoutTest, ScreenLinkAndCaptions) {
    EXPECT_EQ(main_.BackgroundPicture(Skins()), Skins() / "main_bg.jpg");
    EXPECT_EQ(main_.MaskPicture(Skins()), Skins() / "main_mask.bmp");
    // No address of our own stands in for one the skin does not name.
    EXPECT_EQ(main_.Link(), "");
    EXPECT_EQ(SkinFile(platform::IniFile::ParseText("[SCREEN]\nLink=https://a.test/x\n")).Link(),
              "https://a.test/x");
    // A rooted name still points into the skin folder; an absent one at the folder itself,
    // which cannot load as a picture.
    const SkinFile odd(platform::IniFile::ParseText("[SCREEN]\nMain=/etc/bg.jpg\n"));
    EXPECT_EQ(odd.BackgroundPicture(Skins()), Skins() / "etc/bg.jpg");
    EXPECT_EQ(odd.MaskPicture(Skins()), Skins() / "");

    const auto english = main_.Captions(1);
    ASSERT_TRUE(english);
    ASSERT_EQ(english->size(), kSkinCaptionKeys.size());
    EXPECT_EQ((*english)[0], (SkinCaption{"Usb", "Report rate"}));
    EXPECT_EQ((*english)[1], (SkinCaption{"Deng", "Lighting"}));
    EXPECT_EQ((*english)[8], (SkinCaption{"Tool", ""}));
    const auto chinese = main_.Captions(0);
    ASSERT_TRUE(chinese);
    EXPECT_EQ((*chinese)[0].text, "UsbZh");
    EXPECT_EQ((*chinese)[8].text, "ToolZh");
    EXPECT_FALSE(main_.Captions(2));
    EXPECT_FALSE(main_.Captions(-1));
}

// ---- Set-up ------------------------------------------------------------------------------

class RecordingTarget : public SkinSetupTarget {
public:
    explicit RecordingTarget(std::set<std::string> unreadable = {})
        : unreadable_(std::move(unreadable)) {}

    bool LoadPicture(const std::filesystem::path& picture) override {
        events.push_back("load " + picture.filename().string());
        return picture.has_filename() && !unreadable_.contains(picture.filename().string());
    }
    void ApplyScreen(const std::filesystem::path&, const std::filesystem::path&) override {
        events.push_back("screen");
    }
    void Apply(const PlacedControl& placed) override {
        events.push_back("place " + placed.key);
        placed_.push_back(placed);
    }
    void LoadTexts() override { events.push_back("texts"); }

    std::vector<std::string> events;
    std::vector<PlacedControl> placed_;

private:
    std::set<std::string> unreadable_;
};

TEST_F(SkinLayoutTest, SetUpRunsScreenStatePicturesControlsTextsInOrder) {
    const std::vector<std::string_view> pictures = StatePictureFiles(SkinWindow::Profile);
    const std::vector<SkinControl> controls = ProfileWindowControls();
    RecordingTarget target;
    EXPECT_EQ(SetUpSkinnedWindow(profile_, Skins(), pictures, controls, target), std::nullopt);
    const std::vector<std::string> expected = {"load profile_bg.jpg",
                                               "load profile_mask.jpg",
                                               "screen",
                                               "load Profile_normal.jpg",
                                               "load Profile_over.jpg",
                                               "load Profile_down.jpg",
                                               "place CONTROL_OK",
                                               "place CONTROL_CANCEL",
                                               "place FUNC_ADD",
                                               "place FUNC_LOAD",
                                               "place FUNC_DELETE",
                                               "place CONTROL2_APPLY",
                                               "place PROGRAM_LIST",
                                               "texts"};
    EXPECT_EQ(target.events, expected);
    const auto& ok = std::get<ImageButtonPlacement>(target.placed_[0].placement);
    EXPECT_TRUE(ok.visible);
    EXPECT_EQ(ok.pictures.disabled, "Profile_down.jpg");
    EXPECT_EQ(ok.pictures.checked, "Profile_normal.jpg");

    // Later set-ups in the same run do not load the state pictures again.
    RecordingTarget again;
    EXPECT_EQ(SetUpSkinnedWindow(profile_, Skins(), {}, controls, again), std::nullopt);
    EXPECT_EQ(again.events[2], "screen");
    EXPECT_EQ(again.events[3], "place CONTROL_OK");
}

TEST_F(SkinLayoutTest, UnloadablePictureEndsTheSetUpNamingTheFile) {
    const std::vector<std::string_view> pictures = StatePictureFiles(SkinWindow::Main);
    const std::vector<SkinControl> controls = MainWindowControls(false, 0, 0);

    RecordingTarget noState({"main_down.jpg"});
    const auto exit = SetUpSkinnedWindow(main_, Skins(), pictures, controls, noState);
    ASSERT_TRUE(exit);
    EXPECT_EQ(exit->picture, Skins() / "main_down.jpg");
    EXPECT_EQ(SkinExit::kExitCode, 0);
    EXPECT_NE(exit->StderrLine().find((Skins() / "main_down.jpg").string()), std::string::npos);
    EXPECT_EQ(noState.events.back(), "load main_down.jpg");  // nothing placed, no texts
    EXPECT_TRUE(noState.placed_.empty());

    RecordingTarget noMask({"main_mask.bmp"});
    const auto maskExit = SetUpSkinnedWindow(main_, Skins(), pictures, controls, noMask);
    ASSERT_TRUE(maskExit);
    EXPECT_EQ(maskExit->picture, Skins() / "main_mask.bmp");
    EXPECT_EQ(noMask.events.size(), 2u);  // the window is never sized or shaped

    // No SCREEN Main key: the folder itself is what fails.
    const SkinFile bare(platform::IniFile::ParseText("[SCREEN]\nMask=m.bmp\n"));
    RecordingTarget any;
    const auto bareExit = SetUpSkinnedWindow(bare, Skins(), pictures, controls, any);
    ASSERT_TRUE(bareExit);
    EXPECT_EQ(bareExit->picture, Skins() / "");
}

// ---- Key lists ---------------------------------------------------------------------------

TEST(SkinKeyListTest, ListsAreCompleteAndFreeOfRepeats) {
    const std::vector<std::string> mainKeys = AllButtonInfoKeys(SkinWindow::Main);
    const std::set<std::string> unique(mainKeys.begin(), mainKeys.end());
    EXPECT_EQ(unique.size(), mainKeys.size());
    for (const char* key : {"KEY_01E", "KEY_0D3", "KEY_09C", "KEY_037", "FUNC_G1", "FUNC_G9",
                            "KEY_FN", "FUNC_PROFILE4", "CONTROL_umCombo", "CONTROL_BLFXStatic3"}) {
        EXPECT_TRUE(unique.contains(key)) << key;
    }
    // Every main key has its own skin entry.
    std::set<std::string> keyButtons;
    for (const unsigned code : kMainKeyCodes) {
        keyButtons.insert(MainKeySkinKey(code));
    }
    EXPECT_EQ(keyButtons.size(), kMainKeyCodes.size());
    EXPECT_FALSE(GKeySkinKey(0));
    EXPECT_FALSE(GKeySkinKey(10));

    // A skin holding every key but one is told which.
    std::string full = "[BUTTONINFO]\n";
    for (const std::string& key : AllButtonInfoKeys(SkinWindow::Profile)) {
        if (key != "FUNC_LOAD") {
            full += key + "=5,5,5,5\n";
        }
    }
    EXPECT_EQ(
        MissingButtonInfoKeys(SkinFile(platform::IniFile::ParseText(full)), SkinWindow::Profile),
        std::vector<std::string>{"FUNC_LOAD"});
    EXPECT_EQ(MissingButtonInfoKeys(SkinFile(), SkinWindow::Composite).size(),
              kCompositeImageButtonKeys.size() + kCompositeControlKeys.size());
}

TEST(SkinKeyListTest, StatePicturesLoadOncePerFile) {
    const std::vector<std::string_view> profile = StatePictureFiles(SkinWindow::Profile);
    EXPECT_EQ(profile, (std::vector<std::string_view>{"Profile_normal.jpg", "Profile_over.jpg",
                                                      "Profile_down.jpg"}));
    const std::vector<std::string_view> composite = StatePictureFiles(SkinWindow::Composite);
    EXPECT_EQ(composite.size(), 18u);
    EXPECT_EQ(StatePictureFiles(SkinWindow::Main).size(), 7u);
}

}  // namespace
}  // namespace qv::ui
