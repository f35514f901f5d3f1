#include "LevelMaps.h"
#include "maps/core/MapDrag.h"
#include "maps/core/MapFiles.h"
#include "maps/core/MapFolder.h"
#include "maps/core/MapNames.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QMimeData>
#include <QTest>
#include <QUrl>

Q_DECLARE_METATYPE(MapDrag::Target)
Q_DECLARE_METATYPE(MapDrag::Kind)
Q_DECLARE_METATYPE(MapDrag::Entry)
Q_DECLARE_METATYPE(MapDrag::Action)
Q_DECLARE_METATYPE(MapFiles::RenamePlan::Kind)
Q_DECLARE_METATYPE(MapFiles::MoveResult::Status)

namespace {

// The files of a folder as "name=content", sorted (sub-folders read as empty).
QStringList contents(const TestUserFolder& f, const QString& folder)
{
    QStringList out;
    for (const QString& name : f.entries(folder))
        out << name + QLatin1Char('=') + QString::fromLatin1(f.read(folder + QLatin1Char('/') + name));
    return out;
}

// Writes "name=content" files into a folder under the User folder.
void writeAll(const TestUserFolder& f, const QString& folder, const QStringList& files)
{
    f.makeDir(folder);
    for (const QString& file : files)
        f.writeFile(folder + QLatin1Char('/') + file.section(QLatin1Char('='), 0, 0),
                    file.section(QLatin1Char('='), 1).toLatin1());
}

const QString kSeparator = QStringLiteral(" is not a valid name: a name cannot contain / or \\.");

} // namespace

class TestMapsCore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void folderNavigation_data();
    void folderNavigation();
    void names_data();
    void names();
    void mapListing();
    void createFolder_data();
    void createFolder();
    void deleteFolderAndMap();
    void rename_data();
    void rename();
    void renameKeepsLevelChunk();
    void importFiles();
    void moveMap_data();
    void moveMap();
    void dropDecision_data();
    void dropDecision();
    void readDrag_data();
    void readDrag();
};

void TestMapsCore::folderNavigation_data()
{
    QTest::addColumn<QStringList>("steps"); // "+Name" enters, "-" goes up
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("path"); // under the maps root /S

    const struct {
        const char* row;
        QStringList steps;
        QString relative, caption, path;
    } rows[] = {
        {"start", {}, "/", "Viewing: Root Folder", "/S/"},
        {"one level", {"+Caverns"}, "/Caverns", "Viewing: Caverns Folder", "/S/Caverns"},
        {"two levels", {"+Caverns", "+Big"}, "/Caverns/Big", "Viewing: Big Folder", "/S/Caverns/Big"},
        {"back once", {"+Caverns", "+Big", "-"}, "/Caverns", "Viewing: Caverns Folder", "/S/Caverns"},
        {"back twice", {"+Caverns", "+Big", "-", "-"}, "/", "Viewing: Root Folder", "/S/"},
        {"up at the root stays", {"-", "-"}, "/", "Viewing: Root Folder", "/S/"},
        {"blanks and dots", {"+My Maps", "+v1.2"}, "/My Maps/v1.2", "Viewing: v1.2 Folder", "/S/My Maps/v1.2"},
    };
    for (const auto& r : rows)
        QTest::newRow(r.row) << r.steps << r.relative << r.caption << r.path;
}

void TestMapsCore::folderNavigation()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, relative);
    QFETCH(QString, caption);
    QFETCH(QString, path);

    MapFolder folder;
    QStringList trail;
    for (const QString& step : steps) {
        if (step == QLatin1String("-")) {
            folder.goUp();
            if (!trail.isEmpty())
                trail.removeLast();
        } else {
            folder.enter(step.mid(1));
            trail << step.mid(1);
        }
    }
    QCOMPARE(folder.relative(), relative);
    QCOMPARE(folder.viewingCaption(), caption);
    QCOMPARE(folder.trail(), trail);
    QCOMPARE(folder.path(QStringLiteral("/S")), path);
    QCOMPARE(folder.itemPath(QStringLiteral("/S"), QStringLiteral("a.png")),
             QString(path + "/a.png").replace("//", "/"));
    QCOMPARE(MapFolder::parentOf(relative), relative.count(QLatin1Char('/')) > 1 ? relative.section('/', 0, -2) : "/");
}

void TestMapsCore::names_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("renameDefault");

    const char* rows[][3] = {
        {"Big Cave.png", "Big Cave", "Big Cave"},
        {"Dune.old.png", "Dune", "Dune.old"},
        {"Arena.PNG", "Arena", "Arena"},
        {"Arena.Png", "Arena", "Arena.Png"},
        {"a.png.png", "a", "a"},
        {"x.PNG.bak.png", "x", "x.bak"},
        {"Island", "Island", "Island"},
        {".png", "", ""},
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

void TestMapsCore::mapListing()
{
    TestUserFolder f;
    writeAll(f, "SavedLevels", {"b.png=", "Arena.PNG=", "c.Png=", "note.txt=", "png=", "a.png.txt=", "Zed.png="});
    f.makeDir(QStringLiteral("SavedLevels/folder.png"));
    QCOMPARE(MapFiles::maps(f.path("SavedLevels")), (QStringList{"Arena.PNG", "b.png", "c.Png", "Zed.png"}));
    QVERIFY(MapFiles::maps(f.path("Missing")).isEmpty());
}

void TestMapsCore::createFolder_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");

    const QString exists = QStringLiteral("There is already a folder or file called '%1' here.");
    const struct {
        const char* row;
        QString parent, name, message;
    } rows[] = {
        {"made", "Caverns", "New Maps", ""},
        {"exists", "Caverns", "Old", exists.arg("Old")},
        {"exists under other case", "Caverns", "OLD", exists.arg("Old")},
        {"a file of that name", "Caverns", "x.png", exists.arg("x.png")},
        {"parent", "Caverns", "..", "'..' is not a valid name."},
        {"climbs out", "Caverns", "../../Evil", "'../../Evil'" + kSeparator},
        {"backslash", "Caverns", "a\\b", "'a\\b'" + kSeparator},
        {"absolute", "Caverns", "/tmp/evil", "'/tmp/evil'" + kSeparator},
        {"drive", "Caverns", "C:", "'C:' is not a valid name: a name cannot contain any of : * ? \" < > |"},
        {"device", "Caverns", "con", "'con' is not a valid name: Windows reserves it for a device."},
        {"blanks", "Caverns", "   ", "Please type a name."},
        {"in a folder that is gone", "Gone", "New", "The folder 'New' could not be created."},
    };
    for (const auto& r : rows)
        QTest::newRow(r.row) << r.parent << r.name << r.message;
}

void TestMapsCore::createFolder()
{
    QFETCH(QString, parent);
    QFETCH(QString, name);
    QFETCH(QString, message);

    TestUserFolder f;
    writeAll(f, "SavedLevels/Caverns", {"x.png="});
    f.makeDir("SavedLevels/Caverns/Old");
    const QStringList user = f.entries(QString());
    const MapFiles::Result result = MapFiles::createFolder(f.path("SavedLevels/" + parent), name);
    QCOMPARE(result.message, message);
    QCOMPARE(result.ok, message.isEmpty());
    const QStringList made = result.ok ? QStringList{name} : QStringList();
    QCOMPARE(f.entries("SavedLevels/Caverns"), made + QStringList({"Old", "x.png"}));
    QCOMPARE(f.entries("SavedLevels"), QStringList{"Caverns"});
    QCOMPARE(f.entries(QString()), user);
}

void TestMapsCore::deleteFolderAndMap()
{
    TestUserFolder f;
    writeAll(f, "SavedLevels", {"a.png=A"});
    writeAll(f, "SavedLevels/Flat", {"a.png="});
    writeAll(f, "SavedLevels/Deep/Inner", {"c.png="});
    writeAll(f, "SavedLevels/Deep", {"b.png="});
    f.makeDir("SavedLevels/locked.png");
    const QString root = f.path("SavedLevels");

    // A folder goes with its files; one that holds a folder keeps that and stays.
    QVERIFY(MapFiles::deleteFolder(root, "Flat"));
    QVERIFY(!MapFiles::deleteFolder(root, "Deep"));
    QVERIFY(!MapFiles::deleteFolder(root, QString()));
    QCOMPARE(f.entries("SavedLevels"), (QStringList{"Deep", "a.png", "locked.png"}));
    QCOMPARE(f.entries("SavedLevels/Deep"), QStringList{"Inner"});
    QCOMPARE(f.entries("SavedLevels/Deep/Inner"), QStringList{"c.png"});

    QVERIFY(MapFiles::deleteMap(root, "a.png").ok);
    QVERIFY(!f.exists("SavedLevels/a.png"));
    const QString failures[][2] = {
        {"a.png", "The map 'a.png' is no longer there."},
        {"locked.png", "The map 'locked.png' could not be deleted. It may be in use or write-protected."},
        {"", "Please select a map first."},
    };
    for (const auto& [map, message] : failures) {
        const MapFiles::Result result = MapFiles::deleteMap(root, map);
        QVERIFY(!result.ok);
        QCOMPARE(result.message, message);
    }
    QVERIFY(f.exists("SavedLevels/locked.png"));
}

void TestMapsCore::rename_data()
{
    QTest::addColumn<QStringList>("files"); // name=content in SavedLevels
    QTest::addColumn<QString>("map");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<MapFiles::RenamePlan::Kind>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("after");

    using Kind = MapFiles::RenamePlan::Kind;
    const QString replace =
        QStringLiteral("There is already a map called '%1' in this folder. Do you want to replace it?");
    const QStringList arena{"Arena.png=A"};
    const struct {
        const char* row;
        QStringList files;
        QString map, typed;
        Kind kind;
        QString message;
        QStringList after;
    } rows[] = {
        {"plain",
         {"Arena.png=A", "b.png=B"},
         "Arena.png",
         "Colosseum",
         Kind::Rename,
         "",
         {"Colosseum.png=A", "b.png=B"}},
        {"upper-case extension", {"Arena.PNG=A"}, "Arena.PNG", "Big Arena", Kind::Rename, "", {"Big Arena.png=A"}},
        {"own name", arena, "Arena.png", "Arena", Kind::Unchanged, "", arena},
        {"case of the extension", {"Arena.PNG=A"}, "Arena.PNG", "Arena", Kind::ChangeCase, "", arena},
        {"case of the name", {"arena.png=A"}, "arena.png", "Arena", Kind::ChangeCase, "", arena},
        {"another map",
         {"Arena.png=A", "Dune.png=D"},
         "Arena.png",
         "Dune",
         Kind::Replace,
         replace.arg("Dune.png"),
         {"Dune.png=A"}},
        {"another map under other case",
         {"Arena.png=A", "DUNE.PNG=D"},
         "Arena.png",
         "dune",
         Kind::Replace,
         replace.arg("DUNE.PNG"),
         {"DUNE.PNG=A"}},
        {"separator", arena, "Arena.png", "../Arena", Kind::BadName, "'../Arena'" + kSeparator, arena},
        {"dots", arena, "Arena.png", "..", Kind::BadName, "'..' is not a valid name.", arena},
        {"refused character", arena, "Arena.png", "a?b", Kind::BadName,
         "'a?b' is not a valid name: a name cannot contain any of : * ? \" < > |", arena},
        {"too long with the extension", arena, "Arena.png", QString(252, 'x'), Kind::BadName,
         "That name is too long: a name can have at most 255 characters.", arena},
    };
    for (const auto& r : rows)
        QTest::newRow(r.row) << r.files << r.map << r.typed << r.kind << r.message << r.after;
}

void TestMapsCore::rename()
{
    QFETCH(QStringList, files);
    QFETCH(QString, map);
    QFETCH(QString, typed);
    QFETCH(MapFiles::RenamePlan::Kind, kind);
    QFETCH(QString, message);
    QFETCH(QStringList, after);

    TestUserFolder f;
    writeAll(f, "SavedLevels", files);
    const MapFiles::RenamePlan plan = MapFiles::planRename(f.path("SavedLevels"), map, typed);
    QCOMPARE(plan.kind, kind);
    QCOMPARE(plan.message, message);
    QCOMPARE(MapFiles::executeRename(plan), kind != MapFiles::RenamePlan::Kind::BadName);
    QCOMPARE(contents(f, "SavedLevels"), after);
    QCOMPARE(f.entries(QString()), QStringList{"SavedLevels"});
}

void TestMapsCore::renameKeepsLevelChunk()
{
    TestUserFolder f;
    const QByteArray map = LevelMaps::solid(QSize(64, 32), Qt::red);
    QVERIFY(LevelMaps::hasLevelChunk(map));
    f.writeFile("SavedLevels/Arena.PNG", map);
    f.writeFile("SavedLevels/Other.png", "old");
    const QString root = f.path("SavedLevels");
    const QString steps[][3] = {
        {"Arena.PNG", "Arena", "Arena.png"}, {"Arena.png", "New", "New.png"}, {"New.png", "Other", "Other.png"}};
    for (const auto& [from, typed, to] : steps) {
        QVERIFY(MapFiles::executeRename(MapFiles::planRename(root, from, typed)));
        QCOMPARE(f.read("SavedLevels/" + to), map);
    }
    QCOMPARE(f.entries("SavedLevels"), QStringList{"Other.png"});
}

void TestMapsCore::importFiles()
{
    TestUserFolder f;
    const QByteArray map = LevelMaps::solid(QSize(16, 8), Qt::green, "w2lv");
    const QString a = f.writeFile("Desktop/Island.png", map);
    const QString b = f.writeFile("Desktop/readme.txt", "text");
    const QString c = f.writeFile("Desktop/Cave.png", "new cave");
    f.writeFile("SavedLevels/CAVE.PNG", "old cave");
    const QString root = f.path("SavedLevels");

    // Folders and missing files among the sources are skipped; a file of the
    // same name under other case is the one replaced.
    const QStringList sources{a, b, f.path("Desktop/missing.png"), f.makeDir("Desktop/Folder"), c};
    QCOMPARE(MapFiles::importFiles(sources, root), 3);
    QCOMPARE(contents(f, "SavedLevels"),
             (QStringList{"CAVE.PNG=new cave", "Island.png=" + QString::fromLatin1(map), "readme.txt=text"}));
    QVERIFY(LevelMaps::hasLevelChunk(f.read("SavedLevels/Island.png"), "w2lv"));
    // A map dropped onto its own folder stays as it is.
    QCOMPARE(MapFiles::importFiles({f.path("SavedLevels/Island.png")}, root), 1);
    QCOMPARE(f.read("SavedLevels/Island.png"), map);
    // A folder that is gone is not made again; the maps root is made on demand.
    QCOMPARE(MapFiles::importFiles({a}, f.path("SavedLevels/Gone")), 0);
    QVERIFY(!f.exists("SavedLevels/Gone"));
    TestUserFolder g;
    QVERIFY(MapFiles::ensureMapsRoot(g.path("SavedLevels")));
    QVERIFY(MapFiles::ensureMapsRoot(g.path("SavedLevels")));
    QCOMPARE(MapFiles::importFiles({a}, g.path("SavedLevels")), 1);
    QCOMPARE(g.read("SavedLevels/Island.png"), map);
}

void TestMapsCore::moveMap_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<MapFiles::MoveResult::Status>("status");
    QTest::addColumn<QString>("message"); // "@" stands for the User folder
    QTest::addColumn<QStringList>("root");
    QTest::addColumn<QStringList>("caverns");

    using S = MapFiles::MoveResult::Status;
    const QStringList rootBefore{"Caverns=", "Dune.png=map"};
    const QStringList cavernsBefore{"DUNE.png=old", "Island.png=island"};
    const QString failed = QStringLiteral("The map '%1' could not be moved: %2.");
    const struct {
        const char* row;
        QString source, target;
        S status;
        QString message;
        QStringList root, caverns;
    } rows[] = {
        {"into a sub-folder, over the same name under other case",
         "Dune.png",
         "Caverns",
         S::Moved,
         "",
         {"Caverns="},
         {"DUNE.png=map", "Island.png=island"}},
        {"up to the root",
         "Caverns/Island.png",
         "",
         S::Moved,
         "",
         {"Caverns=", "Dune.png=map", "Island.png=island"},
         {"DUNE.png=old"}},
        {"already there", "Dune.png", "", S::AlreadyThere, "'Dune.png' is already in that folder.", rootBefore,
         cavernsBefore},
        {"target gone", "Dune.png", "Gone", S::Failed, failed.arg("Dune.png", "the folder is no longer there"),
         rootBefore, cavernsBefore},
        {"source gone", "Missing.png", "Caverns", S::Failed,
         failed.arg("Missing.png",
                    "the file " + QDir::toNativeSeparators("@/SavedLevels/Missing.png") + " does not exist"),
         rootBefore, cavernsBefore},
    };
    for (const auto& r : rows)
        QTest::newRow(r.row) << r.source << r.target << r.status << r.message << r.root << r.caverns;
}

void TestMapsCore::moveMap()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(MapFiles::MoveResult::Status, status);
    QFETCH(QString, message);
    QFETCH(QStringList, root);
    QFETCH(QStringList, caverns);

    TestUserFolder f;
    writeAll(f, "SavedLevels", {"Dune.png=map"});
    writeAll(f, "SavedLevels/Caverns", {"Island.png=island", "DUNE.png=old"});
    const MapFiles::MoveResult result =
        MapFiles::moveMap(f.path("SavedLevels/" + source), f.path("SavedLevels/" + target));
    QCOMPARE(result.status, status);
    QCOMPARE(result.message, message.replace('@', QDir::toNativeSeparators(f.user())));
    QCOMPARE(contents(f, "SavedLevels"), root);
    QCOMPARE(contents(f, "SavedLevels/Caverns"), caverns);
}

void TestMapsCore::dropDecision_data()
{
    QTest::addColumn<MapDrag::Target>("target");
    QTest::addColumn<MapDrag::Kind>("kind");
    QTest::addColumn<MapDrag::Entry>("entry");
    QTest::addColumn<MapDrag::Action>("action");
    QTest::addColumn<bool>("accepted");

    using T = MapDrag::Target;
    using K = MapDrag::Kind;
    using E = MapDrag::Entry;
    using A = MapDrag::Action;
    QTest::newRow("files on the map list") << T::MapList << K::OutsideFiles << E::None << A::CopyIntoMapFolder << true;
    QTest::newRow("own map back on the map list") << T::MapList << K::OwnMap << E::None << A::Ignore << false;
    QTest::newRow("nothing on the map list") << T::MapList << K::Nothing << E::None << A::Ignore << false;
    QTest::newRow("files on [Root]") << T::TransferList << K::OutsideFiles << E::Root << A::CopyIntoTarget << true;
    QTest::newRow("files on a folder") << T::TransferList << K::OutsideFiles << E::Folder << A::CopyIntoTarget << true;
    QTest::newRow("files on <<Back") << T::TransferList << K::OutsideFiles << E::Parent << A::AskToHighlight << true;
    QTest::newRow("files, nothing highlighted")
        << T::TransferList << K::OutsideFiles << E::None << A::AskToHighlight << true;
    QTest::newRow("own map on [Root]") << T::TransferList << K::OwnMap << E::Root << A::MoveMap << true;
    QTest::newRow("own map on a folder") << T::TransferList << K::OwnMap << E::Folder << A::MoveMap << true;
    QTest::newRow("own map on <<Back") << T::TransferList << K::OwnMap << E::Parent << A::AskToSelect << true;
    QTest::newRow("own map, nothing highlighted") << T::TransferList << K::OwnMap << E::None << A::AskToSelect << true;
    QTest::newRow("nothing on the transfer list") << T::TransferList << K::Nothing << E::Folder << A::Ignore << false;
}

void TestMapsCore::dropDecision()
{
    QFETCH(MapDrag::Target, target);
    QFETCH(MapDrag::Kind, kind);
    QFETCH(MapDrag::Entry, entry);
    QFETCH(MapDrag::Action, action);
    QFETCH(bool, accepted);
    QCOMPARE(MapDrag::decide(target, kind, entry), action);
    QCOMPARE(MapDrag::accepts(target, kind), accepted);
}

void TestMapsCore::readDrag_data()
{
    QTest::addColumn<QString>("ownPath"); // our own type's data, "" for none
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<MapDrag::Kind>("kind");
    QTest::addColumn<QString>("mapPath");
    QTest::addColumn<QStringList>("files");

    using K = MapDrag::Kind;
    const QString s = QStringLiteral("/g/User/SavedLevels");
    const QString other = QStringLiteral("/h/User/SavedLevels/Dune.png");
    const struct {
        const char* row;
        QString own;
        QStringList urls;
        K kind;
        QString map;
        QStringList files;
    } rows[] = {
        {"own drag",
         s + "/Caverns/Dune.png",
         {"file://" + s + "/Caverns/Dune.png"},
         K::OwnMap,
         s + "/Caverns/Dune.png",
         {}},
        {"own type from another User folder", other, {"file://" + other}, K::OutsideFiles, "", {other}},
        {"own type naming the root itself", s, {}, K::Nothing, "", {}},
        {"own type climbing out", s + "/../Games/x.WAgame", {}, K::Nothing, "", {}},
        {"desktop files",
         "",
         {"file:///home/me/a.png", "file:///home/me/b b.txt"},
         K::OutsideFiles,
         "",
         {"/home/me/a.png", "/home/me/b b.txt"}},
        {"desktop file inside SavedLevels", "", {"file://" + s + "/x.png"}, K::OutsideFiles, "", {s + "/x.png"}},
        {"web addresses only", "", {"https://www.wmdb.org/"}, K::Nothing, "", {}},
        {"web and local", "", {"https://www.wmdb.org/", "file:///tmp/m.png"}, K::OutsideFiles, "", {"/tmp/m.png"}},
        {"nothing", "", {}, K::Nothing, "", {}},
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
    QList<QUrl> list;
    for (const QString& u : urls)
        list << QUrl(u);
    if (!list.isEmpty())
        mime.setUrls(list);
    mime.setText(QStringLiteral("some text"));
    const MapDrag::Drag drag = MapDrag::read(mime, QStringLiteral("/g/User/SavedLevels"));
    QCOMPARE(drag.kind, kind);
    QCOMPARE(drag.mapPath, mapPath);
    QCOMPARE(drag.files, files);

    // What the window's own drag carries reads back as its own drag.
    std::unique_ptr<QMimeData> own(MapDrag::mimeFor(QStringLiteral("/g/User/SavedLevels/a b.png")));
    const MapDrag::Drag back = MapDrag::read(*own, QStringLiteral("/g/User/SavedLevels/"));
    QCOMPARE(back.kind, MapDrag::Kind::OwnMap);
    QCOMPARE(back.mapPath, QStringLiteral("/g/User/SavedLevels/a b.png"));
    QCOMPARE(own->urls(), QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/g/User/SavedLevels/a b.png"))});
}

QTEST_GUILESS_MAIN(TestMapsCore)
#include "tst_maps_core.moc"
