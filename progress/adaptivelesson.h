#pragma once

#include <QList>
#include <QPair>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include "progress/mastery.h"
#include "progress/wubicodes.h"

namespace History {
class Store;
}

// The adaptive practice page (智能练习): the keys come in one by one in the order of the course's
// root lessons, starting with the first zone; a key joins only when every root in play is at
// target speed (confidence 1) and kAccuracyGoal. Each page works on the weakest root in play with
// common characters made only of roots in play that contain it, the most frequent first; it mixes
// in characters due for review and the pupil's worst confusions as pairs (the wanted character,
// then the one that came out instead). When too few characters fit, the page is the root
// characters of the keys in play.
namespace AdaptiveLesson {

inline constexpr int kFirstKeys = 5;  // the first zone
inline constexpr int kLines = 4;
inline constexpr int kLineLength = 20;
inline constexpr int kMinimumFocus = 4;  // fewer characters to draw from give the fall-back
inline constexpr int kFocusCharacters = 16;
inline constexpr int kReviews = 6;
inline constexpr int kPairs = 3;

struct Confusion {
    QString wanted;
    QString typed;
    qint64 count = 0;
};

struct Plan {
    QString keys;       // in play
    QString focusRoot;  // empty for the fall-back
    QStringList focus;  // characters with the focus root, most frequent first
    QStringList reviews;
    QList<Confusion> pairs;
    bool fallBack = false;
    QStringList lines;
};

// Keys in play for a pupil who had unlocked keys before: one more when all roots in play are
// mastered. The roots in play are those of the keys that occur in at least kMinimumFocus common
// characters made of them alone: a root too rare to practise never holds the next key back.
QString keysInPlay(const Wubi::CodeBook& book, const Mastery::Tracker& tracker, double targetMs,
                   int unlockedBefore);
QStringList rootsInPlay(const Wubi::CodeBook& book, const QString& keys);

Plan makePage(const Wubi::CodeBook& book, const Mastery::Tracker& tracker,
              const QList<Confusion>& confusions, double targetMs, int unlockedBefore, qint64 now,
              QRandomGenerator& random);

// The pupil's page from the history at now (UTC ms): the target speed and unlocked keys kept as
// settings; the number of keys in play is kept again.
Plan pageFor(History::Store& store, const Wubi::CodeBook& book, QRandomGenerator& random,
             qint64 now);

// The pupil's target speed in characters per minute (a setting, Mastery::kDefaultTargetCpm
// unless set).
int targetCpm(History::Store& store);
// How many keys, in the course's order, the pupil's adaptive pages have brought into play.
int keysUnlocked(History::Store& store);

}  // namespace AdaptiveLesson
