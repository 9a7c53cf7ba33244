#pragma once

#include <QString>

#include "data/history.h"

// Where the drills hand a finished page down to the pupil's history, as a value: the page with
// its lesson, range, place in the visit, time, amount, speed and strokes. The history knows no
// drill window.
namespace Progress {

// Adds the page to the pupil's history, stamped with the time now. A page without a lesson
// caption gets the caption of the menu command of its drill and range.
void record(History::Page page);
// A text drill has opened: the word list that measures its pages is read now, while the pupil
// reads the first line, and not in the moment the page is finished.
void prepareTextPages();
// The pupil is idle (a result dialog has closed, a drill has closed): the history writes what it
// holds back and folds its journal then, never at a key stroke.
void idle();

// The caption of the menu command with this kind of lesson and range, empty when none has it.
QString lessonCaption(const QString& drill, int first, int second);

}  // namespace Progress
