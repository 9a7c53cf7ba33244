#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>

#include "data/history.h"

// Follows the typing boxes of a drill page and notes every character that was accepted at the end
// of a box: its time since the one before (the first since the page's clock start) and how many
// wrong characters were typed in its place first. The drills call it from their change handlers
// with the verdict of their own line check.
class StrokeLog {
  public:
    void reset();
    // A change of box (from 1) to text; right is the drill's verdict on the last character. The
    // page's first stroke is timed from clockStart.
    void changed(int box, const QString& text, bool right, uint32_t now, uint32_t clockStart);
    // As above for a drill whose first stroke has no time of its own.
    void changed(int box, const QString& text, bool right, uint32_t now) {
        changed(box, text, right, now, now);
    }
    // The page's strokes; the log starts afresh.
    QList<History::Stroke> take();
    const QList<History::Stroke>& strokes() const { return list; }

  private:
    QList<History::Stroke> list;
    QHash<int, qsizetype> accepted;  // characters accepted so far in each box
    quint32 wrongHere = 0;
    uint32_t last = 0;
};

// The two drills' logs, for the drills' change handlers.
namespace Progress {
StrokeLog& textLog();
StrokeLog& fingerLog();
}  // namespace Progress
