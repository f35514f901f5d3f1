// Records and plays through the real Qt Multimedia backend. Needs a sound
// server: tools/start-audio.sh starts a headless one with a null output and
// a null microphone. Without one the tests skip and say why.
#include "sounds/WavReader.h"
#include "sounds/audio/MediaSoundPlayer.h"
#include "sounds/audio/QtAudioBackend.h"
#include "sounds/core/WaveDevice.h"
#include "sounds/core/WaveRecorder.h"
#include "support/FakePrompter.h"
#include "support/TestFolders.h"

#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QString ask(CommandDevice& device, const QString& command)
{
    QByteArray buffer = CommandDevice::blankBuffer();
    const int result = device.send(command, &buffer);
    return result == 0 ? CommandDevice::replyText(buffer) : QStringLiteral("error %1").arg(result);
}

// Why the real devices cannot be used here, or "" when they can.
QString unavailable()
{
    const QString reason = qEnvironmentVariable("QUILLANE_AUDIO_UNAVAILABLE");
    if (!reason.isEmpty())
        return QStringLiteral("no sound server: ") + reason;
    if (QMediaDevices::audioInputs().isEmpty() || QMediaDevices::audioOutputs().isEmpty())
        return QStringLiteral("Qt Multimedia finds no audio input or output; start a sound server with "
                              "tools/start-audio.sh");
    return QString();
}

} // namespace

class TestSoundsAudio : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void recordSaveAndPlayThroughQtMultimedia();
    void mediaPlayerPlaysASoundByte();
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
    QtAudioBackend::preferSafeMediaBackend();
}

void TestSoundsAudio::recordSaveAndPlayThroughQtMultimedia()
{
    const QString why = unavailable();
    if (!why.isEmpty())
        QSKIP(qPrintable(why));

    auto owned = std::make_unique<QtAudioBackend>();
    QtAudioBackend* backend = owned.get();
    QVERIFY(!backend->inputDevice().isNull());
    WaveDevice device(std::move(owned));
    FakePrompter prompter;
    WaveRecorder recorder(device, prompter);
    recorder.openCaptureDevice();
    recorder.applyRecordingFormat();
    QVERIFY(recorder.startRecording());
    QCOMPARE(ask(device, QStringLiteral("status capture mode")), QStringLiteral("recording"));
    // The input delivers in real time while the event loop runs.
    QTRY_VERIFY_WITH_TIMEOUT(ask(device, QStringLiteral("status capture position")).toInt() >= 600, 10000);
    recorder.stopRecording();
    const int length = recorder.getCapturePosition();
    QVERIFY2(length >= 600 && length < 5000, qPrintable(QString::number(length)));
    QCOMPARE(ask(device, QStringLiteral("status capture mode")), QStringLiteral("stopped"));

    TestUserFolder folder;
    folder.makeDir(QStringLiteral("Speech/My Scheme"));
    const QString file = folder.path(QStringLiteral("Speech/My Scheme/Hello.wav"));
    QVERIFY(recorder.saveRecording(file));
    const WavHeader h = WavHeader::parse(folder.read(QStringLiteral("Speech/My Scheme/Hello.wav")));
    QVERIFY(h.valid);
    QCOMPARE(h.rate, 11025u);
    QCOMPARE(h.channels, quint16(1));
    QCOMPARE(h.bits, quint16(16));
    QCOMPARE(device.send(QStringLiteral("set capture time format bytes")), 0);
    QCOMPARE(h.dataSize, ask(device, QStringLiteral("status capture length")).toUInt());

    // Play the second half through the output; the device reports the end by itself.
    recorder.playFromPosition(length / 2);
    QCOMPARE(prompter.texts(), QStringList());
    QCOMPARE(ask(device, QStringLiteral("status capture mode")), QStringLiteral("playing"));
    QTRY_COMPARE_WITH_TIMEOUT(ask(device, QStringLiteral("status capture mode")), QStringLiteral("stopped"), 10000);
    QCOMPARE(recorder.getCapturePosition(), length);
    recorder.closeCaptureDevice();
    QCOMPARE(prompter.texts(), QStringList());
}

void TestSoundsAudio::mediaPlayerPlaysASoundByte()
{
    const QString why = unavailable();
    if (!why.isEmpty())
        QSKIP(qPrintable(why));

    // A short recording of the real input, saved by the device, played by the media player.
    TestUserFolder folder;
    folder.makeDir(QStringLiteral("Speech/Bob"));
    const QString file = folder.path(QStringLiteral("Speech/Bob/Hello.wav"));
    {
        WaveDevice device(std::make_unique<QtAudioBackend>());
        FakePrompter prompter;
        WaveRecorder recorder(device, prompter);
        recorder.openCaptureDevice();
        recorder.applyRecordingFormat();
        QVERIFY(recorder.startRecording());
        QTRY_VERIFY_WITH_TIMEOUT(ask(device, QStringLiteral("status capture position")).toInt() >= 300, 10000);
        recorder.stopRecording();
        QVERIFY(recorder.saveRecording(file));
    }

    MediaSoundPlayer player;
    player.play(file);
    QTRY_COMPARE_WITH_TIMEOUT(player.player()->mediaStatus(), QMediaPlayer::EndOfMedia, 10000);
    QCOMPARE(player.player()->error(), QMediaPlayer::NoError);
    player.release();
    QVERIFY(player.player()->source().isEmpty());
}

QTEST_GUILESS_MAIN(TestSoundsAudio)
#include "tst_sounds_audio.moc"
