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
    // Before a change of the text drill: the code letters the input method showed for what the
    // change commits (empty when it showed none) and whether the code hint is showing.
    void composed(const QString& code, bool hintShowing);
    // A change of box (from 1) to text; right is the drill's verdict on the last character. The
    // page's first stroke is timed from clockStart.
    void changed(int box, const QString& text, bool right, uint32_t now, uint32_t clockStart);
    // A code the pupil gave up without a commit: a slip at the character it was meant for, told
    // by its letters, as a wrong commit is told by what came out.
    void gaveUp(const QString& code);
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
    QStringList wrongsHere;
    QString code;
    bool hinted = false;
    uint32_t last = 0;
};

// The root drill's answers: each item of a page is one stroke, named by its record of the root
// table as a character of the private use area, with its time since the answer before and the
// wrong letters given first.
class RootItemLog {
  public:
    static QChar itemCharacter(int record) { return QChar(char16_t(kFirst + record)); }
    // The record of an item's character, -1 for any other character.
    static int recordOf(QStringView character);

    void pageShown(const QList<int>& records, uint32_t now);
    // A letter given for item (from 1).
    void answered(int item, QChar letter, bool right, uint32_t now);
    QList<History::Stroke> take();

  private:
    static constexpr int kFirst = 0xE000;
    QList<History::Stroke> items;
    uint32_t last = 0;
};

// The drills' logs, for the drills' change handlers.
namespace Progress {
StrokeLog& textLog();
StrokeLog& fingerLog();
RootItemLog& rootLog();
}  // namespace Progress
