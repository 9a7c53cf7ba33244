#pragma once

#include <QList>
#include <QString>

// words.txt of the data directory: the words the Wubi 86 dictionary offers for codes of at most
// four letters, each with its place among its code's candidates, for the measures of a page and
// the phrase pages. Single characters GBK can hold, and common phrases of them.
namespace WordList {

// Phrases rarer than this are left out: about 28,000 remain, the ones a text is likely to hold.
inline constexpr double kCommonPhraseWeight = 1e6;

struct Word {
    QString text;
    QString code;
    int place = 0;  // among all of the code's candidates by weight, 0 the first
    qint64 weight = 0;
};

// The words, by code and place. The places count every entry of the code, also those left out,
// as the input method shows them all.
QList<Word> read(const QString& dictionaryPath);

// Writes "word<TAB>code<TAB>place<TAB>weight" lines in UTF-8 and returns a line for the report.
QString write(const QList<Word>& words, const QString& outPath);

}  // namespace WordList
