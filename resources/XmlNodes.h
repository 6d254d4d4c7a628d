#pragma once

#include <QHash>
#include <QList>
#include <QString>

// The storage behind XmlDocument and XmlElement: every node of one document in one array, linked by
// index. A removed node stays in the array, unlinked, so that the indices of the others hold.
struct XmlNodes
{
    struct Node
    {
        QString name; // an element's tag; empty for character data and for the document itself
        QString text; // character data
        qint32 parent = -1;
        qint32 first = -1;
        qint32 last = -1;
        qint32 next = -1;
        qint32 previous = -1;
        bool element = false;
        // An element read from a file is not reached until a lookup hands it out or its text is read.
        bool reached = false;
    };

    // nodes[0] is the document. A QList, so that growing moves the nodes as plain memory.
    QList<Node> nodes{Node()};
    QHash<size_t, QString> names;

    // Element names repeat thousands of times in a state file: each distinct name is held once.
    template <typename View> QString name(View view)
    {
        const size_t key = qHash(view);
        const auto found = names.constFind(key);
        if (found != names.cend() && *found == view)
            return *found;
        QString copy = view.toString();
        if (found == names.cend())
            names.insert(key, copy);
        return copy;
    }

    // Appends a new last child to `parent` and returns its index.
    qint32 append(qint32 parent, QString name, QString text, bool element)
    {
        const auto index = static_cast<qint32>(nodes.size());
        nodes.emplaceBack();
        Node& node = nodes.last();
        node.name = std::move(name);
        node.text = std::move(text);
        node.element = element;
        node.parent = parent;
        Node& owner = nodes[parent];
        node.previous = owner.last;
        if (owner.last >= 0)
            nodes[owner.last].next = index;
        else
            owner.first = index;
        owner.last = index;
        return index;
    }

    // Only the flag changes: references to the nodes stay valid, as the list is never shared.
    void markReached(qint32 index) { nodes.data()[index].reached = true; }

    void detach(qint32 index)
    {
        Node& node = nodes[index];
        Node& owner = nodes[node.parent];
        (node.previous >= 0 ? nodes[node.previous].next : owner.first) = node.next;
        (node.next >= 0 ? nodes[node.next].previous : owner.last) = node.previous;
        node.parent = node.next = node.previous = -1;
    }
};

Q_DECLARE_TYPEINFO(XmlNodes::Node, Q_RELOCATABLE_TYPE);
