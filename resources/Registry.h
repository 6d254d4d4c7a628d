#pragma once

#include "RegistryStore.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

// The root keys and value types, known to Qt's meta-object system by their names; the namespace exists
// only for that, its names are used unqualified.
namespace RegistryEnums {
Q_NAMESPACE

enum ERegistryClassConstants : qint32
{
    HKEY_CLASSES_ROOT = -2147483647 - 1,
    HKEY_CURRENT_USER = -2147483647,
    HKEY_LOCAL_MACHINE = -2147483646,
    HKEY_USERS = -2147483645
};
Q_ENUM_NS(ERegistryClassConstants)

enum ERegistryValueTypes : qint32
{
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_LITTLE_ENDIAN = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_LINK = 6,
    REG_MULTI_SZ = 7,
    REG_RESOURCE_LIST = 8,
    REG_FULL_RESOURCE_DESCRIPTOR = 9,
    REG_RESOURCE_REQUIREMENTS_LIST = 10
};
Q_ENUM_NS(ERegistryValueTypes)

} // namespace RegistryEnums

using namespace RegistryEnums;

// One registry value, addressed by root key, key path, value name and value type; reads, writes,
// tests, creates, deletes and lists through the registry store. Failures raise OrvError with the
// numbers below and the source "tmresources.Registry".
class Registry
{
public:
    static constexpr qint32 ErrRegistry = 26001;
    static constexpr qint32 ErrSetValue = qint32(0x800469A9);
    static constexpr qint32 ErrAssociationList = qint32(0x800469AC);
    static constexpr qint32 ErrAssociationClass = qint32(0x800469AD);
    static const QString Source;

    Registry() = default;
    explicit Registry(RegistryStore store);

    ERegistryClassConstants ClassKey = ERegistryClassConstants(0);
    QString SectionKey;
    QString ValueKey; // empty: the key's default value
    ERegistryValueTypes ValueType = REG_NONE;
    QVariant Default;

    bool KeyExists() const;
    bool CreateKey();
    bool DeleteKey();
    bool DeleteValue();

    // The value as its type reads (text, a whole number for the DWORD types, bytes for the rest);
    // sets ValueType to the type found. A missing key or value gives Default and leaves ValueType.
    QVariant Value();
    // Writes by ValueType: text for REG_SZ and REG_EXPAND_SZ (stored as REG_EXPAND_SZ when it holds a
    // variable between two "%"), a byte array for REG_BINARY, a whole 32-bit number for the DWORD types.
    // Creates the key when it is missing.
    void setValue(const QVariant& value);

    // The names in the order they were created; a missing key gives an empty list. Always true.
    bool EnumerateValues(QStringList& sKeyNames, qint32& iKeyCount) const;
    bool EnumerateSections(QStringList& sSect, qint32& iSectCount) const;

    // Registers a file type: written below HKEY_CLASSES_ROOT and below HKEY_LOCAL_MACHINE
    // "SOFTWARE\Classes".
    void CreateEXEAssociation(QString sExePath, const QString& sClassName, const QString& sClassDescription,
                              const QString& sAssociation,
                              const QString& sOpenMenuText = QStringLiteral("&Open"),
                              bool bSupportPrint = false,
                              const QString& sPrintMenuText = QStringLiteral("&Print"),
                              bool bSupportNew = false, const QString& sNewMenuText = QStringLiteral("&New"),
                              bool bSupportInstall = false, const QString& sInstallMenuText = QString(),
                              qint32 lDefaultIconIndex = -1);
    // Adds verbs to a registered file type: `vItems` holds triples of verb name, menu text and command.
    void CreateAdditionalEXEAssociations(const QString& sClassName, const QVariantList& vItems);

private:
    QString classKeyText() const { return QString::number(qint32(ClassKey)); }
    void writeClassDefault(const QString& key, const QString& text) const;

    RegistryStore m_store;
};
