#include "common/core/UserPaths.h"
#include "sounds/SoundFiles.h"
#include "sounds/WavReader.h"
#include "sounds/core/SchemeStore.h"
#include "sounds/core/SoundClip.h"
#include "sounds/core/SpeechBank.h"
#include "sounds/core/WavFile.h"
#include "support/TestFolders.h"
#include "support/TestZips.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// Sign changes per second of the first channel: twice the tone's pitch.
double crossingsPerSecond(const SoundClip::Audio& audio)
{
    int crossings = 0;
    for (qint64 f = 1; f < audio.frames(); ++f)
        crossings +=
            (audio.samples[size_t((f - 1) * audio.channels)] < 0) != (audio.samples[size_t(f * audio.channels)] < 0);
    return audio.frames() > 0 ? crossings * double(audio.rate) / double(audio.frames()) : 0;
}

} // namespace

Q_DECLARE_METATYPE(QList<TestZips::ZipEntry>)

class TestSoundClips : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void anyFileBecomesAWavInTheBankFormat_data();
    void anyFileBecomesAWavInTheBankFormat();
    void wavInTheBankFormatIsCopiedByteForByte();
    void undecodableFileChangesNothing();
    void trimAndNormalise_data();
    void trimAndNormalise();
    void bankImportTakesOnlySpeechSounds_data();
    void bankImportTakesOnlySpeechSounds();

private:
    QTemporaryDir m_dir;
};

void TestSoundClips::anyFileBecomesAWavInTheBankFormat_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bankRate");
    QTest::addColumn<int>("bankChannels");
    QTest::addColumn<int>("bankBits");
    QTest::newRow("float WAV, stereo to mono") << (SF_FORMAT_WAV | SF_FORMAT_FLOAT) << 44100 << 2 << 11025 << 1 << 16;
    QTest::newRow("24-bit WAV, up to stereo 8-bit")
        << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 8000 << 1 << 22050 << 2 << 8;
    QTest::newRow("16-bit WAV in another rate") << (SF_FORMAT_WAV | SF_FORMAT_PCM_16) << 22050 << 1 << 11025 << 1 << 16;
    QTest::newRow("FLAC") << (SF_FORMAT_FLAC | SF_FORMAT_PCM_16) << 48000 << 2 << 11025 << 1 << 16;
    QTest::newRow("Ogg Vorbis") << (SF_FORMAT_OGG | SF_FORMAT_VORBIS) << 44100 << 1 << 22050 << 1 << 16;
    QTest::newRow("Opus") << (SF_FORMAT_OGG | SF_FORMAT_OPUS) << 48000 << 2 << 44100 << 2 << 16;
    QTest::newRow("MP3") << (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) << 44100 << 2 << 11025 << 1 << 16;
}

void TestSoundClips::anyFileBecomesAWavInTheBankFormat()
{
    QFETCH(int, format);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, bankRate);
    QFETCH(int, bankChannels);
    QFETCH(int, bankBits);
    std::vector<float> samples;
    SoundFiles::addTone(samples, rate, channels, 1.0, 0.5);
    const QString source = m_dir.filePath(QTest::currentDataTag());
    QVERIFY(SoundFiles::write(source, format, rate, channels, samples));
    const QString target = m_dir.filePath(QStringLiteral("Hello.wav"));

    QString error;
    QVERIFY2(SoundClip::store(source, target, PcmFormat{bankRate, bankChannels, bankBits}, {}, &error),
             qPrintable(error));

    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const WavHeader wav = WavHeader::parse(file.readAll());
    QVERIFY(wav.valid);
    QCOMPARE(wav.audioFormat, quint16(1));
    QCOMPARE(int(wav.rate), bankRate);
    QCOMPARE(int(wav.channels), bankChannels);
    QCOMPARE(int(wav.bits), bankBits);
    SoundClip::Audio back;
    QVERIFY(SoundClip::decode(target, &back));
    // The same second of the same 440 Hz tone at half of full scale (lossy
    // codecs add a few milliseconds and a little error).
    QVERIFY2(qAbs(back.frames() - bankRate) < bankRate / 20, qPrintable(QString::number(back.frames())));
    QVERIFY2(qAbs(crossingsPerSecond(back) - 880) < 30, qPrintable(QString::number(crossingsPerSecond(back))));
    QVERIFY2(qAbs(SoundClip::peakDbfs(back) + 6.02) < 2.0, qPrintable(QString::number(SoundClip::peakDbfs(back))));
}

void TestSoundClips::wavInTheBankFormatIsCopiedByteForByte()
{
    // A chunk after the samples is something a conversion would drop.
    const PcmFormat bank{11025, 1, 16};
    const QString source = m_dir.filePath(QStringLiteral("exact.wav"));
    QVERIFY(WavFile::write(source, bank, QByteArray(2000, '\x10')));
    QFile file(source);
    QVERIFY(file.open(QIODevice::Append));
    file.write(QByteArray("note\x04\0\0\0abcd", 12));
    file.close();
    const QString target = m_dir.filePath(QStringLiteral("Copy.wav"));
    QVERIFY(SoundClip::store(source, target, bank, {}));
    QFile a(source), b(target);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(b.readAll(), a.readAll());
    // In another format it is converted.
    QVERIFY(SoundClip::store(source, target, PcmFormat{11025, 1, 8}, {}));
    QCOMPARE(QFileInfo(target).size(), qint64(44 + 1000));
}

void TestSoundClips::undecodableFileChangesNothing()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("Keep.wav"));
    QVERIFY(WavFile::write(target, PcmFormat{11025, 1, 16}, QByteArray(100, '\x01')));
    const QString text = dir.filePath(QStringLiteral("notes.mp3"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("these are words, not sounds");
    file.close();
    for (const QString& source : {text, dir.filePath(QStringLiteral("missing.ogg"))}) {
        QString error;
        QVERIFY(!SoundClip::store(source, target, PcmFormat{11025, 1, 16}, {}, &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(source)), qPrintable(error));
        QCOMPARE(QFileInfo(target).size(), qint64(144));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"Keep.wav", "notes.mp3"}));
}

void TestSoundClips::trimAndNormalise_data()
{
    QTest::addColumn<bool>("trim");
    QTest::addColumn<bool>("normalise");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<double>("peak");
    // 0.25 s of silence, 0.25 s of a faint hum (-50 dBFS), 0.5 s of a tone at
    // -20 dBFS, 0.25 s of silence.
    QTest::newRow("as it is") << false << false << 1.25 << -20.0;
    QTest::newRow("trimmed") << true << false << 0.5 << -20.0;
    QTest::newRow("normalised") << false << true << 1.25 << -1.0;
    QTest::newRow("both") << true << true << 0.5 << -1.0;
}

void TestSoundClips::trimAndNormalise()
{
    QFETCH(bool, trim);
    QFETCH(bool, normalise);
    QFETCH(double, seconds);
    QFETCH(double, peak);
    const int rate = 22050;
    std::vector<float> samples;
    SoundFiles::addTone(samples, rate, 2, 0.25, 0);
    SoundFiles::addTone(samples, rate, 2, 0.25, std::pow(10.0, -50 / 20.0), 100);
    SoundFiles::addTone(samples, rate, 2, 0.5, 0.1);
    SoundFiles::addTone(samples, rate, 2, 0.25, 0);
    const QString source = m_dir.filePath(QStringLiteral("take.flac"));
    QVERIFY(SoundFiles::write(source, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, rate, 2, samples));
    const QString target = m_dir.filePath(QStringLiteral("Trimmed.wav"));
    QVERIFY(SoundClip::store(source, target, PcmFormat{11025, 1, 16}, SoundClip::Editing{trim, normalise}));
    SoundClip::Audio back;
    QVERIFY(SoundClip::decode(target, &back));
    QVERIFY2(qAbs(back.frames() / 11025.0 - seconds) < 0.01, qPrintable(QString::number(back.frames())));
    QVERIFY2(qAbs(SoundClip::peakDbfs(back) - peak) < 0.1, qPrintable(QString::number(SoundClip::peakDbfs(back))));
}

void TestSoundClips::bankImportTakesOnlySpeechSounds_data()
{
    QTest::addColumn<QList<TestZips::ZipEntry>>("entries");
    QTest::addColumn<QString>("made");
    QTest::addColumn<QString>("others");
    QTest::newRow("mixed") << QList<TestZips::ZipEntry>{{"x/notes.txt", "n"},
                                                        {"x/HELLO.WAV", "h"},
                                                        {"x/Extra.wav", "e"},
                                                        {"x/deep/hello.wav", "second"}}
                           << "Hello.wav"
                           << "x/notes.txt, x/Extra.wav, x/deep/hello.wav";
    QTest::newRow("nothing to take") << QList<TestZips::ZipEntry>{{"notes.txt", "n"}} << QString() << "notes.txt";
    // The second sound is damaged: nothing of the scheme is left behind.
    QTest::newRow("damaged halfway") << QList<TestZips::ZipEntry>{{"Hello.wav", "h"}, {"Jump1.wav", "DAMAGED"}}
                                     << QString() << QString();
}

void TestSoundClips::bankImportTakesOnlySpeechSounds()
{
    QFETCH(QList<TestZips::ZipEntry>, entries);
    QFETCH(QString, made);
    QFETCH(QString, others);
    TestUserFolder folder;
    folder.makeDir("Speech");
    const QString archive = folder.path("../bank.zip");
    QVERIFY(TestZips::makeZip(archive, entries));
    QFile file(archive);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes.replace("DAMAGED", "damaged");
    file.seek(0);
    file.write(bytes);
    file.close();

    UserPaths paths(folder.user());
    SchemeStore schemes(paths);
    SpeechBank::Contents contents;
    QString error;
    QCOMPARE(SpeechBank(schemes).importAs(archive, "New", &contents, &error), !made.isEmpty());
    QCOMPARE(folder.entries("Speech/New").join(", "), made);
    QCOMPARE(contents.others.join(", "), others);
    QCOMPARE(QDir(folder.path("Speech")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             made.isEmpty() ? QStringList() : QStringList({"New"}));
}

QTEST_GUILESS_MAIN(TestSoundClips)
#include "tst_sound_clips.moc"
