// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QMap>
#include <QString>
#include <optional>

class QIODevice;

// Readers for the files of a Wine prefix. Both are pure functions on what was
// read, so that any bytes can be fed to them.
namespace WineRegistry {

// The string value `name` ("@" for the default value) of the registry key
// `key` (written with single backslashes, "Software\Team17SoftwareLTD\...") in
// the text of a Wine registry file such as user.reg. Keys and names ignore
// letter case, as in the registry. Only string values count (`"..."` and
// `str(2):"..."`); nullopt when the key or value is missing or of another type.
std::optional<QString> stringValue(const QByteArray& registryFile, const QString& key, const QString& name);
// The same, read from `device` line by line: the memory taken is that of one
// line (lines over kMaxLine bytes are skipped, no value is that long), however
// large the file. Gives up with nullopt once `deadline` has passed.
std::optional<QString> stringValue(QIODevice& registryFile, const QString& key, const QString& name,
                                   QDeadlineTimer deadline = QDeadlineTimer::Forever);
constexpr int kMaxLine = 64 * 1024;

} // namespace WineRegistry

namespace DosDevices {

// Where each drive of a prefix leads: lower-case drive letter to a folder.
using Drives = QMap<QChar, QString>;

// The drives of the prefix, from the links in its `dosdevices` folder (a link
// relative to that folder is taken relative to it). Without that folder, C:
// is the prefix's drive_c, as Wine makes it.
Drives read(const QString& prefix);

// The Linux path of a Windows path such as "C:\Team17\Worms Armageddon\" on
// those drives, or "" for a path that is not on a known drive. "." and ".."
// are resolved within the drive and never lead above its root; each folder is
// found without regard to letter case, as Windows would.
QString toLinuxPath(const QString& windowsPath, const Drives& drives);

} // namespace DosDevices
