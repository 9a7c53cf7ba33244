#include "progress/dailygoal.h"

#include <QHash>
#include <cmath>

namespace DailyGoal {

namespace {

const QString kSetting = QStringLiteral("goal/minutesPerDay");

QDate localDate(const QDateTime& at) {
    return at.toLocalTime().date();
}

QHash<QDate, qint64> msPerDay(const QList<History::Page>& pages) {
    QHash<QDate, qint64> days;
    for (const History::Page& page : pages) days[localDate(page.at)] += page.ms;
    return days;
}

}  // namespace

int minutes(History::Store& store) {
    const int kept = store.setting(kSetting).toInt();
    return kept > 0 ? qMin(kept, kMaxMinutes) : kDefaultMinutes;
}

void setMinutes(History::Store& store, int minutes) {
    store.setSetting(kSetting, QString::number(qBound(1, minutes, kMaxMinutes)));
}

qint64 practisedOn(const QList<History::Page>& pages, const QDate& day) {
    qint64 ms = 0;
    for (const History::Page& page : pages)
        if (localDate(page.at) == day)
            ms += page.ms;
    return ms;
}

int streak(const QList<History::Page>& pages, int goalMinutes, const QDateTime& now) {
    const QHash<QDate, qint64> days = msPerDay(pages);
    const auto met = [&](const QDate& day) { return days.value(day) >= goalMinutes * 60000LL; };
    QDate day = localDate(now);
    int run = 0;
    if (met(day))
        ++run;
    for (day = day.addDays(-1); met(day); day = day.addDays(-1)) ++run;
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
    const QList<History::Page> pages = store.pages();
    s.todayMinutes = int(practisedOn(pages, localDate(now)) / 60000);
    s.streak = streak(pages, s.goalMinutes, now);
    QList<double> speeds;
    for (auto it = pages.crbegin(); it != pages.crend() && speeds.size() < kFitPages; ++it)
        if (it->drill == History::kText && it->ms > 0 && it->amount > 0)
            speeds.prepend(charactersPerMinute(*it));
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
