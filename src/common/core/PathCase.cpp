#include "common/core/PathCase.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

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

QString resolve(const QString& base, const QString& relative)
{
    QString path = base;
    const QStringList parts = QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'), Qt::SkipEmptyParts);
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

void sortIgnoringCase(QStringList& names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
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
