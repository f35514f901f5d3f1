// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "schemes/core/Scheme.h"

#include <QList>
#include <QString>

// The settings in which two schemes differ, each with both values in words.
namespace SchemeCompare {

struct Difference {
    QString group; // the heading it belongs under
    QString label;
    QString left;  // the value in the first scheme, "—" when it has none
    QString right; // the value in the second
};

// Every option, weapon setting and extended option whose value differs, in
// the order the schemes keep them. Settings equal in both are left out.
QList<Difference> differences(const Scheme& left, const Scheme& right);

} // namespace SchemeCompare
