#include "progress/recorder.h"

#include <QDateTime>

#include "app/lessoncatalogue.h"
#include "progress/typingmeasures.h"
#include "progress/wordtable.h"

namespace Progress {

namespace {

Catalogue::Kind kindOf(const QString& drill) {
    if (drill == History::kFinger)
        return Catalogue::Kind::FingerLesson;
    if (drill == History::kRoot)
        return Catalogue::Kind::RootLesson;
    return Catalogue::Kind::TextLesson;
}

}  // namespace

QString lessonCaption(const QString& drill, int first, int second) {
    const Catalogue::Kind kind = kindOf(drill);
    for (const Catalogue::Menu& menu : Catalogue::menus())
        for (const Catalogue::Entry& entry : menu.entries)
            if (!entry.separator && entry.command.kind == kind && entry.command.first == first &&
                (kind == Catalogue::Kind::FingerLesson || entry.command.second == second))
                return entry.command.caption;
    return {};
}

void record(History::Page page) {
    page.at = QDateTime::currentDateTimeUtc();
    if (page.lesson.isEmpty())
        page.lesson = lessonCaption(page.drill, page.rangeFirst, page.rangeSecond);
    // The text drill counts no keys itself: its measures come from the strokes it took down.
    if (page.drill == History::kText && page.measures.isEmpty())
        page.measures = TypingMeasures::fromStrokes(page.strokes, page.ms, WordTable::shared());
    History::Store::instance().record(page);
}

void prepareTextPages() {
    WordTable::shared();
}

void idle() {
    History::Store::instance().idle();
}

}  // namespace Progress
