#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "course/builder/wubidict.h"

// Checks of the practice lines against the lesson catalogue and the code table.
namespace PracticeChecks {

enum class Kind { Text, Finger, Spare };

struct Lesson {
    const char* name;
    int first;  // row, counted from 1
    int count;
    Kind kind;
    const char* keys;  // finger lessons: the letters besides ';' and the space
};

// The catalogue of 111.DB in row order; the runs cover rows 1..248 without gaps.
const QList<Lesson>& catalogue();

// The drills' boxes: 689 pixels wide, type 19 pixels (bold in the finger drill).
inline constexpr int kBoxWidth = 689;
inline constexpr int kTextLineChars = 36;

// Width in pixels of a practice line in the font of its drill's line labels.
int lineWidth(const QString& text, Kind kind);

// Characters of the text lessons that the code table lacks, each listed once with its first row.
QStringList missingFromCodeTable(const QList<QString>& rows, const QHash<QString, QString>& codes);

// Format problems: text lines longer than a box or outside GBK, finger lines with characters
// their lesson does not train, or too short or too wide to fill the box.
QStringList formatProblems(const QList<QString>& rows);

// The two-level short-code lessons (rows 101..124) must hold every character whose shortest code
// has two letters, in code order; the high-frequency lesson starts with the 25 one-letter codes.
// shortCodes maps a character to its shortest code.
QStringList shortCodeProblems(const QList<QString>& rows,
                              const QHash<QString, QString>& shortCodes);

// Runs every check above against the dictionary's codes; throws CourseError listing all problems,
// else returns the course report (rows per lesson, characters covered).
QString verify(const QList<QString>& rows, const QList<WubiDict::CharCodes>& dictionary);

}  // namespace PracticeChecks
