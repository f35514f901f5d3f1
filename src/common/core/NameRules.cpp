// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/NameRules.h"

#include <QRegularExpression>

namespace NameRules {

Problem check(const QString& name)
{
    if (name.trimmed().isEmpty())
        return Problem::Empty;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return Problem::Separator;
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return Problem::DotName;
    for (const QChar c : name) {
        if (c.unicode() < 32 || QStringLiteral(":*?\"<>|").contains(c))
            return Problem::BadCharacter;
    }
    static const QRegularExpression reserved(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (reserved.match(name).hasMatch())
        return Problem::ReservedName;
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return Problem::TrailingDotOrBlank;
    if (name.size() > 255)
        return Problem::TooLong;
    return Problem::None;
}

QString describe(Problem problem, const QString& name)
{
    const QString quoted = QLatin1Char('\'') + name + QLatin1Char('\'');
    switch (problem) {
    case Problem::None:
        return QString();
    case Problem::Empty:
        return QStringLiteral("Please type a name.");
    case Problem::Separator:
        return quoted + QStringLiteral(" is not a valid name: a name cannot contain / or \\.");
    case Problem::DotName:
        return quoted + QStringLiteral(" is not a valid name.");
    case Problem::BadCharacter:
        return quoted + QStringLiteral(" is not a valid name: a name cannot contain any of : * ? \" < > |");
    case Problem::ReservedName:
        return quoted + QStringLiteral(" is not a valid name: Windows reserves it for a device.");
    case Problem::TrailingDotOrBlank:
        return quoted + QStringLiteral(" is not a valid name: a name cannot end with a dot or a blank.");
    case Problem::TooLong:
        return QStringLiteral("That name is too long: a name can have at most 255 characters.");
    }
    return QString();
}

} // namespace NameRules
