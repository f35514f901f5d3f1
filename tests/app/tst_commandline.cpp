// The program's command line on a bare terminal: no display, no Qt platform
// named, and a home of the test's own that holds a Steam library with the game.
#include <QDir>
#include <QFile>
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
    QTest::addColumn<QString>("out");   // expected start of stdout; "<home>" is the home folder
    QTest::addColumn<QString>("error"); // expected start of stderr
    QTest::newRow("help") << "--help" << true << "Usage: "
                          << "";
    QTest::newRow("version") << "--version" << true << "quillane "
                             << "";
    QTest::newRow("list") << "--list-installs" << true
                          << "steam\t<home>/.local/share/Steam/steamapps/common/Worms Armageddon/User\n"
                          << "";
    QTest::newRow("list, nothing found") << "--list-installs" << false << ""
                                         << "No copy of Worms Armageddon was found in the folder of this program, "
                                            "in the Steam libraries of ~/.steam/steam";
}

void TestCommandLine::withoutDisplay()
{
    QFETCH(QString, argument);
    QFETCH(bool, steamGame);
    QFETCH(QString, out);
    QFETCH(QString, error);
    QTemporaryDir home;
    if (steamGame) {
        const QString apps = home.filePath(QStringLiteral(".local/share/Steam/steamapps"));
        QVERIFY(QDir().mkpath(apps + QStringLiteral("/common/Worms Armageddon/User")));
        QFile manifest(apps + QStringLiteral("/appmanifest_217200.acf"));
        QVERIFY(manifest.open(QIODevice::WriteOnly));
        manifest.write("\"AppState\"\n{\n\t\"appid\"\t\"217200\"\n\t\"installdir\"\t\"Worms Armageddon\"\n}\n");
        QFile exe(apps + QStringLiteral("/common/Worms Armageddon/WA.exe"));
        QVERIFY(exe.open(QIODevice::WriteOnly));
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
    const QString stdOut = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitCode(), 0);
    out.replace(QStringLiteral("<home>"), home.path());
    QCOMPARE(stdOut.left(out.isEmpty() ? -1 : out.size()), out);
    QCOMPARE(stdErr.left(error.isEmpty() ? -1 : error.size()), error);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
