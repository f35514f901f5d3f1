// SPDX-License-Identifier: GPL-3.0-or-later
#include "installs/core/WineRegistry.h"

#include "common/core/PathCase.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>

#include <cstring>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a string written by Wine from `pos` up to (not including) the
// unescaped character `end`, undoing Wine's escapes: \\ \" \a \b \e \f \n \r
// \t \v, \xHHHH (UTF-16 code units) and \ooo (octal). Other bytes are UTF-8.
// `pos` ends after the terminator; false when there is none.
bool readEscaped(const QByteArray& text, qsizetype& pos, char end, QString* out)
{
    QByteArray utf8;
    QString result;
    auto flush = [&] {
        result += QString::fromUtf8(utf8);
        utf8.clear();
    };
    while (pos < text.size()) {
        const char c = text.at(pos++);
        if (c == end) {
            flush();
            *out = result;
            return true;
        }
        if (c == '\n')
            return false;
        if (c != '\\' || pos >= text.size()) {
            utf8.append(c);
            continue;
        }
        const char e = text.at(pos++);
        switch (e) {
        case 'a':
            utf8.append('\a');
            break;
        case 'b':
            utf8.append('\b');
            break;
        case 'e':
            utf8.append('\x1b');
            break;
        case 'f':
            utf8.append('\f');
            break;
        case 'n':
            utf8.append('\n');
            break;
        case 'r':
            utf8.append('\r');
            break;
        case 't':
            utf8.append('\t');
            break;
        case 'v':
            utf8.append('\v');
            break;
        case 'x': {
            char16_t unit = 0;
            int digits = 0;
            while (digits < 4 && pos < text.size() && hexDigit(text.at(pos)) >= 0) {
                unit = char16_t(unit * 16 + hexDigit(text.at(pos++)));
                ++digits;
            }
            if (digits == 0) {
                utf8.append('x');
                break;
            }
            flush();
            result += QChar(unit);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                int value = e - '0';
                for (int i = 0; i < 2 && pos < text.size() && text.at(pos) >= '0' && text.at(pos) <= '7'; ++i)
                    value = value * 8 + (text.at(pos++) - '0');
                flush();
                result += QChar(char16_t(value));
            } else {
                utf8.append(e); // \\, \", \[, \] and any other character stand for themselves
            }
            break;
        }
    }
    return false;
}

// The search through the lines of a registry file, one line at a time.
class KeySearch {
public:
    KeySearch(const QString& key, const QString& name)
        : m_key(key)
        , m_name(name)
    {
    }

    // False once the search is over (the value is then in result()).
    bool line(QByteArray line)
    {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('[')) {
            qsizetype pos = 1;
            QString section;
            m_inKey = readEscaped(line, pos, ']', &section) && section.compare(m_key, Qt::CaseInsensitive) == 0;
            return true;
        }
        if (!m_inKey)
            return true;
        qsizetype pos = 0;
        QString valueName;
        if (line.startsWith('@')) {
            valueName = QStringLiteral("@");
            pos = 1;
        } else if (line.startsWith('"')) {
            pos = 1;
            if (!readEscaped(line, pos, '"', &valueName))
                return true;
        } else {
            return true;
        }
        if (valueName.compare(m_name, Qt::CaseInsensitive) != 0 || pos >= line.size() || line.at(pos) != '=')
            return true;
        ++pos;
        if (line.mid(pos).startsWith("str(2):"))
            pos += 7;
        if (pos >= line.size() || line.at(pos) != '"')
            return false; // a value of another type
        ++pos;
        QString value;
        if (readEscaped(line, pos, '"', &value))
            m_result = value;
        return false;
    }

    const std::optional<QString>& result() const { return m_result; }

private:
    const QString& m_key;
    const QString& m_name;
    bool m_inKey = false;
    std::optional<QString> m_result;
};

} // namespace

std::optional<QString> WineRegistry::stringValue(const QByteArray& registryFile, const QString& key,
                                                 const QString& name)
{
    QByteArray copy = registryFile;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return stringValue(buffer, key, name);
}

std::optional<QString> WineRegistry::stringValue(QIODevice& registryFile, const QString& key, const QString& name,
                                                 QDeadlineTimer deadline)
{
    KeySearch search(key, name);
    QByteArray block(256 * 1024, Qt::Uninitialized);
    QByteArray line;
    bool skipping = false; // in a line longer than kMaxLine
    for (;;) {
        if (deadline.hasExpired())
            return std::nullopt;
        const qint64 n = registryFile.read(block.data(), block.size());
        if (n <= 0)
            break;
        qsizetype at = 0;
        while (at < n) {
            const char* start = block.constData() + at;
            const auto* end = static_cast<const char*>(std::memchr(start, '\n', size_t(n - at)));
            const qsizetype length = end ? end - start : n - at;
            if (!skipping) {
                if (line.size() + length > kMaxLine) {
                    skipping = true;
                    line.clear();
                } else {
                    line.append(start, length);
                }
            }
            at += length;
            if (end) {
                ++at;
                if (!skipping && !search.line(line))
                    return search.result();
                line.clear();
                skipping = false;
            }
        }
    }
    if (!skipping && !line.isEmpty())
        search.line(line);
    return search.result();
}

DosDevices::Drives DosDevices::read(const QString& prefix)
{
    Drives drives;
    const QDir devices(prefix + QStringLiteral("/dosdevices"));
    if (!devices.exists()) {
        drives.insert(QLatin1Char('c'), prefix + QStringLiteral("/drive_c"));
        return drives;
    }
    const QFileInfoList entries = devices.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName().toLower();
        if (name.size() != 2 || name.at(1) != QLatin1Char(':') || !name.at(0).isLetter() || !entry.isSymLink())
            continue;
        QString target = entry.symLinkTarget(); // absolute, relative links resolved against the folder
        if (target.isEmpty())
            continue;
        drives.insert(name.at(0), QDir::cleanPath(target));
    }
    return drives;
}

QString DosDevices::toLinuxPath(const QString& windowsPath, const Drives& drives)
{
    const QString path = windowsPath.trimmed();
    if (path.size() < 2 || path.at(1) != QLatin1Char(':') || !path.at(0).isLetter())
        return QString();
    const auto drive = drives.constFind(path.at(0).toLower());
    if (drive == drives.constEnd() || drive->isEmpty())
        return QString();
    QStringList parts;
    // No Windows name holds a NUL, and the system would cut the path there.
    if (path.contains(QChar(0)))
        return QString();
    for (const QString& part : path.mid(2).split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts << part;
    }
    // Windows ignores letter case; the folders on the drive may not.
    return PathCase::resolve(*drive, parts.join(QLatin1Char('/')));
}
