#pragma once

#include <QList>
#include <QString>
#include <QWidget>

// The record window's speed chart. It is drawn with Qt Charts, which lives in a module of its own
// (qorvex-speedchart) loaded when the chart is first wanted, so the program does not map the
// charts library at start-up.
namespace SpeedChart {

struct Point {
    qint64 msecsSinceEpoch;
    double speed;
};

// The chart widget, or nullptr with the reason in error when the module cannot be loaded.
QWidget* create(QWidget* parent, QString* error);
// Shows the points (oldest first) with the fastest page marked.
void setPoints(QWidget* chart, const QString& title, const QList<Point>& points);

// What the module exports.
using CreateFunction = QWidget* (*)(QWidget* parent);
using SetFunction = void (*)(QWidget* chart, const QString& title, const QList<Point>& points);

}  // namespace SpeedChart
