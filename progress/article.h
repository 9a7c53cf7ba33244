#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// A text file of the pupil's own made into practice text: the characters that have a Wubi code
// and the punctuation Wubi types stay, in the file's own lines; what was left out is told to the
// pupil.
namespace Article {

// Only the start of a file is used. 10 000 characters make about 46 pages of the text drill,
// several hours of typing at a learner's pace; a longer file would only cost time to read and
// check pages nobody reaches, and a file of random bytes would look like thousands of distinct
// characters.
inline constexpr int kMaxCharacters = 10000;
// At most this many left-out characters are named; the rest are counted.
inline constexpr int kShownLeftOut = 40;

// The text of a file's start: the first kMaxCharacters characters at most.
struct Start {
    QString text;
    bool cut = false;  // the file holds more than that
};

// Reads the start of a regular file (TextFile::openForReading), decoded as decode() does.
// Raises a message naming the file when it cannot be read.
Start read(const QString& path);

// By a byte-order mark (UTF-8, UTF-16 LE or BE) when there is one; otherwise UTF-8 when the bytes
// are valid UTF-8, GBK when they are not. The mark is not part of the text. An incomplete
// character at the very end (a cut read) is dropped.
QString decode(const QByteArray& bytes);

// The full-width punctuation a Wubi input method types from the keyboard's punctuation keys.
bool isWubiPunctuation(QChar c);

struct Kept {
    QStringList lines;  // the file's lines with what can be typed, blanks and empty lines dropped
    QString leftOut;    // characters without a code, once each in order of first appearance,
                        // at most kShownLeftOut of them
    int leftOutCount = 0;  // how many different characters were left out
};

Kept keepCoded(const QString& text, const std::function<bool(const QString&)>& hasCode);

}  // namespace Article
