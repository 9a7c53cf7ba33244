#include "resources/toolpictures.h"

#include <QPainter>
#include <QPainterPath>

#include "resources/paintedpixmap.h"
#include "resources/pictures.h"

namespace ToolPictures {

namespace {

constexpr int kSize = 24;

template <typename Draw>
QPixmap painted(Draw draw) {
    return paintedPixmap(kSize, draw);
}

}  // namespace

QPixmap closePicture() {
    return painted([](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 30), 1.5));
        p.setBrush(QColor(200, 150, 90));
        p.drawRect(QRectF(3.5, 2.5, 11, 19));
        p.setBrush(QColor(120, 80, 40));
        p.drawPolygon(QPolygonF({{3.5, 2.5}, {10.5, 5.5}, {10.5, 23.5}, {3.5, 21.5}}));
        p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(12, 12), QPointF(22, 12));
        p.drawPolyline(QPolygonF({{18, 8}, {22, 12}, {18, 16}}));
    });
}

QPixmap newPicture() {
    return painted([](QPainter& p) {
        p.setPen(QPen(Qt::darkGray, 1));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({{5.5, 2.5}, {14.5, 2.5}, {19.5, 7.5}, {19.5, 21.5}, {5.5, 21.5}}));
        p.setBrush(QColor(220, 220, 220));
        p.drawPolygon(QPolygonF({{14.5, 2.5}, {14.5, 7.5}, {19.5, 7.5}}));
    });
}

QPixmap openPicture() {
    return painted([](QPainter& p) {
        p.setPen(QPen(QColor(140, 100, 0), 1));
        p.setBrush(QColor(230, 190, 60));
        p.drawPolygon(QPolygonF(
            {{2.5, 5.5}, {9.5, 5.5}, {11.5, 7.5}, {19.5, 7.5}, {19.5, 19.5}, {2.5, 19.5}}));
        p.setBrush(QColor(250, 220, 110));
        p.drawPolygon(QPolygonF({{5.5, 11.5}, {22.5, 11.5}, {19.5, 19.5}, {2.5, 19.5}}));
    });
}

QPixmap savePicture() {
    return painted([](QPainter& p) {
        p.setPen(QPen(QColor(20, 20, 80), 1));
        p.setBrush(QColor(40, 60, 160));
        p.drawRect(QRectF(3.5, 3.5, 17, 17));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 3.5, 11, 7));
        p.setBrush(QColor(180, 180, 180));
        p.drawRect(QRectF(7.5, 14.5, 9, 6));
    });
}

// Painted at build time (Painted::helpPicture): its 五 would load a bold CJK font at start-up.
QPixmap helpPicture() {
    return Pictures::compiledPicture(QStringLiteral("help"));
}

}  // namespace ToolPictures
