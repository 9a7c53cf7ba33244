#include "progress/recorder.h"

#include <QDateTime>

#include "app/cmavro.h"
#include "app/lessoncatalogue.h"
#include "data/history.h"
#include "drills/CTT.h"
#include "drills/Ctime.h"
#include "drills/CwbTest1.h"
#include "drills/ctest.h"
#include "progress/strokelog.h"
#include "progress/textfeed.h"
#include "progress/typingmeasures.h"
#include "progress/wordtable.h"

namespace Progress {

namespace {

// Pages finished in this visit of a drill window; closing the window ends the visit.
int visitPage(QDialog* drill) {
    const char* const key = "historyVisitPage";
    if (!drill->property(key).isValid())
        QObject::connect(drill, &QDialog::finished, drill,
                         [drill, key] { drill->setProperty(key, 0); });
    const int page = drill->property(key).toInt() + 1;
    drill->setProperty(key, page);
    return page;
}

// The history writes what it holds back and folds its journal when the pupil is idle: when the
// result dialog has closed and when the drill closes, never at a key stroke.
void catchUpWhenIdle(QDialog* drill) {
    const char* const key = "historyCatchesUp";
    for (QDialog* window : {static_cast<QDialog*>(frmTime), drill}) {
        if (window->property(key).toBool())
            continue;
        window->setProperty(key, true);
        QObject::connect(window, &QDialog::finished, window,
                         [] { History::Store::instance().idle(); });
    }
}

History::Page page(const QString& drill, qint64 elapsedMs, int amount, const QString& speedText) {
    History::Page page;
    page.at = QDateTime::currentDateTimeUtc();
    page.drill = drill;
    page.ms = elapsedMs;
    page.amount = amount;
    page.speedText = speedText;
    return page;
}

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

void textPageFinished(qint64 elapsedMs, int bytes, const QString& speedText) {
    History::Page p = page(History::kText, elapsedMs, bytes, speedText);
    p.pageNo = visitPage(frmTest);
    if (TextFeed::active()) {
        p.lesson = TextFeed::caption();
        p.rangeFirst = TextFeed::pageIndex() + 1;
        p.rangeSecond = TextFeed::pageCount();
    } else {
        p.rangeFirst = frmmavro->Label1->text().toInt();
        p.rangeSecond = frmmavro->Label2->text().toInt();
        p.lesson = lessonCaption(p.drill, p.rangeFirst, p.rangeSecond);
    }
    p.strokes = textLog().take();
    p.measures = TypingMeasures::fromStrokes(p.strokes, elapsedMs, WordTable::shared());
    History::Store::instance().record(p);
    catchUpWhenIdle(frmTest);
    TextFeed::pageFinished();
}

void fingerPageFinished(qint64 elapsedMs, int bytes, const QString& speedText) {
    History::Page p = page(History::kFinger, elapsedMs, bytes, speedText);
    p.pageNo = frmTT->PageNo;
    p.rangeFirst = frmmavro->Label1->text().toInt();
    p.rangeSecond = 12;  // rows of a finger lesson
    p.lesson = lessonCaption(p.drill, p.rangeFirst, 0);
    p.strokes = fingerLog().take();
    History::Store::instance().record(p);
    catchUpWhenIdle(frmTT);
}

void rootPageFinished(qint64 elapsedMs, int errors, const QString& speedText) {
    History::Page p = page(History::kRoot, elapsedMs, 28, speedText);
    p.pageNo = visitPage(frmwbTest1);
    p.rangeFirst = frmwbTest1->JB1->text().toInt();
    p.rangeSecond = frmwbTest1->JB2->text().toInt();
    p.lesson = lessonCaption(p.drill, p.rangeFirst, p.rangeSecond);
    p.errors = errors;
    p.strokes = rootLog().take();
    History::Store::instance().record(p);
    catchUpWhenIdle(frmwbTest1);
}

}  // namespace Progress
