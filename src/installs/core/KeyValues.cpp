// SPDX-License-Identifier: GPL-3.0-or-later
#include "installs/core/KeyValues.h"

#include <QBuffer>
#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {

// Characters from a device through a buffer of its own, so that the text
// never needs to be in memory whole.
class Source {
public:
    explicit Source(QIODevice& device, QDeadlineTimer deadline)
        : m_device(device)
        , m_deadline(deadline)
    {
    }

    // The character `ahead` places on (0 or 1) without taking it; -1 past the end.
    int peek(int ahead = 0)
    {
        if (m_size - m_pos <= ahead && !fill())
            return -1;
        return m_size - m_pos > ahead ? uchar(m_buffer[m_pos + ahead]) : -1;
    }
    int get()
    {
        const int c = peek();
        if (c >= 0)
            ++m_pos;
        return c;
    }

    // Takes the characters before the first for which `stop` is true,
    // appending them to `text` (when given) up to kMaxText; that character
    // (not taken), or -1 at the end. A run at a time, not a call a character.
    template <class Stop> int takeUntil(QByteArray* text, Stop stop)
    {
        for (;;) {
            if (m_pos >= m_size && !fill())
                return -1;
            qint64 end = m_pos;
            while (end < m_size && !stop(uchar(m_buffer[end])))
                ++end;
            if (text) {
                const qint64 room = KeyValues::kMaxText - text->size();
                if (room > 0)
                    text->append(m_buffer + m_pos, qsizetype(std::min(end - m_pos, room)));
            }
            m_pos = end;
            if (end < m_size)
                return uchar(m_buffer[end]);
        }
    }

private:
    // Keeps what is left and reads more after it; false when nothing came.
    bool fill()
    {
        const qint64 left = m_size - m_pos;
        std::memmove(m_buffer, m_buffer + m_pos, size_t(left));
        m_pos = 0;
        m_size = left;
        if (m_deadline.hasExpired())
            return false;
        const qint64 n = m_device.read(m_buffer + left, qint64(sizeof m_buffer) - left);
        if (n <= 0)
            return false;
        m_size += n;
        return true;
    }

    QIODevice& m_device;
    QDeadlineTimer m_deadline;
    char m_buffer[64 * 1024];
    qint64 m_pos = 0;
    qint64 m_size = 0;
};

// Tokens of the text: strings, "{" and "}".
class Reader {
public:
    explicit Reader(QIODevice& device, QDeadlineTimer deadline = QDeadlineTimer::Forever)
        : m_source(device, deadline)
    {
    }

    enum class Token { End, Text, Open, Close };

    Token next(QByteArray* text)
    {
        skipSpaceAndComments();
        const int c = m_source.peek();
        if (c < 0)
            return Token::End;
        if (c == '{') {
            m_source.get();
            return Token::Open;
        }
        if (c == '}') {
            m_source.get();
            return Token::Close;
        }
        text->clear();
        if (c == '"') {
            m_source.get();
            for (;;) {
                const int stop = m_source.takeUntil(text, [](int ch) { return ch == '"' || ch == '\\'; });
                if (stop < 0)
                    break;
                m_source.get();
                if (stop == '"')
                    break;
                if (m_source.peek() < 0) {
                    append(text, '\\');
                    break;
                }
                const int escaped = m_source.get();
                switch (escaped) {
                case 'n':
                    append(text, '\n');
                    break;
                case 't':
                    append(text, '\t');
                    break;
                case '\\':
                case '"':
                    append(text, char(escaped));
                    break;
                default: // an unknown escape stands for itself, backslash included
                    append(text, '\\');
                    append(text, char(escaped));
                    break;
                }
            }
            return Token::Text;
        }
        // A bare word runs to the next space, quote or brace.
        m_source.takeUntil(text, [](int ch) { return isSpace(ch) || ch == '"' || ch == '{' || ch == '}'; });
        return Token::Text;
    }

private:
    static bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

    static void append(QByteArray* text, char c)
    {
        if (text->size() < KeyValues::kMaxText)
            text->append(c);
    }

    void skipSpaceAndComments()
    {
        for (;;) {
            const int c = m_source.takeUntil(nullptr, [](int ch) { return !isSpace(ch); });
            if (c != '/' || m_source.peek(1) != '/')
                return;
            m_source.takeUntil(nullptr, [](int ch) { return ch == '\n'; });
        }
    }

    Source m_source;
};

constexpr int kMaxDepth = 64;

// Reads entries until the end or a closing brace. An entry cut short by the
// end of the text keeps what was read of it.
void readEntries(Reader& reader, QList<KeyValue>& out, int depth)
{
    QByteArray text;
    for (;;) {
        const Reader::Token keyToken = reader.next(&text);
        if (keyToken != Reader::Token::Text)
            return; // end, a closing brace, or a stray opening brace
        KeyValue entry;
        entry.key = QString::fromUtf8(text);
        const Reader::Token valueToken = reader.next(&text);
        if (valueToken == Reader::Token::Text) {
            entry.value = QString::fromUtf8(text);
            out.append(entry);
        } else if (valueToken == Reader::Token::Open) {
            if (depth >= kMaxDepth)
                return;
            entry.isBlock = true;
            readEntries(reader, entry.children, depth + 1);
            out.append(entry);
        } else {
            return;
        }
    }
}

void writeText(QByteArray& out, const QString& text)
{
    out.append('"');
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '\\':
            out.append("\\\\");
            break;
        case '"':
            out.append("\\\"");
            break;
        case '\n':
            out.append("\\n");
            break;
        case '\t':
            out.append("\\t");
            break;
        default:
            out.append(c);
            break;
        }
    }
    out.append('"');
}

void writeEntries(QByteArray& out, const QList<KeyValue>& entries, int depth)
{
    const QByteArray indent(depth, '\t');
    for (const KeyValue& entry : entries) {
        out.append(indent);
        writeText(out, entry.key);
        if (entry.isBlock) {
            out.append('\n').append(indent).append("{\n");
            writeEntries(out, entry.children, depth + 1);
            out.append(indent).append("}\n");
        } else {
            out.append("\t\t");
            writeText(out, entry.value);
            out.append('\n');
        }
    }
}

} // namespace

const KeyValue* KeyValue::child(const QString& name) const
{
    for (const KeyValue& c : children) {
        if (c.key.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QString KeyValue::valueOf(const QString& name) const
{
    const KeyValue* c = child(name);
    return c && !c->isBlock ? c->value : QString();
}

bool KeyValue::operator==(const KeyValue& other) const
{
    return isBlock == other.isBlock && key == other.key && value == other.value && children == other.children;
}

QList<KeyValue> KeyValues::parse(const QByteArray& text)
{
    QByteArray copy = text; // shared, never detached: the buffer only reads
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    Reader reader(buffer);
    QList<KeyValue> entries;
    readEntries(reader, entries, 0);
    return entries;
}

QByteArray KeyValues::write(const QList<KeyValue>& entries)
{
    QByteArray out;
    writeEntries(out, entries, 0);
    return out;
}

void KeyValues::walk(QIODevice& device, const Visit& visit, QDeadlineTimer deadline)
{
    Reader reader(device, deadline);
    QStringList keys;
    QByteArray text;
    // The same reading as parse(): a key, then its value or its block.
    for (;;) {
        const Reader::Token keyToken = reader.next(&text);
        if (keyToken == Reader::Token::Close && !keys.isEmpty()) {
            keys.removeLast();
            continue;
        }
        if (keyToken != Reader::Token::Text)
            return;
        const QString key = QString::fromUtf8(text);
        const Reader::Token valueToken = reader.next(&text);
        if (valueToken == Reader::Token::Text) {
            keys.append(key);
            const bool more = visit(keys, QString::fromUtf8(text));
            keys.removeLast();
            if (!more)
                return;
        } else if (valueToken == Reader::Token::Open && keys.size() < kMaxDepth) {
            keys.append(key);
        } else {
            return;
        }
    }
}
