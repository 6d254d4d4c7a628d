#pragma once

#include <QByteArray>

struct XmlNodes;

// Reads the plain form of XML that the program itself writes, many times faster than a general
// reader: elements without attributes, character data with the predefined entities and character
// references, UTF-8 without a byte-order mark. Whatever else it meets (a declaration, a comment, CDATA,
// an attribute, a carriage return, a name or a character it is not sure of, a document that is not
// well-formed) makes it give up, and the caller reads the document with the general reader instead:
// what this one accepts, it reads exactly as the general one does.
class PlainXmlReader
{
public:
    // Fills `nodes` (a fresh document) from `bytes`; false when it gave up, leaving `nodes` unusable.
    // It gives up, too, at an element nested deeper than `maxDepth` (the top element is at depth 1).
    static bool read(const QByteArray& bytes, XmlNodes& nodes, int maxDepth);
};
