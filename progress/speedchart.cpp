#include "progress/speedchart.h"

#include <QDateTime>
#include <QDir>
#include <QLibrary>
#include <cmath>
#include <limits>

#include "media/modulefolders.h"

namespace SpeedChart {

namespace {
struct Module {
    CreateFunction create = nullptr;
    ShowFunction show = nullptr;
    QString error;
    bool tried = false;
};

Module& module() {
    static Module m;
    if (m.tried)
        return m;
    m.tried = true;
    QLibrary library;
    for (const QString& folder : ModuleFolders::searched()) {
        library.setFileName(QDir(folder).filePath(QStringLiteral("qorvex-speedchart")));
        if (library.load())
            break;
    }
    if (!library.isLoaded()) {
        m.error = library.errorString();
        return m;
    }
    m.create = reinterpret_cast<CreateFunction>(library.resolve("qorvexCreateSpeedChart"));
    m.show = reinterpret_cast<ShowFunction>(library.resolve("qorvexShowSpeedChart"));
    if (!m.create || !m.show)
        m.error = library.errorString();
    return m;
}
}  // namespace

QWidget* create(QWidget* parent, QString* error) {
    Module& m = module();
    if (!m.create || !m.show) {
        if (error)
            *error = m.error;
        return nullptr;
    }
    return m.create(parent);
}

void show(QWidget* chart, const Plot& plot) {
    if (chart && module().show)
        module().show(chart, plot);
}

namespace {

constexpr qint64 kHour = 3600 * 1000;
constexpr qint64 kDay = 24 * kHour;

QDateTime local(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toLocalTime();
}

// Ticks on whole hours of one step, at most six intervals.
void hourAxis(Plot& p, qint64 first, qint64 last) {
    for (int step : {1, 2, 3, 4, 6, 12, 24}) {
        const QDateTime start = local(first);
        QDateTime from(start.date(), QTime(start.time().hour() / step * step, 0));
        int intervals = 1;
        while (from.addSecs(qint64(intervals) * step * 3600).toMSecsSinceEpoch() <= last)
            ++intervals;
        if (intervals > 6 && step < 24)
            continue;
        p.from = from.toMSecsSinceEpoch();
        p.to = from.addSecs(qint64(intervals) * step * 3600).toMSecsSinceEpoch();
        p.dateTicks = intervals + 1;
        const bool oneDay = local(p.from).date() == local(p.to - 1).date();
        p.dateFormat = oneDay ? QStringLiteral("hh:mm") : QStringLiteral("MM-dd hh:mm");
        p.dateTitle = local(first).date().toString(QStringLiteral("yyyy-MM-dd"));
        return;
    }
}

// Ticks at noon, a whole number of days apart: a tick stands in the middle of the day it names,
// so a clock change of an hour never moves it to another date. At most six intervals.
void dayAxis(Plot& p, qint64 first, qint64 last) {
    const QDateTime a = local(first), b = local(last);
    const QDate firstNoon = a.time() < QTime(12, 0) ? a.date().addDays(-1) : a.date();
    const QDate lastNoon = b.time() <= QTime(12, 0) ? b.date() : b.date().addDays(1);
    const qint64 days = qMax<qint64>(1, firstNoon.daysTo(lastNoon));
    qint64 step = days;
    for (qint64 nice : {1, 2, 3, 5, 7, 14, 30, 61, 91, 182, 365, 730, 1826, 3652})
        if ((days + nice - 1) / nice <= 6) {
            step = nice;
            break;
        }
    const qint64 intervals = (days + step - 1) / step;
    const QDate lastTick = firstNoon.addDays(intervals * step);
    p.from = QDateTime(firstNoon, QTime(12, 0)).toMSecsSinceEpoch();
    p.to = QDateTime(lastTick, QTime(12, 0)).toMSecsSinceEpoch();
    p.dateTicks = int(intervals) + 1;
    p.dateFormat = firstNoon.year() == lastTick.year() && step < 30 ? QStringLiteral("MM-dd")
                                                                    : QStringLiteral("yyyy-MM-dd");
    p.dateTitle = firstNoon.year() == lastTick.year() && step < 30
                      ? QStringLiteral("%1 年").arg(firstNoon.year())
                      : QString();
}

// From 0 to the fastest and a little more, in steps of 1, 2 or 5 times a power of ten.
void speedAxis(Plot& p, double fastest) {
    const double top = qMax(1.0, fastest * 1.15);  // room for the fastest page's label
    for (double power = 1;; power *= 10)
        for (double step : {power, 2 * power, 5 * power}) {
            const double intervals = std::ceil(top / step);
            if (intervals <= 5) {
                p.speedTo = intervals * step;
                p.speedTicks = int(intervals) + 1;
                return;
            }
        }
}

}  // namespace

Bounds plausible(qint64 firstRecorded, qint64 now) {
    const qint64 latest = now + kDay;
    return {firstRecorded <= latest ? firstRecorded : std::numeric_limits<qint64>::min(), latest};
}

Plot plot(const QString& title, const QList<Point>& points, const Bounds& bounds) {
    Plot p;
    p.title = title;
    QList<Point> apart;
    for (int i = 0; i < points.size(); ++i) {
        const Point& point = points[i];
        if (point.msecsSinceEpoch < bounds.earliest || point.msecsSinceEpoch > bounds.latest) {
            apart.append(point);
            p.apartSource.append(i);
        } else {
            p.pages.append(QPointF(double(point.msecsSinceEpoch), point.speed));
            p.pageSource.append(i);
        }
    }
    if (p.pages.isEmpty()) {  // nothing to tell the wrong clock from
        for (int i = 0; i < points.size(); ++i) {
            p.pages.append(QPointF(double(points[i].msecsSinceEpoch), points[i].speed));
            p.pageSource.append(i);
        }
        apart.clear();
        p.apartSource.clear();
    }
    double fastest = 0;
    for (qsizetype i = 0; i < p.pages.size(); ++i)
        if (p.best < 0 || p.pages[i].y() > p.pages[p.best].y())
            p.best = i;
    for (const QPointF& page : p.pages) fastest = qMax(fastest, page.y());
    for (const Point& point : apart) fastest = qMax(fastest, point.speed);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 first = p.pages.isEmpty() ? now : qint64(p.pages.first().x());
    const qint64 last = p.pages.isEmpty() ? now : qint64(p.pages.last().x());
    if (last - first < 20 * kHour)
        hourAxis(p, first, last);
    else
        dayAxis(p, first, last);
    for (const Point& point : apart) {
        const bool early = point.msecsSinceEpoch < bounds.earliest;
        p.apart.append(QPointF(double(early ? p.from : p.to), point.speed));
    }
    if (!p.apart.isEmpty())
        p.title += QStringLiteral("（橙色方块：%1 页的日期有误，标在两端）").arg(p.apart.size());
    speedAxis(p, fastest);
    return p;
}

}  // namespace SpeedChart
