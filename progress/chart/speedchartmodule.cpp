// The speed chart drawn with Qt Charts; built as a module the record window loads on demand. It
// draws the plot the program worked out and uses nothing of the program.
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTimer>
#include <QValueAxis>

#include "progress/speedchart.h"

namespace {

constexpr int kBestMarker = 11;

// The chart keeps one set of series, axes and label for its whole life, and a new plot only
// gives them new points and ranges: axes taken off and put back while the chart is shown leave
// their old labels drawn under the new ones.
struct Parts {
    QLineSeries* pages;
    QScatterSeries* best;
    QScatterSeries* apart;
    QDateTimeAxis* time;
    QValueAxis* speed;
    QGraphicsSimpleTextItem* label;  // the fastest page's speed
};

template <class T>
T* part(QChart* chart, const char* name) {
    for (QObject* o : chart->series())
        if (o->objectName() == QLatin1String(name))
            return qobject_cast<T*>(o);
    for (QObject* o : chart->axes())
        if (o->objectName() == QLatin1String(name))
            return qobject_cast<T*>(o);
    return nullptr;
}

Parts parts(QChart* chart) {
    QGraphicsSimpleTextItem* label = nullptr;
    for (QGraphicsItem* item : chart->childItems())
        if (item->data(0).toString() == QLatin1String("BestLabel"))
            label = static_cast<QGraphicsSimpleTextItem*>(item);
    return {part<QLineSeries>(chart, "Pages"),    part<QScatterSeries>(chart, "Best"),
            part<QScatterSeries>(chart, "Apart"), part<QDateTimeAxis>(chart, "DateAxis"),
            part<QValueAxis>(chart, "SpeedAxis"), label};
}

void build(QChart* chart) {
    auto* pages = new QLineSeries;
    pages->setObjectName("Pages");
    auto* best = new QScatterSeries;
    best->setObjectName("Best");
    best->setColor(Qt::red);
    best->setMarkerSize(kBestMarker);
    // Pages of a wrong clock sit on the axis' edge as hollow orange squares; the title says what
    // they are, and a click on one names its date. Labels there would cover the axis' own.
    auto* apart = new QScatterSeries;
    apart->setObjectName("Apart");
    apart->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    apart->setMarkerSize(10);
    apart->setColor(Qt::white);
    apart->setBorderColor(QColor(230, 120, 0));
    auto* time = new QDateTimeAxis;
    time->setObjectName("DateAxis");
    auto* speed = new QValueAxis;
    speed->setObjectName("SpeedAxis");
    speed->setLabelFormat(QStringLiteral("%d"));
    speed->setTitleText(QStringLiteral("每分钟"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(speed, Qt::AlignLeft);
    for (QXYSeries* s : std::initializer_list<QXYSeries*>{pages, best, apart}) {
        chart->addSeries(s);
        s->attachAxis(time);
        s->attachAxis(speed);
    }
    auto* label = new QGraphicsSimpleTextItem(chart);
    label->setData(0, QStringLiteral("BestLabel"));
    label->setZValue(10);
    label->hide();
}

// The fastest page's speed above its point, inside the plot; where the point is too near the top
// for that, beside it (right, or left at the right end), never over the marker.
void placeBestLabel(QChart* chart, const Parts& p) {
    if (p.best->count() == 0)
        return;
    const QRectF plot = chart->plotArea();
    const QPointF at = chart->mapToPosition(p.best->at(0), p.best);
    const QSizeF size = p.label->boundingRect().size();
    const qreal clear = kBestMarker / 2.0 + 2;
    QPointF place(at.x() - size.width() / 2, at.y() - clear - size.height());
    if (place.y() >= plot.top()) {
        place.setX(qBound(plot.left() + 2, place.x(), plot.right() - size.width() - 2));
    } else {
        place.setX(at.x() + clear + size.width() <= plot.right() ? at.x() + clear
                                                                 : at.x() - clear - size.width());
        place.setY(qBound(plot.top(), at.y() - size.height() / 2, plot.bottom() - size.height()));
    }
    p.label->setPos(place);
}

}  // namespace

extern "C" Q_DECL_EXPORT QWidget* qorvexCreateSpeedChart(QWidget* parent) {
    auto* view = new QChartView(new QChart, parent);
    view->setObjectName("SpeedChart");
    view->setRenderHint(QPainter::Antialiasing);
    QChart* chart = view->chart();
    chart->legend()->hide();
    build(chart);
    // The plot area and the points' places settle with the chart's layout; the label follows.
    QObject::connect(chart, &QChart::plotAreaChanged, chart,
                     [chart] { placeBestLabel(chart, parts(chart)); });
    return view;
}

extern "C" Q_DECL_EXPORT void qorvexShowSpeedChart(QWidget* widget, const SpeedChart::Plot& plot) {
    auto* view = qobject_cast<QChartView*>(widget);
    if (!view)
        return;
    QChart* chart = view->chart();
    const Parts p = parts(chart);
    chart->setTitle(plot.title);
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
    for (QXYSeries* s : std::initializer_list<QXYSeries*>{p.pages, p.best, p.apart})
        QObject::disconnect(s, &QXYSeries::clicked, nullptr, nullptr);
    const auto choosePage = [=](const QPointF& at) { choose(plot.pages, plot.pageSource, at); };
    QObject::connect(p.pages, &QXYSeries::clicked, view, choosePage);
    QObject::connect(p.best, &QXYSeries::clicked, view, choosePage);
    QObject::connect(p.apart, &QXYSeries::clicked, view,
                     [=](const QPointF& at) { choose(plot.apart, plot.apartSource, at); });

    p.time->setFormat(plot.dateFormat);
    p.time->setTickCount(plot.dateTicks);
    p.time->setRange(QDateTime::fromMSecsSinceEpoch(plot.from),
                     QDateTime::fromMSecsSinceEpoch(plot.to));
    p.time->setTitleText(plot.dateTitle);
    p.speed->setRange(0, plot.speedTo);
    p.speed->setTickCount(plot.speedTicks);

    p.pages->replace(plot.pages);
    p.pages->setPointsVisible(plot.pages.size() < 60);
    p.best->replace(plot.best >= 0 ? QList<QPointF>{plot.pages[plot.best]} : QList<QPointF>());
    p.apart->replace(plot.apart);
    p.label->setVisible(plot.best >= 0);
    if (plot.best >= 0)
        p.label->setText(QStringLiteral("最快 %1").arg(plot.pages[plot.best].y()));
    placeBestLabel(chart, p);
    // New ranges move the point without moving the plot area: placed again once the chart has
    // laid itself out.
    QTimer::singleShot(0, chart, [chart] { placeBestLabel(chart, parts(chart)); });
}
