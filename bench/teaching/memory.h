#pragma once

#include <QtGlobal>
#include <cmath>

// One thing a simulated pupil remembers: a root's key, a rule, a character's whole code.
//
// The trace has a stability in days: the chance to recall it is exp(-elapsed / stability), so it
// fades with time. Each meeting raises the stability by a spaced part, large when the trace had
// already faded (a recall after a night's sleep teaches more than the tenth in a minute), and by
// a massed part that also shrinks as the trace is fresh.
struct Trace {
    double stability = 0;  // days
    qint64 last = 0;       // ms of the last meeting
    int meetings = 0;

    static constexpr double kDayMs = 86400000.0;

    // forgetting > 1 fades faster.
    double recall(qint64 now, double forgetting = 1) const {
        if (meetings == 0 || stability <= 0)
            return 0;
        const double days = double(qMax<qint64>(0, now - last)) / kDayMs;
        return std::exp(-days * forgetting / stability);
    }

    // spacedGain: growth factor of the spaced part; massed: days added by a meeting of a trace
    // that had faded away.
    void meet(qint64 now, double forgetting, double spacedGain, double massed) {
        const double r = recall(now, forgetting);
        stability = stability * (1 + spacedGain * (1 - r)) + massed * (1 - 0.8 * r);
        last = now;
        ++meetings;
    }

    // A wrong belief put right: it keeps only part of its hold.
    void weaken(double kept) { stability *= kept; }
};
