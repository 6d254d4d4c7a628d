#include "cHex.h"

namespace {

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QString cHex::HexToStr(const QString& HexText, qint32 Separators)
{
    const QByteArray hex = HexText.toLatin1();
    const qsizetype stride = qMax<qint32>(Separators, 0) + 2;
    const qsizetype count = hex.size() == 2 ? 1 : (hex.size() + 1) / stride;
    QByteArray bytes;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = i * stride;
        if (at + 1 >= hex.size())
            break;
        const int high = digitValue(hex.at(at));
        const int low = digitValue(hex.at(at + 1));
        if (high >= 0 && low >= 0)
            bytes.append(char(high * 16 + low));
    }
    return QString::fromLatin1(bytes);
}

QString cHex::StrToHex(const QString& Text, const QString& Separator)
{
    static const char digits[] = "0123456789ABCDEF";
    const QByteArray bytes = Text.toLatin1();
    const QString gap = Separator.isEmpty() ? QString() : QString(Separator.size(), Separator.at(0));
    QString out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += gap;
        const auto b = quint8(bytes.at(i));
        out += QLatin1Char(digits[b >> 4]);
        out += QLatin1Char(digits[b & 0xF]);
    }
    return out;
}
