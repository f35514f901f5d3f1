// SPDX-License-Identifier: GPL-3.0-or-later
// Clips made through a fake game (a program of the tests that writes frames
// as the game does), read back with libavformat; and the Make Clip dialog.
#include "clips/core/ClipMaker.h"
#include "common/core/WindowsPath.h"
#include "games/core/GameLog.h"
#include "games/ui/ClipDialog.h"
#include "support/FakeDesktop.h"
#include "support/FakeLauncher.h"
#include "support/FakePrompter.h"
#include "support/TestFolders.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

struct Probe {
    QString codec;
    int width = 0;
    int height = 0;
    int frames = 0;
    double seconds = 0;
    int lastGrey = -1; // the grey level of the last frame's top left pixel
};

// The grey level at the top left of `frame`.
int greyCorner(const AVFrame* frame)
{
    SwsContext* scaler = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                        frame->height, AV_PIX_FMT_GRAY8, SWS_POINT, nullptr, nullptr, nullptr);
    QByteArray grey(frame->width * frame->height, 0);
    uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(grey.data())};
    int strides[4] = {frame->width};
    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
    sws_freeContext(scaler);
    return uchar(grey.at(2 * frame->width + 2));
}

Probe probe(const QString& path)
{
    Probe result;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return result;
    if (avformat_find_stream_info(format, nullptr) >= 0 && format->nb_streams == 1) {
        const AVCodecParameters* parameters = format->streams[0]->codecpar;
        result.codec = QString::fromLatin1(avcodec_get_name(parameters->codec_id));
        result.width = parameters->width;
        result.height = parameters->height;
        result.seconds = double(format->duration) / AV_TIME_BASE;
        const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
        AVCodecContext* decoder = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoder, parameters);
        avcodec_open2(decoder, codec, nullptr);
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        bool more = true;
        while (more) {
            more = av_read_frame(format, packet) >= 0;
            result.frames += more;
            avcodec_send_packet(decoder, more ? packet : nullptr);
            av_packet_unref(packet);
            while (avcodec_receive_frame(decoder, frame) >= 0)
                result.lastGrey = greyCorner(frame);
        }
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
    }
    avformat_close_input(&format);
    return result;
}

// The Make Clip dialog over a replay of its own, with the fake game.
struct Dialog {
    TestUserFolder folder;
    FakePrompter prompter;
    FakeDesktop desktop;
    FakeLauncher launcher;
    std::unique_ptr<ClipDialog> dialog;

    explicit Dialog(const QByteArray& log = QByteArray())
    {
        const QString game = QStringLiteral("Games/2024-01-02 10.00.00 [Offline] A, B");
        if (!log.isEmpty())
            folder.writeFile(game + QStringLiteral(".log"), log);
        folder.writeGameFile(QStringLiteral("WA.exe"));
        launcher.programs = {{QStringLiteral("wine"), QStringLiteral(QUILLANE_FAKE_GAME)}};
        qputenv("QUILLANE_FAKE_GAME_USER", folder.user().toLocal8Bit());
        dialog = std::make_unique<ClipDialog>(prompter, desktop, launcher,
                                              GameInstall::make(GameInstall::Kind::Folder, folder.user()),
                                              folder.writeFile(game + QStringLiteral(".WAgame")));
        dialog->maker().pathLookup().setWinepathLocator([] { return QString(); });
        dialog->maker().setTimeouts(3000, 3000, 300);
    }
    template <class T = QPushButton> T* field(const char* name) { return dialog->findChild<T*>(QLatin1String(name)); }
    void setRange(const QString& start, const QString& end)
    {
        field<QLineEdit>("txtClipStart")->setText(start);
        field<QLineEdit>("txtClipEnd")->setText(end);
    }
};

// A turn of the log without a weapon: its start and end, and the damage it dealt.
QByteArray turn(const char* start, const char* end, int damage)
{
    return QByteArray("[00:00:") + start + "] \x95\x95\x95 A (Ann) starts turn\r\n[00:00:" + end +
           "] \x95\x95\x95 A (Ann) ends turn; time used: 9.00 sec turn\r\n[00:00:" + end +
           "] \x95\x95\x95 Damage dealt: " + QByteArray::number(damage) + " to B (Bob)\r\n";
}

} // namespace

class TestClips : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bestTurn_data();
    void bestTurn();
    void times_data();
    void times();
    void clip_data();
    void clip();
    void cancel_data();
    void cancel();
    void dialogTimes_data();
    void dialogTimes();
    void dialogBestTurn_data();
    void dialogBestTurn();
    void dialogClip_data();
    void dialogClip();
};

void TestClips::bestTurn_data()
{
    QTest::addColumn<QList<QList<qint64>>>("turns"); // start, first weapon, end, damage
    QTest::addColumn<qint64>("from");                // -1: no turn to take
    QTest::addColumn<qint64>("to");
    QTest::newRow("most damage of three")
        << QList<QList<qint64>>{{1000, 1500, 3000, 30}, {3100, 4200, 6000, 95}, {6100, 6800, 9000, 40}} << qint64(3900)
        << qint64(6000);
    QTest::newRow("a tie: the earlier") << QList<QList<qint64>>{{1000, 1200, 3000, 50}, {3100, 3500, 6000, 50}}
                                        << qint64(900) << qint64(3000);
    QTest::newRow("weapon at once: from the game's start")
        << QList<QList<qint64>>{{0, 150, 2000, 10}} << qint64(0) << qint64(2000);
    QTest::newRow("no weapon: from the turn's start")
        << QList<QList<qint64>>{{500, -1, 2000, 0}} << qint64(500) << qint64(2000);
    QTest::newRow("end unknown") << QList<QList<qint64>>{{500, 600, -1, 80}, {2500, 2600, 4000, 5}} << qint64(2300)
                                 << qint64(4000);
    QTest::newRow("no turns") << QList<QList<qint64>>{} << qint64(-1) << qint64(-1);
}

void TestClips::bestTurn()
{
    QFETCH(QList<QList<qint64>>, turns);
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    GameLog log;
    for (const QList<qint64>& values : turns) {
        GameLogTurn turn;
        turn.start = values[0];
        turn.firstWeapon = values[1];
        turn.end = values[2];
        turn.damageDealt = int(values[3]);
        log.turns << turn;
    }
    const auto range = BestTurn::find(log);
    QCOMPARE(range ? range->from : -1, from);
    QCOMPARE(range ? range->to : -1, to);
}

void TestClips::times_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<qint64>("hundredths"); // -1: refused
    QTest::addColumn<QString>("gameTime");
    QTest::newRow("m:ss") << " 1:05 " << qint64(6500) << "00:01:05.00";
    QTest::newRow("long game in minutes") << "125:00" << qint64(750000) << "02:05:00.00";
    QTest::newRow("h:mm:ss.cc") << "1:02:03.45" << qint64(372345) << "01:02:03.45";
    QTest::newRow("tenths") << "0:03.5" << qint64(350) << "00:00:03.50";
    QTest::newRow("sixty seconds") << "0:60" << qint64(-1) << "";
    QTest::newRow("one-digit seconds") << "1:5" << qint64(-1) << "";
    QTest::newRow("thousandths") << "0:01.234" << qint64(-1) << "";
    QTest::newRow("four parts") << "1:00:00:00" << qint64(-1) << "";
    QTest::newRow("sign") << "-1:00" << qint64(-1) << "";
}

void TestClips::times()
{
    QFETCH(QString, typed);
    QFETCH(qint64, hundredths);
    QFETCH(QString, gameTime);
    QCOMPARE(ClipRequest::parseTime(typed), hundredths);
    if (hundredths >= 0)
        QCOMPARE(ClipRequest::gameTime(hundredths), gameTime);
}

namespace {

struct Run {
    TestUserFolder folder;
    QTemporaryDir out;
    FakeLauncher launcher;
    ClipMaker maker{launcher};
    QString replay;
    ClipRequest request;

    explicit Run(const QString& extension)
    {
        folder.writeGameFile(QStringLiteral("WA.exe"));
        replay = folder.writeFile(QStringLiteral("Games/2024-01-02 10.00.00 [Offline] A, B.WAgame"));
        maker.pathLookup().setWinepathLocator([] { return QString(); });
        maker.setTimeouts(1500, 1500, 300);
        qputenv("QUILLANE_FAKE_GAME_USER", folder.user().toLocal8Bit());
        request.replayPath = replay;
        request.from = 100;
        request.to = 200;
        request.fps = 20;
        request.width = 64;
        request.height = 48;
        request.outPath = out.filePath(QStringLiteral("clip.") + extension);
    }
    QString capture() const { return QStringLiteral("Capture/2024-01-02 10.00.00 [Offline] A, B"); }
    // Steam's start is not watched: Steam starts the game on its own with
    // the arguments after its "-applaunch 217200".
    void handOffToFakeGame()
    {
        launcher.onStart = [](const LaunchRequest& start) {
            if (start.arguments.startsWith(QStringLiteral("-applaunch")))
                QProcess::startDetached(start.program, start.arguments.mid(2));
        };
    }
};

} // namespace

void TestClips::clip_data()
{
    QTest::addColumn<GameInstall::Kind>("kind");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("mode"); // how the fake game behaves
    QTest::addColumn<bool>("foreignFile");
    QTest::addColumn<QString>("codec"); // "" for no clip
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("message"); // the start of the failure
    const QString all = QStringLiteral("all");
    const QString none;
    QTest::newRow("wine prefix, mp4") << GameInstall::Kind::Wine << "mp4" << all << false << "h264" << 20 << none;
    QTest::newRow("steam, webm") << GameInstall::Kind::Steam << "webm" << all << false << "vp9" << 20 << none;
    QTest::newRow("folder, gif") << GameInstall::Kind::Folder << "GIF" << all << false << "gif" << 20 << none;
    // The replay ends before the clip does.
    QTest::newRow("steam, game ends early") << GameInstall::Kind::Steam << "mp4"
                                            << "short" << false << "h264" << 10 << none;
    QTest::newRow("stops halfway") << GameInstall::Kind::Folder << "gif"
                                   << "half" << false << none << 0
                                   << "The game stopped making frames: no new frame for 1.5 seconds after frame 10 "
                                      "of 20.";
    QTest::newRow("writes none") << GameInstall::Kind::Folder << "mp4"
                                 << "none" << false << none << 0 << "The game made no frame within 1.5 seconds.";
    QTest::newRow("another export's frames kept")
        << GameInstall::Kind::Folder << "mp4" << all << true << none << 0 << "The clip was not made: the folder ";
}

void TestClips::clip()
{
    QFETCH(GameInstall::Kind, kind);
    QFETCH(QString, extension);
    QFETCH(QString, mode);
    QFETCH(bool, foreignFile);
    QFETCH(QString, codec);
    QFETCH(int, frames);
    QFETCH(QString, message);
    Run run(extension);
    qputenv("QUILLANE_FAKE_GAME_MODE", mode.toLatin1());
    qputenv("QUILLANE_FAKE_GAME_DELAY", "10");
    const QString fakeGame = QStringLiteral(QUILLANE_FAKE_GAME);
    run.launcher.programs = {{kind == GameInstall::Kind::Steam ? "steam" : "wine", fakeGame}};
    run.handOffToFakeGame();
    QTemporaryDir prefix;
    const GameInstall install =
        GameInstall::make(kind, run.folder.user(), kind == GameInstall::Kind::Wine ? prefix.path() : QString());
    if (foreignFile)
        run.folder.writeFile(run.capture() + QStringLiteral("/video_000000.png"), "mine");
    int asked = 0;
    run.maker.setConsent([&asked](const QString&, int files) { return ++asked && files == 0; });

    QSignalSpy finished(&run.maker, &ClipMaker::finished);
    QSignalSpy failed(&run.maker, &ClipMaker::failed);
    QSignalSpy progress(&run.maker, &ClipMaker::progress);
    run.maker.start(install, run.request);
    QVERIFY(QTest::qWaitFor([&] { return !finished.isEmpty() || !failed.isEmpty(); }, 20000));

    QCOMPARE(asked, foreignFile ? 1 : 0);
    if (!foreignFile) {
        const QStringList gameArguments = {QStringLiteral("/getvideo"),   WindowsPath::zDrive(run.replay),
                                           QStringLiteral("20"),          QStringLiteral("00:00:01.00"),
                                           QStringLiteral("00:00:02.00"), QStringLiteral("64"),
                                           QStringLiteral("48"),          QStringLiteral("/quiet")};
        QCOMPARE(run.launcher.requests.size(), 1);
        const LaunchRequest& started = run.launcher.requests.first();
        QCOMPARE(started.program, fakeGame);
        if (kind == GameInstall::Kind::Steam) {
            QCOMPARE(started.arguments,
                     QStringList({QStringLiteral("-applaunch"), QStringLiteral("217200")}) + gameArguments);
            QCOMPARE(started.workingFolder, QString());
        } else {
            QCOMPARE(started.arguments, QStringList{run.folder.game() + QStringLiteral("WA.exe")} + gameArguments);
            QCOMPARE(started.workingFolder + QLatin1Char('/'), run.folder.game());
        }
        QCOMPARE(started.environment.value(QStringLiteral("WINEPREFIX")),
                 kind == GameInstall::Kind::Wine ? prefix.path() : QString());
    } else {
        QVERIFY(run.launcher.requests.isEmpty());
    }

    if (codec.isEmpty()) {
        QCOMPARE(failed.size(), 1);
        QVERIFY2(failed.first().first().toString().startsWith(message), qPrintable(failed.first().first().toString()));
        QCOMPARE(QDir(run.out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    } else {
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toString(), run.request.outPath);
        QCOMPARE(QDir(run.out.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("clip.") + extension});
        const Probe clip = probe(run.request.outPath);
        QCOMPARE(clip.codec, codec);
        QCOMPARE(clip.width, 64);
        QCOMPARE(clip.height, 48);
        QCOMPARE(clip.frames, frames);
        QVERIFY2(qAbs(clip.seconds - frames / 20.0) < 0.06, qPrintable(QString::number(clip.seconds)));
        // The last frame is the game's last picture (the fake game's grey band), not a mix of earlier ones.
        QVERIFY2(qAbs(clip.lastGrey - (frames - 1) * 37 % 256) < 8, qPrintable(QString::number(clip.lastGrey)));
        // The bar ends full.
        const QList<QVariant> last = progress.last();
        QCOMPARE(last.at(1).toInt(), last.at(2).toInt());
    }
    // The export's frames go whatever the outcome; another export's stay.
    QCOMPARE(run.folder.files(run.capture()),
             foreignFile ? QStringList{QStringLiteral("video_000000.png=mine")} : QStringList());
}

void TestClips::cancel_data()
{
    QTest::addColumn<GameInstall::Kind>("kind");
    QTest::newRow("watched game") << GameInstall::Kind::Folder;
    QTest::newRow("game started through Steam") << GameInstall::Kind::Steam;
}

void TestClips::cancel()
{
    QFETCH(GameInstall::Kind, kind);
    Run run(QStringLiteral("mp4"));
    qputenv("QUILLANE_FAKE_GAME_MODE", "all");
    qputenv("QUILLANE_FAKE_GAME_DELAY", "100");
    run.launcher.programs = {{kind == GameInstall::Kind::Steam ? "steam" : "wine", QStringLiteral(QUILLANE_FAKE_GAME)}};
    run.handOffToFakeGame();
    QSignalSpy cancelled(&run.maker, &ClipMaker::cancelled);
    QSignalSpy progress(&run.maker, &ClipMaker::progress);
    run.maker.start(GameInstall::make(kind, run.folder.user()), run.request);
    QVERIFY(QTest::qWaitFor([&] { return !progress.isEmpty() && progress.last().at(1).toInt() >= 3; }, 10000));
    run.maker.cancel();
    QVERIFY(QTest::qWaitFor([&] { return !cancelled.isEmpty(); }, 10000));
    QVERIFY(!run.maker.isRunning());
    // The game was ended: no frame comes after.
    QTest::qWait(300);
    QVERIFY(!run.folder.exists(run.capture()));
    QCOMPARE(QDir(run.out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestClips::dialogTimes_data()
{
    QTest::addColumn<QStringList>("range");
    QTest::addColumn<QString>("message"); // "" when the range is taken and the save dialog comes
    QTest::newRow("start without its seconds' tens") << QStringList{"1:7", "1:20"} << "The start \"1:7\" is not a time";
    QTest::newRow("seconds past 59") << QStringList{"0:05", "0:75"} << "The end \"0:75\" is not a time";
    QTest::newRow("end before start") << QStringList{"1:00", "0:59.99"}
                                      << "The end of the clip must come after its start.";
    QTest::newRow("hours and hundredths") << QStringList{"1:00:00", "1:00:02.5"} << "";
}

void TestClips::dialogTimes()
{
    QFETCH(QStringList, range);
    QFETCH(QString, message);
    Dialog d;
    d.setRange(range[0], range[1]);
    if (message.isEmpty())
        d.prompter.answerSaveFile(QString()); // the user cancels the save dialog
    QTest::mouseClick(d.field("cmdMakeClip"), Qt::LeftButton);
    QCOMPARE(d.prompter.boxes().size(), 1);
    const FakePrompter::Box box = d.prompter.boxes().first();
    QCOMPARE(box.kind, message.isEmpty() ? FakePrompter::Kind::SaveFile : FakePrompter::Kind::Message);
    const QString name = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation) +
                         QStringLiteral("/2024-01-02 10.00.00 [Offline] A, B 1.00.00-1.00.02.50.mp4");
    QVERIFY2(message.isEmpty() ? box.extra.endsWith(name) : box.text.startsWith(message),
             qPrintable(box.text + box.extra));
    QVERIFY(d.launcher.requests.isEmpty());
    VERIFY_PROMPTER(d.prompter);
}

void TestClips::dialogBestTurn_data()
{
    QTest::addColumn<QByteArray>("log"); // "" for none
    QTest::addColumn<QString>("range");  // what Best turn fills in; "" when it is not offered
    const QByteArray teams = "Red: \"Ann\" as \"A\"\r\nBlue: \"Bob\" as \"B\"\r\n";
    QTest::newRow("three turns: the second dealt most")
        << teams + turn("01.00", "20.00", 30) + turn("22.00", "45.50", 95) + turn("50.00", "59.00", 40)
        << "0:22-0:45.50";
    QTest::newRow("log without turns") << teams << "";
    QTest::newRow("no log") << QByteArray() << "";
}

void TestClips::dialogBestTurn()
{
    QFETCH(QByteArray, log);
    QFETCH(QString, range);
    Dialog d(log);
    auto* best = d.field("cmdBestTurn");
    QVERIFY(QTest::qWaitFor([&] { return !best->toolTip().startsWith(QStringLiteral("Reading")); }, 5000));
    QCOMPARE(best->isEnabled(), !range.isEmpty());
    d.setRange(QStringLiteral("9:00"), QStringLiteral("9:10"));
    QTest::mouseClick(best, Qt::LeftButton);
    QCOMPARE(d.field<QLineEdit>("txtClipStart")->text() + '-' + d.field<QLineEdit>("txtClipEnd")->text(),
             range.isEmpty() ? QStringLiteral("9:00-9:10") : range);
}

void TestClips::dialogClip_data()
{
    QTest::addColumn<int>("format");   // in the format list
    QTest::addColumn<QString>("made"); // the file left; "" when cancelled
    QTest::newRow("GIF, extension added") << 2 << "clip.gif";
    QTest::newRow("MP4, cancelled") << 0 << "";
}

void TestClips::dialogClip()
{
    QFETCH(int, format);
    QFETCH(QString, made);
    Dialog d;
    QTemporaryDir out;
    qputenv("QUILLANE_FAKE_GAME_MODE", "all");
    qputenv("QUILLANE_FAKE_GAME_DELAY", made.isEmpty() ? "100" : "10");
    d.dialog->show();
    d.setRange(QStringLiteral("0:01"), QStringLiteral("0:02"));
    d.field<QComboBox>("cboClipFormat")->setCurrentIndex(format);
    d.prompter.answerSaveFile(out.filePath(QStringLiteral("clip")));
    QTest::mouseClick(d.field("cmdMakeClip"), Qt::LeftButton);
    auto* bar = d.field<QProgressBar>("prgClip");
    if (made.isEmpty()) {
        QVERIFY(QTest::qWaitFor([&] { return bar->value() >= 3; }, 10000));
        QTest::mouseClick(d.field("cmdCancel"), Qt::LeftButton);
    }
    QVERIFY(QTest::qWaitFor([&] { return !d.dialog->isMaking(); }, 20000));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden),
             made.isEmpty() ? QStringList() : QStringList{made});
    QVERIFY(!d.folder.exists(QStringLiteral("Capture/2024-01-02 10.00.00 [Offline] A, B")));
    const QString status = d.field<QLabel>("lblClipStatus")->text();
    QVERIFY2(status.startsWith(made.isEmpty() ? "Cancelled: no clip was made." : "The clip is made: "),
             qPrintable(status));
    QCOMPARE(d.field("cmdShowInFolder")->isHidden(), made.isEmpty());
    if (!made.isEmpty()) {
        QCOMPARE(bar->value(), bar->maximum());
        QTest::mouseClick(d.field("cmdShowInFolder"), Qt::LeftButton);
        QCOMPARE(d.desktop.folders, QStringList{out.path()});
    }
    VERIFY_PROMPTER(d.prompter);
}

QTEST_MAIN(TestClips)
#include "tst_clips.moc"
