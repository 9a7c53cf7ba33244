#pragma once

#include <QChar>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include "drills/hintcode.h"
#include "progress/wubicodes.h"

// What the text drill's totals say of the pupil's Wubi codes: which roots they seek on another
// key, which characters they type without their identification code (识别码) or with a wrong
// one, and which they type by a longer code than they need. A wrong character tells its code
// through what came out (Mastery::classify); a right one through the letters typed for it.
namespace CodeHabits {

struct RootSlip {
    QString root;
    QChar key;    // where the root lives, lower case
    QChar typed;  // where the pupil looked for it
    qint64 count = 0;
};

struct IdentificationSlip {
    QString character;
    QChar code;   // its identification code
    QChar typed;  // null when left out
    qint64 count = 0;
};

struct LongerCode {
    QString character;
    QString shortCode;
    qint64 count = 0;
};

// Each list most met first.
struct Habits {
    QList<RootSlip> roots;
    QList<IdentificationSlip> identification;
    QList<LongerCode> longerCodes;
};

// Fed the totals of the text drill (History::Store::forEachConfusion, forEachCodeAttempt).
class Counter {
  public:
    // order: the candidates of the pupil's input method, by which a shorter code is advised only
    // where it gives the character with Space there.
    Counter(const Wubi::CodeBook& book, const HintCode::Order& order) : book(book), order(order) {}
    // cameOut came out n times where wanted was due.
    void confusion(const QString& wanted, const QString& cameOut, qint64 n) {
        add(wanted, cameOut, QString(), n);
    }
    // character came out right n times from code.
    void attempt(const QString& character, const QString& code, qint64 n) {
        add(character, character, code, n);
    }
    Habits habits() const;

  private:
    using Counts = QHash<QPair<QString, QChar>, qint64>;
    void add(const QString& wanted, const QString& cameOut, const QString& code, qint64 n);
    const Wubi::CodeBook& book;
    const HintCode::Order& order;
    Counts roots, identification, longer;
    QHash<QString, QString> shorter;  // the code advised for each character of longer
};

}  // namespace CodeHabits
