#include "common/core/AppInfo.h"
#include "common/core/UserPaths.h"
#include "sounds/DeviceProbe.h"
#include "sounds/SoundFiles.h"
#include "sounds/WavReader.h"
#include "sounds/core/SchemeStore.h"
#include "sounds/core/SoundClip.h"
#include "sounds/core/SpeechBank.h"
#include "sounds/core/WavFile.h"
#include "sounds/core/WaveDevice.h"
#include "sounds/core/WaveRecorder.h"
#include "support/FakePrompter.h"
#include "support/SyntheticBackend.h"
#include "support/TestFolders.h"
#include "support/TestZips.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

const QString crlf = QStringLiteral("\r\n");
const CommandDevice::Error kFail = CommandDevice::UnrecognizedCommand;

QString formatOf(int rate, int channels, int bits)
{
    return WaveRecorder::formatCommand(rate, qint16(channels), qint16(bits));
}

// The device's mode, position and length: "playing 750/1000".
QString state(CommandDevice& device)
{
    return ask(device, "status capture mode") + ' ' + ask(device, "status capture position") + '/' +
           ask(device, "status capture length");
}

qint64 residentBytes() // of this process
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    return statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ').value(1).toLongLong() * 4096 : -1;
}

// The header of a saved WAV file and its size, as WavHeader sums them up.
QString savedHeader(const QString& path)
{
    QFile file(path);
    return WavHeader::parse(file.open(QIODevice::ReadOnly) ? file.read(68) : QByteArray(), file.size()).summary;
}

// Sign changes per second of the first channel: twice the tone's pitch.
double crossingsPerSecond(const SoundClip::Audio& audio)
{
    int crossings = 0;
    for (qint64 f = 1; f < audio.frames(); ++f)
        crossings +=
            (audio.samples[size_t((f - 1) * audio.channels)] < 0) != (audio.samples[size_t(f * audio.channels)] < 0);
    return audio.frames() > 0 ? crossings * double(audio.rate) / double(audio.frames()) : 0;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A recorder operation.
using Op = std::function<void(WaveRecorder&)>;

} // namespace

Q_DECLARE_METATYPE(Op)
Q_DECLARE_METATYPE(PcmFormat)
Q_DECLARE_METATYPE(QList<TestZips::ZipEntry>)

class TestSoundsCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void recordingFormats_data();
    void recordingFormats();
    void commandsAndFailureMessages_data();
    void commandsAndFailureMessages();
    void statistics_data();
    void statistics();
    void deviceRecordsStopsAndPlaysInRealTime();
    void longRecordingStaysOnDisk();
    void recordingStopsAtItsLimit_data();
    void recordingStopsAtItsLimit();
    void settings_data();
    void settings();
    void schemeCreate_data();
    void schemeCreate();
    void schemeFilesStayInTheirScheme();
    void anyFileBecomesAWavInTheBankFormat_data();
    void anyFileBecomesAWavInTheBankFormat();
    void wavInTheBankFormatIsCopiedByteForByte();
    void undecodableFileChangesNothing();
    void trimAndNormalise_data();
    void trimAndNormalise();
    void bankImportTakesOnlySpeechSounds_data();
    void bankImportTakesOnlySpeechSounds();

private:
    QTemporaryDir m_config;
    QTemporaryDir m_dir;
};

void TestSoundsCore::initTestCase()
{
    // The per-user settings store goes to a folder of this test.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
}

void TestSoundsCore::commandsAndFailureMessages_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("messages");
    const Op open = [](WaveRecorder& r) { r.openCaptureDevice(); };
    // The format of a recorder that has read no settings yet.
    const Op apply = [](WaveRecorder& r) { r.applyRecordingFormat(); };
    const Op record = [](WaveRecorder& r) { r.startRecording(); };
    const Op stop = [](WaveRecorder& r) { r.stopRecording(); };
    const Op position = [](WaveRecorder& r) { r.getCapturePosition(); };
    const Op play = [](WaveRecorder& r) { r.playFromPosition(1500); };
    const Op close = [](WaveRecorder& r) { r.closeCaptureDevice(); };
    const Op statistics = [](WaveRecorder& r) { r.buildStatistics(); };
    auto row = [](const char* tag, const Op& op, const QString& failing, int error, const QStringList& messages) {
        QTest::newRow(tag) << op << failing << error << messages;
    };
    row("close all", open, "close all", kFail, {"Closing all MCI operations failed!"});
    row("open", open, "open new type waveaudio alias capture", kFail, {"Opening new wave failed!"});
    row("seek", apply, "seek capture to start", kFail, {"Starting recording failed!"});
    row("format", apply, formatOf(11025, 1, 16), CommandDevice::InconsistentFormat,
        {"Settings for recording not consistent"});
    row("record", record, "record capture", CommandDevice::InputFailed,
        {"Recording not possible, please restart your computer..."});
    row("record without input", record, "record capture", CommandDevice::NoInputDevice,
        {WaveRecorder::noInputMessage()});
    row("stop", stop, "stop capture", kFail, {"Stopping recording failed!"});
    row("position format", position, "set capture time format ms", kFail, {"Setting format in milliseconds failed!"});
    row("position", position, "status capture position", kFail, {"Finding position failed!", "Error in position"});
    row("play format", play, "set capture time format ms", kFail, {"Setting format in milliseconds failed!"});
    row("play", play, "play capture from 1500", CommandDevice::OutOfRange,
        {"Playing from indicated position failed!", "Play from position doesn't work...."});
    row("play without output", play, "play capture from 1500", CommandDevice::NoOutputDevice,
        {WaveRecorder::noOutputMessage()});
    row("close", close, "close capture", kFail, {"Closing MCI failed!"});
    row("statistics ms", statistics, "set capture time format ms", kFail,
        {"Setting time format in milliseconds failed!"});
    row("statistics bytes", statistics, "set capture time format bytes", kFail,
        {"Setting time format in bytes failed!"});
}

void TestSoundsCore::commandsAndFailureMessages()
{
    QFETCH(Op, op);
    QFETCH(QString, failing);
    QFETCH(int, error);
    QFETCH(QStringList, messages);
    // Working, the operation shows nothing; failing, it shows its messages
    // each time, in plain OK boxes, and goes on with its next command.
    DeviceProbe probe;
    FakePrompter prompter;
    WaveRecorder working(probe, prompter);
    op(working);
    QCOMPARE(prompter.texts(), QStringList());
    probe.failing.insert(failing, error);
    const int sent = probe.sent.size();
    WaveRecorder recorder(probe, prompter);
    op(recorder);
    op(recorder);
    QCOMPARE(prompter.texts(), messages + messages);
    QCOMPARE(prompter.boxes().first().icon, Prompter::Icon::None);
    QCOMPARE(probe.sent.size(), 3 * sent);
}

void TestSoundsCore::statistics_data()
{
    QTest::addColumn<QStringList>("answers"); // length in ms, length in bytes, channels, bits, rate
    QTest::addColumn<QString>("text");        // its two lines
    auto row = [](const char* tag, const QStringList& answers, const QString& length, const QString& format) {
        QTest::newRow(tag) << answers << "Length recording " + length + crlf + format + " samples per second ";
    };
    row("2.5 s mono 16-bit", {"2500", "55125", "1", "16", "11025"}, " 2.5 s ( 55125 bytes)",
        "Mono -  16 bits -  11025");
    row("stereo 8-bit", {"1234", "54419", "2", "8", "22050"}, " 1.234 s ( 54419 bytes)", "Stereo -  8 bits -  22050");
    row("3 channels", {"1000", "66150", "3", "16", "11025"}, " 1 s ( 66150 bytes)", " 16 bits -  11025");
    row("negative numbers", {"-1500", "-3", "1", "16", "11025"}, "-1.5 s (-3 bytes)", "Mono -  16 bits -  11025");
    row("no number in the answers", {"", "n/a", "x", "", "?"}, " 0 s ( 0 bytes)", " 0 bits -  0");
}

void TestSoundsCore::statistics()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, text);
    DeviceProbe probe;
    probe.answers.insert("status capture length", answers.mid(0, 2));
    probe.answers.insert("status capture channels", {answers[2]});
    probe.answers.insert("status capture bitspersample", {answers[3]});
    probe.answers.insert("status capture samplespersec", {answers[4]});
    FakePrompter prompter;
    WaveRecorder recorder(probe, prompter);
    recorder.buildStatistics();
    QCOMPARE(recorder.statisticsText(), text + crlf + crlf);
}

void TestSoundsCore::deviceRecordsStopsAndPlaysInRealTime()
{
    SyntheticDevice s;
    WaveDevice& device = *s.device;
    // Without sound hardware, opening, the format and the status work; recording does not.
    s.backend->setHasInput(false);
    s.backend->setHasOutput(false);
    QCOMPARE(code(device, "status capture mode"), int(CommandDevice::UnknownDevice)); // not open yet
    QCOMPARE(code(device, "open new type waveaudio alias capture") + code(device, formatOf(11025, 1, 16)), 0);
    QCOMPARE(code(device, "record capture"), int(CommandDevice::NoInputDevice));
    QCOMPARE(code(device, "play capture from 0"), 0); // nothing to play: needs no output

    s.backend->setHasInput(true);
    QCOMPARE(code(device, "record capture"), 0);
    s.now += 400;
    QCOMPARE(state(device), QStringLiteral("recording 400/400"));
    s.now += 600;
    QCOMPARE(code(device, "stop capture"), 0);
    s.now += 5000; // time after the stop adds nothing
    QCOMPARE(state(device), QStringLiteral("stopped 1000/1000"));
    QCOMPARE(code(device, "set capture time format bytes"), 0);
    QCOMPARE(state(device), QStringLiteral("stopped 22050/22050"));
    // The format is kept while a recording is held; without an output it cannot be heard.
    QCOMPARE(code(device, formatOf(22050, 1, 16)), int(CommandDevice::Busy));
    QCOMPARE(code(device, "play capture from 0"), int(CommandDevice::NoOutputDevice));

    // Play from 250 ms: the position follows the clock until the end.
    s.backend->setHasOutput(true);
    QCOMPARE(code(device, "set capture time format ms") + code(device, "play capture from 250"), 0);
    s.now += 500;
    QCOMPARE(state(device), QStringLiteral("playing 750/1000"));
    s.now += 300;
    QCOMPARE(state(device), QStringLiteral("stopped 1000/1000"));
    // A stopped playback keeps its position and the recording; playing from the end ends at once.
    QCOMPARE(code(device, "play capture from 0"), 0);
    s.now += 300;
    QCOMPARE(code(device, "stop capture"), 0);
    QCOMPARE(state(device), QStringLiteral("stopped 300/1000"));
    QCOMPARE(code(device, "play capture from 1000"), 0);
    QCOMPARE(state(device), QStringLiteral("stopped 1000/1000"));

    // An input that goes away while recording ends the recording with what it has.
    QCOMPARE(code(device, "record capture"), 0);
    s.now += 300;
    s.backend->loseInput();
    s.now += 300;
    QCOMPARE(state(device), QStringLiteral("stopped 300/300"));

    // Closing works with nothing open; opening again drops the recording and the format.
    QCOMPARE(code(device, "close all") + code(device, "close all"), 0);
    QCOMPARE(code(device, "close capture"), int(CommandDevice::UnknownDevice));
    QCOMPARE(code(device, "open new type waveaudio alias capture"), 0);
    QCOMPARE(state(device) + ' ' + ask(device, "status capture bitspersample"), QStringLiteral("stopped 0/0 8"));
    // Commands the device refuses change nothing.
    const std::pair<QString, int> refused[] = {{"save capture ", CommandDevice::MissingFileName},
                                               {formatOf(11025, 1, 12), CommandDevice::InconsistentFormat},
                                               {formatOf(11025, 0, 16), CommandDevice::InconsistentFormat},
                                               {"play capture from 10", CommandDevice::OutOfRange},
                                               {"open new type waveaudio alias capture", CommandDevice::AliasInUse}};
    for (const auto& [command, error] : refused) {
        QCOMPARE(code(device, command), error);
        QCOMPARE(state(device) + ' ' + ask(device, "status capture bitspersample"), QStringLiteral("stopped 0/0 8"));
    }
}

void TestSoundsCore::longRecordingStaysOnDisk()
{
    // The largest format: 192000 samples per second, 8 channels of 16 bits.
    SyntheticDevice s;
    CommandDevice& device = *s.device;
    QCOMPARE(code(device, "open new type waveaudio alias capture") + code(device, formatOf(192000, 8, 16)) +
                 code(device, "record capture") + code(device, "set capture time format bytes"),
             0);
    s.now += 2000;
    const qint64 before = residentBytes();
    // 40 s more, polled once a second: about 120 MB pass, memory stays put.
    for (int second = 0; second < 40; ++second) {
        s.now += 1000;
        QCOMPARE(ask(device, "status capture mode"), QStringLiteral("recording"));
    }
#ifndef QUILLANE_SANITIZED // freed memory stays resident in AddressSanitizer's quarantine
    QVERIFY2(residentBytes() - before < 32 << 20, qPrintable(QString::number(residentBytes() - before)));
#else
    Q_UNUSED(before)
#endif
    const QTemporaryDir dir;
    QCOMPARE(code(device, "save capture " + dir.filePath("long.wav")), 0);
    QCOMPARE(savedHeader(dir.filePath("long.wav")),
             QStringLiteral("RIFF 129024060 WAVE fmt  40 65534 8 192000 3072000 16 16 22 16 0 "
                            "0100000000001000800000aa00389b71 data 129024000, 129024068 bytes"));
}

void TestSoundsCore::recordingStopsAtItsLimit_data()
{
    QTest::addColumn<quint64>("fileBytes");
    QTest::addColumn<qint64>("limitMs");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QString>("notice");
    // 11025 samples per second, mono, 16 bits: 22050 bytes a second, 44 of header.
    QTest::newRow("size") << quint64(512 << 10) << Q_INT64_C(600000) << Q_INT64_C(524244)
                          << "The recording stopped at 512 KiB, the largest a WAV file can be";
    QTest::newRow("time") << quint64(4 << 20) << Q_INT64_C(120000) << Q_INT64_C(2646000)
                          << "The recording stopped after 2 minutes, the longest a recording can be";
}

void TestSoundsCore::recordingStopsAtItsLimit()
{
    QFETCH(quint64, fileBytes);
    QFETCH(qint64, limitMs);
    QFETCH(qint64, length);
    QFETCH(QString, notice);
    SyntheticDevice s(RecordingLimits{fileBytes, limitMs});
    CommandDevice& device = *s.device;
    QCOMPARE(code(device, "open new type waveaudio alias capture") + code(device, formatOf(11025, 1, 16)) +
                 code(device, "set capture time format bytes") + code(device, "record capture"),
             0);
    s.now += 150000; // past either limit
    QCOMPARE(state(device), QStringLiteral("stopped %1/%1").arg(length));
    QCOMPARE(device.takeEndNotice(), notice + "; what was recorded until then is kept.");
    QCOMPARE(device.takeEndNotice(), QString());
    // What was recorded is saved whole, within the limit.
    const QTemporaryDir dir;
    QCOMPARE(code(device, "save capture " + dir.filePath("take.wav")), 0);
    QCOMPARE(savedHeader(dir.filePath("take.wav")),
             QString::asprintf("RIFF %lld WAVE fmt  16 1 1 11025 22050 2 16 data %lld, %lld bytes", length + 36, length,
                               length + 44));
}

void TestSoundsCore::recordingFormats_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("ms");
    QTest::addColumn<QString>("header");
    auto row = [](const char* tag, int rate, int channels, int bits, int ms, const char* header) {
        QTest::newRow(tag) << rate << channels << bits << ms << QString(header);
    };
    row("11025 mono 16", 11025, 1, 16, 2000, "RIFF 44136 WAVE fmt  16 1 1 11025 22050 2 16 data 44100, 44144 bytes");
    row("22050 stereo 16", 22050, 2, 16, 1000, "RIFF 88236 WAVE fmt  16 1 2 22050 88200 4 16 data 88200, 88244 bytes");
    row("8-bit mono, odd size", 11025, 1, 8, 1, "RIFF 48 WAVE fmt  16 1 1 11025 11025 1 8 data 11, 56 bytes");
    // More than two channels take the extensible format, sub-format PCM.
    row("3 channels 16-bit", 11025, 3, 16, 1,
        "RIFF 126 WAVE fmt  40 65534 3 11025 66150 6 16 22 16 0 0100000000001000800000aa00389b71 data 66, 134 bytes");
    row("5 channels 8-bit, odd size", 11025, 5, 8, 1,
        "RIFF 116 WAVE fmt  40 65534 5 11025 55125 5 8 22 8 0 0100000000001000800000aa00389b71 data 55, 124 bytes");
    row("nothing recorded", 11025, 1, 16, 0, "RIFF 36 WAVE fmt  16 1 1 11025 22050 2 16 data 0, 44 bytes");
}

void TestSoundsCore::recordingFormats()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, bits);
    QFETCH(int, ms);
    QFETCH(QString, header);
    TestUserFolder folder;
    folder.makeDir("Speech/My Scheme");
    SyntheticDevice s;
    FakePrompter prompter;
    WaveRecorder recorder(*s.device, prompter);
    recorder.settings().rate = rate;
    recorder.settings().channels = qint16(channels);
    recorder.settings().resolution = qint16(bits);
    QVERIFY(s.record(recorder, ms));
    QVERIFY(recorder.saveRecording(folder.path("Speech/My Scheme/Hello.wav")));
    // Into a folder that is gone, the save fails and says so.
    const QString gone = folder.path("Speech/Gone/Hello.wav");
    QVERIFY(!recorder.saveRecording(gone));
    QCOMPARE(prompter.texts(), QStringList({"Saving file failed, file name was: " + QDir::toNativeSeparators(gone)}));
    // No short-name detour: the file bears its long name at once, nothing else is left.
    QCOMPARE(folder.entries("Speech/My Scheme"), QStringList({"Hello.wav"}));
    const WavHeader h = WavHeader::parse(folder.read("Speech/My Scheme/Hello.wav"));
    QCOMPARE(h.summary, header);
    QCOMPARE(h.data, SyntheticBackend::tone(PcmFormat{rate, channels, bits}, 0, h.dataSize / h.blockAlign));
}

void TestSoundsCore::settings_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("readAs"); // the value read, as it is written back
    auto row = [](const char* tag, const char* key, const char* stored, const char* readAs) {
        QTest::newRow(tag) << QString(key) << QString(stored) << QString(readAs);
    };
    row("first use", "", "", "");
    row("rate 22050", "Rate", "22050", "22050");
    row("channels 2", "Channels", "2", "2");
    row("resolution 8", "Resolution", "8", "8");
    row("rate not a number", "Rate", "fast", "11025");
    row("rate beyond 32 bits", "Rate", "99999999999", "11025");
    row("channels beyond 16 bits", "Channels", "70000", "1");
    row("resolution decimal", "Resolution", "16.5", "16");
    row("file name", "WaveFileName", "D:\\Takes\\a b.wav", "D:\\Takes\\a b.wav");
    row("automatic save False", "WaveAutomaticSave", "False", "False");
    row("automatic save other", "WaveAutomaticSave", "maybe", "True");
}

void TestSoundsCore::settings()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, readAs);
    const QString store = m_config.filePath(AppInfo::organisation() + "/AudioRecorder.conf");
    QFile::remove(store);
    if (!key.isEmpty()) {
        QSettings prepared(QSettings::UserScope, AppInfo::organisation(), "AudioRecorder");
        prepared.setValue("StartUp/" + key, stored);
    }
    RecorderSettings settings{1, 7, 9, "x", false}; // reading sets every value, stored or not
    settings.read();
    settings.write();

    // The store holds the five keys: their defaults, and the stored one as it was read.
    QMap<QString, QString> expected{{"Rate", "11025"},
                                    {"Channels", "1"},
                                    {"Resolution", "16"},
                                    {"WaveFileName", "C:\\Radio.wav"},
                                    {"WaveAutomaticSave", "True"}};
    if (!key.isEmpty())
        expected[key] = readAs;
    QSettings check(store, QSettings::IniFormat);
    check.beginGroup("StartUp");
    QMap<QString, QString> written;
    for (const QString& k : check.childKeys())
        written[k] = check.value(k).toString();
    QCOMPARE(written, expected);
    QCOMPARE(settings.waveAutomaticSave, expected["WaveAutomaticSave"] == "True");
}

void TestSoundsCore::schemeCreate_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    const int bad = int(SchemeStore::Created::BadName);
    QTest::newRow("plain") << "Bob" << int(SchemeStore::Created::Ok) << "";
    QTest::newRow("with blanks") << "My Scheme" << int(SchemeStore::Created::Ok) << "";
    QTest::newRow("existing, other case")
        << "jim" << int(SchemeStore::Created::Exists) << "There is already a scheme called jim.";
    QTest::newRow("path") << "../../Evil" << bad << "'../../Evil' is not a valid name: a name cannot contain / or \\.";
    QTest::newRow("hidden") << ".voices" << bad
                            << "'.voices' is not a valid name: a scheme name cannot start with a dot.";
}

void TestSoundsCore::schemeCreate()
{
    QFETCH(QString, name);
    QFETCH(int, result);
    QFETCH(QString, message);
    TestUserFolder folder;
    folder.makeDir("Speech/Jim");
    UserPaths paths(folder.user());
    SchemeStore store(paths);
    QString text;
    QCOMPARE(int(store.create(name, &text)), result);
    QCOMPARE(text, message);
    QStringList expected{"Jim"};
    if (result == int(SchemeStore::Created::Ok))
        expected.append(name);
    std::sort(expected.begin(), expected.end());
    QCOMPARE(folder.entries("Speech"), expected);
    // Nothing was made outside the Speech folder.
    QCOMPARE(folder.entries(QString()), QStringList({"Speech"}));
}

void TestSoundsCore::schemeFilesStayInTheirScheme()
{
    TestUserFolder folder;
    folder.writeFile("Speech/Bob/hello.wav", "old");
    folder.writeFile("Speech/Bob/readme.txt");
    folder.makeDir("Speech/Bob/Sub");
    folder.writeFile("Speech/Hello.wav");
    UserPaths paths(folder.user());
    SchemeStore store(paths);
    // Every file is a sound byte; the scheme is found whatever its case.
    QCOMPARE(store.soundBytes("bob"), QStringList({"hello.wav", "readme.txt"}));
    // Setting from a file replaces the sound byte of that name, found whatever its case.
    const PcmFormat bank{11025, 1, 16};
    const QByteArray take = WavFile::header(bank, 4) + "take";
    QVERIFY(store.setSoundByte("Bob", "Hello", folder.writeFile("../take.wav", take), bank));
    QCOMPARE(folder.entries("Speech/Bob"), QStringList({"Sub", "hello.wav", "readme.txt"}));
    QCOMPARE(folder.read("Speech/Bob/hello.wav"), take);

    // Removing takes files of a scheme only: never a folder, nor the Speech folder's own files.
    QVERIFY(!store.removeSoundByte("Bob", "Sub"));
    QVERIFY(!store.removeSoundByte("Bob", QString()));
    QVERIFY(!store.removeSoundByte(QString(), "Hello.wav"));
    QVERIFY(!store.remove(QString()));
    QVERIFY(!store.remove(".."));
    QVERIFY(store.removeSoundByte("Bob", "readme.txt"));
    QCOMPARE(folder.entries("Speech/Bob"), QStringList({"Sub", "hello.wav"}));
    QCOMPARE(folder.entries("Speech"), QStringList({"Bob", "Hello.wav"}));
}

void TestSoundsCore::anyFileBecomesAWavInTheBankFormat_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<PcmFormat>("bank");
    auto row = [](const char* tag, int format, int rate, int channels, PcmFormat bank) {
        QTest::newRow(tag) << format << rate << channels << bank;
    };
    row("float WAV, stereo to mono", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2, {11025, 1, 16});
    row("24-bit WAV, up to stereo 8-bit", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 8000, 1, {22050, 2, 8});
    row("16-bit WAV in another rate", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, {11025, 1, 16});
    row("FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 2, {11025, 1, 16});
    row("Ogg Vorbis", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 1, {22050, 1, 16});
    row("Opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000, 2, {44100, 2, 16});
    row("MP3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, {11025, 1, 16});
}

void TestSoundsCore::anyFileBecomesAWavInTheBankFormat()
{
    QFETCH(int, format);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(PcmFormat, bank);
    std::vector<float> samples;
    SoundFiles::addTone(samples, rate, channels, 1.0, 0.5);
    const QString source = m_dir.filePath(QTest::currentDataTag());
    QVERIFY(SoundFiles::write(source, format, rate, channels, samples));
    const QString target = m_dir.filePath(QStringLiteral("Hello.wav"));

    QString error;
    QVERIFY2(SoundClip::store(source, target, bank, {}, &error), qPrintable(error));
    const WavHeader wav = WavHeader::parse(contents(target));
    QCOMPARE(QString::asprintf("%u %u %u %u", wav.audioFormat, wav.rate, wav.channels, wav.bits),
             QString::asprintf("1 %d %d %d", bank.rate, bank.channels, bank.bits));
    SoundClip::Audio back;
    QVERIFY(SoundClip::decode(target, &back));
    // The same second of the same 440 Hz tone at half of full scale (lossy
    // codecs add a few milliseconds and a little error).
    QVERIFY2(qAbs(back.frames() - bank.rate) < bank.rate / 20, qPrintable(QString::number(back.frames())));
    QVERIFY2(qAbs(crossingsPerSecond(back) - 880) < 30, qPrintable(QString::number(crossingsPerSecond(back))));
    QVERIFY2(qAbs(SoundClip::peakDbfs(back) + 6.02) < 2.0, qPrintable(QString::number(SoundClip::peakDbfs(back))));
}

void TestSoundsCore::wavInTheBankFormatIsCopiedByteForByte()
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
    QCOMPARE(contents(target), contents(source));
    // In another format it is converted.
    QVERIFY(SoundClip::store(source, target, PcmFormat{11025, 1, 8}, {}));
    QCOMPARE(QFileInfo(target).size(), qint64(44 + 1000));
}

void TestSoundsCore::undecodableFileChangesNothing()
{
    const QTemporaryDir dir;
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

void TestSoundsCore::trimAndNormalise_data()
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

void TestSoundsCore::trimAndNormalise()
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

void TestSoundsCore::bankImportTakesOnlySpeechSounds_data()
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

void TestSoundsCore::bankImportTakesOnlySpeechSounds()
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

QTEST_GUILESS_MAIN(TestSoundsCore)
#include "tst_sounds_core.moc"
