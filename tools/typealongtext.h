#pragma once

#include <QString>
#include <QStringList>

// The 跟打 window's text: what is loaded (载文) made into sections (段) to type.
namespace TypeAlongText {

// Line ends never stay (a typing box has one line); with removeBlanks every blank goes too,
// full-width spaces included. Only the first Article::kMaxCharacters characters are kept, as for
// 自选文章.
QString prepare(const QString& loaded, bool removeBlanks);

// Cuts the text into sections of length characters (the last may be shorter); a surrogate pair
// stays whole. With shuffled the sections come in a random order.
QStringList sections(const QString& text, int length, bool shuffled);

// Characters as the measures count them: a surrogate pair is one.
int characterCount(QStringView text);

}  // namespace TypeAlongText
