#include "Registry.h"

#include "OrvError.h"

#include <QtEndian>
#include <limits>
#include <optional>

const QString Registry::Source = QStringLiteral("tmresources.Registry");

namespace {

QByteArray withoutFinalNul(QByteArray data)
{
    if (data.endsWith('\0'))
        data.chop(1);
    return data;
}

// A text with a "%" and another "%" at least two places further on names a variable.
bool holdsVariable(const QString& text)
{
    const qsizetype first = text.indexOf(QLatin1Char('%'));
    return first >= 0 && text.indexOf(QLatin1Char('%'), first + 2) >= 0;
}

// %NAME% becomes the environment variable's value; names that are not set stay as they are.
QString expandVariables(const QString& text)
{
    QString out;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('%'), from);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0)
            break;
        out += QStringView(text).mid(from, open - from);
        const QString name = text.mid(open + 1, close - open - 1);
        if (!name.isEmpty() && qEnvironmentVariableIsSet(name.toLocal8Bit().constData()))
            out += qEnvironmentVariable(name.toLocal8Bit().constData());
        else
            out += QStringView(text).mid(open, close - open + 1);
        from = close + 1;
    }
    out += QStringView(text).mid(from);
    return out;
}

QByteArray fourBytes(const QByteArray& data)
{
    QByteArray bytes = data.left(4);
    bytes.append(4 - bytes.size(), '\0');
    return bytes;
}

// A whole number of an integer kind that fits 32 bits; text, fractions and anything else give nothing.
std::optional<qint32> wholeLong(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong: {
        const qint64 n = value.toLongLong();
        if (n >= std::numeric_limits<qint32>::min() && n <= std::numeric_limits<qint32>::max())
            return qint32(n);
        return std::nullopt;
    }
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const quint64 n = value.toULongLong();
        if (n <= quint64(std::numeric_limits<qint32>::max()))
            return qint32(n);
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

Registry::Registry(RegistryStore store) : m_store(std::move(store)) {}

bool Registry::KeyExists() const
{
    return m_store.keyExists(ClassKey, SectionKey);
}

bool Registry::CreateKey()
{
    if (!m_store.keyExists(ClassKey, SectionKey) && !m_store.createKey(ClassKey, SectionKey))
        throw OrvError(ErrRegistry, Source, QStringLiteral("Failed to create registry Key: '") + SectionKey);
    return true;
}

bool Registry::DeleteKey()
{
    if (!m_store.deleteKey(ClassKey, SectionKey))
        throw OrvError(ErrRegistry, Source,
                       QStringLiteral("Failed to delete registry Key: '") + classKeyText() +
                           QStringLiteral("',Section: '") + SectionKey);
    return true;
}

bool Registry::DeleteValue()
{
    if (!m_store.keyExists(ClassKey, SectionKey))
        throw OrvError(ErrRegistry, Source,
                       QStringLiteral("Failed to open key '") + classKeyText() +
                           QStringLiteral("',Section: '") + SectionKey +
                           QStringLiteral("' for delete access"));
    if (!m_store.deleteValue(ClassKey, SectionKey, ValueKey))
        throw OrvError(ErrRegistry, Source,
                       QStringLiteral("Failed to delete registry Key: '") + classKeyText() +
                           QStringLiteral("',Section: '") + SectionKey + QStringLiteral("',Key: '") +
                           ValueKey);
    return true;
}

QVariant Registry::Value()
{
    const std::optional<RegistryStore::Value> stored = m_store.value(ClassKey, SectionKey, ValueKey);
    if (!stored)
        return Default;
    ValueType = ERegistryValueTypes(stored->type);
    switch (stored->type) {
    case REG_SZ:
    case REG_MULTI_SZ:
        return QString::fromUtf8(withoutFinalNul(stored->data));
    case REG_EXPAND_SZ:
        return expandVariables(QString::fromUtf8(withoutFinalNul(stored->data)));
    case REG_DWORD:
        return qFromLittleEndian<qint32>(fourBytes(stored->data).constData());
    case REG_DWORD_BIG_ENDIAN:
        return qFromBigEndian<qint32>(fourBytes(stored->data).constData());
    default:
        return stored->data;
    }
}

void Registry::setValue(const QVariant& value)
{
    const QString failure = QStringLiteral("Failed to set registry value Key: '") + classKeyText() +
                            QStringLiteral("',Section: '") + SectionKey + QStringLiteral("',Key: '") +
                            ValueKey + QStringLiteral("' to value: '") + value.toString() + QLatin1Char('\'');
    if (!m_store.keyExists(ClassKey, SectionKey) && !m_store.createKey(ClassKey, SectionKey))
        throw OrvError(ErrRegistry, Source, failure);

    std::optional<RegistryStore::Value> data;
    switch (ValueType) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        const QString text = value.toString();
        data = RegistryStore::Value{holdsVariable(text) ? REG_EXPAND_SZ : REG_SZ, text.toUtf8() + '\0'};
        break;
    }
    case REG_BINARY:
        if (value.typeId() != QMetaType::QByteArray)
            throw OrvError(ErrRegistry, QStringLiteral("tmresources"),
                           QStringLiteral("Application-defined or object-defined error"));
        data = RegistryStore::Value{REG_BINARY, value.toByteArray()};
        break;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        // Only a whole 32-bit number is written, always little-endian; anything else is refused
        // rather than reported as written.
        if (const std::optional<qint32> n = wholeLong(value)) {
            QByteArray bytes(4, '\0');
            qToLittleEndian(*n, bytes.data());
            data = RegistryStore::Value{REG_DWORD, bytes};
        }
        break;
    default:
        break;
    }
    if (!data || !m_store.setValue(ClassKey, SectionKey, ValueKey, *data))
        throw OrvError(ErrSetValue, Source, failure);
}

bool Registry::EnumerateValues(QStringList& sKeyNames, qint32& iKeyCount) const
{
    sKeyNames = m_store.valueNames(ClassKey, SectionKey).value_or(QStringList());
    iKeyCount = qint32(sKeyNames.size());
    return true;
}

bool Registry::EnumerateSections(QStringList& sSect, qint32& iSectCount) const
{
    sSect = m_store.keyNames(ClassKey, SectionKey).value_or(QStringList());
    iSectCount = qint32(sSect.size());
    return true;
}

void Registry::writeClassDefault(const QString& key, const QString& text) const
{
    const std::pair<ERegistryClassConstants, QString> places[] = {
        {HKEY_CLASSES_ROOT, key}, {HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Classes\\") + key}};
    for (const auto& [root, path] : places) {
        Registry target(m_store);
        target.ClassKey = root;
        target.SectionKey = path;
        target.ValueType = REG_SZ;
        target.setValue(text);
    }
}

void Registry::CreateEXEAssociation(QString sExePath, const QString& sClassName,
                                    const QString& sClassDescription, const QString& sAssociation,
                                    const QString& sOpenMenuText, bool bSupportPrint,
                                    const QString& sPrintMenuText, bool bSupportNew,
                                    const QString& sNewMenuText, bool bSupportInstall,
                                    const QString& sInstallMenuText, qint32 lDefaultIconIndex)
{
    sExePath = sExePath.trimmed();
    if (!sExePath.startsWith(QLatin1Char('"')))
        sExePath.prepend(QLatin1Char('"'));
    if (sExePath.size() < 2 || !sExePath.endsWith(QLatin1Char('"')))
        sExePath.append(QLatin1Char('"'));
    const auto orDefault = [](const QString& text, const QString& fallback) {
        return text.isEmpty() ? fallback : text;
    };
    const QString shell = sClassName + QStringLiteral("\\shell\\");

    writeClassDefault(QLatin1Char('.') + sAssociation, sClassName);
    writeClassDefault(sClassName, sClassDescription);
    writeClassDefault(shell + QStringLiteral("open"), orDefault(sOpenMenuText, QStringLiteral("&Open")));
    writeClassDefault(shell + QStringLiteral("open\\command"), sExePath + QStringLiteral(" \"%1\""));
    if (bSupportPrint) {
        writeClassDefault(shell + QStringLiteral("print"),
                          orDefault(sPrintMenuText, QStringLiteral("&Print")));
        writeClassDefault(shell + QStringLiteral("print\\command"), sExePath + QStringLiteral(" /p \"%1\""));
    }
    if (bSupportInstall) {
        writeClassDefault(shell + QStringLiteral("add"),
                          orDefault(sInstallMenuText, QStringLiteral("&Install ") + sAssociation));
        writeClassDefault(shell + QStringLiteral("add\\command"), sExePath + QStringLiteral(" /a \"%1\""));
    }
    if (bSupportNew) {
        writeClassDefault(shell + QStringLiteral("new"), orDefault(sNewMenuText, QStringLiteral("&New")));
        writeClassDefault(shell + QStringLiteral("new\\command"), sExePath + QStringLiteral(" /n \"%1\""));
    }
    if (lDefaultIconIndex >= 0)
        writeClassDefault(sClassName + QStringLiteral("\\DefaultIcon"),
                          sExePath + QLatin1Char(',') + QString::number(lDefaultIconIndex));
}

void Registry::CreateAdditionalEXEAssociations(const QString& sClassName, const QVariantList& vItems)
{
    if (vItems.size() % 3 != 0)
        throw OrvError(ErrAssociationList, Source,
                       QStringLiteral("Invalid parameter list passed to CreateAdditionalEXEAssociations - "
                                      "expected Name/Text/Command"));
    if (!m_store.keyExists(ClassKey, sClassName))
        throw OrvError(
            ErrAssociationClass, Source,
            QStringLiteral("Error - attempt to create additional associations before class defined."));
    for (qsizetype i = 0; i < vItems.size(); i += 3) {
        const QString verb = sClassName + QStringLiteral("\\shell\\") + vItems.at(i).toString();
        writeClassDefault(verb, vItems.at(i + 1).toString());
        writeClassDefault(verb + QStringLiteral("\\command"), vItems.at(i + 2).toString());
    }
}
