#pragma once

#include <QByteArray>
#include <QString>

// The rules of the code lookup that need no window.
namespace CodePattern {

// A code of fewer than two letters asks nothing: the grid keeps the list it has.
bool queries(const QString& code);
// The LIKE pattern of exactly four characters for a code of up to four: "z" stands for any one
// letter ("_"), each position past the end for any run ("%"); other characters stay as typed.
QString pattern(const QString& code);

// The two bytes of GBK text that end at byte position caret: the character just before the caret
// when it stands after a Chinese character; the first two bytes when the caret is at 0 or 1.
QByteArray keyBeforeCaret(const QByteArray& gbkText, int caret);

}  // namespace CodePattern
