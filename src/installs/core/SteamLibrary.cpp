#include "installs/core/SteamLibrary.h"

#include "installs/core/KeyValues.h"

#include <QDir>

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
    QStringList libraries;
    const QList<KeyValue> entries = KeyValues::parse(libraryFolders);
    const KeyValue* root = topBlock(entries, QStringLiteral("libraryfolders"));
    if (!root)
        return libraries;
    for (const KeyValue& entry : root->children) {
        if (!isNumber(entry.key))
            continue;
        const QString path = entry.isBlock ? entry.valueOf(QStringLiteral("path")) : entry.value;
        if (!path.isEmpty())
            libraries << QDir::fromNativeSeparators(path);
    }
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
