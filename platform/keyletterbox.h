#pragma once

#include <QLineEdit>

// A line edit for key letters: the keys a pupil types reach it as plain key strokes, never as
// the composition of a Chinese input method, even while one is switched on for every window.
// Letters may be shown in one case, as the window compares them.
class KeyLetterBox : public QLineEdit {
    Q_OBJECT
  public:
    enum class LetterCase { AsTyped, Upper, Lower };

    explicit KeyLetterBox(LetterCase letterCase, QWidget* parent = nullptr);

    // The input method asks this before it keeps a box's keys for itself. Turning off
    // WA_InputMethodEnabled alone does not answer it: a line edit says yes on its own.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  protected:
    // A composition that reaches the box anyway must not change its letters.
    void inputMethodEvent(QInputMethodEvent* event) override;
};
