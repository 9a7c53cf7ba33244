#pragma once

#include <QHash>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace History {
class Store;
}

// Which characters and keys a pupil finds hard, read from the history's running totals.
//
// Weak characters. A character counts once it has been met at least kMinimumMet times (fewer
// say nothing about the pupil). They are ranked by:
//   1. wrong attempts: the total number of wrong characters typed in its place, most first;
//   2. then the median time to type it, slowest first. The times are those of the running totals,
//      each to the nearest History::kTallyUnitMs (10 ms); the median is the middle of them sorted
//      (the upper of the two middle ones for an even count). The first stroke of a page is left
//      out, as the page's clock starts with it and its time is always 0;
//   3. then the character itself in code order, so equal scores always list the same way.
//
// Weak keys (finger drill). A key's error rate is wrong / (right + wrong): of all key strokes
// aimed at it, the share that were wrong. Ranked by rate, then wrong strokes, then key order;
// keys never aimed at are left out.
namespace Ranking {

inline constexpr int kMinimumMet = 3;
inline constexpr int kWeakest = 30;

struct CharacterScore {
    QString character;
    qint64 met = 0;
    qint64 wrong = 0;
    quint32 medianMs = 0;
};

class CharacterTally {
  public:
    // met strokes of the character, with wrong attempts in its place.
    void addMet(QStringView character, qint64 met, qint64 wrong);
    // count strokes of the character that took ms.
    void addTime(QStringView character, quint32 ms, qint64 count);
    // The characters that can be among the count weakest by what addMet gave: met often enough,
    // and as many wrong attempts as the count-th most. Only their times decide the list.
    QStringList contenders(int count = kWeakest) const;
    QList<CharacterScore> weakest(int count = kWeakest) const;

  private:
    struct Tally {
        qint64 met = 0;
        qint64 wrong = 0;
        QList<QPair<quint32, qint64>> times;  // (ms, strokes)
    };
    QHash<char32_t, Tally> tallies;
};

struct KeyScore {
    QString key;
    qint64 right = 0;
    qint64 wrong = 0;
    double rate() const { return right + wrong ? double(wrong) / double(right + wrong) : 0.0; }
};

class KeyTally {
  public:
    // strokes typed right on the key, after wrong attempts aimed at it.
    void add(QStringView key, qint64 strokes, qint64 wrong);
    QList<KeyScore> ranked() const;

  private:
    QHash<QString, KeyScore> keys;
};

// The count weakest characters of the text drill in the store. It reads the times of the
// contenders only.
QList<CharacterScore> weakestIn(History::Store& store, int count = kWeakest);

// The finger drill's keys in the store, ranked.
QList<KeyScore> keysIn(History::Store& store);

// A practice page of kPageLines lines of at most kLineLength characters drawn from the given
// characters, each used about as often as the others, never the same one twice in a row (nor
// across a line end). One character alone gives a one-line page of it.
QStringList practicePage(const QStringList& characters, QRandomGenerator& random);

}  // namespace Ranking
