#pragma once

#include <QHash>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include "bench/teaching/pupil.h"
#include "data/history.h"
#include "progress/wubicodes.h"

// The pupil at the drills: pages typed as the text drill and the root drill record them, and the
// held-out test.

// What the input method commits for a typed code: the characters of the code book whose short or
// full code it is, the short code's owner first, then by frequency.
class InputMethod {
  public:
    explicit InputMethod(const Wubi::CodeBook& book);
    // The character wanted when it is a candidate (the pupil picks it), else the first candidate,
    // else nothing: the pupil erases the letters.
    QString commit(const QString& code, const QString& wanted) const;

  private:
    QHash<QString, QStringList> candidates;
};

struct PageCounts {
    int items = 0;
    int rightFirstTime = 0;
    int unaided = 0;       // without the hint or the chart
    int wrongCommits = 0;  // a wrong character came out
    int erased = 0;        // a wrong code had no candidate
};

// A text page typed with the hint showing, starting at now (moved on to the page's end), as the
// text drill records it: each character with its time since the one before (the first with none,
// as the page's clock starts with it), the code letters of the commit, and the wrong characters
// committed in its place. A wrong code that commits nothing is erased and leaves no trace but its
// time, as in the drill.
History::Page typeTextPage(Pupil& pupil, const InputMethod& im, const Wubi::CodeBook& book,
                           const QStringList& lines, qint64& now, QRandomGenerator& random,
                           PageCounts& counts);

// A root drill page of the records given (keys by record, roots by record, empty for stroke
// items), as the root drill records it.
History::Page typeRootPage(Pupil& pupil, const QList<int>& records, const QList<QChar>& keys,
                           const Wubi::CodeBook& book, qint64& now, QRandomGenerator& random,
                           PageCounts& counts);

struct TestResult {
    double cpm = 0;
    double accuracy = 0;
};

// Each character typed once without the hint; nothing is learnt or recorded.
TestResult heldOutTest(const Pupil& pupil, const InputMethod& im, const QStringList& characters,
                       qint64 now, QRandomGenerator& random);
