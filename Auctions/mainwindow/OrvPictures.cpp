#include "OrvPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int lightSize = 32;

} // namespace

QIcon OrvPictures::light(const QString& key)
{
    if (key == QLatin1String("GREEN"))
        return QIcon(lamp(QColor(0x2e, 0xa0, 0x3c), lightSize));
    if (key == QLatin1String("YELLOW"))
        return QIcon(lamp(QColor(0xf2, 0xc4, 0x1b), lightSize));
    if (key == QLatin1String("RED"))
        return QIcon(lamp(QColor(0xd2, 0x2b, 0x2b), lightSize));
    if (key == QLatin1String("GREY"))
        return QIcon(lamp(QColor(0x9a, 0x9a, 0x9a), lightSize));
    if (key == QLatin1String("FLAG"))
        return QIcon(flag(lightSize));
    return QIcon();
}

QPixmap OrvPictures::lamp(const QColor& colour, int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(size * 0.1, size * 0.1, size * 0.8, size * 0.8);
    QRadialGradient shine(disc.center() - QPointF(size * 0.12, size * 0.12), size * 0.5);
    shine.setColorAt(0, colour.lighter(160));
    shine.setColorAt(1, colour);
    painter.setPen(QPen(colour.darker(170), size / 16.0));
    painter.setBrush(shine);
    painter.drawEllipse(disc);
    return picture;
}

QPixmap OrvPictures::flag(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), size / 12.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(size * 0.22, size * 0.1), QPointF(size * 0.22, size * 0.92));
    QPainterPath cloth;
    cloth.moveTo(size * 0.26, size * 0.12);
    cloth.cubicTo(size * 0.45, size * 0.04, size * 0.6, size * 0.24, size * 0.88, size * 0.14);
    cloth.lineTo(size * 0.88, size * 0.5);
    cloth.cubicTo(size * 0.6, size * 0.6, size * 0.45, size * 0.4, size * 0.26, size * 0.48);
    cloth.closeSubpath();
    painter.setPen(QPen(QColor(0x8a, 0x12, 0x12), size / 24.0));
    painter.setBrush(QColor(0xd2, 0x2b, 0x2b));
    painter.drawPath(cloth);
    return picture;
}

QPixmap OrvPictures::logo(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, lamp(QColor(0x2e, 0xa0, 0x3c), size));
    painter.drawPixmap(size / 5, size / 5, flag(size * 3 / 5));
    return picture;
}
