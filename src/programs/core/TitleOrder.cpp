// SPDX-License-Identifier: GPL-3.0-or-later
#include "programs/core/TitleOrder.h"

#include <QCollator>
#include <QLocale>

namespace {

QCollator makeCollator()
{
    QCollator collator{QLocale(QLocale::English, QLocale::UnitedStates)};
    collator.setCaseSensitivity(Qt::CaseInsensitive); // accents still count, after the letters
    collator.setNumericMode(false);                   // "Tool 10" before "Tool 9", as Jet sorts
    collator.setIgnorePunctuation(false);
    return collator;
}

} // namespace

int TitleOrder::compare(QStringView a, QStringView b)
{
    static const QCollator collator = makeCollator();
    return collator.compare(a, b);
}
