#pragma once

#include "ModelLog.h"
#include "ResumeNext.h"
#include "XMLManager.h"

#include <QHash>
#include <QList>
#include <QSharedPointer>

// Members in insertion order, each under a key that ignores letter case: the auctions by item number,
// the categories and the columns by name. It checks no rule of its owner's: the owner refuses a key
// that is taken before it adds.
template <typename Member> class KeyedCollection
{
public:
    using Ptr = QSharedPointer<Member>;

    const QList<Ptr>& items() const { return m_items; }
    qint32 count() const { return static_cast<qint32>(m_items.size()); }
    bool isEmpty() const { return m_items.isEmpty(); }
    bool contains(const QString& key) const { return m_byKey.contains(keyOf(key)); }
    // The member under `key`; null when there is none.
    Ptr value(const QString& key) const { return m_byKey.value(keyOf(key)); }
    void append(const QString& key, const Ptr& member)
    {
        m_items.append(member);
        m_byKey.insert(keyOf(key), member);
    }
    // Takes the member under `key` out and returns it; null when there is none.
    Ptr take(const QString& key)
    {
        const Ptr member = m_byKey.take(keyOf(key));
        if (member)
            m_items.removeOne(member);
        return member;
    }
    void clear()
    {
        m_items.clear();
        m_byKey.clear();
    }

    // Adds a member for each child element named `element` of the loader's current element, in document
    // order: `create` makes it, it restores itself from its element, and `keyOf` gives its key. A member
    // without a key, or with a key already held, is dropped and the first one stays; one that fails to
    // restore is dropped and logged. The loader is told of every member dropped.
    template <typename Create, typename KeyOf>
    void load(XMLManager& loader, const QString& element, Create create, KeyOf keyOfMember)
    {
        for (const XmlElement& node : loader.SelectNodes(element)) {
            QString key;
            bool kept = false;
            resumeNext(lcModel, [&] {
                const Ptr member = create();
                loader.Restore(*member, node);
                key = keyOfMember(*member);
                const QString folded = keyOf(key);
                if (key.isEmpty() || m_byKey.contains(folded))
                    return;
                m_items.append(member);
                m_byKey.insert(folded, member);
                kept = true;
            });
            if (!kept)
                loader.noteSkipped(element + QStringLiteral(" \"") + key + QLatin1Char('"'));
        }
    }

    // Writes the members in order, each into a new child element named `element`.
    void save(XMLManager& loader, const QString& element) const
    {
        for (const Ptr& member : m_items)
            resumeNext(lcModel, [&] { loader.Save(*member, loader.NewNode(element)); });
    }

private:
    static QString keyOf(const QString& key) { return key.toCaseFolded(); }

    QList<Ptr> m_items;
    QHash<QString, Ptr> m_byKey;
};
