// SPDX-License-Identifier: GPL-3.0-or-later
// "My Schemes" opened from the main menu over a User folder of its own:
// the list, a scheme in words, two compared, the file work and drops.
#include "SchemeBytes.h"
#include "common/core/NameRules.h"
#include "common/core/ZipReader.h"
#include "common/ui/WindowNames.h"
#include "schemes/ui/SchemesWindow.h"
#include "shell/ui/MainMenuWindow.h"
#include "support/TestApp.h"
#include "support/TestZips.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

class TestSchemesWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { t = std::make_unique<TestApp>(); }
    void cleanup()
    {
        VERIFY_PROMPTER(t->prompter);
        t.reset();
    }
    void showAndCompare();
    void fileWork_data();
    void fileWork();
    void drops_data();
    void drops();
    void exportZip_data();
    void exportZip();

private:
    SchemesWindow* open();
    QStringList listed() const;
    // The rows of the settings tree as "group | setting: values".
    QStringList rows() const;
    std::unique_ptr<TestApp> t;
};

SchemesWindow* TestSchemesWindow::open()
{
    t->folder.writeProbe();
    MainMenuWindow* menu = t->startToMainMenu();
    if (!menu)
        return nullptr;
    click(named(menu, QStringLiteral("lblMySchemes")));
    return qobject_cast<SchemesWindow*>(t->waitShown(WindowNames::Schemes));
}

QStringList TestSchemesWindow::listed() const
{
    QStringList names;
    auto* list = named<QListWidget>(t->existing(WindowNames::Schemes), QStringLiteral("lstSchemes"));
    for (int i = 0; list && i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

QStringList TestSchemesWindow::rows() const
{
    QStringList out;
    auto* tree = named<QTreeWidget>(t->existing(WindowNames::Schemes), QStringLiteral("tvwSettings"));
    for (int g = 0; tree && g < tree->topLevelItemCount(); ++g) {
        const QTreeWidgetItem* group = tree->topLevelItem(g);
        for (int i = 0; i < group->childCount(); ++i) {
            const QTreeWidgetItem* row = group->child(i);
            QStringList values;
            for (int c = 1; c < tree->columnCount(); ++c)
                values << row->text(c);
            out << group->text(0) + QStringLiteral(" | ") + row->text(0) + QStringLiteral(": ") +
                       values.join(QStringLiteral(" / "));
        }
    }
    return out;
}

void TestSchemesWindow::showAndCompare()
{
    // Folder and extension in any letter case; other files are no schemes.
    t->folder.writeFile(QStringLiteral("SCHEMES/Mine.WSC"), schemeBytes(2, 297));
    t->folder.writeFile(QStringLiteral("SCHEMES/League.wsc"), schemeBytes(2, 297, {{0x1B, 60}, {0x0D, 2}, {0x29, 10}}));
    t->folder.writeFile(QStringLiteral("SCHEMES/readme.txt"));
    SchemesWindow* w = open();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("My Schemes"));
    QCOMPARE(listed(), (QStringList{"League", "Mine"}));
    auto* list = named<QListWidget>(w, QStringLiteral("lstSchemes"));
    QCOMPARE(w->focusWidget(), list); // the keyboard starts in the list
    // The keyboard alone: the first scheme, then the second added to it.
    QTest::keyClick(list, Qt::Key_Home);
    QCOMPARE(named<QLabel>(w, QStringLiteral("lblScheme"))->text(), QStringLiteral("League (version 2, 297 bytes)"));
    QVERIFY(rows().contains(QStringLiteral("Game options | Turn time: 60 s")));
    QVERIFY(rows().contains(QStringLiteral("Game options | Stockpiling: anti")));
    QVERIFY(named<QTreeWidget>(w, QStringLiteral("tvwWeapons"))->isVisible());
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(rows(), (QStringList{"Game options | Stockpiling: anti / off", "Game options | Turn time: 60 s / 45 s",
                                  "Weapons | Bazooka: ammunition: infinite / 1"}));
    QCOMPARE(named<QLabel>(w, QStringLiteral("lblScheme"))->text(),
             QStringLiteral("League and Mine differ in 3 settings."));

    // A scheme held in memory goes on top and compares like the others.
    w->showStoredScheme(schemeBytes(3, 339, {{0x1B, 60}}), QStringLiteral("Stored in a replay"));
    QCOMPARE(listed(), (QStringList{"Stored in a replay", "League", "Mine"}));
    QVERIFY(rows().contains(QStringLiteral("Extended options | Double time stack limit: 1 (default)")));
    w->showStoredScheme(QByteArray(), QStringLiteral("Empty"));
    QCOMPARE(named<QLabel>(w, QStringLiteral("lblProblems"))->text(),
             QStringLiteral("The game does not read this scheme as it is:\n- The file does not begin with \"SCHM\" and "
                            "a version: it is no game scheme."));

    w->close();
    QTRY_VERIFY(t->isShown(WindowNames::MainMenu));
    QTRY_VERIFY(!t->existing(WindowNames::Schemes));
}

void TestSchemesWindow::fileWork_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("answers"); // "yes", "no" or the text typed
    QTest::addColumn<QStringList>("boxes");   // the texts of the boxes shown
    QTest::addColumn<QStringList>("files");   // the Schemes folder afterwards: "name=size"
    const QString replace = QStringLiteral("There is already a scheme called 'Pro' in this folder. Do you want to "
                                           "replace it?");
    const QString copy = QStringLiteral("What would you like to name the copy?");
    const QString rename = QStringLiteral("What would you like to rename the scheme?");
    const QStringList both{"Beginner.wsc=221", "Pro.wsc=297"};
    QTest::newRow("copy") << "cmdCopyScheme" << QStringList{"Mine"} << QStringList{copy}
                          << QStringList{"Beginner.wsc=221", "Mine.wsc=221", "Pro.wsc=297"};
    QTest::newRow("copy onto another, no")
        << "cmdCopyScheme" << QStringList{"pro", "no"} << QStringList{copy, replace} << both;
    QTest::newRow("copy onto another, yes")
        << "cmdCopyScheme" << QStringList{"pro", "yes"} << QStringList{copy, replace}
        << QStringList{"Beginner.wsc=221", "Pro.wsc=221"};
    QTest::newRow("rename onto another, yes")
        << "cmdRenameScheme" << QStringList{"pro", "yes"} << QStringList{rename, replace} << QStringList{"Pro.wsc=221"};
    QTest::newRow("rename, bad name") << "cmdRenameScheme" << QStringList{"../Pro"}
                                      << QStringList{rename,
                                                     NameRules::describe(NameRules::check(QStringLiteral("../Pro")),
                                                                         QStringLiteral("../Pro"))}
                                      << both;
    QTest::newRow("delete, no") << "cmdDeleteScheme" << QStringList{"no"}
                                << QStringList{"Are you sure you want to delete Beginner?"} << both;
    QTest::newRow("delete, yes") << "cmdDeleteScheme" << QStringList{"yes"}
                                 << QStringList{"Are you sure you want to delete Beginner?"}
                                 << QStringList{"Pro.wsc=297"};
}

void TestSchemesWindow::fileWork()
{
    QFETCH(QString, button);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, files);
    t->folder.writeFile(QStringLiteral("Schemes/Beginner.wsc"), schemeBytes(1, 221));
    t->folder.writeFile(QStringLiteral("Schemes/Pro.wsc"), schemeBytes(2, 297));
    SchemesWindow* w = open();
    QVERIFY(w);
    named<QListWidget>(w, QStringLiteral("lstSchemes"))->setCurrentRow(0);
    for (const QString& a : answers) {
        if (a == QLatin1String("yes"))
            t->prompter.answerYes();
        else if (a == QLatin1String("no"))
            t->prompter.answerNo();
        else
            t->prompter.answerInput(a);
    }
    click(named(w, button));
    QCOMPARE(t->prompter.texts(), boxes);
    QStringList seen;
    for (const QString& f : t->folder.entries(QStringLiteral("Schemes")))
        seen << QStringLiteral("%1=%2").arg(f).arg(t->folder.read(QStringLiteral("Schemes/") + f).size());
    QCOMPARE(seen, files);
    QCOMPARE(listed().size(), files.size());
}

void TestSchemesWindow::drops_data()
{
    QTest::addColumn<QList<TestZips::ZipEntry>>("zip"); // dropped as "drop.zip"
    QTest::addColumn<QStringList>("files");             // the Schemes folder afterwards
    QTest::addColumn<QString>("message");               // the start of the box shown, "" for none
    const QByteArray good = schemeBytes(2, 297);
    QTest::newRow("schemes in folders") << QList<TestZips::ZipEntry>{{"League/A.wsc", good},
                                                                     {"B.WSC", schemeBytes(3, 339)}}
                                        << QStringList{"A.wsc", "B.WSC"} << QString();
    QTest::newRow("a non-scheme among them")
        << QList<TestZips::ZipEntry>{{"A.wsc", good}, {"fake.wsc", "SCHN"}, {"notes.txt", "x"}} << QStringList{"A.wsc"}
        << "These files were not taken:\n\n- fake.wsc: The file does not begin with \"SCHM\" and a version: it is "
           "no game scheme.\n- notes.txt: not a scheme file (.wsc)";
    QTest::newRow("a traversal name") << QList<TestZips::ZipEntry>{{"A.wsc", good}, {"../../Evil.wsc", good}}
                                      << QStringList{} << "These files were not taken:\n\n- drop.zip: ";
}

void TestSchemesWindow::drops()
{
    QFETCH(QList<TestZips::ZipEntry>, zip);
    QFETCH(QStringList, files);
    QFETCH(QString, message);
    QTemporaryDir desktop;
    const QString archive = desktop.filePath(QStringLiteral("drop.zip"));
    QVERIFY(TestZips::makeZip(archive, zip));
    SchemesWindow* w = open();
    QVERIFY(w);
    QVERIFY(t->folder.exists(QStringLiteral("Schemes"))); // made when missing
    QWidget* viewport = named<QListWidget>(w, QStringLiteral("lstSchemes"))->viewport();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(archive)});
    QDragEnterEvent enter(viewport->rect().center(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(viewport->rect().center()), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QTRY_COMPARE(t->folder.entries(QStringLiteral("Schemes")), files);
    QTRY_COMPARE(t->prompter.texts().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(t->prompter.texts().first().startsWith(message), qPrintable(t->prompter.texts().first()));
    QCOMPARE(t->folder.files(QStringLiteral("..")).filter(QStringLiteral("Evil")), QStringList());
    QCOMPARE(listed().size(), files.size());
}

void TestSchemesWindow::exportZip_data()
{
    QTest::addColumn<bool>("existing");  // an archive of that name is there already
    QTest::addColumn<QString>("answer"); // to the question whether to replace it
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("new archive") << false << QString() << QStringList{"Beginner.wsc", "Pro.wsc"};
    QTest::newRow("replace, no") << true << "no" << QStringList{"Old.wsc"};
    QTest::newRow("replace, yes") << true << "yes" << QStringList{"Beginner.wsc", "Pro.wsc"};
}

void TestSchemesWindow::exportZip()
{
    QFETCH(bool, existing);
    QFETCH(QString, answer);
    QFETCH(QStringList, entries);
    t->folder.writeFile(QStringLiteral("Schemes/Beginner.wsc"), schemeBytes(1, 221));
    t->folder.writeFile(QStringLiteral("Schemes/Pro.wsc"), schemeBytes(2, 297));
    QTemporaryDir desktop;
    const QString archive = desktop.filePath(QStringLiteral("league.zip"));
    if (existing)
        QVERIFY(TestZips::makeZip(archive, {{"Old.wsc", schemeBytes(1, 221)}}));
    SchemesWindow* w = open();
    QVERIFY(w);
    named<QListWidget>(w, QStringLiteral("lstSchemes"))->selectAll();
    t->prompter.answerSaveFile(desktop.filePath(QStringLiteral("league"))); // ".zip" is added
    if (answer == QLatin1String("yes"))
        t->prompter.answerYes();
    else if (!answer.isEmpty())
        t->prompter.answerNo();
    click(named(w, QStringLiteral("cmdExportZip")));
    // Written off the window's thread: the button waits until it is done.
    QTRY_VERIFY(named(w, QStringLiteral("cmdExportZip"))->isEnabled());
    ZipReader reader(archive);
    QVERIFY(reader.open());
    QStringList names;
    for (const ZipReader::Entry& e : reader.entries())
        names << e.name;
    QCOMPARE(names, entries);
    QCOMPARE(QDir(desktop.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"league.zip"});
}

QTEST_MAIN(TestSchemesWindow)
#include "tst_schemes_window.moc"
