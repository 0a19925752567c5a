// The macro page of the assignment dialog in the running program, on the simulated keyboard:
// recording from key and mouse events as the dialog's window receives them, the macro and
// action commands with their limits and questions, the memory meter, and Apply, which commits
// the macros on the keyboard service's worker and repairs keys that name a macro that is gone.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <string>
#include <vector>

#include "desktop_fixture.h"
#include "gui/action_cell_delegate.h"
#include "gui/assignment_dialog.h"
#include "gui/dialog_prompt.h"
#include "gui/macro_memory_view.h"
#include "gui/macro_page.h"
#include "gui/main_window.h"
#include "gui/service_adapter.h"
#include "gui/widgets/png_button.h"
#include "gui_tests.h"
#include "keys/key_lookup.h"
#include "keys/key_table.h"
#include "macros/macro_area.h"
#include "service/verbs.h"

namespace qv::gui::test {
namespace {

using macros::KeyState;
using macros::MacroAction;
using macros::MacroRecord;
using macros::MovePlace;

constexpr KeyState P = KeyState::Press;
constexpr KeyState R = KeyState::Release;
constexpr keys::KeyCode kA = 0x01E;
constexpr keys::KeyCode kB = 0x030;
constexpr keys::KeyCode kEsc = 0x001;
constexpr keys::KeyCode kPrintScreen = 0x137;
constexpr std::size_t kCapsSlot = 0x03A;
constexpr std::size_t kQSlot = 0x010;
constexpr std::size_t kG2Slot = keys::kFirstGKeySlot + 1;
// XKB key codes (evdev + 8), as the desktop reports them.
constexpr quint32 kXkbEsc = 1 + 8;
constexpr quint32 kXkbA = 30 + 8;
constexpr quint32 kXkbB = 48 + 8;
constexpr quint32 kXkbPrintScreen = 99 + 8;
constexpr quint32 kXkbMute = 113 + 8;

// A key event as the desktop delivers it: to the window that has the focus.
void SendKey(QWidget& dialog, quint32 xkb, bool press, bool autoRepeat = false) {
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier,
                    xkb, 0, 0, QString(), autoRepeat);
    QApplication::sendEvent(dialog.windowHandle(), &event);
}

// A mouse button event over the middle of `target`, delivered to its window.
void SendMouse(QWidget& target, Qt::MouseButton button, bool press) {
    QWidget* window = target.window();
    const QPointF local = target.mapTo(window, target.rect().center());
    const QPointF global = target.mapToGlobal(target.rect().center());
    QMouseEvent event(press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, local, local,
                      global, button, press ? button : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window->windowHandle(), &event);
}

MacroRecord Macro(std::uint16_t id, std::u16string name, std::vector<MacroAction> actions = {}) {
    return {.name = std::move(name), .macroId = id, .actions = std::move(actions)};
}

keys::KeyEntry Plays(std::uint16_t id) {
    return {.kind = keys::KeyKind::Macro, .aux = 1, .value = id};
}

class MacroPageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<Desktop> desktop_;
    // The questions and messages of the page, and the answer its questions get.
    QStringList asked_;
    bool answerYes_ = false;
    bool noPreselected_ = false;
    std::uint64_t now_ = 1000;

    void Start(Options options = {}) {
        home_ = MakeHomeFolder();
        desktop_ = StartDesktop(*home_, std::move(options));
        QTRY_VERIFY_WITH_TIMEOUT(desktop_->Window().isVisible(), kWait);
    }

    AssignmentDialog& Dialog() { return *desktop_->Window().Assignment(); }
    MacroPage& Page() { return *Dialog().Macros(); }
    const macros::MacroManager& Session() { return Page().Manager(); }
    PngButton& PageButton(const char* key) { return *Dialog().Button(key); }

    // The working image holds these macros, and these keys play them.
    void Seed(macros::MacroList macros, std::vector<std::pair<int, std::size_t>> players = {},
              std::uint16_t playedId = 1) {
        QCOMPARE(qv::test::SeedImage(desktop_->Service(),
                                     [&](profiles::ImageContents& image) {
                                         image.macros = std::move(macros);
                                         for (const auto& [profile, slot] : players) {
                                             image.blocks[static_cast<std::size_t>(profile)][slot] =
                                                 Plays(playedId);
                                         }
                                     })
                     .status,
                 service::OperationStatus::Done);
        desktop_->app->Adapter().ImageReplaced();
        QVERIFY(desktop_->Settle());
    }

    // Clicks a key of the view and goes to the macro page; the page runs on the test's clock
    // and its boxes answer as the test says.
    bool OpenMacroPage(const char* skinKey) {
        desktop_->Window().Button(skinKey)->click();
        if (desktop_->Window().Assignment() == nullptr || !Dialog().IsOpen()) {
            return false;
        }
        PageButton("CONTROL_MACRO").click();
        Page().SetClock([this] { return now_; });
        Page().Prompt().SetBoxShown([this](QMessageBox& box) {
            asked_.push_back(box.text());
            if (box.button(QMessageBox::Yes) != nullptr) {
                noPreselected_ = box.defaultButton() == box.button(QMessageBox::No);
            }
            const bool yes = answerYes_;
            QTimer::singleShot(0, &box, [&box, yes] {
                box.done(box.standardButtons().testFlag(QMessageBox::Yes)
                             ? (yes ? QMessageBox::Yes : QMessageBox::No)
                             : QMessageBox::Ok);
            });
        });
        return true;
    }

    std::vector<MacroAction> ShownActions() {
        const MacroRecord* macro = Session().ShownMacro();
        return macro != nullptr ? macro->actions : std::vector<MacroAction>{};
    }

    QStringList ListedMacros() {
        QStringList names;
        for (int i = 0; i < Page().MacroList()->count(); ++i) {
            names << Page().MacroList()->item(i)->text();
        }
        return names;
    }

    // Opens the editor of a cell of the action list.
    template <typename Editor>
    Editor* EditCell(int row, ActionColumn column) {
        QTableWidget* list = Page().ActionList();
        list->selectRow(row);
        const QModelIndex index = list->model()->index(row, static_cast<int>(column));
        list->edit(index);
        return qobject_cast<Editor*>(list->indexWidget(index));
    }

    // Enter ends a cell edit; the view stores it once the event loop comes round.
    static void Commit(QWidget* editor) {
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    void TypeDelay(int row, const QString& text) {
        auto* editor = EditCell<QLineEdit>(row, ActionColumn::Delay);
        QVERIFY(editor != nullptr);
        editor->setText(text);
        Commit(editor);
    }

    void TypeInto(QLineEdit* box, const QString& text) {
        box->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Backspace);
        } else {
            QTest::keyClicks(box, text);
        }
    }

    QString MeterFigure() { return Page().Meter()->Figure()->text(); }
    QString MeterWarning() {
        return Page().Meter()->Warning()->isVisibleTo(Page().Meter())
                   ? Page().Meter()->Warning()->text()
                   : QString();
    }

private slots:
    void init() {
        asked_.clear();
        answerYes_ = false;
        now_ = 1000;
    }
    void cleanup() {
        desktop_.reset();
        home_.reset();
    }

    void recordsKeysAndMouseButtons_data() {
        QTest::addColumn<bool>("recordDelays");
        QTest::addColumn<std::vector<MacroAction>>("recorded");
        // A at 120 ms, held (a repeat), released 120 ms later; a right click on the memory
        // meter 60 ms on, 10 ms long; Escape 90 ms on, 50 ms long.
        QTest::newRow("measured pauses")
            << true << std::vector<MacroAction>{{120, kA, P},
                                                {60, kA, R},
                                                {10, keys::kKeyMouseRight, P},
                                                {90, keys::kKeyMouseRight, R},
                                                {50, kEsc, P},
                                                {0, kEsc, R}};
        QTest::newRow("50 ms each")
            << false << std::vector<MacroAction>{{50, kA, P},
                                                 {50, kA, R},
                                                 {50, keys::kKeyMouseRight, P},
                                                 {50, keys::kKeyMouseRight, R},
                                                 {50, kEsc, P},
                                                 {0, kEsc, R}};
    }
    void recordsKeysAndMouseButtons() {
        QFETCH(bool, recordDelays);
        QFETCH(std::vector<MacroAction>, recorded);
        Start();
        QVERIFY(OpenMacroPage("FUNC_G1"));
        PageButton("FUNC_MACRO_ADD").click();
        QCOMPARE(ListedMacros(), QStringList{QStringLiteral("Macro 1")});

        // The option is kept in the settings as soon as it is clicked.
        if (Page().RecordDelays()->isChecked() != recordDelays) {
            Page().RecordDelays()->click();
        }
        QCOMPARE(desktop_->app->Settings().ReadString("PROFILES", "RecordDelays").value,
                 std::string(recordDelays ? "1" : "0"));

        PngButton& record = PageButton("FUNC_MACRO_RECORD");
        record.click();
        QVERIFY(Page().Recording());
        QCOMPARE(record.text(), QStringLiteral("Stop"));
        QVERIFY(Page().RecordingHint()->isVisible());
        QVERIFY(!PageButton("FUNC_MACRO_ADD").isEnabled());
        QVERIFY(!Page().MacroList()->isEnabled());

        now_ = 1120;
        SendKey(Dialog(), kXkbA, true);
        now_ = 1180;
        SendKey(Dialog(), kXkbA, true, true);  // held: the repeat is no action
        now_ = 1240;
        SendKey(Dialog(), kXkbA, false);
        now_ = 1300;
        SendMouse(*Page().Meter(), Qt::RightButton, true);
        now_ = 1310;
        SendMouse(*Page().Meter(), Qt::RightButton, false);
        now_ = 1350;
        SendKey(Dialog(), kXkbMute, true);  // media keys keep their job
        SendKey(Dialog(), kXkbMute, false);
        now_ = 1400;
        SendKey(Dialog(), kXkbEsc, true);
        now_ = 1450;
        SendKey(Dialog(), kXkbEsc, false);
        // Escape went into the macro instead of closing the dialog.
        QVERIFY(Dialog().IsOpen());

        // The click that stops is not part of the macro.
        now_ = 1600;
        SendMouse(record, Qt::LeftButton, true);
        SendMouse(record, Qt::LeftButton, false);
        QVERIFY(!Page().Recording());
        QCOMPARE(record.text(), QStringLiteral("Record"));
        QVERIFY(!Page().RecordingHint()->isVisible());
        QCOMPARE(ShownActions(), recorded);

        QTableWidget* list = Page().ActionList();
        QCOMPARE(list->rowCount(), static_cast<int>(recorded.size()));
        QCOMPARE(list->item(0, 0)->text(), QStringLiteral("A"));
        QCOMPARE(list->item(0, 1)->text(), QStringLiteral("↓"));
        QCOMPARE(list->item(1, 1)->text(), QStringLiteral("  ↑"));
        QCOMPARE(list->item(0, 2)->text(), QString::number(recorded[0].delay));
        QVERIFY(PageButton("CONTROL2_APPLY").isEnabled());
    }

    void recordingInsertsAfterTheSelectedRowAndEndsWhenTheFocusLeaves() {
        Start();
        Seed({Macro(1, u"Keys", {{120, kA, P}, {60, kA, R}})});
        QVERIFY(OpenMacroPage("FUNC_G1"));
        if (!Page().RecordDelays()->isChecked()) {
            Page().RecordDelays()->click();
        }
        Page().ActionList()->selectRow(0);
        now_ = 2000;
        PageButton("FUNC_MACRO_RECORD").click();
        // Print Screen reports its release only: a press goes in 2 ms before it.
        now_ = 2100;
        SendKey(Dialog(), kXkbPrintScreen, true);
        now_ = 2200;
        SendKey(Dialog(), kXkbPrintScreen, false);
        now_ = 2230;
        SendKey(Dialog(), kXkbB, true);
        QCOMPARE(ShownActions(), (std::vector<MacroAction>{{2, kA, P},
                                                           {200, kPrintScreen, P},
                                                           {30, kPrintScreen, R},
                                                           {120, kB, P},
                                                           {60, kA, R}}));
        QCOMPARE(Page().ActionList()->currentRow(), 3);

        // Another window takes the focus: the keys are no longer the dialog's.
        QEvent leave(QEvent::WindowDeactivate);
        QApplication::sendEvent(&Dialog(), &leave);
        QVERIFY(!Page().Recording());
        SendKey(Dialog(), kXkbB, false);
        QCOMPARE(ShownActions().size(), std::size_t{5});
    }

    void theMacroListCommands() {
        Start();
        Seed({Macro(1, u"Used", {{10, kA, P}})}, {{2, kQSlot}});
        QVERIFY(OpenMacroPage("FUNC_G1"));
        QCOMPARE(ListedMacros(), QStringList{QStringLiteral("Used")});

        PageButton("FUNC_MACRO_ADD").click();
        PageButton("FUNC_MACRO_ADD").click();
        QCOMPARE(ListedMacros(), (QStringList{QStringLiteral("Used"), QStringLiteral("Macro 1"),
                                              QStringLiteral("Macro 2")}));
        QCOMPARE(Session().ShownMacro()->macroId, std::uint16_t{3});
        QCOMPARE(Page().NameBox()->text(), QStringLiteral("Macro 2"));

        // The name box renames the macro shown as it is typed.
        TypeInto(Page().NameBox(), QStringLiteral("Fast"));
        QCOMPARE(ListedMacros().last(), QStringLiteral("Fast"));

        // Moved by the keyboard and by the context menu's commands.
        QTest::keyClick(Page().MacroList(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(ListedMacros(), (QStringList{QStringLiteral("Fast"), QStringLiteral("Used"),
                                              QStringLiteral("Macro 1")}));
        Page().MoveMacroAction(MovePlace::Down)->trigger();
        QCOMPARE(ListedMacros().at(1), QStringLiteral("Fast"));
        QCOMPARE(Page().MacroList()->currentRow(), 1);

        // A macro made in this session goes without a question; the one before it is shown.
        PageButton("FUNC_MACRO_DELETE").click();
        QVERIFY(asked_.empty());
        QCOMPARE(ListedMacros(), (QStringList{QStringLiteral("Used"), QStringLiteral("Macro 1")}));
        QCOMPARE(Page().NameBox()->text(), QStringLiteral("Used"));

        // One that a key of profile 3 plays asks first; No keeps it.
        PageButton("FUNC_MACRO_DELETE").click();
        QCOMPARE(asked_.size(), 1);
        QVERIFY(asked_[0].contains(QStringLiteral("assigned to one or more keys")));
        QVERIFY(noPreselected_);
        QCOMPARE(ListedMacros().size(), 2);
        answerYes_ = true;
        PageButton("FUNC_MACRO_DELETE").click();
        QCOMPARE(ListedMacros(), QStringList{QStringLiteral("Macro 1")});

        // Until Apply the image has what it had: Cancel leaves it so.
        PageButton("CONTROL_CANCEL").click();
        QVERIFY(desktop_->Settle());
        const service::SnapshotPtr snapshot = desktop_->Service().Snapshot();
        const profiles::ImageContents* image = &snapshot->image;
        QCOMPARE(image->macros, (macros::MacroList{Macro(1, u"Used", {{10, kA, P}})}));
        QCOMPARE(image->blocks[2][kQSlot], Plays(1));
    }

    void theHundredAndFirstMacroIsRefused() {
        Start();
        macros::MacroList hundred;
        for (std::uint16_t id = 1; id <= macros::kMaxMacros; ++id) {
            hundred.push_back(
                Macro(id, u"m" + std::u16string(1, static_cast<char16_t>(u'0' + id % 10))));
        }
        Seed(hundred);
        QVERIFY(OpenMacroPage("FUNC_G1"));
        PageButton("FUNC_MACRO_ADD").click();
        QCOMPARE(asked_,
                 QStringList{QStringLiteral(
                     "You can have at most 100 macros. Please delete one before adding another.")});
        QCOMPARE(Session().Macros().size(), macros::kMaxMacros);
        QCOMPARE(Page().MacroList()->count(), static_cast<int>(macros::kMaxMacros));
    }

    void theActionCommandsAndCells() {
        Start();
        Seed({Macro(1, u"Keys", {{10, kA, P}, {20, kA, R}, {30, kB, P}})});
        QVERIFY(OpenMacroPage("FUNC_G1"));
        QTableWidget* list = Page().ActionList();

        // The last row to the top, with its delay; it stays selected.
        list->selectRow(2);
        PageButton("FUNC_MACRO_UP_TOP").click();
        QCOMPARE(ShownActions(), (std::vector<MacroAction>{{30, kB, P}, {10, kA, P}, {20, kA, R}}));
        QCOMPARE(list->currentRow(), 0);
        PageButton("FUNC_MACRO_DOWN").click();
        QCOMPARE(list->currentRow(), 1);
        PageButton("FUNC_MACRO_DELETE2").click();
        QCOMPARE(ShownActions(), (std::vector<MacroAction>{{10, kA, P}, {20, kA, R}}));

        // Delays: too long is told and kept at the longest; others go down to tens.
        TypeDelay(0, QStringLiteral("45678"));
        QCOMPARE(asked_.size(), 1);
        QVERIFY(asked_[0].contains(QStringLiteral("40000")));
        QCOMPARE(ShownActions()[0].delay, 40000u);
        QCOMPARE(list->item(0, 2)->text(), QStringLiteral("40000"));
        TypeDelay(0, QStringLiteral("1234"));
        QCOMPARE(ShownActions()[0].delay, 1230u);
        QCOMPARE(asked_.size(), 1);

        // The key and press/release cells offer their lists.
        auto* key = EditCell<QComboBox>(1, ActionColumn::Key);
        QVERIFY(key != nullptr);
        QCOMPARE(key->count(), static_cast<int>(keys::kKeyChoiceCount));
        QCOMPARE(key->currentIndex(), static_cast<int>(keys::ListIdFromKeyCode(kA)));
        key->setCurrentIndex(static_cast<int>(keys::ListIdFromKeyCode(kB)));
        Commit(key);
        auto* state = EditCell<QComboBox>(1, ActionColumn::State);
        QVERIFY(state != nullptr);
        state->setCurrentIndex(0);
        Commit(state);
        QCOMPARE(ShownActions(), (std::vector<MacroAction>{{1230, kA, P}, {20, kB, P}}));
        QCOMPARE(list->item(1, 0)->text(), QStringLiteral("B"));

        // The repeat count stays within 1..255.
        TypeInto(Page().RepeatBox(), QStringLiteral("300"));
        QCOMPARE(Page().RepeatBox()->text(), QStringLiteral("255"));
        QCOMPARE(Session().ShownMacro()->repeatCount, 255);
        TypeInto(Page().RepeatBox(), QString());
        QCOMPARE(Page().RepeatBox()->text(), QStringLiteral("1"));

        // Clearing asks; No keeps the actions.
        PageButton("FUNC_MACRO_CLEAR").click();
        QCOMPARE(asked_.size(), 2);
        QCOMPARE(ShownActions().size(), std::size_t{2});
        answerYes_ = true;
        PageButton("FUNC_MACRO_CLEAR").click();
        QVERIFY(ShownActions().empty());
        QCOMPARE(list->rowCount(), 0);
    }

    void applyCommitsOnTheWorkerAndRepairsKeys() {
        Start();
        // Caps Lock of profile 1 and Q of profile 3 play macro 1.
        Seed({Macro(1, u"Old", {{10, kA, P}})}, {{0, kCapsSlot}, {2, kQSlot}});
        QVERIFY(OpenMacroPage("FUNC_G2"));
        answerYes_ = true;
        PageButton("FUNC_MACRO_DELETE").click();
        // The new macro takes the deleted one's id, but not its keys.
        PageButton("FUNC_MACRO_ADD").click();
        QCOMPARE(Session().ShownMacro()->macroId, std::uint16_t{1});
        PageButton("FUNC_MACRO_RECORD").click();
        SendKey(Dialog(), kXkbB, true);
        SendKey(Dialog(), kXkbB, false);
        PageButton("CONTROL2_APPLY").click();
        QVERIFY(!Page().Recording());
        QVERIFY(desktop_->Settle());

        const MacroRecord recorded =
            Macro(1, u"Macro 1", {{macros::kFixedRecordedDelayMs, kB, P}, {0, kB, R}});
        {
            const service::SnapshotPtr snapshot = desktop_->Service().Snapshot();
            const profiles::ImageContents* image = &snapshot->image;
            QCOMPARE(image->macros, macros::MacroList{recorded});
            QCOMPARE(image->blocks[0][kCapsSlot].kind, keys::KeyKind::Default);
            QCOMPARE(image->blocks[2][kQSlot].kind, keys::KeyKind::Default);
            QCOMPARE(image->blocks[0][kG2Slot], Plays(1));
        }
        // The page's copies follow the image: committed, and G2 now plays the macro.
        QVERIFY(!Session().Modified());
        QCOMPARE(Session().Macros(), macros::MacroList{recorded});
        QTRY_COMPARE_WITH_TIMEOUT(Session().KeysPlaying(1), std::size_t{1}, kWait);
        QVERIFY(!PageButton("CONTROL2_APPLY").isEnabled());
        PageButton("FUNC_MACRO_DELETE").click();
        QCOMPARE(asked_.size(), 2);  // asked now: a key plays it
        PageButton("CONTROL_CANCEL").click();

        // The main Apply writes the macro to the keyboard.
        QVERIFY(desktop_->Window().Button("CONTROL2_APPLY")->isEnabled());
        desktop_->Window().Button("CONTROL2_APPLY")->click();
        QVERIFY(desktop_->Settle());
        const sim::KeyboardMemory memory = desktop_->Keyboard().Memory();
        const macros::DecodedMacroArea area = macros::DecodeMacroArea(
            Bytes(memory.macroArea.data(), memory.macroArea.size()), u"Macro ");
        QCOMPARE(area.macros.size(), std::size_t{1});
        QCOMPARE(area.macros[0].name, std::u16string(u"Macro 1"));
        QCOMPARE(area.macros[0].actions.size(), std::size_t{2});
    }

    void theMeterCountsAgainstTheKeyboardsCapacity() {
        // 128 bytes of macro memory.
        Start({.macroCapacityUnits = 1});
        QVERIFY(OpenMacroPage("FUNC_G1"));
        QCOMPARE(MeterFigure(), QStringLiteral("Macro memory: 16 of 128 bytes used (13%)"));
        QCOMPARE(MeterWarning(), QString());

        // "Macro 1" and its block: 16 + 2 + 4, and 7 name characters.
        PageButton("FUNC_MACRO_ADD").click();
        QCOMPARE(MeterFigure(), QStringLiteral("Macro memory: 36 of 128 bytes used (29%)"));
        QCOMPARE(Page().Meter()->Bar()->value(), 29);

        // A 40-character name and 7 actions: 50 bytes without names, 130 with them.
        TypeInto(Page().NameBox(), QString(40, QLatin1Char('n')));
        QCOMPARE(MeterFigure(), QStringLiteral("Macro memory: 102 of 128 bytes used (80%)"));
        PageButton("FUNC_MACRO_RECORD").click();
        for (int i = 0; i < 7; ++i) {
            SendKey(Dialog(), kXkbA, i % 2 == 0);
        }
        QCOMPARE(MeterFigure(), QStringLiteral("Macro memory: 50 of 128 bytes used (40%)"));
        QCOMPARE(MeterWarning(),
                 QStringLiteral("The macro names do not fit the keyboard's memory: Apply will "
                                "store the macros without their names."));

        // 27 actions: 130 bytes even without names.
        for (int i = 7; i < 27; ++i) {
            SendKey(Dialog(), kXkbA, i % 2 == 0);
        }
        QCOMPARE(MeterFigure(), QStringLiteral("Macro memory: 130 of 128 bytes used (102%)"));
        QCOMPARE(Page().Meter()->Bar()->value(), 100);
        QCOMPARE(MeterWarning(),
                 QStringLiteral("The macros are 2 bytes too large for the keyboard's memory, so "
                                "Apply will refuse them. Please shorten or delete some macros."));
    }
};

}  // namespace

std::unique_ptr<QObject> MakeMacroPageTest() {
    return std::make_unique<MacroPageTest>();
}

}  // namespace qv::gui::test

#include "macro_page_test.moc"
