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
// Confidence is the target time over the smoothed time, capped by accuracy over kAccuracyGoal so
// that a fast but careless root never reaches 1, and scaled down below kMinimumSamples strokes: a
// root typed right five times is on its way, not unknown, and not yet sure either.
//
// The tracker also keeps the pupil's slips of one character for another (the pairs a page sets
// near each other), each weighed by how recent it is and dropped once the pupil types the wanted
// character right kRightToRetire times in a row on the pages after.
namespace Mastery {

inline constexpr double kSmoothing = 0.1;
inline constexpr int kMinimumSamples = 20;
inline constexpr double kAccuracyGoal = 0.95;
// 60 characters a minute: what a pupil who knows the codes reaches without looking, and the bar
// common typing examinations set for Chinese text; one second a character.
inline constexpr int kDefaultTargetCpm = 60;

inline constexpr int kRightToRetire = 3;
// A slip weighs this much less with each text page after it: one of twenty pages ago counts a
// tenth.
inline constexpr double kSlipFading = 0.89;

struct Score {
    double ms = 0;
    double accuracy = 1;
    qint64 samples = 0;
    qint64 lastAt = 0;  // UTC ms of the last page with it
    bool timed = false;
    // The fastest smoothed time while it had kMinimumSamples strokes at kAccuracyGoal; 0 until
    // then. A key once that fast has been learnt, whatever today's page says.
    double bestMs = 0;
};

double confidence(const Score& score, double targetMs);
// The confidence the best time gives: 1 or more once the score has reached the target.
double bestConfidence(const Score& score, double targetMs);
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

// The slips of one wanted character for another, by the two characters.
struct Slip {
    double weight = 0;   // slips counted as of the page atPage, each older one faded
    qint64 atPage = 0;   // Tracker::textPages at the last slip
    int rightSince = 0;  // the wanted character typed right since, at the first try
};

class Tracker {
  public:
    void addPage(const History::Page& page, const Wubi::CodeBook& book);

    QHash<QString, Score> characters, roots, keys;
    QHash<QPair<QString, QString>, Slip> slips;  // (wanted, typed)
    qint64 textPages = 0;
    qint64 through = 0;  // the last page added

    // The slip's weight now, faded by the text pages since.
    double weightOf(const Slip& slip) const;

    QByteArray save() const;
    static Tracker load(const QByteArray& bytes);

  private:
    // A stroke of wanted with what came out in its place before it, if anything.
    void noteSlips(const QString& wanted, const QStringList& cameOut);
};

// The tracker of the pupil's history, brought up to date from the pages after the state kept
// with it; keep says whether that state is kept again.
Tracker current(History::Store& store, const Wubi::CodeBook& book, bool keep = true);

}  // namespace Mastery
