#include "XmlDocument.h"

#include "PlainXmlReader.h"
#include "XmlNodes.h"

#include <QHash>
#include <QXmlStreamReader>

namespace {

// Character data as the DOM writes it: "<" and "&" always escaped, ">" after "]]", and a carriage
// return as a reference so that it survives reading.
void appendEscaped(QString& out, const QString& text)
{
    qsizetype done = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        QLatin1String escaped;
        if (c == u'<')
            escaped = QLatin1String("&lt;");
        else if (c == u'&')
            escaped = QLatin1String("&amp;");
        else if (c == u'>' && i >= 2 && text.at(i - 1) == u']' && text.at(i - 2) == u']')
            escaped = QLatin1String("&gt;");
        else if (c == u'\r')
            escaped = QLatin1String("&#xd;");
        else
            continue;
        out += QStringView(text).sliced(done, i - done);
        out += escaped;
        done = i + 1;
    }
    out += QStringView(text).sliced(done);
}

// Reads any XML as Qt's DOM reads it: the same reader, and the same choice of what to keep. Elements
// are counted as the reader reports them, so that those a document type's entities expand to count too.
bool readGeneral(const QByteArray& bytes, XmlNodes& nodes, int maxDepth)
{
    QXmlStreamReader reader(bytes);
    reader.setNamespaceProcessing(false);

    // The prolog: declaration, document type, comments and processing instructions, none of them kept.
    bool typeSeen = false;
    bool inProlog = true;
    while (inProlog && !reader.atEnd()) {
        reader.readNext();
        if (reader.hasError())
            return false;
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartDocument:
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
            break;
        case QXmlStreamReader::DTD:
            if (std::exchange(typeSeen, true))
                return false;
            break;
        default:
            inProlog = false;
            break;
        }
    }

    qint32 current = 0;
    int depth = 0;
    while (!reader.atEnd() && !reader.hasError()) {
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartElement:
            if (++depth > maxDepth)
                return false;
            current = nodes.append(current, nodes.name(reader.qualifiedName()), QString(), true);
            break;
        case QXmlStreamReader::EndElement:
            if (current == 0)
                return false;
            current = nodes.nodes.at(current).parent;
            --depth;
            break;
        case QXmlStreamReader::Characters:
            // Character data of blanks alone is dropped, as the DOM drops it.
            if (!reader.isWhitespace() && (reader.isCDATA() || !reader.text().trimmed().isEmpty())) {
                if (current == 0)
                    return false;
                nodes.append(current, QString(), reader.text().toString(), false);
            }
            break;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
        case QXmlStreamReader::EntityReference:
            break;
        default:
            return false;
        }
        reader.readNext();
    }
    return !reader.hasError() && current == 0;
}

} // namespace

XmlDocument::XmlDocument() : m_nodes(std::make_shared<XmlNodes>()) {}

bool XmlDocument::setContent(const QByteArray& bytes, int maxDepth)
{
    // Every element and every piece of character data begins at or right after a "<". The estimate is
    // capped: a large file of anything but XML must not claim memory before it is refused.
    const qsizetype expectedNodes = qMin<qsizetype>(bytes.count('<') + 1, 1 << 20);
    for (const auto read : {&PlainXmlReader::read, &readGeneral}) {
        auto nodes = std::make_shared<XmlNodes>();
        nodes->nodes.reserve(expectedNodes);
        if (read(bytes, *nodes, maxDepth)) {
            m_nodes = std::move(nodes);
            return true;
        }
    }
    m_nodes = std::make_shared<XmlNodes>();
    return false;
}

XmlElement XmlDocument::documentElement() const
{
    return XmlElement(m_nodes, 0).firstChildElement();
}

XmlElement XmlDocument::appendElement(const QString& name)
{
    return XmlElement(m_nodes, 0).appendElement(name);
}

QByteArray XmlDocument::toByteArray() const
{
    const QList<XmlNodes::Node>& nodes = m_nodes->nodes;
    QString out;
    qint32 i = nodes[0].first;
    while (i >= 0) {
        const XmlNodes::Node& node = nodes[i];
        if (node.element) {
            out += QLatin1Char('<');
            out += node.name;
            if (node.first >= 0) {
                out += QLatin1Char('>');
                i = node.first;
                continue;
            }
            out += QLatin1String("/>");
        } else {
            appendEscaped(out, node.text);
        }
        // Close every element that this node ends, then on to the next node in document order.
        while (i > 0 && nodes[i].next < 0) {
            i = nodes[i].parent;
            if (i > 0) {
                out += QLatin1String("</");
                out += nodes[i].name;
                out += QLatin1Char('>');
            }
        }
        i = i > 0 ? nodes[i].next : -1;
    }
    return out.toUtf8();
}

QStringList XmlDocument::unreachedElements() const
{
    const QList<XmlNodes::Node>& nodes = m_nodes->nodes;
    QStringList unreached;
    QStringList path;
    qint32 i = nodes[0].first;
    while (i >= 0) {
        const XmlNodes::Node& node = nodes[i];
        bool descend = false;
        if (node.element) {
            path.append(node.name);
            if (!node.reached)
                unreached.append(path.join(QLatin1Char('/')));
            else
                descend = node.first >= 0;
            if (!descend)
                path.removeLast();
        }
        if (descend) {
            i = node.first;
            continue;
        }
        // On to the next node in document order, closing the elements that this one ends.
        while (i > 0 && nodes[i].next < 0) {
            i = nodes[i].parent;
            if (i > 0)
                path.removeLast();
        }
        i = i > 0 ? nodes[i].next : -1;
    }
    return unreached;
}
