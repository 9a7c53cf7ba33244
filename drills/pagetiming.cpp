#include "drills/pagetiming.h"

#include <QLabel>

namespace PageTiming {

qint64 speedSeconds(qint64 elapsedMs) {
    return qMax<qint64>(1, elapsedMs / 1000);
}

QString timeText(qint64 elapsedMs) {
    return QStringLiteral("输入时间为:%1分%2秒")
        .arg(elapsedMs / 60000)
        .arg((elapsedMs % 60000) / 1000);
}

QString speedText(qint64 byteCount, qint64 elapsedMs) {
    const double perMinute = double(byteCount) * 60.0 / double(speedSeconds(elapsedMs));
    // Shortest text of up to 15 significant digits, then cut at the decimal point.
    QString number = QString::number(perMinute, 'g', 15);
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    if (point >= 0)
        number.truncate(point);
    return QStringLiteral("每分钟%1个").arg(number);
}

QString rootTimeText(qint64 elapsedMs) {
    const qint64 minutes = elapsedMs / 60000;
    if (minutes >= 1)
        return QStringLiteral("输入时间为：%1分%2秒").arg(minutes).arg((elapsedMs % 60000) / 1000);
    return QStringLiteral("输入时间为：%1秒").arg(elapsedMs / 1000);
}

QString rootSpeedText(qint64 elapsedMs) {
    return QStringLiteral("每分钟:%1个").arg(1680 / speedSeconds(elapsedMs));
}

bool isNewBest(qint64 elapsedMs, const QString& bestCaption) {
    bool ok = false;
    const qint64 best = bestCaption.toLongLong(&ok);
    return ok && elapsedMs < best;
}

}  // namespace PageTiming

bool PageRecordLabels::keepIfBest(qint64 elapsedMs) const {
    const bool newBest = PageTiming::isNewBest(elapsedMs, bestMs->text());
    if (newBest)
        bestMs->setText(QString::number(elapsedMs));
    return newBest;
}

void PageRecordLabels::show(bool newBest, const QString& time, const QString& speed) const {
    if (newBest) {
        bestTime->setText(time);
        bestSpeed->setText(speed);
    }
    lastTime->setText(time);
    lastSpeed->setText(speed);
}

void PageClock::pageShown(uint32_t now) {
    shown = now;
    isRunning = false;
}

void PageClock::firstBoxMoment(uint32_t now) {
    if (!isRunning || begunInFirstBox)
        start(now, true);
}

void PageClock::input(int box, uint32_t now) {
    if (!isRunning)
        start(now, box == 1);
}

void PageClock::boxChanged(int box, qsizetype length, uint32_t now) {
    constexpr qsizetype firstBoxStart = 2;
    if (box == 1 && length == firstBoxStart)
        firstBoxMoment(now);
    else if (length > (box == 1 ? firstBoxStart : 0))
        input(box, now);
}

void PageClock::start(uint32_t now, bool inFirstBox) {
    started = now;
    isRunning = true;
    begunInFirstBox = inFirstBox;
}
