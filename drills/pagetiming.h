#pragma once

#include <QString>
#include <cstdint>

class QLabel;

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

// The captions where a drill keeps its results: the best page of the visit with its time in ms
// (NumH1, hidden), and the latest page.
struct PageRecordLabels {
    QLabel* bestMs;
    QLabel* bestTime;
    QLabel* bestSpeed;
    QLabel* lastTime;
    QLabel* lastSpeed;

    // Keeps the page's time as the best when it is a new best; returns whether it was.
    bool keepIfBest(qint64 elapsedMs) const;
    // Shows the page's time and speed as the latest page, and as the best after a new best.
    void show(bool newBest, const QString& time, const QString& speed) const;
};

// When a page's time starts. Each drill starts its clock at a moment of its own in box 1 and
// starts it again whenever that moment comes back. A pupil need not begin in box 1, though: any
// other input starts the clock if it is not running. A page begun outside box 1 is never
// restarted by box 1's moment, since that would drop what was already typed; a page begun in
// box 1 keeps the restart. Showing a page stops the clock, so no page is timed from an earlier
// page, visit or the machine's start; a page finished without the clock ever starting (its boxes
// filled without a key stroke) is timed from its showing.
class PageClock {
  public:
    void pageShown(uint32_t now);
    // Box 1 reached the drill's starting moment.
    void firstBoxMoment(uint32_t now);
    // Any other input on the page, in box `box` (counted from 1).
    void input(int box, uint32_t now);
    // Text and finger drills: box `box` now holds `length` bytes or characters. Box 1's moment
    // is the length two, so its first byte or character is not timed; a longer text (a phrase
    // committed at once) starts a clock not yet running. An empty box was emptied by the drill
    // or cleared by the pupil, neither of which starts a page.
    void boxChanged(int box, qsizetype length, uint32_t now);

    bool running() const { return isRunning; }
    // The tick count the page's time runs from.
    uint32_t startTime() const { return isRunning ? started : shown; }
    qint64 elapsed(uint32_t end) const { return PageTiming::elapsed(startTime(), end); }

  private:
    void start(uint32_t now, bool inFirstBox);

    uint32_t shown = 0;
    uint32_t started = 0;
    bool isRunning = false;
    bool begunInFirstBox = false;
};
