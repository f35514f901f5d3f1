#include "common/core/AppInfo.h"
#include "installs/core/InstallChoice.h"
#include "maps/core/MapCheck.h"
#include "shell/ui/Startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QSettings>
#include <QTextStream>

#include <cstring>

namespace {

void setNames()
{
    QCoreApplication::setApplicationName(QStringLiteral("quillane"));
    QCoreApplication::setOrganizationName(AppInfo::organisation());
    QCoreApplication::setApplicationVersion(AppInfo::versionText().mid(8));
}

// The program's options, the same for the runs with and without a window.
struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();
    QCommandLineOption userFolder{QStringLiteral("user-folder"),
                                  QStringLiteral("Open on this User folder of the game, whatever else is found or "
                                                 "was chosen before."),
                                  QStringLiteral("PATH")};
    QCommandLineOption listInstalls{QStringLiteral("list-installs"),
                                    QStringLiteral("Print every copy of the game found, one a line: its kind (here, "
                                                   "steam, wine, windows, folder), a tab and its User folder; then "
                                                   "end, without opening a window.")};
    QCommandLineOption checkMap{QStringLiteral("check-map"),
                                QStringLiteral("Check the map files named after it against the game's rules and print "
                                               "their settings, without opening a window.")};

    CommandLine()
    {
        parser.setApplicationDescription(
            QStringLiteral("Organiser and launcher for the User folder of Worms Armageddon. Without --user-folder "
                           "it opens on the game it finds (its own folder, Steam, Wine prefixes), or asks which "
                           "copy to open and remembers the answer."));
        parser.addOption(userFolder);
        parser.addOption(listInstalls);
        parser.addOption(checkMap);
    }
};

// The settings store that keeps the copy of the game chosen last.
const QString kSettingsName = QStringLiteral("quillane");

} // namespace

int main(int argc, char* argv[])
{
    // Checking map files needs no window system: it runs before one is opened.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check-map") == 0) {
            const QCoreApplication core(argc, argv);
            QTextStream out(stdout);
            return MapCheck::checkMapsCommand(QCoreApplication::arguments().mid(i + 1), out);
        }
    }
    setNames();

    // Help, the version and the list of copies need no window system either:
    // the arguments are read before one is asked for.
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        CommandLine early;
        early.parser.parse(arguments);
        if (early.parser.isSet(early.help) || early.parser.isSet(early.version) ||
            early.parser.isSet(early.listInstalls)) {
            const QCoreApplication core(argc, argv);
            CommandLine command;
            command.parser.process(core); // prints help or the version and ends; ends on a bad option
            const QSettings settings(QSettings::UserScope, AppInfo::organisation(), kSettingsName);
            QTextStream out(stdout);
            QTextStream err(stderr);
            return InstallChoice::listCommand(InstallChoice::withRemembered(FinderSetup::current(), settings), out,
                                              err);
        }
    }

    QApplication qtApp(argc, argv);
    // The program ends only through its main menu (or the chooser's Cancel).
    QApplication::setQuitOnLastWindowClosed(false);

    CommandLine command;
    command.parser.process(qtApp);

    QString userFolder;
    if (command.parser.isSet(command.userFolder)) {
        userFolder = command.parser.value(command.userFolder);
        if (!QDir(userFolder).exists()) {
            qCritical("The User folder %s does not exist.", qPrintable(QDir::toNativeSeparators(userFolder)));
            return 2;
        }
    }

    QSettings settings(QSettings::UserScope, AppInfo::organisation(), kSettingsName);
    Startup startup(AppOptions(), FinderSetup::current(), settings);
    startup.begin(userFolder);
    return qtApp.exec();
}
