#include "common/core/WindowsPath.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestWindowsPath : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookup_data();
    void lookup();
};

void TestWindowsPath::lookup_data()
{
    QTest::addColumn<QString>("winepath"); // the fake program's script, "" for none on the PATH
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    const QString game = QStringLiteral("/home/a/Worms Armageddon/User/Games/x y.WAgame");
    const QString zGame = QStringLiteral("Z:\\home\\a\\Worms Armageddon\\User\\Games\\x y.WAgame");
    QTest::newRow("no winepath: Z: drive") << "" << game << zGame;
    QTest::newRow("no winepath: dots cleaned") << ""
                                               << "/a/./b/../c.WAgame"
                                               << "Z:\\a\\c.WAgame";
    QTest::newRow("winepath answers") << "printf 'C:\\\\users\\\\a\\\\x.WAgame\\r\\n'" << game
                                      << "C:\\users\\a\\x.WAgame";
    QTest::newRow("winepath fails") << "echo 'C:\\\\x'; exit 1" << game << zGame;
    QTest::newRow("winepath says something else") << "echo 'wine: could not load'" << game << zGame;
    QTest::newRow("winepath hangs") << "sleep 30" << game << zGame;
}

void TestWindowsPath::lookup()
{
    QFETCH(QString, winepath);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("winepath"));
    const QString record = dir.filePath(QStringLiteral("called"));
    if (!winepath.isEmpty()) {
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s|%s' \"$WINEPREFIX\" \"$*\" > '%1'\n%2\n")
                         .arg(record, winepath)
                         .toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    WindowsPathLookup lookup;
    lookup.setWinepathLocator([&] { return winepath.isEmpty() ? QString() : program; });
    lookup.setTimeout(500);
    QStringList answers;
    lookup.find(path, QStringLiteral("/home/a/.wine"), [&](const QString& answer) { answers << answer; });
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, 5000);
    QCOMPARE(answers.first(), expected);
    if (!winepath.isEmpty()) {
        // Asked in the game's prefix, about the file itself.
        QFile called(record);
        QVERIFY(called.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(called.readAll()), QStringLiteral("/home/a/.wine|-w ") + path);
    }
    QTest::qWait(20);
    QCOMPARE(answers.size(), 1);
}

QTEST_GUILESS_MAIN(TestWindowsPath)
#include "tst_windowspath.moc"
