#include "common/core/AppInfo.h"
#include "common/core/UserPaths.h"
#include "sounds/DeviceProbe.h"
#include "sounds/WavReader.h"
#include "sounds/core/SchemeStore.h"
#include "sounds/core/SpeechSounds.h"
#include "sounds/core/SyntheticBackend.h"
#include "sounds/core/WaveDevice.h"
#include "sounds/core/WaveRecorder.h"
#include "support/FakePrompter.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString crlf = QStringLiteral("\r\n");

// A wave device on a synthetic sound card whose clock the test moves.
struct SyntheticDevice {
    ManualClock clock;
    SyntheticBackend* backend = nullptr;
    std::unique_ptr<WaveDevice> device;

    SyntheticDevice()
    {
        SyntheticBackend::Options options;
        options.clock = [this] { return clock.now; };
        auto b = std::make_unique<SyntheticBackend>(options);
        backend = b.get();
        device = std::make_unique<WaveDevice>(std::move(b));
    }
};

int code(CommandDevice& device, const QString& command)
{
    QByteArray buffer = CommandDevice::blankBuffer();
    return device.send(command, &buffer);
}

QString ask(CommandDevice& device, const QString& command)
{
    QByteArray buffer = CommandDevice::blankBuffer();
    const int result = device.send(command, &buffer);
    return result == 0 ? CommandDevice::replyText(buffer) : QStringLiteral("error %1").arg(result);
}

QString formatOf(int rate, int channels, int bits)
{
    return WaveRecorder::formatCommand(rate, qint16(channels), qint16(bits));
}

} // namespace

class TestSoundsCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void speechSoundTable();

    void formatCommand_data();
    void formatCommand();
    void operationsSendTheirCommands_data();
    void operationsSendTheirCommands();
    void failingCommandsShowTheirMessages_data();
    void failingCommandsShowTheirMessages();
    void statistics_data();
    void statistics();
    void statisticsNumber_data();
    void statisticsNumber();
    void tickFailuresAreShownOnceUntilTheyWorkAgain();

    void deviceRefusesOtherCommands_data();
    void deviceRefusesOtherCommands();
    void deviceWritesRepliesLikeACBuffer();
    void deviceRecordsStopsAndPlaysInRealTime();
    void deviceWithoutSoundHardware();
    void savedWaveReadsBack_data();
    void savedWaveReadsBack();
    void saveReplacesTheOldFileOnlyOnSuccess();
    void saveUnderAFolderWithBlanks();

    void settingsFirstUse();
    void settingsStoredValues_data();
    void settingsStoredValues();

    void schemeCreate_data();
    void schemeCreate();
    void schemeCreateWithoutSpeechFolder();
    void schemeRemoveKeepsSubfolders();
    void schemeSoundBytes();

private:
    QTemporaryDir m_config;
};

void TestSoundsCore::initTestCase()
{
    // The per-user settings store goes to a folder of this test.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
}

void TestSoundsCore::speechSoundTable()
{
    const QStringList& names = SpeechSounds::names();
    QCOMPARE(names.size(), 54);
    QCOMPARE(names.first(), QStringLiteral("Amazing"));
    QCOMPARE(names.at(19), QStringLiteral("Hello"));
    QCOMPARE(names.at(51), QStringLiteral("YoullRegretThat"));
    QCOMPARE(names.mid(52), QStringList({QStringLiteral("Hurry"), QStringLiteral("Uh-Oh")}));
    // The classic 52 are in alphabetical order; none is listed twice.
    QStringList classic = names.mid(0, 52);
    QStringList sorted = classic;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QCOMPARE(classic, sorted);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    QCOMPARE(SpeechSounds::fileName(QStringLiteral("Uh-Oh")), QStringLiteral("Uh-Oh.wav"));
}

void TestSoundsCore::formatCommand_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("command");
    QTest::newRow("11025 mono 16") << 11025 << 1 << 16
                                   << "set capture alignment 2 bitspersample 16 samplespersec 11025 channels 1 "
                                      "bytespersec 22050";
    QTest::newRow("22050 stereo 16") << 22050 << 2 << 16
                                     << "set capture alignment 4 bitspersample 16 samplespersec 22050 channels 2 "
                                        "bytespersec 88200";
    QTest::newRow("8-bit stereo") << 22050 << 2 << 8
                                  << "set capture alignment 2 bitspersample 8 samplespersec 22050 channels 2 "
                                     "bytespersec 44100";
    QTest::newRow("8-bit mono") << 8000 << 1 << 8
                                << "set capture alignment 1 bitspersample 8 samplespersec 8000 channels 1 "
                                   "bytespersec 8000";
}

void TestSoundsCore::formatCommand()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, bits);
    QFETCH(QString, command);
    QCOMPARE(formatOf(rate, channels, bits), command);

    // The recorder sends it after a seek, and the device takes it.
    SyntheticDevice synthetic;
    DeviceProbe probe(synthetic.device.get());
    FakePrompter prompter;
    WaveRecorder recorder(probe, prompter);
    recorder.settings().rate = rate;
    recorder.settings().channels = qint16(channels);
    recorder.settings().resolution = qint16(bits);
    recorder.openCaptureDevice();
    probe.sent.clear();
    recorder.applyRecordingFormat();
    QCOMPARE(probe.sent, QStringList({QStringLiteral("seek capture to start"), command}));
    QCOMPARE(prompter.texts(), QStringList());
    QCOMPARE(probe.ask(QStringLiteral("status capture samplespersec")), QString::number(rate));
    QCOMPARE(probe.ask(QStringLiteral("status capture channels")), QString::number(channels));
    QCOMPARE(probe.ask(QStringLiteral("status capture bitspersample")), QString::number(bits));
}

enum class Op { Open, Apply, Record, Stop, Save, Mode, Statistics, Position, Play, Close };
Q_DECLARE_METATYPE(Op)

static void run(WaveRecorder& recorder, Op op, const QString& file = QString())
{
    switch (op) {
    case Op::Open:
        recorder.openCaptureDevice();
        break;
    case Op::Apply:
        recorder.applyRecordingFormat();
        break;
    case Op::Record:
        recorder.startRecording();
        break;
    case Op::Stop:
        recorder.stopRecording();
        break;
    case Op::Save:
        recorder.saveRecording(file);
        break;
    case Op::Mode:
        recorder.readDeviceMode();
        break;
    case Op::Statistics:
        recorder.buildStatistics();
        break;
    case Op::Position:
        recorder.getCapturePosition();
        break;
    case Op::Play:
        recorder.playFromPosition(1500);
        break;
    case Op::Close:
        recorder.closeCaptureDevice();
        break;
    }
}

void TestSoundsCore::operationsSendTheirCommands_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("open") << Op::Open << QStringList{"close all", "open new type waveaudio alias capture"};
    QTest::newRow("apply (first use)")
        << Op::Apply
        << QStringList{"seek capture to start",
                       "set capture alignment 2 bitspersample 16 samplespersec 11025 channels 1 bytespersec 22050"};
    QTest::newRow("record") << Op::Record << QStringList{"record capture"};
    QTest::newRow("stop") << Op::Stop << QStringList{"stop capture"};
    QTest::newRow("mode") << Op::Mode << QStringList{"status capture mode"};
    QTest::newRow("statistics") << Op::Statistics
                                << QStringList{"set capture time format ms",    "status capture length",
                                               "set capture time format bytes", "status capture length",
                                               "status capture channels",       "status capture bitspersample",
                                               "status capture samplespersec"};
    QTest::newRow("position") << Op::Position << QStringList{"set capture time format ms", "status capture position"};
    QTest::newRow("play") << Op::Play << QStringList{"set capture time format ms", "play capture from 1500"};
    QTest::newRow("close") << Op::Close << QStringList{"close capture"};
}

void TestSoundsCore::operationsSendTheirCommands()
{
    QFETCH(Op, op);
    QFETCH(QStringList, commands);
    DeviceProbe probe;
    FakePrompter prompter;
    WaveRecorder recorder(probe, prompter);
    run(recorder, op);
    QCOMPARE(probe.sent, commands);
    QCOMPARE(prompter.texts(), QStringList());
}

void TestSoundsCore::failingCommandsShowTheirMessages_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("messages");
    const int fail = CommandDevice::UnrecognizedCommand;
    QTest::newRow("close all") << Op::Open << "close all" << fail << QStringList{"Closing all MCI operations failed!"};
    QTest::newRow("open") << Op::Open << "open new type waveaudio alias capture" << fail
                          << QStringList{"Opening new wave failed!"};
    QTest::newRow("seek") << Op::Apply << "seek capture to start" << fail << QStringList{"Starting recording failed!"};
    QTest::newRow("format") << Op::Apply << formatOf(11025, 1, 16) << int(CommandDevice::InconsistentFormat)
                            << QStringList{"Settings for recording not consistent"};
    QTest::newRow("record") << Op::Record << "record capture" << int(CommandDevice::InputFailed)
                            << QStringList{"Recording not possible, please restart your computer..."};
    QTest::newRow("record without input") << Op::Record << "record capture" << int(CommandDevice::NoInputDevice)
                                          << QStringList{WaveRecorder::noInputMessage()};
    QTest::newRow("stop") << Op::Stop << "stop capture" << fail << QStringList{"Stopping recording failed!"};
    QTest::newRow("mode") << Op::Mode << "status capture mode" << fail << QStringList{"Failure getting wave status..."};
    QTest::newRow("position format") << Op::Position << "set capture time format ms" << fail
                                     << QStringList{"Setting format in milliseconds failed!"};
    QTest::newRow("position") << Op::Position << "status capture position" << fail
                              << QStringList{"Finding position failed!", "Error in position"};
    QTest::newRow("play format") << Op::Play << "set capture time format ms" << fail
                                 << QStringList{"Setting format in milliseconds failed!"};
    QTest::newRow("play") << Op::Play << "play capture from 1500" << int(CommandDevice::OutOfRange)
                          << QStringList{"Playing from indicated position failed!",
                                         "Play from position doesn't work...."};
    QTest::newRow("play without output") << Op::Play << "play capture from 1500" << int(CommandDevice::NoOutputDevice)
                                         << QStringList{WaveRecorder::noOutputMessage()};
    QTest::newRow("close") << Op::Close << "close capture" << fail << QStringList{"Closing MCI failed!"};
    QTest::newRow("statistics ms") << Op::Statistics << "set capture time format ms" << fail
                                   << QStringList{"Setting time format in milliseconds failed!"};
    QTest::newRow("statistics bytes") << Op::Statistics << "set capture time format bytes" << fail
                                      << QStringList{"Setting time format in bytes failed!"};
    QTest::newRow("statistics length") << Op::Statistics << "status capture length" << fail
                                       << QStringList{"Finding length recording in milliseconds failed!",
                                                      "Finding length recording in bytes failed!"};
    QTest::newRow("statistics channels") << Op::Statistics << "status capture channels" << fail
                                         << QStringList{"Finding number of channels failed!"};
    QTest::newRow("statistics bits") << Op::Statistics << "status capture bitspersample" << fail
                                     << QStringList{"Finding resolution failed!"};
    QTest::newRow("statistics rate") << Op::Statistics << "status capture samplespersec" << fail
                                     << QStringList{"Finding sample rate failed!"};
}

void TestSoundsCore::failingCommandsShowTheirMessages()
{
    QFETCH(Op, op);
    QFETCH(QString, failing);
    QFETCH(int, error);
    QFETCH(QStringList, messages);
    DeviceProbe probe;
    probe.failing.insert(failing, error);
    FakePrompter prompter;
    WaveRecorder recorder(probe, prompter);
    const QStringList before = [&] {
        DeviceProbe clean;
        FakePrompter quiet;
        WaveRecorder r(clean, quiet);
        run(r, op);
        return clean.sent;
    }();
    run(recorder, op);
    QCOMPARE(prompter.texts(), messages);
    for (const FakePrompter::Box& box : prompter.boxes()) {
        QCOMPARE(box.title, AppInfo::title());
        QCOMPARE(box.buttons, Prompter::Buttons::Ok);
        QCOMPARE(box.icon, Prompter::Icon::None);
    }
    // The operation goes on with its next command after a failure.
    QCOMPARE(probe.sent, before);
}

void TestSoundsCore::statistics_data()
{
    QTest::addColumn<QStringList>("lengths"); // in ms, then in bytes
    QTest::addColumn<QString>("channels");
    QTest::addColumn<QString>("bits");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("text");
    QTest::newRow("2.5 s mono 16-bit") << QStringList{"2500", "55125"} << "1"
                                       << "16"
                                       << "11025"
                                       << "Length recording  2.5 s ( 55125 bytes)" + crlf +
                                              "Mono -  16 bits -  11025 samples per second " + crlf + crlf;
    QTest::newRow("stereo 8-bit") << QStringList{"1234", "54419"} << "2"
                                  << "8"
                                  << "22050"
                                  << "Length recording  1.234 s ( 54419 bytes)" + crlf +
                                         "Stereo -  8 bits -  22050 samples per second " + crlf + crlf;
    QTest::newRow("3 channels: neither mono nor stereo")
        << QStringList{"1000", "66150"} << "3"
        << "16"
        << "11025"
        << "Length recording  1 s ( 66150 bytes)" + crlf + " 16 bits -  11025 samples per second " + crlf + crlf;
    QTest::newRow("nothing recorded") << QStringList{"0", "0"} << "1"
                                      << "16"
                                      << "11025"
                                      << "Length recording  0 s ( 0 bytes)" + crlf +
                                             "Mono -  16 bits -  11025 samples per second " + crlf + crlf;
    QTest::newRow("no number in the answers")
        << QStringList{"", "n/a"} << "x"
        << ""
        << "?"
        << "Length recording  0 s ( 0 bytes)" + crlf + " 0 bits -  0 samples per second " + crlf + crlf;
}

void TestSoundsCore::statistics()
{
    QFETCH(QStringList, lengths);
    QFETCH(QString, channels);
    QFETCH(QString, bits);
    QFETCH(QString, rate);
    QFETCH(QString, text);
    DeviceProbe probe;
    probe.answers.insert(QStringLiteral("status capture length"), lengths);
    probe.answers.insert(QStringLiteral("status capture channels"), {channels});
    probe.answers.insert(QStringLiteral("status capture bitspersample"), {bits});
    probe.answers.insert(QStringLiteral("status capture samplespersec"), {rate});
    FakePrompter prompter;
    WaveRecorder recorder(probe, prompter);
    recorder.buildStatistics();
    QCOMPARE(recorder.statisticsText(), text);
}

void TestSoundsCore::statisticsNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << " 0";
    QTest::newRow("whole") << 55125.0 << " 55125";
    QTest::newRow("half") << 2.5 << " 2.5";
    QTest::newRow("milliseconds") << 0.125 << " 0.125";
    QTest::newRow("negative") << -3.0 << "-3";
}

void TestSoundsCore::statisticsNumber()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(WaveRecorder::statisticsNumber(value), text);
}

void TestSoundsCore::tickFailuresAreShownOnceUntilTheyWorkAgain()
{
    DeviceProbe probe;
    FakePrompter prompter;
    WaveRecorder recorder(probe, prompter);
    const QString failure = QStringLiteral("Failure getting wave status...");
    probe.answers.insert(QStringLiteral("status capture mode"), {QStringLiteral("stopped")});
    probe.failing.insert(QStringLiteral("status capture mode"), CommandDevice::UnknownDevice);
    for (int tick = 0; tick < 5; ++tick)
        recorder.readDeviceMode(WaveRecorder::Reporting::OncePerFailure);
    QCOMPARE(prompter.texts(), QStringList({failure}));

    // The device works again: nothing is shown, and the next failure counts anew.
    probe.failing.clear();
    recorder.readDeviceMode(WaveRecorder::Reporting::OncePerFailure);
    QCOMPARE(recorder.statusLine(), QStringLiteral("The Quillane SoundBank Editor: stopped"));
    probe.failing.insert(QStringLiteral("status capture mode"), CommandDevice::UnknownDevice);
    recorder.readDeviceMode(WaveRecorder::Reporting::OncePerFailure);
    recorder.readDeviceMode(WaveRecorder::Reporting::OncePerFailure);
    QCOMPARE(prompter.texts(), QStringList({failure, failure}));

    // Every statistics query of a closed device fails; each shows once.
    prompter.clear();
    DeviceProbe closed;
    closed.failingPrefix.insert(QString(), CommandDevice::UnknownDevice);
    WaveRecorder quietRecorder(closed, prompter);
    for (int tick = 0; tick < 4; ++tick)
        quietRecorder.buildStatistics(WaveRecorder::Reporting::OncePerFailure);
    QCOMPARE(prompter.texts().size(), 7);

    // Outside the timer every failure is shown.
    prompter.clear();
    recorder.readDeviceMode();
    recorder.readDeviceMode();
    QCOMPARE(prompter.texts(), QStringList({failure, failure}));
}

void TestSoundsCore::deviceRefusesOtherCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("error");
    const int unknown = CommandDevice::UnrecognizedCommand;
    QTest::newRow("empty") << "" << unknown;
    QTest::newRow("letter case") << "Record capture" << unknown;
    QTest::newRow("trailing blank") << "record capture " << unknown;
    QTest::newRow("double blank") << "stop  capture" << unknown;
    QTest::newRow("other alias") << "open new type waveaudio alias other" << unknown;
    QTest::newRow("other device type") << "open new type sequencer alias capture" << unknown;
    QTest::newRow("other status") << "status capture volume" << unknown;
    QTest::newRow("leading zero") << "play capture from 01" << unknown;
    QTest::newRow("negative position") << "play capture from -1" << unknown;
    QTest::newRow("time format name") << "set capture time format milliseconds" << unknown;
    QTest::newRow("reordered format") << "set capture bitspersample 16 alignment 2 samplespersec 11025 channels 1 "
                                         "bytespersec 22050"
                                      << unknown;
    QTest::newRow("save without name") << "save capture" << unknown;
    QTest::newRow("save with empty name") << "save capture " << int(CommandDevice::MissingFileName);
    QTest::newRow("alignment disagrees") << "set capture alignment 1 bitspersample 16 samplespersec 11025 "
                                            "channels 1 bytespersec 11025"
                                         << int(CommandDevice::InconsistentFormat);
    QTest::newRow("bytes per second disagree") << "set capture alignment 2 bitspersample 16 samplespersec 11025 "
                                                  "channels 1 bytespersec 22051"
                                               << int(CommandDevice::InconsistentFormat);
    QTest::newRow("12 bits") << formatOf(11025, 1, 12) << int(CommandDevice::InconsistentFormat);
    QTest::newRow("no channels") << formatOf(11025, 0, 16) << int(CommandDevice::InconsistentFormat);
    QTest::newRow("beyond the recording") << "play capture from 10" << int(CommandDevice::OutOfRange);
    QTest::newRow("open twice") << "open new type waveaudio alias capture" << int(CommandDevice::AliasInUse);
}

void TestSoundsCore::deviceRefusesOtherCommands()
{
    QFETCH(QString, command);
    QFETCH(int, error);
    SyntheticDevice synthetic;
    WaveDevice& device = *synthetic.device;
    QCOMPARE(code(device, QStringLiteral("status capture mode")), int(CommandDevice::UnknownDevice));
    QCOMPARE(code(device, QStringLiteral("open new type waveaudio alias capture")), 0);
    QCOMPARE(code(device, command), error);
    // A refused command changes nothing.
    QCOMPARE(ask(device, QStringLiteral("status capture mode")), QStringLiteral("stopped"));
    QCOMPARE(ask(device, QStringLiteral("status capture bitspersample")), QStringLiteral("8"));
}

void TestSoundsCore::deviceWritesRepliesLikeACBuffer()
{
    SyntheticDevice synthetic;
    WaveDevice& device = *synthetic.device;
    QCOMPARE(code(device, QStringLiteral("open new type waveaudio alias capture")), 0);
    QByteArray buffer = CommandDevice::blankBuffer(255);
    QCOMPARE(device.send(QStringLiteral("status capture mode"), &buffer), 0);
    QCOMPARE(buffer.size(), 255);
    QCOMPARE(buffer.left(8), QByteArray("stopped\0", 8));
    QCOMPARE(buffer.mid(8), QByteArray(247, ' '));
    QCOMPARE(CommandDevice::replyText(buffer), QStringLiteral("stopped"));
    QByteArray tiny = CommandDevice::blankBuffer(7);
    QCOMPARE(device.send(QStringLiteral("status capture mode"), &tiny), int(CommandDevice::ReplyTooLong));
    // Closing everything works even when nothing is open.
    QCOMPARE(code(device, QStringLiteral("close all")), 0);
    QCOMPARE(code(device, QStringLiteral("close all")), 0);
    QCOMPARE(code(device, QStringLiteral("close capture")), int(CommandDevice::UnknownDevice));
}

void TestSoundsCore::deviceRecordsStopsAndPlaysInRealTime()
{
    SyntheticDevice s;
    WaveDevice& device = *s.device;
    QCOMPARE(code(device, QStringLiteral("open new type waveaudio alias capture")), 0);
    QCOMPARE(code(device, QStringLiteral("seek capture to start")), 0);
    QCOMPARE(code(device, formatOf(11025, 1, 16)), 0);
    QCOMPARE(code(device, QStringLiteral("record capture")), 0);
    s.clock.advance(400);
    QCOMPARE(ask(device, QStringLiteral("status capture mode")), QStringLiteral("recording"));
    QCOMPARE(ask(device, QStringLiteral("status capture position")), QStringLiteral("400"));
    s.clock.advance(600);
    QCOMPARE(code(device, QStringLiteral("stop capture")), 0);
    s.clock.advance(5000); // time after the stop adds nothing
    QCOMPARE(ask(device, QStringLiteral("status capture mode")), QStringLiteral("stopped"));
    QCOMPARE(ask(device, QStringLiteral("status capture position")), QStringLiteral("1000"));
    QCOMPARE(ask(device, QStringLiteral("status capture length")), QStringLiteral("1000"));
    QCOMPARE(code(device, QStringLiteral("set capture time format bytes")), 0);
    QCOMPARE(ask(device, QStringLiteral("status capture length")), QStringLiteral("22050"));
    // The format is kept while a recording is held.
    QCOMPARE(code(device, formatOf(22050, 1, 16)), int(CommandDevice::Busy));

    // Play from 250 ms: the position follows the clock until the end.
    QCOMPARE(code(device, QStringLiteral("set capture time format ms")), 0);
    QCOMPARE(code(device, QStringLiteral("play capture from 250")), 0);
    QCOMPARE(ask(device, QStringLiteral("status capture mode")), QStringLiteral("playing"));
    s.clock.advance(500);
    QCOMPARE(ask(device, QStringLiteral("status capture position")), QStringLiteral("750"));
    s.clock.advance(300);
    QCOMPARE(ask(device, QStringLiteral("status capture mode")), QStringLiteral("stopped"));
    QCOMPARE(ask(device, QStringLiteral("status capture position")), QStringLiteral("1000"));

    // A stopped playback keeps its position; the recording stays.
    QCOMPARE(code(device, QStringLiteral("play capture from 0")), 0);
    s.clock.advance(300);
    QCOMPARE(code(device, QStringLiteral("stop capture")), 0);
    QCOMPARE(ask(device, QStringLiteral("status capture position")), QStringLiteral("300"));
    QCOMPARE(ask(device, QStringLiteral("status capture length")), QStringLiteral("1000"));
    // Playing from the very end ends at once.
    QCOMPARE(code(device, QStringLiteral("play capture from 1000")), 0);
    QCOMPARE(ask(device, QStringLiteral("status capture mode")), QStringLiteral("stopped"));

    // Opening again drops the recording; the format starts over.
    QCOMPARE(code(device, QStringLiteral("close all")), 0);
    QCOMPARE(code(device, QStringLiteral("open new type waveaudio alias capture")), 0);
    QCOMPARE(ask(device, QStringLiteral("status capture length")), QStringLiteral("0"));
    QCOMPARE(ask(device, QStringLiteral("status capture samplespersec")), QStringLiteral("11025"));
}

void TestSoundsCore::deviceWithoutSoundHardware()
{
    SyntheticDevice s;
    s.backend->setHasInput(false);
    s.backend->setHasOutput(false);
    DeviceProbe probe(s.device.get());
    FakePrompter prompter;
    WaveRecorder recorder(probe, prompter);
    // Opening, the format and the status need no hardware.
    recorder.openCaptureDevice();
    recorder.applyRecordingFormat();
    recorder.readDeviceMode();
    recorder.buildStatistics();
    QCOMPARE(prompter.texts(), QStringList());
    QCOMPARE(recorder.statusLine(), QStringLiteral("The Quillane SoundBank Editor: stopped"));
    // Recording says why it cannot, in one box.
    QVERIFY(!recorder.startRecording());
    QCOMPARE(prompter.texts(), QStringList({WaveRecorder::noInputMessage()}));
    recorder.readDeviceMode();
    QCOMPARE(recorder.statusLine(), QStringLiteral("The Quillane SoundBank Editor: stopped"));
    // Previewing an empty recording plays nothing and needs no output.
    prompter.clear();
    recorder.playFromPosition(0);
    QCOMPARE(prompter.texts(), QStringList());
    recorder.readDeviceMode();
    QCOMPARE(recorder.statusLine(), QStringLiteral("The Quillane SoundBank Editor: stopped"));

    // An input that goes away while recording ends the recording with what it has.
    s.backend->setHasInput(true);
    QVERIFY(recorder.startRecording());
    s.clock.advance(300);
    s.backend->loseInput();
    s.clock.advance(300);
    QCOMPARE(ask(*s.device, QStringLiteral("status capture mode")), QStringLiteral("stopped"));
    QCOMPARE(ask(*s.device, QStringLiteral("status capture length")), QStringLiteral("300"));
    recorder.stopRecording();
    QCOMPARE(prompter.texts(), QStringList());

    // With an input but no output, a recording can be made but not heard.
    s.backend->setHasInput(true);
    QVERIFY(recorder.startRecording());
    s.clock.advance(200);
    recorder.stopRecording();
    recorder.playFromPosition(0);
    QCOMPARE(prompter.texts(), QStringList({WaveRecorder::noOutputMessage()}));
}

void TestSoundsCore::savedWaveReadsBack_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("ms");
    QTest::newRow("11025 mono 16") << 11025 << 1 << 16 << 2000;
    QTest::newRow("22050 stereo 16") << 22050 << 2 << 16 << 1000;
    QTest::newRow("8-bit stereo") << 11025 << 2 << 8 << 1000;
    QTest::newRow("8-bit mono, odd size") << 11025 << 1 << 8 << 1;
    QTest::newRow("nothing recorded") << 11025 << 1 << 16 << 0;
}

void TestSoundsCore::savedWaveReadsBack()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, bits);
    QFETCH(int, ms);
    TestUserFolder folder;
    const QString file = folder.path(QStringLiteral("Speech/Bob/Hello.wav"));
    folder.makeDir(QStringLiteral("Speech/Bob"));

    SyntheticDevice s;
    FakePrompter prompter;
    WaveRecorder recorder(*s.device, prompter);
    recorder.settings().rate = rate;
    recorder.settings().channels = qint16(channels);
    recorder.settings().resolution = qint16(bits);
    recorder.openCaptureDevice();
    recorder.applyRecordingFormat();
    QVERIFY(recorder.startRecording());
    s.clock.advance(ms);
    recorder.stopRecording();
    QVERIFY(recorder.saveRecording(file));
    QCOMPARE(prompter.texts(), QStringList());

    const PcmFormat format{rate, channels, bits};
    const qint64 frames = qint64(ms) * rate / 1000;
    const quint32 dataBytes = quint32(frames * format.alignment());
    const WavHeader h = WavHeader::parse(folder.read(QStringLiteral("Speech/Bob/Hello.wav")));
    QVERIFY(h.valid);
    QCOMPARE(h.riff, QByteArray("RIFF"));
    QCOMPARE(h.wave, QByteArray("WAVE"));
    QCOMPARE(h.fmt, QByteArray("fmt "));
    QCOMPARE(h.fmtSize, 16u);
    QCOMPARE(h.audioFormat, quint16(1));
    QCOMPARE(h.channels, quint16(channels));
    QCOMPARE(h.rate, quint32(rate));
    QCOMPARE(h.byteRate, quint32(format.bytesPerSecond()));
    QCOMPARE(h.blockAlign, quint16(format.alignment()));
    QCOMPARE(h.bits, quint16(bits));
    QCOMPARE(h.dataTag, QByteArray("data"));
    QCOMPARE(h.dataSize, dataBytes);
    const quint32 pad = dataBytes % 2;
    QCOMPARE(h.riffSize, 36 + dataBytes + pad);
    QCOMPARE(h.fileSize, qint64(44 + dataBytes + pad));
    QCOMPARE(h.data, SyntheticBackend::tone(format, 0, frames));
    // The statistics describe the same recording.
    recorder.buildStatistics();
    QVERIFY2(recorder.statisticsText().contains(QStringLiteral("( %1 bytes)").arg(dataBytes)),
             qPrintable(recorder.statisticsText()));
}

void TestSoundsCore::saveReplacesTheOldFileOnlyOnSuccess()
{
    TestUserFolder folder;
    folder.writeFile(QStringLiteral("Speech/Bob/Hello.wav"), "old sound");
    const QString file = folder.path(QStringLiteral("Speech/Bob/Hello.wav"));
    SyntheticDevice s;
    DeviceProbe probe(s.device.get());
    FakePrompter prompter;
    WaveRecorder recorder(probe, prompter);
    recorder.openCaptureDevice();
    recorder.applyRecordingFormat();
    recorder.startRecording();
    s.clock.advance(100);
    recorder.stopRecording();

    // The device cannot write: the old sound byte survives, no stray file stays.
    probe.failingPrefix.insert(QStringLiteral("save capture "), CommandDevice::CannotWriteFile);
    probe.sent.clear();
    QVERIFY(!recorder.saveRecording(file));
    QCOMPARE(prompter.texts(), QStringList({QStringLiteral("Saving file failed, file name was: ") + file}));
    QCOMPARE(folder.read(QStringLiteral("Speech/Bob/Hello.wav")), QByteArray("old sound"));
    QCOMPARE(QDir(folder.path(QStringLiteral("Speech/Bob"))).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("Hello.wav")}));
    // The recording went to a temporary file beside the target.
    QCOMPARE(probe.sent.size(), 1);
    const QRegularExpression tempSave(QStringLiteral("^save capture ") +
                                      QRegularExpression::escape(folder.path(QStringLiteral("Speech/Bob/"))) +
                                      QStringLiteral("\\.Hello\\.wav\\.\\w{6}$"));
    QVERIFY2(tempSave.match(probe.sent.first()).hasMatch(), qPrintable(probe.sent.first()));

    // The scheme folder vanished meanwhile: the save fails with the same message.
    prompter.clear();
    probe.failingPrefix.clear();
    QVERIFY(!recorder.saveRecording(folder.path(QStringLiteral("Speech/Gone/Hello.wav"))));
    QCOMPARE(prompter.texts(), QStringList({QStringLiteral("Saving file failed, file name was: ") +
                                            folder.path(QStringLiteral("Speech/Gone/Hello.wav"))}));

    // Once the device can write, the new recording replaces the old one.
    prompter.clear();
    QVERIFY(recorder.saveRecording(file));
    QCOMPARE(prompter.texts(), QStringList());
    QVERIFY(WavHeader::parse(folder.read(QStringLiteral("Speech/Bob/Hello.wav"))).valid);
    QCOMPARE(QDir(folder.path(QStringLiteral("Speech/Bob"))).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("Hello.wav")}));
}

void TestSoundsCore::saveUnderAFolderWithBlanks()
{
    // No short-name detour: the file bears its long name at once.
    TestUserFolder folder;
    folder.makeDir(QStringLiteral("Speech/My Scheme"));
    const QString file = folder.path(QStringLiteral("Speech/My Scheme/Hello.wav"));
    QVERIFY(file.contains(QLatin1Char(' ')));
    SyntheticDevice s;
    FakePrompter prompter;
    WaveRecorder recorder(*s.device, prompter);
    recorder.openCaptureDevice();
    recorder.applyRecordingFormat();
    recorder.startRecording();
    s.clock.advance(50);
    recorder.stopRecording();
    QVERIFY(recorder.saveRecording(file));
    QCOMPARE(folder.entries(QStringLiteral("Speech/My Scheme")), QStringList({QStringLiteral("Hello.wav")}));
}

void TestSoundsCore::settingsFirstUse()
{
    const QString store = m_config.filePath(AppInfo::organisation() + QStringLiteral("/AudioRecorder.conf"));
    QFile::remove(store);
    RecorderSettings settings;
    settings.rate = 1;
    settings.channels = 7;
    settings.resolution = 9;
    settings.waveFileName = QStringLiteral("x");
    settings.waveAutomaticSave = false;
    settings.read();
    QCOMPARE(settings.rate, 11025);
    QCOMPARE(settings.channels, qint16(1));
    QCOMPARE(settings.resolution, qint16(16));
    QCOMPARE(settings.waveFileName, QStringLiteral("C:\\Radio.wav"));
    QCOMPARE(settings.waveAutomaticSave, true);
    QCOMPARE(WaveRecorder::formatCommand(settings.rate, settings.channels, settings.resolution),
             QStringLiteral("set capture alignment 2 bitspersample 16 samplespersec 11025 channels 1 "
                            "bytespersec 22050"));

    // Written back: the store holds the five keys with their default texts.
    settings.write();
    QVERIFY2(QFile::exists(store), qPrintable(store));
    QSettings check(store, QSettings::IniFormat);
    check.beginGroup(QStringLiteral("StartUp"));
    QCOMPARE(check.childKeys().size(), 5);
    QCOMPARE(check.value(QStringLiteral("Rate")).toString(), QStringLiteral("11025"));
    QCOMPARE(check.value(QStringLiteral("Channels")).toString(), QStringLiteral("1"));
    QCOMPARE(check.value(QStringLiteral("Resolution")).toString(), QStringLiteral("16"));
    QCOMPARE(check.value(QStringLiteral("WaveFileName")).toString(), QStringLiteral("C:\\Radio.wav"));
    QCOMPARE(check.value(QStringLiteral("WaveAutomaticSave")).toString(), QStringLiteral("True"));
}

void TestSoundsCore::settingsStoredValues_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("readAs"); // the value read, as it is written back
    QTest::newRow("rate 22050") << "Rate"
                                << "22050"
                                << "22050";
    QTest::newRow("channels 2") << "Channels"
                                << "2"
                                << "2";
    QTest::newRow("resolution 8") << "Resolution"
                                  << "8"
                                  << "8";
    QTest::newRow("blanks around") << "Rate"
                                   << " 44100 "
                                   << "44100";
    QTest::newRow("rate not a number") << "Rate"
                                       << "fast"
                                       << "11025";
    QTest::newRow("rate with a unit") << "Rate"
                                      << "22050Hz"
                                      << "11025";
    QTest::newRow("rate beyond 32 bits") << "Rate"
                                         << "99999999999"
                                         << "11025";
    QTest::newRow("channels empty") << "Channels"
                                    << ""
                                    << "1";
    QTest::newRow("channels beyond 16 bits") << "Channels"
                                             << "70000"
                                             << "1";
    QTest::newRow("resolution decimal") << "Resolution"
                                        << "16.5"
                                        << "16";
    QTest::newRow("file name") << "WaveFileName"
                               << "D:\\Takes\\a b.wav"
                               << "D:\\Takes\\a b.wav";
    QTest::newRow("automatic save False") << "WaveAutomaticSave"
                                          << "False"
                                          << "False";
    QTest::newRow("automatic save false") << "WaveAutomaticSave"
                                          << "false"
                                          << "False";
    QTest::newRow("automatic save other") << "WaveAutomaticSave"
                                          << "maybe"
                                          << "True";
}

void TestSoundsCore::settingsStoredValues()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, readAs);
    const QString store = m_config.filePath(AppInfo::organisation() + QStringLiteral("/AudioRecorder.conf"));
    QFile::remove(store);
    {
        QSettings prepared(QSettings::UserScope, AppInfo::organisation(), QStringLiteral("AudioRecorder"));
        prepared.setValue(QStringLiteral("StartUp/") + key, stored);
    }
    RecorderSettings settings;
    settings.read();
    settings.write();
    QSettings check(store, QSettings::IniFormat);
    QCOMPARE(check.value(QStringLiteral("StartUp/") + key).toString(), readAs);
    if (key == QLatin1String("WaveAutomaticSave"))
        QCOMPARE(settings.waveAutomaticSave, readAs == QLatin1String("True"));
    if (key == QLatin1String("Rate"))
        QVERIFY(WaveRecorder::formatCommand(settings.rate, settings.channels, settings.resolution)
                    .contains(QStringLiteral(" samplespersec ") + readAs + QLatin1Char(' ')));
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
    QTest::newRow("separator") << "a/b" << bad << "'a/b' is not a valid name: a name cannot contain / or \\.";
    QTest::newRow("parent") << ".." << bad << "'..' is not a valid name.";
    QTest::newRow("device name") << "con" << bad << "'con' is not a valid name: Windows reserves it for a device.";
}

void TestSoundsCore::schemeCreate()
{
    QFETCH(QString, name);
    QFETCH(int, result);
    QFETCH(QString, message);
    TestUserFolder folder;
    folder.makeDir(QStringLiteral("Speech/Jim"));
    UserPaths paths(folder.user());
    SchemeStore store(paths);
    QString text;
    QCOMPARE(int(store.create(name, &text)), result);
    QCOMPARE(text, message);
    QStringList expected{QStringLiteral("Jim")};
    if (result == int(SchemeStore::Created::Ok))
        expected.append(name);
    std::sort(expected.begin(), expected.end());
    QCOMPARE(folder.entries(QStringLiteral("Speech")), expected);
    // Nothing was made outside the Speech folder.
    QCOMPARE(folder.entries(QString()), QStringList({QStringLiteral("Speech")}));
}

void TestSoundsCore::schemeCreateWithoutSpeechFolder()
{
    TestUserFolder folder;
    UserPaths paths(folder.user());
    SchemeStore store(paths);
    QString text;
    QCOMPARE(store.create(QStringLiteral("Bob"), &text), SchemeStore::Created::NoSpeechFolder);
    QCOMPARE(text, QStringLiteral("There is no Speech folder in the User folder, so no scheme can be made. =("));
    QVERIFY(!folder.exists(QStringLiteral("Speech")));
}

void TestSoundsCore::schemeRemoveKeepsSubfolders()
{
    TestUserFolder folder;
    folder.writeFile(QStringLiteral("Speech/Bob/Hello.wav"));
    folder.writeFile(QStringLiteral("Speech/Bob/notes.txt"));
    folder.writeFile(QStringLiteral("Speech/Jim/Hello.wav"));
    folder.writeFile(QStringLiteral("Speech/Jim/Old/Hello.wav"));
    folder.writeFile(QStringLiteral("Speech/Hello.wav"));
    UserPaths paths(folder.user());
    SchemeStore store(paths);
    QVERIFY(store.remove(QStringLiteral("Bob")));
    QVERIFY(!store.remove(QStringLiteral("Jim")));
    QCOMPARE(folder.entries(QStringLiteral("Speech")), QStringList({"Hello.wav", "Jim"}));
    QCOMPARE(folder.entries(QStringLiteral("Speech/Jim")), QStringList({"Old"}));
    // No scheme name never means the Speech folder itself.
    QVERIFY(!store.remove(QString()));
    QVERIFY(!store.remove(QStringLiteral("..")));
    QVERIFY(!store.removeSoundByte(QString(), QStringLiteral("Hello.wav")));
    QVERIFY(folder.exists(QStringLiteral("Speech/Hello.wav")));
}

void TestSoundsCore::schemeSoundBytes()
{
    TestUserFolder folder;
    folder.writeFile(QStringLiteral("Speech/Bob/hello.wav"), "old");
    folder.writeFile(QStringLiteral("Speech/Bob/Amazing.wav"));
    folder.writeFile(QStringLiteral("Speech/Bob/readme.txt"));
    folder.makeDir(QStringLiteral("Speech/Bob/Sub"));
    const QString source = folder.writeFile(QStringLiteral("../take.wav"), "new");
    UserPaths paths(folder.user());
    SchemeStore store(paths);
    QCOMPARE(store.soundBytes(QStringLiteral("Bob")), QStringList({"Amazing.wav", "hello.wav", "readme.txt"}));
    QCOMPARE(store.soundBytes(QStringLiteral("bob")), store.soundBytes(QStringLiteral("Bob")));
    QCOMPARE(store.soundBytePath(QStringLiteral("Bob"), QStringLiteral("Hurry")),
             folder.path(QStringLiteral("Speech/Bob/Hurry.wav")));
    QCOMPARE(store.defaultSoundPath(QStringLiteral("Amazing")), folder.path(QStringLiteral("Speech/Amazing.wav")));

    // Setting from a file replaces the sound byte of that name (found whatever its case).
    QVERIFY(store.setSoundByte(QStringLiteral("Bob"), QStringLiteral("Hello"), source));
    QCOMPARE(folder.read(QStringLiteral("Speech/Bob/hello.wav")), QByteArray("new"));
    QCOMPARE(store.soundBytes(QStringLiteral("Bob")).size(), 3);
    // A missing source changes nothing and says why.
    QString error;
    QVERIFY(!store.setSoundByte(QStringLiteral("Bob"), QStringLiteral("Hello"), source + QStringLiteral("x"), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(folder.read(QStringLiteral("Speech/Bob/hello.wav")), QByteArray("new"));
    QVERIFY(QFile::exists(source));

    QVERIFY(store.removeSoundByte(QStringLiteral("Bob"), QStringLiteral("Amazing.wav")));
    QVERIFY(!store.removeSoundByte(QStringLiteral("Bob"), QString()));
    QVERIFY(!store.removeSoundByte(QStringLiteral("Bob"), QStringLiteral("Sub")));
    QCOMPARE(store.soundBytes(QStringLiteral("Bob")), QStringList({"hello.wav", "readme.txt"}));
}

QTEST_GUILESS_MAIN(TestSoundsCore)
#include "tst_sounds_core.moc"
