#pragma once

#include <QList>
#include <QString>
#include <functional>

// The root drill's lessons as ranges of wb1.db: their captions and which records a page shows.
namespace RootLessons {

constexpr int kItems = 28;

// The caption shown with the window and the short one after a finished page; a null string for
// a range that is no lesson (the caption then stays as it is).
QString shownCaption(int size, int start);
QString pageCaption(int size, int start);

// The stroke-rule lesson goes through its records in table order; every other lesson draws.
bool isStrokeLesson(int size, int start);

// Position of item 1 on the stroke-rule page after a finished one: 3 and 0 in turn, so the 31
// records are all seen. The flag remembers which came last.
int nextStrokeStart(bool& alternate);

// The record position of each of the 28 items. draw(n) gives a uniform whole number 0 <= k < n.
// Draws are with replacement, so a page may repeat a root.
QList<int> pagePositions(int size, int start, int strokeStart, const std::function<int(int)>& draw);

}  // namespace RootLessons
