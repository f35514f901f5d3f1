// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/PathCase.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace PathCase {

QString join(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString findEntry(const QString& folder, const QString& name)
{
    if (name.isEmpty())
        return QString();
    if (QFileInfo::exists(join(folder, name)))
        return name;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

FolderIndex::FolderIndex(const QString& folder)
{
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    m_exact.reserve(entries.size());
    m_folded.reserve(entries.size());
    for (const QString& entry : entries) {
        m_exact.insert(entry);
        const QString folded = entry.toCaseFolded();
        if (!m_folded.contains(folded))
            m_folded.insert(folded, entry);
    }
}

QString FolderIndex::find(const QString& name) const
{
    if (name.isEmpty())
        return QString();
    if (m_exact.contains(name))
        return name;
    return m_folded.value(name.toCaseFolded());
}

QString resolve(const QString& base, const QString& relative)
{
    QString path = base;
    const QStringList parts =
        QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    bool existing = true;
    for (const QString& part : parts) {
        QString name = part;
        if (existing && part != QLatin1String(".") && part != QLatin1String("..")) {
            const QString found = findEntry(path, part);
            if (found.isEmpty())
                existing = false; // nothing below a missing folder can exist
            else
                name = found;
        }
        path = join(path, name);
    }
    return path;
}

namespace {

bool isAscii(char16_t c)
{
    return c < 0x80;
}

char16_t lowered(char16_t c)
{
    return char16_t(c - u'A') < 26 ? char16_t(c + (u'a' - u'A')) : c;
}

// Compares `a` and `b` as their case-folded forms compare. Folding goes
// character by character, so the two agree up to their first difference;
// there plain ASCII is compared with A-Z lowered, and only a difference at
// another character folds what follows it.
int compareFolded(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x == y)
            continue;
        if (isAscii(x) && isAscii(y)) {
            const char16_t lx = lowered(x);
            const char16_t ly = lowered(y);
            if (lx != ly)
                return lx < ly ? -1 : 1;
            continue;
        }
        // A character in two halves is folded whole (the first half, before
        // the difference, is the same in both).
        const qsizetype from = i > 0 && a[i - 1].isHighSurrogate() ? i - 1 : i;
        return a.mid(from).toString().toCaseFolded().compare(b.mid(from).toString().toCaseFolded());
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

} // namespace

void sortIgnoringCase(QStringList& names)
{
    // No name is folded whole: names mostly differ first at a plain-ASCII
    // character (a date, a time, a letter), which is compared as it stands.
    struct Keyed {
        QStringView name;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keyed.push_back({names.at(i), i});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        if (const int c = compareFolded(a.name, b.name))
            return c < 0;
        // Names that differ only in case: in case-sensitive order; the same
        // name twice keeps its place.
        if (const int c = a.name.compare(b.name))
            return c < 0;
        return a.index < b.index;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Keyed& k : keyed)
        sorted << std::move(names[k.index]);
    names = std::move(sorted);
}

static QStringList list(const QString& folder, const QStringList& patterns, QDir::Filters filters, Order order)
{
    if (folder.isEmpty())
        return {};
    QDir dir(folder);
    // Without QDir::CaseSensitive the name filters ignore letter case.
    QStringList names = dir.entryList(patterns, filters | QDir::NoDotAndDotDot, QDir::Unsorted);
    if (order == Order::IgnoreCase)
        sortIgnoringCase(names);
    return names;
}

QStringList files(const QString& folder, const QStringList& patterns, Order order)
{
    return list(folder, patterns, QDir::Files, order);
}

QStringList folders(const QString& folder, Order order)
{
    return list(folder, {}, QDir::Dirs, order);
}

} // namespace PathCase
