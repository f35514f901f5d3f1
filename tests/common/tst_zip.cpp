#include "common/core/ZipReader.h"
#include "common/core/ZipWriter.h"
#include "support/TestZips.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

using Entries = QMap<QString, QByteArray>; // name -> content; folders end with '/' and map to ""

// Reads an archive back with libzip itself, checking every entry's CRC.
Entries readBack(const QString& path, bool* ok)
{
    Entries entries;
    *ok = false;
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CHECKCONS | ZIP_RDONLY, &error);
    if (!archive)
        return entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        QByteArray data(static_cast<int>(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (!file || zip_fread(file, data.data(), stat.size) != static_cast<zip_int64_t>(stat.size)) {
            zip_discard(archive);
            return entries;
        }
        zip_fclose(file);
        entries.insert(QString::fromUtf8(stat.name), data);
    }
    zip_close(archive);
    *ok = true;
    return entries;
}

QByteArray fileContent(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

Q_DECLARE_METATYPE(QList<TestZips::ZipEntry>)

// Zip archives read (the bank import's archives may be hostile) and written
// (the games' export), each checked against libzip itself.
class TestZip : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hostileArchivesAreRefused_data();
    void hostileArchivesAreRefused();
    void sizesAreCountedWhileUnpacking();
    void writesFilesDataAndFolders();
    void failedWriteLeavesOldArchive();
    void entryNames_data();
    void entryNames();

private:
    QTemporaryDir m_dir;
};

void TestZip::hostileArchivesAreRefused_data()
{
    QTest::addColumn<QList<TestZips::ZipEntry>>("entries");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("good") << QList<TestZips::ZipEntry>{{"Bob/", ""}, {"Bob/./Hello.wav", "x"}} << QString();
    QTest::newRow("traversal") << QList<TestZips::ZipEntry>{{"Bob/../../evil.wav", "x"}} << "a step up";
    QTest::newRow("traversal with backslashes")
        << QList<TestZips::ZipEntry>{{"Bob\\..\\..\\evil.wav", "x"}} << "a step up";
    QTest::newRow("absolute path") << QList<TestZips::ZipEntry>{{"/tmp/evil.wav", "x"}} << "an absolute path";
    QTest::newRow("drive") << QList<TestZips::ZipEntry>{{"C:/evil.wav", "x"}} << "a drive";
    QTest::newRow("link") << QList<TestZips::ZipEntry>{{"Bob/Hello.wav", "/etc/passwd", true}} << "is a link";
    QList<TestZips::ZipEntry> many;
    for (int i = 0; i < 11; ++i)
        many.append({"Bob/" + QByteArray::number(i) + ".wav", "x"});
    QTest::newRow("too many entries") << many << "holds 11 entries; more than 10";
    QTest::newRow("too large") << QList<TestZips::ZipEntry>{{"a.wav", QByteArray(600, 'a')},
                                                            {"b.wav", QByteArray(600, 'b')}}
                               << "unpacks to more than";
}

void TestZip::hostileArchivesAreRefused()
{
    QFETCH(QList<TestZips::ZipEntry>, entries);
    QFETCH(QString, refusal);
    const QString path = m_dir.filePath(QStringLiteral("bank.zip"));
    QVERIFY(TestZips::makeZip(path, entries));
    ZipReader reader(path, ZipReader::Limits{10, 1000});
    QCOMPARE(reader.open(), refusal.isEmpty());
    QVERIFY2(reader.errorString().contains(refusal), qPrintable(reader.errorString()));
    if (refusal.isEmpty()) {
        QCOMPARE(reader.entries().size(), 2);
        QCOMPARE(reader.entries().at(1).name, QStringLiteral("Bob/Hello.wav"));
    }
}

void TestZip::sizesAreCountedWhileUnpacking()
{
    // An archive whose headers claim 10 bytes for an entry of 2000.
    const QString path = m_dir.filePath(QStringLiteral("bomb.zip"));
    QVERIFY(TestZips::makeZip(path, {{"Hello.wav", QByteArray(2000, 'z')}}));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    for (const QByteArray& signature : {QByteArray("PK\3\4"), QByteArray("PK\1\2")}) {
        const int at = bytes.indexOf(signature);
        QVERIFY(at >= 0);
        const int sizeOffset = at + (signature == "PK\3\4" ? 22 : 24); // uncompressed size
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + sizeOffset), 2000u);
        qToLittleEndian<quint32>(10, bytes.data() + sizeOffset);
    }
    file.seek(0);
    file.write(bytes);
    file.close();

    ZipReader reader(path, ZipReader::Limits{10, 1000});
    QVERIFY2(reader.open(), qPrintable(reader.errorString()));
    QCOMPARE(reader.entries().value(0).size, qint64(10));
    const QString out = m_dir.filePath(QStringLiteral("Hello.wav"));
    QVERIFY(!reader.extract(0, out));
    QVERIFY2(reader.errorString().contains("unpacks to more than"), qPrintable(reader.errorString()));
    QVERIFY(!QFile::exists(out));

    // Not a zip at all.
    const QString text = m_dir.filePath(QStringLiteral("words.zip"));
    writeFile(text, "no archive here");
    ZipReader notZip(text);
    QVERIFY(!notZip.open());
    QCOMPARE(notZip.errorString(), QDir::toNativeSeparators(text) + " is not a zip archive.");
}

void TestZip::writesFilesDataAndFolders()
{
    QTemporaryDir dir;
    QByteArray big(300000, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((static_cast<quint32>(i) * 7919u) >> 3);
    writeFile(dir.filePath("game.WAgame"), big);
    writeFile(dir.filePath("old.zip"), "old archive");

    ZipWriter writer(dir.filePath("old.zip"));
    QVERIFY(writer.addFile(QStringLiteral("League/Åsa vs Łukasz.WAgame"), dir.filePath("game.WAgame")));
    QVERIFY(writer.addData(QStringLiteral("League/Åsa vs Łukasz.log"), "log text"));
    QVERIFY(writer.addData(QStringLiteral("empty.txt"), QByteArray()));
    QVERIFY(writer.addFolder(QStringLiteral("Empty/Inner")));
    QCOMPARE(fileContent(dir.filePath("old.zip")), QByteArray("old archive")); // nothing written before commit
    QVERIFY2(writer.commit(), qPrintable(writer.errorString()));

    bool ok = false;
    const Entries entries = readBack(dir.filePath("old.zip"), &ok);
    QVERIFY(ok);
    const Entries expected{{"League/", ""},
                           {"League/Åsa vs Łukasz.WAgame", big},
                           {"League/Åsa vs Łukasz.log", "log text"},
                           {"empty.txt", ""},
                           {"Empty/", ""},
                           {"Empty/Inner/", ""}};
    QCOMPARE(entries.keys(), expected.keys());
    QVERIFY(entries == expected);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary left over

    // An archive with no entries is still a valid (empty) zip.
    ZipWriter empty(dir.filePath("empty.zip"));
    QVERIFY(empty.commit());
    QVERIFY(readBack(dir.filePath("empty.zip"), &ok).isEmpty());
    QVERIFY(ok);
}

void TestZip::failedWriteLeavesOldArchive()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("a.WAgame"), "replay");
    writeFile(dir.filePath("out.zip"), "old archive");
    {
        ZipWriter writer(dir.filePath("out.zip"));
        QVERIFY(writer.addFile(QStringLiteral("a.WAgame"), dir.filePath("a.WAgame")));
        QVERIFY(!writer.addFile(QStringLiteral("b.WAgame"), dir.filePath("missing.WAgame")));
        QVERIFY(!writer.errorString().isEmpty());
        QFile::remove(dir.filePath("a.WAgame")); // vanishes before the archive is written
        QVERIFY(!writer.commit());
        QVERIFY(!writer.errorString().isEmpty());
    }
    {
        ZipWriter abandoned(dir.filePath("out.zip"));
        QVERIFY(abandoned.addData(QStringLiteral("x"), "never written"));
    }
    QCOMPARE(fileContent(dir.filePath("out.zip")), QByteArray("old archive"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.zip"});

    // A folder that cannot be written to: a clear failure, no file.
    ZipWriter nowhere(dir.filePath("no/such/folder/out.zip"));
    QVERIFY(nowhere.addData(QStringLiteral("x"), "data"));
    QVERIFY(!nowhere.commit());
    QVERIFY(!nowhere.errorString().isEmpty());
}

void TestZip::entryNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "a.wav" << true;
    QTest::newRow("nested") << "Scheme/Sub/a.wav" << true;
    QTest::newRow("folder") << "Scheme/" << true;
    QTest::newRow("dots inside a name") << "a..b/c...wav" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("absolute") << "/etc/passwd" << false;
    QTest::newRow("parent") << "../a.wav" << false;
    QTest::newRow("parent inside") << "Scheme/../../a.wav" << false;
    QTest::newRow("dot part") << "./a.wav" << false;
    QTest::newRow("backslash") << "..\\a.wav" << false;
    QTest::newRow("drive") << "C:/Windows/a.wav" << false;
    QTest::newRow("drive relative") << "C:a.wav" << false;
    QTest::newRow("empty part") << "Scheme//a.wav" << false;
    QTest::newRow("double trailing slash") << "Scheme//" << false;
    QTest::newRow("control character") << "a\nb.wav" << false;
}

void TestZip::entryNames()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(ZipWriter::isSafeEntryName(name), safe);
    if (safe || name.isEmpty())
        return;
    // The writer refuses what the rule refuses, and writes nothing for it.
    QTemporaryDir dir;
    ZipWriter writer(dir.filePath("out.zip"));
    QVERIFY(!writer.addData(name, "x"));
    QVERIFY(writer.commit());
    bool ok = false;
    QVERIFY(readBack(dir.filePath("out.zip"), &ok).isEmpty());
    QVERIFY(ok);
}

QTEST_GUILESS_MAIN(TestZip)
#include "tst_zip.moc"
