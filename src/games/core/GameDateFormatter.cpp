// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GameDateFormatter.h"

#include <cstdlib>

namespace {

const QChar middleDot(0x00B7);
const QChar bullet(0x2022);
const QChar softHyphen(0x00AD);

// Separators of the numeric formats 14-29, in the order of their indexes.
QString numericSeparator(int i)
{
    switch (i % 4) {
    case 0:
        return QStringLiteral("-");
    case 1:
        return QStringLiteral("/");
    case 2:
        return QString(middleDot);
    default:
        return QString(bullet);
    }
}

bool hasSuffix(int formatIndex)
{
    return formatIndex == 0 || formatIndex == 2 || formatIndex == 4 || formatIndex == 6 || formatIndex == 8;
}

QString twoDigits(int n)
{
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

} // namespace

GameDateFormatter::GameDateFormatter(const QLocale& locale)
{
    for (int m = 1; m <= 12; ++m) {
        m_monthLong[m - 1] = locale.monthName(m, QLocale::LongFormat);
        m_monthShort[m - 1] = locale.monthName(m, QLocale::ShortFormat);
    }
    for (int d = 1; d <= 7; ++d) {
        m_dayLong[d - 1] = locale.dayName(d, QLocale::LongFormat);
        m_dayShort[d - 1] = locale.dayName(d, QLocale::ShortFormat);
    }
}

QString GameDateFormatter::format(QDate date, int formatIndex) const
{
    if (!date.isValid())
        return QString();
    const int year = date.year();
    const QString yyyy = year >= 0 ? QString::number(year).rightJustified(4, QLatin1Char('0')) : QString::number(year);
    const QString yy = twoDigits(std::abs(year) % 100);
    const QString& mmmm = m_monthLong[date.month() - 1];
    const QString& mmm = m_monthShort[date.month() - 1];
    const QString& dddd = m_dayLong[date.dayOfWeek() - 1];
    const QString& ddd = m_dayShort[date.dayOfWeek() - 1];
    QString d = QString::number(date.day());
    if (hasSuffix(formatIndex))
        addOrdinalSuffix(d);
    const QString comma = QStringLiteral(", ");
    const QChar space(QLatin1Char(' '));

    switch (formatIndex) {
    case 2:
    case 3:
        return mmmm + space + d + comma + yyyy;
    case 4:
    case 5:
        return mmm + space + d + comma + yyyy;
    case 6:
    case 7:
        return d + space + mmmm + comma + yyyy;
    case 8:
    case 9:
        return d + space + mmm + comma + yyyy;
    case 10:
        return dddd + comma + mmm + space + d + comma + yyyy;
    case 11:
        return ddd + comma + mmm + space + d + comma + yyyy;
    case 12:
        return ddd + comma + mmm + space + d + comma + yy;
    case 13:
        return mmm + space + d + comma + yy;
    default:
        break;
    }
    if (formatIndex >= 14 && formatIndex < formatCount) {
        const int group = (formatIndex - 14) / 4; // dd mm yyyy, dd mm yy, d m yyyy, d m yy
        const QString sep = numericSeparator(formatIndex - 14);
        const bool padded = group < 2;
        const QString day = padded ? twoDigits(date.day()) : QString::number(date.day());
        const QString month = padded ? twoDigits(date.month()) : QString::number(date.month());
        const QString& yearText = (group % 2 == 0) ? yyyy : yy;
        return day + sep + month + sep + yearText;
    }
    // 0, 1 and every index outside the table: the long form.
    return dddd + comma + mmmm + space + d + comma + yyyy;
}

QString GameDateFormatter::format(const QString& text, int formatIndex) const
{
    if (text.trimmed().isEmpty())
        return QString();
    const QDate date = readDate(text);
    return date.isValid() ? format(date, formatIndex) : text;
}

QStringList GameDateFormatter::examples() const
{
    QStringList out;
    for (int i = 0; i < formatCount; ++i)
        out << format(QDate(2001, 10, 9), i);
    return out;
}

QDate GameDateFormatter::readDate(QStringView text)
{
    // The usual case first: exactly "YYYY-MM-DD".
    auto digit = [&](qsizetype i) { return text.at(i).unicode() - '0'; };
    auto isDigitAt = [&](qsizetype i) { return text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); };
    if (text.size() == 10 && text.at(4) == QLatin1Char('-') && text.at(7) == QLatin1Char('-') && isDigitAt(0) &&
        isDigitAt(1) && isDigitAt(2) && isDigitAt(3) && isDigitAt(5) && isDigitAt(6) && isDigitAt(8) && isDigitAt(9)) {
        return QDate(digit(0) * 1000 + digit(1) * 100 + digit(2) * 10 + digit(3), digit(5) * 10 + digit(6),
                     digit(8) * 10 + digit(9));
    }

    // Otherwise three numbers, year first, between separators.
    const QString normal = normalizeDateSeparators(text.toString()).trimmed();
    int numbers[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    bool inSeparator = false;
    for (const QChar c : normal) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (inSeparator) {
                if (++part > 2)
                    return QDate();
                inSeparator = false;
            }
            if (++digits[part] > 4)
                return QDate();
            numbers[part] = numbers[part] * 10 + (c.unicode() - '0');
        } else if (c == QLatin1Char('-') || c == QLatin1Char('/') || c == QLatin1Char(' ')) {
            if (digits[part] == 0)
                return QDate(); // a separator before the year
            inSeparator = true;
        } else {
            return QDate();
        }
    }
    if (part != 2 || digits[0] != 4 || digits[1] > 2 || digits[2] > 2)
        return QDate();
    return QDate(numbers[0], numbers[1], numbers[2]);
}

QString formatGameDate(QDate date, int formatIndex)
{
    return GameDateFormatter().format(date, formatIndex);
}

QString formatGameDate(const QString& date, int formatIndex)
{
    return GameDateFormatter().format(date, formatIndex);
}

void addOrdinalSuffix(QString& dayText)
{
    bool ok = false;
    const int day = dayText.trimmed().toInt(&ok);
    if (!ok)
        return;
    switch (day) {
    case 1:
    case 21:
    case 31:
        dayText += QStringLiteral("st");
        return;
    case 2:
    case 22:
        dayText += QStringLiteral("nd");
        return;
    case 3:
    case 23:
        dayText += QStringLiteral("rd");
        return;
    default:
        if ((day >= 4 && day <= 20) || (day >= 24 && day <= 30))
            dayText += QStringLiteral("th");
        return;
    }
}

QString normalizeDateSeparators(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        if (c == middleDot || c == bullet || c == QLatin1Char(',') || c == QLatin1Char('.') || c == QLatin1Char(':') ||
            c == QLatin1Char(';') || c == softHyphen)
            c = QLatin1Char(' ');
    }
    return out;
}
