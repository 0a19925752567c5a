#pragma once

// One desktop program in the test process, in folders of its own, on the simulated keyboard:
// what the desktop cases share.

#include <QCoreApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "gui/quorvane_app.h"
#include "service/keyboard_service.h"
#include "sim/full_macro_area.h"
#include "sim/keyboard_memory.h"
#include "sim/sim_hid_service.h"
#include "support/recording_launcher.h"

// Cases name only the options they change; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace qv::gui::test {

inline constexpr int kWait = 20000;  // ms a QTRY_ waits for something that must happen

using qv::test::RecordingLauncher;

struct Options {
    std::vector<std::string> arguments;
    bool plugged = true;
    bool trayAvailable = true;
    std::optional<std::uint16_t> firmware;
    bool fullMacroArea = false;
    // The keyboard's macro memory in units of 128 bytes, instead of the factory's.
    std::optional<std::uint8_t> macroCapacityUnits;
    // The answer to every message box: true presses its first button (OK, Yes).
    bool acceptBoxes = false;
    // Boxes stay open until something else closes them.
    bool leaveBoxesOpen = false;
};

// One desktop program in this process, in folders of its own.
class Desktop {
public:
    Desktop(const QTemporaryDir& home, Options options) : options_(std::move(options)) {
        const std::filesystem::path root = home.path().toStdString();
        DesktopEnvironment environment;
        environment.arguments = options_.arguments;
        environment.keyboard = {service::KeyboardChoice::Kind::Simulated,
                                root / "state" / "sim.ini"};
        environment.programFolder = QCoreApplication::applicationDirPath().toStdString();
        environment.documentsFolder = root / "documents";
        environment.instanceFolder = root / "runtime" / "quorvane";
        environment.applicationSettings = root / "config" / "Quorvane_Dravik" / "Quorvane.ini";
        environment.languageSettings = root / "config" / "Pelliton_T22.ini";
        environment.trayAvailable = options_.trayAvailable;
        environment.openUrl = [this](const QUrl& url) { opened.push_back(url); };
        environment.launcher = &launcher;
        environment.backendReady = [this](service::KeyboardBackend& backend) {
            sim::SimHidService& keyboard = *backend.simulated();
            keyboard.UpdateMemory([this](sim::KeyboardMemory& memory) {
                if (options_.firmware) {
                    WriteU16LE(memory.settings, sim::kSettingsFirmwareVersion, *options_.firmware);
                }
                if (options_.macroCapacityUnits) {
                    memory.settings[sim::kSettingsMacroCapacity] = *options_.macroCapacityUnits;
                    sim::FitMacroAreaToCapacity(memory);
                }
                if (options_.fullMacroArea) {
                    (void)sim::FillMacroArea(memory);
                }
            });
            if (!options_.plugged) {
                keyboard.Unplug();
            }
        };
        environment.boxShown = [this](QMessageBox& box) {
            boxes.push_back({box.windowTitle(), box.text()});
            if (whileBoxShows) {
                QTimer::singleShot(0, &box, whileBoxShows);
            }
            if (options_.leaveBoxesOpen) {
                return;
            }
            const int answer = answerButton != 0      ? answerButton
                               : options_.acceptBoxes ? QMessageBox::Ok
                                                      : QMessageBox::Cancel;
            QTimer::singleShot(0, &box, [&box, answer] { box.done(answer); });
        };
        environment.chooseFile = [this](QWidget*, FileChoice, const QString&) {
            if (chosenFiles.empty()) {
                return QString();
            }
            const QString file = chosenFiles.front();
            chosenFiles.erase(chosenFiles.begin());
            return file;
        };
        app = std::make_unique<QuorvaneApp>(std::move(environment));
    }

    std::optional<int> Start() { return app->Start(); }
    MainWindow& Window() { return app->Window(); }
    sim::SimHidService& Keyboard() { return *app->Backend().simulated(); }
    service::KeyboardService& Service() { return app->Service(); }
    bool Settled() { return app->Settled(); }
    // Waits until what the keyboard did has been handled and shown.
    [[nodiscard]] bool Settle() {
        Keyboard().WaitUntilIdle();
        return QTest::qWaitFor([this] { return Settled(); }, kWait);
    }

    struct Box {
        QString caption;
        QString text;
    };
    std::unique_ptr<QuorvaneApp> app;
    RecordingLauncher launcher;
    std::vector<QUrl> opened;
    std::vector<Box> boxes;
    // Runs once a box has come up, inside its own event loop.
    std::function<void()> whileBoxShows;
    // The button every box is answered with (QMessageBox::StandardButton); 0 leaves it to
    // Options::acceptBoxes.
    int answerButton = 0;
    // What the file dialogs answer, in turn; none left is a cancelled dialog.
    std::vector<QString> chosenFiles;

private:
    Options options_;
};

// Starts a program and waits until its keyboard's arrival (if any) is over.
inline std::unique_ptr<Desktop> StartDesktop(const QTemporaryDir& home, Options options) {
    auto desktop = std::make_unique<Desktop>(home, std::move(options));
    if (desktop->Start()) {
        QTest::qFail("the program ended at start-up", __FILE__, __LINE__);
        return desktop;
    }
    if (!QTest::qWaitFor([&] { return desktop->Settled(); }, kWait)) {
        QTest::qFail("the arrival did not finish", __FILE__, __LINE__);
    }
    return desktop;
}

// A home folder with a runtime folder only its user may enter.
inline std::unique_ptr<QTemporaryDir> MakeHomeFolder() {
    auto home = std::make_unique<QTemporaryDir>();
    QDir(home->path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(home->filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return home;
}

}  // namespace qv::gui::test
