#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QWidget>

// The record window's speed chart. It is drawn with Qt Charts, which lives in a module of its own
// (qorvex-speedchart) loaded when the chart is first wanted, so the program does not map the
// charts library at start-up. What is drawn is worked out here; the module only draws it and
// needs nothing of the program.
namespace SpeedChart {

struct Point {
    qint64 msecsSinceEpoch;
    double speed;
};

// A page dated outside these bounds was written under a wrong clock: before the first page this
// history holds, or more than a day ahead of now.
struct Bounds {
    qint64 earliest;
    qint64 latest;
};
Bounds plausible(qint64 firstRecorded, qint64 now);

// What the module draws. Times are UTC milliseconds, the labels local time.
struct Plot {
    QString title;
    QList<QPointF> pages;  // the pages dated within the bounds, oldest first
    qsizetype best = -1;   // the fastest of them
    QList<QPointF> apart;  // wrong-clock pages, held at the edge of the axis they lie beyond
    // Where each page and each wrong-clock page stands in the points given to plot().
    QList<int> pageSource, apartSource;
    qint64 from = 0, to = 0;
    int dateTicks = 2;  // evenly spaced from from to to, each with a label of its own
    QString dateFormat, dateTitle;
    double speedTo = 1;  // the speed axis runs from 0 in round steps
    int speedTicks = 2;
};

// Lays out the points (oldest first): the date axis spans the pages within the bounds (all of
// them when none is), with ticks at round days or hours whose labels all differ.
Plot plot(const QString& title, const QList<Point>& points, const Bounds& bounds);

// A click on a page sets the chart widget's property kChosen to the page's place in the points.
inline constexpr char kChosen[] = "chosenPoint";

// The chart widget, or nullptr with the reason in error when the module cannot be loaded.
QWidget* create(QWidget* parent, QString* error);
void show(QWidget* chart, const Plot& plot);

// What the module exports.
using CreateFunction = QWidget* (*)(QWidget* parent);
using ShowFunction = void (*)(QWidget* chart, const Plot& plot);

}  // namespace SpeedChart
