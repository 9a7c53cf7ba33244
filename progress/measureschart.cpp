#include "progress/measureschart.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "data/history.h"

namespace {

double ratio(double a, double b) {
    return b > 0 ? a / b : 0;
}

// A round top for an axis: 1, 2 or 5 times a power of ten.
double roundUp(double value) {
    if (value <= 0)
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {1.0, 2.0, 5.0, 10.0})
        if (step * power >= value)
            return step * power;
    return 10 * power;
}

}  // namespace

double MeasuresChart::Day::speed() const {
    return ratio(sum.characters * 60000.0, double(ms));
}
double MeasuresChart::Day::keysPerSecond() const {
    return ratio(sum.keys * 1000.0, double(ms));
}
double MeasuresChart::Day::codeLength() const {
    return ratio(sum.keys, sum.characters);
}
double MeasuresChart::Day::idealCodeLength() const {
    return ratio(sum.idealKeys, sum.characters);
}

MeasuresChart::MeasuresChart(QWidget* parent) : QWidget(parent) {
    setObjectName("MeasuresChart");
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void MeasuresChart::add(QList<Day>& days, qint64 at, qint64 ms, const History::Measures& m) {
    const QDate date = QDateTime::fromMSecsSinceEpoch(at).toLocalTime().date();
    if (days.isEmpty() || days.last().date != date) {
        Day day;
        day.date = date;
        days.append(day);
    }
    Day& day = days.last();
    day.ms += ms;
    day.sum.characters += m.characters;
    day.sum.keys += m.keys;
    day.sum.idealKeys += m.idealKeys;
    day.sum.backspaces += m.backspaces;
    day.sum.erased += m.erased;
    day.sum.wrong += m.wrong;
}

void MeasuresChart::setDays(const QList<Day>& list) {
    days = list;
    update();
}

void MeasuresChart::reload() {
    QList<Day> list;
    History::Store::instance().forEachMeasured(
        History::kText,
        [&](qint64 at, qint64 ms, const History::Measures& m) { add(list, at, ms, m); });
    setDays(list);
}

void MeasuresChart::showEvent(QShowEvent* event) {
    reload();
    QWidget::showEvent(event);
}

void MeasuresChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (days.isEmpty()) {
        painter.drawText(
            rect(), Qt::AlignCenter | Qt::TextWordWrap,
            QStringLiteral("还没有带打字指标的练习：打完一页文字练习、跟打练习或词组练习，"
                           "这里就按天画出速度、击键和码长。"));
        return;
    }
    // Side by side in a wide, low tab; one above the other in a tall one.
    const bool row = width() >= 2 * height();
    const auto panel = [&](int i) {
        return row ? QRect(width() * i / 3, 0, width() / 3, height())
                   : QRect(0, height() * i / 3, width(), height() / 3);
    };
    drawPanel(painter, panel(0), QStringLiteral("速度（字/分）"),
              {{QStringLiteral("速度"), QColor(0x15, 0x65, 0xc0), &Day::speed}});
    drawPanel(painter, panel(1), QStringLiteral("击键（键/秒）"),
              {{QStringLiteral("击键"), QColor(0x2e, 0x7d, 0x32), &Day::keysPerSecond}});
    drawPanel(painter, panel(2), QStringLiteral("码长（键/字）"),
              {{QStringLiteral("码长"), QColor(0xe6, 0x51, 0x00), &Day::codeLength},
               // "理想", as the 成绩 line has it: "理想码长" ran past the panel's edge at 800 wide.
               {QStringLiteral("理想"), QColor(0x75, 0x75, 0x75), &Day::idealCodeLength, true}});
}

void MeasuresChart::drawPanel(QPainter& painter, const QRect& area, const QString& title,
                              const QList<Series>& series) {
    const QFontMetrics metrics = painter.fontMetrics();
    const int left = area.left() + metrics.horizontalAdvance(QStringLiteral("0000")) + 10;
    const QRect plot(left, area.top() + metrics.height() + 6, area.right() - left - 16,
                     area.height() - 2 * metrics.height() - 14);
    double top = 0;
    for (const Series& s : series)
        for (const Day& d : days) top = std::max(top, s.value(d));
    top = roundUp(top);

    painter.setPen(Qt::black);
    int x = left;
    painter.drawText(x, area.top() + metrics.ascent() + 2, title);
    x += metrics.horizontalAdvance(title) + 16;
    for (const Series& s : series) {
        const QString last = QString::number(s.value(days.last()), 'f', 2);
        const QString text = s.name + " " + last;
        painter.setPen(s.colour);
        painter.drawText(x, area.top() + metrics.ascent() + 2, text);
        x += metrics.horizontalAdvance(text) + 16;
    }
    painter.setPen(QColor(0xbd, 0xbd, 0xbd));
    painter.drawRect(plot);
    painter.setPen(Qt::black);
    // The middle of the axis only where there is room for three numbers.
    const int steps = plot.height() > 3 * metrics.height() ? 2 : 1;
    for (int step = 0; step <= steps; ++step) {
        const double value = top * step / steps;
        const int y = plot.bottom() - int(plot.height() * step / steps);
        painter.drawText(
            QRect(area.left(), y - metrics.height() / 2, left - area.left() - 4, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(value, 'g', 3));
    }
    const auto xOf = [&](int i) {
        return days.size() == 1 ? plot.center().x()
                                : plot.left() + int(qint64(plot.width()) * i / (days.size() - 1));
    };
    // The first and the last day under the axis.
    painter.drawText(plot.left(), plot.bottom() + metrics.ascent() + 2,
                     days.first().date.toString(QStringLiteral("M月d日")));
    const QString lastDate = days.last().date.toString(QStringLiteral("M月d日"));
    if (days.size() > 1)
        painter.drawText(plot.right() - metrics.horizontalAdvance(lastDate),
                         plot.bottom() + metrics.ascent() + 2, lastDate);
    for (const Series& s : series) {
        QPainterPath line;
        for (int i = 0; i < days.size(); ++i) {
            const QPointF point(xOf(i), plot.bottom() - plot.height() * s.value(days[i]) / top);
            i == 0 ? line.moveTo(point) : line.lineTo(point);
        }
        QPen pen(s.colour, 2, s.dashed ? Qt::DashLine : Qt::SolidLine);
        painter.setPen(pen);
        painter.drawPath(line);
        painter.setBrush(s.colour);
        for (int i = 0; i < days.size(); ++i)
            painter.drawEllipse(
                QPointF(xOf(i), plot.bottom() - plot.height() * s.value(days[i]) / top), 3, 3);
        painter.setBrush(Qt::NoBrush);
    }
}
