#pragma once

#include <QString>

#include "data/history.h"

class WordTable;

// The measures Wubi typists compare after a page: speed in characters a minute, keys a second,
// keys a character against the ideal, and how cleanly the keys went.
struct TypingMeasures : History::Measures {
    qint64 ms = 0;

    double speed() const;  // characters a minute
    double keysPerSecond() const;
    double codeLength() const;  // keys a character
    double idealCodeLength() const;
    // The share of keys that went into characters that stayed: keys less the backspaces and
    // what the erased characters took (each as many as the page's mean), over keys.
    double keyAccuracy() const;
    double wordRate() const;  // wordCharacters over committed
    double accuracy() const;  // characters right at the first attempt over characters

    // The line typing groups paste to compare pages, copied to the clipboard at the end:
    // 第3段 速度120.50 击键5.20 码长2.59(理想2.31) 字数200 错字1 用时99.6秒 键准97.5% 回改2
    // 打词率40.0% 输入法:五笔 qorvex
    // The ideal reads "-" when it is not known (a course without its word table).
    QString resultLine(int section, const QString& inputMethod) const;
    // While typing: 速度, 击键 and 码长 so far.
    QString liveLine() const;
    // At the end, what the 成绩 line leaves out: accuracy, backspaces and selection keys.
    QString detailLine() const;

    // The measures of a text-drill page, worked out from its strokes, since that drill counts no
    // keys: each character's shown code and the key that committed it (its full code when no
    // code was shown, one key for a mark), and as much again for each wrong character typed in
    // its place. The drill replaces a wrong character by typing over it: no backspaces.
    static TypingMeasures fromStrokes(const QList<History::Stroke>& strokes, qint64 ms,
                                      const WordTable& table);
};

// Counts keys from what a typing box is told, since the input method keeps the key events to
// itself: the code letters it shows (preedit) growing or shrinking, its commits, and the keys
// that reach the box. A commit that follows a shown code took one key (space, selection key,
// the fourth letter, or the punctuation mark that commits it); a commit with no code shown took
// as many keys as the word's full code (an input method that commits at the fourth letter
// without showing the code), a punctuation mark one.
class KeyCounter {
  public:
    explicit KeyCounter(const WordTable* table = nullptr) : table(table) {}
    void reset();
    // One event of the input method: what it committed and the code it shows after.
    void inputMethod(const QString& commit, const QString& preedit);
    // A key that reached the box itself: Backspace (erasing that many characters) or a character
    // typed without the input method.
    void backspace(int erasedCharacters);
    void typed(const QString& text);
    // The counts so far, into measures.
    void fill(TypingMeasures& measures) const;
    bool composing() const { return !code.isEmpty(); }

  private:
    void counted(const QString& commit, bool afterCode, const QString& codeBefore);
    const WordTable* table;
    QString code;  // the letters shown now
    int keys = 0;
    int backspaces = 0;
    int erased = 0;
    int committed = 0;
    int wordCharacters = 0;
    int selections = 0;
};
