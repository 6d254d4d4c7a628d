#include "RegistryStore.h"

#include "OwnerOnlyFile.h"
#include "UnreadableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QStandardPaths>
#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <vector>

namespace {

constexpr qint64 firstRoot = std::numeric_limits<qint32>::min(); // HKEY_CLASSES_ROOT
const std::array<QString, 4> rootNames{QStringLiteral("HKEY_CLASSES_ROOT"),
                                       QStringLiteral("HKEY_CURRENT_USER"),
                                       QStringLiteral("HKEY_LOCAL_MACHINE"), QStringLiteral("HKEY_USERS")};
// Another process holding the lock is busy for milliseconds; a dead one's lock goes stale.
constexpr int lockWaitMs = 1000;
// A lock file without its owner's process number (the writer died between making it and filling it in)
// counts as stale this soon. A live holder is safe all the same: the lock library never removes a file
// whose holder still has it locked at the file-system level.
constexpr int ownerlessLockStaleMs = 100;

struct StoredValue
{
    QString name;
    RegistryStore::Value value;
};

struct Key
{
    QString name;
    std::vector<StoredValue> values;
    std::vector<Key> keys;
};

using Tree = std::array<Key, 4>;

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList splitPath(const QString& path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

template <typename List> auto findNamed(List& list, const QString& name) -> decltype(&list.front())
{
    for (auto& entry : list) {
        if (sameName(entry.name, name))
            return &entry;
    }
    return nullptr;
}

template <typename TreeT>
auto findKey(TreeT& tree, qint32 root, const QString& path) -> decltype(&tree.front())
{
    const qint64 index = qint64(root) - firstRoot;
    if (index < 0 || index >= qint64(tree.size()))
        return nullptr;
    auto* key = &tree[std::size_t(index)];
    for (const QString& part : splitPath(path)) {
        key = findNamed(key->keys, part);
        if (!key)
            return nullptr;
    }
    return key;
}

Key* createKey(Tree& tree, qint32 root, const QString& path)
{
    const qint64 index = qint64(root) - firstRoot;
    if (index < 0 || index >= qint64(tree.size()))
        return nullptr;
    Key* key = &tree[std::size_t(index)];
    for (const QString& part : splitPath(path)) {
        Key* child = findNamed(key->keys, part);
        if (!child) {
            key->keys.push_back(Key{part, {}, {}});
            child = &key->keys.back();
        }
        key = child;
    }
    return key;
}

// --- the file ---------------------------------------------------------------------------------------

QJsonObject keyToJson(const Key& key, bool isRoot)
{
    QJsonArray values;
    for (const StoredValue& v : key.values) {
        QJsonObject entry{{QStringLiteral("name"), v.name}, {QStringLiteral("type"), v.value.type}};
        if (RegistryStore::isTextType(v.value.type)) {
            QByteArray text = v.value.data;
            if (text.endsWith('\0'))
                text.chop(1);
            entry.insert(QStringLiteral("text"), QString::fromUtf8(text));
        } else {
            entry.insert(QStringLiteral("data"), QString::fromLatin1(v.value.data.toBase64()));
        }
        values.append(entry);
    }
    QJsonArray keys;
    for (const Key& child : key.keys)
        keys.append(keyToJson(child, false));
    QJsonObject object{{QStringLiteral("values"), values}, {QStringLiteral("keys"), keys}};
    if (!isRoot)
        object.insert(QStringLiteral("name"), key.name);
    return object;
}

bool valueFromJson(const QJsonValue& json, StoredValue& out)
{
    const QJsonObject o = json.toObject();
    const QJsonValue name = o.value(QStringLiteral("name"));
    const QJsonValue type = o.value(QStringLiteral("type"));
    if (!json.isObject() || !name.isString() || !type.isDouble())
        return false;
    out.name = name.toString();
    out.value.type = type.toInt();
    if (RegistryStore::isTextType(out.value.type)) {
        const QJsonValue text = o.value(QStringLiteral("text"));
        if (!text.isString())
            return false;
        out.value.data = text.toString().toUtf8() + '\0';
        return true;
    }
    const QJsonValue data = o.value(QStringLiteral("data"));
    if (!data.isString())
        return false;
    auto decoded =
        QByteArray::fromBase64Encoding(data.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return false;
    out.value.data = *decoded;
    return true;
}

bool keyFromJson(const QJsonValue& json, Key& out, bool isRoot)
{
    const QJsonObject o = json.toObject();
    const QJsonValue values = o.value(QStringLiteral("values"));
    const QJsonValue keys = o.value(QStringLiteral("keys"));
    if (!json.isObject() || !values.isArray() || !keys.isArray())
        return false;
    if (!isRoot) {
        const QJsonValue name = o.value(QStringLiteral("name"));
        if (!name.isString() || name.toString().isEmpty())
            return false;
        out.name = name.toString();
    }
    for (const QJsonValue& v : values.toArray()) {
        StoredValue value;
        if (!valueFromJson(v, value))
            return false;
        out.values.push_back(std::move(value));
    }
    for (const QJsonValue& k : keys.toArray()) {
        Key child;
        if (!keyFromJson(k, child, false))
            return false;
        out.keys.push_back(std::move(child));
    }
    return true;
}

enum class ReadResult
{
    Read,
    Missing,
    Corrupt,
    Unreadable
};

ReadResult readTree(const QString& path, Tree& tree)
{
    tree = Tree{};
    QFile file(path);
    if (!file.exists())
        return ReadResult::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return ReadResult::Unreadable;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return ReadResult::Corrupt;
    const QJsonObject top = document.object();
    for (const QString& member : top.keys()) {
        const auto name = std::find(rootNames.begin(), rootNames.end(), member);
        if (name == rootNames.end())
            return ReadResult::Corrupt;
        if (!keyFromJson(top.value(member), tree[std::size_t(name - rootNames.begin())], true)) {
            tree = Tree{};
            return ReadResult::Corrupt;
        }
    }
    return ReadResult::Read;
}

// What a reader sees: a missing, corrupt or unreadable file holds no keys.
Tree snapshot(const QString& path)
{
    Tree tree;
    if (readTree(path, tree) != ReadResult::Read)
        tree = Tree{};
    return tree;
}

bool writeTree(const QString& path, const Tree& tree)
{
    QJsonObject top;
    for (std::size_t i = 0; i < tree.size(); ++i) {
        if (!tree[i].keys.empty() || !tree[i].values.empty())
            top.insert(rootNames[i], keyToJson(tree[i], true));
    }
    const QByteArray bytes = QJsonDocument(top).toJson(QJsonDocument::Indented);
    return OwnerOnlyFile::write(path, bytes).isEmpty();
}

bool ensureFolder(const QString& path)
{
    return OwnerOnlyFile::makeFolder(QFileInfo(path).absolutePath());
}

// Read, change and write back under the lock. `change` returns false when there is nothing to write.
bool modify(const QString& path, const std::function<bool(Tree&)>& change)
{
    if (!ensureFolder(path))
        return false;
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(ownerlessLockStaleMs);
    if (!lock.tryLock(lockWaitMs))
        return false;
    Tree tree;
    switch (readTree(path, tree)) {
    case ReadResult::Unreadable:
        return false; // never overwrite what could not be read
    case ReadResult::Corrupt:
        if (UnreadableFile::keepAside(path).isEmpty())
            return false;
        break;
    case ReadResult::Read:
    case ReadResult::Missing:
        break;
    }
    return change(tree) && writeTree(path, tree);
}

} // namespace

RegistryStore::RegistryStore(QString filePath) : m_filePath(std::move(filePath)) {}

QString RegistryStore::defaultFilePath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("auction-orv/registry.json"));
}

bool RegistryStore::isTextType(qint32 type)
{
    return type == 1 || type == 2 || type == 7;
}

bool RegistryStore::keyExists(qint32 root, const QString& path) const
{
    const Tree tree = snapshot(m_filePath);
    return findKey(tree, root, path) != nullptr;
}

std::optional<RegistryStore::Value> RegistryStore::value(qint32 root, const QString& path,
                                                         const QString& name) const
{
    const Tree tree = snapshot(m_filePath);
    const Key* key = findKey(tree, root, path);
    if (!key)
        return std::nullopt;
    const StoredValue* stored = findNamed(key->values, name);
    if (!stored)
        return std::nullopt;
    return stored->value;
}

std::optional<QStringList> RegistryStore::valueNames(qint32 root, const QString& path) const
{
    const Tree tree = snapshot(m_filePath);
    const Key* key = findKey(tree, root, path);
    if (!key)
        return std::nullopt;
    QStringList names;
    for (const StoredValue& v : key->values)
        names.append(v.name);
    return names;
}

std::optional<QStringList> RegistryStore::keyNames(qint32 root, const QString& path) const
{
    const Tree tree = snapshot(m_filePath);
    const Key* key = findKey(tree, root, path);
    if (!key)
        return std::nullopt;
    QStringList names;
    for (const Key& k : key->keys)
        names.append(k.name);
    return names;
}

bool RegistryStore::createKey(qint32 root, const QString& path)
{
    return modify(m_filePath, [&](Tree& tree) { return ::createKey(tree, root, path) != nullptr; });
}

bool RegistryStore::deleteKey(qint32 root, const QString& path)
{
    QStringList parts = splitPath(path);
    if (parts.isEmpty())
        return false;
    const QString name = parts.takeLast();
    return modify(m_filePath, [&](Tree& tree) {
        Key* parent = findKey(tree, root, parts.join(QLatin1Char('\\')));
        if (!parent)
            return false;
        for (auto it = parent->keys.begin(); it != parent->keys.end(); ++it) {
            if (sameName(it->name, name)) {
                if (!it->keys.empty())
                    return false;
                parent->keys.erase(it);
                return true;
            }
        }
        return false;
    });
}

bool RegistryStore::setValue(qint32 root, const QString& path, const QString& name, const Value& value)
{
    return modify(m_filePath, [&](Tree& tree) {
        Key* key = ::createKey(tree, root, path);
        if (!key)
            return false;
        if (StoredValue* stored = findNamed(key->values, name))
            stored->value = value;
        else
            key->values.push_back(StoredValue{name, value});
        return true;
    });
}

bool RegistryStore::deleteValue(qint32 root, const QString& path, const QString& name)
{
    return modify(m_filePath, [&](Tree& tree) {
        Key* key = findKey(tree, root, path);
        if (!key)
            return false;
        for (auto it = key->values.begin(); it != key->values.end(); ++it) {
            if (sameName(it->name, name)) {
                key->values.erase(it);
                return true;
            }
        }
        return false;
    });
}
