// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/ClipDialog.h"

#include "clips/core/ClipMaker.h"
#include "common/core/Desktop.h"
#include "common/core/Prompter.h"
#include "common/ui/AppContext.h"
#include "games/core/GameLog.h"
#include "games/core/GameLogWatch.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>

namespace {

const QString kTitle = QStringLiteral("Make Clip");

struct Format {
    const char* caption;
    const char* extension;
    const char* filter;
};
constexpr Format kFormats[] = {
    {"MP4", "mp4", "MP4 video (*.mp4)"},
    {"WebM", "webm", "WebM video (*.webm)"},
    {"GIF", "gif", "Animated GIF (*.gif)"},
};

// A time as the fields take it: m:ss or h:mm:ss, with hundredths when there are some.
QString shownTime(qint64 hundredths)
{
    const qint64 seconds = hundredths / 100;
    const int cc = int(hundredths % 100);
    QString text = seconds >= 3600
                       ? QStringLiteral("%1:%2:%3")
                             .arg(seconds / 3600)
                             .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                       : QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (cc != 0)
        text += QStringLiteral(".%1").arg(cc, 2, 10, QLatin1Char('0'));
    return text;
}

QString badTime(const QString& which, const QString& typed)
{
    return QStringLiteral("The %1 \"%2\" is not a time: type it as m:ss or h:mm:ss, with hundredths if wanted "
                          "(1:05.50).")
        .arg(which, typed);
}

QSpinBox* spinBox(QWidget* parent, const char* name, int minimum, int maximum, int value)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    return spin;
}

} // namespace

ClipDialog::ClipDialog(Prompter& prompter, Desktop& desktop, Launcher& launcher, const GameInstall& install,
                       const QString& replayPath, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_desktop(desktop)
    , m_install(install)
    , m_replayPath(replayPath)
    , m_maker(new ClipMaker(launcher, this))
    , m_loader(new GameLogLoader(this))
{
    setObjectName(QStringLiteral("frmMakeClip"));
    setWindowTitle(kTitle + QStringLiteral(" - ") + QFileInfo(replayPath).completeBaseName());
    setAttribute(Qt::WA_DeleteOnClose);

    m_start = new QLineEdit(this);
    m_start->setObjectName(QStringLiteral("txtClipStart"));
    m_end = new QLineEdit(this);
    m_end->setObjectName(QStringLiteral("txtClipEnd"));
    for (QLineEdit* edit : {m_start, m_end})
        edit->setPlaceholderText(QStringLiteral("m:ss or h:mm:ss.cc"));
    m_bestTurn = new QPushButton(QStringLiteral("Best turn"), this);
    m_bestTurn->setObjectName(QStringLiteral("cmdBestTurn"));
    noTurns(QStringLiteral("Reading the log of this game..."));
    m_width = spinBox(this, "spnClipWidth", ClipRequest::minSide, ClipRequest::maxWidth, 640);
    m_height = spinBox(this, "spnClipHeight", ClipRequest::minSide, ClipRequest::maxHeight, 480);
    m_width->setAccessibleName(QStringLiteral("Width"));
    m_height->setAccessibleName(QStringLiteral("Height"));
    m_fps = spinBox(this, "spnClipFps", ClipRequest::minFps, ClipRequest::maxFps, 25);
    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("cboClipFormat"));
    for (const Format& format : kFormats)
        m_format->addItem(QLatin1String(format.caption));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgClip"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblClipStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    // Room for a saved clip's path on two lines without the dialog resizing.
    m_status->setMinimumHeight(2 * m_status->fontMetrics().lineSpacing());
    m_make = new QPushButton(QStringLiteral("Make Clip\u2026"), this);
    m_make->setObjectName(QStringLiteral("cmdMakeClip"));
    m_make->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Close"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_showInFolder = new QPushButton(QStringLiteral("Show in folder"), this);
    m_showInFolder->setObjectName(QStringLiteral("cmdShowInFolder"));
    m_showInFolder->hide();

    auto* range = new QHBoxLayout;
    range->addWidget(m_start);
    range->addWidget(new QLabel(QStringLiteral("to"), this));
    range->addWidget(m_end);
    range->addWidget(m_bestTurn);
    auto* size = new QHBoxLayout;
    size->addWidget(m_width);
    size->addWidget(new QLabel(QStringLiteral("\u00d7"), this));
    size->addWidget(m_height);
    size->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_showInFolder);
    buttons->addStretch();
    buttons->addWidget(m_make);
    buttons->addWidget(m_cancel);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("From"), range);
    form->addRow(QStringLiteral("Size"), size);
    form->addRow(QStringLiteral("Frames per second"), m_fps);
    form->addRow(QStringLiteral("Format"), m_format);
    form->addRow(m_progress);
    form->addRow(m_status);
    form->addRow(buttons);

    connect(m_bestTurn, &QPushButton::clicked, this, &ClipDialog::bestTurnClick);
    connect(m_make, &QPushButton::clicked, this, &ClipDialog::makeClick);
    connect(m_cancel, &QPushButton::clicked, this, &ClipDialog::cancelClick);
    connect(m_showInFolder, &QPushButton::clicked, this,
            [this] { m_desktop.openFolder(QFileInfo(m_madePath).absolutePath()); });
    connect(m_loader, &GameLogLoader::loaded, this, [this](const QString&, const GameLog& log) { logLoaded(log); });
    connect(m_loader, &GameLogLoader::missing, this, [this] {
        noTurns(QStringLiteral("No log lies beside this game: Read log in the game details asks the game for it."));
    });
    connect(m_loader, &GameLogLoader::failed, this, [this](const QString&, const QString& error) {
        noTurns(QStringLiteral("The log of this game cannot be read: ") + error);
    });

    m_maker->setConsent([this](const QString& folder, int files) {
        return m_prompter.message(QStringLiteral("The folder %1 holds %2 files that Quillane did not make there. "
                                                 "Delete them to make the clip?")
                                      .arg(QDir::toNativeSeparators(folder))
                                      .arg(files),
                                  kTitle, Prompter::Buttons::YesNo, Prompter::Icon::Question) == Prompter::Answer::Yes;
    });
    connect(m_maker, &ClipMaker::progress, this, [this](ClipMaker::Stage stage, int done, int total) {
        m_progress->setRange(0, qMax(1, total));
        m_progress->setValue(qMin(done, qMax(1, total)));
        m_status->setText((stage == ClipMaker::Stage::Frames ? QStringLiteral("Frames received: %1 of %2")
                                                             : QStringLiteral("Encoding: %1 of %2"))
                              .arg(done)
                              .arg(total));
    });
    connect(m_maker, &ClipMaker::finished, this, [this](const QString& path) {
        m_madePath = path;
        ended(QStringLiteral("The clip is made: ") + QDir::toNativeSeparators(path));
        m_showInFolder->show();
    });
    connect(m_maker, &ClipMaker::failed, this, [this](const QString& message) {
        ended(message);
        m_prompter.message(message, kTitle, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
    });
    connect(m_maker, &ClipMaker::cancelled, this, [this] {
        ended(QStringLiteral("Cancelled: no clip was made."));
        if (m_closeWhenDone)
            deleteLater();
    });

    const QFileInfo replay(replayPath);
    m_loader->load(replay.absolutePath(), replay.fileName());
}

ClipDialog::~ClipDialog() = default;

ClipDialog* ClipDialog::open(AppContext& context, const QString& replayPath, QWidget* parent)
{
    if (replayPath.isEmpty()) {
        context.prompter().message(QStringLiteral("Select a Game to make a clip of c('.'C)"),
                                   QStringLiteral("Hold your horses!"), Prompter::Buttons::Ok,
                                   Prompter::Icon::Information);
        return nullptr;
    }
    ClipDialog* dialog = nullptr;
    // One clip at a time: the game writes every export into the same place.
    for (ClipDialog* open : parent->findChildren<ClipDialog*>(Qt::FindDirectChildrenOnly)) {
        if (open->isMaking() || open->m_closeWhenDone)
            dialog = open;
        else
            open->close();
    }
    if (!dialog)
        dialog = new ClipDialog(context.prompter(), context.desktop(), context.launcher(), context.install(),
                                replayPath, parent);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

bool ClipDialog::isMaking() const
{
    return m_maker->isRunning();
}

void ClipDialog::useTurn(const GameLogTurn& turn)
{
    GameLog one;
    one.turns << turn;
    if (const auto range = BestTurn::find(one))
        setRange(range->from, range->to);
}

void ClipDialog::logLoaded(const GameLog& log)
{
    const auto best = BestTurn::find(log);
    if (!best) {
        noTurns(QStringLiteral("The log of this game tells of no turn."));
        return;
    }
    m_best = std::make_pair(best->from, best->to);
    m_bestTurn->setEnabled(!isMaking());
    m_bestTurn->setToolTip(QStringLiteral("The turn that dealt the most damage, from %1 to %2")
                               .arg(shownTime(best->from), shownTime(best->to)));
}

void ClipDialog::noTurns(const QString& why)
{
    m_best.reset();
    m_bestTurn->setEnabled(false);
    m_bestTurn->setToolTip(why);
}

void ClipDialog::bestTurnClick()
{
    if (m_best)
        setRange(m_best->first, m_best->second);
}

void ClipDialog::setRange(qint64 from, qint64 to)
{
    if (isMaking())
        return;
    m_start->setText(shownTime(from));
    m_end->setText(shownTime(to));
}

QString ClipDialog::readFields(ClipRequest& request) const
{
    request.replayPath = m_replayPath;
    request.from = ClipRequest::parseTime(m_start->text().trimmed());
    request.to = ClipRequest::parseTime(m_end->text().trimmed());
    if (request.from < 0)
        return badTime(QStringLiteral("start"), m_start->text());
    if (request.to < 0)
        return badTime(QStringLiteral("end"), m_end->text());
    request.width = m_width->value();
    request.height = m_height->value();
    request.fps = m_fps->value();
    request.outPath = QStringLiteral("clip.") + QLatin1String(kFormats[m_format->currentIndex()].extension);
    return request.problem();
}

void ClipDialog::makeClick()
{
    ClipRequest request;
    if (const QString problem = readFields(request); !problem.isEmpty()) {
        m_prompter.message(problem, kTitle, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
        return;
    }
    const Format& format = kFormats[m_format->currentIndex()];
    const QString extension = QLatin1String(format.extension);
    QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (videos.isEmpty())
        videos = QDir::homePath();
    QString name =
        QStringLiteral("%1 %2-%3.%4")
            .arg(QFileInfo(m_replayPath).completeBaseName(), shownTime(request.from), shownTime(request.to), extension);
    // A colon cannot be part of a file name on Windows, nor on many shared drives.
    name.replace(QLatin1Char(':'), QLatin1Char('.'));
    QString path =
        m_prompter.saveFile(QStringLiteral("Save the clip"), QLatin1String(format.filter), QDir(videos).filePath(name));
    if (path.isEmpty())
        return;
    if (!ClipRequest::formatFor(path))
        path += QLatin1Char('.') + extension;
    if (QFileInfo::exists(path) &&
        m_prompter.message(QStringLiteral("%1 exists already. Replace it?").arg(QDir::toNativeSeparators(path)), kTitle,
                           Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    request.outPath = path;
    m_madePath.clear();
    m_showInFolder->hide();
    m_progress->setRange(0, qMax(1, request.expectedFrames()));
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("Starting the game..."));
    running(true);
    m_maker->start(m_install, request);
}

void ClipDialog::cancelClick()
{
    if (isMaking()) {
        m_status->setText(QStringLiteral("Cancelling..."));
        m_cancel->setEnabled(false);
        m_maker->cancel();
    } else {
        close();
    }
}

void ClipDialog::running(bool on)
{
    for (QWidget* field : std::initializer_list<QWidget*>{m_start, m_end, m_width, m_height, m_fps, m_format, m_make})
        field->setEnabled(!on);
    m_bestTurn->setEnabled(!on && m_best.has_value());
    m_cancel->setText(on ? QStringLiteral("Cancel") : QStringLiteral("Close"));
    m_cancel->setEnabled(true);
}

void ClipDialog::ended(const QString& status)
{
    running(false);
    m_status->setText(status);
}

void ClipDialog::closeEvent(QCloseEvent* event)
{
    // Closed while making a clip: the clip is cancelled, and the dialog goes
    // once the game has ended and its frames are deleted.
    if (isMaking()) {
        m_closeWhenDone = true;
        m_maker->cancel();
        hide();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
