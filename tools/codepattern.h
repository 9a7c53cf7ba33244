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

// The key of the character just before byte position caret of GBK text (the first character when
// the caret is at the start): its two bytes, or empty when it is a single-byte character, which no
// Chinese character's key can be. The bytes are taken character by character from the start, so
// a key never straddles two characters.
QByteArray keyBeforeCaret(const QByteArray& gbkText, int caret);

}  // namespace CodePattern
