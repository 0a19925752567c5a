// The desktop program as a whole, offscreen, against the simulated keyboard: start-up, the
// window's life cycle as the keyboard service reports it, the tray icon, the busy animation,
// the single-instance hand-off (also with a second process), the firmware question and the
// exit path.

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/single_instance_guard.h"
#include "core/bytes.h"
#include "desktop_fixture.h"
#include "device/device_report.h"
#include "device/key_events.h"
#include "gui/about_dialog.h"
#include "gui/dialog_prompt.h"
#include "gui/main_window.h"
#include "gui/quorvane_app.h"
#include "gui/service_adapter.h"
#include "gui/tray_icon.h"
#include "gui/widgets/png_button.h"
#include "gui_tests.h"
#include "platform/instance_lock.h"
#include "service/keyboard_service.h"
#include "service/verbs.h"
#include "sim/full_macro_area.h"
#include "sim/keyboard_memory.h"
#include "sim/sim_hid_service.h"

// Cases name only the options they change; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace qv::gui::test {
namespace {

constexpr std::optional<TrayIcon::State> kNoKeyboardIcon = TrayIcon::State::NoKeyboard;
constexpr std::optional<TrayIcon::State> kKeyboardIcon = TrayIcon::State::Keyboard;
constexpr std::optional<TrayIcon::State> kPlayingIcon = TrayIcon::State::Playing;

class DesktopAppTest : public QObject {
    Q_OBJECT

private:
    // Starts a program and waits until its keyboard's arrival (if any) is over.
    std::unique_ptr<Desktop> Started(Options options) {
        return StartDesktop(*homeFolder_, std::move(options));
    }

    QProcess* SecondProcess(const QStringList& arguments) {
        auto* process = new QProcess(this);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                           homeFolder_->filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           homeFolder_->filePath(QStringLiteral("config2")));
        environment.insert(QStringLiteral("XDG_STATE_HOME"),
                           homeFolder_->filePath(QStringLiteral("state2")));
        environment.insert(QStringLiteral("HOME"), homeFolder_->filePath(QStringLiteral("home2")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process->setProcessEnvironment(environment);
        process->setProgram(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quorvane")));
        process->setArguments(QStringList{QStringLiteral("--keyboard=sim:") +
                                          homeFolder_->filePath(QStringLiteral("second.ini"))} +
                              arguments);
        process->start();
        return process;
    }

    std::unique_ptr<QTemporaryDir> homeFolder_;

private slots:
    // Every case starts in new folders; cases that run several programs call it again.
    void init() {
        homeFolder_ = MakeHomeFolder();
        QVERIFY(homeFolder_->isValid());
    }

    void startWithAKeyboardOpensTheWindowOnceAndShowsItsProfile() {
        auto desktop = Started({});
        MainWindow& window = desktop->Window();
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), kWait);
        QCOMPARE(window.Tray().Shown(), kKeyboardIcon);
        QCOMPARE(window.ActiveSlotShown(), 0);
        QVERIFY(window.Button("CONTROL_OK") != nullptr);
        QVERIFY(!window.Button("CONTROL2_APPLY")->isEnabled());
        QVERIFY(!window.windowTitle().isEmpty());
        // The companion program is started by the first instance.
        QCOMPARE(desktop->launcher.Programs(), std::vector<std::string>{"Mistrel.exe"});
        QVERIFY(desktop->launcher.Requests()[0].parameters.empty());

        // Hidden by Cancel; a new arrival does not open it again.
        window.Button("CONTROL_CANCEL")->click();
        QVERIFY(!window.isVisible());
        desktop->Keyboard().Unplug();
        QTRY_COMPARE_WITH_TIMEOUT(window.Tray().Shown(), kNoKeyboardIcon, kWait);
        desktop->Keyboard().Plug();
        QTRY_VERIFY_WITH_TIMEOUT(desktop->Settled() && window.Tray().Shown() == kKeyboardIcon,
                                 kWait);
        QVERIFY(!window.isVisible());
    }

    void startWithoutAKeyboardStaysInTheTrayAndOpenTellsWhy() {
        auto desktop = Started({.plugged = false});
        MainWindow& window = desktop->Window();
        QVERIFY(window.Tray().Exists());
        QCOMPARE(window.Tray().Shown(), kNoKeyboardIcon);
        QVERIFY(!window.isVisible());
        QVERIFY(!window.Button("CONTROL2_APPLY")->isEnabled());

        window.Actions().open->trigger();
        QCOMPARE(desktop->boxes.size(), std::size_t{1});
        QCOMPARE(desktop->boxes[0].caption, QString());
        // In the interface language's words, from the language file.
        QCOMPARE(desktop->boxes[0].text,
                 QStringLiteral("No keyboard detected, so the key settings cannot be shown."));
        QVERIFY(!window.isVisible());

        // A keyboard that arrives later does not open the window by itself: with none at start
        // the window waits to be asked.
        desktop->Keyboard().Plug();
        QTRY_VERIFY_WITH_TIMEOUT(desktop->Settled() && window.Tray().Shown() == kKeyboardIcon,
                                 kWait);
        QVERIFY(!window.isVisible());
        window.Actions().open->trigger();
        QVERIFY(window.isVisible());
    }

    void aHiddenStartNeverOpensTheWindowByItself() {
        for (const char* argument : {"/Start", "--start", "/START"}) {
            auto desktop = Started({.arguments = {argument}});
            QTest::qWait(50);
            QVERIFY2(!desktop->Window().isVisible(), argument);
            QCOMPARE(desktop->Window().Tray().Shown(), kKeyboardIcon);
            desktop->app.reset();
            init();
        }
    }

    void trayMenuAndIconCommands() {
        auto desktop = Started({.arguments = {"--start"}});
        MainWindow& window = desktop->Window();
        TrayIcon& tray = window.Tray();
        const WindowActions& actions = window.Actions();
        // Both menus hold the window's own actions, not copies that could drift apart.
        QMenu* languages = window.LanguageMenu();
        QCOMPARE(tray.Menu()->actions(), (QList<QAction*>{actions.open, actions.about,
                                                          languages->menuAction(), actions.exit}));
        const QList<QAction*> buttonMenu = window.ButtonMenu()->actions();
        QCOMPARE(buttonMenu.size(), 4);
        QCOMPARE(buttonMenu[0], actions.importProfile);
        QCOMPARE(buttonMenu[1], actions.exportProfile);
        QVERIFY(buttonMenu[2]->isSeparator());
        QCOMPARE(buttonMenu[3], languages->menuAction());
        QCOMPARE(tray.Menu()->defaultAction(), actions.open);
        QCOMPARE(actions.open->text(), QStringLiteral("&Open"));
        QCOMPARE(actions.exit->text(), QStringLiteral("E&xit"));
        QCOMPARE(actions.importProfile->text(), QStringLiteral("Import profile..."));
        QCOMPARE(tray.Tooltip(), QStringLiteral("Quorvane keyboard settings"));

        // A single click does nothing; a double-click opens.
        emit tray.Icon()->activated(QSystemTrayIcon::Trigger);
        QVERIFY(!window.isVisible());
        emit tray.Icon()->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(window.isVisible());

        // About, twice: one box.
        actions.about->trigger();
        QPointer<AboutDialog> about = window.AboutBox();
        QVERIFY(about != nullptr);
        actions.about->trigger();
        QCOMPARE(window.AboutBox(), about.data());
        QCOMPARE(about->VersionText(), QStringLiteral("Quorvane 0.1.0"));
        QTest::keyClick(about, Qt::Key_F1);
        QCOMPARE(desktop->opened.size(), std::size_t{1});
        QVERIFY(desktop->opened[0].toLocalFile().endsWith(QStringLiteral("Help/index.html")));

        // Exit with the about box open: everything goes.
        QSignalSpy ended(desktop->app.get(), &QuorvaneApp::Ended);
        actions.exit->trigger();
        QCOMPARE(ended.count(), 1);
        QVERIFY(desktop->app->Finished());
        QCOMPARE(desktop->app->ExitCode(), 0);
        QTRY_VERIFY(about.isNull() || !about->isVisible());
        QVERIFY(!window.isVisible());
        QVERIFY(!tray.Exists());
        QTRY_VERIFY(desktop->Service().Snapshot()->image.macros.empty());
    }

    void windowButtonsAndKeys() {
        auto desktop = Started({});
        MainWindow& window = desktop->Window();
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), kWait);

        // Enter and Escape never close it.
        QTest::keyClick(&window, Qt::Key_Escape);
        QTest::keyClick(&window, Qt::Key_Return);
        QVERIFY(window.isVisible());
        // Closing it by the window manager hides it while there is a tray icon.
        window.close();
        QVERIFY(!window.isVisible());
        QVERIFY(!desktop->app->Finished());
        window.Actions().open->trigger();
        QVERIFY(window.isVisible());

        // Help opens the help page; our skin names no web site for the logo to open.
        window.Button("CONTROL_HELP")->click();
        window.Button("QUINDO_LINK")->click();
        QCOMPARE(desktop->opened.size(), std::size_t{1});
        QVERIFY(desktop->opened[0].isLocalFile());
        // The interface section's tooltip replaced the looked-up one.
        QCOMPARE(window.Button("CONTROL_CLOSE")->Tooltip().text, std::string("Exit Quorvane"));
        QCOMPARE(window.Button("CONTROL_HELP")->Tooltip().text, std::string("Help"));

        // OK hides; the close button exits.
        window.Button("CONTROL_OK")->click();
        QVERIFY(!window.isVisible());
        window.Actions().open->trigger();
        window.Button("CONTROL_CLOSE")->click();
        QVERIFY(desktop->app->Finished());
    }

    void withoutANotificationAreaTheWindowStaysReachable() {
        auto desktop = Started({.plugged = false, .trayAvailable = false});
        MainWindow& window = desktop->Window();
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), kWait);
        window.Button("CONTROL_CANCEL")->click();
        QVERIFY(window.isVisible() || window.isMinimized());
        window.close();
        QVERIFY(desktop->app->Finished());
    }

    void applyWritesOnTheServiceWhileTheWindowPaintsAndTheAnimationMoves() {
        auto desktop = Started({.arguments = {"--start"}, .fullMacroArea = true});
        // A keyboard slow enough that the write spans many frames.
        desktop->Keyboard().SetTiming(
            {sim::SimTiming::Mode::FixedDelay, std::chrono::milliseconds(2)});
        MainWindow& window = desktop->Window();
        window.Actions().open->trigger();
        QCOMPARE(
            qv::test::StoreEntry(desktop->Service(), 0, 0x3A, {.kind = keys::KeyKind::Disabled})
                .status,
            service::OperationStatus::Done);
        QTRY_VERIFY_WITH_TIMEOUT(window.Button("CONTROL2_APPLY")->isEnabled(), kWait);

        // A timer of the window's thread samples what the window shows while Apply runs.
        std::vector<int> frames;
        int ticks = 0;
        QTimer sampler;
        sampler.setInterval(5);
        connect(&sampler, &QTimer::timeout, this, [&] {
            ++ticks;
            const int frame = window.ProgressImage()->isVisible() ? window.ProgressFrameShown() : 0;
            if (frame != 0 && (frames.empty() || frames.back() != frame)) {
                frames.push_back(frame);
            }
        });
        sampler.start();
        desktop->Keyboard().ClearSentReports();
        window.Button("CONTROL2_APPLY")->click();
        // The click returns at once: the keyboard is written on the service's worker.
        QVERIFY(!desktop->Settled());
        QVERIFY(desktop->Settle());
        QTRY_VERIFY_WITH_TIMEOUT(!window.ProgressImage()->isVisible(), kWait);
        sampler.stop();

        QVERIFY(!desktop->Keyboard().SentReports().empty());
        QVERIFY(!desktop->Service().ApplyPending());
        QVERIFY(!window.Button("CONTROL2_APPLY")->isEnabled());
        QVERIFY2(ticks > 10, "the window's thread was not running during the apply");
        QVERIFY2(frames.size() >= 2, "the busy animation did not move");
        // The frames come in order, the first one first.
        for (std::size_t i = 0; i < frames.size(); ++i) {
            QCOMPARE(frames[i], static_cast<int>(i % 10) + 1);
        }
    }

    void applyWithNothingPendingShowsAndHidesTheAnimationAndWritesNothing() {
        auto desktop = Started({.arguments = {"--start"}});
        MainWindow& window = desktop->Window();
        window.Actions().open->trigger();
        desktop->Keyboard().ClearSentReports();
        bool shown = false;
        QTimer sampler;
        sampler.setInterval(5);
        connect(&sampler, &QTimer::timeout, this,
                [&] { shown = shown || window.ProgressImage()->isVisible(); });
        sampler.start();
        window.Button("CONTROL2_APPLY")->click();
        QTRY_VERIFY_WITH_TIMEOUT(shown, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!window.ProgressImage()->isVisible(), kWait);
        QCOMPARE(window.ProgressFrameShown(), 0);
        QVERIFY(desktop->Keyboard().SentReports().empty());
    }

    void unpluggingClosesSubDialogsAndHidesAndReplugKeepsItHidden() {
        auto desktop = Started({});
        MainWindow& window = desktop->Window();
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), kWait);
        window.Actions().about->trigger();
        QPointer<AboutDialog> about = window.AboutBox();
        QVERIFY(about != nullptr && about->isVisible());

        desktop->Keyboard().Unplug();
        QTRY_VERIFY_WITH_TIMEOUT(about.isNull() || !about->isVisible(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(window.Tray().Shown(), kNoKeyboardIcon, kWait);
        // Open now tells why it does nothing.
        window.Actions().open->trigger();
        QVERIFY(!window.isVisible());
        QCOMPARE(desktop->boxes.size(), std::size_t{1});

        desktop->Keyboard().Plug();
        QVERIFY(desktop->Settle());
        QCOMPARE(window.Tray().Shown(), kKeyboardIcon);
        QVERIFY(!window.isVisible());
    }

    void keyboardEventsReachTheTrayTheBankKeysAndTheSlots() {
        auto desktop = Started({.arguments = {"--start"}});
        MainWindow& window = desktop->Window();
        sim::SimHidService& keyboard = desktop->Keyboard();

        // Playback: the play picture, then the keyboard's picture again.
        keyboard.RaiseKeyEvent(device::KEY_EVENT_PLAY_ON);
        QVERIFY(desktop->Settle());
        QCOMPARE(window.Tray().Shown(), kPlayingIcon);
        keyboard.RaiseKeyEvent(device::KEY_EVENT_PLAY_OFF);
        QVERIFY(desktop->Settle());
        QCOMPARE(window.Tray().Shown(), kKeyboardIcon);

        // The bank toggle names the other bank's keys. A profile file can leave an entry on a
        // key the keyboard has no place for: it is not shown as assigned, as the keyboard does
        // not hold it.
        QCOMPARE(
            qv::test::SeedImage(desktop->Service(),
                                [](profiles::ImageContents& image) {
                                    image.blocks[0][keys::kFirstGKeySlot + keys::kGKeysPerBank] = {
                                        .kind = keys::KeyKind::Disabled};
                                })
                .status,
            service::OperationStatus::Done);
        keyboard.RaiseKeyEvent(device::KEY_EVENT_BANK_TOGGLE);
        QVERIFY(desktop->Settle());
        QVERIFY(window.Button("LOCK_AB")->IsCheckedLook());
        QVERIFY(!window.Button("FUNC_G1")->IsCheckedLook());
        QVERIFY(!window.Button("FUNC_G2")->IsCheckedLook());
        QCOMPARE(window.Button("FUNC_G1")->text(), QStringLiteral("B1"));
        keyboard.RaiseKeyEvent(device::KEY_EVENT_BANK_TOGGLE);
        QVERIFY(desktop->Settle());
        QVERIFY(!window.Button("LOCK_AB")->IsCheckedLook());
        QVERIFY(!window.Button("FUNC_G1")->IsCheckedLook());
        QCOMPARE(window.Button("FUNC_G5")->text(), QStringLiteral("A5"));

        // A profile switched on the keyboard runs the slot switch, which finds the keyboard
        // already there and writes nothing.
        QCOMPARE(window.ActiveSlotShown(), 0);
        keyboard.ClearSentReports();
        keyboard.ChangeProfileOnKeyboard(2);
        QVERIFY(desktop->Settle());
        QVERIFY(desktop->Settle());
        QCOMPARE(window.ActiveSlotShown(), 2);
        for (const auto& report : keyboard.SentReports()) {
            QVERIFY(report[device::kCommandOffset] != device::CMD_WRITE_SETTINGS);
        }
    }

    void importAndExportResultsComeBackAsMessages() {
        auto desktop = Started({.arguments = {"--start"}});
        MainWindow& window = desktop->Window();
        emit window.ImportRequested(homeFolder_->filePath(QStringLiteral("missing.fwc")));
        QVERIFY(desktop->Settle());
        QCOMPARE(desktop->boxes.size(), std::size_t{1});
        // Looked up, never the raw key.
        QCOMPARE(desktop->boxes.back().text,
                 QStringLiteral("The file could not be imported. Please choose a valid Quorvane "
                                "profile file."));

        const QString unwritable = homeFolder_->filePath(QStringLiteral("no/such/folder/a.fwc"));
        emit window.ExportRequested(unwritable);
        QVERIFY(desktop->Settle());
        QCOMPARE(desktop->boxes.size(), std::size_t{2});
        // With the reason, as the command line gives it.
        QCOMPARE(desktop->boxes.back().text,
                 QStringLiteral("The profile could not be written to ") + unwritable +
                     QStringLiteral(": cannot create a file in ") +
                     homeFolder_->filePath(QStringLiteral("no/such/folder")) +
                     QStringLiteral(": No such file or directory."));

        const QString exported = homeFolder_->filePath(QStringLiteral("out.fwc"));
        emit window.ExportRequested(exported);
        QVERIFY(desktop->Settle());
        QCOMPARE(desktop->boxes.size(), std::size_t{2});
        QVERIFY(QFile::exists(exported));
    }

    void aFirmwareTooOldAsksAndEnds() {
        for (const bool accept : {false, true}) {
            auto desktop = std::make_unique<Desktop>(
                *homeFolder_, Options{.firmware = 0x0106, .acceptBoxes = accept});
            QVERIFY(!desktop->Start());
            QTRY_VERIFY_WITH_TIMEOUT(desktop->app->Finished(), kWait);
            QCOMPARE(desktop->app->ExitCode(), 0);
            QCOMPARE(desktop->boxes.size(), std::size_t{1});
            QCOMPARE(desktop->boxes[0].caption, QStringLiteral("Version update"));
            QCOMPARE(desktop->boxes[0].text,
                     QStringLiteral("The current version is too low! Please update the program "
                                    "after upgrading."));
            const auto started = desktop->launcher.Requests();
            const bool updater =
                std::any_of(started.begin(), started.end(), [](const auto& request) {
                    return request.program == "Tornquil.exe" &&
                           request.parameters == "In the upgrade";
                });
            QCOMPARE(updater, accept);
            QVERIFY(!desktop->Window().isVisible());
            QCOMPARE(desktop->app->Exec(), 0);
            desktop.reset();
            init();
        }
    }

    void closingWhileTheFirmwareQuestionWaitsDoesNotHang() {
        // Ended before the question was ever shown: the worker waiting for its answer is
        // released with no.
        {
            auto desktop = std::make_unique<Desktop>(*homeFolder_, Options{.firmware = 0x0106});
            QVERIFY(!desktop->Start());
            desktop.reset();
        }
        init();
        // Ended by a later start's kill while the question shows: the box goes, no updater.
        auto desktop = std::make_unique<Desktop>(
            *homeFolder_, Options{.firmware = 0x0106, .leaveBoxesOpen = true});
        desktop->whileBoxShows = [&] { desktop->Window().Actions().exit->trigger(); };
        QVERIFY(!desktop->Start());
        QTRY_VERIFY_WITH_TIMEOUT(desktop->app->Finished(), kWait);
        QCOMPARE(desktop->app->Exec(), 0);
        QCOMPARE(desktop->boxes.size(), std::size_t{1});
        desktop.reset();
    }

    void handOffsReachTheRunningInstanceAndAWrongTagIsIgnored() {
        auto desktop = Started({.arguments = {"--start"}});
        MainWindow& window = desktop->Window();
        const std::filesystem::path folder =
            std::filesystem::path(homeFolder_->path().toStdString()) / "runtime" / "quorvane";

        // A hand-off is answered on another thread while this one runs the window.
        const auto handOff = [&](std::uint32_t number, std::uint32_t tag) {
            std::optional<platform::HandOffResult> result;
            std::thread sender([&] {
                platform::InstanceLock other(folder);
                result = other.HandOff(number, tag);
            });
            while (!QTest::qWaitFor([&] { return result.has_value(); }, 10)) {
            }
            sender.join();
            return *result;
        };
        QCOMPARE(handOff(app::MSG_OPEN, FourCC("INIT")), platform::HandOffResult::NotHandled);
        QCOMPARE(handOff(app::MSG_KILL, FourCC("KILL")), platform::HandOffResult::NotHandled);
        QTest::qWait(20);
        QVERIFY(!window.isVisible());
        QVERIFY(!desktop->app->Finished());
        // A request goes through the same action as the tray menu's item.
        QSignalSpy opened(window.Actions().open, &QAction::triggered);
        QSignalSpy exited(window.Actions().exit, &QAction::triggered);
        QCOMPARE(handOff(app::MSG_OPEN, app::TAG_OPEN), platform::HandOffResult::Handled);
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), kWait);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(handOff(app::MSG_KILL, app::TAG_KILL), platform::HandOffResult::Handled);
        QTRY_VERIFY_WITH_TIMEOUT(desktop->app->Finished(), kWait);
        QCOMPARE(exited.count(), 1);
        QCOMPARE(opened.count(), 1);
        QVERIFY(!window.Tray().Exists());
    }

    void aSecondProcessOpensOrEndsTheFirstAndEndsItself() {
        auto desktop = Started({.arguments = {"--start"}});
        QVERIFY(desktop->app->FirstInstance());
        MainWindow& window = desktop->Window();

        // Options it does not know are ignored.
        QProcess* opener = SecondProcess({QStringLiteral("--no-such-option"),
                                          QStringLiteral("--colour=blue"), QStringLiteral("-z")});
        QTRY_VERIFY_WITH_TIMEOUT(opener->state() == QProcess::NotRunning, kWait);
        QCOMPARE(opener->exitStatus(), QProcess::NormalExit);
        QCOMPARE(opener->exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), kWait);

        // "/Start" "/Kill" and "/Kill" "/Start" alike end the running instance.
        QProcess* killer = SecondProcess({QStringLiteral("/Start"), QStringLiteral("/Kill")});
        QTRY_VERIFY_WITH_TIMEOUT(desktop->app->Finished(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(killer->state() == QProcess::NotRunning, kWait);
        QCOMPARE(killer->exitCode(), 0);
        QCOMPARE(desktop->app->Exec(), 0);
        desktop.reset();

        // With none running, --kill is ignored and the process starts as the first instance.
        auto alone = Started({.arguments = {"--kill", "--start"}});
        QVERIFY(alone->app->FirstInstance());
        QVERIFY(!alone->app->Finished());
    }

    void anUnsafeLockFolderEndsTheProgramWithItsReason() {
        // Others may write into the lock's folder: a lock there proves nothing.
        const QString folder = homeFolder_->filePath(QStringLiteral("runtime/quorvane"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::WriteGroup |
                                                  QFileDevice::ExeGroup | QFileDevice::ReadGroup));
        QProcess* refused = SecondProcess({});
        QTRY_VERIFY_WITH_TIMEOUT(refused->state() == QProcess::NotRunning, kWait);
        QCOMPARE(refused->exitStatus(), QProcess::NormalExit);
        QCOMPARE(refused->exitCode(), 1);
        const QString said = QString::fromUtf8(refused->readAllStandardError());
        const QString reason =
            folder + QStringLiteral(": the folder has mode 0770; only its owner may enter it");
        const QString line = QStringLiteral(
                                 "quorvane: cannot make sure that only one instance "
                                 "runs: %1 (0700)\n")
                                 .arg(reason);
        QVERIFY2(said.contains(line), qPrintable(said));
    }
};

}  // namespace

std::unique_ptr<QObject> MakeDesktopAppTest() {
    return std::make_unique<DesktopAppTest>();
}

}  // namespace qv::gui::test

#include "desktop_app_test.moc"
