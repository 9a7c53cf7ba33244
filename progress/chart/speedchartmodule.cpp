// The speed chart drawn with Qt Charts; built as a module the record window loads on demand.
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include "progress/speedchart.h"

extern "C" Q_DECL_EXPORT QWidget* qorvexCreateSpeedChart(QWidget* parent) {
    auto* view = new QChartView(new QChart, parent);
    view->setObjectName("SpeedChart");
    view->setRenderHint(QPainter::Antialiasing);
    view->chart()->legend()->hide();
    return view;
}

extern "C" Q_DECL_EXPORT void qorvexSetSpeedChart(QWidget* widget, const QString& title,
                                                  const QList<SpeedChart::Point>& points) {
    auto* view = qobject_cast<QChartView*>(widget);
    if (!view)
        return;
    QChart* chart = view->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(title);
    auto* line = new QLineSeries;
    auto* best = new QScatterSeries;
    best->setName(QStringLiteral("最好的一页"));
    best->setColor(Qt::red);
    best->setMarkerSize(11);
    QList<QPointF> data;
    data.reserve(points.size());
    qsizetype top = -1;
    double low = 0, high = 1;
    for (qsizetype i = 0; i < points.size(); ++i) {
        data.append(QPointF(double(points[i].msecsSinceEpoch), points[i].speed));
        if (top < 0 || points[i].speed > points[top].speed)
            top = i;
        high = qMax(high, points[i].speed);
    }
    line->replace(data);
    if (top >= 0) {
        best->append(data[top]);
        best->setPointLabelsVisible(true);
        best->setPointLabelsFormat(QStringLiteral("最快 @yPoint"));
    }
    chart->addSeries(line);
    chart->addSeries(best);

    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("yyyy-MM-dd"));
    time->setTickCount(5);
    if (!points.isEmpty()) {
        const qint64 first = points.first().msecsSinceEpoch, last = points.last().msecsSinceEpoch;
        time->setRange(QDateTime::fromMSecsSinceEpoch(first - 3600000),
                       QDateTime::fromMSecsSinceEpoch(last + 3600000));
    }
    auto* speed = new QValueAxis;
    speed->setLabelFormat(QStringLiteral("%d"));
    speed->setRange(low, high * 1.15);
    speed->setTitleText(QStringLiteral("每分钟"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(speed, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(line), static_cast<QAbstractSeries*>(best)}) {
        series->attachAxis(time);
        series->attachAxis(speed);
    }
}
