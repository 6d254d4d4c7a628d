#pragma once

#include "XmlElement.h"

#include <QByteArray>
#include <QStringList>
#include <limits>
#include <memory>

// An XML document of elements and character data, read and written as the stored objects need it.
// Reading keeps what Qt's DOM keeps of a document (elements and their text; comments, processing
// instructions and character data of blanks alone are dropped) and refuses what it refuses; writing
// gives the DOM's compact form byte for byte. Far lighter than the DOM: a state file of ten thousand
// auctions reads in a fraction of the time.
class XmlDocument
{
public:
    XmlDocument();

    // Replaces the document by the one in `bytes`; false, leaving the document empty, when they are no
    // well-formed XML or nest elements deeper than `maxDepth` (the top element is at depth 1), also
    // through the entities of a document type.
    bool setContent(const QByteArray& bytes, int maxDepth = std::numeric_limits<int>::max());
    // The top element; null in an empty document.
    XmlElement documentElement() const;
    // Appends an element named `name` to the document itself (its top element, when it has none yet).
    XmlElement appendElement(const QString& name);
    // UTF-8, no declaration, no indentation, no line breaks.
    QByteArray toByteArray() const;
    // The read elements that no lookup has handed out and whose text nobody read, each as the path of
    // names from the top element ("Root/Auctions/Wish"); those inside one listed are not listed again.
    QStringList unreachedElements() const;

private:
    std::shared_ptr<XmlNodes> m_nodes;
};
