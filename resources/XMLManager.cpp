#include "XMLManager.h"

#include "OrvError.h"
#include "OwnerOnlyFile.h"

#include <QFile>
#include <QXmlStreamReader>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString source = QStringLiteral("XMLManager");
const QString rootName = QStringLiteral("Root");

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char(':');
}

bool isValidName(const QString& name)
{
    if (name.isEmpty() || !isNameStart(name.front()))
        return false;
    for (QChar c : name) {
        if (!(isNameStart(c) || c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('.')))
            return false;
    }
    return true;
}

// Restores the cursor when Restore or Save ends, also when the object's Load or Save throws.
class CursorGuard
{
public:
    CursorGuard(QDomElement& current, const QDomElement& next) : m_current(current), m_saved(current)
    {
        m_current = next;
    }
    ~CursorGuard() { m_current = m_saved; }
    CursorGuard(const CursorGuard&) = delete;
    CursorGuard& operator=(const CursorGuard&) = delete;

private:
    QDomElement& m_current;
    QDomElement m_saved;
};

// Reads `path` when it is a regular file. A pipe would wait for a writer and a device may never end, so
// neither is opened at all; the check is made again on the opened file, in case it was swapped meanwhile.
bool readRegularFile(const QByteArray& path, QByteArray& bytes)
{
    struct stat info = {};
    if (::stat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    QFile file;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// True unless elements nest deeper than `limit`, read by a streaming reader. Entities that a document
// type declares can nest elements that its text does not show, so a file with one is read this way.
bool streamNestsWithin(const QByteArray& bytes, int limit)
{
    QXmlStreamReader reader(bytes);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > limit)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return true;
}

// The position just past `end` at or after `from`, or the end of the text.
const char* pastEnd(const char* from, const char* last, const char* end)
{
    const size_t length = std::strlen(end);
    const void* found = ::memmem(from, size_t(last - from), end, length);
    return found ? static_cast<const char*>(found) + length : last;
}

// True unless elements nest deeper than `limit`: checked before the document is built, whose reading of
// an absurdly deep file takes minutes. Counted on the text itself (comments, sections, declarations
// and quoted values passed over), which takes a fraction of the document's own reading.
bool nestsWithin(const QByteArray& bytes, int limit)
{
    if (bytes.contains("<!DOCTYPE"))
        return streamNestsWithin(bytes, limit);
    const char* p = bytes.constData();
    const char* const last = p + bytes.size();
    int depth = 0;
    while ((p = static_cast<const char*>(std::memchr(p, '<', size_t(last - p)))) && ++p < last) {
        if (*p == '/') {
            --depth;
            p = pastEnd(p, last, ">");
        } else if (*p == '?') {
            p = pastEnd(p, last, "?>");
        } else if (*p == '!') {
            p = pastEnd(p, last,
                        std::strncmp(p, "!--", 3) == 0 ? "-->"
                                                       : (std::strncmp(p, "![CDATA[", 8) == 0 ? "]]>" : ">"));
        } else {
            char quote = 0;
            const char* q = p;
            for (; q < last && (quote || *q != '>'); ++q) {
                if (quote ? *q == quote : (*q == '"' || *q == '\''))
                    quote = quote ? 0 : *q;
            }
            if (q < last && q[-1] != '/' && ++depth > limit)
                return false;
            p = q;
        }
    }
    return true;
}

} // namespace

XMLManager::XMLManager()
{
    resetToEmptyRoot();
}

void XMLManager::resetToEmptyRoot()
{
    m_document = QDomDocument();
    m_current = m_document.createElement(rootName);
    m_document.appendChild(m_current);
}

QDomElement XMLManager::createElement(const QString& name)
{
    if (!isValidName(name))
        throw OrvError(5, source, QStringLiteral("'%1' is not a valid element name.").arg(name));
    if (m_current.isNull())
        throw OrvError(91, source, QStringLiteral("There is no current element."));
    return m_document.createElement(name);
}

QDomElement XMLManager::NewNode(const QString& sName)
{
    QDomElement element = createElement(sName);
    m_current.appendChild(element);
    return element;
}

QDomElement XMLManager::SubNode(const QString& sName)
{
    QDomElement element = createElement(sName);
    const QDomElement existing = m_current.firstChildElement(sName);
    if (!existing.isNull())
        return existing;
    m_current.appendChild(element);
    return element;
}

QDomElement XMLManager::ReplaceNode(const QString& sName)
{
    QDomElement element = createElement(sName);
    QDomElement existing = m_current.firstChildElement(sName);
    if (!existing.isNull())
        existing.parentNode().removeChild(existing);
    m_current.appendChild(element);
    return element;
}

void XMLManager::Restore(IXMLPersist& persist, const QDomElement& node)
{
    CursorGuard guard(m_current, node);
    persist.Load(*this);
}

void XMLManager::Save(IXMLPersist& persist, const QDomElement& node)
{
    CursorGuard guard(m_current, node);
    persist.Save(*this);
}

void XMLManager::WriteProperty(const QString& sKey, const QString& sValue)
{
    QDomElement element = createElement(sKey);
    element.appendChild(m_document.createTextNode(xmlSafe(sValue)));
    m_current.appendChild(element);
}

QString XMLManager::ReadProperty(const QString& sKey, const std::optional<QString>& defaultValue) const
{
    if (m_current.isNull())
        throw OrvError(91, source, QStringLiteral("There is no current element."));
    const QDomElement element = m_current.firstChildElement(sKey);
    if (!element.isNull())
        return element.text();
    return defaultValue.value_or(QString());
}

QList<QDomElement> XMLManager::SelectNodes(const QString& name) const
{
    QList<QDomElement> nodes;
    for (QDomElement e = m_current.firstChildElement(name); !e.isNull(); e = e.nextSiblingElement(name))
        nodes.append(e);
    return nodes;
}

void XMLManager::LoadFile(const QString& sFile)
{
    m_fileName = sFile;
    const QByteArray path = QFile::encodeName(sFile);
    struct stat info = {};
    if (::lstat(path.constData(), &info) != 0) {
        resetToEmptyRoot();
        m_lastLoad = LoadResult::Missing;
        return;
    }
    // Anything in the file's place that is not a regular file, or nests deeper than any stored object,
    // counts as unreadable; so does a wrong top element. The objects then load their defaults.
    QByteArray bytes;
    QDomDocument document;
    if (readRegularFile(path, bytes) && nestsWithin(bytes, MaxDepth) && document.setContent(bytes) &&
        document.documentElement().tagName() == rootName) {
        m_document = document;
        m_current = m_document.documentElement();
        m_lastLoad = LoadResult::Loaded;
        return;
    }
    resetToEmptyRoot();
    m_lastLoad = LoadResult::Unreadable;
}

QByteArray XMLManager::toBytes() const
{
    return m_document.toByteArray(-1);
}

void XMLManager::SaveFile(const QString& sFile)
{
    const QString name = sFile.isEmpty() ? m_fileName : sFile;
    if (name.isEmpty())
        throw OrvError(5, source, QStringLiteral("No file name to save to."));

    const QString failure = OwnerOnlyFile::write(name, toBytes());
    if (!failure.isEmpty())
        throw OrvError(75, source, QStringLiteral("Cannot write '%1': %2").arg(name, failure));
}

QString XMLManager::xmlSafe(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append(c);
            out.append(text.at(++i));
            continue;
        }
        if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF)
            continue;
        if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D)
            continue;
        out.append(c);
    }
    return out;
}
