// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

class UserPaths;

// The program's own pictures (logo.gif, army.bmp, smirk.bmp, black.bmp) live
// in the User folder's "pics" folder; the same pictures are built into the
// program so that a window never stays empty when a file is missing.
namespace Pictures {

// The built-in copy of one of the program's own pictures ("army.bmp").
QImage builtIn(const QString& name);

// The picture `name` from the User folder's pics folder; the built-in copy
// when that file is missing or cannot be read.
QImage userOrBuiltIn(const UserPaths& paths, const QString& name);

// Names of the program's own pictures, in the order they are listed.
QStringList ownNames();

} // namespace Pictures
