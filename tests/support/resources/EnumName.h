#pragma once

#include <QMetaEnum>
#include <QString>

// The name of an enumeration's value ("OR2BidPrepared"), or its number when it has none: for the event
// logs that tests compare, so that a failure names states rather than numbers.
template <typename Enum> QString enumName(int value)
{
    const char* key = QMetaEnum::fromType<Enum>().valueToKey(value);
    return key ? QString::fromLatin1(key) : QString::number(value);
}
