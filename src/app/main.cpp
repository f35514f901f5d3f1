// SPDX-License-Identifier: GPL-3.0-or-later
#include "clips/core/ClipCommand.h"
#include "common/core/AppInfo.h"
#include "installs/core/InstallChoice.h"
#include "maps/core/MapCheck.h"
#include "replays/core/ReplayInfoCommand.h"
#include "schemes/core/SchemeJson.h"
#include "shell/ui/Startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QSettings>
#include <QTextStream>

#include <algorithm>
#include <cstring>

namespace {

void setNames()
{
    QCoreApplication::setApplicationName(QStringLiteral("quillane"));
    QCoreApplication::setOrganizationName(AppInfo::organisation());
    QCoreApplication::setApplicationVersion(AppInfo::versionText().mid(8));
}

// A command that reads the files named after its option and prints one
// report per file, without a window: everything after the option is a file.
struct FileCommand {
    const char* option;
    const char* description;
    int (*run)(const QStringList& files, QTextStream& out);
};

const FileCommand kFileCommands[] = {
    {"check-map",
     "Check the map files named after it against the game's rules and print their settings, without "
     "opening a window.",
     MapCheck::checkMapsCommand},
    {"replay-info",
     "Print what each recorded game named after it holds (its map, start, kind of game and scheme) and what its "
     "log tells, as one JSON object a line, without opening a window.",
     ReplayInfoCommand::run},
    {"scheme-info",
     "Print what the game scheme files named after it hold, one JSON object a line, without opening a window.",
     SchemeJson::schemeInfoCommand},
};

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
    QCommandLineOption makeClip{QStringLiteral("make-clip"),
                                QStringLiteral("Make a clip (.mp4, .webm or .gif, after the --out file's extension) of "
                                               "this replay through the game, without opening a window."),
                                QStringLiteral("REPLAY")};
    QCommandLineOption from{QStringLiteral("from"), QStringLiteral("The clip's start, as m:ss or h:mm:ss(.cc)."),
                            QStringLiteral("TIME")};
    QCommandLineOption to{QStringLiteral("to"), QStringLiteral("The clip's end, as m:ss or h:mm:ss(.cc)."),
                          QStringLiteral("TIME")};
    QCommandLineOption fps{QStringLiteral("fps"), QStringLiteral("The clip's frames per second, 10 to 50 (25)."),
                           QStringLiteral("N")};
    QCommandLineOption size{QStringLiteral("size"), QStringLiteral("The clip's size, up to 1920x1080 (640x480)."),
                            QStringLiteral("WxH")};
    QCommandLineOption bestTurn{QStringLiteral("best-turn"),
                                QStringLiteral("Instead of --from and --to: the turn that dealt the most damage, "
                                               "from the replay's log.")};
    QCommandLineOption out{QStringLiteral("out"), QStringLiteral("The clip's file."), QStringLiteral("FILE")};

    CommandLine()
    {
        parser.setApplicationDescription(
            QStringLiteral("Organiser and launcher for the User folder of Worms Armageddon. Without --user-folder "
                           "it opens on the game it finds (its own folder, Steam, Wine prefixes), or asks which "
                           "copy to open and remembers the answer."));
        parser.addOption(userFolder);
        parser.addOption(listInstalls);
        for (const QCommandLineOption* option : {&makeClip, &from, &to, &fps, &size, &bestTurn, &out})
            parser.addOption(*option);
        for (const FileCommand& command : kFileCommands) {
            parser.addOption(QCommandLineOption(QLatin1String(command.option), QLatin1String(command.description)));
        }
        parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The files of a command above."),
                                     QStringLiteral("[FILE...]"));
    }
};

// The settings store that keeps the copy of the game chosen last.
const QString kSettingsName = QStringLiteral("quillane");

QStringList argumentList(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char* argv[])
{
    // The file commands need no window system: they run before one is opened.
    for (int i = 1; i < argc; ++i) {
        for (const FileCommand& command : kFileCommands) {
            if (std::strncmp(argv[i], "--", 2) == 0 && std::strcmp(argv[i] + 2, command.option) == 0) {
                const QCoreApplication core(argc, argv);
                setNames();
                QTextStream out(stdout);
                return command.run(QCoreApplication::arguments().mid(i + 1), out);
            }
        }
    }
    setNames();

    // Every argument is checked before a window system is asked for, and so
    // are help, the version and the list of copies, which need none.
    {
        CommandLine early;
        if (!early.parser.parse(argumentList(argc, argv))) {
            const QCoreApplication core(argc, argv); // names the program in the usage
            QTextStream err(stderr);
            err << "quillane: " << early.parser.errorText() << "\n" << early.parser.helpText();
            return 2;
        }
        if (early.parser.isSet(early.help) || early.parser.isSet(early.version) ||
            early.parser.isSet(early.listInstalls)) {
            const QCoreApplication core(argc, argv);
            CommandLine command;
            command.parser.process(core); // prints help or the version and ends
            const QSettings settings(QSettings::UserScope, AppInfo::organisation(), kSettingsName);
            QTextStream out(stdout);
            QTextStream err(stderr);
            FinderSetup setup = InstallChoice::withRemembered(FinderSetup::current(), settings);
            // A folder named with --user-folder is listed as the copy it belongs to.
            if (command.parser.isSet(command.userFolder))
                setup.chosenFolders << command.parser.value(command.userFolder);
            return InstallChoice::listCommand(setup, out, err);
        }
        const QList<const QCommandLineOption*> clipOptions = {&early.from, &early.to,  &early.fps,
                                                              &early.size, &early.out, &early.bestTurn};
        const bool clipOption = std::any_of(clipOptions.cbegin(), clipOptions.cend(),
                                            [&early](const QCommandLineOption* o) { return early.parser.isSet(*o); });
        if (early.parser.isSet(early.makeClip) || clipOption) {
            const QCoreApplication core(argc, argv);
            QTextStream err(stderr);
            if (!early.parser.isSet(early.makeClip)) {
                err << "quillane: --from, --to, --fps, --size, --best-turn and --out go with --make-clip.\n";
                return ClipCommand::BadArguments;
            }
            ClipCommand::Arguments clip;
            clip.userFolder = early.parser.value(early.userFolder);
            clip.replay = early.parser.value(early.makeClip);
            clip.from = early.parser.value(early.from);
            clip.to = early.parser.value(early.to);
            clip.fps = early.parser.value(early.fps);
            clip.size = early.parser.value(early.size);
            clip.bestTurn = early.parser.isSet(early.bestTurn);
            clip.out = early.parser.value(early.out);
            const QSettings settings(QSettings::UserScope, AppInfo::organisation(), kSettingsName);
            return ClipCommand::run(clip, FinderSetup::current(), settings, err);
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
