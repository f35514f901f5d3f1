// SPDX-License-Identifier: GPL-3.0-or-later
#include "installs/core/GameInstall.h"

#include "common/core/UserPaths.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct KindName {
    GameInstall::Kind kind;
    const char* word;
};

constexpr KindName kKindNames[] = {
    {GameInstall::Kind::Here, "here"},       {GameInstall::Kind::Steam, "steam"},   {GameInstall::Kind::Wine, "wine"},
    {GameInstall::Kind::Windows, "windows"}, {GameInstall::Kind::Folder, "folder"},
};

QString shortenHome(const QString& path, const QString& home)
{
    const QString cleanHome = QDir::cleanPath(QDir::fromNativeSeparators(home));
    if (cleanHome.isEmpty() || cleanHome == QLatin1String("/"))
        return QDir::toNativeSeparators(path);
    if (path == cleanHome)
        return QStringLiteral("~");
    if (path.startsWith(cleanHome + QLatin1Char('/')))
        return QStringLiteral("~") + path.mid(cleanHome.size());
    return QDir::toNativeSeparators(path);
}

} // namespace

GameInstall GameInstall::make(Kind kind, const QString& userFolder, const QString& winePrefix)
{
    GameInstall install;
    install.kind = kind;
    install.userFolder = UserPaths::normalise(userFolder);
    install.gameFolder = UserPaths::gameFolderOf(install.userFolder);
    install.winePrefix =
        winePrefix.isEmpty() ? WinePrefix::containing(install.gameFolder) : UserPaths::normalise(winePrefix);
    return install;
}

QString GameInstall::kindWord(Kind kind)
{
    for (const KindName& k : kKindNames) {
        if (k.kind == kind)
            return QLatin1String(k.word);
    }
    return QString();
}

std::optional<GameInstall::Kind> GameInstall::kindFromWord(const QString& word)
{
    for (const KindName& k : kKindNames) {
        if (word == QLatin1String(k.word))
            return k.kind;
    }
    return std::nullopt;
}

QString GameInstall::describe(const QString& home) const
{
    switch (kind) {
    case Kind::Here:
        return QStringLiteral("This folder");
    case Kind::Steam:
        return QStringLiteral("Steam");
    case Kind::Wine:
        return QStringLiteral("Wine prefix ") + shortenHome(winePrefix, home);
    case Kind::Windows:
        return QStringLiteral("Windows");
    case Kind::Folder:
        break;
    }
    return QStringLiteral("Chosen folder");
}

bool GameInstall::operator==(const GameInstall& other) const
{
    return kind == other.kind && userFolder == other.userFolder && gameFolder == other.gameFolder &&
           winePrefix == other.winePrefix;
}

bool WinePrefix::isPrefix(const QString& folder)
{
    const QDir dir(folder);
    return QFileInfo(dir.filePath(QStringLiteral("system.reg"))).isFile() &&
           QFileInfo(dir.filePath(QStringLiteral("drive_c"))).isDir();
}

QString WinePrefix::containing(const QString& path)
{
    // Walk up from the path; the first "drive_c" whose parent is a prefix wins.
    QString current = QDir::cleanPath(QDir::fromNativeSeparators(path));
    while (!current.isEmpty()) {
        const int cut = current.lastIndexOf(QLatin1Char('/'));
        if (cut < 0)
            break;
        const QString parent = cut == 0 ? QStringLiteral("/") : current.left(cut);
        if (current.mid(cut + 1) == QLatin1String("drive_c") && isPrefix(parent))
            return parent;
        if (parent == current)
            break;
        current = cut == 0 ? QString() : parent;
    }
    return QString();
}
