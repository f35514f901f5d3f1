// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/AppInfo.h"
#include "common/core/UserPaths.h"
#include "sounds/DeviceProbe.h"
#include "sounds/SoundFiles.h"
#include "sounds/WavReader.h"
#include "sounds/core/MicrophoneChoice.h"
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
#include <QProcess>
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

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

// A recorder operation.
using Op = std::function<void(WaveRecorder&)>;

} // namespace

class TestSoundsCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void recordingFormats();
    void commandsAndFailureMessages();
    void statistics();
    void deviceRecordsStopsAndPlaysInRealTime();
    void longRecordingStaysOnDisk();
    void recordingStopsAtItsLimit();
    void settings();
    void microphoneChoice();
    void schemeCreate();
    void schemeFilesStayInTheirScheme();
    void anyFileBecomesAWavInTheBankFormat();
    void storeCopiesConvertsOrLeavesTheTarget();
    void trimAndNormalise();
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

void TestSoundsCore::commandsAndFailureMessages()
{
    const Op open = [](WaveRecorder& r) { r.openCaptureDevice(); };
    // The format of a recorder that has read no settings yet.
    const Op apply = [](WaveRecorder& r) { r.applyRecordingFormat(); };
    const Op record = [](WaveRecorder& r) { r.startRecording(); };
    const Op position = [](WaveRecorder& r) { r.getCapturePosition(); };
    const Op play = [](WaveRecorder& r) { r.playFromPosition(1500); };
    const Op statistics = [](WaveRecorder& r) { r.buildStatistics(); };
    const struct {
        Op op;
        QString failing;
        int error;
        QStringList messages;
    } rows[] = {
        {open, "close all", kFail, {"Closing all MCI operations failed!"}},
        {open, "open new type waveaudio alias capture", kFail, {"Opening new wave failed!"}},
        {apply, "seek capture to start", kFail, {"Starting recording failed!"}},
        {apply, formatOf(11025, 1, 16), CommandDevice::InconsistentFormat, {"Settings for recording not consistent"}},
        {record,
         "record capture",
         CommandDevice::InputFailed,
         {"Recording not possible, please restart your computer..."}},
        {record, "record capture", CommandDevice::NoInputDevice, {WaveRecorder::noInputMessage()}},
        {[](WaveRecorder& r) { r.stopRecording(); }, "stop capture", kFail, {"Stopping recording failed!"}},
        {position, "set capture time format ms", kFail, {"Setting format in milliseconds failed!"}},
        {position, "status capture position", kFail, {"Finding position failed!", "Error in position"}},
        {play, "set capture time format ms", kFail, {"Setting format in milliseconds failed!"}},
        {play,
         "play capture from 1500",
         CommandDevice::OutOfRange,
         {"Playing from indicated position failed!", "Play from position doesn't work...."}},
        {play, "play capture from 1500", CommandDevice::NoOutputDevice, {WaveRecorder::noOutputMessage()}},
        {[](WaveRecorder& r) { r.closeCaptureDevice(); }, "close capture", kFail, {"Closing MCI failed!"}},
        {statistics, "set capture time format ms", kFail, {"Setting time format in milliseconds failed!"}},
        {statistics, "set capture time format bytes", kFail, {"Setting time format in bytes failed!"}},
    };
    for (const auto& row : rows) {
        // Working, the operation shows nothing; failing, it shows its messages
        // each time, in plain OK boxes, and goes on with its next command.
        DeviceProbe probe;
        FakePrompter prompter;
        WaveRecorder working(probe, prompter);
        row.op(working);
        QCOMPARE(prompter.texts(), QStringList());
        probe.failing.insert(row.failing, row.error);
        const int sent = probe.sent.size();
        WaveRecorder recorder(probe, prompter);
        row.op(recorder);
        row.op(recorder);
        QCOMPARE(prompter.texts(), row.messages + row.messages);
        QCOMPARE(prompter.boxes().first().icon, Prompter::Icon::None);
        QCOMPARE(probe.sent.size(), 3 * sent);
    }
}

void TestSoundsCore::statistics()
{
    // The device's answers (length in ms, length in bytes, channels, bits, rate) and the text's two lines.
    const struct {
        QStringList answers;
        QString length, format;
    } rows[] = {
        {{"2500", "55125", "1", "16", "11025"}, " 2.5 s ( 55125 bytes)", "Mono -  16 bits -  11025"},
        {{"1234", "54419", "2", "8", "22050"}, " 1.234 s ( 54419 bytes)", "Stereo -  8 bits -  22050"},
        {{"1000", "66150", "3", "16", "11025"}, " 1 s ( 66150 bytes)", " 16 bits -  11025"},
        {{"-1500", "-3", "1", "16", "11025"}, "-1.5 s (-3 bytes)", "Mono -  16 bits -  11025"},
        {{"", "n/a", "x", "", "?"}, " 0 s ( 0 bytes)", " 0 bits -  0"},
    };
    for (const auto& row : rows) {
        DeviceProbe probe;
        probe.answers.insert("status capture length", row.answers.mid(0, 2));
        probe.answers.insert("status capture channels", {row.answers[2]});
        probe.answers.insert("status capture bitspersample", {row.answers[3]});
        probe.answers.insert("status capture samplespersec", {row.answers[4]});
        FakePrompter prompter;
        WaveRecorder recorder(probe, prompter);
        recorder.buildStatistics();
        QCOMPARE(recorder.statisticsText(),
                 "Length recording " + row.length + crlf + row.format + " samples per second " + crlf + crlf);
    }
}

void TestSoundsCore::deviceRecordsStopsAndPlaysInRealTime()
{
    SyntheticDevice s;
    WaveDevice& device = *s.device;
    // Without sound hardware, opening, the format and the status work; recording does not.
    s.backend->options.hasInput = false;
    s.backend->options.hasOutput = false;
    QCOMPARE(code(device, "status capture mode"), int(CommandDevice::UnknownDevice)); // not open yet
    QCOMPARE(code(device, "open new type waveaudio alias capture") + code(device, formatOf(11025, 1, 16)), 0);
    QCOMPARE(code(device, "record capture"), int(CommandDevice::NoInputDevice));
    QCOMPARE(code(device, "play capture from 0"), 0); // nothing to play: needs no output

    s.backend->options.hasInput = true;
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
    s.backend->options.hasOutput = true;
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
                                               {formatOf(11025, 2, 12), CommandDevice::InconsistentFormat},
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

void TestSoundsCore::recordingStopsAtItsLimit()
{
    // 11025 samples per second, mono, 16 bits: 22050 bytes a second, 44 of header.
    const struct {
        RecordingLimits limits;
        qint64 length;
        QString notice;
    } rows[] = {
        {{512 << 10, 600000}, 524244, "The recording stopped at 512 KiB, the largest a WAV file can be"},
        {{4 << 20, 120000}, 2646000, "The recording stopped after 2 minutes, the longest a recording can be"},
    };
    for (const auto& row : rows) {
        SyntheticDevice s(row.limits);
        CommandDevice& device = *s.device;
        QCOMPARE(code(device, "open new type waveaudio alias capture") + code(device, formatOf(11025, 1, 16)) +
                     code(device, "set capture time format bytes") + code(device, "record capture"),
                 0);
        s.now += 150000; // past either limit
        QCOMPARE(state(device), QStringLiteral("stopped %1/%1").arg(row.length));
        QCOMPARE(device.takeEndNotice(), row.notice + "; what was recorded until then is kept.");
        QCOMPARE(device.takeEndNotice(), QString());
        // What was recorded is saved whole, within the limit.
        QCOMPARE(code(device, "save capture " + m_dir.filePath("take.wav")), 0);
        QCOMPARE(savedHeader(m_dir.filePath("take.wav")),
                 QString::asprintf("RIFF %lld WAVE fmt  16 1 1 11025 22050 2 16 data %lld, %lld bytes", row.length + 36,
                                   row.length, row.length + 44));
    }
}

void TestSoundsCore::recordingFormats()
{
    const struct {
        PcmFormat format;
        int ms;
        QString header;
    } rows[] = {
        {{11025, 1, 16}, 2000, "RIFF 44136 WAVE fmt  16 1 1 11025 22050 2 16 data 44100, 44144 bytes"},
        {{22050, 2, 16}, 1000, "RIFF 88236 WAVE fmt  16 1 2 22050 88200 4 16 data 88200, 88244 bytes"},
        {{11025, 1, 8}, 1, "RIFF 48 WAVE fmt  16 1 1 11025 11025 1 8 data 11, 56 bytes"}, // odd size
        // More than two channels take the extensible format, sub-format PCM.
        {{11025, 3, 16},
         1,
         "RIFF 126 WAVE fmt  40 65534 3 11025 66150 6 16 22 16 0 0100000000001000800000aa00389b71 data 66, 134 bytes"},
        {{11025, 5, 8},
         1,
         "RIFF 116 WAVE fmt  40 65534 5 11025 55125 5 8 22 8 0 0100000000001000800000aa00389b71 data 55, 124 bytes"},
        {{11025, 1, 16}, 0, "RIFF 36 WAVE fmt  16 1 1 11025 22050 2 16 data 0, 44 bytes"}, // nothing recorded
    };
    for (const auto& row : rows) {
        TestUserFolder folder;
        folder.makeDir("Speech/My Scheme");
        SyntheticDevice s;
        FakePrompter prompter;
        WaveRecorder recorder(*s.device, prompter);
        recorder.settings().rate = row.format.rate;
        recorder.settings().channels = qint16(row.format.channels);
        recorder.settings().resolution = qint16(row.format.bits);
        QVERIFY(s.record(recorder, row.ms));
        QVERIFY(recorder.saveRecording(folder.path("Speech/My Scheme/Hello.wav")));
        // Into a folder that is gone, the save fails and says so.
        const QString gone = folder.path("Speech/Gone/Hello.wav");
        QVERIFY(!recorder.saveRecording(gone));
        QCOMPARE(prompter.texts(),
                 QStringList({"Saving file failed, file name was: " + QDir::toNativeSeparators(gone)}));
        // No short-name detour: the file bears its long name at once, nothing else is left.
        QCOMPARE(folder.entries("Speech/My Scheme"), QStringList({"Hello.wav"}));
        const WavHeader h = WavHeader::parse(folder.read("Speech/My Scheme/Hello.wav"));
        QCOMPARE(h.summary, row.header);
        QCOMPARE(h.data, SyntheticBackend::tone(row.format, 0, h.dataSize / row.format.alignment()));
    }
}

void TestSoundsCore::settings()
{
    // A value stored under a key and the value read, as it is written back.
    const struct {
        QString key, stored, readAs;
    } rows[] = {
        {"", "", ""}, // first use
        {"Rate", "22050", "22050"},
        {"Channels", "2", "2"},
        {"Resolution", "8", "8"},
        {"Rate", "fast", "11025"},
        {"Rate", "99999999999", "11025"}, // beyond 32 bits
        {"Channels", "70000", "1"},       // beyond 16 bits
        {"Resolution", "16.5", "16"},
        {"WaveFileName", "D:\\Takes\\a b.wav", "D:\\Takes\\a b.wav"},
        {"WaveAutomaticSave", "False", "False"},
        {"WaveAutomaticSave", "maybe", "True"},
    };
    const QString store = m_config.filePath(AppInfo::organisation() + "/AudioRecorder.conf");
    for (const auto& row : rows) {
        QFile::remove(store);
        if (!row.key.isEmpty()) {
            QSettings prepared(QSettings::UserScope, AppInfo::organisation(), "AudioRecorder");
            prepared.setValue("StartUp/" + row.key, row.stored);
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
        if (!row.key.isEmpty())
            expected[row.key] = row.readAs;
        QSettings check(store, QSettings::IniFormat);
        check.beginGroup("StartUp");
        QMap<QString, QString> written;
        for (const QString& k : check.childKeys())
            written[k] = check.value(k).toString();
        QCOMPARE(written, expected);
        QCOMPARE(settings.waveAutomaticSave, expected["WaveAutomaticSave"] == "True");
    }
}

void TestSoundsCore::microphoneChoice()
{
    // Qt lists a monitor first and marks it default; the server's default is the
    // headset, named by the source name that Qt uses as id.
    const QList<AudioInput> inputs{
        {"sink.monitor", "Monitor of Speakers", true}, {"usb.cam", "Webcam", false}, {"usb.headset", "Headset", false}};
    const struct {
        QList<AudioInput> inputs;
        QByteArray server, remembered;
        QByteArray opened;
        QString firstEntry, note;
    } rows[] = {
        {inputs, "usb.headset", "", "usb.headset", "System default (Headset)", ""},
        {inputs, "usb.headset", "usb.cam", "usb.cam", "System default (Headset)", ""},
        {inputs, "usb.headset", "usb.gone", "usb.headset", "System default (Headset)",
         "The microphone \"Old mic\" is not there; recording from the system default."},
        // No server, or one naming a source Qt does not list: Qt's default.
        {inputs, "", "", "sink.monitor", "System default (Monitor of Speakers)", ""},
        {inputs, "bluez.gone", "", "sink.monitor", "System default (Monitor of Speakers)", ""},
        {{},
         "usb.headset",
         "usb.cam",
         "",
         "System default",
         "The microphone \"Old mic\" is not there; recording from the system default."},
    };
    for (const auto& row : rows) {
        const MicrophoneChoice choice(row.inputs, row.server);
        const MicrophoneChoice::Resolved resolved = choice.resolve(row.remembered, "Old mic");
        QCOMPARE(resolved.id, row.opened);
        QCOMPARE(resolved.kept, row.remembered); // a gone choice is kept for when it comes back
        QCOMPARE(resolved.note, row.note);
        const QList<MicrophoneChoice::Entry> entries = choice.entries();
        QCOMPARE(entries.size(), row.inputs.size() + 1);
        QCOMPARE(entries.first().caption, row.firstEntry);
        QVERIFY(entries.first().id.isEmpty());
        for (qsizetype i = 0; i < row.inputs.size(); ++i)
            QCOMPARE(entries.at(i + 1).caption, row.inputs.at(i).description);
    }
}

void TestSoundsCore::schemeCreate()
{
    using Created = SchemeStore::Created;
    const struct {
        QString name;
        Created result;
        QString message;
    } rows[] = {
        {"Bob", Created::Ok, ""},
        {"My Scheme", Created::Ok, ""},
        {"jim", Created::Exists, "There is already a scheme called jim."},
        {"../../Evil", Created::BadName, "'../../Evil' is not a valid name: a name cannot contain / or \\."},
        {".voices", Created::BadName, "'.voices' is not a valid name: a scheme name cannot start with a dot."},
    };
    for (const auto& row : rows) {
        TestUserFolder folder;
        folder.makeDir("Speech/Jim");
        UserPaths paths(folder.user());
        SchemeStore store(paths);
        QString text;
        QCOMPARE(store.create(row.name, &text), row.result);
        QCOMPARE(text, row.message);
        QStringList expected{"Jim"};
        if (row.result == Created::Ok)
            expected.append(row.name);
        std::sort(expected.begin(), expected.end());
        QCOMPARE(folder.entries("Speech"), expected);
        // Nothing was made outside the Speech folder.
        QCOMPARE(folder.entries(QString()), QStringList({"Speech"}));
    }
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

void TestSoundsCore::anyFileBecomesAWavInTheBankFormat()
{
    // A second of a 440 Hz tone at half of full scale, in a file of libsndfile's format, and the bank's format.
    const struct {
        int format, rate, channels;
        PcmFormat bank;
    } rows[] = {
        {SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2, {11025, 1, 16}},
        {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 8000, 1, {22050, 2, 8}},
        {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, {11025, 1, 16}},
        {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 2, {11025, 1, 16}},
        {SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 1, {22050, 1, 16}},
        {SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000, 2, {44100, 2, 16}},
        {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, {11025, 1, 16}},
    };
    for (const auto& row : rows) {
        std::vector<float> samples;
        SoundFiles::addTone(samples, row.rate, row.channels, 1.0, 0.5);
        const QString source = m_dir.filePath(QString::number(row.format, 16));
        QVERIFY(SoundFiles::write(source, row.format, row.rate, row.channels, samples));
        const QString target = m_dir.filePath(QStringLiteral("Hello.wav"));
        QString error;
        QVERIFY2(SoundClip::store(source, target, row.bank, {}, &error), qPrintable(error));
        const WavHeader wav = WavHeader::parse(contents(target));
        QCOMPARE(QString::asprintf("%u %u %u %u", wav.audioFormat, wav.rate, wav.channels, wav.bits),
                 QString::asprintf("1 %d %d %d", row.bank.rate, row.bank.channels, row.bank.bits));
        SoundClip::Audio back;
        QVERIFY(SoundClip::decode(target, &back));
        // The same second of the same tone (lossy codecs add a few milliseconds and a little error).
        QVERIFY2(qAbs(back.frames() - row.bank.rate) < row.bank.rate / 20, qPrintable(QString::number(back.frames())));
        QVERIFY2(qAbs(crossingsPerSecond(back) - 880) < 30, qPrintable(QString::number(crossingsPerSecond(back))));
        QVERIFY2(qAbs(SoundClip::peakDbfs(back) + 6.02) < 2.0, qPrintable(QString::number(SoundClip::peakDbfs(back))));
    }
}

void TestSoundsCore::storeCopiesConvertsOrLeavesTheTarget()
{
    // A chunk after the samples is something a conversion would drop.
    const PcmFormat bank{11025, 1, 16};
    TestUserFolder folder;
    const QString source = folder.writeFile("exact.wav", WavFile::header(bank, 2000) + QByteArray(2000, '\x10') +
                                                             QByteArray("note\x04\0\0\0abcd", 12));
    const QString target = folder.path("Copy.wav");
    QVERIFY(SoundClip::store(source, target, bank, {}));
    QCOMPARE(contents(target), contents(source));
    // In another format it is converted.
    QVERIFY(SoundClip::store(source, target, PcmFormat{11025, 1, 8}, {}));
    QCOMPARE(QFileInfo(target).size(), qint64(44 + 1000));
    // A stream that does not tell its length is measured as it is read.
    std::vector<float> tone;
    SoundFiles::addTone(tone, 8000, 1, 2, 0.5);
    const QString stream = m_dir.filePath(QStringLiteral("stream.flac"));
    QVERIFY(SoundFiles::write(stream, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 8000, 1, tone));
    QByteArray flac = contents(stream);
    flac[21] = char(flac[21] & 0xf0); // STREAMINFO's count of samples: 0, unknown
    flac.replace(22, 4, QByteArray(4, '\0'));
    QFile streamFile(stream);
    QVERIFY(streamFile.open(QIODevice::WriteOnly) && streamFile.write(flac) == flac.size());
    streamFile.close();
    QVERIFY(SoundClip::store(stream, m_dir.filePath(QStringLiteral("Stream.wav")), bank, {}));
    QCOMPARE(QFileInfo(m_dir.filePath(QStringLiteral("Stream.wav"))).size(), qint64(44 + 2 * 11025 * 2));

    // What cannot be decoded, or would make no sound byte, leaves the target
    // as it was and says why.
    std::vector<float> silence;
    SoundFiles::addTone(silence, 8000, 8, 61, 0);
    QVERIFY(SoundFiles::write(folder.path("long.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 8000, 8, silence));
    const QByteArray samples(1200, '\0');
    QVERIFY(QProcess::execute("mkfifo", {folder.path("fifo.wav")}) == 0);
    const struct {
        QString file, reason;
    } bad[] = {
        {folder.writeFile("notes.mp3", "these are words, not sounds"), "is not a sound file that can be read"},
        {folder.path("none.ogg"), "cannot be opened"},
        {folder.path("fifo.wav"), "cannot be opened (it is not a regular file"},
        {folder.path("long.flac"), "lasts more than 60 seconds, too long for a sound byte"},
        {folder.writeFile("slow.wav", WavFile::header({1, 1, 8}, 1200) + samples),
         "declares 1 samples per second; a sound has between 1000 and 768000"},
        {folder.writeFile("fast.wav", WavFile::header({2147483647, 1, 8}, 1200) + samples),
         "declares 2147483647 samples per second"},
    };
    for (const auto& b : bad) {
        QString error;
        QVERIFY(!SoundClip::store(b.file, target, bank, {}, &error));
        QVERIFY2(error.startsWith(QDir::toNativeSeparators(b.file) + " " + b.reason), qPrintable(error));
        QCOMPARE(QFileInfo(target).size(), qint64(44 + 1000));
    }
    QCOMPARE(folder.entries(QString()),
             QStringList({"Copy.wav", "exact.wav", "fast.wav", "long.flac", "notes.mp3", "slow.wav"}));
}

void TestSoundsCore::trimAndNormalise()
{
    // 0.25 s of silence, 0.25 s of a faint hum (-50 dBFS), 0.5 s of a tone at
    // -20 dBFS, 0.25 s of silence.
    const int rate = 22050;
    std::vector<float> samples;
    SoundFiles::addTone(samples, rate, 2, 0.25, 0);
    SoundFiles::addTone(samples, rate, 2, 0.25, std::pow(10.0, -50 / 20.0), 100);
    SoundFiles::addTone(samples, rate, 2, 0.5, 0.1);
    SoundFiles::addTone(samples, rate, 2, 0.25, 0);
    const QString source = m_dir.filePath(QStringLiteral("take.flac"));
    QVERIFY(SoundFiles::write(source, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, rate, 2, samples));
    const QString target = m_dir.filePath(QStringLiteral("Trimmed.wav"));
    const struct {
        SoundClip::Editing editing;
        double seconds, peak;
    } rows[] = {{{false, false}, 1.25, -20.0},
                {{true, false}, 0.5, -20.0},
                {{false, true}, 1.25, -1.0},
                {{true, true}, 0.5, -1.0}};
    for (const auto& row : rows) {
        QVERIFY(SoundClip::store(source, target, PcmFormat{11025, 1, 16}, row.editing));
        SoundClip::Audio back;
        QVERIFY(SoundClip::decode(target, &back));
        QVERIFY2(qAbs(back.frames() / 11025.0 - row.seconds) < 0.01, qPrintable(QString::number(back.frames())));
        QVERIFY2(qAbs(SoundClip::peakDbfs(back) - row.peak) < 0.1,
                 qPrintable(QString::number(SoundClip::peakDbfs(back))));
    }
}

void TestSoundsCore::bankImportTakesOnlySpeechSounds()
{
    // The entries of an archive, the scheme made of it and what was left out.
    const struct {
        QList<TestZips::ZipEntry> entries;
        QString made, others;
    } rows[] = {
        {{{"x/notes.txt", "n"}, {"x/HELLO.WAV", "h"}, {"x/Extra.wav", "e"}, {"x/deep/hello.wav", "second"}},
         "Hello.wav",
         "x/notes.txt, x/Extra.wav, x/deep/hello.wav"},
        {{{"notes.txt", "n"}}, "", "notes.txt"},
        // The second sound is damaged: nothing of the scheme is left behind.
        {{{"Hello.wav", "h"}, {"Jump1.wav", "DAMAGED"}}, "", ""},
    };
    for (const auto& row : rows) {
        TestUserFolder folder;
        folder.makeDir("Speech");
        const QString archive = folder.path("../bank.zip");
        QVERIFY(TestZips::makeZip(archive, row.entries));
        // Stored bytes changed after the fact no longer match their checksum.
        folder.writeFile("../bank.zip", contents(archive).replace("DAMAGED", "damaged"));
        UserPaths paths(folder.user());
        SchemeStore schemes(paths);
        SpeechBank::Contents found;
        QString error;
        QCOMPARE(SpeechBank(schemes).importAs(archive, "New", &found, &error), !row.made.isEmpty());
        QCOMPARE(folder.entries("Speech/New").join(", "), row.made);
        QCOMPARE(found.others.join(", "), row.others);
        QCOMPARE(QDir(folder.path("Speech")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 row.made.isEmpty() ? QStringList() : QStringList({"New"}));
    }
}

QTEST_GUILESS_MAIN(TestSoundsCore)
#include "tst_sounds_core.moc"
