#include "PlainXmlReader.h"

#include "XmlNodes.h"

#include <QLatin1StringView>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// The characters XML allows, as code points.
bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

class Reader
{
public:
    Reader(const QByteArray& bytes, XmlNodes& nodes, int maxDepth)
        : m_at(bytes.constData()), m_end(bytes.constData() + bytes.size()), m_nodes(nodes),
          m_maxDepth(maxDepth)
    {
    }

    bool read()
    {
        skipBlanks();
        if (!startTag())
            return false;
        while (m_current != 0) {
            if (m_at == m_end)
                return false;
            if (*m_at != '<') {
                if (!characters())
                    return false;
            } else if (m_at + 1 < m_end && m_at[1] == '/') {
                if (!endTag())
                    return false;
            } else if (!startTag()) {
                return false;
            }
        }
        skipBlanks();
        return m_at == m_end;
    }

private:
    void skipBlanks()
    {
        while (m_at < m_end && isBlank(*m_at))
            ++m_at;
    }

    // The name at m_at; empty when there is none.
    QLatin1StringView name()
    {
        const char* from = m_at;
        if (m_at < m_end && isNameStart(*m_at)) {
            while (m_at < m_end && isNameChar(*m_at))
                ++m_at;
        }
        return QLatin1StringView(from, m_at - from);
    }

    bool startTag()
    {
        if (m_at == m_end || *m_at != '<')
            return false;
        ++m_at;
        const QLatin1StringView tag = name();
        if (tag.isEmpty() || m_depth >= m_maxDepth)
            return false;
        const qint32 element = m_nodes.append(m_current, m_nodes.name(tag), QString(), true);
        if (m_at < m_end && *m_at == '>') {
            ++m_at;
            m_current = element;
            ++m_depth;
            return true;
        }
        if (m_end - m_at >= 2 && m_at[0] == '/' && m_at[1] == '>') {
            m_at += 2;
            // An empty top element ends the document.
            return true;
        }
        return false;
    }

    bool endTag()
    {
        m_at += 2;
        const QLatin1StringView tag = name();
        if (tag.isEmpty() || m_at == m_end || *m_at != '>' || m_nodes.nodes.at(m_current).name != tag)
            return false;
        ++m_at;
        m_current = m_nodes.nodes.at(m_current).parent;
        --m_depth;
        return true;
    }

    // The character data up to the next "<", kept unless it is blanks alone (as the DOM keeps it).
    bool characters()
    {
        const char* from = m_at;
        bool plain = true;
        while (m_at < m_end && *m_at != '<') {
            const auto c = static_cast<unsigned char>(*m_at);
            if (c == '&') {
                plain = false;
                if (!reference(nullptr))
                    return false;
            } else if (c >= 0x80) {
                if (!utf8())
                    return false;
            } else if ((c < 0x20 && c != '\t' && c != '\n') ||
                       (c == '>' && m_at - from >= 2 && m_at[-1] == ']' && m_at[-2] == ']')) {
                return false;
            } else {
                ++m_at;
            }
        }
        if (m_at == m_end)
            return false;
        QString text;
        if (plain) {
            text = QString::fromUtf8(from, m_at - from);
        } else {
            // Checked above: decode the references this time.
            const char* stop = m_at;
            m_at = from;
            text.reserve(stop - from);
            while (m_at < stop) {
                if (*m_at == '&') {
                    reference(&text);
                } else {
                    const char* run = m_at;
                    while (m_at < stop && *m_at != '&')
                        ++m_at;
                    text += QString::fromUtf8(run, m_at - run);
                }
            }
        }
        if (!QStringView(text).trimmed().isEmpty())
            m_nodes.append(m_current, QString(), text, false);
        return true;
    }

    // One of the five predefined entities or a character reference at m_at; appended to `text` when
    // it is given.
    bool reference(QString* text)
    {
        const char* semicolon = m_at + 1;
        while (semicolon < m_end && semicolon - m_at <= 12 && *semicolon != ';')
            ++semicolon;
        if (semicolon == m_end || *semicolon != ';')
            return false;
        const QLatin1StringView entity(m_at + 1, semicolon - m_at - 1);
        char32_t c = 0;
        if (entity == QLatin1StringView("amp"))
            c = '&';
        else if (entity == QLatin1StringView("lt"))
            c = '<';
        else if (entity == QLatin1StringView("gt"))
            c = '>';
        else if (entity == QLatin1StringView("quot"))
            c = '"';
        else if (entity == QLatin1StringView("apos"))
            c = '\'';
        else if (!characterReference(entity, c))
            return false;
        if (text)
            text->append(QStringView(QChar::fromUcs4(c)));
        m_at = semicolon + 1;
        return true;
    }

    static bool characterReference(QLatin1StringView entity, char32_t& c)
    {
        if (entity.size() < 2 || entity.front() != '#')
            return false;
        const bool hex = entity.at(1) == 'x';
        const QLatin1StringView digits = entity.sliced(hex ? 2 : 1);
        if (digits.isEmpty() || digits.size() > 7)
            return false;
        char32_t value = 0;
        for (const char d : digits) {
            int digit = -1;
            if (d >= '0' && d <= '9')
                digit = d - '0';
            else if (hex && d >= 'a' && d <= 'f')
                digit = d - 'a' + 10;
            else if (hex && d >= 'A' && d <= 'F')
                digit = d - 'A' + 10;
            if (digit < 0)
                return false;
            value = value * (hex ? 16 : 10) + char32_t(digit);
        }
        c = value;
        return isXmlChar(value);
    }

    // One well-formed UTF-8 sequence of a character XML allows.
    bool utf8()
    {
        const auto* at = reinterpret_cast<const unsigned char*>(m_at);
        const auto* end = reinterpret_cast<const unsigned char*>(m_end);
        qsizetype length = 0;
        char32_t c = 0;
        if (at[0] >= 0xC2 && at[0] <= 0xDF) {
            length = 2;
            c = at[0] & 0x1F;
        } else if (at[0] >= 0xE0 && at[0] <= 0xEF) {
            length = 3;
            c = at[0] & 0x0F;
        } else if (at[0] >= 0xF0 && at[0] <= 0xF4) {
            length = 4;
            c = at[0] & 0x07;
        } else {
            return false;
        }
        if (end - at < length)
            return false;
        for (qsizetype i = 1; i < length; ++i) {
            if ((at[i] & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (at[i] & 0x3F);
        }
        // Overlong forms and surrogates are not UTF-8; the rest must be characters XML allows.
        const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (c < least || (c >= 0xD800 && c <= 0xDFFF) || !isXmlChar(c))
            return false;
        m_at += length;
        return true;
    }

    const char* m_at;
    const char* m_end;
    XmlNodes& m_nodes;
    const int m_maxDepth;
    qint32 m_current = 0;
    // The open elements, m_current among them.
    int m_depth = 0;
};

} // namespace

bool PlainXmlReader::read(const QByteArray& bytes, XmlNodes& nodes, int maxDepth)
{
    return Reader(bytes, nodes, maxDepth).read();
}
