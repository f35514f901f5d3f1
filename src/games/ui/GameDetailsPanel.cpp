#include "games/ui/GameDetailsPanel.h"

#include "common/core/Intervals.h"
#include "common/core/Prompter.h"
#include "games/core/GameLogWatch.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {

const QString kReadLogTitle = QStringLiteral("Read log");

QLabel* plainLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    // Names in a log are the players' own: never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QString outcomeLine(const GameLog& log)
{
    switch (log.outcome) {
    case GameLog::Outcome::MatchWon:
        return QStringLiteral("Winner: %1 (won the match)").arg(log.winner);
    case GameLog::Outcome::RoundWon:
        return QStringLiteral("Winner: %1 (won the round)").arg(log.winner);
    case GameLog::Outcome::Drawn:
        return QStringLiteral("Outcome: the round was drawn");
    case GameLog::Outcome::Unknown:
        break;
    }
    return QStringLiteral("Outcome: not in the log");
}

QString summaryOf(const GameLog& log)
{
    QStringList lines;
    if (!log.startedAt.isEmpty())
        lines << QStringLiteral("Started at: ") + log.startedAt;
    if (!log.engineVersion.isEmpty())
        lines << QStringLiteral("Game version: ") + log.engineVersion;
    if (!log.fileFormatVersion.isEmpty())
        lines << QStringLiteral("File format version: ") + log.fileFormatVersion;
    if (!log.exportedWithVersion.isEmpty() && log.exportedWithVersion != log.engineVersion)
        lines << QStringLiteral("Exported with version: ") + log.exportedWithVersion;
    lines << outcomeLine(log);
    if (log.round > 0)
        lines << QStringLiteral("Round: %1").arg(log.round);
    if (!log.roundTime.isEmpty())
        lines << QStringLiteral("Round time: ") + log.roundTime;
    if (!log.totalTime.isEmpty())
        lines << QStringLiteral("Total game time: ") + log.totalTime;
    return lines.join(QLatin1Char('\n'));
}

void addTeamRow(QTableWidget* table, const QString& colour, const GameLogTeam& team)
{
    const int row = table->rowCount();
    table->insertRow(row);
    const QStringList cells{colour, team.player, team.team, team.marks.join(QStringLiteral(", "))};
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table->setItem(row, column, item);
    }
    if (const QColor swatch(team.colour); swatch.isValid())
        table->item(row, 0)->setData(Qt::DecorationRole, swatch);
}

} // namespace

GameDetailsPanel::GameDetailsPanel(Prompter& prompter, const Intervals& intervals, QWidget* parent)
    : QFrame(parent)
    , m_prompter(prompter)
    , m_loader(new GameLogLoader(this))
    , m_waiter(new GameLogWaiter(intervals.logWait, intervals.logPoll, this))
{
    setObjectName(QStringLiteral("fraDetails"));
    setFrameShape(QFrame::Box);
    setAccessibleName(QStringLiteral("Game details"));

    m_title = new QLabel(QStringLiteral("Game details"), this);
    m_title->setObjectName(QStringLiteral("lblDetailsTitle"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_status = plainLabel(this, "lblLogStatus");
    m_status->setWordWrap(false);
    m_readLog = new QPushButton(QStringLiteral("Read log"), this);
    m_readLog->setObjectName(QStringLiteral("cmdReadLog"));
    m_readLog->setToolTip(QStringLiteral("Ask the game to write this game's log beside it"));
    connect(m_readLog, &QPushButton::clicked, this, &GameDetailsPanel::readLogRequested);
    m_makeClip = new QPushButton(QStringLiteral("Make Clip\u2026"), this);
    m_makeClip->setObjectName(QStringLiteral("cmdDetailsMakeClip"));
    connect(m_makeClip, &QPushButton::clicked, this, &GameDetailsPanel::makeClipRequested);
    m_summary = plainLabel(this, "lblLogSummary");
    m_awards = plainLabel(this, "lblLogAwards");
    m_teams = new QTableWidget(0, 4, this);
    m_teams->setObjectName(QStringLiteral("tblTeams"));
    m_teams->setAccessibleName(QStringLiteral("Teams"));
    m_teams->setHorizontalHeaderLabels(
        {QStringLiteral("Colour"), QStringLiteral("Player"), QStringLiteral("Team"), QStringLiteral("Marks")});
    m_teams->verticalHeader()->hide();
    m_teams->horizontalHeader()->setStretchLastSection(true);
    m_teams->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_teams->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_teams->setWordWrap(false);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtLogText"));
    m_text->setAccessibleName(QStringLiteral("Log text"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);

    connect(m_loader, &GameLogLoader::loaded, this, &GameDetailsPanel::showLog);
    connect(m_loader, &GameLogLoader::missing, this, &GameDetailsPanel::showMissing);
    connect(m_loader, &GameLogLoader::failed, this, [this](const QString&, const QString& error) {
        showStatus(QStringLiteral("The log of this game cannot be read: ") + error, false);
    });
    connect(m_waiter, &GameLogWaiter::arrived, this,
            [this](const QString& folder, const QString& file) { logArrived(folder, file); });
    connect(m_waiter, &GameLogWaiter::timedOut, this, &GameDetailsPanel::logTimedOut);
    reload();
}

void GameDetailsPanel::showGame(const QString& folderPath, const QString& file)
{
    if (folderPath == m_folderPath && file == m_file)
        return;
    m_folderPath = file.isEmpty() ? QString() : folderPath;
    m_file = file;
    reload();
}

void GameDetailsPanel::waitForLog(const QString& folderPath, const QString& file)
{
    m_waiter->wait(folderPath, file);
    if (folderPath == m_folderPath && file == m_file)
        reload();
}

void GameDetailsPanel::reload()
{
    m_loader->cancel();
    m_makeClip->setEnabled(!m_file.isEmpty());
    if (m_file.isEmpty()) {
        showStatus(QStringLiteral("Select a game to see what happened in it."), false);
        return;
    }
    showStatus(QStringLiteral("Reading the log of this game..."), false);
    m_loader->load(m_folderPath, m_file);
}

void GameDetailsPanel::showMissing()
{
    if (m_waiter->waitingFor(m_folderPath, m_file))
        showStatus(QStringLiteral("Waiting for the game to write the log of this game..."), false);
    else
        showStatus(QStringLiteral("No log lies beside this game. Read log asks the game to write one."), true);
}

void GameDetailsPanel::showStatus(const QString& text, bool offerReadLog)
{
    m_status->setText(text);
    // A hidden button would hand the keyboard focus on to the next control
    // of the window; it stays in the panel instead.
    if (!offerReadLog && m_readLog->hasFocus())
        setFocus(Qt::OtherFocusReason);
    m_readLog->setVisible(offerReadLog);
    m_summary->clear();
    m_awards->clear();
    m_teams->setRowCount(0);
    m_summary->hide();
    m_awards->hide();
    m_teams->hide();
    m_text->hide();
    m_text->clear();
}

void GameDetailsPanel::showLog(const QString& logPath, const GameLog& log)
{
    const QString name = QFileInfo(logPath).fileName();
    if (!log.hasFacts()) {
        showStatus(QStringLiteral("Nothing could be read from the log %1; this is its text:").arg(name), false);
        m_text->setPlainText(log.text);
        m_text->show();
        return;
    }
    showStatus(QStringLiteral("From the log ") + name, false);
    m_summary->setText(summaryOf(log));
    for (const GameLogTeam& team : log.teams)
        addTeamRow(m_teams, team.colour, team);
    for (const GameLogTeam& spectator : log.spectators)
        addTeamRow(m_teams, QStringLiteral("Spectator"), spectator);
    m_teams->resizeColumnsToContents();
    QStringList awards;
    for (const GameLogAward& award : log.awards)
        awards << award.title + QStringLiteral(": ") + award.value;
    m_awards->setText(awards.isEmpty() ? QStringLiteral("No awards in the log.")
                                       : QStringLiteral("Awards\n") + awards.join(QLatin1Char('\n')));
    m_summary->show();
    m_teams->show();
    m_awards->show();
}

void GameDetailsPanel::logArrived(const QString& folderPath, const QString& file)
{
    if (folderPath == m_folderPath && file == m_file)
        reload();
}

void GameDetailsPanel::logTimedOut(const QString& folderPath, const QString& file)
{
    if (folderPath == m_folderPath && file == m_file)
        reload();
    m_prompter.message(QStringLiteral("The game did not write the log of %1 within %2 seconds, so Quillane stopped "
                                      "waiting for it. c('.'C)")
                           .arg(file)
                           .arg(qRound(m_waiter->timeoutMs() / 1000.0)),
                       kReadLogTitle, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
}

void GameDetailsPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    layOut();
}

void GameDetailsPanel::layOut()
{
    const int w = width();
    const int h = height();
    const int top = 30;
    m_title->setGeometry(6, 6, 110, 18);
    m_readLog->setGeometry(w - 106, 4, 100, 22);
    m_makeClip->setGeometry(w - 212, 4, 100, 22);
    m_status->setGeometry(120, 6, w - 120 - 218, 18);
    const int summaryWidth = 240;
    const int awardsWidth = 200;
    m_summary->setGeometry(6, top, summaryWidth, h - top - 4);
    m_teams->setGeometry(summaryWidth + 12, top, qMax(80, w - summaryWidth - awardsWidth - 24), h - top - 6);
    m_awards->setGeometry(w - awardsWidth - 6, top, awardsWidth, h - top - 4);
    m_text->setGeometry(6, top, w - 12, h - top - 6);
}
