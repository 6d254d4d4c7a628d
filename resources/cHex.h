#pragma once

#include <QString>

// Text as a row of two-digit hexadecimal byte values and back. Text maps to bytes one character to
// one byte (Latin-1), so every byte value survives the round trip; other characters become "?".
class cHex
{
public:
    // Reads two digits (either case) every `Separators` + 2 characters. A pair holding a character
    // that is no hexadecimal digit, and a last half pair, yield nothing.
    static QString HexToStr(const QString& HexText, qint32 Separators = 1);
    // Upper-case digits, the gap between two values filled with the separator's first character
    // repeated to the separator's length.
    static QString StrToHex(const QString& Text, const QString& Separator = QStringLiteral(" "));
};
