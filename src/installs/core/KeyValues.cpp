#include "installs/core/KeyValues.h"

namespace {

// Reading position over the text; tokens are strings, "{" and "}".
class Reader {
public:
    explicit Reader(const QByteArray& text)
        : m_text(text)
    {
    }

    enum class Token { End, Text, Open, Close };

    Token next(QByteArray* text)
    {
        skipSpaceAndComments();
        if (m_pos >= m_text.size())
            return Token::End;
        const char c = m_text.at(m_pos);
        if (c == '{') {
            ++m_pos;
            return Token::Open;
        }
        if (c == '}') {
            ++m_pos;
            return Token::Close;
        }
        text->clear();
        if (c == '"') {
            ++m_pos;
            while (m_pos < m_text.size() && m_text.at(m_pos) != '"') {
                char ch = m_text.at(m_pos++);
                if (ch == '\\' && m_pos < m_text.size()) {
                    const char escaped = m_text.at(m_pos++);
                    switch (escaped) {
                    case 'n':
                        ch = '\n';
                        break;
                    case 't':
                        ch = '\t';
                        break;
                    case '\\':
                    case '"':
                        ch = escaped;
                        break;
                    default: // an unknown escape stands for itself, backslash included
                        text->append('\\');
                        ch = escaped;
                        break;
                    }
                }
                text->append(ch);
            }
            ++m_pos; // the closing quote (or past the end)
            return Token::Text;
        }
        // A bare word runs to the next space, quote or brace.
        while (m_pos < m_text.size()) {
            const char ch = m_text.at(m_pos);
            if (isSpace(ch) || ch == '"' || ch == '{' || ch == '}')
                break;
            text->append(ch);
            ++m_pos;
        }
        return Token::Text;
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

    void skipSpaceAndComments()
    {
        while (m_pos < m_text.size()) {
            const char c = m_text.at(m_pos);
            if (isSpace(c)) {
                ++m_pos;
            } else if (c == '/' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == '/') {
                while (m_pos < m_text.size() && m_text.at(m_pos) != '\n')
                    ++m_pos;
            } else {
                return;
            }
        }
    }

    const QByteArray& m_text;
    qsizetype m_pos = 0;
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

QList<KeyValue> KeyValues::parse(const QByteArray& text)
{
    Reader reader(text);
    QList<KeyValue> entries;
    readEntries(reader, entries, 0);
    return entries;
}
