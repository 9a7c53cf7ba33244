#pragma once

#include <QString>
#include <cstdint>

// Timing, speed and record rules of a finished page, shared by the three drills.
namespace PageTiming {

// Milliseconds between two tick counts; right across the 32-bit wrap.
inline qint64 elapsed(uint32_t start, uint32_t end) {
    return qint64(uint32_t(end - start));
}

// Whole seconds used as the speed's divisor. A page finished in under one whole second counts
// as one second, so the speed stays a finite number (the fastest it can honestly claim).
qint64 speedSeconds(qint64 elapsedMs);

// Text and finger drills: "输入时间为:" M "分" S "秒" and "每分钟" V "个", V the bytes typed per
// minute cut (not rounded) to a whole number.
QString timeText(qint64 elapsedMs);
QString speedText(qint64 byteCount, qint64 elapsedMs);

// Root drill: "输入时间为：" with minutes only from one minute on, and "每分钟:" 1680 div seconds
// "个".
QString rootTimeText(qint64 elapsedMs);
QString rootSpeedText(qint64 elapsedMs);

// A page is a new best only when strictly faster than the best held in NumH1's caption.
bool isNewBest(qint64 elapsedMs, const QString& bestCaption);

}  // namespace PageTiming
