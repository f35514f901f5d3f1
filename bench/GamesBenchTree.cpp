// SPDX-License-Identifier: GPL-3.0-or-later
#include "GamesBenchTree.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QSet>
#include <random>

QStringList GamesBenchTree::names(int count, unsigned seed)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    static const char* const tags[] = {"[Online]",         "[Online]",         "[Online]",         "[Offline]",
                                       "[Offline]",        "[Quick CPU]",      "[Training]",       "[Mission]",
                                       "[Online Round 1]", "[Online Round 2]", "[Online Round 3]", "[Offline Round 1]"};
    static const char* const players[] = {
        "Anna",         "Ben",           "1-UP",        "2-UP",       "CPU 1", "CPU 2",
        "MissionMaker", "Zoë",           "Зоя",         "太郎",       "Kim",   "Wormy McWormface",
        "[CLAN]Ace",    "Banana Bomber", "Sheep Lover", "Ninja Rope", "xXx",   "Pro Gamer",
    };
    const QDate first(2005, 1, 1);
    QStringList out;
    out.reserve(count);
    QSet<QString> seen;
    while (out.size() < count) {
        const QDate day = first.addDays(pick(20 * 365));
        const int secs = pick(86400);
        QString name = day.toString(Qt::ISODate) + QStringLiteral(" %1.%2.%3 ")
                                                       .arg(secs / 3600, 2, 10, QLatin1Char('0'))
                                                       .arg(secs / 60 % 60, 2, 10, QLatin1Char('0'))
                                                       .arg(secs % 60, 2, 10, QLatin1Char('0'));
        name += QLatin1String(tags[pick(int(std::size(tags)))]) + QLatin1Char(' ');
        const int n = 2 + pick(5);
        for (int p = 0; p < n; ++p) {
            if (p)
                name += QStringLiteral(", ");
            name += QString::fromUtf8(players[pick(int(std::size(players)))]);
        }
        name += QStringLiteral(".WAgame");
        if (!seen.contains(name)) {
            seen.insert(name);
            out << name;
        }
    }
    return out;
}

GamesBenchTree::GamesBenchTree(int games, int folders)
{
    m_user = m_dir.path() + QStringLiteral("/Worms Armageddon/User");
    const QString root = gamesRoot();
    QDir().mkpath(root);
    QStringList places{root};
    for (int f = 1; f < folders; ++f) {
        const QString name = QStringLiteral("Folder %1").arg(f, 2, 10, QLatin1Char('0'));
        m_folders << name;
        QDir().mkpath(root + QLatin1Char('/') + name);
        places << root + QLatin1Char('/') + name;
    }
    const QStringList all = names(games, 2024);
    for (int i = 0; i < all.size(); ++i) {
        QFile file(places.at(i % places.size()) + QLatin1Char('/') + all.at(i));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
    }
}
