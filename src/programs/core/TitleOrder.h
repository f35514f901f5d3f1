// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

// The order in which program titles are listed: the order of the Access (Jet)
// databases the catalogue's format comes from, where text compares without
// regard to letter case and accented letters sort beside their plain letter
// ("a" before "B", "Echo" before "éclair" before "Zebra"), not by character
// code as SQLite's BINARY or ASCII-only NOCASE orders would.
//
// It is a Unicode collation with a fixed locale (US English), so that the
// order never depends on the user's language settings; titles that differ
// only in letter case compare equal (the caller breaks such ties, by row key).
namespace TitleOrder {

// The name under which the order is known to a database connection. It is
// used in queries only, never in the stored schema, so that other SQLite
// tools can still read every table of the file.
inline constexpr const char* collationName = "TITLE_ORDER";

// <0, 0 or >0 as `a` sorts before, with or after `b`.
int compare(QStringView a, QStringView b);

} // namespace TitleOrder
