// The built program on a bare terminal (no display, no Qt platform named),
// with a home of the test's own that may hold a Steam library with the game.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void withoutDisplay_data();
    void withoutDisplay();
};

void TestCommandLine::withoutDisplay_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("steamGame");
    QTest::addColumn<QString>("out");   // the start of stdout; "<home>" is the home folder
    QTest::addColumn<QString>("error"); // the start of stderr
    QTest::addColumn<int>("status");
    const QString none;
    QTest::newRow("help") << "--help" << true << "Usage: " << none << 0;
    QTest::newRow("version") << "--version" << true << "quillane " << none << 0;
    QTest::newRow("list") << "--list-installs" << true
                          << "steam\t<home>/.local/share/Steam/steamapps/common/Worms Armageddon/User\n"
                          << none << 0;
    QTest::newRow("nothing to list") << "--list-installs" << false << none
                                     << "No copy of Worms Armageddon was found in the folder of this program, in the "
                                        "Steam libraries of ~/.steam/steam"
                                     << 0;
    // Refused before any window is asked for: without a display that would abort.
    QTest::newRow("unknown option") << "--no-such-option" << true << none
                                    << "quillane: Unknown option 'no-such-option'.\nUsage: " << 2;
    QTest::newRow("clip option alone") << "--out=a.mp4" << true << none
                                       << "quillane: --from, --to, --fps, --size, --best-turn and --out go with "
                                          "--make-clip.\n"
                                       << 2;
    QTest::newRow("value missing") << "--user-folder" << true << none
                                   << "quillane: Missing value after '--user-folder'.\nUsage: " << 2;
}

void TestCommandLine::withoutDisplay()
{
    QFETCH(QString, argument);
    QFETCH(bool, steamGame);
    QFETCH(QString, out);
    QFETCH(QString, error);
    QFETCH(int, status);
    QTemporaryDir home;
    const QString apps = home.filePath(QStringLiteral(".local/share/Steam/steamapps"));
    if (steamGame) {
        QVERIFY(QDir().mkpath(apps + QStringLiteral("/common/Worms Armageddon/User")));
        QFile manifest(apps + QStringLiteral("/appmanifest_217200.acf"));
        QVERIFY(manifest.open(QIODevice::WriteOnly) &&
                manifest.write("\"AppState\" { \"installdir\" \"Worms Armageddon\" }"));
        QVERIFY(QFile(apps + QStringLiteral("/common/Worms Armageddon/WA.exe")).open(QIODevice::WriteOnly));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "WINEPREFIX", "XDG_CONFIG_HOME"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("HOME"), home.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUILLANE_PROGRAM), {argument});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    out.replace(QStringLiteral("<home>"), home.path());
    QCOMPARE(QString::fromLocal8Bit(program.readAllStandardOutput()).left(out.isEmpty() ? -1 : out.size()), out);
    QCOMPARE(QString::fromLocal8Bit(program.readAllStandardError()).left(error.isEmpty() ? -1 : error.size()), error);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
