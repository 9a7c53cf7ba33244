#pragma once

#include <QHash>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QStringView>

// Which characters and keys a pupil finds hard, from the strokes of the history.
//
// Weak characters. A character counts once it has been met at least kMinimumMet times (fewer
// say nothing about the pupil). They are ranked by:
//   1. wrong attempts: the total number of wrong characters typed in its place, most first;
//   2. then the median time to type it, slowest first. The median is the middle of the sorted
//      times (the upper of the two middle ones for an even count); the first stroke of a page is
//      left out, as the page's clock starts with it and its time is always 0;
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
    int met = 0;
    int wrong = 0;
    quint32 medianMs = 0;
};

class CharacterTally {
  public:
    void add(QStringView character, quint32 ms, quint32 wrong, bool firstOfPage);
    QList<CharacterScore> weakest(int count = kWeakest) const;

  private:
    struct Tally {
        int met = 0;
        int wrong = 0;
        QList<quint32> times;
    };
    QHash<char32_t, Tally> tallies;
};

struct KeyScore {
    QString key;
    int right = 0;
    int wrong = 0;
    double rate() const { return right + wrong ? double(wrong) / (right + wrong) : 0.0; }
};

class KeyTally {
  public:
    void add(QStringView key, quint32 wrong);
    QList<KeyScore> ranked() const;

  private:
    QHash<QString, KeyScore> keys;
};

// A practice page of kPageLines lines of at most kLineLength characters drawn from the given
// characters, each used about as often as the others, never the same one twice in a row (nor
// across a line end). One character alone gives a one-line page of it.
QStringList practicePage(const QStringList& characters, QRandomGenerator& random);

}  // namespace Ranking
