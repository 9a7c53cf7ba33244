#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

// The words an input method offers for Wubi codes: single characters with their short and full
// codes, and common phrases, each with its place among the candidates of its code. The course
// builder writes them into the data directory (words.txt, "word<TAB>code<TAB>place<TAB>weight" a
// line, place 0 for the first candidate), from the same dictionary as the code table.
//
// It answers what the measures of a page need: which candidate a commit was, how many keys a word
// takes, and the fewest keys a whole text takes (the ideal code length).
class WordTable {
  public:
    // The table of the data directory, read once; empty when the course has none.
    static const WordTable& shared();
    static QString drivePath() { return QStringLiteral("\\mavro\\words.txt"); }
    // Reads a words file; raises a message naming the file when it cannot be read.
    static WordTable read(const QString& path);

    // Adds a word under a code; place is its position among the code's candidates (0 first),
    // weight how often the word occurs (any scale).
    void add(QStringView word, QStringView code, int place, qint64 weight = 0);
    bool isEmpty() const { return words.empty(); }

    // The place of word among the candidates of code, -1 when the code does not offer it.
    int place(QStringView word, QStringView code) const;
    // The keys of the word's longest code, as an input method that commits at the fourth letter
    // without showing the code takes them; 0 for a word the table lacks.
    int fullCodeLength(QStringView word) const;

    // The most frequent words of shortest to longest characters, at most count of them.
    QStringList commonWords(int shortest, int longest, int count) const;

    // One word of the cheapest way to type a text.
    struct Segment {
        int from = 0;            // UTF-16 position in the text
        int length = 0;          // UTF-16 units
        QString code;            // empty for punctuation, other keys and characters without a code
        int keys = 0;            // letters, and the space or selection key when one is needed
        int place = 0;           // among the code's candidates, 0 the first
        bool selection = false;  // not the first candidate: a selection key instead of the space
        bool topScreen = false;  // a punctuation mark after it commits it: no space
    };
    struct Ideal {
        int keys = 0;
        int characters = 0;  // Chinese characters, punctuation and other keys; blanks count too
        QList<Segment> segments;
        double codeLength() const { return characters ? double(keys) / characters : 0; }
    };
    // The fewest keys with which the text can be typed: every way of cutting it into the table's
    // words is weighed by dynamic programming over a trie of the words. A code under four letters
    // takes a space, a word that is not its code's first candidate takes a selection key instead,
    // and a punctuation mark right after a first candidate commits it (no space). A punctuation
    // mark or any other character takes one key; a Chinese character the table lacks, four.
    Ideal ideal(QStringView text) const;

    // A mark that commits the input method's first candidate as it is typed.
    static bool isPunctuation(QChar c);

  private:
    // A code of up to four letters a to z packed into one number: five bits a letter after three
    // bits of length. Codes are kept in numbers so that reading the table makes no strings.
    using Code = quint32;
    static Code pack(QStringView code);
    static QString unpack(Code code);
    static int lengthOf(Code code) { return int(code & 7); }
    // The cheapest code of a word, apart for when a punctuation mark follows it.
    struct Way {
        Code code = 0;
        int place = 0;
        int keys(bool beforePunctuation) const;
    };
    struct Word {
        QString text;
        Way plain;
        Way beforeMark;
        int fullLength = 0;
        qint64 weight = 0;
        std::vector<std::pair<Code, int>> places;  // every code of the word with its place
    };
    int wordIndex(QStringView word) const;
    int child(int node, QChar c) const;

    std::vector<Word> words;
    std::vector<int> nodeWord = {-1};  // trie node -> words, -1 when no word ends there
    QHash<quint64, int> children;      // (node << 16 | UTF-16 unit) -> node
};
