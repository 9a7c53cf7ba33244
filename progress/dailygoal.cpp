#include "progress/dailygoal.h"

#include <QDataStream>
#include <QIODevice>
#include <cmath>

namespace DailyGoal {

namespace {

const QString kSetting = QStringLiteral("goal/minutesPerDay");

const QString kState = QStringLiteral("dailygoal-1");

QDate localDate(const QDateTime& at) {
    return at.toLocalTime().date();
}

}  // namespace

int minutes(History::Store& store) {
    const int kept = store.setting(kSetting).toInt();
    return kept > 0 ? qMin(kept, kMaxMinutes) : kDefaultMinutes;
}

void setMinutes(History::Store& store, int minutes) {
    store.setSetting(kSetting, QString::number(qBound(1, minutes, kMaxMinutes)));
}

void Tally::add(const History::Page& page) {
    // Held to a day whatever the page says, so that no sum of days can overflow.
    msPerDay[localDate(page.at)] += History::bounded(page.ms, History::kLongestMs);
    if (page.drill != History::kText || page.ms <= 0 || page.amount <= 0)
        return;
    const qint64 at = page.at.toMSecsSinceEpoch();
    auto place = speeds.end();
    while (place != speeds.begin() && (place - 1)->first > at) --place;
    speeds.insert(place, {at, charactersPerMinute(page)});
    if (speeds.size() > kFitPages)
        speeds.removeFirst();
}

QByteArray Tally::save() const {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << through << msPerDay << speeds;
    return bytes;
}

Tally Tally::load(const QByteArray& bytes) {
    Tally t;
    QDataStream in(bytes);
    in >> t.through >> t.msPerDay >> t.speeds;
    // A tally from a damaged file is worked out afresh from the pages.
    for (const qint64 ms : std::as_const(t.msPerDay))
        if (ms < 0 || ms > History::kMostTotal)
            return {};
    return in.status() == QDataStream::Ok ? t : Tally();
}

Tally tally(History::Store& store) {
    qint64 through = 0;
    Tally t = Tally::load(store.derived(kState, &through));
    if (t.through != through)
        t = {};
    const qint64 before = t.through;
    if (t.through == 0) {
        // Without a tally the pages come without their strokes, which is much cheaper.
        for (const History::Page& page : store.pages()) t.add(page);
        for (const auto& [drill, lesson] : store.lessons())
            for (const History::Store::PageMark& mark : store.marks(drill, lesson))
                t.through = qMax(t.through, mark.id);
    } else {
        store.forEachPage(t.through, [&](qint64 id, const History::Page& page) {
            t.add(page);
            t.through = qMax(t.through, id);
            return true;
        });
    }
    if (t.through != before)
        store.keepDerived(kState, t.through, t.save());
    return t;
}

int streak(const QHash<QDate, qint64>& msPerDay, int goalMinutes, const QDate& today) {
    const auto met = [&](const QDate& day) { return msPerDay.value(day) >= goalMinutes * 60000LL; };
    int run = met(today) ? 1 : 0;
    for (QDate day = today.addDays(-1); met(day); day = day.addDays(-1)) ++run;
    return run;
}

double charactersPerMinute(const History::Page& page) {
    return page.ms > 0 ? page.amount / 2.0 * 60000.0 / double(page.ms) : 0;
}

int pagesToTarget(const QList<double>& speeds, double target) {
    const qsizetype n = speeds.size();
    if (n < kFitMinimum)
        return -1;
    const double meanX = (n - 1) / 2.0;
    double meanY = 0;
    for (double y : speeds) meanY += y;
    meanY /= double(n);
    double sxy = 0, sxx = 0, syy = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const double dx = double(i) - meanX, dy = speeds[i] - meanY;
        sxy += dx * dy;
        sxx += dx * dx;
        syy += dy * dy;
    }
    if (syy <= 0)
        return -1;
    const double slope = sxy / sxx;
    const double r2 = sxy * sxy / (sxx * syy);
    const double now = meanY + slope * (double(n - 1) - meanX);
    if (slope <= 0 || r2 < kFitR2 || now >= target)
        return -1;
    return int(std::ceil((target - now) / slope));
}

Status status(History::Store& store, int targetCpm, const QDateTime& now) {
    Status s;
    s.goalMinutes = minutes(store);
    const Tally t = tally(store);
    const QDate today = localDate(now);
    s.todayMinutes = int(t.msPerDay.value(today) / 60000);
    s.streak = streak(t.msPerDay, s.goalMinutes, today);
    QList<double> speeds;
    for (const auto& [at, cpm] : t.speeds) speeds << cpm;
    s.pagesToTarget = pagesToTarget(speeds, targetCpm);
    return s;
}

QString todayText(const Status& s) {
    const int left = s.goalMinutes - s.todayMinutes;
    return left > 0
               ? QStringLiteral("今天已练 %1 分钟，还差 %2 分钟。").arg(s.todayMinutes).arg(left)
               : QStringLiteral("今天已练 %1 分钟，达到目标了！").arg(s.todayMinutes);
}

QString streakText(const Status& s) {
    return s.streak > 0 ? QStringLiteral("已连续 %1 天达到目标。").arg(s.streak)
                        : QStringLiteral("每天达到目标，就能连续记下天数。");
}

QString estimateText(const Status& s) {
    return s.pagesToTarget > 0 ? QStringLiteral("约再练%1页可达到目标速度").arg(s.pagesToTarget)
                               : QString();
}

}  // namespace DailyGoal
