#pragma once

#include <QStringList>

#include "progress/adaptivelesson.h"

// The menu command and record-window button 智能练习: adaptive pages in the text drill, a new one
// made from the history after each finished page.
namespace AdaptivePractice {

inline const QString kCaption = QStringLiteral("智能练习");

// The next page's lines; raises when there is nothing to practise with.
QStringList nextPage();
// What a page works on, for the pupil, over its lines: "本页练习：字根 木 (S)，复习 6 字".
QString heading(const AdaptiveLesson::Plan& plan);
// Shows the text drill modally on adaptive pages until the pupil closes it.
void show();

}  // namespace AdaptivePractice
