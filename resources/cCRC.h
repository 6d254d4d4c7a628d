#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

// The standard CRC-32 (reflected polynomial 0xEDB88320, final complement), as used by zip and
// Ethernet.
class cCRC
{
public:
    cCRC();

    // The checksum of the first `lLen` bytes, continuing `lCRC` (the result over earlier blocks, 0 to
    // begin). An empty block leaves `lCRC` as it is. Throws OrvError 9 when `lLen` is negative or
    // larger than the array.
    quint32 CRC32(const QByteArray& bArrayIn, qint32 lLen, quint32 lCRC = 0) const;

private:
    std::array<quint32, 256> m_table;
};
