// The profile slots, the main window's commands, the profile manager and the interface
// language in the running program, on the simulated keyboard: a slot switch with and without
// changes waiting for Apply (each answer of the question), Default, the report rate's bytes, the
// manager's list, record and loading, a profile change made on the keyboard, and switching the
// language while the program runs.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "desktop_fixture.h"
#include "device/device_report.h"
#include "gui/assignment_dialog.h"
#include "gui/main_window.h"
#include "gui/profile_manager.h"
#include "gui/service_adapter.h"
#include "gui/widgets/png_button.h"
#include "gui_tests.h"
#include "keys/key_page.h"
#include "profiles/profile_file.h"
#include "service/verbs.h"
#include "sim/keyboard_layout.h"

namespace qv::gui::test {
namespace {

constexpr std::size_t kCapsLock = 0x03A;
constexpr keys::KeyEntry kDisabled{.kind = keys::KeyKind::Disabled};

class ProfilesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<Desktop> desktop_;

    MainWindow& Window() { return desktop_->Window(); }
    sim::SimHidService& Keyboard() { return desktop_->Keyboard(); }

    void Click(const char* skinKey) {
        PngButton* button = Window().Button(skinKey);
        QVERIFY2(button != nullptr && button->isVisible(), skinKey);
        button->click();
        QVERIFY(desktop_->Settle());
    }
    int KeyboardProfile() { return Keyboard().Memory().settings[sim::kSettingsActiveProfile]; }
    keys::KeyEntry KeyboardEntry(int profile, std::size_t slot) {
        const sim::KeyboardMemory memory = Keyboard().Memory();
        const auto page =
            Bytes(memory.keyPages)
                .subspan(static_cast<std::size_t>(profile) * sim::kKeyPageSize, sim::kKeyPageSize);
        return keys::DecodeKeyPage(page, memory.keyDefaults).block[slot];
    }
    // An edit of Caps Lock in profile 1, waiting for Apply, as the assignment dialog leaves it.
    void EditCapsLock() {
        QCOMPARE(qv::test::StoreEntry(desktop_->Service(), 0, kCapsLock, kDisabled).status,
                 service::OperationStatus::Done);
        QVERIFY(desktop_->Settle());
    }
    std::vector<device::ReportBytes> Sent(std::uint8_t command) {
        std::vector<device::ReportBytes> sent;
        for (const device::ReportBytes& report : Keyboard().SentReports()) {
            if (report[device::kCommandOffset] == command) {
                sent.push_back(report);
            }
        }
        return sent;
    }
    // Every button caption and label the window shows, by object name.
    std::map<QString, QString> Captions() {
        std::map<QString, QString> captions;
        for (PngButton* button : Window().findChildren<PngButton*>()) {
            if (button->isVisible() && !button->text().isEmpty()) {
                captions[button->objectName()] = button->text();
            }
        }
        if (QLabel* label = Window().ReportRateCaption()) {
            captions[label->objectName()] = label->text();
        }
        return captions;
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

    void aSlotClickSwitchesTheKeyboardAndTheWindowFollows() {
        QCOMPARE(Window().ActiveSlotShown(), 0);
        QCOMPARE(Window().Button("FUNC_PROFILES")->TooltipText(),
                 QStringLiteral("Current profile: $Profile0"));
        Click("FUNC_PROFILE3");
        QCOMPARE(KeyboardProfile(), 2);
        QCOMPARE(Window().ActiveSlotShown(), 2);
        QVERIFY(Window().Button("FUNC_PROFILE3")->IsCheckedLook());
        QVERIFY(!Window().Button("FUNC_PROFILE1")->IsCheckedLook());
        QCOMPARE(Window().KeyboardShown().profile, 2);
        QVERIFY(desktop_->boxes.empty());

        // The slot already active reads the lighting again and switches nothing.
        QSignalSpy shown(&Window(), &MainWindow::LightingShown);
        Keyboard().ClearSentReports();
        Click("FUNC_PROFILE3");
        QVERIFY(Sent(device::CMD_WRITE_SETTINGS).empty());
        QVERIFY(!Sent(device::CMD_READ_LIGHTING).empty());
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.front().front().toInt(), 2);
    }

    void aSlotSwitchWithPendingChangesAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("profileAfter");
        QTest::addColumn<bool>("writtenToProfile1");
        QTest::addColumn<bool>("stillPending");
        QTest::newRow("yes applies them, then switches")
            << int(QMessageBox::Yes) << 1 << true << false;
        QTest::newRow("no drops them, then switches")
            << int(QMessageBox::No) << 1 << false << false;
        QTest::newRow("cancel stays with them") << int(QMessageBox::Cancel) << 0 << false << true;
    }
    void aSlotSwitchWithPendingChangesAsksFirst() {
        QFETCH(int, answer);
        QFETCH(int, profileAfter);
        QFETCH(bool, writtenToProfile1);
        QFETCH(bool, stillPending);
        EditCapsLock();
        desktop_->answerButton = answer;
        Click("FUNC_PROFILE2");
        QCOMPARE(desktop_->boxes.size(), std::size_t{1});
        QCOMPARE(desktop_->boxes[0].text,
                 QStringLiteral("You have changes that are not applied yet. Apply them before "
                                "switching profiles? (No discards them.)"));
        QCOMPARE(KeyboardProfile(), profileAfter);
        QCOMPARE(Window().ActiveSlotShown(), profileAfter);
        QCOMPARE(KeyboardEntry(0, kCapsLock) == kDisabled, writtenToProfile1);
        QCOMPARE(desktop_->Service().ApplyPending(), stillPending);
        QCOMPARE(Window().Button("CONTROL2_APPLY")->isEnabled(), stillPending);
        const bool inImage =
            desktop_->Service().Snapshot()->image.blocks[0][kCapsLock] == kDisabled;
        QCOMPARE(inImage, answer != QMessageBox::No);
    }

    void aSwitchIsRefusedWhileAKeyIsEdited() {
        Window().Button("KEY_01E")->click();
        QVERIFY(Window().AssignmentOpen());
        Window().Button("FUNC_PROFILE2")->click();
        QVERIFY(desktop_->Settle());
        QCOMPARE(desktop_->boxes.size(), std::size_t{1});
        QCOMPARE(desktop_->boxes[0].text,
                 QStringLiteral("Please close the key assignment window before switching "
                                "profiles."));
        QCOMPARE(KeyboardProfile(), 0);
        QVERIFY(Window().AssignmentOpen());
        Window().CloseAssignment();
    }

    void defaultAsksThenResetsTheKeysAndApplies() {
        EditCapsLock();
        Click("CONTROL2_APPLY");
        QCOMPARE(KeyboardEntry(0, kCapsLock), kDisabled);

        desktop_->answerButton = QMessageBox::No;
        Click("FUNC_DEFAULT");
        QCOMPARE(desktop_->boxes.size(), std::size_t{1});
        QVERIFY(desktop_->boxes[0].text.startsWith(QStringLiteral("Restore the default key")));
        QCOMPARE(KeyboardEntry(0, kCapsLock), kDisabled);
        QVERIFY(Window().Button("KEY_03A")->IsCheckedLook());

        desktop_->answerButton = QMessageBox::Yes;
        Click("FUNC_DEFAULT");
        QVERIFY(desktop_->Settle());
        QCOMPARE(KeyboardEntry(0, kCapsLock), keys::KeyEntry{});
        QVERIFY(!Window().Button("KEY_03A")->IsCheckedLook());
        QVERIFY(!Window().Button("CONTROL2_APPLY")->isEnabled());
        QCOMPARE(desktop_->boxes.size(), std::size_t{2});
    }

    void aReportRateClickWritesItsIndexAndOneButtonIsChecked() {
        const auto checked = [this] {
            int count = 0;
            for (const char* key :
                 {"FUNC_REPORT1", "FUNC_REPORT2", "FUNC_REPORT3", "FUNC_REPORT4"}) {
                count += Window().Button(key)->IsCheckedLook() ? 1 : 0;
            }
            return count;
        };
        QCOMPARE(checked(), 1);
        QCOMPARE(Window().Button("FUNC_REPORT3")->text(), QStringLiteral("500"));
        Keyboard().ClearSentReports();
        Click("FUNC_REPORT3");
        Click("FUNC_REPORT3");
        const std::vector<device::ReportBytes> writes = Sent(device::CMD_WRITE_LIGHTING);
        QCOMPARE(writes.size(), std::size_t{2});
        for (const device::ReportBytes& report : writes) {
            QCOMPARE(ReadU16LE(report, device::kAreaOffsetOffset), std::uint16_t{15});
            QCOMPARE(report[device::kLengthOffset], std::uint8_t{1});
            QCOMPARE(report[device::kPayloadOffset], std::uint8_t{2});
        }
        QCOMPARE(Window().ReportRateShown(), std::size_t{2});
        QVERIFY(Window().Button("FUNC_REPORT3")->IsCheckedLook());
        QCOMPARE(checked(), 1);
    }

    void aProfileChangeOnTheKeyboardIsFollowedFully() {
        Keyboard().UpdateMemory([](sim::KeyboardMemory& memory) {
            memory.lighting[device::kLightingRecordSize + 15] = 3;  // profile 2's report rate
        });
        QSignalSpy shown(&Window(), &MainWindow::LightingShown);
        Keyboard().ChangeProfileOnKeyboard(1);
        QVERIFY(desktop_->Settle());
        QVERIFY(desktop_->Settle());
        QCOMPARE(Window().ActiveSlotShown(), 1);
        QCOMPARE(Window().KeyboardShown().profile, 1);
        QCOMPARE(Window().ReportRateShown(), std::size_t{3});
        QVERIFY(!shown.isEmpty());
        QCOMPARE(shown.back().front().toInt(), 1);
        QVERIFY(desktop_->boxes.empty());
    }

    void theProfileManagerListsRecordsAndLoads() {
        // A profile file whose first profile has Caps Lock switched off.
        const QString kept = home_->filePath(QStringLiteral("kept.fwc"));
        {
            profiles::ImageContents image;
            profiles::InstallDefaultImage(image);
            image.blocks[0][kCapsLock] = kDisabled;
            QVERIFY(profiles::WriteImageToFile(kept.toStdString(), image));
        }
        Click("FUNC_PROFILES");
        ProfileManagerDialog* manager = Window().ProfileManager();
        QVERIFY(manager != nullptr && manager->IsOpen());
        QTableWidget* list = manager->List();
        QCOMPARE(list->rowCount(), 4);
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(list->item(row, 1)->text(), QStringLiteral("$Profile0"));
            QCOMPARE(list->item(row, 0)->checkState(), row == 0 ? Qt::Checked : Qt::Unchecked);
        }
        QCOMPARE(list->item(1, 0)->text(), QStringLiteral("Profile 2"));
        QVERIFY(!manager->Button("CONTROL2_APPLY")->isEnabled());

        // Add writes a new file at once; Load lists one as it is.
        const QString created = home_->filePath(QStringLiteral("created"));
        desktop_->chosenFiles = {created, kept};
        manager->Button("FUNC_ADD")->click();
        QVERIFY(QFile::exists(created + QStringLiteral(".fwc")));
        manager->Button("FUNC_LOAD")->click();
        QCOMPARE(list->rowCount(), 6);
        QCOMPARE(list->item(5, 1)->text(), QStringLiteral("kept"));
        QVERIFY(manager->Button("CONTROL2_APPLY")->isEnabled());

        // Checking the loaded file and applying records every row and loads it.
        list->item(5, 0)->setCheckState(Qt::Checked);
        QCOMPARE(list->item(0, 0)->checkState(), Qt::Unchecked);
        manager->Button("CONTROL2_APPLY")->click();
        QVERIFY(desktop_->Settle());
        platform::SettingsStore& settings = desktop_->app->Settings();
        QCOMPARE(settings.ReadString("PROFILES", "PROFILE00").value, std::string("6"));
        QCOMPARE(settings.ReadString("PROFILES", "PROFILE06").value, kept.toStdString());
        QCOMPARE(KeyboardEntry(0, kCapsLock), kDisabled);
        QVERIFY(Window().Button("KEY_03A")->IsCheckedLook());
        QVERIFY(!manager->Button("CONTROL2_APPLY")->isEnabled());

        // Deleting selects the next row; OK with profile 3 checked switches to it and closes.
        list->selectRow(4);
        manager->Button("FUNC_DELETE")->click();
        QCOMPARE(list->rowCount(), 5);
        QCOMPARE(list->currentRow(), 4);
        list->item(2, 0)->setCheckState(Qt::Checked);
        manager->Button("CONTROL_OK")->click();
        QVERIFY(desktop_->Settle());
        QVERIFY(!manager->IsOpen());
        QCOMPARE(KeyboardProfile(), 2);
        QCOMPARE(settings.ReadString("PROFILES", "PROFILE00").value, std::string("5"));

        // A new opening lists the four profiles again; F1 asks for the help page.
        Click("FUNC_PROFILES");
        QCOMPARE(list->rowCount(), 4);
        QCOMPARE(list->item(2, 0)->checkState(), Qt::Checked);
        QTest::keyClick(manager, Qt::Key_F1);
        QCOMPARE(desktop_->opened.size(), std::size_t{1});
        QVERIFY(desktop_->opened[0].toLocalFile().endsWith(QStringLiteral("Help/index.html")));
        manager->Button("CONTROL_CANCEL")->click();
        QVERIFY(!manager->IsOpen());
    }

    void theLanguageSwitchesEveryTextAtOnceAndIsKept() {
        Window().Button("KEY_01E")->click();
        QVERIFY(Window().AssignmentOpen());
        const std::map<QString, QString> english = Captions();
        QCOMPARE(english.at(QStringLiteral("FUNC_PROFILE1")), QStringLiteral("Profile 1"));
        QCOMPARE(english.at(QStringLiteral("CONTROL_UsbStatic")), QStringLiteral("Report rate"));

        QMenu* languages = Window().LanguageMenu();
        QVERIFY(languages != nullptr);
        QCOMPARE(languages->title(), QStringLiteral("Language"));
        // The same choice is in the tray menu.
        QVERIFY(Window().Tray().Menu()->actions().contains(languages->menuAction()));
        QAction* chinese = nullptr;
        for (QAction* action : languages->actions()) {
            if (action->text() == QStringLiteral("简体中文")) {
                chinese = action;
            }
        }
        QVERIFY(chinese != nullptr);
        chinese->trigger();
        QVERIFY(desktop_->Settle());

        // Captions that are words are all in Chinese now; numbers and names stay.
        const std::set<QString> neutral = {
            QStringLiteral("125"),           QStringLiteral("250"), QStringLiteral("500"),
            QStringLiteral("1000"),          QStringLiteral("AB"),  QStringLiteral("$Profile0"),
            QStringLiteral("Quorvane 0.1.0")};
        const std::map<QString, QString> chineseCaptions = Captions();
        for (const auto& [name, text] : english) {
            // The G keys are named after their bank (A1..A5).
            if (neutral.contains(text) ||
                QRegularExpression(QStringLiteral("^[AB][1-5]$")).match(text).hasMatch()) {
                continue;
            }
            QVERIFY2(chineseCaptions.at(name) != text,
                     qPrintable(name + QStringLiteral(": ") + text));
        }
        QCOMPARE(chineseCaptions.at(QStringLiteral("FUNC_PROFILE1")), QStringLiteral("配置 1"));
        QCOMPARE(Window().windowTitle(), QStringLiteral("Quorvane 键盘设置"));
        QCOMPARE(Window().Button("CONTROL_MINIMIZE")->TooltipText(), QStringLiteral("最小化"));
        QCOMPARE(Window().Button("FUNC_PROFILES")->TooltipText(),
                 QStringLiteral("当前配置文件：$Profile0"));
        QVERIFY(Window().Button("KEY_03A")->TooltipText().contains(QStringLiteral("大写锁定")));
        QCOMPARE(languages->title(), QStringLiteral("语言"));
        QVERIFY(chinese->isChecked());
        QCOMPARE(Window().ButtonMenu()->actions()[0]->text(), QStringLiteral("导入配置文件..."));
        QCOMPARE(Window().Actions().exit->text(), QStringLiteral("退出(&X)"));
        QCOMPARE(Window().Assignment()->Button("CONTROL_OK")->text(), QStringLiteral("确定"));
        Window().CloseAssignment();
        Window().Actions().about->trigger();
        QCOMPARE(Window().AboutBox()->windowTitle(), QStringLiteral("关于 Quorvane"));
        Window().AboutBox()->close();

        // Message boxes speak it too, buttons included.
        QString yes;
        desktop_->whileBoxShows = [&yes] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                yes = box->button(QMessageBox::Yes)->text();
            }
        };
        desktop_->answerButton = QMessageBox::No;
        Click("FUNC_DEFAULT");
        QVERIFY(desktop_->boxes.back().text.startsWith(QStringLiteral("恢复此配置")));
        QCOMPARE(yes, QStringLiteral("是"));

        // The choice is the user's setting: the next start speaks Chinese, whatever the file
        // beside the program says.
        desktop_.reset();
        desktop_ = StartDesktop(*home_, {});
        QTRY_VERIFY_WITH_TIMEOUT(Window().isVisible(), kWait);
        QCOMPARE(Window().Button("FUNC_PROFILE2")->text(), QStringLiteral("配置 2"));
    }

    void webPageButtonsWithoutAddressesAreNotPlaced() {
        for (const std::string key : {"CONTROL_Network", "CONTROL_Facebook", "CONTROL_twitter"}) {
            QVERIFY(Window().WebPageButton(key) == nullptr);
        }
        QVERIFY(!Window().Button("QUINDO_LINK")->isEnabled());
        Window().Button("QUINDO_LINK")->click();
        Window().Actions().about->trigger();
        QVERIFY(Window().AboutBox()->findChild<QLabel*>(QStringLiteral("WebSite")) == nullptr);
        Window().AboutBox()->close();
        QVERIFY(desktop_->opened.empty());
    }
};

}  // namespace

std::unique_ptr<QObject> MakeProfilesTest() {
    return std::make_unique<ProfilesTest>();
}

}  // namespace qv::gui::test

#include "profiles_test.moc"
