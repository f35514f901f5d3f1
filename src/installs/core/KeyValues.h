// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

// A reader for Valve's KeyValues text, the format of Steam's
// libraryfolders.vdf and appmanifest_*.acf files:
//
//     "libraryfolders" { "0" { "path" "/home/me/.steam/steam" } }
//
// Keys and values are quoted (or bare words), blocks nest in braces, `\\` and
// `\"` are escapes inside quotes, `//` starts a comment, spacing is free. The
// reader is lenient: it keeps what it could read before anything malformed.
struct KeyValue {
    QString key;
    QString value;            // for a plain key
    QList<KeyValue> children; // for a block
    bool isBlock = false;

    // The first child named `key` (Valve's keys ignore letter case), or nullptr.
    const KeyValue* child(const QString& key) const;
    // The value of that child, or "" when there is none or it is a block.
    QString valueOf(const QString& key) const;

    bool operator==(const KeyValue& other) const;
    bool operator!=(const KeyValue& other) const { return !(*this == other); }
};

namespace KeyValues {

// The top-level entries of the text (usually one block).
QList<KeyValue> parse(const QByteArray& text);

// The entries as text that parse() reads back as the same entries: every key
// and value quoted, with the escapes parse() undoes.
QByteArray write(const QList<KeyValue>& entries);

// Reads the text from `device` as a stream, without building the entries:
// `visit` is called for each plain value with the keys of the blocks around
// it and its own key last, and ends the walk by returning false. Memory stays
// that of one key or value (each held to kMaxText bytes; longer ones are cut),
// whatever the size of the text. Reading stops once `deadline` has passed.
using Visit = std::function<bool(const QStringList& keys, const QString& value)>;
void walk(QIODevice& device, const Visit& visit, QDeadlineTimer deadline = QDeadlineTimer::Forever);
constexpr int kMaxText = 64 * 1024;

} // namespace KeyValues
