#include "cCRC.h"

#include "OrvError.h"

cCRC::cCRC()
{
    for (quint32 i = 0; i < 256; ++i) {
        quint32 entry = i;
        for (int bit = 0; bit < 8; ++bit)
            entry = (entry & 1) ? (entry >> 1) ^ 0xEDB88320u : entry >> 1;
        m_table[i] = entry;
    }
}

quint32 cCRC::CRC32(const QByteArray& bArrayIn, qint32 lLen, quint32 lCRC) const
{
    if (lLen < 0 || lLen > bArrayIn.size())
        throw OrvError(9, QStringLiteral("cCRC::CRC32"), QStringLiteral("Subscript out of range"));
    quint32 crc = ~lCRC;
    for (qint32 i = 0; i < lLen; ++i)
        crc = (crc >> 8) ^ m_table[(crc ^ quint8(bArrayIn.at(i))) & 0xFF];
    return ~crc;
}
