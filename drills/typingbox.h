#pragma once

#include <QLineEdit>
#include <functional>

// A typing box of the text drill. Entering it never selects its text (Qt's line edit selects all
// when entered by Tab), so the caret stays where the pupil left it; onEnter runs when the focus
// comes to it from another control, not when its window merely becomes active again.
class TypingBox : public QLineEdit {
  public:
    explicit TypingBox(QWidget* parent = nullptr);

    std::function<void()> onEnter;
    // Byte position of the caret in the box's GBK text: the start of a selection when there is
    // one, since the wrong character is selected and the caret belongs before it.
    int caretBytePosition() const;

  protected:
    void focusInEvent(QFocusEvent* event) override;
};
