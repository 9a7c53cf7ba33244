#pragma once

#include <QString>
#include <QStringList>

// What the drills hand to the history when a page is finished, before the result dialog shows.
// Each call adds one page to the pupil's history; the drills' own records are not touched.
namespace Progress {

void textPageFinished(qint64 elapsedMs, int bytes, const QString& speedText);
void fingerPageFinished(qint64 elapsedMs, int bytes, const QString& speedText);
void rootPageFinished(qint64 elapsedMs, int errors, const QString& speedText);

// The caption of the menu command with this kind of lesson and range, empty when none has it.
QString lessonCaption(const QString& drill, int first, int second);

}  // namespace Progress
