// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GameLog.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <deque>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <vector>

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

// The lines are read by hand, each in one pass: a pattern that can try a
// line in many ways would take time growing with the square of the line's
// length (or worse) on a crafted log. "Blank" is what the log's own syntax
// calls a blank: space, tab, line feed, vertical tab, form feed, return.
bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode() | 0x20;
    return u >= 'a' && u <= 'z';
}

bool isWordChar(QChar c)
{
    return isAsciiLetter(c) || isDigit(c) || c == u'_';
}

// `c` equals the lower-case ASCII letter `w` without regard to letter case,
// as full case folding sees it: the long s is an s, the Kelvin sign a k.
bool sameLetter(QChar c, char w)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (isAsciiLetter(c) ? char16_t(u | 0x20) : u) == char16_t(w);
    return (w == 's' && u == 0x017F) || (w == 'k' && u == 0x212A);
}

bool isLetterAnyCase(QChar c)
{
    return isAsciiLetter(c) || c.unicode() == 0x017F || c.unicode() == 0x212A;
}

// A position in one line, moved forward only.
struct Scan {
    QStringView s;
    qsizetype i = 0;

    bool atEnd() const { return i >= s.size(); }
    void blanks()
    {
        while (i < s.size() && isBlank(s[i]))
            ++i;
    }
    // At least one blank.
    bool blanks1()
    {
        const qsizetype from = i;
        blanks();
        return i > from;
    }
    // The lower-case ASCII `w`, letter case aside.
    bool word(const char* w)
    {
        qsizetype j = i;
        for (; *w; ++w, ++j) {
            if (j >= s.size() || !sameLetter(s[j], *w))
                return false;
        }
        i = j;
        return true;
    }
    // Blank-separated words, such as "game started at" (lower-case ASCII).
    // On failure the position is left anywhere.
    bool words(const char* text)
    {
        for (const char* w = text; *w; ++w) {
            if (*w == ' ') {
                if (!blanks1())
                    return false;
            } else if (i < s.size() && sameLetter(s[i], *w)) {
                ++i;
            } else {
                return false;
            }
        }
        return true;
    }
    bool take(char16_t c)
    {
        if (i < s.size() && s[i].unicode() == c) {
            ++i;
            return true;
        }
        return false;
    }
    qsizetype digits()
    {
        const qsizetype from = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        return i - from;
    }
    bool wordEnds() const { return atEnd() || !isWordChar(s[i]); }
    QStringView rest() const { return s.mid(i); }
};

// The end of `label:` at the start of `line` (leading blanks, blanks between
// the words and before the colon aside), or -1.
qsizetype afterLabel(QStringView line, const char* label)
{
    Scan sc{line};
    sc.blanks();
    if (!sc.words(label))
        return -1;
    sc.blanks();
    return sc.take(':') ? sc.i : -1;
}

QString valueAfter(QStringView line, const char* label)
{
    const qsizetype end = afterLabel(line, label);
    return end < 0 ? QString() : line.mid(end).trimmed().toString();
}

// "Round time: ..." and "Total game time elapsed: ...": the words, then
// anything up to the first colon.
QString timeValue(QStringView line, const char* label)
{
    Scan sc{line};
    sc.blanks();
    if (!sc.words(label) || !sc.wordEnds())
        return QString();
    const qsizetype colon = line.indexOf(u':', sc.i);
    return colon < 0 ? QString() : line.mid(colon + 1).trimmed().toString();
}

QString unquoted(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

// The marks of a team or spectator line: "[Local Player] [Host] [CPU 3]".
// A real line has two or three; more than 64 are left unread.
void readMarks(QStringView rest, GameLogTeam& team)
{
    for (qsizetype from = 0; team.marks.size() < 64;) {
        const qsizetype open = rest.indexOf(u'[', from);
        const qsizetype close = open < 0 ? -1 : rest.indexOf(u']', open + 1);
        if (close < 0)
            return;
        const QStringView text = rest.mid(open + 1, close - open - 1).trimmed();
        from = close + 1;
        team.marks << text.toString();
        Scan cpu{text};
        if (text.compare(QLatin1String("Local Player"), Qt::CaseInsensitive) == 0) {
            team.localPlayer = true;
        } else if (text.compare(QLatin1String("Host"), Qt::CaseInsensitive) == 0) {
            team.host = true;
        } else if (cpu.word("cpu")) {
            cpu.blanks();
            const qsizetype start = cpu.i;
            const qsizetype count = cpu.digits();
            if (cpu.atEnd())
                team.cpuLevel = qMax(1, count ? text.mid(start, count).toInt() : 0);
        }
    }
}

// `Red: "player" as "team" [marks]`, `Green: "team" [CPU 3]`,
// `Spectator: "name" [marks]`. Returns false for any other line.
bool readTeam(QStringView line, GameLog& log)
{
    Scan sc{line};
    sc.blanks();
    const qsizetype labelStart = sc.i;
    while (!sc.atEnd() && isLetterAnyCase(line[sc.i]))
        ++sc.i;
    const QStringView label = line.mid(labelStart, sc.i - labelStart);
    sc.blanks();
    if (label.isEmpty() || !sc.take(':'))
        return false;
    sc.blanks();
    const qsizetype firstEnd = sc.take('"') ? line.indexOf(u'"', sc.i) : -1;
    if (firstEnd < 0)
        return false;
    const QString first = line.mid(sc.i, firstEnd - sc.i).toString();
    sc.i = firstEnd + 1;
    QString second;
    bool hasSecond = false;
    Scan as = sc;
    as.blanks();
    if (as.word("as")) {
        as.blanks();
        const qsizetype secondEnd = as.take('"') ? line.indexOf(u'"', as.i) : -1;
        if (secondEnd >= 0) {
            second = line.mid(as.i, secondEnd - as.i).toString();
            hasSecond = true;
            sc.i = secondEnd + 1;
        }
    }
    GameLogTeam team;
    readMarks(sc.rest(), team);
    if (label.compare(QLatin1String("Spectator"), Qt::CaseInsensitive) == 0) {
        team.player = first;
        log.spectators << team;
        return true;
    }
    const auto colour = std::find_if(teamColours().begin(), teamColours().end(),
                                     [&](const QString& c) { return c.compare(label, Qt::CaseInsensitive) == 0; });
    if (colour == teamColours().end())
        return false;
    team.colour = *colour;
    if (hasSecond) {
        team.player = first;
        team.team = second;
    } else {
        team.team = first; // a CPU team names only the team
    }
    log.teams << team;
    return true;
}

// "WHO wins the match" / "WHO wins the round" at the start of a line: WHO is
// the shortest text that is followed by those words.
bool readWinner(QStringView line, const char* what, QString* who)
{
    if (line.size() < 16) // "x wins the round"
        return false;
    Scan sc{line};
    sc.blanks();
    const qsizetype start = sc.i;
    for (qsizetype i = start + 1; i < line.size();) {
        if (!isBlank(line[i])) {
            ++i;
            continue;
        }
        const qsizetype runStart = i;
        while (i < line.size() && isBlank(line[i]))
            ++i;
        Scan after{line, i};
        if (after.word("wins") && after.blanks1() && after.word("the") && after.blanks1() && after.word(what) &&
            after.wordEnds()) {
            *who = line.mid(start, runStart - start).toString();
            return true;
        }
    }
    // Blanks alone before the words: WHO is the first of at least two.
    Scan after{line, start};
    if (start >= 2 && after.word("wins") && after.blanks1() && after.word("the") && after.blanks1() &&
        after.word(what) && after.wordEnds()) {
        *who = line.mid(start - 2, 1).toString();
        return true;
    }
    return false;
}

bool readOutcome(QStringView line, GameLog& log)
{
    QString who;
    if (readWinner(line, "match", &who)) {
        log.outcome = GameLog::Outcome::MatchWon;
        log.winner = unquoted(who);
        return true;
    }
    if (readWinner(line, "round", &who)) {
        // A match won in this round says so on its own line, which wins.
        if (log.outcome != GameLog::Outcome::MatchWon) {
            log.outcome = GameLog::Outcome::RoundWon;
            log.winner = unquoted(who);
        }
        return true;
    }
    Scan sc{line};
    sc.blanks();
    if (sc.words("the round was drawn")) {
        log.outcome = GameLog::Outcome::Drawn;
        log.winner.clear();
        return true;
    }
    return false;
}

// "Worm of the round: NAME (TEAM)": a title of 3 to 61 characters starting
// with a letter and holding no colon, bracket or quote.
bool readAward(QStringView line, GameLog& log)
{
    Scan sc{line};
    sc.blanks();
    const qsizetype start = sc.i;
    if (sc.atEnd() || !isAsciiLetter(line[start]))
        return false;
    qsizetype colon = start + 1;
    while (colon < line.size() && line[colon] != u':' && line[colon] != u'[' && line[colon] != u']' &&
           line[colon] != u'"')
        ++colon;
    if (colon >= line.size() || line[colon] != u':')
        return false;
    qsizetype titleEnd = colon;
    while (titleEnd > start + 1 && isBlank(line[titleEnd - 1]))
        --titleEnd;
    titleEnd = std::max(titleEnd, start + 3);
    if (titleEnd > colon || titleEnd > start + 61)
        return false;
    Scan value{line, colon + 1};
    value.blanks();
    if (value.atEnd())
        return false;
    log.awards << GameLogAward{line.mid(start, titleEnd - start).trimmed().toString(),
                               value.rest().trimmed().toString()};
    return true;
}

// "[hh:mm:ss.cc]" at the start of a line: the stamp's text and its time in
// hundredths of a second; what follows (blanks aside) in `what`.
bool readStamp(QStringView line, QStringView* stamp, qint64* time, QStringView* what)
{
    Scan sc{line};
    sc.blanks();
    if (!sc.take('['))
        return false;
    const qsizetype from = sc.i;
    const qsizetype hourDigits = sc.digits();
    if (hourDigits == 0 || !sc.take(':') || sc.digits() != 2 || !sc.take(':') || sc.digits() != 2)
        return false;
    const qsizetype fraction = sc.i;
    if (sc.take('.') && sc.digits() == 0)
        return false;
    const qsizetype close = sc.i;
    if (!sc.take(']'))
        return false;
    *stamp = line.mid(from, close - from);
    auto number = [&](qsizetype at, qsizetype count) {
        qint64 n = 0;
        for (qsizetype k = 0; k < count; ++k)
            n = std::min<qint64>(n * 10 + (line[at + k].unicode() - '0'), 1000000000);
        return n;
    };
    qint64 hundredths = number(from, hourDigits) * 360000 + number(from + hourDigits + 1, 2) * 6000 +
                        number(from + hourDigits + 4, 2) * 100;
    if (close > fraction + 1)
        hundredths += number(fraction + 1, 1) * 10 + (close > fraction + 2 ? number(fraction + 2, 1) : 0);
    *time = hundredths;
    sc.blanks();
    *what = sc.rest();
    return true;
}

// "Game Started at 2019-09-16 16:58:33 GMT": the time, or a null text.
QString startedAt(QStringView line)
{
    Scan sc{line};
    sc.blanks();
    if (!sc.words("game started at") || !sc.blanks1())
        return QString();
    return sc.rest().trimmed().toString();
}

// "End of round N": N (0 when it does not fit an int), or -1 for another line.
int roundNumber(QStringView line)
{
    Scan sc{line};
    sc.blanks();
    if (!sc.words("end of round") || !sc.blanks1())
        return -1;
    const qsizetype from = sc.i;
    const qsizetype count = sc.digits();
    return count > 0 ? line.mid(from, count).toInt() : -1;
}

// The header's lines and the round's end: "Game ID: ...", "End of round 1",
// "Round time: ..." and the like. False for any other line.
bool readHeading(QStringView line, GameLog& log, bool* ended)
{
    if (QString v = valueAfter(line, "game id"); !v.isNull()) {
        log.gameId = unquoted(v);
    } else if (QString s = startedAt(line); !s.isNull()) {
        log.startedAt = s;
    } else if (QString e = valueAfter(line, "game engine version"); !e.isNull()) {
        log.engineVersion = e;
    } else if (QString f = valueAfter(line, "file format version"); !f.isNull()) {
        log.fileFormatVersion = f;
    } else if (QString x = valueAfter(line, "exported with version"); !x.isNull()) {
        log.exportedWithVersion = x;
    } else if (const int round = roundNumber(line); round >= 0) {
        log.round = round;
        *ended = true;
    } else if (QString rt = timeValue(line, "round time"); !rt.isNull()) {
        log.roundTime = rt;
    } else if (QString tt = timeValue(line, "total game time"); !tt.isNull()) {
        log.totalTime = tt;
    } else {
        return false;
    }
    return true;
}

// "Team time totals:", the heading of the teams' times.
bool isTotalsHeading(QStringView line)
{
    Scan sc{line};
    sc.blanks();
    if (!sc.words("team time totals"))
        return false;
    sc.blanks();
    sc.take(':');
    sc.blanks();
    return sc.atEnd();
}

void addCapped(int& total, qint64 more)
{
    total = int(std::clamp<qint64>(qint64(total) + more, 0, std::numeric_limits<int>::max()));
}

// What the events tell, gathered while the lines are read.
class EventReader {
public:
    explicit EventReader(GameLog& log)
        : m_log(log)
    {
    }

    // Indexes the teams read so far, for finding them by the names the
    // events give ("TEAM (PLAYER)", or the team alone).
    void learnTeams()
    {
        for (; m_known < m_log.teams.size(); ++m_known) {
            const GameLogTeam& t = m_log.teams[m_known];
            if (!t.player.isEmpty()) {
                m_keys.push_back(t.team + QStringLiteral(" (") + t.player + QLatin1Char(')'));
                m_byLabel.emplace(key(m_keys.back()), int(m_known));
            }
            m_keys.push_back(t.team);
            m_byName.emplace(key(m_keys.back()), int(m_known));
            m_totalled.push_back(false);
            m_started.push_back(0);
        }
    }

    void event(QStringView body, QStringView stamp, qint64 time)
    {
        if (body == u"Sudden Death") {
            if (m_log.suddenDeathAt.isEmpty())
                m_log.suddenDeathAt = stamp.toString();
            return;
        }
        Scan damage{body};
        if (damage.words("damage dealt") && damage.take(':')) {
            readDamage(damage);
            return;
        }
        static const QLatin1String startsTurn(" starts turn");
        if (body.endsWith(startsTurn)) {
            const int team = teamOf(body.chopped(startsTurn.size()));
            if (team >= 0) {
                GameLogTurn turn;
                turn.team = team;
                turn.start = time;
                m_log.turns << turn;
                ++m_started[team];
            }
            return;
        }
        for (const QLatin1String verb : {QLatin1String(" fires "), QLatin1String(" uses ")}) {
            if (const auto [team, at] = teamBefore(body, verb); team >= 0) {
                weapon(team, weaponName(body.mid(at + verb.size())), time);
                return;
            }
        }
        for (const QLatin1String verb : {QLatin1String(" ends turn"), QLatin1String(" loses turn")}) {
            if (const auto [team, at] = teamBefore(body, verb); team >= 0) {
                GameLogTurn* turn = current();
                if (turn && turn->team == team && turn->end < 0)
                    turn->end = time;
                return;
            }
        }
    }

    // "TEAM (PLAYER): Turn: 00:08:27.44, Retreat: ..., Total: ..., Turn count: 25",
    // the labels padded with blanks after the colon to the longest one.
    bool totals(QStringView line)
    {
        line = line.trimmed();
        static const QLatin1String turnKey(" Turn:");
        int team = -1;
        qsizetype at = line.indexOf(turnKey);
        // A few tries, for a team whose name holds " Turn:" itself; each is
        // one lookup, so a crafted line cannot make this slow.
        for (int tries = 0; at >= 0 && tries < 4; ++tries, at = line.indexOf(turnKey, at + 1)) {
            const QStringView label = line.left(at).trimmed();
            if (label.endsWith(u':') && (team = teamOf(label.chopped(1))) >= 0)
                break;
        }
        if (team < 0)
            return false;
        GameLogTeam& t = m_log.teams[team];
        for (QStringView part : line.mid(at + 1).split(u',')) {
            const qsizetype colon = part.indexOf(u':');
            if (colon < 0)
                continue;
            const QStringView key = part.left(colon).trimmed();
            const QString value = part.mid(colon + 1).trimmed().toString();
            if (key.compare(QLatin1String("Turn"), Qt::CaseInsensitive) == 0) {
                t.turnTime = value;
            } else if (key.compare(QLatin1String("Retreat"), Qt::CaseInsensitive) == 0) {
                t.retreatTime = value;
            } else if (key.compare(QLatin1String("Total"), Qt::CaseInsensitive) == 0) {
                t.totalTime = value;
            } else if (key.compare(QLatin1String("Turn count"), Qt::CaseInsensitive) == 0) {
                t.turns = value.toInt();
                m_totalled[team] = true;
            }
        }
        return true;
    }

    void finish()
    {
        for (qsizetype i = 0; i < m_log.teams.size(); ++i) {
            if (!m_totalled[i])
                m_log.teams[i].turns = m_started[i];
        }
    }

private:
    GameLogTurn* current() { return m_log.turns.isEmpty() ? nullptr : &m_log.turns.last(); }

    static std::u16string_view key(QStringView text) { return {text.utf16(), size_t(text.size())}; }

    int teamOf(QStringView name) const
    {
        if (m_byName.empty())
            return -1;
        const QStringView text = name.trimmed();
        if (const auto it = m_byLabel.find(key(text)); it != m_byLabel.end())
            return it->second;
        if (const auto it = m_byName.find(key(text)); it != m_byName.end())
            return it->second;
        // A team the header names without its player, such as a CPU team.
        const qsizetype open = text.lastIndexOf(QLatin1String(" ("));
        if (open > 0 && text.endsWith(u')')) {
            if (const auto it = m_byName.find(key(text.left(open))); it != m_byName.end())
                return it->second;
        }
        return -1;
    }

    // The team named before one of the first few `verb`s of `body`, and where
    // that verb is. Team names may hold the verb's words themselves.
    std::pair<int, qsizetype> teamBefore(QStringView body, QLatin1String verb) const
    {
        qsizetype at = body.indexOf(verb);
        for (int tries = 0; at > 0 && tries < 4; ++tries, at = body.indexOf(verb, at + 1)) {
            if (const int team = teamOf(body.left(at)); team >= 0)
                return {team, at};
        }
        return {-1, -1};
    }

    // "Grenade (5 sec, min bounce)" -> "Grenade".
    static QString weaponName(QStringView text)
    {
        text = text.trimmed();
        if (text.endsWith(u')')) {
            const QStringView bare = text.left(text.lastIndexOf(u'(')).trimmed();
            if (!bare.isEmpty())
                text = bare;
        }
        return text.toString();
    }

    void weapon(int team, const QString& name, qint64 time)
    {
        int& count = m_log.teams[team].weapons[name];
        count = std::min(count + 1, std::numeric_limits<int>::max() - 1);
        GameLogTurn* turn = current();
        if (!turn || turn->team != team)
            return;
        turn->weapons << name;
        if (turn->firstWeapon < 0)
            turn->firstWeapon = time;
    }

    // "90 (1 kill) to TEAM (PLAYER), 14 to TEAM (PLAYER)" after "Damage dealt:".
    void readDamage(Scan sc)
    {
        GameLogTurn* turn = current();
        while (turn) {
            sc.blanks();
            const qsizetype amountAt = sc.i;
            const qsizetype amountDigits = sc.digits();
            if (amountDigits == 0)
                return;
            const qint64 amount = number(sc.s.mid(amountAt, amountDigits));
            sc.blanks();
            qint64 kills = 0;
            if (sc.take('(')) {
                sc.blanks();
                const qsizetype killsAt = sc.i;
                kills = number(sc.s.mid(killsAt, sc.digits()));
                sc.blanks();
                if (!sc.word("kill"))
                    return;
                sc.take('s');
                sc.blanks();
                if (!sc.take(')'))
                    return;
                sc.blanks();
            }
            if (!sc.word("to") || !sc.blanks1())
                return;
            // The target runs to the next ", N to" / ", N (" or to the end.
            const qsizetype targetAt = sc.i;
            const qsizetype end = nextItem(sc.s, targetAt);
            const int team = teamOf(sc.s.mid(targetAt, end - targetAt));
            if (team >= 0 && team != turn->team) {
                addCapped(turn->damageDealt, amount);
                addCapped(turn->kills, kills);
                addCapped(m_log.teams[turn->team].damageDealt, amount);
                addCapped(m_log.teams[turn->team].kills, kills);
            }
            if (end >= sc.s.size())
                return;
            sc.i = end + 1; // past the comma
        }
    }

    // The comma, at or after `from`, that starts the next item; the end when none.
    static qsizetype nextItem(QStringView s, qsizetype from)
    {
        for (qsizetype comma = s.indexOf(u',', from); comma >= 0; comma = s.indexOf(u',', comma + 1)) {
            Scan after{s, comma + 1};
            after.blanks();
            if (after.digits() == 0)
                continue;
            after.blanks();
            if (after.take('(') || after.word("to"))
                return comma;
        }
        return s.size();
    }

    static qint64 number(QStringView digits)
    {
        qint64 n = 0;
        for (const QChar c : digits)
            n = std::min<qint64>(n * 10 + (c.unicode() - '0'), std::numeric_limits<int>::max());
        return n;
    }

    GameLog& m_log;
    qsizetype m_known = 0;
    // Views of the names kept in m_keys, whose texts never move. (Qt's hash
    // of texts measured several times slower than the standard one here.)
    std::deque<QString> m_keys;
    std::unordered_map<std::u16string_view, int> m_byLabel;
    std::unordered_map<std::u16string_view, int> m_byName;
    std::vector<bool> m_totalled;
    std::vector<int> m_started;
};

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
    GameLog log;
    log.text = decode(bytes);
    EventReader events(log);
    bool ended = false;
    bool inTotals = false;
    const QStringView text(log.text);
    for (qsizetype from = 0; from <= text.size();) {
        qsizetype next = text.indexOf(u'\n', from);
        if (next < 0)
            next = text.size();
        QStringView line = text.mid(from, next - from);
        from = next + 1;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        QStringView stamp, what;
        qint64 time = 0;
        if (readStamp(line, &stamp, &time, &what)) {
            if (what.startsWith(u'\u2022')) {
                ++log.events;
                qsizetype body = 0;
                while (body < what.size() && (what[body] == u'\u2022' || what[body].isSpace()))
                    ++body;
                events.event(what.mid(body).trimmed(), stamp, time);
            } else if (what.startsWith(u'[')) {
                ++log.messages;
                const qsizetype close = what.indexOf(u']');
                GameLogChat chat{time, stamp.toString(), QString(), QString()};
                chat.player = close < 0 ? QString() : what.mid(1, close - 1).toString();
                chat.text = what.mid(close + 1).trimmed().toString();
                log.chat << chat;
            }
            continue;
        }
        // Every fixed heading starts with one of a few ASCII letters.
        const QStringView body = line.trimmed();
        const char16_t first = isAsciiLetter(body[0]) ? (body[0].unicode() | 0x20) : 0;
        const bool heading = first == 'g' || first == 'f' || first == 'e' || first == 'r' || first == 't';
        if (heading && readHeading(line, log, &ended)) {
            continue;
        } else if (readOutcome(line, log) || readTeam(line, log)) {
            events.learnTeams();
        } else if (heading && isTotalsHeading(line)) {
            inTotals = true;
        } else if (inTotals && events.totals(line)) {
            continue;
        } else if (ended) {
            readAward(line, log);
        }
    }
    events.finish();
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
