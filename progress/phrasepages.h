#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class WordTable;

// Pages of common phrases (词组), most frequent first, each page of one length so that it trains
// one rule of phrase codes.
namespace PhrasePages {

struct Page {
    QString rule;       // the rule the page trains, as the pupil reads it
    QStringList words;  // with their codes in the word table
};

inline constexpr int kPagesPerLength = 5;

// kPagesPerLength pages of two-character words (20 a page), then of three (15), then of four or
// more (10 a page); fewer when the table holds fewer.
QList<Page> make(const WordTable& table);

// The rule of a phrase of that many characters.
QString ruleFor(int characters);

}  // namespace PhrasePages
