// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/ui/SoundBankWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Intervals.h"
#include "common/core/PathCase.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/PictureLabel.h"
#include "common/ui/Widgets.h"
#include "common/ui/WindowNames.h"
#include "sounds/core/CommandDevice.h"
#include "sounds/core/RecorderSettings.h"
#include "sounds/core/SoundClip.h"
#include "sounds/core/SoundPlayer.h"
#include "sounds/core/SpeechSounds.h"
#include "sounds/core/WaveRecorder.h"
#include "sounds/ui/InputLevelMeter.h"
#include "sounds/ui/MicrophonePicker.h"
#include "sounds/ui/RecorderPanel.h"
#include "sounds/ui/SchemePanel.h"
#include "sounds/ui/SoundBankLayout.h"
#include "sounds/ui/SpeechBankSharing.h"

#include <QCheckBox>
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
using namespace Widgets;

constexpr int kSliderDesignMax = 10;

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
    m_schemePanel = new SchemePanel(
        m_schemes, m_prompter, m_unshown, [this] { releasePlayer(); }, this);
    connect(m_schemePanel, &SchemePanel::schemeShown, this, [this] { m_txtFileName->clear(); });
    connect(m_schemePanel, &SchemePanel::soundByteActivated, this, &SoundBankWindow::playSoundByte);

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

    m_recorderPanel = new RecorderPanel(this);

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

    connect(m_speechSounds, &QListWidget::itemDoubleClicked, this, &SoundBankWindow::playDefaultSound);
    connect(m_sourceCombo, &QComboBox::currentIndexChanged, this, &SoundBankWindow::makeModeChosen);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &SoundBankWindow::browse);
    connect(m_txtFileName, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_cmdOKbrowse->setVisible(!text.isEmpty()); });
    connect(m_cmdOKbrowse, &QPushButton::clicked, this, &SoundBankWindow::setFromFile);
    connect(m_recorderPanel, &RecorderPanel::recordClicked, this, &SoundBankWindow::record);
    connect(m_recorderPanel, &RecorderPanel::stopClicked, this, &SoundBankWindow::stop);
    connect(m_recorderPanel, &RecorderPanel::previewClicked, this, &SoundBankWindow::preview);
    connect(m_recorderPanel, &RecorderPanel::resetClicked, this, &SoundBankWindow::reset);
    connect(m_recorderPanel, &RecorderPanel::keepClicked, this, &SoundBankWindow::keepRecording);
    connect(m_statusTimer, &QTimer::timeout, this, &SoundBankWindow::statusTick);
    buildTools();
}

// The row of tools below the form: the input level meter, the editing
// options for recordings and clips, Play All, and sharing whole banks.
void SoundBankWindow::buildTools()
{
    setFixedSize(Layout::window);
    m_meter = new InputLevelMeter(*m_recorder, m_prompter, this);
    m_microphone = new MicrophonePicker(m_kit.microphones, this);
    // A microphone plugged in or out while the editor is open shows at once,
    // and a chosen one that went says so instead of recording elsewhere
    // unannounced.
    if (m_kit.watchInputs)
        m_kit.watchInputs(m_microphone, [this] { m_microphone->fill(); });

    auto option = [this](const char* name, const QString& text, const QRect& geometry, const QString& tip) {
        QCheckBox* c = checkBox(this, QLatin1String(name), text, geometry);
        c->setToolTip(tip);
        connect(c, &QCheckBox::toggled, this, &SoundBankWindow::editingChanged);
        return c;
    };
    m_trimSilence = option("chkTrimSilence", QStringLiteral("Trim silence"), Layout::trimSilence,
                           QStringLiteral("Cut the silence before and after recordings and imported sounds"));
    m_normalisePeak = option("chkNormalisePeak", QStringLiteral("Normalise"), Layout::normalisePeak,
                             QStringLiteral("Make recordings and imported sounds peak at -1 dBFS"));

    QPushButton* playAll = button(this, QStringLiteral("cmdPlayAll"), QStringLiteral("Play All"), Layout::playAll);
    playAll->setToolTip(QStringLiteral("Play the scheme's sounds one after another"));
    QPushButton* exportBank =
        button(this, QStringLiteral("cmdExportBank"), QStringLiteral("Export Bank…"), Layout::exportBank);
    QPushButton* importBank =
        button(this, QStringLiteral("cmdImportBank"), QStringLiteral("Import Bank…"), Layout::importBank);
    connect(playAll, &QPushButton::clicked, this, &SoundBankWindow::playAll);
    // One bank archive at a time: both buttons wait while one is made or unpacked.
    auto* sharing = new SpeechBankSharing(m_schemes, m_prompter, this);
    connect(sharing, &SpeechBankSharing::busyChanged, this, [exportBank, importBank](bool busy) {
        exportBank->setEnabled(!busy);
        importBank->setEnabled(!busy);
    });
    connect(exportBank, &QPushButton::clicked, this, [this, sharing] { sharing->exportScheme(currentScheme()); });
    connect(importBank, &QPushButton::clicked, this, [this, sharing] {
        sharing->importBank([this] { releasePlayer(); },
                            [this](const QString& name) {
                                m_schemePanel->pickFirst();
                                m_schemePanel->fill();
                                m_schemePanel->choose(name);
                            });
    });
}

void SoundBankWindow::loadEditing()
{
    m_editing = RecorderSettings::readEditing();
    const QSignalBlocker quietTrim(m_trimSilence);
    const QSignalBlocker quietNormalise(m_normalisePeak);
    m_trimSilence->setChecked(m_editing.trimSilence);
    m_normalisePeak->setChecked(m_editing.normalisePeak);
}

void SoundBankWindow::editingChanged()
{
    m_editing.trimSilence = m_trimSilence->isChecked();
    m_editing.normalisePeak = m_normalisePeak->isChecked();
    RecorderSettings::writeEditing(m_editing);
}

void SoundBankWindow::formLoad()
{
    m_speechSounds->setCurrentRow(0);
    m_recorder->openCaptureDevice();
    showOwnPicture(m_imgArmy, context().paths(), QStringLiteral("army.bmp"));
    m_recorder->settings().read();
    loadEditing();
    m_microphone->fill();
    m_recorder->applyRecordingFormat();
    m_sourceCombo->setCurrentIndex(0);
    m_schemePanel->pickFirst();
    m_schemePanel->fill();
    m_statusTimer->start();
}

bool SoundBankWindow::formUnload()
{
    m_statusTimer->stop();
    m_meter->stop();
    releasePlayer();
    m_recorder->closeCaptureDevice();
    m_recorder->settings().write();
    context().returnToMainMenu(WindowNames::Sounds);
    return true;
}

QString SoundBankWindow::currentScheme() const
{
    return m_schemePanel->current();
}

// ---- Schemes and sound bytes -------------------------------------------------

void SoundBankWindow::playSoundByte()
{
    const QString file = m_schemePanel->soundByte();
    if (file.isEmpty() || m_schemePanel->shown().isEmpty())
        return;
    play(PathCase::join(m_schemes.schemeFolder(m_schemePanel->shown()), file),
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
    if (!m_player->play(file))
        m_prompter.tell(WaveRecorder::noOutputMessage());
}

void SoundBankWindow::releasePlayer()
{
    m_playAll.clear();
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
    m_schemePanel->refreshSoundBytes();
    m_txtFileName->clear();
    m_cmdOKbrowse->setVisible(false);
}

// ---- Play All ------------------------------------------------------------------

void SoundBankWindow::playAll()
{
    endPlayAll();
    const QString scheme = currentScheme();
    m_playAll.start(PlayAllQueue::order(m_schemes.schemeFolder(scheme), m_schemes.soundBytes(scheme)));
    if (!m_playAll.active()) {
        m_prompter.tell(QStringLiteral("The scheme ") + scheme + QStringLiteral(" has no speech sounds to play yet."));
        return;
    }
    if (!m_player)
        m_player = m_kit.makePlayer();
    m_player->onFinished([this] { playNextOfAll(); });
    m_recorderPanel->setPlayingAll(true);
    playNextOfAll();
}

void SoundBankWindow::playNextOfAll()
{
    if (!m_playAll.active())
        return;
    const QString next = m_playAll.next();
    if (next.isEmpty()) {
        m_recorderPanel->setPlayingAll(false);
        return;
    }
    if (!m_player->play(next)) {
        m_playAll.clear();
        m_recorderPanel->setPlayingAll(false);
        m_prompter.tell(WaveRecorder::noOutputMessage());
    }
}

void SoundBankWindow::endPlayAll()
{
    if (!m_playAll.active())
        return;
    m_playAll.clear();
    if (m_player)
        m_player->release();
}

// ---- The recorder ------------------------------------------------------------

void SoundBankWindow::record()
{
    endPlayAll();
    m_selectedSound = m_speechSounds->currentItem() ? m_speechSounds->currentItem()->text() : QString();
    m_recorder->openCaptureDevice();
    m_recorder->applyRecordingFormat();
    // The choice as it stands now: the server's default may have moved and an
    // input may have gone since the list was made.
    m_microphone->fill();
    if (!m_recorder->startRecording()) {
        // Nothing is being recorded: the recorder stays ready to try again.
        const bool offered = m_recorderPanel->state() == RecorderPanel::State::Stopped ||
                             m_recorderPanel->state() == RecorderPanel::State::Held;
        m_recorderPanel->setState(offered ? RecorderPanel::State::Stopped : RecorderPanel::State::Ready);
        return;
    }
    // A new recording replaces the one that OK would have stored.
    m_recorderPanel->setState(RecorderPanel::State::Recording);
    m_meter->start();
}

void SoundBankWindow::stop()
{
    if (m_playAll.active()) {
        // Stop ends Play All; the recorder is idle meanwhile.
        endPlayAll();
        m_recorderPanel->setPlayingAll(false);
        return;
    }
    const bool previewing = m_recorderPanel->previewing();
    m_recorder->stopRecording();
    m_meter->stop();
    // Record is ready again at once: a new take replaces this one.
    m_recorderPanel->setState(RecorderPanel::State::Held);
    // A stopped preview keeps the slider's range; a stopped take sets it.
    const qint32 position = m_recorder->getCapturePosition();
    if (position == 0)
        m_startSlider->setMaximum(kSliderDesignMax);
    else if (!previewing)
        m_startSlider->setMaximum(m_recorder->getCapturePosition());
}

void SoundBankWindow::preview()
{
    endPlayAll();
    m_recorder->playFromPosition(m_startSlider->value());
    m_recorderPanel->setState(m_recorderPanel->state() == RecorderPanel::State::Held
                                  ? RecorderPanel::State::PreviewingHeld
                                  : RecorderPanel::State::Previewing);
}

void SoundBankWindow::reset()
{
    m_startSlider->setMaximum(kSliderDesignMax);
    m_startSlider->setValue(0);
    m_startSlider->update();
    m_meter->stop();
    m_recorderPanel->setState(RecorderPanel::State::Ready);
    m_recorder->openCaptureDevice();
    m_recorder->settings().read();
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
    m_schemePanel->refreshSoundBytes();
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
        // A preview that came to its end leaves the recorder as before it.
        using State = RecorderPanel::State;
        const State state = m_recorderPanel->state();
        if (state == State::Ready || state == State::Previewing)
            m_recorderPanel->setState(State::Stopped);
        else if (state == State::PreviewingHeld)
            m_recorderPanel->setState(State::Held);
        m_recorderPanel->setPlayingAll(m_playAll.active());
        // A recording that stopped by itself (at its limit, or as its input
        // went away) is held as if Stop had been pressed, and the user is
        // told why.
        if (state == State::Recording) {
            const QString notice = m_recorder->takeEndNotice();
            stop();
            if (!notice.isEmpty())
                m_prompter.tell(notice);
        }
    }
    m_inTick = false;
}
