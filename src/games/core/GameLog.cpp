#include "games/core/GameLog.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

// Windows-1252 differs from Latin-1 in 0x80-0x9F; the five unused codes are
// kept as the control characters Latin-1 gives them.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const QStringList& teamColours()
{
    static const QStringList colours{"Red", "Blue", "Green", "Yellow", "Magenta", "Cyan"};
    return colours;
}

// `label: rest`, with the label matched by its leading words (letter case
// and blanks aside); the rest trimmed, or a null text when it does not match.
QString valueAfter(const QString& line, const QRegularExpression& label)
{
    const QRegularExpressionMatch m = label.match(line);
    return m.hasMatch() ? line.mid(m.capturedEnd()).trimmed() : QString();
}

QRegularExpression leading(const char* words)
{
    QString pattern = QStringLiteral("^\\s*");
    const QStringList parts = QString::fromLatin1(words).split(u' ');
    pattern += parts.join(QStringLiteral("\\s+"));
    pattern += QStringLiteral("\\s*:");
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption);
}

QString unquoted(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

// The marks of a team or spectator line: "[Local Player] [Host] [CPU 3]".
void readMarks(const QString& rest, GameLogTeam& team)
{
    static const QRegularExpression mark(QStringLiteral("\\[([^\\]]*)\\]"));
    static const QRegularExpression cpu(QStringLiteral("^CPU\\s*(\\d+)?$"), QRegularExpression::CaseInsensitiveOption);
    for (auto it = mark.globalMatch(rest); it.hasNext();) {
        const QString text = it.next().captured(1).trimmed();
        team.marks << text;
        if (text.compare(QLatin1String("Local Player"), Qt::CaseInsensitive) == 0)
            team.localPlayer = true;
        else if (text.compare(QLatin1String("Host"), Qt::CaseInsensitive) == 0)
            team.host = true;
        else if (const QRegularExpressionMatch m = cpu.match(text); m.hasMatch())
            team.cpuLevel = qMax(1, m.captured(1).toInt());
    }
}

// `Red: "player" as "team" [marks]`, `Green: "team" [CPU 3]`,
// `Spectator: "name" [marks]`. Returns false for any other line.
bool readTeam(const QString& line, GameLog& log)
{
    static const QRegularExpression shape(
        QStringLiteral("^\\s*([A-Za-z]+)\\s*:\\s*\"([^\"]*)\"(?:\\s*as\\s*\"([^\"]*)\")?(.*)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = shape.match(line);
    if (!m.hasMatch())
        return false;
    const QString label = m.captured(1);
    GameLogTeam team;
    readMarks(m.captured(4), team);
    if (label.compare(QLatin1String("Spectator"), Qt::CaseInsensitive) == 0) {
        team.player = m.captured(2);
        log.spectators << team;
        return true;
    }
    const auto colour = std::find_if(teamColours().begin(), teamColours().end(),
                                     [&](const QString& c) { return c.compare(label, Qt::CaseInsensitive) == 0; });
    if (colour == teamColours().end())
        return false;
    team.colour = *colour;
    if (m.capturedStart(3) >= 0) {
        team.player = m.captured(2);
        team.team = m.captured(3);
    } else {
        team.team = m.captured(2); // a CPU team names only the team
    }
    log.teams << team;
    return true;
}

bool readOutcome(const QString& line, GameLog& log)
{
    static const QRegularExpression match(QStringLiteral("^\\s*(.+?)\\s+wins\\s+the\\s+match\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression round(QStringLiteral("^\\s*(.+?)\\s+wins\\s+the\\s+round\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression drawn(QStringLiteral("^\\s*The\\s+round\\s+was\\s+drawn"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = match.match(line); m.hasMatch()) {
        log.outcome = GameLog::Outcome::MatchWon;
        log.winner = unquoted(m.captured(1));
        return true;
    }
    if (const QRegularExpressionMatch m = round.match(line); m.hasMatch()) {
        // A match won in this round says so on its own line, which wins.
        if (log.outcome != GameLog::Outcome::MatchWon) {
            log.outcome = GameLog::Outcome::RoundWon;
            log.winner = unquoted(m.captured(1));
        }
        return true;
    }
    if (drawn.match(line).hasMatch()) {
        log.outcome = GameLog::Outcome::Drawn;
        log.winner.clear();
        return true;
    }
    return false;
}

} // namespace

bool GameLog::hasFacts() const
{
    return !gameId.isEmpty() || !startedAt.isEmpty() || !engineVersion.isEmpty() || !teams.isEmpty() ||
           !spectators.isEmpty() || round > 0 || outcome != Outcome::Unknown || !awards.isEmpty();
}

namespace GameLogParser {

QString decode(const QByteArray& bytes)
{
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    text.resize(bytes.size());
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? cp1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

GameLog parse(const QByteArray& bytes)
{
    static const QRegularExpression gameId = leading("Game ID");
    static const QRegularExpression started(QStringLiteral("^\\s*Game\\s+Started\\s+at\\s+"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression engine = leading("Game Engine Version");
    static const QRegularExpression format = leading("File Format Version");
    static const QRegularExpression exported = leading("Exported with Version");
    static const QRegularExpression event(QStringLiteral("^\\s*\\[\\d+:\\d\\d:\\d\\d(?:\\.\\d+)?\\]\\s*(.*)$"));
    static const QRegularExpression endOfRound(QStringLiteral("^\\s*End\\s+of\\s+round\\s+(\\d+)"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression roundTime(QStringLiteral("^\\s*Round\\s+time\\b[^:]*:"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression totalTime(QStringLiteral("^\\s*Total\\s+game\\s+time\\b[^:]*:"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression award(QStringLiteral("^\\s*([A-Za-z][^:\\[\\]\"]{2,60}?)\\s*:\\s*(\\S.*)$"));

    GameLog log;
    log.text = decode(bytes);
    bool ended = false;
    const QStringList lines = log.text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (const QRegularExpressionMatch m = event.match(line); m.hasMatch()) {
            const QString what = m.captured(1);
            if (what.startsWith(u'\u2022'))
                ++log.events;
            else if (what.startsWith(u'['))
                ++log.messages;
            continue;
        }
        if (QString v = valueAfter(line, gameId); !v.isNull()) {
            log.gameId = unquoted(v);
        } else if (const QRegularExpressionMatch m = started.match(line); m.hasMatch()) {
            log.startedAt = line.mid(m.capturedEnd()).trimmed();
        } else if (QString e = valueAfter(line, engine); !e.isNull()) {
            log.engineVersion = e;
        } else if (QString f = valueAfter(line, format); !f.isNull()) {
            log.fileFormatVersion = f;
        } else if (QString x = valueAfter(line, exported); !x.isNull()) {
            log.exportedWithVersion = x;
        } else if (const QRegularExpressionMatch r = endOfRound.match(line); r.hasMatch()) {
            log.round = r.captured(1).toInt();
            ended = true;
        } else if (QString rt = valueAfter(line, roundTime); !rt.isNull()) {
            log.roundTime = rt;
        } else if (QString tt = valueAfter(line, totalTime); !tt.isNull()) {
            log.totalTime = tt;
        } else if (readOutcome(line, log) || readTeam(line, log)) {
            continue;
        } else if (const QRegularExpressionMatch a = award.match(line); ended && a.hasMatch()) {
            log.awards << GameLogAward{a.captured(1).trimmed(), a.captured(2).trimmed()};
        }
    }
    return log;
}

QString logPathFor(const QString& replayPath)
{
    static const QLatin1String extension(".WAgame");
    if (!replayPath.endsWith(extension, Qt::CaseInsensitive))
        return QString();
    return replayPath.chopped(extension.size()) + QStringLiteral(".log");
}

} // namespace GameLogParser
