#include "common/core/AppInfo.h"
#include "common/ui/FileNavBox.h"
#include "common/ui/WindowNames.h"
#include "shell/ui/MainMenuWindow.h"
#include "sounds/DeviceProbe.h"
#include "sounds/WavReader.h"
#include "sounds/core/SoundPlayer.h"
#include "sounds/core/SpeechSounds.h"
#include "sounds/core/SyntheticBackend.h"
#include "sounds/core/WaveDevice.h"
#include "sounds/core/WaveRecorder.h"
#include "sounds/ui/SoundBankWindow.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr int kTick = 20; // the status tick in these tests

// A media player that only remembers what it was asked to do.
class FakeSoundPlayer : public SoundPlayer {
public:
    explicit FakeSoundPlayer(QStringList* log)
        : m_log(log)
    {
    }
    void play(const QString& file) override { m_log->append(QStringLiteral("play ") + file); }
    void release() override { m_log->append(QStringLiteral("release")); }

private:
    QStringList* m_log;
};

// The editor's sound kit for tests: the real wave device on a synthetic sound
// card whose clock the test moves, behind a probe that records and can fail
// commands, and a fake media player.
struct Rig {
    ManualClock clock;
    bool hasInput = true;
    bool hasOutput = true;
    std::unique_ptr<WaveDevice> device;
    DeviceProbe* probe = nullptr;
    QStringList playerLog;

    SoundKit kit()
    {
        SoundKit k;
        k.makeDevice = [this]() -> std::unique_ptr<CommandDevice> {
            SyntheticBackend::Options options;
            options.hasInput = hasInput;
            options.hasOutput = hasOutput;
            options.clock = [this] { return clock.now; };
            device = std::make_unique<WaveDevice>(std::make_unique<SyntheticBackend>(options));
            auto p = std::make_unique<DeviceProbe>(device.get());
            probe = p.get();
            return p;
        };
        k.makePlayer = [this] { return std::make_unique<FakeSoundPlayer>(&playerLog); };
        return k;
    }
};

QStringList comboItems(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QStringList listItems(QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

void select(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

void doubleClick(QListWidget* list, const QString& text)
{
    select(list, text);
    const QRect rect = list->visualItemRect(list->currentItem());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// The enabled state of Record, Preview, Stop and OK, as "RPS-" (a dash for disabled).
QString buttons(QWidget* w)
{
    QString s;
    const char* names[] = {"cmdRecord", "cmdPlay", "cmdStop", "cmdOK"};
    const char letters[] = {'R', 'P', 'S', 'O'};
    for (int i = 0; i < 4; ++i)
        s += named<QPushButton>(w, QLatin1String(names[i]))->isEnabled() ? QLatin1Char(letters[i]) : QLatin1Char('-');
    return s;
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

    void opensFromTheMainMenu();
    void controls_data();
    void controls();
    void schemeList();
    void noSchemeAsksUntilOneIsMade();
    void newScheme_data();
    void newScheme();
    void noSpeechFolder();
    void deleteScheme();
    void removeSoundByte();
    void playSounds();
    void setSoundByteFromFile();
    void recordStopPreviewResetOk();
    void stoppingAnEmptyRecordingAndOkWithoutRecord();
    void closingWhileRecording();
    void tickPausesAndShowsAFailureOnce();
    void noSoundDevice();
    void failedSaveKeepsTheRecording();

private:
    SoundBankWindow* open(TestApp& t, Rig& rig);
    QString storePath() const;
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

QString TestSoundsWindow::storePath() const
{
    return m_config.filePath(AppInfo::organisation() + QStringLiteral("/AudioRecorder.conf"));
}

SoundBankWindow* TestSoundsWindow::open(TestApp& t, Rig& rig)
{
    t.intervals.statusTick = kTick;
    t.create(false);
    t.app().registerWindow(WindowNames::Sounds, [&rig](AppContext& c) { return new SoundBankWindow(c, rig.kit()); });
    t.app().openFromMenu(WindowNames::Sounds);
    return qobject_cast<SoundBankWindow*>(t.existing(WindowNames::Sounds));
}

void TestSoundsWindow::opensFromTheMainMenu()
{
    // The program's own registration, with the system's sound kit: opening
    // and closing the editor needs no sound hardware.
    TestApp t;
    t.folder.writeProbe();
    t.folder.makeDir(QStringLiteral("Speech/Bob"));
    MainMenuWindow* menu = t.startToMainMenu();
    QVERIFY(menu);
    click(named(menu, QStringLiteral("cmdSounds")));
    auto* w = qobject_cast<SoundBankWindow*>(t.existing(WindowNames::Sounds));
    QVERIFY(w);
    QCOMPARE(w->objectName(), QStringLiteral("AudioRecorder"));
    QVERIFY(w->isVisible());
    QVERIFY(!menu->isVisible());
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: stopped"));
    w->close();
    QTRY_VERIFY(!t.existing(WindowNames::Sounds));
    QVERIFY(menu->isVisible());
    VERIFY_PROMPTER(t.prompter);
    VERIFY_NO_MODAL(t.modalGuard);
}

void TestSoundsWindow::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text"); // caption, title or button text
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");
    QTest::newRow("Label3") << "Label3"
                            << "Scheme:"
                            << "" << true << true;
    QTest::newRow("lblSchemeName") << "lblSchemeName"
                                   << "Bob"
                                   << "" << true << true;
    QTest::newRow("cmdNew") << "cmdNew"
                            << "New Scheme"
                            << "" << true << true;
    QTest::newRow("cmdDelete") << "cmdDelete"
                               << "Delete"
                               << "" << true << true;
    QTest::newRow("Frame1") << "Frame1"
                            << "Worm Sound Bytes"
                            << "" << true << true;
    QTest::newRow("Label4") << "Label4"
                            << "Dbl-Click to play sound"
                            << "" << true << true;
    QTest::newRow("cmdRemove") << "cmdRemove"
                               << "Remove"
                               << "" << true << true;
    QTest::newRow("Label1") << "Label1"
                            << "Defaults"
                            << "" << true << true;
    QTest::newRow("Label2") << "Label2"
                            << "Dbl-Click to play sound"
                            << "" << true << true;
    QTest::newRow("frmBrowse") << "frmBrowse"
                               << "Set As Sound File"
                               << "" << true << false;
    QTest::newRow("txtFileName") << "txtFileName"
                                 << ""
                                 << "" << true << false;
    QTest::newRow("cmdBrowse") << "cmdBrowse"
                               << "Browse..."
                               << "" << true << false;
    QTest::newRow("cmdOKbrowse") << "cmdOKbrowse"
                                 << "OK?"
                                 << "" << true << false;
    QTest::newRow("cmdRecord") << "cmdRecord"
                               << "Record"
                               << "" << true << true;
    QTest::newRow("cmdPlay") << "cmdPlay"
                             << "Preview"
                             << "Play the recording" << false << true;
    QTest::newRow("cmdStop") << "cmdStop"
                             << "Stop"
                             << "Stop recording or playing" << false << true;
    QTest::newRow("cmdReset") << "cmdReset"
                              << "Reset"
                              << "To start a new recording and adjusting all settings" << true << true;
    QTest::newRow("cmdOK") << "cmdOK"
                           << "OK"
                           << "" << false << true;
    QTest::newRow("Frame5") << "Frame5"
                            << "Starting position for play (in milliseconds)"
                            << "" << true << true;
    QTest::newRow("Slider1") << "Slider1"
                             << ""
                             << "You can choose a beginning for playing the recording" << true << true;
    QTest::newRow("Frame4") << "Frame4"
                            << "Statistics"
                            << "" << true << true;
    QTest::newRow("StatisticsLabel") << "StatisticsLabel"
                                     << ""
                                     << "Information about the recording" << true << true;
}

void TestSoundsWindow::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(bool, enabled);
    QFETCH(bool, visible);
    Rig rig;
    TestApp t;
    t.folder.writeFile(QStringLiteral("Speech/Bob/Hello.wav"));
    // The window as it is before its first status tick.
    t.intervals.statusTick = 60000;
    t.create(false);
    t.app().registerWindow(WindowNames::Sounds, [&rig](AppContext& c) { return new SoundBankWindow(c, rig.kit()); });
    t.app().openFromMenu(WindowNames::Sounds);
    QWidget* w = t.existing(WindowNames::Sounds);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("The Quillane Soundbank Editor"));
    QCOMPARE(w->size(), QSize(537, 338));
    QWidget* control = named(w, name);
    QVERIFY2(control, qPrintable(name));
    QString shown;
    if (auto* l = qobject_cast<QLabel*>(control))
        shown = l->text();
    else if (auto* b = qobject_cast<QPushButton*>(control))
        shown = b->text();
    else if (auto* g = qobject_cast<QGroupBox*>(control))
        shown = g->title();
    else if (auto* e = qobject_cast<QLineEdit*>(control))
        shown = e->text();
    QCOMPARE(shown, text);
    QCOMPARE(control->toolTip(), toolTip);
    QCOMPARE(control->isEnabled(), enabled);
    QCOMPARE(control->isVisible(), visible);

    // The rest of the design: lists, choices, slider, timer, picture.
    auto* list1 = named<QListWidget>(w, QStringLiteral("List1"));
    QCOMPARE(listItems(list1), SpeechSounds::names());
    QCOMPARE(list1->currentRow(), 0);
    QCOMPARE(comboItems(named<QComboBox>(w, QStringLiteral("Combo1"))),
             QStringList({QStringLiteral("Record"), QStringLiteral("Browse!")}));
    QCOMPARE(named<QComboBox>(w, QStringLiteral("Combo1"))->currentIndex(), 0);
    QCOMPARE(named<QSlider>(w, QStringLiteral("Slider1"))->maximum(), 10);
    QCOMPARE(named<QSlider>(w, QStringLiteral("Slider1"))->value(), 0);
    QVERIFY(!named<QLabel>(w, QStringLiteral("imgArmy"))->pixmap().isNull());
    QVERIFY(qobject_cast<FileNavBox*>(named(w, QStringLiteral("FNav1"))));
    auto* timer = w->findChild<QTimer*>(QStringLiteral("Timer2"));
    QVERIFY(timer && timer->isActive());
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::schemeList()
{
    Rig rig;
    TestApp t;
    t.folder.writeFile(QStringLiteral("Speech/Zed/Amazing.wav"));
    t.folder.writeFile(QStringLiteral("Speech/bob/Hello.wav"));
    t.folder.writeFile(QStringLiteral("Speech/bob/notes.txt"));
    t.folder.writeFile(QStringLiteral("Speech/Amy/Oops.wav"));
    t.folder.writeFile(QStringLiteral("Speech/Hello.wav"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    auto* cbo = named<QComboBox>(w, QStringLiteral("cboScheme"));
    auto* file1 = named<QListWidget>(w, QStringLiteral("File1"));
    auto* txt = named<QLineEdit>(w, QStringLiteral("txtFileName"));
    QCOMPARE(comboItems(cbo), QStringList({"Amy", "bob", "Zed"}));
    QCOMPARE(w->currentScheme(), QStringLiteral("Amy"));
    QCOMPARE(named<QLabel>(w, QStringLiteral("lblSchemeName"))->text(), QStringLiteral("Amy"));
    QCOMPARE(listItems(file1), QStringList({"Oops.wav"}));

    named<QComboBox>(w, QStringLiteral("Combo1"))->setCurrentIndex(1);
    txt->setText(QStringLiteral("/somewhere/take.wav"));
    cbo->setCurrentIndex(1);
    QCOMPARE(named<QLabel>(w, QStringLiteral("lblSchemeName"))->text(), QStringLiteral("bob"));
    QCOMPARE(listItems(file1), QStringList({"Hello.wav", "notes.txt"}));
    QCOMPARE(txt->text(), QString());

    // A scheme whose folder went away: a note, and the current scheme stays.
    QVERIFY(QDir(t.folder.path(QStringLiteral("Speech/Zed"))).removeRecursively());
    cbo->setCurrentIndex(2);
    QCOMPARE(t.prompter.texts(), QStringList({"The scheme Zed is gone: its folder no longer exists."}));
    QCOMPARE(w->currentScheme(), QStringLiteral("bob"));
    QCOMPARE(listItems(file1), QStringList({"Hello.wav", "notes.txt"}));
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::noSchemeAsksUntilOneIsMade()
{
    Rig rig;
    TestApp t;
    t.folder.makeDir(QStringLiteral("Speech"));
    t.folder.writeFile(QStringLiteral("Speech/Hello.wav"));
    t.prompter.answerInput(QString());                   // cancelled: asked again
    t.prompter.answerInput(QStringLiteral("My/Scheme")); // refused: asked again
    t.prompter.answerInput(QStringLiteral("Bob"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    const QList<FakePrompter::Box>& boxes = t.prompter.boxes();
    QCOMPARE(boxes.size(), 5);
    QCOMPARE(boxes[0].text, QStringLiteral("You currently have no custom schemes. Please Create one! :)"));
    QCOMPARE(boxes[0].title, QStringLiteral("SoundBank Editor"));
    QCOMPARE(boxes[0].icon, Prompter::Icon::Information);
    QCOMPARE(boxes[0].buttons, Prompter::Buttons::Ok);
    for (int i : {1, 2, 4}) {
        QCOMPARE(boxes[i].kind, FakePrompter::Kind::Input);
        QCOMPARE(boxes[i].text, QStringLiteral("What will be the name of your new scheme?"));
        QCOMPARE(boxes[i].title, QStringLiteral("New Scheme"));
        QCOMPARE(boxes[i].extra, QString());
    }
    QCOMPARE(boxes[3].text, QStringLiteral("'My/Scheme' is not a valid name: a name cannot contain / or \\."));
    QCOMPARE(boxes[3].icon, Prompter::Icon::Exclamation);
    QCOMPARE(t.folder.entries(QStringLiteral("Speech")), QStringList({"Bob", "Hello.wav"}));
    QCOMPARE(w->currentScheme(), QStringLiteral("Bob"));
    QCOMPARE(named<QLabel>(w, QStringLiteral("lblSchemeName"))->text(), QStringLiteral("Bob"));
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::newScheme_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("messages"); // after the prompt
    QTest::addColumn<QStringList>("schemes");
    QTest::newRow("cancel changes nothing") << "" << QStringList() << QStringList({"Jim"});
    QTest::newRow("new one sorts after: the first stays current")
        << "Zoe" << QStringList() << QStringList({"Jim", "Zoe"});
    QTest::newRow("new one sorts first") << "Amy" << QStringList() << QStringList({"Amy", "Jim"});
    QTest::newRow("exists") << "jim" << QStringList({"There is already a scheme called jim."}) << QStringList({"Jim"});
    QTest::newRow("parent folder") << ".." << QStringList({"'..' is not a valid name."}) << QStringList({"Jim"});
    QTest::newRow("path") << "../../Evil"
                          << QStringList({"'../../Evil' is not a valid name: a name cannot contain / or \\."})
                          << QStringList({"Jim"});
    QTest::newRow("absolute") << "/tmp/x"
                              << QStringList({"'/tmp/x' is not a valid name: a name cannot contain / or \\."})
                              << QStringList({"Jim"});
    QTest::newRow("hidden") << ".voices"
                            << QStringList({"'.voices' is not a valid name: a scheme name cannot start with a dot."})
                            << QStringList({"Jim"});
    QTest::newRow("refused by the file system")
        << "a?b" << QStringList({"'a?b' is not a valid name: a name cannot contain any of : * ? \" < > |"})
        << QStringList({"Jim"});
}

void TestSoundsWindow::newScheme()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, schemes);
    Rig rig;
    TestApp t;
    t.folder.writeFile(QStringLiteral("Speech/Jim/Hello.wav"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    t.prompter.answerInput(typed);
    click(named(w, QStringLiteral("cmdNew")));
    QCOMPARE(t.prompter.texts(), QStringList({"What will be the name of your new scheme?"}) + messages);
    QCOMPARE(comboItems(named<QComboBox>(w, QStringLiteral("cboScheme"))), schemes);
    QCOMPARE(t.folder.entries(QStringLiteral("Speech")), schemes);
    QCOMPARE(t.folder.entries(QString()), QStringList({"Speech"}));
    QCOMPARE(w->currentScheme(), schemes.first());
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::noSpeechFolder()
{
    // The Speech folder belongs to the game: without it nothing is made, and
    // the user is told once instead of being asked for ever.
    Rig rig;
    TestApp t;
    t.prompter.answerInput(QStringLiteral("Bob"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    QCOMPARE(t.prompter.texts(),
             QStringList({"You currently have no custom schemes. Please Create one! :)",
                          "What will be the name of your new scheme?",
                          "There is no Speech folder in the User folder, so no scheme can be made. =("}));
    QVERIFY(!t.folder.exists(QStringLiteral("Speech")));
    QCOMPARE(w->currentScheme(), QString());
    // Delete and OK do nothing without a scheme.
    click(named(w, QStringLiteral("cmdDelete")));
    QCOMPARE(t.prompter.boxes().size(), 3);
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::deleteScheme()
{
    Rig rig;
    TestApp t;
    t.folder.writeFile(QStringLiteral("Speech/Bob/Hello.wav"));
    t.folder.writeFile(QStringLiteral("Speech/Bob/Old/Hello.wav"));
    t.folder.writeFile(QStringLiteral("Speech/Jim/Hello.wav"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    t.prompter.answerNo();
    click(named(w, QStringLiteral("cmdDelete")));
    QCOMPARE(t.prompter.boxes().size(), 1);
    const FakePrompter::Box box = t.prompter.boxes().first();
    QCOMPARE(box.text, QStringLiteral("Are you sure you want to delete the Bob scheme?"));
    QCOMPARE(box.title, QStringLiteral("Delete Scheme?"));
    QCOMPARE(box.buttons, Prompter::Buttons::YesNo);
    QCOMPARE(box.icon, Prompter::Icon::Question);
    QCOMPARE(t.folder.entries(QStringLiteral("Speech")), QStringList({"Bob", "Jim"}));

    // A scheme holding a folder loses its files but stays listed.
    t.prompter.answerYes();
    click(named(w, QStringLiteral("cmdDelete")));
    QCOMPARE(t.folder.entries(QStringLiteral("Speech/Bob")), QStringList({"Old"}));
    QCOMPARE(comboItems(named<QComboBox>(w, QStringLiteral("cboScheme"))), QStringList({"Bob", "Jim"}));

    QVERIFY(QDir(t.folder.path(QStringLiteral("Speech/Bob/Old"))).removeRecursively());
    t.prompter.answerYes();
    click(named(w, QStringLiteral("cmdDelete")));
    QCOMPARE(t.folder.entries(QStringLiteral("Speech")), QStringList({"Jim"}));
    QCOMPARE(w->currentScheme(), QStringLiteral("Jim"));

    // The last one: the editor asks for a new scheme at once.
    t.prompter.answerYes();
    t.prompter.answerInput(QStringLiteral("Fresh"));
    click(named(w, QStringLiteral("cmdDelete")));
    QCOMPARE(t.prompter.texts().mid(3), QStringList({"Are you sure you want to delete the Jim scheme?",
                                                     "You currently have no custom schemes. Please Create one! :)",
                                                     "What will be the name of your new scheme?"}));
    QCOMPARE(t.folder.entries(QStringLiteral("Speech")), QStringList({"Fresh"}));
    QCOMPARE(w->currentScheme(), QStringLiteral("Fresh"));
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::removeSoundByte()
{
    Rig rig;
    TestApp t;
    t.folder.writeFile(QStringLiteral("Speech/Bob/Amazing.wav"));
    t.folder.writeFile(QStringLiteral("Speech/Bob/Hello.wav"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    auto* file1 = named<QListWidget>(w, QStringLiteral("File1"));
    select(file1, QStringLiteral("Amazing.wav"));
    t.prompter.answerNo();
    click(named(w, QStringLiteral("cmdRemove")));
    QCOMPARE(t.folder.entries(QStringLiteral("Speech/Bob")), QStringList({"Amazing.wav", "Hello.wav"}));
    t.prompter.answerYes();
    click(named(w, QStringLiteral("cmdRemove")));
    QCOMPARE(t.prompter.texts(), QStringList(2, "Are you sure you want to delete Bob's Amazing.wav soundbyte?"));
    QCOMPARE(t.prompter.boxes().last().title, QStringLiteral("Delete Soundbyte?"));
    QCOMPARE(t.prompter.boxes().last().icon, Prompter::Icon::Question);
    QCOMPARE(t.folder.entries(QStringLiteral("Speech/Bob")), QStringList({"Hello.wav"}));
    QCOMPARE(listItems(file1), QStringList({"Hello.wav"}));
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::playSounds()
{
    Rig rig;
    TestApp t;
    t.folder.writeFile(QStringLiteral("Speech/Bob/Amazing.wav"));
    t.folder.writeFile(QStringLiteral("Speech/Hello.wav"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    doubleClick(named<QListWidget>(w, QStringLiteral("File1")), QStringLiteral("Amazing.wav"));
    doubleClick(named<QListWidget>(w, QStringLiteral("List1")), QStringLiteral("Hello"));
    QCOMPARE(rig.playerLog, QStringList({"play " + t.folder.path(QStringLiteral("Speech/Bob/Amazing.wav")),
                                         "play " + t.folder.path(QStringLiteral("Speech/Hello.wav"))}));
    // A sound with no file in the Speech folder: a short note instead.
    doubleClick(named<QListWidget>(w, QStringLiteral("List1")), QStringLiteral("Amazing"));
    QCOMPARE(t.prompter.texts(), QStringList({"There is no Amazing.wav in the Speech folder to play."}));
    QCOMPARE(rig.playerLog.size(), 2);
    // Deleting a sound byte lets the player go of it first.
    t.prompter.answerYes();
    click(named(w, QStringLiteral("cmdRemove")));
    QCOMPARE(rig.playerLog.last(), QStringLiteral("release"));
    QVERIFY(!t.folder.exists(QStringLiteral("Speech/Bob/Amazing.wav")));
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::setSoundByteFromFile()
{
    Rig rig;
    TestApp t;
    t.folder.writeFile(QStringLiteral("Speech/Bob/Hello.wav"), "old");
    const QString take = t.folder.writeFile(QStringLiteral("../take.mp3"), "new");
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    auto* combo1 = named<QComboBox>(w, QStringLiteral("Combo1"));
    auto* frm = named<QGroupBox>(w, QStringLiteral("frmBrowse"));
    auto* txt = named<QLineEdit>(w, QStringLiteral("txtFileName"));
    auto* okBrowse = named<QPushButton>(w, QStringLiteral("cmdOKbrowse"));
    combo1->setCurrentIndex(1);
    QVERIFY(frm->isVisible());
    QCOMPARE(frm->y(), named(w, QStringLiteral("Shape3"))->y() - 1);
    QVERIFY(!okBrowse->isVisible());

    // Cancelling the dialog leaves the box empty.
    txt->setText(QStringLiteral("x"));
    t.prompter.answerFile(QString());
    click(named(w, QStringLiteral("cmdBrowse")));
    QCOMPARE(txt->text(), QString());
    QVERIFY(!okBrowse->isVisible());
    QCOMPARE(t.prompter.boxes().last().kind, FakePrompter::Kind::OpenFile);
    QCOMPARE(t.prompter.boxes().last().extra, QStringLiteral("WAV file (*.wav*)"));

    t.prompter.answerFile(take);
    click(named(w, QStringLiteral("cmdBrowse")));
    QCOMPARE(txt->text(), take);
    QVERIFY(okBrowse->isVisible());
    // Clearing the text by hand hides OK? again.
    txt->clear();
    QVERIFY(!okBrowse->isVisible());
    txt->setText(take);

    // The file is copied unchanged as the selected sound's byte, replacing it.
    select(named<QListWidget>(w, QStringLiteral("List1")), QStringLiteral("Hello"));
    click(named(w, QStringLiteral("cmdRecord")));
    click(okBrowse);
    QCOMPARE(t.folder.read(QStringLiteral("Speech/Bob/Hello.wav")), QByteArray("new"));
    QVERIFY(QFile::exists(take));
    QCOMPARE(txt->text(), QString());
    QVERIFY(!okBrowse->isVisible());
    QCOMPARE(buttons(w), QStringLiteral("R---")); // the recorder was reset

    // A file that cannot be copied: said so, the sound byte stays.
    select(named<QListWidget>(w, QStringLiteral("List1")), QStringLiteral("Hello"));
    txt->setText(take + QStringLiteral(".missing"));
    click(okBrowse);
    QCOMPARE(t.prompter.texts().size(), 3);
    QVERIFY2(t.prompter.texts().last().startsWith(QStringLiteral("The file could not be set as Hello.wav: ")),
             qPrintable(t.prompter.texts().last()));
    QCOMPARE(t.folder.read(QStringLiteral("Speech/Bob/Hello.wav")), QByteArray("new"));
    QCOMPARE(txt->text(), take + QStringLiteral(".missing"));

    combo1->setCurrentIndex(0);
    QVERIFY(!frm->isVisible());
    QCOMPARE(txt->text(), QString());
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::recordStopPreviewResetOk()
{
    Rig rig;
    TestApp t;
    t.folder.writeFile(QStringLiteral("Speech/Bob/Amazing.wav"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    auto* list1 = named<QListWidget>(w, QStringLiteral("List1"));
    auto* slider = named<QSlider>(w, QStringLiteral("Slider1"));
    auto* stats = named<QLabel>(w, QStringLiteral("StatisticsLabel"));
    QCOMPARE(buttons(w), QStringLiteral("R---"));
    // The freshly opened device is stopped: the first tick enables Preview.
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: stopped"));
    QCOMPARE(buttons(w), QStringLiteral("RP--"));

    select(list1, QStringLiteral("Hello"));
    click(named(w, QStringLiteral("cmdRecord")));
    QCOMPARE(w->selectedSound(), QStringLiteral("Hello"));
    QCOMPARE(buttons(w), QStringLiteral("--S-"));
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: recording"));
    rig.clock.advance(1500);
    QTRY_COMPARE(stats->text(), QStringLiteral("Length recording  1.5 s ( 33074 bytes)\r\n"
                                               "Mono -  16 bits -  11025 samples per second \r\n\r\n"));

    // Another sound is selected before Stop: the recording keeps its name.
    select(list1, QStringLiteral("ByeBye"));
    click(named(w, QStringLiteral("cmdStop")));
    QCOMPARE(buttons(w), QStringLiteral("RP-O"));
    QCOMPARE(slider->maximum(), 1500);

    // Preview from 500 ms, to its end.
    slider->setValue(500);
    click(named(w, QStringLiteral("cmdPlay")));
    QCOMPARE(buttons(w), QStringLiteral("R-SO"));
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: playing"));
    QCOMPARE(buttons(w), QStringLiteral("R-SO"));
    rig.clock.advance(1000);
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: stopped"));
    QCOMPARE(buttons(w), QStringLiteral("RP-O"));

    // Stopping a playback keeps the slider's maximum.
    click(named(w, QStringLiteral("cmdPlay")));
    rig.clock.advance(200);
    click(named(w, QStringLiteral("cmdStop")));
    QCOMPARE(slider->maximum(), 1500);
    QCOMPARE(buttons(w), QStringLiteral("RP-O"));

    // OK stores the recording under the name taken at Record time.
    click(named(w, QStringLiteral("cmdOK")));
    QCOMPARE(t.folder.entries(QStringLiteral("Speech/Bob")), QStringList({"Amazing.wav", "Hello.wav"}));
    const WavHeader h = WavHeader::parse(t.folder.read(QStringLiteral("Speech/Bob/Hello.wav")));
    QVERIFY(h.valid);
    QCOMPARE(h.dataSize, 33074u); // 1.5 s of 16-bit mono, whole frames
    QCOMPARE(listItems(named<QListWidget>(w, QStringLiteral("File1"))), QStringList({"Amazing.wav", "Hello.wav"}));
    // ... and resets the recorder.
    QCOMPARE(buttons(w), QStringLiteral("R---"));
    QCOMPARE(slider->maximum(), 10);
    QCOMPARE(slider->value(), 0);
    QTRY_VERIFY(stats->text().startsWith(QStringLiteral("Length recording  0 s ( 0 bytes)")));

    // Reset reads the settings again: a format changed in the store is used.
    {
        QSettings store(QSettings::UserScope, AppInfo::organisation(), QStringLiteral("AudioRecorder"));
        store.setValue(QStringLiteral("StartUp/Rate"), QStringLiteral("22050"));
        store.setValue(QStringLiteral("StartUp/Channels"), QStringLiteral("2"));
    }
    rig.probe->sent.clear();
    click(named(w, QStringLiteral("cmdReset")));
    QCOMPARE(
        rig.probe->sent,
        QStringList({"close all", "open new type waveaudio alias capture", "seek capture to start",
                     "set capture alignment 4 bitspersample 16 samplespersec 22050 channels 2 bytespersec 88200"}));
    QCOMPARE(buttons(w), QStringLiteral("R---"));
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::stoppingAnEmptyRecordingAndOkWithoutRecord()
{
    Rig rig;
    TestApp t;
    t.folder.makeDir(QStringLiteral("Speech/Bob"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    auto* slider = named<QSlider>(w, QStringLiteral("Slider1"));
    // Preview and Stop before anything was recorded: OK has nothing to store.
    QTRY_COMPARE(buttons(w), QStringLiteral("RP--"));
    click(named(w, QStringLiteral("cmdPlay")));
    click(named(w, QStringLiteral("cmdStop")));
    QCOMPARE(buttons(w), QStringLiteral("RP-O"));
    click(named(w, QStringLiteral("cmdOK")));
    QCOMPARE(t.prompter.texts(),
             QStringList({"Nothing has been recorded yet: pick a sound in the list and press Record."}));
    QCOMPARE(t.folder.entries(QStringLiteral("Speech/Bob")), QStringList());

    // A recording of no length sets the slider's maximum back to 10.
    slider->setMaximum(500);
    click(named(w, QStringLiteral("cmdRecord")));
    click(named(w, QStringLiteral("cmdStop")));
    QCOMPARE(slider->maximum(), 10);
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::closingWhileRecording()
{
    Rig rig;
    TestApp t;
    t.folder.writeProbe();
    t.folder.makeDir(QStringLiteral("Speech/Bob"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    click(named(w, QStringLiteral("cmdRecord")));
    rig.clock.advance(700);
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: recording"));
    w->close();
    QTRY_VERIFY(!t.existing(WindowNames::Sounds));
    // The recording is dropped, the main menu comes back, the settings are kept.
    QVERIFY(t.existing(WindowNames::MainMenu) && t.existing(WindowNames::MainMenu)->isVisible());
    QCOMPARE(t.folder.entries(QStringLiteral("Speech/Bob")), QStringList());
    QCOMPARE(rig.probe ? rig.probe->sent.last() : QString(), QStringLiteral("close capture"));
    QSettings store(storePath(), QSettings::IniFormat);
    store.beginGroup(QStringLiteral("StartUp"));
    QCOMPARE(store.childKeys(), QStringList({"Channels", "Rate", "Resolution", "WaveAutomaticSave", "WaveFileName"}));
    QCOMPARE(store.value(QStringLiteral("WaveAutomaticSave")).toString(), QStringLiteral("True"));
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::tickPausesAndShowsAFailureOnce()
{
    Rig rig;
    TestApp t;
    t.folder.makeDir(QStringLiteral("Speech/Bob"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: stopped"));
    // While any box is open, several ticks pass: none may open another box.
    int boxesDuringBox = 0;
    t.prompter.onBox = [&](const FakePrompter::Box&) {
        const int before = t.prompter.boxes().size();
        waitTicks(4);
        boxesDuringBox += t.prompter.boxes().size() - before;
    };

    // The device loses its recording alias: every status query fails.
    rig.probe->failingPrefix.insert(QStringLiteral("status capture"), CommandDevice::UnknownDevice);
    waitTicks(8);
    const QStringList once = {"Finding length recording in milliseconds failed!",
                              "Finding length recording in bytes failed!",
                              "Finding number of channels failed!",
                              "Finding resolution failed!",
                              "Finding sample rate failed!",
                              "Failure getting wave status..."};
    QCOMPARE(t.prompter.texts(), once);
    QCOMPARE(boxesDuringBox, 0);

    // The device works again; a later failure is shown again, once.
    rig.probe->failingPrefix.clear();
    waitTicks(3);
    QCOMPARE(t.prompter.texts().size(), once.size());
    rig.probe->failingPrefix.insert(QStringLiteral("status capture mode"), CommandDevice::UnknownDevice);
    waitTicks(5);
    QCOMPARE(t.prompter.texts(), once + QStringList({"Failure getting wave status..."}));
    QCOMPARE(boxesDuringBox, 0);

    // A question of the user's own is not interrupted by the tick either.
    rig.probe->failingPrefix.clear();
    waitTicks(2);
    rig.probe->failingPrefix.insert(QStringLiteral("status capture channels"), CommandDevice::UnknownDevice);
    t.prompter.answerNo();
    click(named(w, QStringLiteral("cmdDelete")));
    QCOMPARE(t.prompter.texts().at(once.size() + 1), QStringLiteral("Are you sure you want to delete the Bob scheme?"));
    QCOMPARE(boxesDuringBox, 0);
    waitTicks(2);
    QCOMPARE(t.prompter.texts().mid(once.size() + 2), QStringList({"Finding number of channels failed!"}));
    t.prompter.onBox = nullptr;
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::noSoundDevice()
{
    Rig rig;
    rig.hasInput = false;
    rig.hasOutput = false;
    TestApp t;
    t.folder.makeDir(QStringLiteral("Speech/Bob"));
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    // The editor opens quietly and its status works.
    QTRY_COMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: stopped"));
    QCOMPARE(t.prompter.texts(), QStringList());

    // Record says why it cannot, once, and the recorder stays ready.
    click(named(w, QStringLiteral("cmdRecord")));
    QCOMPARE(t.prompter.texts(), QStringList({WaveRecorder::noInputMessage()}));
    QCOMPARE(buttons(w), QStringLiteral("RP--"));
    waitTicks(5);
    QCOMPARE(t.prompter.texts().size(), 1);
    QCOMPARE(w->windowTitle(), QStringLiteral("The Quillane SoundBank Editor: stopped"));

    // Schemes and files still work.
    t.prompter.answerInput(QStringLiteral("Jim"));
    click(named(w, QStringLiteral("cmdNew")));
    QCOMPARE(t.folder.entries(QStringLiteral("Speech")), QStringList({"Bob", "Jim"}));
    VERIFY_PROMPTER(t.prompter);
}

void TestSoundsWindow::failedSaveKeepsTheRecording()
{
    Rig rig;
    TestApp t;
    t.folder.writeFile(QStringLiteral("Speech/Bob/Hello.wav"), "old");
    SoundBankWindow* w = open(t, rig);
    QVERIFY(w);
    select(named<QListWidget>(w, QStringLiteral("List1")), QStringLiteral("Hello"));
    click(named(w, QStringLiteral("cmdRecord")));
    rig.clock.advance(1000);
    click(named(w, QStringLiteral("cmdStop")));

    rig.probe->failingPrefix.insert(QStringLiteral("save capture "), CommandDevice::CannotWriteFile);
    click(named(w, QStringLiteral("cmdOK")));
    const QString target = t.folder.path(QStringLiteral("Speech/Bob/Hello.wav"));
    QCOMPARE(t.prompter.texts(), QStringList({"Saving file failed, file name was: " + target}));
    QCOMPARE(t.folder.read(QStringLiteral("Speech/Bob/Hello.wav")), QByteArray("old"));
    QCOMPARE(t.folder.entries(QStringLiteral("Speech/Bob")), QStringList({"Hello.wav"}));
    QCOMPARE(buttons(w), QStringLiteral("RP-O"));

    // Once the device can write again, the same recording is stored.
    rig.probe->failingPrefix.clear();
    click(named(w, QStringLiteral("cmdOK")));
    const WavHeader h = WavHeader::parse(t.folder.read(QStringLiteral("Speech/Bob/Hello.wav")));
    QVERIFY(h.valid);
    QCOMPARE(h.dataSize, 22050u);
    QCOMPARE(buttons(w), QStringLiteral("R---"));
    VERIFY_PROMPTER(t.prompter);
}

QTEST_MAIN(TestSoundsWindow)
#include "tst_sounds_window.moc"
