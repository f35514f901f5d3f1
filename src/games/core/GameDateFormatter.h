// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

// The date of a recorded game in one of 30 formats, with the month and
// weekday names of a locale (the user's by default). The formats, by index:
//
//  0 "Tuesday, October 9th, 2001"   10 "Tuesday, Oct 9, 2001"
//  1 "Tuesday, October 9, 2001"     11 "Tue, Oct 9, 2001"
//  2 "October 9th, 2001"            12 "Tue, Oct 9, 01"
//  3 "October 9, 2001"              13 "Oct 9, 01"
//  4 "Oct 9th, 2001"                14-17 "09-10-2001" with - / · • between
//  5 "Oct 9, 2001"                  18-21 "09-10-01" with - / · •
//  6 "9th October, 2001"            22-25 "9-10-2001" with - / · •
//  7 "9 October, 2001"              26-29 "9-10-01" with - / · •
//  8 "9th Oct, 2001"
//  9 "9 Oct, 2001"
//
// Any other index (negative, 30 or more) gives the long form of index 1.
//
// A formatter keeps the locale's names, so that formatting many dates costs
// no locale look-ups.
class GameDateFormatter {
public:
    static constexpr int formatCount = 30;

    explicit GameDateFormatter(const QLocale& locale = QLocale());

    QString format(QDate date, int formatIndex) const;

    // A date given as text: blank text gives "", text that is not a date
    // (year-month-day, after normalizeDateSeparators) is returned unchanged.
    QString format(const QString& text, int formatIndex) const;

    // The 30 formats shown with the date Tuesday 9 October 2001, in index
    // order: the entries of the format chooser.
    QStringList examples() const;

    // Reads a year-month-day text ("2001-10-09"; "/", blanks and the
    // punctuation of normalizeDateSeparators also separate). Invalid when the
    // text is no calendar date.
    static QDate readDate(QStringView text);

private:
    QString m_monthLong[12];
    QString m_monthShort[12];
    QString m_dayLong[7];
    QString m_dayShort[7];
};

// Formats `date` with the default locale's names (see GameDateFormatter).
QString formatGameDate(QDate date, int formatIndex);
QString formatGameDate(const QString& date, int formatIndex);

// Appends "st", "nd", "rd" or "th" to a day number in place: 1, 21, 31 take
// "st"; 2, 22 "nd"; 3, 23 "rd"; 4-20 and 24-30 "th". A text that is not a
// whole number, and any other number, is left as it is.
void addOrdinalSuffix(QString& dayText);

// Replaces each "·", "•", ",", ".", ":", ";" and soft hyphen by a blank.
QString normalizeDateSeparators(const QString& text);
