#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QList>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// A whole list of records as it travels in one answer, a Qt data stream (version Qt_6_0): the field
// names (QStringList), their types (QByteArray, one letter per field: 's' text as UTF-8 bytes, 'x'
// qint64, 'i' qint32, 'd' double, 'b' bool), the number of records (quint32), then each record's values
// in the names' order. Each record's part is made once per change and kept; a list is those parts laid
// end to end, which costs the program no more than copying them.
namespace RecordPack {

inline constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_0;

inline void writeText(QDataStream& stream, const QString& text)
{
    stream << text.toUtf8();
}

// The list of `records` (parts written field by field in the order of `names` and `types`).
inline QByteArray packList(const QStringList& names, const QByteArray& types,
                           const QList<QByteArray>& records)
{
    QByteArray head;
    QDataStream stream(&head, QIODevice::WriteOnly);
    stream.setVersion(streamVersion);
    stream << names << types << quint32(records.size());
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
    QByteArray types;
    quint32 count = 0;
    stream >> names >> types >> count;
    if (stream.status() != QDataStream::Ok || names.size() != types.size())
        return {};
    QVariantList records;
    // A count is believed only as far as the bytes can hold it.
    records.reserve(qMin<qsizetype>(count, packed.size() / qMax<qsizetype>(1, names.size())));
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        QVariantMap record;
        for (qsizetype field = 0; field < names.size(); ++field) {
            QVariant value;
            switch (types.at(field)) {
            case 's': {
                QByteArray text;
                stream >> text;
                value = QString::fromUtf8(text);
                break;
            }
            case 'x': {
                qint64 number = 0;
                stream >> number;
                value = number;
                break;
            }
            case 'i': {
                qint32 number = 0;
                stream >> number;
                value = number;
                break;
            }
            case 'd': {
                double number = 0;
                stream >> number;
                value = number;
                break;
            }
            case 'b': {
                bool flag = false;
                stream >> flag;
                value = flag;
                break;
            }
            default:
                return {};
            }
            record.insert(names.at(field), value);
        }
        records << record;
    }
    if (stream.status() != QDataStream::Ok)
        return {};
    return records;
}

} // namespace RecordPack
