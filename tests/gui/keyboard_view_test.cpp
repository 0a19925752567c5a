// The keyboard view and the assignment dialog in the running program, on the simulated
// keyboard: a click opens the dialog on that key, each kind of choice reaches the keyboard's
// key page through the main Apply, a key is captured by pressing it, the G keys follow the
// bank, Flip swaps F1..F4 with D1..D6, Cancel changes nothing, and all of it works from the
// keyboard alone.

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <memory>
#include <string>

#include "desktop_fixture.h"
#include "device/key_events.h"
#include "gui/assignment_dialog.h"
#include "gui/key_capture_edit.h"
#include "gui/keyboard_view.h"
#include "gui/macro_page.h"
#include "gui/main_window.h"
#include "gui/service_adapter.h"
#include "gui/widgets/png_button.h"
#include "gui_tests.h"
#include "keys/key_page.h"
#include "macros/macro_record.h"
#include "service/verbs.h"
#include "sim/keyboard_layout.h"

namespace qv::gui::test {
namespace {

constexpr std::size_t kCapsLockSlot = 0x03A;
constexpr std::size_t kASlot = 0x01E;
constexpr std::size_t kQSlot = 0x010;
constexpr std::size_t kWSlot = 0x011;
constexpr std::size_t kG1Slot = keys::kFirstGKeySlot;
// XKB key codes (evdev + 8) as the desktop reports them.
constexpr quint32 kXkbLeftCtrl = 29 + 8;
constexpr quint32 kXkbMute = 113 + 8;

// Sends a key press (and its release) to `target` as the desktop would, scan code included.
void PressKey(QWidget* target, quint32 xkbKeycode) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, xkbKeycode, 0, 0);
        QApplication::sendEvent(target, &event);
    }
}

class KeyboardViewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<Desktop> desktop_;

    MainWindow& Window() { return desktop_->Window(); }
    AssignmentDialog* Dialog() { return Window().Assignment(); }

    // Clicks a key of the view and waits for the dialog to be open on it.
    bool Open(const char* skinKey) {
        PngButton* button = Window().Button(skinKey);
        if (button == nullptr || !button->isEnabled()) {
            return false;
        }
        button->click();
        return Dialog() != nullptr && Dialog()->IsOpen();
    }

    // The dialog's Apply, then the view shows what was stored.
    void ApplyInDialog() {
        Dialog()->Button("CONTROL2_APPLY")->click();
        QVERIFY(desktop_->Settle());
    }

    keys::KeyEntry ImageEntry(std::size_t slot) {
        return desktop_->Service().Snapshot()->image.blocks[0][slot];
    }

    // What the simulated keyboard's page of profile 1 says, read back as the tool reads it.
    keys::KeyBlock KeyboardBlock() {
        const sim::KeyboardMemory memory = desktop_->Keyboard().Memory();
        return keys::DecodeKeyPage(Bytes(memory.keyPages.data(), sim::kKeyPageSize),
                                   memory.keyDefaults)
            .block;
    }

private slots:
    void init() {
        home_ = MakeHomeFolder();
        desktop_ = StartDesktop(*home_, {});
        QTRY_VERIFY_WITH_TIMEOUT(Window().isVisible(), kWait);
    }
    void cleanup() {
        desktop_.reset();
        home_.reset();
    }

    void clickOpensTheDialogOnThatKeyAndCancelKeepsEverything() {
        QVERIFY(Open("KEY_03A"));
        QCOMPARE(Dialog()->Slot(), kCapsLockSlot);
        QCOMPARE(Dialog()->Choice().page, keys::AssignmentPage::Default);
        QVERIFY(Dialog()->KeyboardChoice()->isChecked());
        QVERIFY(Dialog()->KeyBox()->text().isEmpty());
        QVERIFY(!Dialog()->Button("CONTROL2_APPLY")->isEnabled());

        Dialog()->Button("CONTROL_MEDIA")->click();
        Dialog()->MediaList()->setCurrentIndex(3);
        QVERIFY(Dialog()->Modified());
        Dialog()->Button("CONTROL_CANCEL")->click();
        QVERIFY(!Dialog()->IsOpen());
        QVERIFY(desktop_->Settle());
        QCOMPARE(ImageEntry(kCapsLockSlot), keys::KeyEntry{});
        QVERIFY(!Window().Button("KEY_03A")->IsCheckedLook());
        QVERIFY(!Window().Button("CONTROL2_APPLY")->isEnabled());

        // A second click opens it again, on the key's current entry.
        QVERIFY(Open("KEY_03A"));
        QCOMPARE(Dialog()->Choice().page, keys::AssignmentPage::Default);
        Dialog()->CloseIfOpen();
    }

    void okOnAnUntouchedDialogKeepsWhatTheKeyHas() {
        // A: disabled, as a profile file or the command line leaves it.
        QCOMPARE(
            qv::test::SeedImage(desktop_->Service(),
                                [](profiles::ImageContents& image) {
                                    image.blocks[0][kASlot] = {.kind = keys::KeyKind::Disabled};
                                })
                .status,
            service::OperationStatus::Done);
        QVERIFY(desktop_->Settle());
        QVERIFY(Open("KEY_01E"));
        Dialog()->Button("CONTROL_OK")->click();
        QVERIFY(desktop_->Settle());
        QCOMPARE(ImageEntry(kASlot), (keys::KeyEntry{.kind = keys::KeyKind::Disabled}));
    }

    void eachKindOfChoiceReachesTheKeyboardThroughTheMainApply() {
        // A macro to choose, as if it had been read from the keyboard.
        QCOMPARE(qv::test::SeedImage(desktop_->Service(),
                                     [](profiles::ImageContents& image) {
                                         image.macros.push_back(
                                             {.name = u"hi",
                                              .macroId = 1,
                                              .actions = {{10, 0x023, macros::KeyState::Press},
                                                          {10, 0x023, macros::KeyState::Release}}});
                                     })
                     .status,
                 service::OperationStatus::Done);
        QVERIFY(desktop_->Settle());

        struct Case {
            const char* key;
            std::size_t slot;
            std::function<void(AssignmentDialog&)> choose;
            keys::KeyEntry stored;
        };
        const Case cases[] = {
            {"KEY_03A",
             kCapsLockSlot,
             [](AssignmentDialog& d) {
                 QTest::mouseClick(d.KeyBox(), Qt::LeftButton);
                 PressKey(d.KeyBox(), kXkbLeftCtrl);
             },
             {.kind = keys::KeyKind::Key, .value = 0x01D}},
            {"KEY_01E",
             kASlot,
             [](AssignmentDialog& d) {
                 d.MouseChoice()->click();
                 d.MouseList()->setCurrentIndex(1);
             },
             {.kind = keys::KeyKind::Key, .value = keys::kKeyMouseRight}},
            {"KEY_010",
             kQSlot,
             [](AssignmentDialog& d) {
                 d.Button("CONTROL_MEDIA")->click();
                 d.MediaList()->setCurrentIndex(2);
             },
             {.kind = keys::KeyKind::Media, .value = 2}},
            {"KEY_011",
             kWSlot,
             [](AssignmentDialog& d) {
                 d.Button("CONTROL_FUNCTION")->click();
                 d.FunctionList()->setCurrentIndex(4);
             },
             {.kind = keys::KeyKind::Function, .value = 4}},
            {"FUNC_G1",
             kG1Slot,
             [](AssignmentDialog& d) {
                 d.Button("CONTROL_MACRO")->click();
                 d.Macros()->MacroList()->setCurrentRow(0);
                 d.Macros()->RepeatBox()->selectAll();
                 QTest::keyClicks(d.Macros()->RepeatBox(), QStringLiteral("3"));
             },
             {.kind = keys::KeyKind::Macro, .aux = 3, .value = 1}},
        };
        for (const Case& c : cases) {
            QVERIFY2(Open(c.key), c.key);
            c.choose(*Dialog());
            QVERIFY2(Dialog()->Button("CONTROL2_APPLY")->isEnabled(), c.key);
            ApplyInDialog();
            Dialog()->Button("CONTROL_OK")->click();
            QVERIFY(!Dialog()->IsOpen());
            QVERIFY(desktop_->Settle());
            QVERIFY2(ImageEntry(c.slot) == c.stored, c.key);
            QVERIFY2(Window().Button(c.key)->IsCheckedLook(), c.key);
        }
        QVERIFY(Window().Button("KEY_03A")->TooltipText().contains(QStringLiteral("Left Ctrl")));
        QCOMPARE(desktop_->Service().Snapshot()->image.macros[0].repeatCount, 3);

        // Nothing reaches the keyboard before the main Apply.
        QCOMPARE(KeyboardBlock()[kCapsLockSlot].kind, keys::KeyKind::Default);
        QVERIFY(Window().Button("CONTROL2_APPLY")->isEnabled());
        Window().Button("CONTROL2_APPLY")->click();
        QVERIFY(desktop_->Settle());
        QVERIFY(!Window().Button("CONTROL2_APPLY")->isEnabled());
        const keys::KeyBlock written = KeyboardBlock();
        for (const Case& c : cases) {
            QCOMPARE(written[c.slot].kind, c.stored.kind);
            QCOMPARE(written[c.slot].value, c.stored.value);
        }

        // Reset to default: the key is unmarked and the keyboard gets its default back.
        QVERIFY(Open("KEY_03A"));
        QCOMPARE(Dialog()->Choice().capturedKey, keys::KeyCode{0x01D});
        Dialog()->Button("CONTROL_CLEAR")->click();
        Dialog()->Button("CONTROL_OK")->click();
        QVERIFY(desktop_->Settle());
        QVERIFY(!Window().Button("KEY_03A")->IsCheckedLook());
        Window().Button("CONTROL2_APPLY")->click();
        QVERIFY(desktop_->Settle());
        QCOMPARE(KeyboardBlock()[kCapsLockSlot].kind, keys::KeyKind::Default);
    }

    void aKeyIsCapturedByPressingItAndAKeyGivenItselfIsDefault() {
        QVERIFY(Open("KEY_02A"));  // Left Shift
        KeyCaptureEdit* box = Dialog()->KeyBox();
        // Not armed: keys act as usual.
        PressKey(box, kXkbLeftCtrl);
        QCOMPARE(Dialog()->Choice().capturedKey, keys::kNoKey);
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(box->Armed());
        // Media keys are never taken.
        PressKey(box, kXkbMute);
        QVERIFY(box->Armed());
        PressKey(box, kXkbLeftCtrl);
        QVERIFY(!box->Armed());
        QCOMPARE(Dialog()->Choice().capturedKey, keys::KeyCode{0x01D});
        QCOMPARE(box->text(), QStringLiteral("Left Ctrl"));

        // Left Shift given to Left Shift is its default.
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(box->Armed());
        PressKey(box, 42 + 8);
        QCOMPARE(Dialog()->Choice().capturedKey, keys::KeyCode{0x02A});
        ApplyInDialog();
        QCOMPARE(ImageEntry(0x02A), keys::KeyEntry{});
        QVERIFY(!Window().Button("KEY_02A")->IsCheckedLook());
        Dialog()->CloseIfOpen();
    }

    void theGKeysFollowTheBank() {
        desktop_->Keyboard().RaiseKeyEvent(device::KEY_EVENT_BANK_TOGGLE);
        QVERIFY(desktop_->Settle());
        QCOMPARE(Window().Button("FUNC_G1")->text(), QStringLiteral("B1"));
        QVERIFY(Window().Button("LOCK_AB")->IsCheckedLook());
        // The keyboard's key pages have no place for the second bank's keys: they wear the
        // hatch, say so in their tooltip, and a click says so instead of offering choices.
        desktop_->boxes.clear();
        QVERIFY(!Open("FUNC_G3"));
        QCOMPARE(desktop_->boxes.size(), std::size_t{1});
        QVERIFY(desktop_->boxes[0].text.contains(QStringLiteral("cannot remap")));
        QVERIFY(Window().Button("FUNC_G3")->TooltipText().contains(QStringLiteral("cannot remap")));
        // G8 and G9 take no clicks; the Macro button opens G9 of the bank on its macro page.
        QVERIFY(!Window().Button("FUNC_G8")->isEnabled());
        QVERIFY(!Window().Button("FUNC_G9")->isEnabled());
        Window().Button("FUNC_MACRO")->click();
        QCOMPARE(desktop_->boxes.size(), std::size_t{2});

        desktop_->Keyboard().RaiseKeyEvent(device::KEY_EVENT_BANK_TOGGLE);
        QVERIFY(desktop_->Settle());
        QCOMPARE(Window().Button("FUNC_G1")->text(), QStringLiteral("A1"));
        QVERIFY(!Window().Button("LOCK_AB")->IsCheckedLook());
        Window().Button("FUNC_MACRO")->click();
        QVERIFY(Dialog()->IsOpen());
        QCOMPARE(Dialog()->Slot(), std::size_t{264});
        QCOMPARE(Dialog()->Choice().page, keys::AssignmentPage::Macro);
        QVERIFY(!Dialog()->Button("CONTROL_KEY")->isEnabled());
        QVERIFY(!Dialog()->Button("CONTROL_CLEAR")->isEnabled());
        // No macros: Apply writes the default.
        Dialog()->Button("CONTROL_OK")->click();
        QVERIFY(desktop_->Settle());
        QCOMPARE(desktop_->Service().Snapshot()->image.blocks[0][264].kind, keys::KeyKind::Default);
    }

    void flipSwapsF1ToF4WithTheExtraKeys() {
        KeyboardView& view = *Window().Keyboard();
        QVERIFY(Window().Button("KEY_03B")->isEnabled());
        QVERIFY(!Window().Button("KEY_D1")->isEnabled());
        Window().Button("FLIP_1")->click();
        QVERIFY(view.Flip());
        QVERIFY(!Window().Button("KEY_03B")->isEnabled());
        QVERIFY(!Window().Button("KEY_03E")->isEnabled());
        QVERIFY(Window().Button("KEY_03F")->isEnabled());  // F5 stays
        QVERIFY(Window().Button("KEY_D1")->isEnabled());
        QCOMPARE(desktop_->app->Settings().ReadString("PROFILES", "Flip").value, std::string("1"));
        // The extra keys have no assignment.
        Window().Button("KEY_D1")->click();
        QVERIFY(Dialog() == nullptr || !Dialog()->IsOpen());
        Window().Button("FLIP_2")->click();
        QVERIFY(!view.Flip());
        QVERIFY(Window().Button("KEY_03B")->isEnabled());
        // The indicators never take clicks.
        QVERIFY(!Window().Button("LOCK_CAPS")->isEnabled());
        QVERIFY(!Window().Button("FLIP_0")->isEnabled());
    }

    void theKeyboardAloneOpensAndClosesTheDialog() {
        PngButton* a = Window().Button("KEY_01E");
        a->setFocus(Qt::TabFocusReason);
        QVERIFY(a->hasFocus());
        QTest::keyClick(a, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() == Window().Button("KEY_01F"));  // S, to its right
        QTest::keyClick(Window().Button("KEY_01F"), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(Dialog() != nullptr && Dialog()->IsOpen(), kWait);
        QCOMPARE(Dialog()->Slot(), std::size_t{0x01F});
        // Enter on the key box arms it rather than closing anything; Escape then is a key.
        QTest::keyClick(Dialog(), Qt::Key_Escape);
        QVERIFY(!Dialog()->IsOpen());
        // The main window stays: Enter and Escape do not end it.
        QTest::keyClick(&Window(), Qt::Key_Escape);
        QTest::keyClick(&Window(), Qt::Key_Return);
        QVERIFY(Window().isVisible());
    }
};

}  // namespace

std::unique_ptr<QObject> MakeKeyboardViewTest() {
    return std::make_unique<KeyboardViewTest>();
}

}  // namespace qv::gui::test

#include "keyboard_view_test.moc"
