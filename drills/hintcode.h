#pragma once

#include <QHash>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <functional>

// Which code gives a character in the pupil's input method, and with which key. A hint that
// shows a code whose first candidate is another word makes the pupil commit that word with
// Space; the hint therefore names a code that gives the character first, or the number of its
// candidate.
namespace HintCode {

// The candidates of each code, in the order an input method lists them.
class Order {
  public:
    // An order no table holds, asked code by code the first time each is needed.
    using Lookup = std::function<QStringList(const QString& code)>;
    static Order asked(Lookup lookup);

    // Adds word after the candidates code already has.
    void add(const QString& code, const QString& word);
    const QStringList& candidates(const QString& code) const;
    bool isEmpty() const { return byCode.isEmpty() && !lookup; }

  private:
    mutable QHash<QString, QStringList> byCode;
    Lookup lookup;
};

// fcitx5's table as libime_tabledict -d writes it: "code word" lines after "[Data]", in the
// table's own order (the order fcitx5 lists with single characters first, OrderPolicy=No).
Order fromTableDump(QIODevice& dump);
// ibus-table's database: its phrases by code, the most frequent first as ibus-table lists them.
// Empty when the file cannot be read.
Order fromIbusTable(const QString& path);

// The installed Wubi tables of fcitx5 (wbx, dumped by libime_tabledict) and of ibus-table
// (wubi-jidian86); empty when not installed or not readable.
Order fcitxWubiTable();
Order ibusWubiTable();

// fcitx5's wbx candidates in its frequency order (OrderPolicy=Freq, as fcitx5 is installed),
// asked of libime through the module qorvex-fcitxorder; empty when the module, the table or the
// language model cannot be loaded.
Order fcitxFrequencyOrder();

// The order of the input method the program types through (QT_IM_MODULE): fcitx5's wbx in the
// order its settings ask for (its table's own, dumped by libime_tabledict, or by frequency), or
// ibus-table's wubi-jidian86; read once a run, and again after forgetInputMethodOrder. Empty when
// neither runs or its table cannot be read.
const Order& inputMethodOrder();
// The pupil's input method now lists candidates otherwise (the set-up page changed it).
void forgetInputMethodOrder();
// Counts the orders read this run: a hint worked out under an earlier one is stale.
int inputMethodOrderNumber();

// Candidates shown on one page: a number past it would need the page to be turned first.
inline constexpr int kPageSize = 5;

struct Hint {
    QString code;    // lower case
    int choice = 1;  // the candidate's number; 1 is taken with Space
    // "fghy", or "fghy 2" when the candidate's number is to be pressed.
    QString text() const;
};

// The hint for a character with the short and full code of the course's table: of its codes
// from short to full (the short code, the longer beginnings of the full code, the full code) the
// first whose first candidate it is; else the first where it stands on the first page, with its
// number; else the short code, as the course has it.
Hint choose(const Order& order, const QString& character, const QString& shortCode,
            const QString& fullCode);

// Whether typing the hint gives the character in that order.
bool commits(const Order& order, const QString& character, const Hint& hint);

}  // namespace HintCode
