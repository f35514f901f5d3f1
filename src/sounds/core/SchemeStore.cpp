// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/SchemeStore.h"

#include "common/core/FileSystem.h"
#include "common/core/NameRules.h"
#include "common/core/PathCase.h"
#include "common/core/UserPaths.h"
#include "sounds/core/SpeechSounds.h"

#include <QDir>
#include <QFileInfo>

SchemeStore::SchemeStore(const UserPaths& paths)
    : m_paths(paths)
{
}

QString SchemeStore::speechFolder() const
{
    return m_paths.speechFolder();
}

QStringList SchemeStore::schemeNames() const
{
    return PathCase::folders(speechFolder(), PathCase::Order::IgnoreCase);
}

QString SchemeStore::schemeFolder(const QString& scheme) const
{
    return m_paths.inSpeechFolder(scheme);
}

QString SchemeStore::soundBytePath(const QString& scheme, const QString& sound) const
{
    return m_paths.inSpeechFolder(scheme + QLatin1Char('/') + SpeechSounds::fileName(sound));
}

QString SchemeStore::defaultSoundPath(const QString& sound) const
{
    return m_paths.inSpeechFolder(SpeechSounds::fileName(sound));
}

QStringList SchemeStore::soundBytes(const QString& scheme) const
{
    if (!isSchemeName(scheme))
        return {};
    return PathCase::files(schemeFolder(scheme), {QStringLiteral("*")});
}

bool SchemeStore::isSchemeName(const QString& scheme)
{
    return !scheme.isEmpty() && NameRules::check(scheme) != NameRules::Problem::Separator &&
           NameRules::check(scheme) != NameRules::Problem::DotName;
}

SchemeStore::Created SchemeStore::create(const QString& name, QString* message) const
{
    const Created checked = checkNewName(name, message);
    if (checked != Created::Ok)
        return checked;
    if (!QDir(speechFolder()).mkdir(name)) {
        if (message)
            *message = QStringLiteral("The folder for the scheme ") + name + QStringLiteral(" could not be made. =(");
        return Created::Failed;
    }
    return Created::Ok;
}

SchemeStore::Created SchemeStore::checkNewName(const QString& name, QString* message) const
{
    auto fail = [message](Created result, const QString& text) {
        if (message)
            *message = text;
        return result;
    };
    const NameRules::Problem problem = NameRules::check(name);
    if (problem != NameRules::Problem::None)
        return fail(Created::BadName, NameRules::describe(problem, name));
    // A folder whose name starts with a dot is hidden, and so would never be
    // listed as a scheme.
    if (name.startsWith(QLatin1Char('.')))
        return fail(Created::BadName,
                    QLatin1Char('\'') + name +
                        QStringLiteral("' is not a valid name: a scheme name cannot start with a dot."));
    const QString speech = speechFolder();
    if (!QFileInfo(speech).isDir())
        return fail(Created::NoSpeechFolder,
                    QStringLiteral("There is no Speech folder in the User folder, so no scheme can be made. =("));
    if (!PathCase::findEntry(speech, name).isEmpty())
        return fail(Created::Exists, QStringLiteral("There is already a scheme called ") + name + QLatin1Char('.'));
    return Created::Ok;
}

bool SchemeStore::remove(const QString& scheme) const
{
    if (!isSchemeName(scheme))
        return false;
    return FileOps::removeFolderAndFiles(schemeFolder(scheme));
}

bool SchemeStore::removeSoundByte(const QString& scheme, const QString& fileName) const
{
    if (!isSchemeName(scheme) || fileName.isEmpty())
        return false;
    const QString path = PathCase::join(schemeFolder(scheme), fileName);
    return QFileInfo(path).isFile() && QFile::remove(path);
}

bool SchemeStore::setSoundByte(const QString& scheme, const QString& sound, const QString& source,
                               const PcmFormat& format, const SoundClip::Editing& editing, QString* error) const
{
    if (!isSchemeName(scheme)) {
        if (error)
            *error = QStringLiteral("no scheme is chosen");
        return false;
    }
    return SoundClip::store(source, soundBytePath(scheme, sound), format, editing, error);
}

QString SchemeStore::deleteSchemeQuestion(const QString& scheme)
{
    return QStringLiteral("Are you sure you want to delete the ") + scheme + QStringLiteral(" scheme?");
}

QString SchemeStore::removeSoundByteQuestion(const QString& scheme, const QString& fileName)
{
    return QStringLiteral("Are you sure you want to delete ") + scheme + QStringLiteral("'s ") + fileName +
           QStringLiteral(" soundbyte?");
}
