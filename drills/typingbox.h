#pragma once

#include <QLineEdit>
#include <functional>

// A typing box of the text drill. Entering it never selects its text (Qt's line edit selects all
// when entered by Tab), and leaving it keeps a selection, so the caret stays where the pupil left
// it and a wrong character stays marked; onEnter runs when the focus comes to it from another
// control, not when its window merely becomes active again.
//
// The drill judges what the pupil puts into the box, not the steps of composing it: when a code
// is begun over a selected character, Qt removes that character at once, before anything is
// committed. So changed() is held back while the input method composes and comes when the
// composition ends, with the commit if there is one.
class TypingBox : public QLineEdit {
    Q_OBJECT
  public:
    explicit TypingBox(QWidget* parent = nullptr);

    std::function<void()> onEnter;
    // Byte position of the caret in the box's GBK text: the start of a selection when there is
    // one, since the wrong character is selected and the caret belongs before it.
    int caretBytePosition() const;
    // True while the input method holds an uncommitted code in the box.
    bool composing() const { return composition; }
    // Takes the focus from the box before it as the pupil types on into this one. The input
    // method is not told: it would drop a code the pupil has already typed ahead (fcitx resets
    // on every change of the focused control), and what it commits next belongs here.
    void takeOverTyping();

    // UTF-16 positions [from, to) of what the last change put into the box; empty for a change
    // that only removed text.
    struct Added {
        int from = 0;
        int to = 0;
        bool byInputMethod = false;  // a commit, not a key, a paste or the program's own change
    };
    Added added() const { return lastAdded; }
    // The code letters the input method showed just before the last change committed text: its
    // last preedit. Empty for a change that was no commit, or when it showed none.
    QString committedCode() const { return lastCode; }
    // Takes the UTF-16 positions [from, to) out of the box, text the pupil did not ask for; the
    // change that follows adds nothing.
    void drop(int from, int to);

  signals:
    // The text has changed by a commit, a key, a paste or a deletion, or by the program.
    void changed();
    // The input method's code was erased (in part or whole) or cancelled without a commit:
    // code is what it showed before. A code left behind by leaving the box is not given up.
    void gaveUp(const QString& code);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void textWasChanged(const QString& now);
    void beginEdit();

    // Where an edit of the pupil's puts its text: the selection it replaces, or the caret.
    struct Edit {
        int start = -1;  // -1: a change with no edit begun (the program's own, a menu paste)
        int removed = 0;
    };
    Edit edit;
    QString before;
    Added lastAdded;
    bool composition = false;
    bool committing = false;
    bool heldBack = false;
    bool erasing = false;
    QString preedit;
    QString lastCode;
};
