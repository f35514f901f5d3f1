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

namespace {

// Files of a folder as "name=content" pairs, sorted.
QStringList contents(const TestUserFolder& f, const QString& folder)
{
    QStringList out;
    for (const QString& name : f.entries(folder))
        out << name + QLatin1Char('=') + QString::fromLatin1(f.read(folder + QLatin1Char('/') + name));
    return out;
}

} // namespace

class TestMapsCore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void folderNavigation_data();
    void folderNavigation();
    void folderPaths();
    void names_data();
    void names();
    void parentEntryTexts();
    void mapListing();
    void createFolder_data();
    void createFolder();
    void createFolderInAFolderThatIsGone();
    void deleteFolderKeepsSubFolders();
    void deleteMap();
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
    QTest::addColumn<QStringList>("trail");

    QTest::newRow("start") << QStringList() << "/"
                           << "Viewing: Root Folder" << QStringList();
    QTest::newRow("one level") << QStringList{"+Caverns"} << "/Caverns"
                               << "Viewing: Caverns Folder" << QStringList{"Caverns"};
    QTest::newRow("two levels") << QStringList{"+Caverns", "+Big"} << "/Caverns/Big"
                                << "Viewing: Big Folder" << QStringList{"Caverns", "Big"};
    QTest::newRow("back once") << QStringList{"+Caverns", "+Big", "-"} << "/Caverns"
                               << "Viewing: Caverns Folder" << QStringList{"Caverns"};
    QTest::newRow("back twice") << QStringList{"+Caverns", "+Big", "-", "-"} << "/"
                                << "Viewing: Root Folder" << QStringList();
    QTest::newRow("up at root stays") << QStringList{"-", "-"} << "/"
                                      << "Viewing: Root Folder" << QStringList();
    QTest::newRow("names with blanks and dots") << QStringList{"+My Maps", "+v1.2"} << "/My Maps/v1.2"
                                                << "Viewing: v1.2 Folder" << QStringList{"My Maps", "v1.2"};
}

void TestMapsCore::folderNavigation()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, relative);
    QFETCH(QString, caption);
    QFETCH(QStringList, trail);

    MapFolder folder;
    for (const QString& step : steps) {
        if (step == QLatin1String("-"))
            folder.goUp();
        else
            folder.enter(step.mid(1));
    }
    QCOMPARE(folder.relative(), relative);
    QCOMPARE(folder.viewingCaption(), caption);
    QCOMPARE(folder.trail(), trail);
    QCOMPARE(folder.isRoot(), relative == QLatin1String("/"));
    QCOMPARE(MapFolder::parentOf(QStringLiteral("/Caverns/Big")), QStringLiteral("/Caverns"));
    QCOMPARE(MapFolder::parentOf(QStringLiteral("/Caverns")), QStringLiteral("/"));
    QCOMPARE(MapFolder::parentOf(QStringLiteral("/")), QStringLiteral("/"));
}

void TestMapsCore::folderPaths()
{
    MapFolder folder;
    const QString root = QStringLiteral("/u/User/SavedLevels");
    QCOMPARE(folder.path(root), QStringLiteral("/u/User/SavedLevels/"));
    QCOMPARE(folder.itemPath(root, QStringLiteral("Dune.png")), QStringLiteral("/u/User/SavedLevels/Dune.png"));
    folder.enter(QStringLiteral("Caverns"));
    folder.enter(QStringLiteral("Big"));
    QCOMPARE(folder.path(root), QStringLiteral("/u/User/SavedLevels/Caverns/Big"));
    QCOMPARE(folder.itemPath(root, QStringLiteral("Dune.png")),
             QStringLiteral("/u/User/SavedLevels/Caverns/Big/Dune.png"));
    folder.reset();
    QCOMPARE(folder.relative(), QStringLiteral("/"));
    QVERIFY(folder.trail().isEmpty());
}

void TestMapsCore::names_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("renameDefault");

    QTest::newRow("plain") << "Big Cave.png"
                           << "Big Cave"
                           << "Big Cave";
    QTest::newRow("first dot") << "Dune.old.png"
                               << "Dune"
                               << "Dune.old";
    QTest::newRow("upper case") << "Arena.PNG"
                                << "Arena"
                                << "Arena";
    QTest::newRow("mixed case stays") << "Arena.Png"
                                      << "Arena"
                                      << "Arena.Png";
    QTest::newRow("every .png goes") << "a.png.png"
                                     << "a"
                                     << "a";
    QTest::newRow("inner .PNG too") << "x.PNG.bak.png"
                                    << "x"
                                    << "x.bak";
    QTest::newRow("no dot") << "Island"
                            << "Island"
                            << "Island";
    QTest::newRow("leading dot") << ".png"
                                 << ""
                                 << "";
}

void TestMapsCore::names()
{
    QFETCH(QString, file);
    QFETCH(QString, shown);
    QFETCH(QString, renameDefault);
    QCOMPARE(MapNames::displayName(file), shown);
    QCOMPARE(MapNames::renameDefault(file), renameDefault);
}

void TestMapsCore::parentEntryTexts()
{
    using MapNames::Side;
    QCOMPARE(MapNames::parentEntryText(Side::Maps, true), QStringLiteral("-"));
    QCOMPARE(MapNames::parentEntryText(Side::Maps, false), QStringLiteral("<<Back"));
    QCOMPARE(MapNames::parentEntryText(Side::Transfer, true), QStringLiteral("[Root]"));
    QCOMPARE(MapNames::parentEntryText(Side::Transfer, false), QStringLiteral("<<Back"));
}

void TestMapsCore::mapListing()
{
    TestUserFolder f;
    for (const char* name : {"b.png", "Arena.PNG", "c.Png", "note.txt", "png", "a.png.txt", "Zed.png"})
        f.writeFile(QStringLiteral("SavedLevels/") + QLatin1String(name));
    f.makeDir(QStringLiteral("SavedLevels/folder.png"));
    QCOMPARE(MapFiles::maps(f.path(QStringLiteral("SavedLevels"))),
             (QStringList{"Arena.PNG", "b.png", "c.Png", "Zed.png"}));
    QVERIFY(MapFiles::maps(f.path(QStringLiteral("Missing"))).isEmpty());
}

void TestMapsCore::createFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("after"); // entries of SavedLevels/Caverns

    const QStringList unchanged{"Old", "x.png"};
    QTest::newRow("made") << "New Maps"
                          << "" << QStringList{"New Maps", "Old", "x.png"};
    QTest::newRow("exists") << "Old"
                            << "There is already a folder or file called 'Old' here." << unchanged;
    QTest::newRow("exists other case") << "OLD"
                                       << "There is already a folder or file called 'Old' here." << unchanged;
    QTest::newRow("a file of that name") << "x.png"
                                         << "There is already a folder or file called 'x.png' here." << unchanged;
    QTest::newRow("parent") << ".."
                            << "'..' is not a valid name." << unchanged;
    QTest::newRow("climbs out") << "../../Evil"
                                << "'../../Evil' is not a valid name: a name cannot contain / or \\." << unchanged;
    QTest::newRow("backslash") << "a\\b"
                               << "'a\\b' is not a valid name: a name cannot contain / or \\." << unchanged;
    QTest::newRow("absolute") << "/tmp/evil"
                              << "'/tmp/evil' is not a valid name: a name cannot contain / or \\." << unchanged;
    QTest::newRow("drive") << "C:"
                           << "'C:' is not a valid name: a name cannot contain any of : * ? \" < > |" << unchanged;
    QTest::newRow("device") << "con"
                            << "'con' is not a valid name: Windows reserves it for a device." << unchanged;
    QTest::newRow("blanks") << "   "
                            << "Please type a name." << unchanged;
}

void TestMapsCore::createFolder()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(QStringList, after);

    TestUserFolder f;
    f.makeDir(QStringLiteral("SavedLevels/Caverns/Old"));
    f.writeFile(QStringLiteral("SavedLevels/Caverns/x.png"));
    const QStringList userBefore = f.entries(QString());
    const MapFiles::Result result = MapFiles::createFolder(f.path(QStringLiteral("SavedLevels/Caverns")), name);
    QCOMPARE(result.message, message);
    QCOMPARE(result.ok, message.isEmpty());
    QCOMPARE(f.entries(QStringLiteral("SavedLevels/Caverns")), after);
    QCOMPARE(f.entries(QStringLiteral("SavedLevels")), QStringList{"Caverns"});
    QCOMPARE(f.entries(QString()), userBefore);
}

void TestMapsCore::createFolderInAFolderThatIsGone()
{
    TestUserFolder f;
    f.makeDir(QStringLiteral("SavedLevels"));
    const MapFiles::Result result = MapFiles::createFolder(f.path(QStringLiteral("SavedLevels/Gone")), "New");
    QVERIFY(!result.ok);
    QCOMPARE(result.message, QStringLiteral("The folder 'New' could not be created."));
    QVERIFY(f.entries(QStringLiteral("SavedLevels")).isEmpty());
}

void TestMapsCore::deleteFolderKeepsSubFolders()
{
    TestUserFolder f;
    f.writeFile(QStringLiteral("SavedLevels/Flat/a.png"));
    f.writeFile(QStringLiteral("SavedLevels/Deep/b.png"));
    f.writeFile(QStringLiteral("SavedLevels/Deep/Inner/c.png"));
    const QString root = f.path(QStringLiteral("SavedLevels"));
    QVERIFY(MapFiles::deleteFolder(root, QStringLiteral("Flat")));
    QVERIFY(!MapFiles::deleteFolder(root, QStringLiteral("Deep")));
    QVERIFY(!MapFiles::deleteFolder(root, QString()));
    QCOMPARE(f.entries(QStringLiteral("SavedLevels")), QStringList{"Deep"});
    QCOMPARE(f.entries(QStringLiteral("SavedLevels/Deep")), QStringList{"Inner"});
    QCOMPARE(f.entries(QStringLiteral("SavedLevels/Deep/Inner")), QStringList{"c.png"});
}

void TestMapsCore::deleteMap()
{
    TestUserFolder f;
    f.writeFile(QStringLiteral("SavedLevels/a.png"));
    f.makeDir(QStringLiteral("SavedLevels/locked.png"));
    const QString root = f.path(QStringLiteral("SavedLevels"));

    QVERIFY(MapFiles::deleteMap(root, QStringLiteral("a.png")).ok);
    QVERIFY(!f.exists(QStringLiteral("SavedLevels/a.png")));

    const MapFiles::Result gone = MapFiles::deleteMap(root, QStringLiteral("a.png"));
    QVERIFY(!gone.ok);
    QCOMPARE(gone.message, QStringLiteral("The map 'a.png' is no longer there."));

    const MapFiles::Result locked = MapFiles::deleteMap(root, QStringLiteral("locked.png"));
    QVERIFY(!locked.ok);
    QCOMPARE(locked.message,
             QStringLiteral("The map 'locked.png' could not be deleted. It may be in use or write-protected."));
    QVERIFY(f.exists(QStringLiteral("SavedLevels/locked.png")));

    QCOMPARE(MapFiles::deleteMap(root, QString()).message, QStringLiteral("Please select a map first."));
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
    QTest::newRow("plain") << QStringList{"Arena.png=A", "b.png=B"} << "Arena.png"
                           << "Colosseum" << Kind::Rename << "" << QStringList{"Colosseum.png=A", "b.png=B"};
    QTest::newRow("upper-case extension") << QStringList{"Arena.PNG=A"} << "Arena.PNG"
                                          << "Big Arena" << Kind::Rename << "" << QStringList{"Big Arena.png=A"};
    QTest::newRow("own name") << QStringList{"Arena.png=A"} << "Arena.png"
                              << "Arena" << Kind::Unchanged << "" << QStringList{"Arena.png=A"};
    QTest::newRow("only the case of the extension") << QStringList{"Arena.PNG=A"} << "Arena.PNG"
                                                    << "Arena" << Kind::ChangeCase << "" << QStringList{"Arena.png=A"};
    QTest::newRow("only the case of the name") << QStringList{"arena.png=A"} << "arena.png"
                                               << "Arena" << Kind::ChangeCase << "" << QStringList{"Arena.png=A"};
    QTest::newRow("another map of that name")
        << QStringList{"Arena.png=A", "Dune.png=D"} << "Arena.png"
        << "Dune" << Kind::Replace
        << "There is already a map called 'Dune.png' in this folder. Do you want to replace it?"
        << QStringList{"Dune.png=A"};
    QTest::newRow("another map under other case")
        << QStringList{"Arena.png=A", "DUNE.PNG=D"} << "Arena.png"
        << "dune" << Kind::Replace
        << "There is already a map called 'DUNE.PNG' in this folder. Do you want to replace it?"
        << QStringList{"DUNE.PNG=A"};
    QTest::newRow("separator") << QStringList{"Arena.png=A"} << "Arena.png"
                               << "../Arena" << Kind::BadName
                               << "'../Arena' is not a valid name: a name cannot contain / or \\."
                               << QStringList{"Arena.png=A"};
    QTest::newRow("dots") << QStringList{"Arena.png=A"} << "Arena.png"
                          << ".." << Kind::BadName << "'..' is not a valid name." << QStringList{"Arena.png=A"};
    QTest::newRow("refused character") << QStringList{"Arena.png=A"} << "Arena.png"
                                       << "a?b" << Kind::BadName
                                       << "'a?b' is not a valid name: a name cannot contain any of : * ? \" < > |"
                                       << QStringList{"Arena.png=A"};
    QTest::newRow("too long with the extension")
        << QStringList{"Arena.png=A"} << "Arena.png" << QString(252, QLatin1Char('x')) << Kind::BadName
        << "That name is too long: a name can have at most 255 characters." << QStringList{"Arena.png=A"};
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
    f.makeDir(QStringLiteral("SavedLevels"));
    for (const QString& file : files) {
        const QStringList parts = file.split(QLatin1Char('='));
        f.writeFile(QStringLiteral("SavedLevels/") + parts[0], parts[1].toLatin1());
    }
    const QString root = f.path(QStringLiteral("SavedLevels"));
    const MapFiles::RenamePlan plan = MapFiles::planRename(root, map, typed);
    QCOMPARE(plan.kind, kind);
    QCOMPARE(plan.message, message);
    QCOMPARE(MapFiles::executeRename(plan), kind != MapFiles::RenamePlan::Kind::BadName);
    QCOMPARE(contents(f, QStringLiteral("SavedLevels")), after);
    QCOMPARE(f.entries(QString()), QStringList{"SavedLevels"});
}

void TestMapsCore::renameKeepsLevelChunk()
{
    TestUserFolder f;
    const QByteArray map = LevelMaps::solid(QSize(64, 32), Qt::red);
    QVERIFY(LevelMaps::hasLevelChunk(map));
    f.writeFile(QStringLiteral("SavedLevels/Arena.PNG"), map);
    f.writeFile(QStringLiteral("SavedLevels/Other.png"), "old");
    const QString root = f.path(QStringLiteral("SavedLevels"));

    QVERIFY(MapFiles::executeRename(MapFiles::planRename(root, QStringLiteral("Arena.PNG"), QStringLiteral("Arena"))));
    QCOMPARE(f.read(QStringLiteral("SavedLevels/Arena.png")), map);
    QVERIFY(MapFiles::executeRename(MapFiles::planRename(root, QStringLiteral("Arena.png"), QStringLiteral("New"))));
    QCOMPARE(f.read(QStringLiteral("SavedLevels/New.png")), map);
    QVERIFY(MapFiles::executeRename(MapFiles::planRename(root, QStringLiteral("New.png"), QStringLiteral("Other"))));
    QCOMPARE(f.read(QStringLiteral("SavedLevels/Other.png")), map);
    QCOMPARE(f.entries(QStringLiteral("SavedLevels")), QStringList{"Other.png"});
}

void TestMapsCore::importFiles()
{
    TestUserFolder f;
    const QByteArray map = LevelMaps::solid(QSize(16, 8), Qt::green, QByteArrayLiteral("w2lv"));
    const QString a = f.writeFile(QStringLiteral("Desktop/Island.png"), map);
    const QString b = f.writeFile(QStringLiteral("Desktop/readme.txt"), "text");
    const QString c = f.writeFile(QStringLiteral("Desktop/Cave.png"), "new cave");
    const QString folder = f.makeDir(QStringLiteral("Desktop/Folder"));
    f.writeFile(QStringLiteral("SavedLevels/CAVE.PNG"), "old cave");

    const QString root = f.path(QStringLiteral("SavedLevels"));
    const QStringList sources{a, b, f.path(QStringLiteral("Desktop/missing.png")), folder, c};
    QCOMPARE(MapFiles::importFiles(sources, root), 3);
    QCOMPARE(contents(f, QStringLiteral("SavedLevels")),
             (QStringList{"CAVE.PNG=new cave", "Island.png=" + QString::fromLatin1(map), "readme.txt=text"}));
    QVERIFY(LevelMaps::hasLevelChunk(f.read(QStringLiteral("SavedLevels/Island.png")), QByteArrayLiteral("w2lv")));
    // Dropping a map onto its own folder leaves it as it is.
    QCOMPARE(MapFiles::importFiles({f.path(QStringLiteral("SavedLevels/Island.png"))}, root), 1);
    QCOMPARE(f.read(QStringLiteral("SavedLevels/Island.png")), map);
    // A folder that is gone is not made again.
    QCOMPARE(MapFiles::importFiles({a}, f.path(QStringLiteral("SavedLevels/Gone"))), 0);
    QVERIFY(!f.exists(QStringLiteral("SavedLevels/Gone")));
    // A missing maps root is made before maps are brought in.
    TestUserFolder g;
    QVERIFY(MapFiles::ensureMapsRoot(g.path(QStringLiteral("SavedLevels"))));
    QVERIFY(MapFiles::ensureMapsRoot(g.path(QStringLiteral("SavedLevels"))));
    QCOMPARE(MapFiles::importFiles({a}, g.path(QStringLiteral("SavedLevels"))), 1);
    QCOMPARE(g.read(QStringLiteral("SavedLevels/Island.png")), map);
}

void TestMapsCore::moveMap_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("root");
    QTest::addColumn<QStringList>("caverns");

    using S = MapFiles::MoveResult::Status;
    QTest::newRow("into a sub-folder, replacing the same name under other case")
        << "Dune.png"
        << "Caverns" << int(S::Moved) << "" << QStringList{"Caverns="}
        << QStringList{"DUNE.png=map", "Island.png=island"};
    QTest::newRow("up to the root") << "Caverns/Island.png"
                                    << "" << int(S::Moved) << ""
                                    << QStringList{"Caverns=", "Dune.png=map", "Island.png=island"}
                                    << QStringList{"DUNE.png=old"};
    QTest::newRow("already there") << "Dune.png"
                                   << "" << int(S::AlreadyThere) << "'Dune.png' is already in that folder."
                                   << QStringList{"Caverns=", "Dune.png=map"}
                                   << QStringList{"DUNE.png=old", "Island.png=island"};
    QTest::newRow("target gone") << "Dune.png"
                                 << "Gone" << int(S::Failed)
                                 << "The map 'Dune.png' could not be moved: the folder is no longer there."
                                 << QStringList{"Caverns=", "Dune.png=map"}
                                 << QStringList{"DUNE.png=old", "Island.png=island"};
    QTest::newRow("source gone") << "Missing.png"
                                 << "Caverns" << int(S::Failed)
                                 << "The map 'Missing.png' could not be moved: the file " +
                                        QDir::toNativeSeparators(QStringLiteral("@/SavedLevels/Missing.png")) +
                                        " does not exist."
                                 << QStringList{"Caverns=", "Dune.png=map"}
                                 << QStringList{"DUNE.png=old", "Island.png=island"};
}

void TestMapsCore::moveMap()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(QStringList, root);
    QFETCH(QStringList, caverns);

    TestUserFolder f;
    f.writeFile(QStringLiteral("SavedLevels/Dune.png"), "map");
    f.writeFile(QStringLiteral("SavedLevels/Caverns/Island.png"), "island");
    f.writeFile(QStringLiteral("SavedLevels/Caverns/DUNE.png"), "old");
    const MapFiles::MoveResult result = MapFiles::moveMap(f.path(QStringLiteral("SavedLevels/") + source),
                                                          f.path(QStringLiteral("SavedLevels/") + target));
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.message, QString(message).replace(QLatin1Char('@'), QDir::toNativeSeparators(f.user())));
    QCOMPARE(contents(f, QStringLiteral("SavedLevels")), root);
    QCOMPARE(contents(f, QStringLiteral("SavedLevels/Caverns")), caverns);
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

    const QString root = QStringLiteral("/g/User/SavedLevels");
    using K = MapDrag::Kind;
    QTest::newRow("own drag") << root + "/Caverns/Dune.png"
                              << QStringList{"file:///g/User/SavedLevels/Caverns/Dune.png"} << K::OwnMap
                              << root + "/Caverns/Dune.png" << QStringList();
    QTest::newRow("own type from another User folder")
        << QStringLiteral("/h/User/SavedLevels/Dune.png") << QStringList{"file:///h/User/SavedLevels/Dune.png"}
        << K::OutsideFiles << "" << QStringList{"/h/User/SavedLevels/Dune.png"};
    QTest::newRow("own type naming the root itself") << root << QStringList() << K::Nothing << "" << QStringList();
    QTest::newRow("own type climbing out")
        << root + "/../Games/x.WAgame" << QStringList() << K::Nothing << "" << QStringList();
    QTest::newRow("desktop files") << "" << QStringList{"file:///home/me/a.png", "file:///home/me/b b.txt"}
                                   << K::OutsideFiles << "" << QStringList{"/home/me/a.png", "/home/me/b b.txt"};
    QTest::newRow("desktop file inside SavedLevels") << "" << QStringList{"file:///g/User/SavedLevels/x.png"}
                                                     << K::OutsideFiles << "" << QStringList{root + "/x.png"};
    QTest::newRow("web addresses only") << "" << QStringList{"https://www.wmdb.org/"} << K::Nothing << ""
                                        << QStringList();
    QTest::newRow("web and local") << "" << QStringList{"https://www.wmdb.org/", "file:///tmp/m.png"} << K::OutsideFiles
                                   << "" << QStringList{"/tmp/m.png"};
    QTest::newRow("nothing") << "" << QStringList() << K::Nothing << "" << QStringList();
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
