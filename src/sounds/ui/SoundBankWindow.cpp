#include "sounds/ui/SoundBankWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Intervals.h"
#include "common/core/PathCase.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/PictureLabel.h"
#include "common/ui/WindowNames.h"
#include "sounds/core/CommandDevice.h"
#include "sounds/core/RecorderSettings.h"
#include "sounds/core/SoundClip.h"
#include "sounds/core/SoundPlayer.h"
#include "sounds/core/SpeechSounds.h"
#include "sounds/core/WaveRecorder.h"
#include "sounds/ui/SoundBankLayout.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>

namespace {

namespace Layout = SoundBankLayout;

constexpr int kSliderDesignMax = 10;

const QString kEditorTitle = QStringLiteral("SoundBank Editor");

QPushButton* button(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    return b;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    return l;
}

QGroupBox* frame(QWidget* parent, const QString& name, const QString& title, const QRect& geometry)
{
    auto* f = new QGroupBox(title, parent);
    f->setObjectName(name);
    f->setGeometry(geometry);
    return f;
}

} // namespace

SoundBankWindow::SoundBankWindow(AppContext& context, SoundKit kit)
    : AppWindow(context)
    , m_schemes(context.paths())
    , m_prompter(context.prompter())
    , m_unshown(m_prompter)
    , m_kit(std::move(kit))
{
    setObjectName(WindowNames::Sounds);
    setWindowTitle(QStringLiteral("The Quillane Soundbank Editor"));
    setEscapeAction([this] { close(); }); // as closing the window: back to the main menu
    setFixedSize(Layout::form);
    setFont(designFont(QStringLiteral("Verdana"), 8));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_device = m_kit.makeDevice();
    m_recorder = std::make_unique<WaveRecorder>(*m_device, m_prompter);
    buildControls();
}

SoundBankWindow::~SoundBankWindow() = default;

void SoundBankWindow::buildControls()
{
    // Schemes and their sound bytes, on the left.
    m_schemeCaption = label(this, QStringLiteral("Label3"), QStringLiteral("Scheme:"), Layout::schemeCaption);
    m_cboScheme = new QComboBox(this);
    m_cboScheme->setObjectName(QStringLiteral("cboScheme"));
    m_cboScheme->setGeometry(Layout::schemeChooser);
    m_lblSchemeName = label(this, QStringLiteral("lblSchemeName"), QString(), Layout::schemeName);
    m_lblSchemeName->setFont(designFont(QStringLiteral("Verdana"), 9, true));
    m_cmdNew = button(this, QStringLiteral("cmdNew"), QStringLiteral("New Scheme"), Layout::newScheme);
    m_cmdDelete = button(this, QStringLiteral("cmdDelete"), QStringLiteral("Delete"), Layout::deleteScheme);

    m_soundBytesFrame =
        frame(this, QStringLiteral("Frame1"), QStringLiteral("Worm Sound Bytes"), Layout::soundBytesFrame);
    label(m_soundBytesFrame, QStringLiteral("Label4"), QStringLiteral("Dbl-Click to play sound"),
          Layout::soundBytesHint);
    m_soundBytes = new QListWidget(m_soundBytesFrame);
    m_soundBytes->setObjectName(QStringLiteral("File1"));
    m_soundBytes->setGeometry(Layout::soundBytes);
    m_cmdRemove =
        button(m_soundBytesFrame, QStringLiteral("cmdRemove"), QStringLiteral("Remove"), Layout::removeSoundByte);

    // The speech sounds, in the middle.
    label(this, QStringLiteral("Label1"), QStringLiteral("Defaults"), Layout::speechCaption);
    m_speechSounds = new QListWidget(this);
    m_speechSounds->setObjectName(QStringLiteral("List1"));
    m_speechSounds->setGeometry(Layout::speechSounds);
    m_speechSounds->addItems(SpeechSounds::names());
    label(this, QStringLiteral("Label2"), QStringLiteral("Dbl-Click to play sound"), Layout::speechHint);

    // How a sound byte is made: the recorder buttons, or the file panel over them.
    m_sourceCombo = new QComboBox(this);
    m_sourceCombo->setObjectName(QStringLiteral("Combo1"));
    m_sourceCombo->setGeometry(Layout::sourceChooser);
    m_sourceCombo->addItems({QStringLiteral("Record"), QStringLiteral("Browse!")});
    m_sourceCombo->setCurrentIndex(-1);

    m_recorderPanel = new QFrame(this);
    m_recorderPanel->setObjectName(QStringLiteral("Shape3"));
    m_recorderPanel->setFrameShape(QFrame::Box);
    m_recorderPanel->setGeometry(Layout::recorderPanel);
    m_cmdRecord = button(m_recorderPanel, QStringLiteral("cmdRecord"), QStringLiteral("Record"), Layout::record);
    m_cmdPlay = button(m_recorderPanel, QStringLiteral("cmdPlay"), QStringLiteral("Preview"), Layout::preview);
    m_cmdPlay->setToolTip(QStringLiteral("Play the recording"));
    m_cmdStop = button(m_recorderPanel, QStringLiteral("cmdStop"), QStringLiteral("Stop"), Layout::stop);
    m_cmdStop->setToolTip(QStringLiteral("Stop recording or playing"));
    m_cmdReset = button(m_recorderPanel, QStringLiteral("cmdReset"), QStringLiteral("Reset"), Layout::reset);
    m_cmdReset->setToolTip(QStringLiteral("To start a new recording and adjusting all settings"));
    m_cmdOK = button(m_recorderPanel, QStringLiteral("cmdOK"), QStringLiteral("OK"), Layout::keepRecording);
    setRecorderButtons(true, false, false, false);

    m_frmBrowse = frame(this, QStringLiteral("frmBrowse"), QStringLiteral("Set As Sound File"), Layout::browsePanel);
    m_frmBrowse->setAutoFillBackground(true);
    m_txtFileName = new QLineEdit(m_frmBrowse);
    m_txtFileName->setObjectName(QStringLiteral("txtFileName"));
    m_txtFileName->setGeometry(Layout::fileName);
    m_cmdBrowse = button(m_frmBrowse, QStringLiteral("cmdBrowse"), QStringLiteral("Browse..."), Layout::browse);
    m_cmdOKbrowse = button(m_frmBrowse, QStringLiteral("cmdOKbrowse"), QStringLiteral("OK?"), Layout::setFromFile);
    m_cmdOKbrowse->setVisible(false);
    m_frmBrowse->setVisible(false);

    // Preview position and statistics along the bottom, the picture beside them.
    QGroupBox* frame5 = frame(this, QStringLiteral("Frame5"),
                              QStringLiteral("Starting position for play (in milliseconds)"), Layout::startFrame);
    m_startSlider = new QSlider(Qt::Horizontal, frame5);
    m_startSlider->setObjectName(QStringLiteral("Slider1"));
    m_startSlider->setGeometry(Layout::startSlider);
    m_startSlider->setRange(0, kSliderDesignMax);
    m_startSlider->setTickPosition(QSlider::TicksBelow);
    m_startSlider->setToolTip(QStringLiteral("You can choose a beginning for playing the recording"));
    // About ten ticks whatever the recording's length.
    connect(m_startSlider, &QSlider::rangeChanged, m_startSlider,
            [this](int, int max) { m_startSlider->setTickInterval(qMax(1, max / 10)); });
    QGroupBox* frame4 = frame(this, QStringLiteral("Frame4"), QStringLiteral("Statistics"), Layout::statisticsFrame);
    m_statisticsLabel = label(frame4, QStringLiteral("StatisticsLabel"), QString(), Layout::statistics);
    m_statisticsLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_statisticsLabel->setToolTip(QStringLiteral("Information about the recording"));
    m_imgArmy = label(this, QStringLiteral("imgArmy"), QString(), Layout::army);
    m_imgArmy->setAlignment(Qt::AlignCenter);

    m_statusTimer = new QTimer(this);
    m_statusTimer->setObjectName(QStringLiteral("Timer2"));
    m_statusTimer->setInterval(context().intervals().statusTick);

    connect(m_cboScheme, &QComboBox::currentIndexChanged, this, &SoundBankWindow::schemePicked);
    connect(m_cmdNew, &QPushButton::clicked, this, &SoundBankWindow::newScheme);
    connect(m_cmdDelete, &QPushButton::clicked, this, &SoundBankWindow::deleteScheme);
    connect(m_cmdRemove, &QPushButton::clicked, this, &SoundBankWindow::removeSoundByte);
    connect(m_soundBytes, &QListWidget::itemDoubleClicked, this, &SoundBankWindow::playSoundByte);
    connect(m_speechSounds, &QListWidget::itemDoubleClicked, this, &SoundBankWindow::playDefaultSound);
    connect(m_sourceCombo, &QComboBox::currentIndexChanged, this, &SoundBankWindow::makeModeChosen);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &SoundBankWindow::browse);
    connect(m_txtFileName, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_cmdOKbrowse->setVisible(!text.isEmpty()); });
    connect(m_cmdOKbrowse, &QPushButton::clicked, this, &SoundBankWindow::setFromFile);
    connect(m_cmdRecord, &QPushButton::clicked, this, &SoundBankWindow::record);
    connect(m_cmdStop, &QPushButton::clicked, this, &SoundBankWindow::stop);
    connect(m_cmdPlay, &QPushButton::clicked, this, &SoundBankWindow::preview);
    connect(m_cmdReset, &QPushButton::clicked, this, &SoundBankWindow::reset);
    connect(m_cmdOK, &QPushButton::clicked, this, &SoundBankWindow::keepRecording);
    connect(m_statusTimer, &QTimer::timeout, this, &SoundBankWindow::statusTick);
    buildBankTools();
}

void SoundBankWindow::formLoad()
{
    m_speechSounds->setCurrentRow(0);
    m_recorder->openCaptureDevice();
    showOwnPicture(m_imgArmy, context().paths(), QStringLiteral("army.bmp"));
    m_recorder->settings().read();
    loadEditing();
    m_playing = false;
    m_recorder->applyRecordingFormat();
    m_sourceCombo->setCurrentIndex(0);
    if (m_cboScheme->count() > 0)
        m_cboScheme->setCurrentIndex(0);
    fillSchemeList();
    m_statusTimer->start();
}

bool SoundBankWindow::formUnload()
{
    m_statusTimer->stop();
    stopMeter();
    releasePlayer();
    m_recorder->closeCaptureDevice();
    m_recorder->settings().write();
    context().returnToMainMenu(WindowNames::Sounds);
    return true;
}

QString SoundBankWindow::currentScheme() const
{
    return m_cboScheme->currentText();
}

// ---- Schemes and sound bytes -------------------------------------------------

void SoundBankWindow::fillSchemeList()
{
    {
        const QSignalBlocker quiet(m_cboScheme);
        m_cboScheme->clear();
    }
    const QStringList names = m_schemes.schemeNames();
    {
        const QSignalBlocker quiet(m_cboScheme);
        m_cboScheme->addItems(names);
        m_cboScheme->setCurrentIndex(-1);
    }
    if (!names.isEmpty())
        m_cboScheme->setCurrentIndex(0);
    // Schemes whose names cannot be shown are there all the same.
    m_unshown.check(m_schemes.speechFolder(), UnshownNames::Kind::Folders);
    if (currentScheme().isEmpty()) {
        m_shownScheme.clear();
        m_lblSchemeName->clear();
        refreshSoundBytes();
        m_prompter.message(QStringLiteral("You currently have no custom schemes. Please Create one! :)"), kEditorTitle,
                           Prompter::Buttons::Ok, Prompter::Icon::Information);
        newScheme();
        return;
    }
    m_shownScheme = currentScheme();
    refreshSoundBytes();
    m_lblSchemeName->setText(currentScheme());
}

void SoundBankWindow::schemePicked(int index)
{
    if (index < 0)
        return;
    const QString name = m_cboScheme->itemText(index);
    if (!QFileInfo(m_schemes.schemeFolder(name)).isDir()) {
        // The folder went away behind our back: the current scheme stays.
        {
            const QSignalBlocker quiet(m_cboScheme);
            m_cboScheme->setCurrentIndex(m_cboScheme->findText(m_shownScheme, Qt::MatchExactly));
        }
        m_prompter.tell(QStringLiteral("The scheme ") + name +
                        QStringLiteral(" is gone: its folder no longer exists."));
        return;
    }
    m_shownScheme = name;
    refreshSoundBytes();
    m_lblSchemeName->setText(name);
    m_txtFileName->clear();
}

void SoundBankWindow::newScheme()
{
    for (;;) {
        const QString name = m_prompter.input(QStringLiteral("What will be the name of your new scheme?"),
                                              QStringLiteral("New Scheme"), QString());
        const bool noScheme = currentScheme().isEmpty();
        if (name.isEmpty()) {
            // A window without schemes always ends up with one.
            if (noScheme)
                continue;
            return;
        }
        QString problem;
        const SchemeStore::Created result = m_schemes.create(name, &problem);
        if (result == SchemeStore::Created::Ok) {
            fillSchemeList();
            return;
        }
        m_prompter.message(problem, QStringLiteral("New Scheme"), Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
        // A name the user can correct is asked for again; a folder that
        // cannot be made at all must not trap the user in the prompt.
        const bool correctable = result == SchemeStore::Created::BadName || result == SchemeStore::Created::Exists;
        if (!(correctable && noScheme))
            return;
    }
}

void SoundBankWindow::deleteScheme()
{
    const QString scheme = currentScheme();
    if (scheme.isEmpty())
        return;
    if (m_prompter.message(SchemeStore::deleteSchemeQuestion(scheme), QStringLiteral("Delete Scheme?"),
                           Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    releasePlayer();
    m_schemes.remove(scheme);
    fillSchemeList();
}

void SoundBankWindow::removeSoundByte()
{
    const QString scheme = currentScheme();
    const QString file = m_soundBytes->currentItem() ? m_soundBytes->currentItem()->text() : QString();
    if (m_prompter.message(SchemeStore::removeSoundByteQuestion(scheme, file), QStringLiteral("Delete Soundbyte?"),
                           Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    releasePlayer();
    m_schemes.removeSoundByte(scheme, file);
    refreshSoundBytes();
}

void SoundBankWindow::refreshSoundBytes()
{
    const QString selected = m_soundBytes->currentItem() ? m_soundBytes->currentItem()->text() : QString();
    m_soundBytes->clear();
    m_soundBytes->addItems(m_schemes.soundBytes(m_shownScheme));
    const QList<QListWidgetItem*> again = m_soundBytes->findItems(selected, Qt::MatchExactly);
    if (!selected.isEmpty() && !again.isEmpty())
        m_soundBytes->setCurrentItem(again.first());
    // Sound bytes whose names cannot be shown are there all the same.
    if (!m_shownScheme.isEmpty())
        m_unshown.check(m_schemes.schemeFolder(m_shownScheme));
}

void SoundBankWindow::playSoundByte()
{
    const QString file = m_soundBytes->currentItem() ? m_soundBytes->currentItem()->text() : QString();
    if (file.isEmpty() || m_shownScheme.isEmpty())
        return;
    play(PathCase::join(m_schemes.schemeFolder(m_shownScheme), file),
         QStringLiteral("The sound byte ") + file + QStringLiteral(" is no longer there."));
}

void SoundBankWindow::playDefaultSound()
{
    const QString sound = m_speechSounds->currentItem() ? m_speechSounds->currentItem()->text() : QString();
    if (sound.isEmpty())
        return;
    play(m_schemes.defaultSoundPath(sound), QStringLiteral("There is no ") + SpeechSounds::fileName(sound) +
                                                QStringLiteral(" in the Speech folder to play."));
}

void SoundBankWindow::play(const QString& file, const QString& missingText)
{
    endPlayAll();
    if (!QFileInfo(file).isFile()) {
        m_prompter.tell(missingText);
        return;
    }
    if (!m_player)
        m_player = m_kit.makePlayer();
    m_player->play(file);
}

void SoundBankWindow::releasePlayer()
{
    m_playingAll = false;
    m_playAllQueue.clear();
    if (m_player)
        m_player->release();
}

void SoundBankWindow::makeModeChosen(int index)
{
    if (index == 0) {
        m_frmBrowse->setVisible(false);
        m_txtFileName->clear();
    } else if (index > 0) {
        m_frmBrowse->move(Layout::browsePanelShown);
        m_frmBrowse->setVisible(true);
        m_frmBrowse->raise();
    }
}

void SoundBankWindow::browse()
{
    m_txtFileName->setText(
        m_prompter.openFile(QStringLiteral("Open"), qtFileFilter(SoundClip::fileFilter()), QString()));
}

void SoundBankWindow::setFromFile()
{
    const QString sound = m_speechSounds->currentItem() ? m_speechSounds->currentItem()->text() : QString();
    const QString scheme = currentScheme();
    if (scheme.isEmpty() || sound.isEmpty())
        return;
    releasePlayer();
    QString error;
    if (!m_schemes.setSoundByte(scheme, sound, m_txtFileName->text(), m_recorder->settings().format(), m_editing,
                                &error)) {
        m_prompter.tell(QStringLiteral("The file could not be set as ") + SpeechSounds::fileName(sound) +
                        QStringLiteral(": ") + error + QStringLiteral(". =("));
        return;
    }
    reset();
    refreshSoundBytes();
    m_txtFileName->clear();
    m_cmdOKbrowse->setVisible(false);
}

// ---- The recorder ------------------------------------------------------------

void SoundBankWindow::setRecorderButtons(bool record, bool play, bool stop, bool ok)
{
    m_cmdRecord->setEnabled(record);
    m_cmdPlay->setEnabled(play);
    m_cmdStop->setEnabled(stop);
    m_cmdOK->setEnabled(ok);
}

void SoundBankWindow::record()
{
    endPlayAll();
    m_selectedSound = m_speechSounds->currentItem() ? m_speechSounds->currentItem()->text() : QString();
    m_recorder->openCaptureDevice();
    m_recorder->applyRecordingFormat();
    if (!m_recorder->startRecording()) {
        // Nothing is being recorded: the recorder stays ready to try again.
        setRecorderButtons(true, m_cmdPlay->isEnabled(), false, false);
        return;
    }
    // A new recording replaces the one that OK would have stored.
    setRecorderButtons(false, false, true, false);
    m_recording = true;
    startMeter();
}

void SoundBankWindow::stop()
{
    if (m_playingAll) {
        // Stop ends Play All; the recorder is idle meanwhile.
        endPlayAll();
        m_cmdStop->setEnabled(false);
        return;
    }
    m_recorder->stopRecording();
    m_recording = false;
    stopMeter();
    // Record is ready again at once: a new take replaces this one.
    setRecorderButtons(true, true, false, true);
    const qint32 position = m_recorder->getCapturePosition();
    if (position == 0)
        m_startSlider->setMaximum(kSliderDesignMax);
    else if (!m_playing)
        m_startSlider->setMaximum(m_recorder->getCapturePosition());
    m_playing = false;
}

void SoundBankWindow::preview()
{
    endPlayAll();
    m_recorder->playFromPosition(m_startSlider->value());
    m_playing = true;
    m_cmdStop->setEnabled(true);
    m_cmdPlay->setEnabled(false);
}

void SoundBankWindow::reset()
{
    m_startSlider->setMaximum(kSliderDesignMax);
    m_startSlider->setValue(0);
    m_startSlider->update();
    stopMeter();
    m_recording = false;
    setRecorderButtons(true, false, false, false);
    m_recorder->openCaptureDevice();
    m_recorder->settings().read();
    m_playing = false;
    m_recorder->applyRecordingFormat();
}

void SoundBankWindow::keepRecording()
{
    const QString scheme = currentScheme();
    if (m_selectedSound.isEmpty()) {
        m_prompter.tell(QStringLiteral("Nothing has been recorded yet: pick a sound in the list and press Record."));
        return;
    }
    if (scheme.isEmpty()) {
        m_prompter.tell(QStringLiteral("There is no scheme to keep the recording in: make one with New Scheme."));
        return;
    }
    releasePlayer();
    // A failed save keeps the recording, so that it can be stored once the
    // cause is mended.
    const QString path = m_schemes.soundBytePath(scheme, m_selectedSound);
    if (!m_recorder->saveRecording(path))
        return;
    QString error;
    if (m_editing.any() && !SoundClip::store(path, path, m_recorder->settings().format(), m_editing, &error))
        m_prompter.tell(QStringLiteral("The recording was kept as it is, without trimming or normalising: ") + error +
                        QStringLiteral(". =("));
    reset();
    refreshSoundBytes();
}

void SoundBankWindow::statusTick()
{
    // While a box is open (one of the tick's own failures, or any other) the
    // tick waits, so that boxes never pile up.
    if (m_inTick || m_prompter.openBoxes() > 0)
        return;
    m_inTick = true;
    m_recorder->buildStatistics(WaveRecorder::Reporting::OncePerFailure);
    m_statisticsLabel->setText(m_recorder->statisticsText());
    m_recorder->readDeviceMode(WaveRecorder::Reporting::OncePerFailure);
    if (windowTitle() != m_recorder->statusLine())
        setWindowTitle(m_recorder->statusLine());
    if (m_recorder->isStopped()) {
        m_cmdStop->setEnabled(m_playingAll);
        m_cmdPlay->setEnabled(true);
        // A recording that stopped by itself (at its limit, or as its input
        // went away) is held as if Stop had been pressed, and the user is
        // told why.
        if (m_recording) {
            const QString notice = m_recorder->takeEndNotice();
            stop();
            if (!notice.isEmpty())
                m_prompter.tell(notice);
        }
    }
    m_inTick = false;
}
