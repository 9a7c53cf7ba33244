// The speed chart drawn with Qt Charts; built as a module the record window loads on demand. It
// draws the plot the program worked out and uses nothing of the program.
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

extern "C" Q_DECL_EXPORT void qorvexShowSpeedChart(QWidget* widget, const SpeedChart::Plot& plot) {
    auto* view = qobject_cast<QChartView*>(widget);
    if (!view)
        return;
    QChart* chart = view->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(plot.title);
    QList<QAbstractSeries*> series;
    // A click chooses the page nearest to it in time among those of the series clicked.
    const auto choose = [view](const QList<QPointF>& points, const QList<int>& source,
                               const QPointF& at) {
        qsizetype nearest = -1;
        for (qsizetype i = 0; i < points.size(); ++i)
            if (nearest < 0 ||
                qAbs(points[i].x() - at.x()) + qAbs(points[i].y() - at.y()) <
                    qAbs(points[nearest].x() - at.x()) + qAbs(points[nearest].y() - at.y()))
                nearest = i;
        if (nearest >= 0)
            view->setProperty(SpeedChart::kChosen, source[nearest]);
    };
    auto* line = new QLineSeries;
    QObject::connect(line, &QXYSeries::clicked, view,
                     [=](const QPointF& at) { choose(plot.pages, plot.pageSource, at); });
    line->replace(plot.pages);
    line->setPointsVisible(plot.pages.size() < 60);
    series << line;
    if (plot.best >= 0) {
        auto* best = new QScatterSeries;
        best->setColor(Qt::red);
        best->setMarkerSize(11);
        best->append(plot.pages[plot.best]);
        best->setPointLabelsVisible(true);
        best->setPointLabelsClipping(false);
        best->setPointLabelsFormat(QStringLiteral("最快 @yPoint"));
        QObject::connect(best, &QXYSeries::clicked, view,
                         [=](const QPointF& at) { choose(plot.pages, plot.pageSource, at); });
        series << best;
    }
    // Pages of a wrong clock sit on the axis' edge as hollow orange squares; the title says what
    // they are, and a click on one names its date. Labels there would cover the axis' own.
    if (!plot.apart.isEmpty()) {
        auto* apart = new QScatterSeries;
        apart->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        apart->setMarkerSize(10);
        apart->setColor(Qt::white);
        apart->setBorderColor(QColor(230, 120, 0));
        apart->append(plot.apart);
        QObject::connect(apart, &QXYSeries::clicked, view,
                         [=](const QPointF& at) { choose(plot.apart, plot.apartSource, at); });
        series << apart;
    }
    for (QAbstractSeries* s : series) chart->addSeries(s);

    auto* time = new QDateTimeAxis;
    time->setObjectName("DateAxis");
    time->setFormat(plot.dateFormat);
    time->setTickCount(plot.dateTicks);
    time->setRange(QDateTime::fromMSecsSinceEpoch(plot.from),
                   QDateTime::fromMSecsSinceEpoch(plot.to));
    time->setTitleText(plot.dateTitle);
    auto* speed = new QValueAxis;
    speed->setObjectName("SpeedAxis");
    speed->setLabelFormat(QStringLiteral("%d"));
    speed->setRange(0, plot.speedTo);
    speed->setTickCount(plot.speedTicks);
    speed->setTitleText(QStringLiteral("每分钟"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(speed, Qt::AlignLeft);
    for (QAbstractSeries* s : series) {
        s->attachAxis(time);
        s->attachAxis(speed);
    }
}
