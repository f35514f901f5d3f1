// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QByteArray>
#include <QString>
#include <QStringList>

// The file work of the schemes window, on the folder `User/Schemes`. Schemes
// are copied and renamed byte for byte, never written again from what was
// read. Every file written goes through FileOps' SafeFile, and every name
// that was typed or came from an archive is one name inside the folder.
namespace SchemeFiles {

// The folder of the schemes under `userFolder` (found without regard to
// letter case; "Schemes" when there is none yet).
QString folderIn(const QString& userFolder);
// Makes the folder when it is missing; false when it cannot be made.
bool ensureFolder(const QString& folder);

// The schemes of `folder` ("*.wsc" without regard to case), in alphabetical
// order without regard to case.
QStringList schemes(const QString& folder);

// The name shown for a scheme file: without its ".wsc".
QString displayName(const QString& fileName);
// The file name a scheme gets when the user names it `name`.
QString fileNameFor(const QString& name);

// Giving the scheme `scheme` of `folder` the name the user typed, for a
// rename or a copy.
struct NamePlan {
    enum class Kind {
        BadName,    // refused; `message` says why
        Unchanged,  // the scheme already has that name
        ChangeCase, // the same file; only the letter case of its name changes
        Replace,    // another scheme has that name; ask first (`message`)
        Write,      // a new name
    };
    Kind kind = Kind::BadName;
    QString source;
    QString destination;
    QString message;
};
NamePlan planName(const QString& folder, const QString& scheme, const QString& typedName);
// A rename: the original goes only once its copy under the new name is whole.
bool rename(const NamePlan& plan, QString* error);
// A copy under the new name (`bytes`, when given, instead of the source's).
bool copy(const NamePlan& plan, QString* error, const QByteArray* bytes = nullptr);
// Deletes the scheme `scheme` of `folder`.
bool remove(const QString& folder, const QString& scheme, QString* error);

// What came of bringing files in.
struct ImportReport {
    QStringList taken;   // file names written into the folder
    QStringList refused; // "name: reason", one per file refused
    // The message for the user about what was refused; "" when nothing was.
    QString message() const;
};
// Brings in scheme files and zip archives of them: each scheme is checked
// with the reader, and only those the game reads are taken, under their own
// file name (an archive's folders are left out), replacing a scheme of that
// name. A refused archive is refused as a whole.
ImportReport importFiles(const QStringList& sources, const QString& folder);

// Writes the schemes `names` of `folder` into the zip archive `archive`
// (replacing it, through a temporary file); false with `error` on failure.
// `progress` hears how many schemes are written (about) of how many, and
// stops the export by returning false: then nothing is written and `error`
// is empty. Safe on any thread.
bool exportZip(const QString& folder, const QStringList& names, const QString& archive, QString* error,
               const std::function<bool(int done, int total)>& progress = {});

// Messages shown by the schemes window.
QString noSchemeSelectedMessage();
QString replaceQuestion(const QString& existingName);

} // namespace SchemeFiles
