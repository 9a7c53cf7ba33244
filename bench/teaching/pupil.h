#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QRandomGenerator>
#include <QSet>
#include <QString>
#include <QStringList>

#include "bench/teaching/memory.h"
#include "progress/wubicodes.h"

// How one kind of pupil learns, forgets, errs and types. The README of this folder explains the
// model and the numbers.
struct Profile {
    QString name;
    // Learning and forgetting (see Trace).
    double massed;        // days a first meeting holds
    double gainRecalled;  // spaced gain of a meeting recalled unaided
    double gainRead;      // spaced gain of a meeting read from the hint or the key chart
    double wholeShare;    // the part of a root's massed gain a character's whole code gets
    double forgetting;    // 1 normal, above 1 faster
    // Errors.
    double lookAlike;  // chance that a root not recalled brings back a look-alike root's key
    double slip;       // chance of a wrong key per key struck
    double misSplit;   // chance of a wrong split of a character never typed, before practice
    double rebuild;    // chance that a root met before but not recalled is worked out unaided
    // Times, in ms.
    double keyFirstMs;     // one key of a beginner
    double keyBestMs;      // one key after long practice
    double recallMs;       // recalling a fresh item
    double recallFadedMs;  // added as the item fades
    double splitMs;        // seeing a character's parts before composing its code
    double hintMs;         // reading the hint or finding a root on the key chart
    double rebuildMs;      // working a forgotten root out unaided
    double guessMs;        // giving up and guessing
    // Wrong beliefs held from the start: the root, and the look-alike whose key the pupil gives
    // it.
    QList<QPair<QString, QString>> beliefs;
};

QList<Profile> profiles();

// A simulated pupil: a trace per root, per rule (identification code, the codes of the roots that
// are characters) and per character's whole code, and the wrong beliefs not yet put right.
// Drawing an attempt changes nothing; learning happens only in practice, after the drill's
// verdict.
class Pupil {
  public:
    Pupil(const Profile& profile, const Wubi::CodeBook& book);

    // Where the code letter at one position comes from.
    struct Piece {
        QString item;  // a root, or a rule
        QChar key;
        bool rule = false;
    };
    enum class Recall { Untried, Recalled, Failed, Wrong };
    struct Attempt {
        QString code;  // letters typed
        double ms = 0;
        bool whole = false;     // the whole code came back at once
        bool readHint = false;  // typed as the hint shows it
        QList<Recall> pieces;   // by code position, when composed
        QList<bool> belief;     // a wrong belief gave the piece's key
    };

    // One try at the character's code. With the hint the pupil reads it for what does not come
    // back; without it a failed recall is guessed or slowly worked out. forceHint: the try after
    // the drill marked a wrong character.
    Attempt type(const QString& character, bool hint, bool forceHint, qint64 now,
                 QRandomGenerator& random) const;
    // The character came out right with this attempt.
    void learn(const QString& character, const Attempt& attempt, qint64 now);
    // The drill marked what this attempt gave: a wrong belief used loses part of its hold.
    void corrected(const QString& character, const Attempt& attempt);

    // The root drill: a root (or a stroke item) whose key the pupil gives, looking at the key chart
    // when it does not come back.
    struct Answer {
        QChar key;
        double ms = 0;
        bool lookedUp = false;
        bool belief = false;
    };
    Answer place(const QString& item, QChar key, qint64 now, QRandomGenerator& random) const;
    // After a wrong key: the root found on the chart.
    Answer lookUp(QChar key, QRandomGenerator& random) const;
    void learnPlace(const QString& item, QChar key, const Answer& answer, qint64 now);

    // A key that is no code letter (punctuation through the input method).
    double otherKeyMs(QRandomGenerator& random) const;
    QList<Piece> pieces(const Wubi::Character& character) const;

  private:
    struct Guess {
        QChar key;
        double ms = 0;
        Recall recall = Recall::Failed;
        bool belief = false;
    };
    Guess recallPiece(const Piece& piece, qint64 now, QRandomGenerator& random) const;
    Attempt compose(const QString& character, bool hint, bool forceHint, qint64 now,
                    QRandomGenerator& random) const;
    double fillUnaided(const QList<Piece>& parts, Attempt& a, qint64 now,
                       QRandomGenerator& random) const;
    void misSplit(const QString& character, Attempt& a, QRandomGenerator& random) const;
    QString lookAlikeOf(const QString& root, qint64 now, double* strength) const;
    double keyMs() const;
    double recallTime(double strength) const;
    void meet(Trace& trace, bool recalled, qint64 now, double share = 1);
    static double noise(QRandomGenerator& random);
    QChar slipped(QChar key, QRandomGenerator& random) const;

    Profile profile;
    const Wubi::CodeBook& book;
    QHash<QString, Trace> items;   // roots and rules
    QHash<QString, Trace> wholes;  // characters' whole codes
    // Wrong beliefs do not fade with time: only being put right loosens them.
    QHash<QString, double> beliefHold;  // by root
    QHash<QString, QString> believed;   // root → look-alike
    QSet<QString> composed;             // characters typed so far
    qint64 keys = 0;                    // struck in practice
};
