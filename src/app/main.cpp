#include "common/core/AppInfo.h"
#include "maps/core/MapCheck.h"
#include "shell/ui/Application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

#include <cstring>

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

    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillane"));
    QApplication::setOrganizationName(AppInfo::organisation());
    QApplication::setApplicationVersion(AppInfo::versionText().mid(8));
    // The program ends only through its main menu.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Organiser and launcher for the User folder of Worms Armageddon."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption userFolder(QStringLiteral("user-folder"),
                                        QStringLiteral("The game's User folder (default: the folder of this program)."),
                                        QStringLiteral("PATH"));
    parser.addOption(userFolder);
    parser.addOption(QCommandLineOption(QStringLiteral("check-map"),
                                        QStringLiteral("Check the map files named after it against the game's rules "
                                                       "and print their settings, without opening a window.")));
    parser.process(qtApp);

    AppOptions options;
    options.userFolder = parser.isSet(userFolder) ? parser.value(userFolder) : QCoreApplication::applicationDirPath();
    if (!QDir(options.userFolder).exists()) {
        qCritical("The User folder %s does not exist.", qPrintable(QDir::toNativeSeparators(options.userFolder)));
        return 2;
    }

    Application app(options);
    app.start();
    return qtApp.exec();
}
