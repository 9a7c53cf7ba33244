#pragma once

#include <QList>
#include <QString>

#include "course/builder/wubidict.h"
#include "drills/hintcode.h"

// The text drill's hints against the input methods' own tables: for each of the 3,755 level-1
// characters (GB2312 0xB0A1 to 0xD7F9), whether typing its hint gives it.
namespace HintCheck {

struct Tally {
    int characters = 0;         // level-1 characters the dictionary codes
    int shortCodeMisleads = 0;  // whose short code gives another word first
    int hintMisleads = 0;       // whose hint (code and candidate's number) gives another word
    QStringList examples;       // a few misleading hints, "寸:fghy"
};

Tally tally(const HintCode::Order& order, const QList<WubiDict::CharCodes>& dictionary);

// Checks fcitx5's and ibus's installed Wubi tables (a table not installed is named and
// skipped); throws CourseError when a hint misleads, else returns the report.
QString verify(const QList<WubiDict::CharCodes>& dictionary);

}  // namespace HintCheck
