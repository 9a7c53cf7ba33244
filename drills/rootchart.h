#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class TTable;

// The root drill's key chart, drawn from the root table so that every key shows exactly the
// roots the drill asks for, and lies under the frame that marks it.
namespace RootChart {

constexpr QPoint kOrigin(56, 8);  // the chart's place in the window
constexpr QSize kSize(681, 208);

struct Root {
    QString key;
    QString no;  // the root as text; records with the same text are drawn once per key
    QImage picture;
};

// The 25 framed letters, upper row first.
QString letters();
// The key frame of a letter in window coordinates; a null rect for a letter without a frame.
QRect frameRect(const QString& letter);
// Zone and position of a key ("11" for G).
QString zoneCode(const QString& letter);

// Every record of the table in table order. Leaves the table on its last record.
QList<Root> readRoots(TTable& table);
// With ratio times the pixels for a denser screen, the same size in logical pixels.
QImage draw(const QList<Root>& roots, qreal ratio = 1);

}  // namespace RootChart
