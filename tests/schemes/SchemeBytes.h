// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>

// The bytes of a scheme file: "SCHM", `version`, `size` bytes in all, a turn
// time of 45 s, 100 energy and every weapon with 1 round; `bytes` sets single
// bytes by their offset afterwards.
inline QByteArray schemeBytes(int version, int size, const QMap<int, int>& bytes = {})
{
    QByteArray data(size, '\0');
    data.replace(0, 4, "SCHM");
    data[4] = static_cast<char>(version);
    const QMap<int, int> base = {{0x1A, 100}, {0x1B, 45}, {0x1C, 10}};
    for (const QMap<int, int>* set : {&base, &bytes}) {
        for (auto it = set->constBegin(); it != set->constEnd(); ++it) {
            if (it.key() < size)
                data[it.key()] = static_cast<char>(it.value());
        }
        if (set == &base) {
            for (int at = 0x29; at + 4 <= size && at < 0x129; at += 4)
                data[at] = 1;
        }
    }
    return data;
}
