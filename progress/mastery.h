#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

#include "data/history.h"
#include "progress/wubicodes.h"

// How well a pupil knows each character, root and key, worked out page by page.
//
// Each page gives every character, root (by code position) and key it touched a mean time per
// stroke and an accuracy (strokes right over strokes right plus wrong attempts). Both are smoothed
// over pages exponentially with kSmoothing, so the last twenty pages or so decide. A wrong attempt
// whose code is known is laid on the root and key where the code went wrong; otherwise on all of
// the character's roots and keys.
//
// Confidence is 0 below kMinimumSamples strokes; above, the target time over the smoothed time,
// capped by accuracy over kAccuracyGoal, so that a fast but careless root never reaches 1.
namespace Mastery {

inline constexpr double kSmoothing = 0.1;
inline constexpr int kMinimumSamples = 20;
inline constexpr double kAccuracyGoal = 0.95;
// 60 characters a minute: what a pupil who knows the codes reaches without looking, and the bar
// common typing examinations set for Chinese text; one second a character.
inline constexpr int kDefaultTargetCpm = 60;

struct Score {
    double ms = 0;
    double accuracy = 1;
    qint64 samples = 0;
    qint64 lastAt = 0;  // UTC ms of the last page with it
    bool timed = false;
};

double confidence(const Score& score, double targetMs);
double targetMs(int charactersPerMinute);
// Whether a character is due again: after 1, 4, 16 or 32 days, the surer the pupil, the later.
bool due(const Score& score, double targetMs, qint64 now);

// What a commit tells about the code typed for it.
struct Mistake {
    enum Kind {
        Unknown,
        RootOnWrongKey,      // position's root sought on another key
        IdentificationCode,  // the roots right, the final identification code missing or wrong
        WrongCandidate,      // the code right, another candidate chosen
        Right,               // the right character by its shortest code
        LongerThanNeeded,    // the right character by a longer code where a shorter one does
    };
    Kind kind = Unknown;
    int position = -1;  // code position (from 0)
    QChar typedKey;
};
// What a commit says of the code typed for wanted: a wrong one (cameOut another character) or the
// right one (cameOut == wanted). typedCode: the letters shown before the commit, or empty; then the
// code is what came out when that is letters (the input method gave up the letters themselves),
// else the code of the character that came out.
Mistake classify(const Wubi::CodeBook& book, const QString& wanted, const QString& cameOut,
                 const QString& typedCode);

class Tracker {
  public:
    void addPage(const History::Page& page, const Wubi::CodeBook& book);

    QHash<QString, Score> characters, roots, keys;
    qint64 through = 0;  // the last page added

    QByteArray save() const;
    static Tracker load(const QByteArray& bytes);
};

// The tracker of the pupil's history, brought up to date from the pages after the state kept
// with it, which is kept again.
Tracker current(History::Store& store, const Wubi::CodeBook& book);

}  // namespace Mastery
