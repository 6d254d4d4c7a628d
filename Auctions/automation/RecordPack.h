#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QList>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// A whole list of records as it travels in one answer: the field names once, the number of records,
// then each record's values in the names' order. Each record's part is made once per change and kept;
// a list is those parts laid end to end, which costs the program no more than copying them.
namespace RecordPack {

inline constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_0;

// One record's part: its values in the order of `names`.
inline QByteArray packRecord(const QVariantMap& record, const QStringList& names)
{
    QByteArray packed;
    QDataStream stream(&packed, QIODevice::WriteOnly);
    stream.setVersion(streamVersion);
    for (const QString& name : names)
        stream << record.value(name);
    return packed;
}

// The list of `records` (parts made by packRecord with the same `names`).
inline QByteArray packList(const QStringList& names, const QList<QByteArray>& records)
{
    QByteArray head;
    QDataStream stream(&head, QIODevice::WriteOnly);
    stream.setVersion(streamVersion);
    stream << names << quint32(records.size());
    qsizetype size = head.size();
    for (const QByteArray& record : records)
        size += record.size();
    QByteArray packed;
    packed.reserve(size);
    packed += head;
    for (const QByteArray& record : records)
        packed += record;
    return packed;
}

// The records of a packed list, each as a map by field name; empty when the list does not read.
inline QVariantList unpackList(const QByteArray& packed)
{
    QDataStream stream(packed);
    stream.setVersion(streamVersion);
    QStringList names;
    quint32 count = 0;
    stream >> names >> count;
    QVariantList records;
    // A count is believed only as far as the bytes can hold it.
    records.reserve(qMin<qsizetype>(count, packed.size() / qMax<qsizetype>(1, names.size())));
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        QVariantMap record;
        for (const QString& name : std::as_const(names)) {
            QVariant value;
            stream >> value;
            record.insert(name, value);
        }
        records << record;
    }
    if (stream.status() != QDataStream::Ok)
        return {};
    return records;
}

} // namespace RecordPack
