// The sound bank editor's tools beyond the scheme list and the recorder: Play
// All, the input level meter, the editing options for recordings and clips,
// and sharing whole banks as zip archives.
#include "sounds/ui/SoundBankWindow.h"

#include "common/core/Prompter.h"
#include "sounds/core/RecorderSettings.h"
#include "sounds/core/SoundPlayer.h"
#include "sounds/core/SpeechBank.h"
#include "sounds/core/SpeechSounds.h"
#include "sounds/core/WaveRecorder.h"
#include "sounds/ui/SoundBankLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cmath>

namespace {

namespace Layout = SoundBankLayout;

constexpr int kMeterFloorDbfs = -60;
constexpr int kMeterMs = 50;
constexpr qint64 kNoSignalMs = 2000;

const QString kExportTitle = QStringLiteral("Export Bank");
const QString kImportTitle = QStringLiteral("Import Bank");
const QString kZipFilter = QStringLiteral("Zip archive|*.zip");

QPushButton* toolButton(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    return b;
}

QCheckBox* option(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setGeometry(geometry);
    return c;
}

} // namespace

void SoundBankWindow::buildBankTools()
{
    setFixedSize(Layout::window);

    m_inputLevel = new QProgressBar(this);
    m_inputLevel->setObjectName(QStringLiteral("prgInputLevel"));
    m_inputLevel->setAccessibleName(QStringLiteral("Input level"));
    m_inputLevel->setGeometry(Layout::inputLevel);
    m_inputLevel->setRange(kMeterFloorDbfs, 0);
    m_inputLevel->setValue(kMeterFloorDbfs);
    m_inputLevel->setFormat(QString());
    m_inputLevel->setToolTip(QStringLiteral("The loudest sound of the last moment while recording, in dBFS"));
    m_recordLength = new QLabel(this);
    m_recordLength->setObjectName(QStringLiteral("lblRecordLength"));
    m_recordLength->setGeometry(Layout::recordLength);
    m_meterTimer = new QTimer(this);
    m_meterTimer->setInterval(kMeterMs);

    m_trimSilence = option(this, QStringLiteral("chkTrimSilence"), QStringLiteral("Trim silence"), Layout::trimSilence);
    m_trimSilence->setToolTip(QStringLiteral("Cut the silence before and after recordings and imported sounds"));
    m_normalisePeak =
        option(this, QStringLiteral("chkNormalisePeak"), QStringLiteral("Normalise"), Layout::normalisePeak);
    m_normalisePeak->setToolTip(QStringLiteral("Make recordings and imported sounds peak at -1 dBFS"));

    m_cmdPlayAll = toolButton(this, QStringLiteral("cmdPlayAll"), QStringLiteral("Play All"), Layout::playAll);
    m_cmdPlayAll->setToolTip(QStringLiteral("Play the scheme's sounds one after another"));
    m_cmdExportBank =
        toolButton(this, QStringLiteral("cmdExportBank"), QStringLiteral("Export Bank…"), Layout::exportBank);
    m_cmdImportBank =
        toolButton(this, QStringLiteral("cmdImportBank"), QStringLiteral("Import Bank…"), Layout::importBank);

    connect(m_meterTimer, &QTimer::timeout, this, &SoundBankWindow::updateMeter);
    connect(m_trimSilence, &QCheckBox::toggled, this, &SoundBankWindow::editingChanged);
    connect(m_normalisePeak, &QCheckBox::toggled, this, &SoundBankWindow::editingChanged);
    connect(m_cmdPlayAll, &QPushButton::clicked, this, &SoundBankWindow::playAll);
    connect(m_cmdExportBank, &QPushButton::clicked, this, &SoundBankWindow::exportBank);
    connect(m_cmdImportBank, &QPushButton::clicked, this, &SoundBankWindow::importBank);
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

// ---- Play All ------------------------------------------------------------------

void SoundBankWindow::playAll()
{
    endPlayAll();
    const QString scheme = currentScheme();
    const QStringList files = m_schemes.soundBytes(scheme);
    for (const QString& sound : SpeechSounds::names())
        for (const QString& file : files)
            if (SpeechSounds::soundOfFile(file) == sound) {
                m_playAllQueue.append(QDir(m_schemes.schemeFolder(scheme)).filePath(file));
                break;
            }
    if (m_playAllQueue.isEmpty()) {
        m_prompter.tell(QStringLiteral("The scheme ") + scheme + QStringLiteral(" has no speech sounds to play yet."));
        return;
    }
    if (!m_player)
        m_player = m_kit.makePlayer();
    m_player->onFinished([this] { playNextOfAll(); });
    m_playingAll = true;
    m_cmdStop->setEnabled(true);
    playNextOfAll();
}

void SoundBankWindow::playNextOfAll()
{
    if (!m_playingAll)
        return;
    if (m_playAllQueue.isEmpty()) {
        m_playingAll = false;
        m_cmdStop->setEnabled(false);
        return;
    }
    m_player->play(m_playAllQueue.takeFirst());
}

void SoundBankWindow::endPlayAll()
{
    if (!m_playingAll)
        return;
    m_playingAll = false;
    m_playAllQueue.clear();
    if (m_player)
        m_player->release();
}

// ---- The input level meter --------------------------------------------------

void SoundBankWindow::startMeter()
{
    m_meterTimer->start();
    updateMeter();
}

void SoundBankWindow::stopMeter()
{
    m_meterTimer->stop();
    m_inputLevel->setValue(kMeterFloorDbfs);
    m_inputLevel->setFormat(QString());
    m_recordLength->clear();
}

void SoundBankWindow::updateMeter()
{
    // The meter waits while a box is open, as the status tick does.
    if (m_prompter.openBoxes() > 0)
        return;
    const WaveRecorder::Level level = m_recorder->inputLevel();
    if (level.silentMs >= kNoSignalMs) {
        m_inputLevel->setValue(kMeterFloorDbfs);
        m_inputLevel->setFormat(QStringLiteral("no signal"));
    } else {
        const int dbfs = std::isfinite(level.dbfs) ? int(std::lround(level.dbfs)) : kMeterFloorDbfs;
        m_inputLevel->setValue(qBound(kMeterFloorDbfs, dbfs, 0));
        m_inputLevel->setFormat(QStringLiteral("%1 dBFS").arg(qBound(kMeterFloorDbfs, dbfs, 0)));
    }
    m_recordLength->setText(QString::number(m_recorder->recordedMs() / 1000.0, 'f', 1) + QStringLiteral(" s recorded"));
}

// ---- Sharing banks -------------------------------------------------------------

void SoundBankWindow::exportBank()
{
    const QString scheme = currentScheme();
    if (scheme.isEmpty()) {
        m_prompter.tell(QStringLiteral("There is no scheme to export: make one with New Scheme."));
        return;
    }
    const QString archive =
        m_prompter.saveFile(kExportTitle, qtFileFilter(kZipFilter), scheme + QStringLiteral(".zip"));
    if (archive.isEmpty())
        return;
    if (QFileInfo::exists(archive) &&
        m_prompter.message(QDir::toNativeSeparators(archive) +
                               QStringLiteral(" already exists. Do you want to replace it?"),
                           kExportTitle, Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    SpeechBank::Contents contents;
    QString error;
    if (!SpeechBank(m_schemes).exportScheme(scheme, archive, &contents, &error)) {
        m_prompter.message(error + QStringLiteral(" =("), kExportTitle, Prompter::Buttons::Ok,
                           Prompter::Icon::Exclamation);
        return;
    }
    QString text = QStringLiteral("The scheme %1 was exported to %2 with %3 sounds. <(^.^)>")
                       .arg(scheme, QDir::toNativeSeparators(archive))
                       .arg(contents.sounds.size());
    if (!contents.others.isEmpty())
        text +=
            QStringLiteral("\nLeft out, as they are not speech sounds: ") + contents.others.join(QStringLiteral(", "));
    m_prompter.message(text, kExportTitle, Prompter::Buttons::Ok, Prompter::Icon::Information);
}

void SoundBankWindow::importBank()
{
    const QString archive = m_prompter.openFile(kImportTitle, qtFileFilter(kZipFilter), QString());
    if (archive.isEmpty())
        return;
    const SpeechBank bank(m_schemes);
    SpeechBank::Contents contents;
    QString error;
    if (!bank.inspect(archive, &contents, &error)) {
        m_prompter.message(error + QStringLiteral(" =("), kImportTitle, Prompter::Buttons::Ok,
                           Prompter::Icon::Exclamation);
        return;
    }
    QString name = contents.suggestedName;
    for (;;) {
        name = m_prompter.input(QStringLiteral("What will be the name of the imported scheme?"), kImportTitle, name);
        if (name.isEmpty())
            return;
        const SchemeStore::Created checked = m_schemes.checkNewName(name, &error);
        if (checked == SchemeStore::Created::Ok)
            break;
        m_prompter.message(error, kImportTitle, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
        if (checked != SchemeStore::Created::BadName && checked != SchemeStore::Created::Exists)
            return;
    }
    releasePlayer();
    if (!bank.importAs(archive, name, &contents, &error)) {
        m_prompter.message(error + QStringLiteral(" =("), kImportTitle, Prompter::Buttons::Ok,
                           Prompter::Icon::Exclamation);
        return;
    }
    fillSchemeList();
    m_cboScheme->setCurrentIndex(m_cboScheme->findText(name, Qt::MatchExactly));
    QString text =
        QStringLiteral("The scheme %1 was made with %2 sounds. <(^.^)>").arg(name).arg(contents.sounds.size());
    if (!contents.others.isEmpty())
        text +=
            QStringLiteral("\nNot taken, as they are not speech sounds: ") + contents.others.join(QStringLiteral(", "));
    m_prompter.message(text, kImportTitle, Prompter::Buttons::Ok, Prompter::Icon::Information);
}
