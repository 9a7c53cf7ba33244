// The speed chart drawn with Qt Charts; built as a module the record window loads on demand. It
// draws the plot the program worked out and uses nothing of the program.
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include "progress/speedchart.h"

namespace {

constexpr int kBestMarker = 11;

// The fastest page's speed above its point, kept inside the plot: a label of the series itself is
// centred on the point and runs over the axis' numbers when the point is near either end.
QGraphicsSimpleTextItem* bestLabel(QChart* chart) {
    for (QGraphicsItem* item : chart->childItems())
        if (item->data(0).toString() == QLatin1String("BestLabel"))
            return static_cast<QGraphicsSimpleTextItem*>(item);
    auto* label = new QGraphicsSimpleTextItem(chart);
    label->setData(0, QStringLiteral("BestLabel"));
    label->setZValue(10);
    return label;
}

void placeBestLabel(QChart* chart, QScatterSeries* best, QGraphicsSimpleTextItem* label) {
    const QRectF plot = chart->plotArea();
    const QPointF at = chart->mapToPosition(best->at(0), best);
    const QSizeF size = label->boundingRect().size();
    const qreal x =
        qBound(plot.left() + 2, at.x() - size.width() / 2, plot.right() - size.width() - 2);
    qreal y = at.y() - kBestMarker / 2.0 - size.height() - 1;
    if (y < plot.top())
        y = at.y() + kBestMarker / 2.0 + 1;
    label->setPos(x, y);
}

}  // namespace

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
        best->setMarkerSize(kBestMarker);
        best->append(plot.pages[plot.best]);
        QObject::connect(best, &QXYSeries::clicked, view,
                         [=](const QPointF& at) { choose(plot.pages, plot.pageSource, at); });
        series << best;
    }
    QGraphicsSimpleTextItem* label = bestLabel(chart);
    label->setVisible(plot.best >= 0);
    if (plot.best >= 0)
        label->setText(QStringLiteral("最快 %1").arg(plot.pages[plot.best].y()));
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
    if (plot.best >= 0) {
        auto* best = static_cast<QScatterSeries*>(series[1]);
        // The plot area settles with the chart's layout; the label follows it there.
        QObject::connect(chart, &QChart::plotAreaChanged, best,
                         [=] { placeBestLabel(chart, best, label); });
        placeBestLabel(chart, best, label);
    }
}
