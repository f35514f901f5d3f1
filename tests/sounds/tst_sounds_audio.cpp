// SPDX-License-Identifier: GPL-3.0-or-later
// Records and plays through the real Qt Multimedia backend. Needs a sound
// server: tools/start-audio.sh starts a headless one with a null output and
// a null microphone. Without one the test skips and says why.
#include "sounds/DeviceProbe.h"
#include "sounds/WavReader.h"
#include "sounds/audio/AudioInputs.h"
#include "sounds/audio/MediaSoundPlayer.h"
#include "sounds/audio/QtAudioBackend.h"
#include "sounds/core/RecorderSettings.h"
#include "sounds/core/WaveDevice.h"
#include "sounds/core/WaveRecorder.h"
#include "support/FakePrompter.h"
#include "support/SyntheticBackend.h"
#include "support/TestFolders.h"

#include <QAudioDevice>
#include <QBuffer>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// Plays `file` with the editor's media player and lets it go: the player's
// error, or "" when the file played to its end and was released.
QString playThrough(const QString& file)
{
    MediaSoundPlayer player;
    player.play(file);
    const bool ended =
        QTest::qWaitFor([&] { return player.player()->mediaStatus() == QMediaPlayer::EndOfMedia; }, 10000);
    const QString error = player.player()->errorString();
    player.release();
    return (ended ? error : "not played to its end: " + error) +
           (player.player()->source().isEmpty() ? "" : " (not released)");
}

} // namespace

class TestSoundsAudio : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void recordSaveAndPlayThroughQtMultimedia();
    void inputLevelFollowsTheRealInput();
    void recorderOpensTheChosenMicrophone();
    void mediaPlayerPlaysEveryChannelCount();
};

void TestSoundsAudio::initTestCase()
{
    // The tests run with a runtime folder of their own; find the server that
    // tools/start-audio.sh started in the usual place.
    if (!qEnvironmentVariableIsSet("PULSE_SERVER")) {
#ifdef Q_OS_UNIX
        const QString candidate = QStringLiteral("/tmp/xdg-runtime-%1/pulse/native").arg(getuid());
        if (QFileInfo::exists(candidate))
            qputenv("PULSE_SERVER", ("unix:" + candidate).toUtf8());
#endif
    }
    QStandardPaths::setTestModeEnabled(true); // the remembered microphone is the test's own
    QtAudioBackend::preferSafeMediaBackend();
    const QString reason = qEnvironmentVariable("QUILLANE_AUDIO_UNAVAILABLE");
    if (!reason.isEmpty())
        QSKIP(qPrintable("no sound server: " + reason));
    if (QMediaDevices::audioInputs().isEmpty() || QMediaDevices::audioOutputs().isEmpty())
        QSKIP("Qt Multimedia finds no audio input or output; start a sound server with tools/start-audio.sh");
}

void TestSoundsAudio::recordSaveAndPlayThroughQtMultimedia()
{
    WaveDevice device(std::make_unique<QtAudioBackend>());
    FakePrompter prompter;
    WaveRecorder recorder(device, prompter);
    recorder.openCaptureDevice();
    recorder.applyRecordingFormat();
    QVERIFY(recorder.startRecording());
    QCOMPARE(ask(device, "status capture mode"), QStringLiteral("recording"));
    // The input delivers in real time while the event loop runs.
    QTRY_VERIFY_WITH_TIMEOUT(ask(device, "status capture position").toInt() >= 600, 10000);
    recorder.stopRecording();
    const int length = recorder.getCapturePosition();
    QVERIFY2(length >= 600 && length < 5000, qPrintable(QString::number(length)));
    QCOMPARE(ask(device, "status capture mode"), QStringLiteral("stopped"));

    TestUserFolder folder;
    folder.makeDir("Speech/My Scheme");
    const QString file = folder.path("Speech/My Scheme/Hello.wav");
    QVERIFY(recorder.saveRecording(file));
    const WavHeader h = WavHeader::parse(folder.read("Speech/My Scheme/Hello.wav"));
    QCOMPARE(QString::asprintf("%u %u %u", h.rate, h.channels, h.bits), QStringLiteral("11025 1 16"));
    QCOMPARE(code(device, "set capture time format bytes"), 0);
    QCOMPARE(h.dataSize, ask(device, "status capture length").toUInt());

    // Play the second half through the output; the device reports the end by itself.
    recorder.playFromPosition(length / 2);
    QCOMPARE(ask(device, "status capture mode"), QStringLiteral("playing"));
    QTRY_COMPARE_WITH_TIMEOUT(ask(device, "status capture mode"), QStringLiteral("stopped"), 10000);
    QCOMPARE(recorder.getCapturePosition(), length);
    recorder.closeCaptureDevice();
    QCOMPARE(prompter.texts(), QStringList());
    QCOMPARE(playThrough(file), QString());
}

void TestSoundsAudio::inputLevelFollowsTheRealInput()
{
    // tools/start-audio.sh's "fakemic" hears whatever plays on the null output.
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    if (std::none_of(inputs.begin(), inputs.end(), [](const QAudioDevice& d) { return d.id() == "fakemic"; }))
        QSKIP("no input named fakemic; tools/start-audio.sh makes one");
    WaveDevice device(std::make_unique<QtAudioBackend>(QByteArray("fakemic")));
    FakePrompter prompter;
    WaveRecorder recorder(device, prompter);
    recorder.openCaptureDevice();
    recorder.applyRecordingFormat();
    QVERIFY(recorder.startRecording());
    QTRY_VERIFY_WITH_TIMEOUT(recorder.inputLevel().silentMs >= 300 || recorder.inputLevel().dbfs < -50, 10000);

    // A tone at half of full scale, played on the output the input listens to.
    QtAudioBackend speaker;
    const PcmFormat format{11025, 1, 16};
    auto tone = std::make_unique<QBuffer>();
    tone->setData(SyntheticBackend::tone(format, 0, 11025 * 5));
    QVERIFY(tone->open(QIODevice::ReadOnly));
    QCOMPARE(speaker.startPlayback(format, std::move(tone)), AudioBackend::Result::Ok);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.inputLevel().dbfs > -20, 10000);
    QCOMPARE(recorder.inputLevel().silentMs, 0);
    speaker.stopPlayback();
    recorder.closeCaptureDevice();
    QCOMPARE(prompter.texts(), QStringList());
}

void TestSoundsAudio::recorderOpensTheChosenMicrophone()
{
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    if (std::none_of(inputs.begin(), inputs.end(), [](const QAudioDevice& d) { return d.id() == "fakemic"; }))
        QSKIP("no input named fakemic; tools/start-audio.sh makes one");
    // The server itself names one of Qt's inputs as its default.
    const QByteArray asked = AudioInputs::serverDefaultSource();
    QVERIFY2(std::any_of(inputs.begin(), inputs.end(), [&](const QAudioDevice& d) { return d.id() == asked; }),
             asked.constData());

    const QByteArray qtDefault = QMediaDevices::defaultAudioInput().id();
    const struct {
        QByteArray server, remembered, opened;
    } rows[] = {
        {"fakemic", "", "fakemic"},
        {"nosuch", "fakemic", "fakemic"},
        {"fakemic", "gone.source", "fakemic"},
        {"nosuch", "", qtDefault},
    };
    for (const auto& row : rows) {
        const QByteArray server = row.server;
        AudioInputs::setServerDefaultForTests([server] { return server; });
        RecorderSettings::writeMicrophone({row.remembered, QString()});
        QCOMPARE(QtAudioBackend().inputDevice().id(), row.opened);
    }
    AudioInputs::setServerDefaultForTests(nullptr);
    RecorderSettings::writeMicrophone({});
}

void TestSoundsAudio::mediaPlayerPlaysEveryChannelCount()
{
    // A recording in any format the device takes is a file that players
    // (here the editor's own media player) can play.
    for (int channels : {3, 7}) {
        for (int bits : {8, 16}) {
            SyntheticDevice s;
            FakePrompter prompter;
            WaveRecorder recorder(*s.device, prompter);
            recorder.settings().channels = qint16(channels);
            recorder.settings().resolution = qint16(bits);
            QVERIFY(s.record(recorder, 1000));
            const QTemporaryDir dir;
            QVERIFY(recorder.saveRecording(dir.filePath("Hello.wav")));
            QCOMPARE(prompter.texts(), QStringList());
            const QString format = QStringLiteral("%1 channels, %2 bits: ").arg(channels).arg(bits);
            QCOMPARE(format + playThrough(dir.filePath("Hello.wav")), format);
        }
    }
}

QTEST_GUILESS_MAIN(TestSoundsAudio)
#include "tst_sounds_audio.moc"
