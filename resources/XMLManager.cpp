#include "XMLManager.h"

#include "OrvError.h"
#include "OwnerOnlyFile.h"

#include <QFile>
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
    CursorGuard(XmlElement& current, const XmlElement& next) : m_current(current), m_saved(current)
    {
        m_current = next;
    }
    ~CursorGuard() { m_current = m_saved; }
    CursorGuard(const CursorGuard&) = delete;
    CursorGuard& operator=(const CursorGuard&) = delete;

private:
    XmlElement& m_current;
    XmlElement m_saved;
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

} // namespace

XMLManager::XMLManager()
{
    resetToEmptyRoot();
}

void XMLManager::resetToEmptyRoot()
{
    m_document = XmlDocument();
    m_current = m_document.appendElement(rootName);
}

void XMLManager::checkCanAppend(const QString& name) const
{
    if (!isValidName(name))
        throw OrvError(OrvError::InvalidArgument, source,
                       QStringLiteral("'%1' is not a valid element name.").arg(name));
    if (m_current.isNull())
        throw OrvError(OrvError::ObjectNotSet, source, QStringLiteral("There is no current element."));
}

XmlElement XMLManager::NewNode(const QString& sName)
{
    checkCanAppend(sName);
    return m_current.appendElement(sName);
}

XmlElement XMLManager::SubNode(const QString& sName)
{
    checkCanAppend(sName);
    const XmlElement existing = m_current.firstChildElement(sName);
    if (!existing.isNull())
        return existing;
    return m_current.appendElement(sName);
}

XmlElement XMLManager::ReplaceNode(const QString& sName)
{
    checkCanAppend(sName);
    const XmlElement existing = m_current.firstChildElement(sName);
    if (!existing.isNull())
        m_current.removeChild(existing);
    return m_current.appendElement(sName);
}

void XMLManager::Restore(IXMLPersist& persist, const XmlElement& node)
{
    CursorGuard guard(m_current, node);
    persist.Load(*this);
}

void XMLManager::Save(IXMLPersist& persist, const XmlElement& node)
{
    CursorGuard guard(m_current, node);
    persist.Save(*this);
}

void XMLManager::WriteProperty(const QString& sKey, const QString& sValue)
{
    checkCanAppend(sKey);
    m_current.appendElement(sKey).appendText(xmlSafe(sValue));
}

QString XMLManager::ReadProperty(const QString& sKey, const std::optional<QString>& defaultValue) const
{
    if (m_current.isNull())
        throw OrvError(OrvError::ObjectNotSet, source, QStringLiteral("There is no current element."));
    const XmlElement element = m_current.firstChildElement(sKey);
    if (!element.isNull())
        return element.text();
    return defaultValue.value_or(QString());
}

QList<XmlElement> XMLManager::SelectNodes(const QString& name) const
{
    QList<XmlElement> nodes;
    for (XmlElement e = m_current.firstChildElement(name); !e.isNull(); e = e.nextSiblingElement(name))
        nodes.append(e);
    return nodes;
}

void XMLManager::LoadFile(const QString& sFile)
{
    m_fileName = sFile;
    m_skipped.clear();
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
    XmlDocument document;
    if (readRegularFile(path, bytes) && document.setContent(bytes, MaxDepth) &&
        document.documentElement().tagName() == rootName) {
        m_document = document;
        m_current = m_document.documentElement();
        m_lastLoad = LoadResult::Loaded;
        return;
    }
    resetToEmptyRoot();
    m_lastLoad = LoadResult::Unreadable;
}

void XMLManager::noteSkipped(const QString& what)
{
    m_skipped.append(what);
}

QStringList XMLManager::skippedOnLoad() const
{
    return m_skipped + m_document.unreachedElements();
}

QByteArray XMLManager::toBytes() const
{
    return m_document.toByteArray();
}

void XMLManager::SaveFile(const QString& sFile)
{
    const QString name = sFile.isEmpty() ? m_fileName : sFile;
    if (name.isEmpty())
        throw OrvError(OrvError::InvalidArgument, source, QStringLiteral("No file name to save to."));

    const QString failure = OwnerOnlyFile::write(name, toBytes());
    if (!failure.isEmpty())
        throw OrvError(OrvError::FileAccess, source,
                       QStringLiteral("Cannot write '%1': %2").arg(name, failure));
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
