#pragma once

#include <QListWidget>
#include <functional>

namespace History {
class Store;
}

// The record window's list of what the pupil types instead: the pairs of the text drill met most
// often, "把「Y」打成「X」", each with both codes and how often.
class ConfusionList : public QListWidget {
    Q_OBJECT
  public:
    static constexpr int kShown = 10;
    explicit ConfusionList(QWidget* parent = nullptr);
    // fullCode gives a character's full code, empty when the code table has none.
    void fill(History::Store& store, const std::function<QString(const QString&)>& fullCode);
};
