// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestFolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

TestUserFolder::TestUserFolder()
{
    m_game = m_dir.path() + QStringLiteral("/Worms Armageddon/");
    m_user = m_game + QStringLiteral("User");
    QDir().mkpath(m_user);
}

// By the raw bytes: Qt's names cannot spell names that are not UTF-8.
TestUserFolder::~TestUserFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(m_dir.path()).toStdString()), ignored);
}

QString TestUserFolder::path(const QString& relative) const
{
    return relative.isEmpty() ? m_user : m_user + QLatin1Char('/') + relative;
}

QString TestUserFolder::makeDir(const QString& relative) const
{
    const QString p = path(relative);
    QDir().mkpath(p);
    return p;
}

QString TestUserFolder::writeFile(const QString& relative, const QByteArray& content) const
{
    const QString p = path(relative);
    QDir().mkpath(QFileInfo(p).path());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return p;
}

bool TestUserFolder::writeRawName(const QString& relative, const QByteArray& name, bool folder) const
{
    const QByteArray target = QFile::encodeName(makeDir(relative)) + '/' + name;
    const int fd = folder ? ::mkdir(target.constData(), 0755) : ::open(target.constData(), O_CREAT | O_EXCL, 0644);
    return fd >= 0 && (folder || ::close(fd) == 0);
}

QString TestUserFolder::writeGameFile(const QString& name, const QByteArray& content) const
{
    writeFile(QStringLiteral("../") + name, content);
    return m_game + name;
}

QString TestUserFolder::writeProbe() const
{
    const QString p = makeDir(QStringLiteral("graves")) + QStringLiteral("/computer.bmp");
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    image.save(p, "BMP");
    return p;
}

QStringList TestUserFolder::entries(const QString& relative) const
{
    return QDir(path(relative)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

bool TestUserFolder::exists(const QString& relative) const
{
    return QFileInfo::exists(path(relative));
}

QByteArray TestUserFolder::read(const QString& relative) const
{
    QFile f(path(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList TestUserFolder::files(const QString& relative) const
{
    const QString root = QDir::cleanPath(path(relative));
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        const QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        out << it.filePath().mid(root.size() + 1) + QLatin1Char('=') + QString::fromUtf8(content);
    }
    out.sort();
    return out;
}

QMap<QString, QByteArray> TestUserFolder::snapshot() const
{
    QMap<QString, QByteArray> out;
    QDirIterator it(m_user, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = it.next().mid(m_user.size() + 1);
        out.insert(it.fileInfo().isDir() ? relative + QLatin1Char('/') : relative, read(relative));
    }
    return out;
}
