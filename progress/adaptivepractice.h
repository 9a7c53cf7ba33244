#pragma once

#include <QStringList>

// The menu command and record-window button 智能练习: adaptive pages in the text drill, a new one
// made from the history after each finished page.
namespace AdaptivePractice {

inline const QString kCaption = QStringLiteral("智能练习");

// The next page's lines; raises when there is nothing to practise with.
QStringList nextPage();
// Shows the text drill modally on adaptive pages until the pupil closes it.
void show();

}  // namespace AdaptivePractice
