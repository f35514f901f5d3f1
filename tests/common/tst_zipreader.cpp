#include "common/core/ZipReader.h"
#include "support/TestZips.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

Q_DECLARE_METATYPE(QList<TestZips::ZipEntry>)

class TestZipReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hostileArchivesAreRefused_data();
    void hostileArchivesAreRefused();
    void sizesAreCountedWhileUnpacking();

private:
    QTemporaryDir m_dir;
};

void TestZipReader::hostileArchivesAreRefused_data()
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

void TestZipReader::hostileArchivesAreRefused()
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

void TestZipReader::sizesAreCountedWhileUnpacking()
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
    QFile words(text);
    QVERIFY(words.open(QIODevice::WriteOnly));
    words.write("no archive here");
    words.close();
    ZipReader notZip(text);
    QVERIFY(!notZip.open());
    QCOMPARE(notZip.errorString(), QDir::toNativeSeparators(text) + " is not a zip archive.");
}

QTEST_GUILESS_MAIN(TestZipReader)
#include "tst_zipreader.moc"
