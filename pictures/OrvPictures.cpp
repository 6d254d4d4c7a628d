#include "OrvPictures.h"

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

// Every picture is drawn on a 16 by 16 grid; the engine scales it to the size asked for.
using Draw = void (*)(QPainter&);

const QColor green(0x2e, 0xa0, 0x3c);
const QColor yellow(0xf2, 0xc4, 0x1b);
const QColor red(0xd2, 0x2b, 0x2b);
const QColor grey(0x9a, 0x9a, 0x9a);
const QColor white(0xf6, 0xf6, 0xf6);
const QColor ink(0x40, 0x40, 0x40);
const QColor sea(0x3a, 0x7f, 0xd0);

void lamp(QPainter& p, const QColor& colour, const QRectF& disc = QRectF(1.6, 1.6, 12.8, 12.8))
{
    QRadialGradient shine(disc.center() - QPointF(disc.width() * 0.15, disc.height() * 0.15),
                          disc.width() * 0.62);
    shine.setColorAt(0, colour.lighter(160));
    shine.setColorAt(1, colour);
    p.setPen(QPen(colour == white ? grey.darker(120) : colour.darker(170), 1.0));
    p.setBrush(shine);
    p.drawEllipse(disc);
}

void flag(QPainter& p)
{
    p.setPen(QPen(ink, 1.35, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 1.6), QPointF(3.5, 14.7));
    QPainterPath cloth;
    cloth.moveTo(4.2, 1.9);
    cloth.cubicTo(7.2, 0.6, 9.6, 3.8, 14.1, 2.2);
    cloth.lineTo(14.1, 8.0);
    cloth.cubicTo(9.6, 9.6, 7.2, 6.4, 4.2, 7.7);
    cloth.closeSubpath();
    p.setPen(QPen(red.darker(160), 0.7));
    p.setBrush(red);
    p.drawPath(cloth);
}

void folder(QPainter& p, const QRectF& box = QRectF(1, 3, 14, 11))
{
    const qreal s = box.width() / 14.0;
    QPainterPath tab;
    tab.addRoundedRect(QRectF(box.left(), box.top(), 6 * s, 3 * s), 1 * s, 1 * s);
    p.setPen(QPen(QColor(0xa0, 0x78, 0x18), 0.8));
    p.setBrush(QColor(0xd9, 0xa5, 0x3a));
    p.drawPath(tab);
    QLinearGradient body(box.topLeft(), box.bottomLeft());
    body.setColorAt(0, QColor(0xf6, 0xd0, 0x6e));
    body.setColorAt(1, QColor(0xe0, 0xab, 0x3c));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(box.left(), box.top() + 1.6 * s, box.width(), box.height() - 1.6 * s), 1.2 * s,
                      1.2 * s);
}

void plus(QPainter& p, const QPointF& centre, qreal half, const QColor& colour)
{
    QPainterPath cross;
    const qreal arm = half * 0.36;
    cross.addRect(QRectF(centre.x() - half, centre.y() - arm, 2 * half, 2 * arm));
    cross.addRect(QRectF(centre.x() - arm, centre.y() - half, 2 * arm, 2 * half));
    cross.setFillRule(Qt::WindingFill);
    p.setPen(QPen(colour.darker(150), 0.7));
    p.setBrush(colour);
    p.drawPath(cross.simplified());
}

void cross(QPainter& p, const QPointF& centre, qreal half, const QColor& colour, qreal width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(-half, -half), centre + QPointF(half, half));
    p.drawLine(centre + QPointF(-half, half), centre + QPointF(half, -half));
}

void pencil(QPainter& p, const QPointF& tip, qreal length)
{
    p.save();
    p.translate(tip);
    p.rotate(-45);
    const qreal w = length * 0.28;
    QPainterPath point;
    point.moveTo(0, 0);
    point.lineTo(length * 0.25, -w / 2);
    point.lineTo(length * 0.25, w / 2);
    point.closeSubpath();
    p.setPen(QPen(ink, 0.6));
    p.setBrush(QColor(0xf0, 0xd8, 0xa8));
    p.drawPath(point);
    p.setBrush(QColor(0xf2, 0xb8, 0x1f));
    p.drawRect(QRectF(length * 0.25, -w / 2, length * 0.55, w));
    p.setBrush(QColor(0xe8, 0x8a, 0x9a));
    p.drawRect(QRectF(length * 0.8, -w / 2, length * 0.2, w));
    p.restore();
}

void globe(QPainter& p, const QRectF& disc)
{
    QRadialGradient water(disc.center() - QPointF(disc.width() * 0.2, disc.height() * 0.2),
                          disc.width() * 0.7);
    water.setColorAt(0, sea.lighter(150));
    water.setColorAt(1, sea);
    p.setPen(QPen(sea.darker(160), 0.8));
    p.setBrush(water);
    p.drawEllipse(disc);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 170), 0.6));
    p.drawEllipse(
        QRectF(disc.center().x() - disc.width() * 0.22, disc.top(), disc.width() * 0.44, disc.height()));
    p.drawLine(QPointF(disc.left(), disc.center().y()), QPointF(disc.right(), disc.center().y()));
}

void circularArrow(QPainter& p, const QRectF& ring, qreal startDegrees, qreal spanDegrees,
                   const QColor& colour)
{
    p.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(ring, qRound(startDegrees * 16), qRound(spanDegrees * 16));
    // The head at the arc's end, pointing along it.
    const qreal end = qDegreesToRadians(startDegrees + spanDegrees);
    const QPointF centre = ring.center();
    const qreal r = ring.width() / 2;
    const QPointF at(centre.x() + r * qCos(end), centre.y() - r * qSin(end));
    const qreal direction = spanDegrees > 0 ? 1 : -1;
    const QPointF along(-qSin(end) * direction, -qCos(end) * direction);
    const QPointF across(qCos(end), -qSin(end));
    QPolygonF head;
    head << at + along * 3.2 << at + across * 2.6 << at - across * 2.6;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

void drawBlank(QPainter&) {}

void drawCategory(QPainter& p)
{
    folder(p);
}

void drawBasket(QPainter& p)
{
    p.setPen(QPen(QColor(0x8a, 0x55, 0x1e), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4, 2.5, 8, 9), 0, 180 * 16);
    QPainterPath body;
    body.moveTo(1.5, 7);
    body.lineTo(14.5, 7);
    body.lineTo(12.6, 14.2);
    body.lineTo(3.4, 14.2);
    body.closeSubpath();
    p.setPen(QPen(QColor(0x8a, 0x55, 0x1e), 0.8));
    p.setBrush(QColor(0xcf, 0x8e, 0x45));
    p.drawPath(body);
    p.setPen(QPen(QColor(0x8a, 0x55, 0x1e), 0.7));
    for (qreal x : {5.5, 8.0, 10.5})
        p.drawLine(QPointF(x, 8), QPointF(x + (x - 8) * 0.12, 13.4));
}

void drawDownload(QPainter& p, const QColor& state)
{
    globe(p, QRectF(0.8, 0.8, 11.5, 11.5));
    lamp(p, state, QRectF(8.2, 8.2, 7.2, 7.2));
}

void drawIeYellow(QPainter& p)
{
    drawDownload(p, yellow);
}

void drawIeRed(QPainter& p)
{
    drawDownload(p, red);
}

void drawIeGreen(QPainter& p)
{
    drawDownload(p, green);
}

void drawStar(QPainter& p)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal r = i % 2 == 0 ? 7.4 : 3.1;
        const qreal angle = qDegreesToRadians(-90.0 + i * 36.0);
        star << QPointF(8 + r * qCos(angle), 8.6 + r * qSin(angle));
    }
    p.setPen(QPen(QColor(0xb0, 0x84, 0x00), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xf7, 0xc8, 0x1e));
    p.drawPolygon(star);
}

void drawEye(QPainter& p)
{
    QPainterPath lids;
    lids.moveTo(0.8, 8);
    lids.quadTo(8, 0.6, 15.2, 8);
    lids.quadTo(8, 15.4, 0.8, 8);
    p.setPen(QPen(ink, 0.9));
    p.setBrush(Qt::white);
    p.drawPath(lids);
    p.setBrush(sea);
    p.drawEllipse(QPointF(8, 8), 3.2, 3.2);
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(8, 8), 1.4, 1.4);
}

void drawFailed(QPainter& p)
{
    lamp(p, red);
    cross(p, QPointF(8, 8), 3.0, Qt::white, 1.8);
}

void drawGavel(QPainter& p, const QColor& wood)
{
    p.setPen(QPen(wood.darker(170), 0.7));
    p.setBrush(wood.darker(115));
    p.drawRoundedRect(QRectF(1.5, 12.6, 8, 2.2), 0.6, 0.6);
    p.save();
    p.translate(8.6, 6.4);
    p.rotate(-45);
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(-1.0, 0, 2.0, 8.6), 0.8, 0.8);
    p.setBrush(wood.darker(125));
    p.drawRoundedRect(QRectF(-4.2, -3.4, 8.4, 3.8), 1.0, 1.0);
    p.restore();
}

void drawBid(QPainter& p)
{
    drawGavel(p, QColor(0xb0, 0x6a, 0x2c));
}

void drawLampYellow(QPainter& p)
{
    lamp(p, yellow);
}

void drawLampWhite(QPainter& p)
{
    lamp(p, white);
}

void drawLampRed(QPainter& p)
{
    lamp(p, red);
}

void drawLampGreen(QPainter& p)
{
    lamp(p, green);
}

void drawLampGrey(QPainter& p)
{
    lamp(p, grey);
}

void drawHot(QPainter& p)
{
    QPainterPath outer;
    outer.moveTo(8, 0.8);
    outer.cubicTo(9.5, 4.5, 14, 6.5, 13.4, 10.6);
    outer.cubicTo(13.0, 13.6, 10.6, 15.3, 8, 15.3);
    outer.cubicTo(5.0, 15.3, 2.6, 13.3, 2.7, 10.4);
    outer.cubicTo(2.8, 7.8, 4.6, 6.6, 5.2, 4.4);
    outer.cubicTo(6.4, 6.0, 6.6, 7.2, 6.4, 8.2);
    outer.cubicTo(8.2, 6.2, 8.6, 3.6, 8, 0.8);
    QLinearGradient fire(QPointF(8, 15), QPointF(8, 1));
    fire.setColorAt(0, QColor(0xd2, 0x2b, 0x0b));
    fire.setColorAt(1, QColor(0xff, 0x9a, 0x1e));
    p.setPen(QPen(QColor(0x9a, 0x1e, 0x06), 0.7));
    p.setBrush(fire);
    p.drawPath(outer);
    QPainterPath inner;
    inner.moveTo(8, 8);
    inner.cubicTo(9.4, 10, 10.8, 11, 10.4, 12.6);
    inner.cubicTo(10.0, 14.0, 6.0, 14.0, 5.7, 12.4);
    inner.cubicTo(5.5, 11, 7.6, 10.2, 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xe0, 0x5a));
    p.drawPath(inner);
}

void drawPreparing(QPainter& p)
{
    p.setPen(QPen(QColor(0x6a, 0x4a, 0x2a), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 1.5), QPointF(12.5, 1.5));
    p.drawLine(QPointF(3.5, 14.5), QPointF(12.5, 14.5));
    QPainterPath glass;
    glass.moveTo(4.5, 2);
    glass.lineTo(11.5, 2);
    glass.lineTo(8.7, 8);
    glass.lineTo(11.5, 14);
    glass.lineTo(4.5, 14);
    glass.lineTo(7.3, 8);
    glass.closeSubpath();
    p.setPen(QPen(ink, 0.7));
    p.setBrush(QColor(0xe6, 0xf0, 0xfa));
    p.drawPath(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xb8, 0x4a));
    p.drawPolygon(QPolygonF{QPointF(5.9, 3.6), QPointF(10.1, 3.6), QPointF(8, 7.2)});
    p.drawPolygon(QPolygonF{QPointF(8, 10.6), QPointF(10.8, 13.6), QPointF(5.2, 13.6)});
}

void drawBidding(QPainter& p)
{
    lamp(p, QColor(0xf0, 0x7c, 0x14));
    QPolygonF arrow{QPointF(8, 3.4),    QPointF(12, 8),  QPointF(9.5, 8), QPointF(9.5, 12.4),
                    QPointF(6.5, 12.4), QPointF(6.5, 8), QPointF(4, 8)};
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
}

void drawCancelled(QPainter& p)
{
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 2.0));
    p.setBrush(QColor(0xe4, 0xe4, 0xe4));
    p.drawEllipse(QRectF(2, 2, 12, 12));
    p.drawLine(QPointF(4.2, 4.2), QPointF(11.8, 11.8));
}

void drawStop(QPainter& p)
{
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        const qreal angle = qDegreesToRadians(22.5 + i * 45.0);
        octagon << QPointF(8 + 7.2 * qCos(angle), 8 + 7.2 * qSin(angle));
    }
    p.setPen(QPen(red.darker(160), 0.8));
    p.setBrush(red);
    p.drawPolygon(octagon);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.8, 6.8, 8.4, 2.4));
}

void drawUpdate(QPainter& p)
{
    circularArrow(p, QRectF(2.5, 2.5, 11, 11), 100, 270, green);
}

void drawUpdateAll(QPainter& p)
{
    const QRectF ring(2.5, 2.5, 11, 11);
    circularArrow(p, ring, 20, 140, sea);
    circularArrow(p, ring, 200, 140, green);
}

void drawNavigate(QPainter& p)
{
    globe(p, QRectF(0.8, 0.8, 12, 12));
    QPolygonF arrow{QPointF(8, 9),       QPointF(11.6, 9),    QPointF(11.6, 7.2), QPointF(15.4, 11.2),
                    QPointF(11.6, 15.2), QPointF(11.6, 13.4), QPointF(8, 13.4)};
    p.setPen(QPen(green.darker(160), 0.7));
    p.setBrush(green);
    p.drawPolygon(arrow);
}

void drawAdd(QPainter& p)
{
    plus(p, QPointF(8, 8), 6.5, green);
}

void page(QPainter& p)
{
    QPainterPath sheet;
    sheet.moveTo(2.5, 1);
    sheet.lineTo(9.5, 1);
    sheet.lineTo(13, 4.5);
    sheet.lineTo(13, 15);
    sheet.lineTo(2.5, 15);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 0.8));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setPen(QPen(QColor(0xa0, 0xa0, 0xa0), 0.8));
    for (qreal y : {5.5, 8.0, 10.5})
        p.drawLine(QPointF(4.5, y), QPointF(10.5, y));
}

void drawAdd2(QPainter& p)
{
    page(p);
    plus(p, QPointF(11, 11), 4.4, green);
}

void drawEdit(QPainter& p)
{
    pencil(p, QPointF(1.8, 14.2), 16.5);
}

void drawDelete(QPainter& p)
{
    cross(p, QPointF(8, 8), 5.4, red.darker(140), 3.6);
    cross(p, QPointF(8, 8), 5.4, red, 2.4);
}

void drawClock(QPainter& p)
{
    p.setPen(QPen(ink, 1.1));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1.2, 1.2, 13.6, 13.6));
    p.setPen(QPen(ink, 0.7));
    for (int i = 0; i < 12; i += 3) {
        const qreal angle = qDegreesToRadians(i * 30.0);
        p.drawLine(QPointF(8 + 5.2 * qCos(angle), 8 + 5.2 * qSin(angle)),
                   QPointF(8 + 6.2 * qCos(angle), 8 + 6.2 * qSin(angle)));
    }
    p.setPen(QPen(ink, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(8, 3.6));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.6));
    p.setPen(QPen(red, 0.7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(5, 11.6));
}

void drawConfig(QPainter& p)
{
    const QColor steel(0x7a, 0x86, 0x94);
    p.setPen(QPen(steel.darker(150), 0.7));
    p.setBrush(steel);
    QPainterPath gear;
    gear.addEllipse(QPointF(8, 8), 5.0, 5.0);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRect(QRectF(-1.3, -7.3, 2.6, 3.0));
        QTransform turn;
        turn.translate(8, 8);
        turn.rotate(i * 45.0);
        gear = gear.united(turn.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(8, 8), 2.0, 2.0);
    p.drawPath(gear.subtracted(hole));
}

void drawApp(QPainter& p)
{
    lamp(p, green, QRectF(0.8, 0.8, 14.4, 14.4));
    p.save();
    p.translate(3.2, 3.2);
    p.scale(0.6, 0.6);
    flag(p);
    p.restore();
}

void drawEditCat(QPainter& p)
{
    folder(p, QRectF(0.5, 1.5, 12, 9.5));
    pencil(p, QPointF(5.5, 15.2), 11);
}

void drawDelCat(QPainter& p)
{
    folder(p, QRectF(0.5, 1.5, 12, 9.5));
    cross(p, QPointF(11.6, 11.6), 2.8, red, 2.2);
}

void drawAddCat(QPainter& p)
{
    folder(p, QRectF(0.5, 1.5, 12, 9.5));
    plus(p, QPointF(11.5, 11.5), 4.0, green);
}

// The tree's pictures: the information lines and the category folders.

void drawItem(QPainter& p)
{
    // A parcel.
    const QColor card(0xc8, 0x96, 0x5a);
    p.setPen(QPen(card.darker(160), 0.8));
    p.setBrush(card);
    p.drawRect(QRectF(2, 5, 12, 9.5));
    p.setBrush(card.lighter(115));
    p.drawPolygon(QPolygonF{QPointF(2, 5), QPointF(4.5, 1.8), QPointF(16 - 4.5, 1.8), QPointF(14, 5)});
    p.setPen(QPen(QColor(0xf2, 0xe6, 0xc8), 1.4));
    p.drawLine(QPointF(8, 5), QPointF(8, 14.5));
}

void drawNone(QPainter& p)
{
    // A price tag, for the item number.
    QPainterPath tag;
    tag.moveTo(1.5, 8);
    tag.lineTo(6, 3);
    tag.lineTo(14.5, 3);
    tag.lineTo(14.5, 13);
    tag.lineTo(6, 13);
    tag.closeSubpath();
    p.setPen(QPen(ink, 0.8));
    p.setBrush(QColor(0xfa, 0xf0, 0xd2));
    p.drawPath(tag);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(5.2, 8), 1.1, 1.1);
    p.setPen(QPen(ink, 0.8));
    for (qreal y : {6.5, 9.5})
        p.drawLine(QPointF(8, y), QPointF(13, y));
}

void drawDollar(QPainter& p)
{
    // A gold coin with a dollar sign, drawn as strokes so that no font is needed.
    lamp(p, QColor(0xe0, 0xb0, 0x30));
    const QColor mark(0x5a, 0x40, 0x00);
    p.setPen(QPen(mark, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath s;
    s.moveTo(10.4, 5.6);
    s.cubicTo(9.4, 4.4, 5.6, 4.4, 5.6, 6.4);
    s.cubicTo(5.6, 8.2, 10.4, 7.8, 10.4, 9.8);
    s.cubicTo(10.4, 11.8, 6.6, 11.8, 5.6, 10.6);
    p.drawPath(s);
    p.drawLine(QPointF(8, 3.2), QPointF(8, 12.8));
}

void drawQuantity(QPainter& p)
{
    // Three stacked boxes.
    const QColor box(0x6a, 0x9a, 0xd8);
    p.setPen(QPen(box.darker(160), 0.7));
    p.setBrush(box);
    p.drawRect(QRectF(1.5, 9, 6, 5.5));
    p.drawRect(QRectF(8.5, 9, 6, 5.5));
    p.setBrush(box.lighter(125));
    p.drawRect(QRectF(5, 2.5, 6, 5.5));
}

void drawBids(QPainter& p)
{
    // Rising bars: the bids so far.
    const QColor bar(0x8a, 0x5c, 0xc8);
    p.setPen(QPen(bar.darker(160), 0.7));
    p.setBrush(bar);
    p.drawRect(QRectF(1.5, 10, 3.4, 4.5));
    p.drawRect(QRectF(6.3, 6.5, 3.4, 8));
    p.drawRect(QRectF(11.1, 2, 3.4, 12.5));
}

void drawMoney(QPainter& p)
{
    // A bank note.
    const QColor note(0x58, 0xa8, 0x5c);
    p.setPen(QPen(note.darker(170), 0.8));
    p.setBrush(note.lighter(130));
    p.drawRect(QRectF(0.8, 4, 14.4, 8));
    p.setBrush(note);
    p.drawEllipse(QPointF(8, 8), 2.6, 2.6);
    p.setPen(QPen(note.darker(140), 0.7));
    p.drawLine(QPointF(2.5, 6), QPointF(4, 6));
    p.drawLine(QPointF(12, 10), QPointF(13.5, 10));
}

void drawCalendar(QPainter& p)
{
    p.setPen(QPen(ink, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 13, 12));
    p.setBrush(red);
    p.drawRect(QRectF(1.5, 2.5, 13, 3.2));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col)
            p.drawRect(QRectF(3 + col * 2.8, 7.2 + row * 2.3, 1.5, 1.3));
    }
}

void drawSmile(QPainter& p)
{
    lamp(p, yellow);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(5.6, 6.4), 1.0, 1.2);
    p.drawEllipse(QPointF(10.4, 6.4), 1.0, 1.2);
    p.setPen(QPen(ink, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4.2, 5.2, 7.6, 6.2), 200 * 16, 140 * 16);
}

void drawComment(QPainter& p)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1, 1.8, 14, 9.4), 2.6, 2.6);
    QPainterPath tail;
    tail.moveTo(4, 10);
    tail.lineTo(3.2, 14.6);
    tail.lineTo(8, 10.6);
    tail.closeSubpath();
    p.setPen(QPen(ink, 0.8));
    p.setBrush(Qt::white);
    p.drawPath(bubble.united(tail));
    p.setPen(QPen(grey.darker(120), 0.8));
    for (qreal y : {4.6, 7.2})
        p.drawLine(QPointF(3.5, y), QPointF(12.5, y));
}

// The category folders of the tree: closed or open, with a padlock for a category with a win limit.
void closedFolder(QPainter& p)
{
    folder(p, QRectF(1, 2.5, 14, 11));
}

void openFolder(QPainter& p)
{
    const QRectF box(1, 2.5, 14, 11);
    folder(p, box);
    // The front flap falls open.
    QPainterPath flap;
    flap.moveTo(box.left() + 2.6, box.top() + 4.6);
    flap.lineTo(box.right() + 0.6, box.top() + 4.6);
    flap.lineTo(box.right() - 2.0, box.bottom());
    flap.lineTo(box.left(), box.bottom());
    flap.closeSubpath();
    p.setPen(QPen(QColor(0xa0, 0x78, 0x18), 0.8));
    p.setBrush(QColor(0xfb, 0xe0, 0x94));
    p.drawPath(flap);
}

void padlock(QPainter& p)
{
    p.setPen(QPen(ink, 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(10.2, 7.2, 4.2, 5.0), 0, 180 * 16);
    p.setPen(QPen(QColor(0x80, 0x10, 0x10), 0.6));
    p.setBrush(red);
    p.drawRect(QRectF(9.4, 9.6, 5.8, 5.0));
}

void drawClosed(QPainter& p)
{
    closedFolder(p);
}

void drawOpen(QPainter& p)
{
    openFolder(p);
}

void drawClosed2(QPainter& p)
{
    closedFolder(p);
    padlock(p);
}

void drawOpen2(QPainter& p)
{
    openFolder(p);
    padlock(p);
}

const QHash<QString, Draw>& drawings()
{
    static const QHash<QString, Draw> table{
        // The list's report icons.
        {QStringLiteral("blank"), drawBlank},
        {QStringLiteral("category"), drawCategory},
        {QStringLiteral("ieyellow"), drawIeYellow},
        {QStringLiteral("iered"), drawIeRed},
        {QStringLiteral("iegreen"), drawIeGreen},
        {QStringLiteral("star"), drawStar},
        {QStringLiteral("eye"), drawEye},
        {QStringLiteral("failed"), drawFailed},
        {QStringLiteral("bid"), drawBid},
        {QStringLiteral("yellow"), drawLampYellow},
        {QStringLiteral("white"), drawLampWhite},
        {QStringLiteral("red"), drawLampRed},
        {QStringLiteral("green"), drawLampGreen},
        {QStringLiteral("hot"), drawHot},
        {QStringLiteral("preparing"), drawPreparing},
        {QStringLiteral("bidding"), drawBidding},
        {QStringLiteral("cancelled"), drawCancelled},
        {QStringLiteral("basket"), drawBasket},
        // The lights (and the tray's "GREY"); "yellow", "red" and "green" are above.
        {QStringLiteral("grey"), drawLampGrey},
        // The buttons ("bid" is above).
        {QStringLiteral("stop"), drawStop},
        {QStringLiteral("updateall"), drawUpdateAll},
        {QStringLiteral("update"), drawUpdate},
        {QStringLiteral("navigate"), drawNavigate},
        {QStringLiteral("add"), drawAdd},
        {QStringLiteral("edit"), drawEdit},
        {QStringLiteral("delete"), drawDelete},
        {QStringLiteral("clock"), drawClock},
        {QStringLiteral("config"), drawConfig},
        {QStringLiteral("add2"), drawAdd2},
        {QStringLiteral("app"), drawApp},
        {QStringLiteral("editcat"), drawEditCat},
        {QStringLiteral("delcat"), drawDelCat},
        {QStringLiteral("addcat"), drawAddCat},
        // The tree's information lines and category folders ("clock", "bid", "star", ... are above).
        {QStringLiteral("item"), drawItem},
        {QStringLiteral("none"), drawNone},
        {QStringLiteral("dollar"), drawDollar},
        {QStringLiteral("quantity"), drawQuantity},
        {QStringLiteral("bids"), drawBids},
        {QStringLiteral("money"), drawMoney},
        {QStringLiteral("calendar"), drawCalendar},
        {QStringLiteral("smile"), drawSmile},
        {QStringLiteral("comment"), drawComment},
        {QStringLiteral("closed"), drawClosed},
        {QStringLiteral("open"), drawOpen},
        {QStringLiteral("closed2"), drawClosed2},
        {QStringLiteral("open2"), drawOpen2},
        // The tray's flag while bidding.
        {QStringLiteral("flag"), flag},
    };
    return table;
}

class PaintedIconEngine : public QIconEngine
{
public:
    explicit PaintedIconEngine(Draw draw) : m_draw(draw) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(size.width() / 16.0, size.height() / 16.0);
            m_draw(painter);
        }
        if (mode == QIcon::Disabled)
            greyOut(image);
        return QPixmap::fromImage(image);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48), QSize(64, 64)};
    }

    QIconEngine* clone() const override { return new PaintedIconEngine(m_draw); }
    QString key() const override { return QStringLiteral("OrvPictures"); }

private:
    static void greyOut(QImage& image)
    {
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(line[x]) / 2;
                const int level = qGray(line[x]) / 2;
                line[x] = qRgba(level, level, level, alpha);
            }
        }
    }

    Draw m_draw;
};

} // namespace

QIcon OrvPictures::icon(const QString& key)
{
    static QHash<QString, QIcon> made;
    const QString name = key.toLower();
    if (const auto found = made.constFind(name); found != made.constEnd())
        return *found;
    const Draw draw = drawings().value(name);
    if (!draw)
        return QIcon();
    return *made.insert(name, QIcon(new PaintedIconEngine(draw)));
}

QStringList OrvPictures::keys()
{
    return drawings().keys();
}

QIcon OrvPictures::light(const QString& key)
{
    static const QStringList trayKeys{QStringLiteral("GREEN"), QStringLiteral("YELLOW"),
                                      QStringLiteral("RED"), QStringLiteral("FLAG"), QStringLiteral("GREY")};
    return trayKeys.contains(key) ? icon(key) : QIcon();
}

QPixmap OrvPictures::logo(int size)
{
    return icon(QStringLiteral("app")).pixmap(size, size);
}
