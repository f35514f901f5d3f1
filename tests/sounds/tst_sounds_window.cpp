// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/AppInfo.h"
#include "common/ui/WindowNames.h"
#include "shell/ui/MainMenuWindow.h"
#include "sounds/DeviceProbe.h"
#include "sounds/SoundFiles.h"
#include "sounds/WavReader.h"
#include "sounds/core/RecorderSettings.h"
#include "sounds/core/SoundPlayer.h"
#include "sounds/core/WaveDevice.h"
#include "sounds/core/WaveRecorder.h"
#include "sounds/ui/SoundBankWindow.h"
#include "support/HeldFileSystem.h"
#include "support/SyntheticBackend.h"
#include "support/TestApp.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>

namespace {

constexpr int kTick = 20; // the status tick in these tests
const QString kStopped = QStringLiteral("The Quillane SoundBank Editor: stopped");

// A media player that only remembers what it was asked to do.
class FakeSoundPlayer : public SoundPlayer {
public:
    bool play(const QString& file) override
    {
        log.append("play " + file);
        return !noOutput;
    }
    void release() override { log.append("release"); }
    // The file given last has played to its end.
    void finish() { notifyFinished(); }

    QStringList log;
    bool noOutput = false;
};

// The editor's sound kit for tests: the real wave device on a synthetic sound
// card whose clock the test moves, behind a probe that records and can fail
// commands, and a fake media player.
struct Rig {
    qint64 now = 0;
    SyntheticBackend::Options card;
    RecordingLimits limits;
    std::unique_ptr<WaveDevice> device;
    DeviceProbe* probe = nullptr;
    FakeSoundPlayer* player = nullptr; // made at the first play
    SoundKit kit;

    Rig()
    {
        card.clock = [this] { return now; };
        kit.makeDevice = [this]() -> std::unique_ptr<CommandDevice> {
            device = std::make_unique<WaveDevice>(std::make_unique<SyntheticBackend>(card), limits);
            auto p = std::make_unique<DeviceProbe>(device.get());
            probe = p.get();
            return p;
        };
        kit.makePlayer = [this] {
            auto p = std::make_unique<FakeSoundPlayer>();
            player = p.get();
            return p;
        };
    }
};

// Writes `files` under Speech/ (a name ending in / is a folder) and opens the
// editor from the main menu with the rig's sound kit.
SoundBankWindow* open(TestApp& t, Rig& rig, std::initializer_list<const char*> files = {})
{
    for (const QString file : files)
        file.endsWith('/') ? t.folder.makeDir("Speech/" + file) : t.folder.writeFile("Speech/" + file);
    t.intervals.statusTick = kTick;
    t.soundKit = &rig.kit;
    t.create();
    t.app().openFromMenu(WindowNames::Sounds);
    return qobject_cast<SoundBankWindow*>(t.existing(WindowNames::Sounds));
}

template <class T = QWidget> T* get(QWidget* w, const char* name)
{
    return named<T>(w, QLatin1String(name));
}

void press(QWidget* w, const char* name)
{
    click(get(w, name));
}

QStringList items(const QAbstractItemModel* model)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data().toString();
    return texts;
}

// The current scheme as the window shows it, then its files:
// "Bob: Amazing.wav, Hello.wav". The name label must agree with the list.
QString scheme(QWidget* w)
{
    const QString current = get<QComboBox>(w, "cboScheme")->currentText();
    const QString label = get<QLabel>(w, "lblSchemeName")->text();
    return (label == current ? current : current + " labelled " + label) + ": " +
           items(get<QListWidget>(w, "File1")->model()).join(", ");
}

void select(QListWidget* list, const QString& text)
{
    list->setCurrentItem(list->findItems(text, Qt::MatchExactly).value(0));
}

void doubleClick(QListWidget* list, const QString& text)
{
    select(list, text);
    const QRect rect = list->visualItemRect(list->currentItem());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// The enabled state of Record, Preview, Stop and OK, as "RPS-" (a dash for
// disabled), then the start slider's maximum: "RPS- 10".
QString buttons(QWidget* w)
{
    QString s;
    for (const char* name : {"Record", "Play", "Stop", "OK"})
        s += get(w, (QByteArray("cmd") + name).constData())->isEnabled() ? QLatin1Char(name[0]) : QLatin1Char('-');
    return s + ' ' + QString::number(get<QSlider>(w, "Slider1")->maximum());
}

// The file panel: "shown" or "hidden", the file box's text, and " OK?" while OK? shows.
QString panel(QWidget* w)
{
    return QLatin1String(get(w, "frmBrowse")->isVisible() ? "shown [" : "hidden [") +
           get<QLineEdit>(w, "txtFileName")->text() + ']' +
           QLatin1String(get(w, "cmdOKbrowse")->isVisible() ? " OK?" : "");
}

void waitTicks(int n)
{
    QTest::qWait(n * kTick + kTick / 2);
}

} // namespace

class TestSoundsWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void opensFromTheMainMenuAsDesigned();
    void schemeListAndNewScheme();
    void firstOpeningWithoutSchemes();
    void playPlayAllAndDelete();
    void setSoundByteFromFile();
    void recordStopPreviewResetOkAndClose();
    void failuresShowOnceAndTheTickPauses();
    void inputLevelWhileRecording();
    void exportAndImportBank();
    void bankExportCancelled();
    void microphoneChoiceRemembered_data();
    void microphoneChoiceRemembered();

private:
    QString storePath() const { return m_config.filePath(AppInfo::organisation() + "/AudioRecorder.conf"); }
    QTemporaryDir m_config;
};

void TestSoundsWindow::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
}

void TestSoundsWindow::init()
{
    QFile::remove(storePath());
}

void TestSoundsWindow::opensFromTheMainMenuAsDesigned()
{
    // The program's own registration, with the system's sound kit: opening
    // and closing the editor needs no sound hardware.
    TestApp t;
    t.folder.writeProbe();
    t.folder.writeFile("Speech/Bob/Hello.wav");
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    press(menu, "cmdSounds");
    QWidget* w = t.existing(WindowNames::Sounds);
    QVERIFY(w && w->isVisible() && !menu->isVisible());
    QVERIFY(!get<QLabel>(w, "imgArmy")->pixmap().isNull());
    // The first sound of the game's list is the one a recording is for.
    QCOMPARE(get<QListWidget>(w, "List1")->currentItem()->text(), QStringLiteral("Amazing"));
    QTRY_COMPARE(w->windowTitle(), kStopped);
    w->close();
    QTRY_VERIFY(!t.existing(WindowNames::Sounds));
    QVERIFY(menu->isVisible());
    VERIFY_PROMPTER(t.prompter);
    VERIFY_NO_MODAL(t.modalGuard);
}

void TestSoundsWindow::schemeListAndNewScheme()
{
    Rig rig;
    TestApp t;
    SoundBankWindow* w =
        open(t, rig, {"Zed/Amazing.wav", "bob/Hello.wav", "bob/notes.txt", "Amy/Oops.wav", "Hello.wav"});
    QVERIFY(w);
    auto* cbo = get<QComboBox>(w, "cboScheme");
    auto* txt = get<QLineEdit>(w, "txtFileName");
    QCOMPARE(items(cbo->model()), QStringList({"Amy", "bob", "Zed"}));
    QCOMPARE(scheme(w), QStringLiteral("Amy: Oops.wav"));

    // Picking a scheme shows its files and empties the file box.
    get<QComboBox>(w, "Combo1")->setCurrentIndex(1);
    txt->setText("/somewhere/take.wav");
    cbo->setCurrentIndex(1);
    QCOMPARE(scheme(w), QStringLiteral("bob: Hello.wav, notes.txt"));
    QCOMPARE(txt->text(), QString());

    // A scheme whose folder went away: a note, and the current scheme stays.
    QVERIFY(QDir(t.folder.path("Speech/Zed")).removeRecursively());
    cbo->setCurrentIndex(2);
    QCOMPARE(t.prompter.texts(), QStringList({"The scheme Zed is gone: its folder no longer exists."}));
    QCOMPARE(scheme(w), QStringLiteral("bob: Hello.wav, notes.txt"));

    // New Scheme: cancelling changes nothing; a new scheme is made and the
    // list shows its first scheme again.
    t.prompter.answerInput(QString());
    press(w, "cmdNew");
    QCOMPARE(items(cbo->model()), QStringList({"Amy", "bob", "Zed"}));
    QCOMPARE(scheme(w), QStringLiteral("bob: Hello.wav, notes.txt"));
    t.prompter.answerInput("Zoe");
    press(w, "cmdNew");
    QCOMPARE(items(cbo->model()), QStringList({"Amy", "bob", "Zoe"}));
    QCOMPARE(scheme(w), QStringLiteral("Amy: Oops.wav"));
    QCOMPARE(t.folder.entries("Speech"), QStringList({"Amy", "Hello.wav", "Zoe", "bob"}));
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::firstOpeningWithoutSchemes()
{
    const QString none = QStringLiteral("You currently have no custom schemes. Please Create one! :)");
    const QString ask = QStringLiteral("What will be the name of your new scheme?");
    const struct {
        bool speechFolder;
        QStringList typed, texts;
        QString shown;
    } rows[] = {
        // Cancelled or refused, the name is asked for again until a scheme exists.
        {true,
         {"", "My/Scheme", "Bob"},
         {none, ask, ask, "'My/Scheme' is not a valid name: a name cannot contain / or \\.", ask},
         "Bob: "},
        // The Speech folder belongs to the game: without it nothing is made, and
        // the user is told once instead of being asked for ever.
        {false,
         {"Bob"},
         {none, ask, "There is no Speech folder in the User folder, so no scheme can be made. =("},
         ": "},
    };
    for (const auto& row : rows) {
        Rig rig;
        TestApp t;
        if (row.speechFolder)
            t.folder.writeFile("Speech/Hello.wav");
        for (const QString& name : row.typed)
            t.prompter.answerInput(name);
        SoundBankWindow* w = open(t, rig);
        QVERIFY(w);
        QCOMPARE(t.prompter.texts(), row.texts);
        QCOMPARE(scheme(w), row.shown);
        QCOMPARE(t.folder.entries("Speech"), row.speechFolder ? QStringList({"Bob", "Hello.wav"}) : QStringList());
        QCOMPARE(t.folder.exists("Speech"), row.speechFolder);
        if (!row.speechFolder)
            press(w, "cmdDelete"); // does nothing without a scheme
        VERIFY_PROMPTER(t.prompter);
    }
}

void TestSoundsWindow::playPlayAllAndDelete()
{
    Rig rig;
    TestApp t;
    SoundBankWindow* w = open(t, rig,
                              {"Bob/Jump1.wav", "Bob/amazing.wav", "Bob/notes.txt", "Bob/Hello.wav",
                               "Bob/Old/Hello.wav", "Jim/Hello.wav", "Hello.wav"});
    QVERIFY(w);
    const QString bob = t.folder.path("Speech/Bob/");
    // Double-clicks play a sound byte, or a sound of the Speech folder itself.
    doubleClick(get<QListWidget>(w, "File1"), "amazing.wav");
    doubleClick(get<QListWidget>(w, "List1"), "Hello");
    QCOMPARE(rig.player->log,
             QStringList({"play " + bob + "amazing.wav", "play " + t.folder.path("Speech/Hello.wav")}));
    // A sound with no file in the Speech folder: a short note instead.
    doubleClick(get<QListWidget>(w, "List1"), "Amazing");
    QCOMPARE(t.prompter.texts(), QStringList({"There is no Amazing.wav in the Speech folder to play."}));

    // Play All plays the scheme's speech sounds in the game's order, one after the other.
    rig.player->log.clear();
    press(w, "cmdPlayAll");
    waitTicks(2);
    QVERIFY(get(w, "cmdStop")->isEnabled());
    rig.player->finish();
    rig.player->finish();
    QCOMPARE(rig.player->log,
             QStringList({"play " + bob + "amazing.wav", "play " + bob + "Hello.wav", "play " + bob + "Jump1.wav"}));
    rig.player->finish();
    waitTicks(2);
    QVERIFY(!get(w, "cmdStop")->isEnabled());
    // Another play ends it, and so does Stop.
    rig.player->log.clear();
    press(w, "cmdPlayAll");
    doubleClick(get<QListWidget>(w, "File1"), "Jump1.wav");
    rig.player->finish();
    press(w, "cmdPlayAll");
    press(w, "cmdStop");
    rig.player->finish();
    QCOMPARE(rig.player->log, QStringList({"play " + bob + "amazing.wav", "release", "play " + bob + "Jump1.wav",
                                           "play " + bob + "amazing.wav", "release"}));

    // Removing a sound byte asks first; the player lets go of the file before it is deleted.
    rig.player->log.clear();
    select(get<QListWidget>(w, "File1"), "amazing.wav");
    t.prompter.answerNo();
    press(w, "cmdRemove");
    QCOMPARE(t.folder.entries("Speech/Bob"),
             QStringList({"Hello.wav", "Jump1.wav", "Old", "amazing.wav", "notes.txt"}));
    t.prompter.answerYes();
    press(w, "cmdRemove");
    QCOMPARE(t.prompter.texts().mid(1), QStringList(2, "Are you sure you want to delete Bob's amazing.wav soundbyte?"));
    QCOMPARE(rig.player->log, QStringList({"release"}));
    QCOMPARE(scheme(w), QStringLiteral("Bob: Hello.wav, Jump1.wav, notes.txt"));

    // Deleting a scheme asks too; one holding a folder loses its files but stays listed.
    VERIFY_PROMPTER(t.prompter);
    t.prompter.clear();
    t.prompter.answerNo();
    t.prompter.answerYes();
    press(w, "cmdDelete");
    press(w, "cmdDelete");
    QCOMPARE(t.prompter.texts(), QStringList(2, "Are you sure you want to delete the Bob scheme?"));
    QCOMPARE(t.folder.entries("Speech/Bob"), QStringList({"Old"}));
    QCOMPARE(items(get<QComboBox>(w, "cboScheme")->model()), QStringList({"Bob", "Jim"}));
    QVERIFY(QDir(t.folder.path("Speech/Bob/Old")).removeRecursively());
    t.prompter.answerYes();
    press(w, "cmdDelete");
    // The list is filled again as on opening (firstOpeningWithoutSchemes: when none is left).
    QCOMPARE(scheme(w), QStringLiteral("Jim: Hello.wav"));
    VERIFY_PROMPTER(t.prompter);

    // With no sound output, playing says so and the window stays stopped.
    t.prompter.clear();
    rig.player->noOutput = true;
    press(w, "cmdPlayAll");
    waitTicks(2);
    QVERIFY(!get(w, "cmdStop")->isEnabled());
    QCOMPARE(t.prompter.texts(), QStringList{WaveRecorder::noOutputMessage()});
}

void TestSoundsWindow::setSoundByteFromFile()
{
    Rig rig;
    TestApp t;
    t.folder.writeFile("Speech/Bob/Hello.wav", "old");
    const QString take = t.folder.path("../take.mp3");
    std::vector<float> tone;
    SoundFiles::addTone(tone, 44100, 2, 0.5, 0.5);
    QVERIFY(SoundFiles::write(take, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, tone));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    auto* txt = get<QLineEdit>(w, "txtFileName");
    QCOMPARE(panel(w), QStringLiteral("hidden []"));
    get<QComboBox>(w, "Combo1")->setCurrentIndex(1);
    QCOMPARE(panel(w), QStringLiteral("shown []"));

    // Cancelling the dialog leaves the box empty.
    txt->setText("x");
    t.prompter.answerFile(QString());
    press(w, "cmdBrowse");
    QCOMPARE(panel(w), QStringLiteral("shown []"));
    QVERIFY(t.prompter.boxes().last().extra.contains("*.mp3"));
    t.prompter.answerFile(take);
    press(w, "cmdBrowse");
    QCOMPARE(panel(w), "shown [" + take + "] OK?");
    // Clearing the text by hand hides OK? again.
    txt->clear();
    QCOMPARE(panel(w), QStringLiteral("shown []"));

    // The MP3 becomes the selected sound's byte, a WAV in the recorder's format, replacing it.
    txt->setText(take);
    select(get<QListWidget>(w, "List1"), "Hello");
    press(w, "cmdRecord");
    press(w, "cmdOKbrowse");
    const QByteArray made = t.folder.read("Speech/Bob/Hello.wav");
    const WavHeader wav = WavHeader::parse(made);
    QCOMPARE(QString::asprintf("%u %u %u %u", wav.audioFormat, wav.rate, wav.channels, wav.bits),
             QStringLiteral("1 11025 1 16"));
    QVERIFY(qAbs(int(wav.dataSize) - 11025) < 1000);
    QVERIFY(QFile::exists(take));
    QCOMPARE(panel(w), QStringLiteral("shown []"));
    QCOMPARE(buttons(w), QStringLiteral("R--- 10")); // the recorder was reset

    // A file that cannot be copied: said so, the sound byte stays.
    txt->setText(take + ".missing");
    press(w, "cmdOKbrowse");
    QCOMPARE(t.prompter.texts().size(), 3);
    QVERIFY2(t.prompter.texts().last().startsWith("The file could not be set as Hello.wav: "),
             qPrintable(t.prompter.texts().last()));
    QCOMPARE(t.folder.read("Speech/Bob/Hello.wav"), made);
    QCOMPARE(panel(w), "shown [" + take + ".missing] OK?");
    get<QComboBox>(w, "Combo1")->setCurrentIndex(0);
    QCOMPARE(panel(w), QStringLiteral("hidden []"));
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::recordStopPreviewResetOkAndClose()
{
    Rig rig;
    rig.limits.ms = 2000;
    TestApp t;
    t.folder.writeProbe();
    SoundBankWindow* w = open(t, rig, {"Bob/Amazing.wav", "Bob/Hello.wav"});
    QVERIFY(w);
    auto* list1 = get<QListWidget>(w, "List1");
    auto* slider = get<QSlider>(w, "Slider1");
    QCOMPARE(buttons(w), QStringLiteral("R--- 10"));
    // The freshly opened device is stopped: the first tick enables Preview.
    QTRY_COMPARE(w->windowTitle(), kStopped);
    QCOMPARE(buttons(w), QStringLiteral("RP-- 10"));
    // Preview and Stop before anything was recorded: OK has nothing to store.
    press(w, "cmdPlay");
    press(w, "cmdStop");
    QCOMPARE(buttons(w), QStringLiteral("RP-O 10"));
    press(w, "cmdOK");
    QCOMPARE(t.prompter.texts(),
             QStringList({"Nothing has been recorded yet: pick a sound in the list and press Record."}));
    // A recording of no length sets the slider's maximum back to 10.
    slider->setMaximum(500);
    press(w, "cmdRecord");
    press(w, "cmdStop");
    QCOMPARE(buttons(w), QStringLiteral("RP-O 10"));

    select(list1, "Hello");
    press(w, "cmdRecord");
    QCOMPARE(buttons(w), QStringLiteral("--S- 10"));
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: recording"));
    rig.now += 1500;
    QTRY_VERIFY(get<QLabel>(w, "StatisticsLabel")->text().startsWith("Length recording  1.5 s ( 33074 bytes)"));
    // Another sound is selected before Stop: the recording keeps its name.
    select(list1, "ByeBye");
    press(w, "cmdStop");
    QCOMPARE(buttons(w), QStringLiteral("RP-O 1500"));

    // Preview from 500 ms, to its end.
    slider->setValue(500);
    press(w, "cmdPlay");
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: playing"));
    QCOMPARE(buttons(w), QStringLiteral("R-SO 1500"));
    rig.now += 1000;
    QTRY_COMPARE(w->windowTitle(), kStopped);
    QCOMPARE(buttons(w), QStringLiteral("RP-O 1500"));
    // Stopping a playback keeps the slider's maximum.
    press(w, "cmdPlay");
    rig.now += 200;
    press(w, "cmdStop");
    QCOMPARE(buttons(w), QStringLiteral("RP-O 1500"));

    // A failed save keeps the old sound byte, leaves no stray file and keeps the recording for another try.
    const QString target = t.folder.path("Speech/Bob/Hello.wav");
    rig.probe->failing.insert("save capture ", CommandDevice::CannotWriteFile);
    press(w, "cmdOK");
    QCOMPARE(t.prompter.texts().mid(1),
             QStringList({"Saving file failed, file name was: " + QDir::toNativeSeparators(target)}));
    QCOMPARE(t.folder.entries("Speech/Bob"), QStringList({"Amazing.wav", "Hello.wav"}));
    QCOMPARE(t.folder.read("Speech/Bob/Hello.wav"), QByteArray("x"));
    QCOMPARE(buttons(w), QStringLiteral("RP-O 1500"));

    // OK stores the recording under the name taken at Record time, and resets the recorder.
    rig.probe->failing.clear();
    press(w, "cmdOK");
    QCOMPARE(WavHeader::parse(t.folder.read("Speech/Bob/Hello.wav")).dataSize, 33074u); // 1.5 s, whole frames
    QCOMPARE(scheme(w), QStringLiteral("Bob: Amazing.wav, Hello.wav"));
    QCOMPARE(buttons(w), QStringLiteral("R--- 10"));
    QCOMPARE(slider->value(), 0);
    QTRY_VERIFY(get<QLabel>(w, "StatisticsLabel")->text().startsWith("Length recording  0 s ( 0 bytes)"));

    // Reset reads the settings again: a format changed in the store is used.
    {
        QSettings store(QSettings::UserScope, AppInfo::organisation(), "AudioRecorder");
        store.setValue("StartUp/Rate", "22050");
        store.setValue("StartUp/Channels", "2");
    }
    press(w, "cmdReset");
    QCOMPARE(buttons(w), QStringLiteral("R--- 10"));

    // A take that reaches its limit stops by itself: the window says why and holds it as after Stop.
    select(list1, "ByeBye");
    press(w, "cmdRecord");
    rig.now += 5000;
    QTRY_COMPARE(t.prompter.texts().mid(2),
                 QStringList({"The recording stopped after 2 seconds, the longest a recording "
                              "can be; what was recorded until then is kept."}));
    QCOMPARE(buttons(w), QStringLiteral("RP-O 2000"));
    press(w, "cmdOK");
    QCOMPARE(WavHeader::parse(t.folder.read("Speech/Bob/ByeBye.wav")).dataSize, 176400u); // 2 s of 22050 Hz stereo

    // Closing while recording drops the recording, keeps the settings and shows the main menu.
    press(w, "cmdRecord");
    rig.now += 700;
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: recording"));
    w->close();
    QTRY_VERIFY(!t.existing(WindowNames::Sounds));
    QVERIFY(t.existing(WindowNames::MainMenu) && t.existing(WindowNames::MainMenu)->isVisible());
    QCOMPARE(t.folder.entries("Speech/Bob"), QStringList({"Amazing.wav", "ByeBye.wav", "Hello.wav"}));
    QSettings store(storePath(), QSettings::IniFormat);
    store.beginGroup("StartUp");
    QCOMPARE(store.value("Rate").toString() + store.value("WaveAutomaticSave").toString(), QStringLiteral("22050True"));
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::failuresShowOnceAndTheTickPauses()
{
    // On a card without input or output the editor opens quietly and its status works.
    Rig rig;
    rig.card.hasInput = false;
    rig.card.hasOutput = false;
    TestApp t;
    SoundBankWindow* w = open(t, rig, {"Bob/"});
    QVERIFY(w);
    QTRY_COMPARE(w->windowTitle(), kStopped);
    QCOMPARE(t.prompter.texts(), QStringList());
    // Record says why it cannot, once (the ticks below would show it again), and the recorder stays ready.
    press(w, "cmdRecord");
    QCOMPARE(t.prompter.texts(), QStringList({WaveRecorder::noInputMessage()}));
    QCOMPARE(buttons(w), QStringLiteral("RP-- 10"));
    waitTicks(2);
    QCOMPARE(w->windowTitle(), kStopped);
    t.prompter.clear();

    // The device loses its recording alias: every status query fails, and
    // every tick would say so.
    rig.probe->failing.insert("status capture", CommandDevice::UnknownDevice);
    waitTicks(8);
    const QStringList once = {"Finding length recording in milliseconds failed!",
                              "Finding length recording in bytes failed!",
                              "Finding number of channels failed!",
                              "Finding resolution failed!",
                              "Finding sample rate failed!",
                              "Failure getting wave status..."};
    QCOMPARE(t.prompter.texts(), once);

    // While any box is open, several ticks pass: none may open another box.
    int boxesDuringBox = 0;
    t.prompter.onBox = [&](const FakePrompter::Box&) {
        const int before = t.prompter.boxes().size();
        waitTicks(4);
        boxesDuringBox += t.prompter.boxes().size() - before;
    };
    // The device works again; a later failure is shown again, once. A question
    // of the user's own is not interrupted by the tick either.
    rig.probe->failing.clear();
    waitTicks(2);
    rig.probe->failing.insert("status capture channels", CommandDevice::UnknownDevice);
    t.prompter.answerNo();
    press(w, "cmdDelete");
    QCOMPARE(t.prompter.texts().at(once.size()), QStringLiteral("Are you sure you want to delete the Bob scheme?"));
    waitTicks(4);
    QCOMPARE(t.prompter.texts().mid(once.size() + 1), QStringList({"Finding number of channels failed!"}));
    QCOMPARE(boxesDuringBox, 0);
    t.prompter.onBox = nullptr;
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::inputLevelWhileRecording()
{
    // The synthetic card's tone peaks at half of full scale; 0 Hz is digital silence.
    const struct {
        double hz;
        int ms;
        QString shown;
        int dbfs;
    } rows[] = {{440.0, 500, "-6 dBFS", -6}, {0.0, 1500, "-60 dBFS", -60}, {0.0, 2500, "no signal", -60}};
    for (const auto& row : rows) {
        Rig rig;
        rig.card.toneHz = row.hz;
        TestApp t;
        SoundBankWindow* w = open(t, rig, {"Bob/"});
        QVERIFY(w);
        auto* meter = get<QProgressBar>(w, "prgInputLevel");
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(meter);
        press(w, "cmdRecord");
        rig.now += row.ms;
        QTRY_COMPARE(get<QLabel>(w, "lblRecordLength")->text(),
                     QString::number(row.ms / 1000.0, 'f', 1) + " s recorded");
        QCOMPARE(meter->text(), row.shown);
        QCOMPARE(access->valueInterface()->currentValue().toInt(), row.dbfs);
        press(w, "cmdStop");
        QCOMPARE(meter->text(), QString());
        VERIFY_PROMPTER(t.prompter);
    }
}

void TestSoundsWindow::exportAndImportBank()
{
    // Sounds are named as the game names them; a file that is no speech sound stays out.
    Rig rig;
    TestApp t;
    t.folder.writeFile("Speech/Bob/Hello.wav", "hello");
    t.folder.writeFile("Speech/Bob/byebye.wav", "bye");
    SoundBankWindow* w = open(t, rig, {"Bob/readme.txt"});
    QVERIFY(w);
    const QString zip = t.folder.path("../Bob.zip");
    t.prompter.answerSaveFile(zip);
    press(w, "cmdExportBank");
    QTRY_VERIFY(get(w, "cmdExportBank")->isEnabled()); // written off the window's thread
    // An existing archive is replaced only after Yes.
    const QByteArray exported = t.folder.read("../Bob.zip");
    t.prompter.answerSaveFile(zip);
    t.prompter.answerNo();
    press(w, "cmdExportBank");

    // A name already taken is asked for again.
    t.prompter.answerFile(zip);
    t.prompter.answerInput("Bob");
    t.prompter.answerInput("Bob 2");
    press(w, "cmdImportBank");
    QTRY_VERIFY(get(w, "cmdImportBank")->isEnabled());
    QCOMPARE(scheme(w), QStringLiteral("Bob 2: ByeBye.wav, Hello.wav"));
    QCOMPARE(t.folder.read("Speech/Bob 2/Hello.wav"), QByteArray("hello"));
    QCOMPARE(t.folder.read("Speech/Bob 2/ByeBye.wav"), QByteArray("bye"));
    QCOMPARE(t.folder.entries("Speech"), QStringList({"Bob", "Bob 2"}));
    QCOMPARE(t.prompter.boxes().at(5).extra, QStringLiteral("Bob")); // the archive's folder is offered
    const QString native = QDir::toNativeSeparators(zip);
    QCOMPARE(t.prompter.texts(),
             QStringList({"Export Bank",
                          "The scheme Bob was exported to " + native +
                              " with 2 sounds. <(^.^)>\nLeft out, as they are not speech sounds: readme.txt",
                          "Export Bank", native + " already exists. Do you want to replace it?", "Import Bank",
                          "What will be the name of the imported scheme?", "There is already a scheme called Bob.",
                          "What will be the name of the imported scheme?",
                          "The scheme Bob 2 was made with 2 sounds. <(^.^)>"}));
    QVERIFY(!exported.isEmpty());
    QCOMPARE(t.folder.read("../Bob.zip"), exported);
    VERIFY_PROMPTER(t.prompter);
}

// Cancel while the archive is written leaves the disk as it was: the older
// archive unchanged, no temporary file beside it, nothing said.
void TestSoundsWindow::bankExportCancelled()
{
    Rig rig;
    TestApp t;
    for (const QString sound : {"Hello", "ByeBye", "Amazing"})
        t.folder.writeFile("Speech/Bob/" + sound + ".wav", QByteArray(256 * 1024, 'x'));
    SoundBankWindow* w = open(t, rig);
    t.folder.writeFile("Out/Bob.zip", "old archive");
    t.prompter.answerSaveFile(t.folder.path("Out/Bob.zip"));
    t.prompter.answerYes();
    HeldFileSystem held(1);
    press(w, "cmdExportBank");
    QVERIFY(!get(w, "cmdImportBank")->isEnabled()); // one bank archive at a time
    QVERIFY(held.letGo(w));
    QTRY_VERIFY(get(w, "cmdImportBank")->isEnabled());
    QCOMPARE(t.folder.entries("Out"), QStringList{"Bob.zip"});
    QCOMPARE(t.folder.read("Out/Bob.zip"), QByteArray("old archive"));
    QCOMPARE(t.prompter.texts().size(), 2); // the file dialog and the question only
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::microphoneChoiceRemembered_data()
{
    QTest::addColumn<QByteArray>("remembered");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("note");
    QTest::newRow("system default") << QByteArray() << QString() << "System default (Headset)" << QString();
    QTest::newRow("an input") << QByteArray("usb.cam") << "Webcam"
                              << "Webcam" << QString();
    QTest::newRow("an input gone") << QByteArray("usb.old") << "Old mic"
                                   << "System default (Headset)"
                                   << "The microphone \"Old mic\" is not there; recording from the system default.";
}

void TestSoundsWindow::microphoneChoiceRemembered()
{
    QFETCH(QByteArray, remembered);
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QFETCH(QString, note);
    RecorderSettings::writeMicrophone({remembered, name});
    Rig rig;
    QList<AudioInput> inputs{{"usb.headset", "Headset", false}, {"usb.cam", "Webcam", true}};
    rig.kit.microphones = [&inputs] { return MicrophoneChoice(inputs, "usb.headset"); };
    std::function<void()> inputsChanged;
    rig.kit.watchInputs = [&inputsChanged](QObject*, std::function<void()> changed) { inputsChanged = changed; };
    TestApp t;
    SoundBankWindow* w = open(t, rig, {"Bob/Hello.wav"});
    QVERIFY(w);
    auto* combo = get<QComboBox>(w, "cboMicrophone");
    QCOMPARE(items(combo->model()), QStringList({"System default (Headset)", "Headset", "Webcam"}));
    QCOMPARE(combo->currentText(), shown);
    QCOMPARE(get<QLabel>(w, "lblMicrophoneNote")->text(), note);
    QCOMPARE(get<QLabel>(w, "lblMicrophoneNote")->isHidden(), note.isEmpty());
    // Opening the window changes no choice; the user's choice is stored at once.
    QCOMPARE(RecorderSettings::readMicrophone().id, remembered);
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    QCOMPARE(RecorderSettings::readMicrophone().id, QByteArray("usb.headset"));
    QVERIFY(get<QLabel>(w, "lblMicrophoneNote")->isHidden());

    // The list follows inputs that come and go while the window is open, and
    // is made afresh when a recording starts.
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    inputs.removeLast();
    QVERIFY(inputsChanged);
    inputsChanged();
    QCOMPARE(items(combo->model()), QStringList({"System default (Headset)", "Headset"}));
    QVERIFY(get<QLabel>(w, "lblMicrophoneNote")->text().contains("\"Webcam\" is not there"));
    inputs.append({"usb.cam", "Webcam", true});
    press(w, "cmdRecord");
    QCOMPARE(combo->currentText(), QStringLiteral("Webcam"));
    QVERIFY(get<QLabel>(w, "lblMicrophoneNote")->isHidden());
}

QTEST_MAIN(TestSoundsWindow)
#include "tst_sounds_window.moc"
