#pragma once

#include <QString>

// How the finger drill compares a typing box with its practice line (ASCII: one character is
// one byte).
namespace FingerLine {

// The character to type next: the line's character after the first selectionStart characters,
// empty past the end of the line.
QString nextKey(const QString& line, int selectionStart);

// Whether the box's last character is the line's character at the same place. An empty box
// gives no character while the line gives its first, so it never matches; a character past the
// end of the line never matches either. Case counts.
bool lastCharMatches(const QString& box, const QString& line);

}  // namespace FingerLine
