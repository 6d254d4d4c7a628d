#include "XmlElement.h"

#include "XmlNodes.h"

XmlElement::XmlElement(std::shared_ptr<XmlNodes> nodes, qint32 index)
    : m_nodes(std::move(nodes)), m_index(index)
{
}

QString XmlElement::tagName() const
{
    return m_nodes ? m_nodes->nodes.at(m_index).name : QString();
}

QString XmlElement::text() const
{
    if (!m_nodes)
        return QString();
    const QList<XmlNodes::Node>& nodes = m_nodes->nodes;
    const XmlNodes::Node& self = nodes[m_index];
    // A value element holds one piece of character data: hand out that string itself.
    if (self.first >= 0 && self.first == self.last && !nodes[self.first].element)
        return nodes[self.first].text;
    QString text;
    qint32 i = self.first;
    while (i >= 0) {
        const XmlNodes::Node& node = nodes[i];
        if (!node.element)
            text += node.text;
        else
            m_nodes->markReached(i);
        if (node.first >= 0) {
            i = node.first;
            continue;
        }
        // On to the next node in document order, not leaving the element.
        while (i != m_index && nodes[i].next < 0)
            i = nodes[i].parent;
        i = i == m_index ? -1 : nodes[i].next;
    }
    return text;
}

bool XmlElement::hasChildNodes() const
{
    return m_nodes && m_nodes->nodes.at(m_index).first >= 0;
}

XmlElement XmlElement::sibling(qint32 from, QStringView name, bool forward) const
{
    const QList<XmlNodes::Node>& nodes = std::as_const(m_nodes->nodes);
    for (qint32 i = from; i >= 0; i = forward ? nodes[i].next : nodes[i].previous) {
        const XmlNodes::Node& node = nodes[i];
        if (node.element && (name.isEmpty() || node.name == name)) {
            m_nodes->markReached(i);
            return XmlElement(m_nodes, i);
        }
    }
    return XmlElement();
}

XmlElement XmlElement::firstChildElement(QStringView name) const
{
    return m_nodes ? sibling(m_nodes->nodes.at(m_index).first, name, true) : XmlElement();
}

XmlElement XmlElement::lastChildElement(QStringView name) const
{
    return m_nodes ? sibling(m_nodes->nodes.at(m_index).last, name, false) : XmlElement();
}

XmlElement XmlElement::nextSiblingElement(QStringView name) const
{
    return m_nodes ? sibling(m_nodes->nodes.at(m_index).next, name, true) : XmlElement();
}

XmlElement XmlElement::appendElement(const QString& name)
{
    if (!m_nodes)
        return XmlElement();
    const qint32 index = m_nodes->append(m_index, name, QString(), true);
    m_nodes->markReached(index);
    return XmlElement(m_nodes, index);
}

void XmlElement::appendText(const QString& text)
{
    if (m_nodes)
        m_nodes->append(m_index, QString(), text, false);
}

void XmlElement::removeChild(const XmlElement& child)
{
    if (m_nodes && child.m_nodes == m_nodes && m_nodes->nodes.at(child.m_index).parent == m_index)
        m_nodes->detach(child.m_index);
}
