#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

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
};

namespace KeyValues {

// The top-level entries of the text (usually one block).
QList<KeyValue> parse(const QByteArray& text);

} // namespace KeyValues
