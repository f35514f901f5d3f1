#include "maps/core/MapDrag.h"
#include "maps/core/MapFolder.h"
#include "maps/core/MapNames.h"

#include "support/TestFolders.h"

#include <QMimeData>
#include <QTest>
#include <QUrl>

Q_DECLARE_METATYPE(MapDrag::Kind)

// The file operations are tested through the window. Here: the naming rules in
// full, drags the window cannot easily be handed (our own type naming a file
// outside this maps root, web addresses), and links in the tree.
class TestMapsCore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void names_data();
    void names();
    void readDrag_data();
    void readDrag();
    void linksInTheTree_data();
    void linksInTheTree();
};

void TestMapsCore::names_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("renameDefault");

    const char* rows[][3] = {
        {"Dune.old.png", "Dune", "Dune.old"}, {"Arena.Png", "Arena", "Arena.Png"}, {"a.png.png", "a", "a"},
        {"x.PNG.bak.png", "x", "x.bak"},      {"Island", "Island", "Island"},      {".png", "", ""},
    };
    for (const auto& r : rows)
        QTest::newRow(r[0]) << QString(r[0]) << QString(r[1]) << QString(r[2]);
}

void TestMapsCore::names()
{
    QFETCH(QString, file);
    QFETCH(QString, shown);
    QFETCH(QString, renameDefault);
    QCOMPARE(MapNames::displayName(file), shown);
    QCOMPARE(MapNames::renameDefault(file), renameDefault);
}

void TestMapsCore::readDrag_data()
{
    QTest::addColumn<QString>("ownPath"); // our own type's data, "" for none
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<MapDrag::Kind>("kind");
    QTest::addColumn<QString>("mapPath");
    QTest::addColumn<QStringList>("files");

    using K = MapDrag::Kind;
    const QString s = QStringLiteral("/g/User/SavedLevels"), dune = s + "/Caverns/Dune.png";
    const QString other = QStringLiteral("/h/User/SavedLevels/Dune.png");
    const struct {
        const char* row;
        QString own;
        QStringList urls;
        K kind;
        QString map;
        QStringList files;
    } rows[] = {
        // clang-format off
        {"own drag", dune, {"file://" + dune}, K::OwnMap, dune, {}},
        {"own type from another User folder", other, {"file://" + other}, K::OutsideFiles, "", {other}},
        {"own type naming the root itself", s, {}, K::Nothing, "", {}},
        {"own type climbing out", s + "/../Games/x.WAgame", {}, K::Nothing, "", {}},
        {"desktop files", "", {"file:///home/me/a.png", "file:///home/me/b b.txt"}, K::OutsideFiles, "",
         {"/home/me/a.png", "/home/me/b b.txt"}},
        {"desktop file inside SavedLevels", "", {"file://" + s + "/x.png"}, K::OutsideFiles, "", {s + "/x.png"}},
        {"web addresses only", "", {"https://www.wmdb.org/"}, K::Nothing, "", {}},
        {"web and local", "", {"https://www.wmdb.org/", "file:///tmp/m.png"}, K::OutsideFiles, "", {"/tmp/m.png"}},
        // clang-format on
    };
    for (const auto& r : rows)
        QTest::newRow(r.row) << r.own << r.urls << r.kind << r.map << r.files;
}

void TestMapsCore::readDrag()
{
    QFETCH(QString, ownPath);
    QFETCH(QStringList, urls);
    QFETCH(MapDrag::Kind, kind);
    QFETCH(QString, mapPath);
    QFETCH(QStringList, files);

    QMimeData mime;
    if (!ownPath.isEmpty())
        mime.setData(MapDrag::mimeType(), ownPath.toUtf8());
    if (!urls.isEmpty())
        mime.setUrls(QUrl::fromStringList(urls));
    mime.setText(QStringLiteral("some text"));
    const MapDrag::Drag drag = MapDrag::read(mime, QStringLiteral("/g/User/SavedLevels"));
    QCOMPARE(drag.kind, kind);
    QCOMPARE(drag.mapPath, mapPath);
    QCOMPARE(drag.files, files);
}

QTEST_GUILESS_MAIN(TestMapsCore)
void TestMapsCore::linksInTheTree_data()
{
    QTest::addColumn<QStringList>("steps"); // folders entered one after the other
    QTest::addColumn<QString>("relative");
    QTest::newRow("a link to another disk") << QStringList{"Away"} << "/Away";
    QTest::newRow("a link back to the folder above") << QStringList{"Caves", "Deep", "Up"} << "/Caves";
    QTest::newRow("a link back to the root") << QStringList{"Caves", "Deep", "Top", "Caves", "Deep", "Top"} << "/";
}

void TestMapsCore::linksInTheTree()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, relative);
    TestUserFolder f;
    f.makeDir("SavedLevels/Caves/Deep");
    f.makeDir("Disk");
    QVERIFY(QFile::link(f.path("Disk"), f.path("SavedLevels/Away")));
    QVERIFY(QFile::link(f.path("SavedLevels/Caves"), f.path("SavedLevels/Caves/Deep/Up")));
    QVERIFY(QFile::link(f.path("SavedLevels"), f.path("SavedLevels/Caves/Deep/Top")));
    MapFolder folder;
    for (const QString& step : steps)
        folder.enter(f.path("SavedLevels"), step);
    QCOMPARE(folder.relative(), relative);
}

#include "tst_maps_core.moc"
