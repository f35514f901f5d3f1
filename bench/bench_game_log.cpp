// SPDX-License-Identifier: GPL-3.0-or-later
// The game-log parser on 4 MB logs of the worst shapes we know (one long line
// of blanks between words, one line of one letter, brackets, many short
// lines, lists of damage that never name a team, a real log repeated), each
// beside the time to read the same file from the disk cache, the floor; then
// --replay-info over 1,000 replays of 1 MB with their logs, beside reading
// those files whole.
//
// Usage: bench_game_log [replays]   (default 1000)

#include "games/core/GameLog.h"
#include "replays/core/ReplayInfoCommand.h"
#include "support/TestMaps.h"
#include "support/TestReplays.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr qsizetype logSize = 4 << 20;

// `piece` repeated to 4 MB, between `head` and `tail`.
QByteArray filled(const QByteArray& head, const QByteArray& piece, const QByteArray& tail = {})
{
    QByteArray out = head;
    out.reserve(logSize);
    while (out.size() + piece.size() + tail.size() <= logSize)
        out += piece;
    return out + tail;
}

double medianMs(const std::function<void()>& work)
{
    std::vector<double> ms;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[1];
}

QByteArray readWhole(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const char realLog[] = "Game Started at 2025-02-28 12:35:40 GMT\r\n"
                       "Red:    \"Anna\" as \"Los Toros\" [Local Player] [Host]\r\n"
                       "Blue:   \"Ben\" as \"Bits\"\r\n"
                       "[00:00:01.00] \x95\x95\x95 Los Toros (Anna) starts turn\r\n"
                       "[00:00:05.10] \x95\x95\x95 Los Toros (Anna) fires Grenade (5 sec, min bounce)\r\n"
                       "[00:00:09.52] [Anna] gl hf\r\n"
                       "[00:00:20.00] \x95\x95\x95 Los Toros (Anna) ends turn; time used: 19.00 sec turn\r\n"
                       "[00:00:23.00] \x95\x95\x95 Damage dealt: 90 (1 kill) to Bits (Ben), 14 to Los Toros (Anna)\r\n";

} // namespace

int main(int argc, char* argv[])
{
    const int replays = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    QTemporaryDir dir;
    const QByteArray blanks(logSize - 40, ' ');
    const QList<QPair<const char*, QByteArray>> shapes{
        {"a, 4 MB of blanks, x", "a" + blanks + "x"},
        {"a winner, blanks, almost the words", "Anna" + blanks + "wins the roun"},
        {"blanks, then the words", blanks + "wins the match"},
        {"one line of one letter", QByteArray(logSize, 'a')},
        {"one line of brackets", QByteArray(logSize, '[')},
        {"team line with brackets", filled("Red: \"a\" as \"b\" ", "[[[[]")},
        {"award after the round, no colon", filled("End of round 1\n", "Abc ")},
        {"many short lines", filled({}, "a\n")},
        {"many blank lines", filled({}, "\r\n")},
        {"damage to nobody known",
         filled("Red: \"a\" as \"b\"\n[0:00:00.00] \x95 b (a) starts turn\n[0:00:01.00] \x95 Damage dealt: ",
                "1 to x, ")},
        {"damage list of commas", filled("Red: \"a\" as \"b\"\n[0:00:01.00] \x95 Damage dealt: 1 to ", ", 1")},
        {"fires without a team", filled("[0:00:01.00] \x95 ", " fires  uses  ends turn")},
        {"a real log repeated", filled({}, realLog)},
    };
    std::printf("%-38s %10s %12s %10s\n", "4 MB log", "read (ms)", "parse (ms)", "ratio");
    for (const auto& [name, bytes] : shapes) {
        const QString path = TestMaps::writeBytes(dir.filePath(QStringLiteral("shape.log")), bytes);
        const double read = medianMs([&] { readWhole(path); });
        const double parse = medianMs([&] { GameLogParser::parse(readWhole(path)); });
        std::printf("%-38s %10.2f %12.2f %10.1f\n", name, read, parse, parse / std::max(read, 0.01));
    }

    // Replays of 1 MB (a colour map, a stored scheme, then the game) with a
    // log of 8 KB beside each.
    QImage image = TestMaps::sampleMap(QSize(1920, 696));
    const QByteArray map = TestMaps::levelMapPng(image);
    const QByteArray replay =
        TestReplays::replay(3, map, TestReplays::scheme(), 1740746140, 1,
                            QByteArray(std::max<qsizetype>(0, (1 << 20) - map.size() - 400), 'x'));
    QByteArray log;
    while (log.size() < 8000)
        log += realLog;
    QStringList files;
    for (int i = 0; i < replays; ++i) {
        const QString base =
            dir.filePath(QStringLiteral("2025-02-28 12.%1.00 [Online] Anna, Ben").arg(i, 4, 10, QLatin1Char('0')));
        files << TestMaps::writeBytes(base + QStringLiteral(".WAgame"), replay);
        TestMaps::writeBytes(base + QStringLiteral(".log"), log);
    }
    const double floor = medianMs([&] {
        for (const QString& file : files) {
            readWhole(file);
            readWhole(file.chopped(7) + QStringLiteral(".log"));
        }
    });
    QString printed;
    const double info = medianMs([&] {
        printed.clear();
        QTextStream out(&printed);
        ReplayInfoCommand::run(files, out);
    });
    std::printf("\n--replay-info over %d replays of %.1f MB with their logs: %.0f ms (%.2f ms each); reading "
                "those files whole: %.0f ms; printed %lld bytes\n",
                replays, replay.size() / 1048576.0, info, info / replays, floor, qlonglong(printed.size()));
    return 0;
}
