// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// How map files are named and shown.
namespace MapNames {

// The name shown for a map: its file name up to, not including, the first
// "." ("Dune.old.png" shows as "Dune").
QString displayName(const QString& fileName);

// What the rename box offers: the file name with every ".PNG" and ".png"
// taken out ("Arena.PNG" offers "Arena"; other spellings such as ".Png" stay).
QString renameDefault(const QString& fileName);

// The file name a map gets when the user names it `name`.
QString fileNameFor(const QString& name);

// Which of the two folder lists an entry belongs to.
enum class Side { Maps, Transfer };

// The text that stands for the parent entry of a folder list: at the maps
// root it is "-" on the map side (and then taken out of the list) and
// "[Root]" (the root itself) on the transfer side; below the root "<<Back".
QString parentEntryText(Side side, bool atRoot);

} // namespace MapNames
