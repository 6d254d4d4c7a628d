#pragma once

#include "IXMLPersist.h"
#include "XmlDocument.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

// One XML document and a cursor on one of its elements (the current element). Stored objects write
// their properties as child elements of their own element; the manager knows nothing of their contents.
class XMLManager
{
    Q_GADGET
public:
    // How the last LoadFile went. Anything but Loaded leaves an empty "Root" current. Unreadable: something
    // is in the file's place but gives no document (malformed, a wrong top element, nested deeper than
    // MaxDepth, or not a regular file at all, such as a pipe or a device).
    enum class LoadResult
    {
        NotLoaded,
        Loaded,
        Missing,
        Unreadable
    };
    Q_ENUM(LoadResult)

    // Elements nested deeper than this make a file unreadable; stored objects nest a few levels.
    static constexpr int MaxDepth = 64;

    XMLManager();

    XmlElement Node() const { return m_current; }
    XmlElement NewNode(const QString& sName);
    XmlElement SubNode(const QString& sName);
    XmlElement ReplaceNode(const QString& sName);
    void Restore(IXMLPersist& persist, const XmlElement& node);
    void Save(IXMLPersist& persist, const XmlElement& node);
    void WriteProperty(const QString& sKey, const QString& sValue);
    QString ReadProperty(const QString& sKey,
                         const std::optional<QString>& defaultValue = std::nullopt) const;
    void LoadFile(const QString& sFile);
    void SaveFile(const QString& sFile = QString());

    // The child elements of the current element named `name`, in document order.
    QList<XmlElement> SelectNodes(const QString& name) const;

    LoadResult lastLoad() const { return m_lastLoad; }
    // A stored object that reads a member and drops it (a second one of the same key, one without a key)
    // says so here, as "<element> <what>".
    void noteSkipped(const QString& what);
    // What the stored objects have not taken of the loaded file so far: the members they dropped, and the
    // elements none of them read (as paths, "Root/Auctions"). Empty when the next save writes all of it.
    QStringList skippedOnLoad() const;
    // The document as written by SaveFile: UTF-8, no declaration, no indentation.
    QByteArray toBytes() const;

    // Drops the characters that XML 1.0 cannot hold (C0 controls but tab, CR and LF, lone surrogates,
    // U+FFFE and U+FFFF), so that no scraped text can make the file unreadable.
    static QString xmlSafe(const QString& text);

private:
    // Refuses a name that is no XML name, and a manager without a current element.
    void checkCanAppend(const QString& name) const;
    void resetToEmptyRoot();

    XmlDocument m_document;
    XmlElement m_current;
    QString m_fileName;
    LoadResult m_lastLoad = LoadResult::NotLoaded;
    QStringList m_skipped;
};
