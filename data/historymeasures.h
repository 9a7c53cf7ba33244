#pragma once

#include <QtGlobal>

struct sqlite3;
namespace Sql {
class Cache;
}

namespace History {

// The counts behind the measures Wubi typists compare (progress/typingmeasures.h), kept with a
// text page in a table of their own; a page typed without them has none.
struct Measures {
    int characters = 0;  // of the page: Chinese characters, punctuation and other keys, not bytes
    int keys = 0;
    int backspaces = 0;      // backspace presses, in the box and while composing
    int erased = 0;          // characters taken out of the box again
    int committed = 0;       // characters the input method put into the box
    int wordCharacters = 0;  // of those, the ones that came as part of a word of two or more
    int selections = 0;      // commits that were not the first candidate
    int wrong = 0;           // characters of the page not right at the first attempt
    int idealKeys = 0;       // the fewest keys the page takes; 0 when not known
    bool isEmpty() const { return characters == 0; }
};

namespace MeasureRows {

// The table, when the file has none yet; older files simply have no measures.
int create(sqlite3* db);
// Keeps the measures of the page the connection inserted last, when it inserted one.
bool keep(Sql::Cache& statements, const Measures& measures);

}  // namespace MeasureRows

}  // namespace History
