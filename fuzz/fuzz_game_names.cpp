// SPDX-License-Identifier: GPL-3.0-or-later
// The recorded-game name parser and the date formatter on arbitrary names.
//
// Input: the first byte picks the date format (any value, so that indexes out
// of range are tried too), the rest is the file name in UTF-8.

#include "FuzzSupport.h"

#include "games/core/GameDateFormatter.h"
#include "games/core/GameNameParser.h"

#include <QLocale>

namespace {

bool inside(QStringView name, qsizetype start, qsizetype length)
{
    return start >= 0 && length >= 0 && start + length <= name.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using FuzzSupport::require;
    static const GameDateFormatter formatter{QLocale::c()};
    if (size == 0)
        return 0;
    const int formatIndex = int(static_cast<int8_t>(data[0]));
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    const GameNameParts parts = GameNameParser::parse(name);
    require(inside(name, parts.dateStart, parts.dateLength), "the date lies inside the name");
    require(inside(name, parts.timeStart, parts.timeLength), "the time lies inside the name");
    require(inside(name, parts.playersStart, parts.playersLength), "the players lie inside the name");

    const qsizetype extension = GameNameParser::extensionIndex(name);
    require(extension == -1 || (extension >= 0 && extension + 7 <= name.size()), "the extension lies inside the name");
    (void)GameNameParser::modeOf(name);

    const QString date = parts.date(name).toString();
    const QString formatted = formatter.format(date, formatIndex);
    require(!date.trimmed().isEmpty() || formatted.isEmpty(), "a blank date formats as nothing");
    const QDate read = GameDateFormatter::readDate(name);
    if (read.isValid())
        require(!formatter.format(read, formatIndex).isEmpty(), "a valid date formats as some text");

    QString day = name.left(4);
    addOrdinalSuffix(day);
    (void)normalizeDateSeparators(name);
    return 0;
}
