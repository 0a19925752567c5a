// The lighting panel in the running program, on the simulated keyboard: the lamp opens and
// closes it with the controls of the selected mode, each control writes its bytes into the
// current profile's record at once (and nothing when the value is already held), a dragged
// slider's writes are merged, clicks paint keys into the colour page and the user colour file,
// the keyboard view previews the lighting, and Default restores the lighting of the open panel.

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>

#include <array>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "desktop_fixture.h"
#include "device/commands.h"
#include "device/device_report.h"
#include "device/key_events.h"
#include "gui/keyboard_view.h"
#include "gui/lighting_panel.h"
#include "gui/main_window.h"
#include "gui/picture_slider.h"
#include "gui/widgets/png_button.h"
#include "gui/widgets/skin_color_button.h"
#include "gui/widgets/tab_order.h"
#include "gui_tests.h"
#include "lighting/colour_page.h"
#include "lighting/panel_switch_file.h"
#include "lighting/user_colour_file.h"
#include "profiles/profile_folder.h"
#include "service/worker_gate.h"
#include "sim/keyboard_layout.h"

namespace qv::gui::test {
namespace {

// One report of a lighting or colour write: its command, area offset and bytes.
struct Sent {
    std::uint8_t command = 0;
    int offset = 0;
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const Sent&, const Sent&) = default;
};

Sent Lighting(int offset, std::vector<std::uint8_t> bytes) {
    return {device::CMD_WRITE_LIGHTING, offset, std::move(bytes)};
}

// What QCOMPARE prints for the writes.
char* toString(const std::vector<Sent>& sent) {
    std::ostringstream text;
    for (const Sent& s : sent) {
        text << "[cmd " << int(s.command) << " @" << s.offset << ":";
        for (const std::uint8_t b : s.bytes) {
            text << " " << int(b);
        }
        text << "]";
    }
    return qstrdup(text.str().c_str());
}

// Every control of the panel that comes and goes with the mode, by visibility group.
const std::set<std::string> kLamp{"CONTROL_DengStatic", "CONTROL_DengStaPic"};
const std::set<std::string> kEveryMode{"CONTROL_XGcombox", "CONTROL_LightStatic",
                                       "CONTROL_LightSlider"};
const std::set<std::string> kSpeed{"CONTROL_SpeedStatic", "CONTROL_SpeedSlider"};
const std::set<std::string> kDirection{"CONTROL_BLFXStatic", "CONTROL_BLFXLStaPic",
                                       "CONTROL_BLFXRStaPic"};
const std::set<std::string> kGroupB{"CONTROL_HXysStatic", "CONTROL_HXysButton",
                                    "CONTROL_HXsjsStatic", "CONTROL_HXsjsStaPic"};
const std::set<std::string> kGroupA{"CONTROL_FYYSStatic", "CONTROL_FYYSButton",
                                    "CONTROL_FYSJSStatic", "CONTROL_FYSJSStaPic"};
const std::set<std::string> kPresets{"CONTROL_HONGPIC", "CONTROL_HUANGPIC", "CONTROL_LVPIC",
                                     "CONTROL_LANPIC"};
const std::set<std::string> kSchemes{"CONTROL_USERysStatic",  "CONTROL_USERysButton",
                                     "CONTROL_USERjsStatic",  "CONTROL_USERjsButton",
                                     "CONTROL_USERgjStatic",  "CONTROL_USERgjStaPic1",
                                     "CONTROL_USERgjStaPic2", "CONTROL_umCombo"};

std::set<std::string> Join(std::initializer_list<std::set<std::string>> groups) {
    std::set<std::string> all;
    for (const auto& group : groups) {
        all.insert(group.begin(), group.end());
    }
    return all;
}

constexpr int kSlotZ = 34;  // shared with Backspace
constexpr int kSlotEsc = 1;

class LightingPanelTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<Desktop> desktop_;

    MainWindow& Window() { return desktop_->Window(); }
    LightingPanel& Panel() { return Window().Lighting(); }
    template <typename Widget = QWidget>
    Widget* Control(const char* key) {
        return qobject_cast<Widget*>(Panel().Control(key));
    }
    std::filesystem::path ProfileFolder() {
        return profiles::ProfileFolderPath(home_->path().toStdString() + "/documents");
    }

    std::set<std::string> VisibleControls() {
        std::set<std::string> shown;
        for (QWidget* child : Panel().findChildren<QWidget*>()) {
            const std::string key = child->objectName().toStdString();
            if (key.rfind("CONTROL_", 0) == 0 && child->isVisibleTo(&Window())) {
                shown.insert(key);
            }
        }
        return shown;
    }

    // Chooses the mode in the mode list as a user does.
    void ChooseMode(int mode) {
        auto* combo = Control<QComboBox>("CONTROL_XGcombox");
        const int position = Panel().Model().Modes().ModePositionOf(mode);
        QVERIFY2(position >= 0, "the keyboard lists the mode");
        combo->setCurrentIndex(position);
        emit combo->activated(position);
        QVERIFY(desktop_->Settle());
    }

    // Picks a palette colour of a colour button: the popup's swatch at `index`.
    QColor PickSwatch(const char* key, int index) {
        auto* picker = Control<SkinColorButton>(key);
        picker->click();
        const QList<QToolButton*> swatches =
            picker->PalettePopup()->findChildren<QToolButton*>(QStringLiteral("swatch"));
        swatches[index]->click();
        if (!desktop_->Settle()) {
            QTest::qFail("the program did not settle", __FILE__, __LINE__);
        }
        // As eight-bit red, green and blue, as the keyboard takes colours.
        return QColor(SkinColorButton::PaletteColours()[static_cast<std::size_t>(index)].rgb());
    }

    // A click, and what the keyboard service publishes after it.
    void Click(const char* key) {
        QTest::mouseClick(Panel().Control(key), Qt::LeftButton);
        QVERIFY(desktop_->Settle());
    }

    // The lighting and colour writes the keyboard took since the last call.
    std::vector<Sent> Writes() {
        if (!desktop_->Settle()) {
            QTest::qFail("the program did not settle", __FILE__, __LINE__);
        }
        std::vector<Sent> writes;
        for (const auto& bytes : desktop_->Keyboard().SentReports()) {
            const device::DeviceReport report(bytes);
            if (report.Command() == device::CMD_WRITE_LIGHTING ||
                report.Command() == device::CMD_WRITE_KEY_COLOURS) {
                const auto payload = report.Payload().first(report.Length());
                writes.push_back(
                    {report.Command(), report.Offset(), {payload.begin(), payload.end()}});
            }
        }
        desktop_->Keyboard().ClearSentReports();
        return writes;
    }

    sim::KeyboardMemory Memory() { return desktop_->Keyboard().Memory(); }
    lighting::Colour PageColour(int slot) {
        const sim::KeyboardMemory memory = Memory();
        return lighting::ColourFromBytes(
            std::span(memory.colourPages).subspan(static_cast<std::size_t>(slot) * 3, 3));
    }
    static lighting::Colour ToColour(const QColor& c) {
        return static_cast<lighting::Colour>(c.red() | c.green() << 8 | c.blue() << 16);
    }

    void OpenPanel() {
        Click("CONTROL_DengStaPic");
        QVERIFY(desktop_->Settle());
        QVERIFY(Panel().IsOpen());
        desktop_->Keyboard().ClearSentReports();
    }

    // The Default command's lighting part, as the desktop app asks for it.
    void RestorePanelDefaults() {
        desktop_->Service().Post(
            [](service::KeyboardSession& session) { (void)session.RestorePanelDefaults(); });
        QVERIFY(desktop_->Settle());
    }

private slots:
    void init() {
        home_ = MakeHomeFolder();
        desktop_ = StartDesktop(*home_, {});
        QTRY_VERIFY_WITH_TIMEOUT(Window().isVisible(), kWait);
        desktop_->Keyboard().ClearSentReports();
    }
    void cleanup() {
        desktop_.reset();
        home_.reset();
    }

    void aPanelLeftOpenIsOpenWithItsControlsAfterTheNextStart() {
        desktop_.reset();
        const std::filesystem::path documents =
            std::filesystem::path(home_->path().toStdString()) / "documents";
        std::filesystem::create_directories(profiles::ProfileFolderPath(documents));
        lighting::PanelSwitchFile(profiles::ProfileFolderPath(documents) / "wskb.ini")
            .SetPanelSwitch(true);
        desktop_ = StartDesktop(*home_, {});
        QTRY_VERIFY_WITH_TIMEOUT(Window().isVisible(), kWait);
        QVERIFY(desktop_->Settle());
        QVERIFY(Panel().IsOpen());
        // Looked up among the panel's children: Control() would make a missing one.
        auto* combo = Panel().findChild<QComboBox*>(QStringLiteral("CONTROL_XGcombox"));
        QVERIFY(combo != nullptr && combo->isVisible());
        QCOMPARE(combo->count(), Panel().Model().Modes().size());
        QCOMPARE(combo->currentIndex(), Panel().Model().SelectedPosition());
    }

    void controlsMadeAtTheFirstOpeningTakeTheirPlaceInTheTabOrder() {
        const auto chain = [this] {
            std::vector<QWidget*> widgets;
            QWidget* at = &Window();
            do {
                widgets.push_back(at);
                at = at->nextInFocusChain();
            } while (at != &Window());
            return widgets;
        };
        OpenPanel();
        ChooseMode(lighting::kPerKeyColourMode);
        const std::vector<QWidget*> made = chain();
        SetReadingTabOrder(Window());
        QVERIFY(made == chain());
    }

    void theLampShowsTheControlsOfTheSelectedModeOnly() {
        QVERIFY(!Panel().IsOpen());
        QCOMPARE(VisibleControls(), kLamp);
        OpenPanel();
        QVERIFY(Window().Keyboard()->PaintMode());
        struct Case {
            int mode;
            std::set<std::string> shown;
        };
        const Case cases[] = {
            {1, Join({kLamp, kEveryMode, kSpeed, kDirection, kGroupB})},
            {4, Join({kLamp, kEveryMode, kSpeed})},
            {6, Join({kLamp, kEveryMode, kGroupA})},
            {10, Join({kLamp, kEveryMode, kSpeed, kGroupB})},
            {12, Join({kLamp, kEveryMode, kSpeed, kDirection})},
            {16, Join({kLamp, kEveryMode, kGroupA})},
            {17, Join({kLamp, kEveryMode, kPresets})},
            {18, Join({kLamp, kEveryMode, kDirection})},
            {20, Join({kLamp, kEveryMode, kSchemes})},
        };
        for (const Case& c : cases) {
            ChooseMode(c.mode);
            QCOMPARE(Panel().Model().State().mode, c.mode);
            QVERIFY2(VisibleControls() == c.shown, qPrintable(QString::number(c.mode)));
        }
        // The lamp of the button row closes it as well; everything but the lamp goes.
        (void)Writes();
        Window().Button("FUNC_SWITCH")->click();
        QVERIFY(desktop_->Settle());
        QVERIFY(!Panel().IsOpen());
        QVERIFY(!Window().Keyboard()->PaintMode());
        QCOMPARE(VisibleControls(), kLamp);
        QVERIFY(Writes().empty());
    }

    void onlyTheModesTheKeyboardListsAreOfferedAndAnUnknownOneWritesNothing() {
        // The keyboard lists 6, 19 and 20 only, with gaps.
        desktop_->Keyboard().UpdateMemory([](sim::KeyboardMemory& memory) {
            std::fill_n(memory.settings.begin() + sim::kSettingsModeList, 32, 0);
            memory.settings[sim::kSettingsModeList + 1] = 6;
            memory.settings[sim::kSettingsModeList + 4] = 19;
            memory.settings[sim::kSettingsModeList + 5] = 20;
        });
        desktop_->Keyboard().RaiseKeyEvent(device::KEY_EVENT_SETTINGS_CHANGED);
        QVERIFY(desktop_->Settle());
        auto* combo = Control<QComboBox>("CONTROL_XGcombox");
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QStringLiteral("Static"));
        QCOMPARE(combo->itemText(2), QStringLiteral("Per-key Colours"));
        // The keyboard runs mode 1, which it does not list: nothing is selected.
        QCOMPARE(combo->currentIndex(), -1);
        OpenPanel();
        ChooseMode(19);
        QVERIFY(Writes().empty());
        QCOMPARE(VisibleControls(), Join({kLamp, {"CONTROL_XGcombox"}}));
        QCOMPARE(Memory().lighting[0], 1);
    }

    void eachControlWritesItsBytesAtOnceAndAnUnchangedValueNothing() {
        OpenPanel();
        // The factory record of profile 1: mode 1, brightness 4, speed 2, direction 0,
        // multicolour on, white.
        struct Step {
            const char* what;
            std::function<void()> act;
            std::vector<Sent> sent;
        };
        auto* brightness = Control<PictureSlider>("CONTROL_LightSlider");
        auto* speed = Control<PictureSlider>("CONTROL_SpeedSlider");
        QColor swatch;
        const Step steps[] = {
            {"mode 10 writes the mode alone", [&] { ChooseMode(10); }, {Lighting(0, {10})}},
            {"mode 5 takes the multicolour flag first",
             [&] { ChooseMode(5); },
             {Lighting(4, {1}), Lighting(0, {5})}},
            {"the same mode again", [&] { ChooseMode(5); }, {}},
            {"brightness 2", [&] { brightness->setValue(2); }, {Lighting(1, {2})}},
            {"brightness 2 again", [&] { brightness->setValue(2); }, {}},
            {"speed position 0 is speed 4", [&] { speed->setValue(0); }, {Lighting(2, {4})}},
            {"a colour turns multicolour off",
             [&] { swatch = PickSwatch("CONTROL_HXysButton", 13); },
             {Lighting(4, {0}), Lighting(5, {})}},
            {"multicolour on", [&] { Click("CONTROL_HXsjsStaPic"); }, {Lighting(4, {1})}},
            {"multicolour off", [&] { Click("CONTROL_HXsjsStaPic"); }, {Lighting(4, {0})}},
            {"mode 1", [&] { ChooseMode(1); }, {Lighting(4, {0}), Lighting(0, {1})}},
            {"first direction", [&] { Click("CONTROL_BLFXLStaPic"); }, {Lighting(3, {255})}},
            {"first direction again", [&] { Click("CONTROL_BLFXLStaPic"); }, {}},
            {"second direction", [&] { Click("CONTROL_BLFXRStaPic"); }, {Lighting(3, {0})}},
            {"mode 17", [&] { ChooseMode(17); }, {Lighting(0, {17})}},
            {"green preset", [&] { Click("CONTROL_LVPIC"); }, {Lighting(17, {2})}},
            {"green preset again", [&] { Click("CONTROL_LVPIC"); }, {}},
        };
        for (const Step& step : steps) {
            step.act();
            std::vector<Sent> expected = step.sent;
            for (Sent& sent : expected) {
                if (sent.offset == 5) {
                    sent.bytes = {static_cast<std::uint8_t>(swatch.red()),
                                  static_cast<std::uint8_t>(swatch.green()),
                                  static_cast<std::uint8_t>(swatch.blue())};
                }
            }
            QVERIFY2(Writes() == expected, step.what);
        }
        const sim::KeyboardMemory memory = Memory();
        QCOMPARE(std::vector<std::uint8_t>(memory.lighting.begin(), memory.lighting.begin() + 8),
                 (std::vector<std::uint8_t>{17, 2, 4, 0, 0, static_cast<std::uint8_t>(swatch.red()),
                                            static_cast<std::uint8_t>(swatch.green()),
                                            static_cast<std::uint8_t>(swatch.blue())}));
        QCOMPARE(memory.lighting[17], std::uint8_t{2});
    }

    void aDraggedSliderSendsTheLastValueBehindTheOneRunning() {
        OpenPanel();
        auto* slider = Control<PictureSlider>("CONTROL_LightSlider");
        const int y = slider->height() / 2;
        const auto at = [slider](int position) {
            return PictureSlider::kTrackInset +
                   (slider->width() - 2 * PictureSlider::kTrackInset) * position / 4;
        };
        const auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(x, y), slider->mapToGlobal(QPointF(x, y)),
                              Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(slider, &event);
        };
        service::WorkerGate gate;
        gate.Close(desktop_->Service());
        send(QEvent::MouseButtonPress, at(0), Qt::LeftButton);
        for (const int position : {1, 2, 3, 4, 3, 2, 1, 0, 1, 2, 3}) {
            send(QEvent::MouseMove, at(position), Qt::LeftButton);
        }
        send(QEvent::MouseButtonRelease, at(3), Qt::NoButton);
        QCOMPARE(slider->value(), 3);
        gate.Open();
        // The value the drag began with, then only the last one.
        QCOMPARE(Writes(), (std::vector<Sent>{Lighting(1, {0}), Lighting(1, {3})}));
        QCOMPARE(Memory().lighting[1], 3);
    }

    void paintingWritesTheSlotAndKeepsItInTheScheme() {
        OpenPanel();
        // Outside the per-key mode a click paints nothing and opens nothing.
        Window().Button("KEY_02C")->click();
        QVERIFY(Writes().empty());
        QVERIFY(Window().Assignment() == nullptr || !Window().Assignment()->IsOpen());

        // Choosing the mode writes the scheme's page: every key red by default.
        ChooseMode(20);
        std::vector<Sent> sent = Writes();
        QCOMPARE(sent.size(), std::size_t{5});
        QCOMPARE(sent[1].command, device::CMD_WRITE_KEY_COLOURS);
        QCOMPARE(sent[4].bytes.size(), std::size_t{30});
        QCOMPARE(PageColour(kSlotEsc), lighting::kDefaultSlotColour);

        // Tool 1 paints Esc in the base colour (black): Esc follows it from now on.
        Click("CONTROL_USERgjStaPic2");
        Window().Button("KEY_001")->click();
        QCOMPARE(Writes(),
                 (std::vector<Sent>{{device::CMD_WRITE_KEY_COLOURS, kSlotEsc * 3, {0, 0, 0}}}));

        // Tool 0 paints the key colour into Z's slot, which Backspace shares.
        const QColor keyColour = PickSwatch("CONTROL_USERysButton", 14);
        Click("CONTROL_USERgjStaPic1");
        QVERIFY(Writes().empty());
        Window().Button("KEY_02C")->click();
        sent = Writes();
        QCOMPARE(sent.size(), std::size_t{1});
        QCOMPARE(sent[0].offset, kSlotZ * 3);
        QCOMPARE(PageColour(kSlotZ), ToColour(keyColour));
        QCOMPARE(Window().Keyboard()->KeyColourShown("KEY_00E"), std::optional(keyColour));

        // A new base colour recolours the keys that follow it, not the one painted.
        const QColor base = PickSwatch("CONTROL_USERjsButton", 25);
        QCOMPARE(Writes().size(), std::size_t{4});
        QCOMPARE(PageColour(kSlotEsc), ToColour(base));
        QCOMPARE(PageColour(kSlotZ), ToColour(keyColour));
        QCOMPARE(Window().Keyboard()->KeyColourShown("KEY_001"), std::optional(base));

        const auto file =
            lighting::UserColourFile::Load(lighting::UserColourFilePath(ProfileFolder(), 0));
        const auto& scheme = std::get<lighting::UserColourFile>(file);
        QCOMPARE(scheme.Slot(0, kSlotZ), (lighting::SlotEntry{ToColour(keyColour), false}));
        QCOMPARE(scheme.Slot(0, kSlotEsc), (lighting::SlotEntry{ToColour(base), true}));

        // Another scheme is loaded and written whole; its name is edited in place.
        auto* schemes = Control<QComboBox>("CONTROL_umCombo");
        schemes->setCurrentIndex(3);
        emit schemes->activated(3);
        QCOMPARE(Writes().size(), std::size_t{4});
        QCOMPARE(PageColour(kSlotZ), lighting::kDefaultSlotColour);
        schemes->lineEdit()->selectAll();
        QTest::keyClicks(schemes->lineEdit(), QStringLiteral("Night"));
        QVERIFY(desktop_->Settle());
        QCOMPARE(schemes->itemText(3), QStringLiteral("Night"));
        QCOMPARE(Panel().Colours().SchemeNames()[3], std::string("Night"));
        QCOMPARE(Panel().Colours().CurrentScheme(), 3);
    }

    void theViewPreviewsTheLightingOnlyWhileThePanelIsOpen() {
        KeyboardView& view = *Window().Keyboard();
        const QImage closed = view.grab().toImage();
        OpenPanel();
        ChooseMode(6);
        // Multicolour shows no single colour; a chosen colour shows on every coloured key.
        QCOMPARE(view.KeyColourShown("KEY_01E"), std::nullopt);
        const QColor colour = PickSwatch("CONTROL_FYYSButton", 12);
        QCOMPARE(view.KeyColourShown("KEY_01E"), std::optional(colour));
        QCOMPARE(view.KeyColourShown("KEY_FN"), std::optional(colour));
        QCOMPARE(view.KeyColourShown("FUNC_G8"), std::nullopt);
        QVERIFY(view.grab().toImage() != closed);
        ChooseMode(17);
        Click("CONTROL_LANPIC");
        QCOMPARE(view.KeyColourShown("KEY_01E"), std::optional(QColor(0, 0, 255)));

        Click("CONTROL_DengStaPic");
        QCOMPARE(view.KeyColourShown("KEY_01E"), std::nullopt);
        QCOMPARE(view.grab().toImage(), closed);
    }

    void aReadBringsThePanelInLineWithTheKeyboard() {
        OpenPanel();
        desktop_->Keyboard().UpdateMemory([](sim::KeyboardMemory& memory) {
            memory.lighting[0] = 12;
            memory.lighting[1] = 1;
            memory.lighting[3] = 255;
        });
        desktop_->Keyboard().RaiseKeyEvent(device::KEY_EVENT_SETTINGS_CHANGED);
        QVERIFY(desktop_->Settle());
        QCOMPARE(Control<PictureSlider>("CONTROL_LightSlider")->value(), 1);
        QCOMPARE(Control<QComboBox>("CONTROL_XGcombox")->currentText(),
                 QStringLiteral("Rise and Fall"));
        QVERIFY(Panel().IsOpen());
        QCOMPARE(VisibleControls(), Join({kLamp, kEveryMode, kSpeed, kDirection}));
        QVERIFY(Writes().empty());
    }

    void defaultRestoresTheLightingOfTheOpenPanelOnly() {
        // Closed: nothing.
        RestorePanelDefaults();
        QVERIFY(Writes().empty());

        // Profile 4's schemes are the template for every profile.
        lighting::UserColourFile templateFile;
        QVERIFY(templateFile.SetSchemeName(0, "Template"));
        QVERIFY(!templateFile.Save(lighting::UserColourFilePath(ProfileFolder(), 3)));
        OpenPanel();
        ChooseMode(6);
        Control<PictureSlider>("CONTROL_LightSlider")->setValue(1);
        (void)Writes();

        RestorePanelDefaults();
        const std::vector<Sent> sent = Writes();
        QVERIFY(!sent.empty());
        const sim::KeyboardMemory memory = Memory();
        QCOMPARE(std::vector<std::uint8_t>(memory.lighting.begin(), memory.lighting.begin() + 8),
                 (std::vector<std::uint8_t>{1, 4, 2, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
        QCOMPARE(Control<PictureSlider>("CONTROL_LightSlider")->value(), 4);
        QCOMPARE(Control<PictureSlider>("CONTROL_SpeedSlider")->value(), 2);
        QCOMPARE(Panel().Colours().SchemeNames()[0], std::string("Template"));
        QCOMPARE(VisibleControls(), Join({kLamp, kEveryMode, kSpeed, kDirection, kGroupB}));
    }

    void theKeyboardAloneWorksThePanel() {
        auto* lamp = Panel().Control("CONTROL_DengStaPic");
        lamp->setFocus(Qt::TabFocusReason);
        QTest::keyClick(lamp, Qt::Key_Space);
        QVERIFY(desktop_->Settle());
        QVERIFY(Panel().IsOpen());
        // Tab goes on in reading order, to the brightness slider beside the lamp; the arrow
        // keys move it.
        QTest::keyClick(lamp, Qt::Key_Tab);
        auto* slider = Control<PictureSlider>("CONTROL_LightSlider");
        QVERIFY(slider->hasFocus());
        QTest::keyClick(slider, Qt::Key_Left);
        QCOMPARE(Writes(), (std::vector<Sent>{Lighting(1, {3})}));
        // The arrow keys do not step through the modes.
        auto* combo = Control<QComboBox>("CONTROL_XGcombox");
        combo->setFocus(Qt::TabFocusReason);
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(combo, Qt::Key_Up);
        QCOMPARE(Panel().Model().State().mode, 1);
        QVERIFY(Writes().empty());
        // Enter works a picture as Space does, and never closes the window.
        auto* multicolour = Panel().Control("CONTROL_HXsjsStaPic");
        multicolour->setFocus(Qt::TabFocusReason);
        QTest::keyClick(multicolour, Qt::Key_Return);
        QCOMPARE(Writes(), (std::vector<Sent>{Lighting(4, {0})}));
        QVERIFY(Window().isVisible());
    }
};

}  // namespace

std::unique_ptr<QObject> MakeLightingPanelTest() {
    return std::make_unique<LightingPanelTest>();
}

}  // namespace qv::gui::test

#include "lighting_panel_test.moc"
