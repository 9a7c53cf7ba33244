#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include "progress/mastery.h"
#include "progress/wubicodes.h"

namespace History {
class Store;
}

// The adaptive practice page (智能练习). The keys come in one by one in the order of the course's
// root lessons, never fewer than minimumKeys(): the next key joins once the roots of every key in
// play have come back right at kRecallSpeedShare of the target speed at least once (its best
// confidence), so that a pupil who levels off still moves on; the pupil may ask for more keys, or
// for the stricter rule that every key in play be at the full target now.
//
// A page is made of common characters the keys in play can type: those of the weakest root in
// play (the focus), the most frequent characters the pupil is not yet sure of and has not met in
// the sitting, a few of the most frequent ones the pupil knows (as any text would bring them), the
// roots new to the pupil, the characters (most frequent first) and roots due for review, and the
// pupil's recent slips as pairs of the wanted character and the one that came out instead, with
// another character between them. When too few characters fit, the page is the root characters of
// the keys in play.
//
// Input methods learn a phrase from characters committed one after the other (fcitx5 learns every
// run of two to four, and keeps one seen three times); a phrase whose code is a character's full
// code can then come out for that character. So no two neighbours on a page are the same
// character, or two whose phrase code is the full code of a common character.
namespace AdaptiveLesson {

inline constexpr int kFirstKeys = 5;  // the first zone
// The keys always in play: those of the first zone and as many more as let a pupil type this many
// common characters, so that a page is more than the same few characters over again (the first
// zone alone types 21).
inline constexpr int kFirstCharacters = 120;
inline constexpr int kLines = 4;
inline constexpr int kLineLength = 20;
inline constexpr int kMinimumFocus = 4;  // fewer characters to draw from give the fall-back
inline constexpr int kFocusCharacters = 4;
inline constexpr int kNewCharacters = 20;
// A character met in the last kRestMs waits for its review instead of coming back as new: a code
// recalled after a night teaches more than its tenth repetition in a sitting, and each page of the
// sitting then brings other common characters.
inline constexpr qint64 kRestMs = 12 * 3600 * 1000;
// Characters drawn from the kKnownFrom most frequent ones the pupil is sure of: these make up most
// of any text, and a code not typed for weeks fades even when it was once sure.
inline constexpr int kKnownCharacters = 8;
inline constexpr int kKnownFrom = 300;
inline constexpr int kReviews = 12;
// Roots in play not met for their spacing (Mastery::due) come back in a character of theirs.
inline constexpr int kRootReviews = 6;
// The roots of the keys in play with fewer than Mastery::kMinimumSamples strokes are typed after
// the pairs, as themselves where the root is a common character the keys type, else in their most
// frequent character.
inline constexpr int kIntroduced = 8;
// Wubi is typed as fast as the roots come back, not as the fingers move: the next key joins once
// the roots of every key in play come back right (kAccuracyGoal) at this share of the target, and
// the full target speed is left for when every key is in.
inline constexpr double kRecallSpeedShare = 0.5;
inline constexpr int kPairs = 3;
// Unless the pupil sets a target, a key is at the target once no more than a little behind the
// pupil's usual pace: this share of the median speed of the last text pages, and never above
// Mastery::kDefaultTargetCpm nor below kLowestTargetCpm.
inline constexpr double kOwnSpeedShare = 0.75;
inline constexpr int kLowestTargetCpm = 10;

struct Confusion {
    QString wanted;
    QString typed;
    double weight = 0;
};

// What decides the keys in play.
struct Rule {
    double targetMs = Mastery::targetMs(Mastery::kDefaultTargetCpm);
    int unlockedBefore = 0;  // keys the pupil's pages had brought in
    int keysWanted = 0;      // the pupil's own choice of more keys
    bool recoverKeys = false;
};

struct Plan {
    QString keys;            // in play
    QString focusRoot;       // empty for the fall-back
    QStringList focus;       // characters with the focus root, most frequent first
    QStringList fresh;       // the most frequent characters not yet at the target
    QStringList known;       // some of the most frequent ones that are
    QStringList introduced;  // the new roots, near the start
    QStringList reviews;
    QList<Confusion> pairs;
    bool fallBack = false;
    QStringList lines;
};

QString keysInPlay(const Wubi::CodeBook& book, const Mastery::Tracker& tracker, const Rule& rule);
// How many keys, in the course's order, are always in play.
int minimumKeys(const Wubi::CodeBook& book);
// The roots of the keys that occur in at least kMinimumFocus common characters made of them alone:
// a root too rare to practise is never worked on.
QStringList rootsInPlay(const Wubi::CodeBook& book, const QString& keys);
// The pupil's slips worth a pair: both characters common and typed with the keys, most weight
// first.
QList<Confusion> pairsFor(const Wubi::CodeBook& book, const Mastery::Tracker& tracker,
                          const QString& keys);

Plan makePage(const Wubi::CodeBook& book, const Mastery::Tracker& tracker, const Rule& rule,
              qint64 now, QRandomGenerator& random);

// What pageFor keeps in the history: the mastery state and the keys brought in, or nothing.
enum class Keep { Progress, Nothing };

// The pupil's page from the history at now (UTC ms), with the pupil's settings.
Plan pageFor(History::Store& store, const Wubi::CodeBook& book, QRandomGenerator& random,
             qint64 now, Keep keep = Keep::Progress);

// The target speed in characters per minute the pupil set, 0 when none.
int chosenTargetCpm(History::Store& store);
void setTargetCpm(History::Store& store, int cpm);
// The target speed in force: the pupil's own, else drawn from the last text pages' speeds, else
// Mastery::kDefaultTargetCpm.
int targetCpm(History::Store& store, Keep keep = Keep::Progress);
// How many keys, in the course's order, the pupil's adaptive pages have brought into play.
int keysUnlocked(History::Store& store);
// The number of keys the pupil asked for, 0 when none.
int keysWanted(History::Store& store);
void setKeysWanted(History::Store& store, int keys);
Rule ruleOf(History::Store& store, Keep keep = Keep::Progress);

}  // namespace AdaptiveLesson
