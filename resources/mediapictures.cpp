#include "resources/mediapictures.h"

#include <QPainter>
#include <QPainterPath>

#include "resources/paintedpixmap.h"

namespace MediaPictures {

namespace {

const QColor kInk(30, 90, 160);

// A transparent picture painted by draw(painter), which starts with the ink pen and no brush.
template <typename Draw>
QPixmap painted(Draw draw) {
    return paintedPixmap(kSize, [&](QPainter& p) {
        p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        draw(p);
    });
}

// An arc of the circle round the picture's centre, with an arrow head at its end.
void arrowArc(QPainter& p, qreal radius, int startDeg, int spanDeg) {
    const QPointF c(kSize / 2.0, kSize / 2.0);
    const QRectF circle(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
    QPainterPath arc;
    arc.arcMoveTo(circle, startDeg);
    arc.arcTo(circle, startDeg, spanDeg);
    p.drawPath(arc);
    const QPointF tip = arc.currentPosition();
    const qreal angle = arc.angleAtPercent(1.0);
    QPainterPath head;
    head.moveTo(tip);
    QTransform turn;
    turn.translate(tip.x(), tip.y());
    turn.rotate(-angle);
    head.lineTo(turn.map(QPointF(-5, -4)));
    head.lineTo(turn.map(QPointF(-5, 4)));
    head.closeSubpath();
    p.save();
    p.setBrush(kInk);
    p.setPen(Qt::NoPen);
    p.drawPath(head);
    p.restore();
}

}  // namespace

QPixmap cycle() {
    return painted([](QPainter& p) {
        arrowArc(p, 8, 20, 140);
        arrowArc(p, 8, 200, 140);
    });
}

QPixmap repeatOne() {
    return painted([](QPainter& p) {
        arrowArc(p, 9, 60, 290);
        QFont font = p.font();
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("1"));
    });
}

QPixmap stop() {
    return painted([](QPainter& p) {
        p.setBrush(QColor(200, 40, 40));
        p.setPen(QPen(QColor(120, 20, 20), 1.5));
        p.drawRoundedRect(QRectF(5, 5, 14, 14), 2, 2);
    });
}

QPixmap close() {
    return painted([](QPainter& p) {
        p.setBrush(QColor(230, 210, 170));
        p.drawRect(QRectF(3, 3, 11, 18));
        p.drawLine(QPointF(12, 12), QPointF(21, 12));
        p.drawLine(QPointF(18, 9), QPointF(21, 12));
        p.drawLine(QPointF(18, 15), QPointF(21, 12));
    });
}

QPixmap home() {
    return painted([](QPainter& p) {
        QPainterPath roof;
        roof.moveTo(2, 12);
        roof.lineTo(12, 3);
        roof.lineTo(22, 12);
        p.drawPath(roof);
        p.setBrush(QColor(250, 240, 210));
        p.drawRect(QRectF(5, 11, 14, 10));
        p.setBrush(kInk);
        p.drawRect(QRectF(10, 15, 4, 6));
    });
}

}  // namespace MediaPictures
