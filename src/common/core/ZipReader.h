// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

struct zip;

// Reads a zip archive that came from somewhere else without trusting it.
// open() refuses the whole archive when it is not a zip, holds too many
// entries or too many bytes, or when any entry is a link or has a name that
// could lead outside the folder it is unpacked into (an absolute name, a
// drive, a ".." part). extract() counts the bytes it really unpacks against
// the same budget, whatever the archive's headers claim.
class ZipReader {
public:
    struct Limits {
        int maxEntries = 200;
        qint64 maxBytes = 200LL * 1024 * 1024;
    };

    struct Entry {
        QString name; // relative, '/'-separated, without "." parts or a trailing '/'
        qint64 size = 0;
        bool isFolder = false;
    };

    explicit ZipReader(const QString& archivePath);
    ZipReader(const QString& archivePath, Limits limits);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // Opens and checks the archive; false with errorString() when it is refused.
    bool open();
    const QList<Entry>& entries() const { return m_entries; }

    // Unpacks the file entry `index` into a new file `destination` (which
    // must not exist). On failure the partial file is removed.
    bool extract(int index, const QString& destination);

    // What went wrong, in words for the user, naming the archive or entry.
    QString errorString() const { return m_error; }

    // Why an entry name is unsafe ("" when it is safe); `clean` receives the
    // normalised name. Backslashes count as separators.
    static QString unsafeName(const QString& name, QString* clean = nullptr);

private:
    bool fail(const QString& reason);
    QString archiveName() const;

    QString m_path;
    Limits m_limits;
    zip* m_archive = nullptr;
    QList<Entry> m_entries;
    QList<quint64> m_indexes; // libzip's index of each entry
    qint64 m_unpacked = 0;
    QString m_error;
};
