#include "bench/teaching/curricula.h"

#include "data/session.h"
#include "data/table.h"
#include "drills/rootlessons.h"
#include "progress/adaptivelesson.h"
#include "progress/adaptivepractice.h"
#include "progress/recorder.h"

namespace {

// Every row's field of a course table, in the order the drills move through them.
QStringList columnOf(const QString& table, const QString& field) {
    TSession session;
    session.setOnPassword(Password);
    TTable rows(session, QStringLiteral("Table1"));
    rows.Open(QStringLiteral("\\mavro"), table);
    QStringList values;
    rows.First();
    for (int at = -1; rows.RecNo() != at; rows.Next()) {
        at = rows.RecNo();
        values << rows.FieldAsString(field);
    }
    return values;
}

}  // namespace

FixedCourse::FixedCourse(const Wubi::CodeBook& book, const InputMethod& im) : book(book), im(im) {
    for (const Catalogue::Menu& menu : Catalogue::menus())
        for (const Catalogue::Entry& entry : menu.entries)
            if (!entry.separator && (entry.command.kind == Catalogue::Kind::TextLesson ||
                                     entry.command.kind == Catalogue::Kind::RootLesson))
                lessons << entry.command;
    rows = columnOf(QStringLiteral("111.DB"), QStringLiteral("文字"));
    for (const QString& key : columnOf(QStringLiteral("wb1.db"), QStringLiteral("Key"))) {
        const QString letter = key.trimmed().toLower();
        rootKeys << (letter.isEmpty() ? QChar() : letter[0]);
    }
}

// The rows the text drill shows for a lesson: from its first row, as many lines as it has when
// that is five to seven, else eight.
QStringList FixedCourse::textPage(const Catalogue::Command& c) const {
    const int shown = c.second >= 5 && c.second <= 7 ? c.second : 8;
    QStringList lines;
    for (int i = 0; i < shown; ++i)
        lines << rows.value(qMin<qsizetype>(c.first - 1 + i, rows.size() - 1));
    return lines;
}

QList<int> FixedCourse::rootPage(const Catalogue::Command& c, QRandomGenerator& random) {
    const int strokeStart = RootLessons::isStrokeLesson(c.first, c.second)
                                ? RootLessons::nextStrokeStart(strokeAlternate)
                                : 0;
    return RootLessons::pagePositions(c.first, c.second, strokeStart,
                                      [&](int n) { return int(random.bounded(n)); });
}

History::Page FixedCourse::next(Pupil& pupil, qint64& now, QRandomGenerator& random,
                                PageCounts& counts) {
    const Catalogue::Command& c = lessons[lesson];
    History::Page page;
    if (c.kind == Catalogue::Kind::TextLesson) {
        page = typeTextPage(pupil, im, book, textPage(c), now, random, counts);
        page.lesson = Progress::lessonCaption(History::kText, c.first, c.second);
    } else {
        page = typeRootPage(pupil, rootPage(c, random), rootKeys, book, now, random, counts);
        page.lesson = Progress::lessonCaption(History::kRoot, c.first, c.second);
    }
    page.rangeFirst = c.first;
    page.rangeSecond = c.second;
    page.pageNo = ++repeats;
    const bool wentWell =
        counts.unaided >= 0.9 * counts.items && counts.rightFirstTime >= 0.95 * counts.items;
    if (repeats >= kMostRepeats || (repeats >= kLeastRepeats && wentWell)) {
        lesson = (lesson + 1) % int(lessons.size());
        repeats = 0;
    }
    return page;
}

History::Page AdaptiveCourse::next(Pupil& pupil, qint64& now, QRandomGenerator& random,
                                   PageCounts& counts) {
    const AdaptiveLesson::Plan plan = AdaptiveLesson::pageFor(store, book, random, now);
    keysInPlay = plan.keys;
    History::Page page = typeTextPage(pupil, im, book, plan.lines, now, random, counts);
    page.lesson = AdaptivePractice::kCaption;
    page.rangeFirst = 1;
    page.rangeSecond = 1;
    page.pageNo = ++pages;
    return page;
}
