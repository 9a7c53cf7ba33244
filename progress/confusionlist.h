#pragma once

#include <QListWidget>
#include <functional>

namespace History {
class Store;
}
namespace Wubi {
class CodeBook;
}

// The record window's list of what the pupil's Wubi codes go wrong in, from the text drill's
// totals, each kind most often first: the pairs "把「Y」打成「X」" with both codes; with the code
// book, also the roots sought on another key, the characters whose identification code (识别码)
// is left out or mistyped, and as tips the characters typed by a longer code than they need,
// which are no errors.
class ConfusionList : public QListWidget {
    Q_OBJECT
  public:
    static constexpr int kShown = 5;  // of each kind
    explicit ConfusionList(QWidget* parent = nullptr);
    // fullCode gives a character's full code, empty when the code table has none. Without a book
    // only the pairs are shown.
    void fill(History::Store& store, const std::function<QString(const QString&)>& fullCode,
              const Wubi::CodeBook* book = nullptr);
};
