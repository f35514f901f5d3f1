// SPDX-License-Identifier: GPL-3.0-or-later
#include "clips/core/ClipRequest.h"

#include "games/core/GameLog.h"

#include <QStringList>

namespace {

// The number of `part`, all digits and at most `maxDigits` of them; -1 otherwise.
int number(const QString& part, int maxDigits)
{
    if (part.isEmpty() || part.size() > maxDigits)
        return -1;
    int value = 0;
    for (const QChar c : part) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace

QString ClipRequest::problem() const
{
    if (from < 0 || to <= from)
        return QStringLiteral("The end of the clip must come after its start.");
    if (fps < minFps || fps > maxFps)
        return QStringLiteral("The frame rate must be from %1 to %2 frames per second.").arg(minFps).arg(maxFps);
    if (width < minSide || height < minSide || width > maxWidth || height > maxHeight)
        return QStringLiteral("The size must be from %1 x %1 to %2 x %3.").arg(minSide).arg(maxWidth).arg(maxHeight);
    if (!formatFor(outPath))
        return QStringLiteral("The clip's file name must end in .mp4, .webm or .gif.");
    return QString();
}

int ClipRequest::expectedFrames() const
{
    return int(qMax<qint64>(1, ((to - from) * fps + 99) / 100));
}

std::optional<ClipRequest::Format> ClipRequest::formatFor(const QString& path)
{
    const QString name = path.section(QLatin1Char('/'), -1).toLower();
    if (name.endsWith(QLatin1String(".mp4")))
        return Format::Mp4;
    if (name.endsWith(QLatin1String(".webm")))
        return Format::WebM;
    if (name.endsWith(QLatin1String(".gif")))
        return Format::Gif;
    return std::nullopt;
}

qint64 ClipRequest::parseTime(const QString& typed)
{
    QString text = typed.trimmed();
    int hundredths = 0;
    const int dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QString fraction = text.mid(dot + 1);
        hundredths = number(fraction, 2);
        if (hundredths < 0)
            return -1;
        if (fraction.size() == 1)
            hundredths *= 10;
        text.truncate(dot);
    }
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() < 2 || parts.size() > 3)
        return -1;
    // The first part may be long (minutes of a long game); the others are two digits below 60.
    const int first = number(parts.first(), parts.size() == 2 ? 3 : 2);
    qint64 seconds = first;
    for (int i = 1; i < parts.size(); ++i) {
        const int value = parts.at(i).size() == 2 ? number(parts.at(i), 2) : -1;
        if (value < 0 || value >= 60)
            return -1;
        seconds = seconds * 60 + value;
    }
    if (first < 0)
        return -1;
    return seconds * 100 + hundredths;
}

QString ClipRequest::gameTime(qint64 hundredths)
{
    const qint64 seconds = hundredths / 100;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

std::optional<std::pair<int, int>> ClipRequest::parseSize(const QString& typed)
{
    const QStringList parts = typed.trimmed().toLower().split(QLatin1Char('x'));
    if (parts.size() != 2)
        return std::nullopt;
    const int width = number(parts.at(0), 4);
    const int height = number(parts.at(1), 4);
    if (width < minSide || height < minSide || width > maxWidth || height > maxHeight)
        return std::nullopt;
    return std::make_pair(width, height);
}

std::optional<BestTurn::Range> BestTurn::find(const GameLog& log)
{
    const GameLogTurn* best = nullptr;
    for (const GameLogTurn& turn : log.turns) {
        if (turn.start < 0 || turn.end <= turn.start)
            continue;
        if (!best || turn.damageDealt > best->damageDealt)
            best = &turn;
    }
    if (!best)
        return std::nullopt;
    const qint64 from = best->firstWeapon >= 0 ? qMax<qint64>(0, best->firstWeapon - leadIn) : best->start;
    return Range{from, best->end};
}
