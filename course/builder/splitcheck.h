#pragma once

#include <QString>
#include <QStringList>

// The check that a split of a character into Wubi roots agrees with its code. It sees only the
// roots' keys, so it cannot tell two roots on one key apart; it rejects every split whose keys
// disagree with the code.
namespace SplitCheck {

// The identification codes: the key of the last stroke's kind and the character's shape.
inline constexpr char kIdentificationCodes[] = "gfdhjktreyuinbv";

// keys: one key letter per root, in writing order; code: the full code. Returns an empty text
// when the split passes, else why it fails.
QString failure(const QString& keys, const QString& code);

// The positions of the roots that get a picture: all of up to four, else the first three and
// the last.
QList<int> shownRoots(int rootCount);

}  // namespace SplitCheck
