#pragma once

#include <QWidget>
#include <vector>

#include "progress/wordtable.h"

// The model text of the 跟打 window: the section in rows of characters, what is typed right in
// grey and what is typed wrong in red, the next character marked, scrolled so that the pupil's
// row stays in sight. With the word hints, the cheapest way to type it (WordTable::ideal) is laid
// under the text: each word underlined and its code under it, coloured by the code's length, the
// candidate's number after a code that needs a selection key and a triangle where the next
// punctuation mark commits the word (no space).
class ModelText : public QWidget {
    Q_OBJECT
  public:
    explicit ModelText(QWidget* parent = nullptr);

    void setText(const QString& model, const WordTable::Ideal& ideal);
    void setTyped(const QString& typed);
    void setHints(bool on);
    bool hints() const { return showHints; }
    // The first row shown, for the tests of the scrolling.
    int firstRow() const;
    int columns() const;

    static QColor codeColour(int letters);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int rowHeight() const;
    int cellWidth() const;
    QString model;
    QString typed;
    WordTable::Ideal ideal;
    std::vector<int> segmentAt;  // position -> segment covering it
    bool showHints = false;
};
