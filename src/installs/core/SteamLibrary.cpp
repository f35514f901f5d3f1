// SPDX-License-Identifier: GPL-3.0-or-later
#include "installs/core/SteamLibrary.h"

#include "installs/core/KeyValues.h"

#include <QBuffer>
#include <QDir>
#include <QSet>

namespace {

bool isNumber(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

const KeyValue* topBlock(const QList<KeyValue>& entries, const QString& name)
{
    for (const KeyValue& e : entries) {
        if (e.isBlock && e.key.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    }
    return nullptr;
}

} // namespace

QStringList SteamLibrary::listedLibraries(const QByteArray& libraryFolders)
{
    QByteArray copy = libraryFolders;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return listedLibraries(buffer);
}

QStringList SteamLibrary::listedLibraries(QIODevice& libraryFolders, QDeadlineTimer deadline)
{
    QStringList libraries;
    QSet<QString> seen;
    const QString top = QStringLiteral("libraryfolders");
    KeyValues::walk(
        libraryFolders,
        [&](const QStringList& keys, const QString& value) {
            if (keys.first().compare(top, Qt::CaseInsensitive) != 0 || keys.size() < 2 || !isNumber(keys.at(1)))
                return true;
            // Old files: "1" "path"; current ones: "1" { "path" "..." }.
            const bool listed = keys.size() == 2 || (keys.size() == 3 && keys.at(2).compare(QLatin1String("path"),
                                                                                            Qt::CaseInsensitive) == 0);
            if (listed && !value.isEmpty()) {
                const QString path = QDir::fromNativeSeparators(value);
                if (!seen.contains(path)) {
                    seen.insert(path);
                    libraries << path;
                }
            }
            return true;
        },
        deadline);
    return libraries;
}

QString SteamLibrary::installFolder(const QByteArray& appManifest)
{
    const QList<KeyValue> entries = KeyValues::parse(appManifest);
    const KeyValue* state = topBlock(entries, QStringLiteral("AppState"));
    if (!state)
        return QString();
    const QString folder = state->valueOf(QStringLiteral("installdir"));
    if (folder.isEmpty() || folder == QLatin1String(".") || folder == QLatin1String("..") ||
        folder.contains(QLatin1Char('/')) || folder.contains(QLatin1Char('\\')) || folder.contains(QChar(0)))
        return QString();
    return folder;
}
