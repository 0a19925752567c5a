// quorvane_dialog_shot: pictures of the desktop app's windows for the documentation, taken on
// a simulated keyboard in folders of their own, so that nothing of the user's is read or kept.
//
//   quorvane_dialog_shot main|profiles|assignment FILE.png [--chinese] [--keyboard=sim:STATE]
//
// "main" is the main window, "profiles" the profile manager, "assignment" the key assignment
// dialog on Caps Lock. --chinese shows the interface in Chinese, as a user who chose it would
// see it.

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <string>

#include "gui/main_window.h"
#include "gui/profile_manager.h"
#include "gui/quorvane_app.h"
#include "gui/widgets/png_button.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "texts/text_lookup.h"

namespace {

constexpr int kWaitMs = 20000;

int Usage() {
    std::fputs(
        "usage: quorvane_dialog_shot main|profiles|assignment FILE.png [--chinese] "
        "[--keyboard=sim:STATE]\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    const QStringList windows = {QStringLiteral("main"), QStringLiteral("profiles"),
                                 QStringLiteral("assignment")};
    if (args.size() < 3 || !windows.contains(args[1])) {
        return Usage();
    }
    const QString which = args[1];
    const QString file = args[2];
    QTemporaryDir home;
    const std::filesystem::path root = home.path().toStdString();
    std::filesystem::path state = root / "sim.state";
    bool chinese = false;
    for (const QString& arg : args.mid(3)) {
        if (arg == QStringLiteral("--chinese")) {
            chinese = true;
        } else if (arg.startsWith(QStringLiteral("--keyboard=sim:"))) {
            state = arg.mid(15).toStdString();
        } else {
            return Usage();
        }
    }

    qv::gui::DesktopEnvironment environment;
    environment.keyboard = {qv::service::KeyboardChoice::Kind::Simulated, state};
    environment.programFolder = qv::platform::ProgramFolder();
    environment.documentsFolder = root / "home" / "Documents";
    environment.instanceFolder = root / "runtime";
    environment.applicationSettings = root / "config" / "Quorvane.ini";
    environment.languageSettings = root / "config" / "Pelliton_T22.ini";
    QDir().mkpath(QString::fromStdString((root / "runtime").string()));
    QFile::setPermissions(QString::fromStdString((root / "runtime").string()),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (chinese) {
        qv::platform::IniSettingsStore language(environment.languageSettings);
        (void)language.WriteDword("", qv::ui::kChosenLanguageValueName,
                                  static_cast<std::uint32_t>(qv::ui::InterfaceLanguage::Chinese));
    }

    qv::gui::QuorvaneApp app(std::move(environment));
    if (const auto early = app.Start()) {
        return *early;
    }
    qv::gui::MainWindow& window = app.Window();
    if (!QTest::qWaitFor([&] { return app.Settled() && window.isVisible(); }, kWaitMs)) {
        std::fputs("quorvane_dialog_shot: the keyboard was not read in time\n", stderr);
        return 1;
    }
    // The pointer would leave its hover mark on whatever lies under it.
    QCursor::setPos(0, 0);
    QWidget* shown = &window;
    if (which != QStringLiteral("main")) {
        const bool profiles = which == QStringLiteral("profiles");
        window.Button(profiles ? "FUNC_PROFILES" : "KEY_03A")->click();
        shown = profiles ? static_cast<QWidget*>(window.ProfileManager())
                         : static_cast<QWidget*>(window.Assignment());
        if (shown == nullptr || !QTest::qWaitForWindowExposed(shown, kWaitMs)) {
            std::fputs("quorvane_dialog_shot: the dialog did not open\n", stderr);
            return 1;
        }
    }
    QTest::qWait(200);
    const bool saved = shown->grab().save(file);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(file));
    return saved ? 0 : 1;
}
