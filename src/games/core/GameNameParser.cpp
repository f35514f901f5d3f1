// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GameNameParser.h"

namespace GameNameParser {

namespace {

const QString& word(int i)
{
    static const QString words[] = {
        QStringLiteral("Online"), QStringLiteral("Offline"),  QStringLiteral("Mission"),
        QStringLiteral("Quick"),  QStringLiteral("Training"),
    };
    return words[i];
}
constexpr int wordCount = 5;
constexpr int trainingWord = 4;

// Where the players start in a name without a tag: after the date, the time
// and a tag of the usual length.
constexpr qsizetype plainPlayersOffset = 29;
constexpr qsizetype trainingPlayersOffset = 31;
constexpr qsizetype roundPlayersOffset = 37;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

struct Round {
    QStringView phrase;
    bool offline = false;
    QStringView number;
};

// True when `a` is a later round phrase than `b` in the order of precedence.
bool beats(const Round& a, const Round& b)
{
    if (b.phrase.isNull())
        return true;
    if (a.offline != b.offline)
        return a.offline;
    // Compare the numbers as numbers without converting them (they may be long).
    QStringView na = a.number, nb = b.number;
    while (na.size() > 1 && na.front() == QLatin1Char('0'))
        na = na.mid(1);
    while (nb.size() > 1 && nb.front() == QLatin1Char('0'))
        nb = nb.mid(1);
    if (na.size() != nb.size())
        return na.size() > nb.size();
    return na.compare(nb) >= 0;
}

Round bestRound(QStringView text)
{
    static const QString round = QStringLiteral(" Round ");
    Round best;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(round, from);
        if (at < 0)
            break;
        from = at + 1;
        qsizetype digitsEnd = at + round.size();
        while (digitsEnd < text.size() && isDigit(text.at(digitsEnd)))
            ++digitsEnd;
        const qsizetype digitsStart = at + round.size();
        if (digitsEnd == digitsStart)
            continue;
        Round found;
        if (text.first(at).endsWith(word(1))) {
            found.offline = true;
            found.phrase = text.mid(at - word(1).size(), digitsEnd - at + word(1).size());
        } else if (text.first(at).endsWith(word(0))) {
            found.phrase = text.mid(at - word(0).size(), digitsEnd - at + word(0).size());
        } else {
            continue;
        }
        found.number = text.mid(digitsStart, digitsEnd - digitsStart);
        if (beats(found, best))
            best = found;
    }
    return best;
}

} // namespace

QStringView modeOf(QStringView text)
{
    const Round round = bestRound(text);
    if (!round.phrase.isNull())
        return round.phrase;
    for (int i = wordCount - 1; i >= 0; --i) {
        if (text.contains(word(i)))
            return word(i);
    }
    return QStringView();
}

qsizetype extensionIndex(QStringView text)
{
    return text.lastIndexOf(QLatin1String(".WAgame"), -1, Qt::CaseInsensitive);
}

GameNameParts parse(QStringView name)
{
    GameNameParts parts;
    qsizetype start = 0;
    qsizetype end = name.size();
    while (start < end && name.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && name.at(end - 1) == QLatin1Char(' '))
        --end;
    const QStringView trimmed = name.mid(start, end - start);
    const qsizetype length = trimmed.size();

    parts.dateStart = start;
    parts.dateLength = qMin<qsizetype>(10, length);
    parts.timeStart = start + qMin<qsizetype>(10, length);
    parts.timeLength = qBound(qsizetype(0), length - 10, qsizetype(9));

    // The players end at the last extension after `from`, or at the name's end.
    auto playersFrom = [&](qsizetype from) {
        if (from >= length)
            return;
        qsizetype stop = extensionIndex(trimmed);
        if (stop < from)
            stop = length;
        parts.playersStart = start + from;
        parts.playersLength = stop - from;
    };

    const qsizetype open = trimmed.indexOf(QLatin1Char('['));
    const qsizetype close = open < 0 ? -1 : trimmed.indexOf(QLatin1Char(']'), open + 1);
    if (close >= 0) {
        parts.mode = modeOf(trimmed.mid(open + 1, close - open - 1));
        qsizetype from = close + 1;
        if (from < length && trimmed.at(from) == QLatin1Char(' '))
            ++from;
        playersFrom(from);
        return parts;
    }

    // No tag: the whole name is searched, and the players sit where the
    // grammar puts them for the mode found.
    parts.mode = modeOf(trimmed);
    if (parts.mode.isEmpty())
        return parts;
    qsizetype offset = plainPlayersOffset;
    if (parts.mode.contains(QLatin1String(" Round ")))
        offset = roundPlayersOffset;
    else if (parts.mode == word(trainingWord))
        offset = trainingPlayersOffset;
    playersFrom(offset);
    return parts;
}

} // namespace GameNameParser
