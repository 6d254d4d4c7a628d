#pragma once

#include <QString>
#include <QStringView>
#include <memory>

struct XmlNodes;

// One element of an XmlDocument, by reference: copies name the same element, and a handle keeps its
// document alive. The operations are those of the DOM that the stored objects rely on.
class XmlElement
{
public:
    XmlElement() = default;

    bool isNull() const { return !m_nodes; }
    QString tagName() const;
    // The character data of the element and of every element inside it, in document order.
    QString text() const;
    bool hasChildNodes() const;
    // The first, last or next element of that name (any name when `name` is empty); a null element when
    // there is none.
    XmlElement firstChildElement(QStringView name = {}) const;
    XmlElement lastChildElement(QStringView name = {}) const;
    XmlElement nextSiblingElement(QStringView name = {}) const;

    // Creates an element named `name` as the new last child and returns it.
    XmlElement appendElement(const QString& name);
    // Appends character data as the new last child.
    void appendText(const QString& text);
    // Takes `child`, with everything inside it, out of this element.
    void removeChild(const XmlElement& child);

    bool operator==(const XmlElement& other) const
    {
        return m_nodes == other.m_nodes && m_index == other.m_index;
    }

private:
    friend class XmlDocument;
    XmlElement(std::shared_ptr<XmlNodes> nodes, qint32 index);
    XmlElement sibling(qint32 from, QStringView name, bool forward) const;

    std::shared_ptr<XmlNodes> m_nodes;
    qint32 m_index = -1;
};
