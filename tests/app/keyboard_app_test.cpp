// The whole application core against the simulated keyboard, the way a front end drives it:
// arrival, capture, an edit, Apply and what the keyboard holds afterwards.

#include <gtest/gtest.h>

#include "app/keyboard_app.h"
#include "app/main_window_rig.h"
#include "device/command_result.h"
#include "keys/key_page.h"
#include "macros/macro_area.h"
#include "macros/macro_area_reader.h"
#include "profiles/profile_file.h"
#include "sim/sim_hid_service.h"

namespace qv::test {
namespace {

using namespace std::chrono_literals;

class KeyboardAppTest : public ::testing::Test {
protected:
    explicit KeyboardAppTest(sim::KeyboardMemory memory = sim::FactoryMemory())
        : keyboard(std::move(memory)) {}

    void Arrive() {
        ASSERT_TRUE(app->Start());
        ASSERT_TRUE(app->Settle(10s));
    }

    // Key page p as the keyboard holds it, decoded with its own default table.
    keys::KeyBlock KeyboardBlock(int profile) {
        const sim::KeyboardMemory memory = keyboard.Memory();
        const auto page =
            Bytes(memory.keyPages).subspan(static_cast<std::size_t>(profile) * 192, 192);
        return keys::DecodeKeyPage(page, memory.keyDefaults).block;
    }

    sim::SimHidService keyboard;
    EventLog log;
    RecordingView view{log};
    RecordingPrompt prompt;
    RecordingLauncher launcher;
    RecordingExit exit{log};
    TempFolder folder;
    platform::MemorySettingsStore languageKey;
    platform::FixedSystemLanguage systemLanguage{0x0409};
    std::unique_ptr<app::KeyboardApp> app = std::make_unique<app::KeyboardApp>(
        app::KeyboardAppEnvironment{.service = keyboard,
                                    .view = view,
                                    .prompt = prompt,
                                    .launcher = launcher,
                                    .exit = exit,
                                    .programFolder = folder.Path() / "program",
                                    .documentsFolder = folder.Path() / "documents",
                                    .languageKey = languageKey,
                                    .systemLanguage = systemLanguage,
                                    .transportTiming = kRigTransportTiming,
                                    .busyTiming = kRigBusyTiming});
};

constexpr std::size_t kCapsLock = 0x3A;

TEST_F(KeyboardAppTest, ArrivalCaptureEditApplyReadBack) {
    keyboard.UpdateMemory([](sim::KeyboardMemory& m) { m.settings[10] = 2; });
    Arrive();
    const std::filesystem::path current = app->store.CurrentProfileFile();
    ASSERT_TRUE(std::filesystem::exists(current));
    EXPECT_EQ(profiles::CheckProfileFile(current).check, profiles::ProfileFileCheck::Valid);
    EXPECT_EQ(app->activeProfile.Cached(), 2);

    {
        auto image = app->profileImage.Lock();
        image->macros.push_back({.name = u"jump",
                                 .repeatCount = 1,
                                 .macroId = 1,
                                 .actions = {{50, 0x039, macros::KeyState::Press},
                                             {0, 0x039, macros::KeyState::Release}}});
        image->blocks[2][kCapsLock] = {.kind = keys::KeyKind::Macro, .aux = 1, .value = 1};
    }
    app->core.SetApplyPending(true);
    keyboard.ClearSentReports();
    app->core.Apply();
    EXPECT_FALSE(app->core.ApplyPending());

    EXPECT_EQ(KeyboardBlock(2)[kCapsLock].kind, keys::KeyKind::Macro);
    EXPECT_EQ(KeyboardBlock(0)[kCapsLock].kind, keys::KeyKind::Default);
    const sim::KeyboardMemory memory = keyboard.Memory();
    const auto decoded = macros::DecodeMacroArea(memory.macroArea, u"M");
    ASSERT_EQ(decoded.macros.size(), 1u);
    EXPECT_EQ(decoded.macros[0].name, u"jump");
    EXPECT_EQ(decoded.macros[0].actions[0].delay, 50u);

    // The current profile file followed the apply.
    profiles::ImageContents saved;
    ASSERT_TRUE(profiles::LoadImageFromFile(current, saved).Loaded());
    EXPECT_EQ(saved.blocks[2][kCapsLock].kind, keys::KeyKind::Macro);
}

TEST_F(KeyboardAppTest, ImportSendsAllFourProfiles) {
    Arrive();
    profiles::ImageContents image;
    profiles::InstallDefaultImage(image);
    for (int p = 0; p < 4; ++p) {
        image.blocks[static_cast<std::size_t>(p)][kCapsLock] = {
            .kind = keys::KeyKind::Key, .value = static_cast<std::uint32_t>(0x02 + p)};
    }
    const std::filesystem::path file = folder.Path() / "all.fwc";
    ASSERT_TRUE(profiles::WriteImageToFile(file, image));

    const auto result = app->store.ImportProfile(file);
    EXPECT_EQ(result.status, profiles::ImportStatus::Imported);
    EXPECT_TRUE(result.writtenToKeyboard);
    for (int p = 0; p < 4; ++p) {
        const keys::KeyEntry entry = KeyboardBlock(p)[kCapsLock];
        EXPECT_EQ(entry.kind, keys::KeyKind::Key) << p;
        EXPECT_EQ(entry.value, static_cast<std::uint32_t>(0x02 + p)) << p;
    }
}

TEST_F(KeyboardAppTest, UnplugDuringApplyKeepsTheChangesPending) {
    Arrive();
    app->profileImage.Lock()->blocks[0][kCapsLock] = {.kind = keys::KeyKind::Disabled};
    app->core.SetApplyPending(true);
    keyboard.UnplugAfterReports(2);  // the macro area is cut off, no key page goes out
    app->core.Apply();
    EXPECT_TRUE(app->core.ApplyPending());
    EXPECT_EQ(KeyboardBlock(0)[kCapsLock].kind, keys::KeyKind::Default);
}

class OldFirmwareTest : public KeyboardAppTest {
protected:
    static sim::KeyboardMemory OldFirmware() {
        sim::KeyboardMemory memory = sim::FactoryMemory();
        WriteU16LE(memory.settings, 8, 0x0106);
        return memory;
    }
    OldFirmwareTest() : KeyboardAppTest(OldFirmware()) {}
};

TEST_F(OldFirmwareTest, TooOldFirmwareEndsTheProgramBeforeAnythingIsCaptured) {
    Arrive();
    EXPECT_TRUE(log.Contains("EndProgram 0"));
    EXPECT_FALSE(std::filesystem::exists(app->store.CurrentProfileFile()));
    EXPECT_TRUE(launcher.started.empty());  // the question was answered Cancel
}

}  // namespace
}  // namespace qv::test
