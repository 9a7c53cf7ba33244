#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include "app/lessoncatalogue.h"
#include "bench/teaching/pupil.h"
#include "bench/teaching/sitting.h"
#include "data/history.h"

// The two ways through practice that the benchmark compares. Each types the pupil's next page at
// now (moved on to the page's end) and hands it back for the history.

// The fixed course as its menus list it: the root drill's lessons and the text lessons, from the
// built course's tables. The pupil types a lesson's page again until it goes well (nearly all
// of it unaided and right first time) and at least twice, at most kMostRepeats times, then takes
// the next lesson; after the last one the course starts over.
class FixedCourse {
  public:
    static constexpr int kLeastRepeats = 2;
    static constexpr int kMostRepeats = 6;

    FixedCourse(const Wubi::CodeBook& book, const InputMethod& im);
    History::Page next(Pupil& pupil, qint64& now, QRandomGenerator& random, PageCounts& counts);

  private:
    QStringList textPage(const Catalogue::Command& lesson) const;
    QList<int> rootPage(const Catalogue::Command& lesson, QRandomGenerator& random);

    const Wubi::CodeBook& book;
    const InputMethod& im;
    QList<Catalogue::Command> lessons;
    QStringList rows;       // the text table's lines
    QList<QChar> rootKeys;  // the root table's key by record
    int lesson = 0;
    int repeats = 0;
    bool strokeAlternate = false;
};

// 智能练习 on every page: the page the program would open now from the pupil's history.
class AdaptiveCourse {
  public:
    AdaptiveCourse(const Wubi::CodeBook& book, const InputMethod& im, History::Store& store)
        : book(book), im(im), store(store) {}
    History::Page next(Pupil& pupil, qint64& now, QRandomGenerator& random, PageCounts& counts);
    const QString& keys() const { return keysInPlay; }

  private:
    const Wubi::CodeBook& book;
    const InputMethod& im;
    History::Store& store;
    QString keysInPlay;
    int pages = 0;
};
