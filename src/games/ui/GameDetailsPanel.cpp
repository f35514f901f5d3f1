// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameDetailsPanel.h"

#include "clips/core/ClipRequest.h"
#include "common/core/Intervals.h"
#include "common/core/Prompter.h"
#include "games/core/GameLogWatch.h"
#include "games/ui/GameReplayPanel.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

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

// `text` with the file name `name` in place of %1, the name shortened in its
// middle as far as needed for the whole line to fit the label.
QString withFittedName(const QLabel* label, const QString& text, const QString& name)
{
    const QFontMetrics metrics = label->fontMetrics();
    const int room = label->contentsRect().width() - metrics.horizontalAdvance(text.arg(QString()));
    return text.arg(metrics.elidedText(name, Qt::ElideMiddle, qMax(room, 6 * metrics.averageCharWidth())));
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

// The weapons a team used most, the most used first: "Shotgun 5, Bazooka 3".
QString mostUsed(const QMap<QString, int>& weapons)
{
    QList<QPair<int, QString>> byUse;
    for (auto it = weapons.cbegin(); it != weapons.cend(); ++it)
        byUse.append({-it.value(), it.key()});
    std::sort(byUse.begin(), byUse.end());
    QStringList words;
    for (int i = 0; i < byUse.size() && i < 3; ++i)
        words << QStringLiteral("%1 %2").arg(byUse[i].second).arg(-byUse[i].first);
    return words.join(QStringLiteral(", "));
}

QString stamp(qint64 hundredths)
{
    return hundredths < 0 ? QString() : ClipRequest::gameTime(hundredths);
}

void addRow(QTableWidget* table, const QStringList& cells)
{
    const int row = table->rowCount();
    table->insertRow(row);
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table->setItem(row, column, item);
    }
}

void addTeamRow(QTableWidget* table, const QString& colour, const GameLogTeam& team, bool played)
{
    const int row = table->rowCount();
    QStringList cells{colour, team.player, team.team, team.marks.join(QStringLiteral(", "))};
    if (played)
        cells << QString::number(team.turns) << team.turnTime << QString::number(team.damageDealt)
              << QString::number(team.kills) << mostUsed(team.weapons);
    addRow(table, cells);
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
    m_replay = new GameReplayPanel(prompter, this);
    m_teams = new QTableWidget(0, 9, this);
    m_teams->setObjectName(QStringLiteral("tblTeams"));
    m_teams->setAccessibleName(QStringLiteral("Teams"));
    m_teams->setHorizontalHeaderLabels({QStringLiteral("Colour"), QStringLiteral("Player"), QStringLiteral("Team"),
                                        QStringLiteral("Marks"), QStringLiteral("Turns"), QStringLiteral("Time used"),
                                        QStringLiteral("Damage dealt"), QStringLiteral("Kills"),
                                        QStringLiteral("Most used weapons")});
    m_teams->verticalHeader()->hide();
    m_teams->horizontalHeader()->setStretchLastSection(true);
    m_teams->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_teams->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_teams->setWordWrap(false);
    m_turns = new QTableWidget(0, 5, this);
    m_turns->setObjectName(QStringLiteral("tblTurns"));
    m_turns->setAccessibleName(QStringLiteral("Turns"));
    m_turns->setHorizontalHeaderLabels({QStringLiteral("Started"), QStringLiteral("Team"), QStringLiteral("Damage"),
                                        QStringLiteral("Kills"), QStringLiteral("Weapons")});
    m_turns->verticalHeader()->hide();
    m_turns->horizontalHeader()->setStretchLastSection(true);
    m_turns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_turns->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_turns->setSelectionMode(QAbstractItemView::SingleSelection);
    m_turns->setWordWrap(false);
    for (QTableWidget* table : {m_teams, m_turns})
        table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    connect(m_turns, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0 && row < m_turnList.size())
            Q_EMIT turnSelected(m_turnList.at(row));
    });
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
    m_replay->showReplay(file.isEmpty() ? QString() : QDir(folderPath).filePath(file));
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
    m_status->setToolTip(QString());
    // A hidden button would hand the keyboard focus on to the next control
    // of the window; it stays in the panel instead.
    if (!offerReadLog && m_readLog->hasFocus())
        setFocus(Qt::OtherFocusReason);
    m_readLog->setVisible(offerReadLog);
    m_summary->clear();
    m_awards->clear();
    m_teams->setRowCount(0);
    m_turns->setRowCount(0);
    m_turnList.clear();
    m_summary->hide();
    m_awards->hide();
    m_teams->hide();
    m_turns->hide();
    m_text->hide();
    m_text->clear();
}

void GameDetailsPanel::showLog(const QString& logPath, const GameLog& log)
{
    const QString name = QFileInfo(logPath).fileName();
    if (!log.hasFacts()) {
        m_statusPattern = QStringLiteral("Nothing could be read from the log %1; this is its text:");
        showStatus(withFittedName(m_status, m_statusPattern, name), false);
        m_status->setToolTip(name);
        m_text->setPlainText(log.text);
        m_text->show();
        return;
    }
    m_statusPattern = QStringLiteral("From the log %1");
    showStatus(withFittedName(m_status, m_statusPattern, name), false);
    m_status->setToolTip(name);
    m_summary->setText(summaryOf(log));
    for (const GameLogTeam& team : log.teams)
        addTeamRow(m_teams, team.colour, team, true);
    for (const GameLogTeam& spectator : log.spectators)
        addTeamRow(m_teams, QStringLiteral("Spectator"), spectator, false);
    m_teams->resizeColumnsToContents();
    m_turnList = log.turns;
    {
        const QSignalBlocker blocker(m_turns);
        for (const GameLogTurn& turn : log.turns) {
            const QString team =
                turn.team >= 0 && turn.team < log.teams.size() ? log.teams.at(turn.team).team : QString();
            addRow(m_turns, {stamp(turn.start), team, QString::number(turn.damageDealt), QString::number(turn.kills),
                             turn.weapons.join(QStringLiteral(", "))});
        }
    }
    m_turns->resizeColumnsToContents();
    QStringList awards;
    for (const GameLogAward& award : log.awards)
        awards << award.title + QStringLiteral(": ") + award.value;
    m_awards->setText(awards.isEmpty() ? QStringLiteral("No awards in the log.")
                                       : QStringLiteral("Awards\n") + awards.join(QLatin1Char('\n')));
    m_summary->show();
    m_teams->show();
    m_turns->setVisible(!m_turnList.isEmpty());
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
    if (!m_status->toolTip().isEmpty())
        m_status->setText(withFittedName(m_status, m_statusPattern, m_status->toolTip()));
    const int replayWidth = 250;
    const int summaryWidth = 170;
    const int awardsWidth = 150;
    m_replay->setGeometry(6, top, replayWidth, h - top - 4);
    const int left = replayWidth + 12;
    m_summary->setGeometry(left, top, summaryWidth, h - top - 4);
    const int tableLeft = left + summaryWidth + 6;
    const int tableWidth = qMax(80, w - tableLeft - awardsWidth - 12);
    const int tableHeight = (h - top - 10) / 2;
    m_teams->setGeometry(tableLeft, top, tableWidth, tableHeight);
    m_turns->setGeometry(tableLeft, top + tableHeight + 4, tableWidth, h - top - 6 - tableHeight - 4);
    m_awards->setGeometry(w - awardsWidth - 6, top, awardsWidth, h - top - 4);
    m_text->setGeometry(left, top, w - left - 6, h - top - 6);
}

const GameLogTurn* GameDetailsPanel::selectedTurn() const
{
    const int row = m_turns->currentRow();
    return row >= 0 && row < m_turnList.size() ? &m_turnList.at(row) : nullptr;
}
