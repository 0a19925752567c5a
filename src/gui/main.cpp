// quorvane: the desktop program. It stays in the notification area and opens its window when
// the keyboard arrives, when asked from the tray, or when it is started again.

#include <QApplication>
#include <QCommandLineParser>
#include <QSystemTrayIcon>

#include <cstdio>
#include <string_view>

#include "gui/quorvane_app.h"
#include "platform/instance_lock.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "platform/xdg_paths.h"
#include "texts/text_lookup.h"

#ifndef QUORVANE_VERSION
#define QUORVANE_VERSION "0.0.0"
#endif

namespace {

struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption keyboard{
        QStringLiteral("keyboard"),
        QStringLiteral("Which keyboard to use: 'real' (default), 'sim' (the built-in simulated "
                       "keyboard, kept between runs) or 'sim:PATH' (kept in the state file PATH)."),
        QStringLiteral("kind"), QStringLiteral("real")};
    QCommandLineOption start{
        QStringLiteral("start"),
        QStringLiteral("Start in the notification area without opening the window (also /Start).")};
    QCommandLineOption kill{QStringLiteral("kill"),
                            QStringLiteral("Make the running instance exit (also /Kill).")};
    QCommandLineOption screenshot{
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window once the keyboard is read, then exit."),
        QStringLiteral("file")};

    CommandLine() {
        parser.setApplicationDescription(QStringLiteral(
            "Quorvane: keys, macros, lighting and profiles of the Quorvane gaming keyboard.\n"
            "The program stays in the notification area; starting it again opens the running\n"
            "one's window."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({keyboard, start, kill, screenshot});
    }
};

void Describe(QCoreApplication& application) {
    application.setApplicationName(QStringLiteral("quorvane"));
    application.setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
}

// --help and --version answer without a display.
bool AsksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--help" || argument == "-h" || argument == "-?" ||
            argument == "--help-all" || argument == "--version" || argument == "-v") {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksForHelpOrVersion(argc, argv)) {
        QCoreApplication core(argc, argv);
        Describe(core);
        CommandLine line;
        line.parser.process(core);  // prints and exits
        return 0;
    }

    QApplication application(argc, argv);
    Describe(application);
    // The program lives on in the tray while no window is shown.
    QApplication::setQuitOnLastWindowClosed(false);

    CommandLine line;
    // Options the program does not know are ignored, as are arguments other than "/Start" and
    // "/Kill"; the known ones are read all the same. A known option without its value is a
    // mistake worth saying.
    if (!line.parser.parse(QApplication::arguments()) &&
        line.parser.unknownOptionNames().isEmpty()) {
        std::fprintf(stderr, "quorvane: %s\nTry 'quorvane --help'.\n",
                     qPrintable(line.parser.errorText()));
        return 2;
    }
    const auto keyboard =
        qv::service::ParseKeyboardChoice(line.parser.value(line.keyboard).toStdString());
    if (!keyboard) {
        std::fprintf(stderr, "quorvane: unknown keyboard '%s' (use real, sim or sim:PATH)\n",
                     qPrintable(line.parser.value(line.keyboard)));
        return 2;
    }

    qv::gui::DesktopEnvironment environment;
    for (int i = 1; i < argc; ++i) {
        environment.arguments.emplace_back(argv[i]);
    }
    environment.keyboard = *keyboard;
    environment.programFolder = qv::platform::ProgramFolder();
    environment.documentsFolder = qv::platform::DocumentsFolder();
    environment.instanceFolder = qv::platform::DefaultInstanceFolder();
    environment.applicationSettings =
        qv::platform::SettingsFilePath(qv::gui::kSettingsOrganisation, qv::gui::kApplicationTitle);
    environment.languageSettings =
        qv::platform::SettingsFilePath(qv::ui::kLanguageSettingsOrganisation);
    environment.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();

    qv::gui::QuorvaneApp app(std::move(environment));
    if (const auto early = app.Start()) {
        return *early;
    }
    if (line.parser.isSet(line.screenshot)) {
        app.TakeScreenshot(line.parser.value(line.screenshot));
    }
    return app.Exec();
}
