#include "drills/typingbox.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QWindow>

#include "platform/gbk.h"

TypingBox::TypingBox(QWidget* parent) : QLineEdit(parent) {
    // Drill text is not the pupil's own writing: an input method that learns phrases from it
    // would join two drilled characters into a phrase, show it as a candidate and let one code
    // bring up both. Marked as sensitive, the box keeps the input method from learning here.
    setInputMethodHints(inputMethodHints() | Qt::ImhSensitiveData);
    connect(this, &QLineEdit::textChanged, this, &TypingBox::textWasChanged);
}

int TypingBox::caretBytePosition() const {
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    return Gbk::bytePosition(text(), caret);
}

void TypingBox::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&plain);
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && onEnter)
        onEnter();
}

// Qt drops the selection when the focus moves to another control; a selected wrong character
// must still be there, to be typed over, when the pupil comes back. A code left unfinished here
// is dropped by the input method: nothing was committed, there is nothing to judge.
void TypingBox::focusOutEvent(QFocusEvent* event) {
    QFocusEvent keeping(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QLineEdit::focusOutEvent(hasSelectedText() ? &keeping : event);
    composition = false;
    heldBack = false;
    erasing = false;
    preedit.clear();
}

void TypingBox::takeOverTyping() {
    // Qt tells the input method of a new focus object through this signal of the window.
    QWindow* window = this->window()->windowHandle();
    const bool wasBlocked = window && window->blockSignals(true);
    // A focus change for any other reason than a popup has Qt commit the input method's
    // composition into the control left and reset the input method, which drops the keys of
    // the next code that it is still working on (ibus answers each key a moment later).
    setFocus(Qt::PopupFocusReason);
    if (window)
        window->blockSignals(wasBlocked);
    if (onEnter)
        onEnter();
}

void TypingBox::inputMethodEvent(QInputMethodEvent* event) {
    const bool commit = !event->commitString().isEmpty();
    // A commit is judged even when the event goes on to open the next code.
    composition = !commit && !event->preeditString().isEmpty();
    lastCode = commit ? preedit : QString();
    committing = commit;
    beginEdit();
    QLineEdit::inputMethodEvent(event);
    edit = {};
    committing = false;
    const QString shownBefore = preedit;
    preedit = event->preeditString();
    composition = !preedit.isEmpty();
    // Letters taken off the end of the code, or the whole code dropped, with nothing committed:
    // the pupil gives up the code typed so far, once for each run of erasing.
    const bool shorter =
        !commit && preedit.size() < shownBefore.size() && shownBefore.startsWith(preedit);
    const bool givenUp = shorter && !erasing;
    if (shorter || commit || preedit.size() > shownBefore.size())
        erasing = shorter;
    if (!composition && heldBack) {
        // The composition ended without a commit, after it had changed the text.
        heldBack = false;
        lastAdded = {};
        emit changed();
    }
    if (givenUp)
        emit gaveUp(shownBefore);
}

void TypingBox::keyPressEvent(QKeyEvent* event) {
    lastCode.clear();
    beginEdit();
    QLineEdit::keyPressEvent(event);
    edit = {};
}

void TypingBox::drop(int from, int to) {
    const Edit pending = edit;
    const bool wasCommitting = committing;
    edit = {};
    committing = false;
    setSelection(from, to - from);
    del();
    edit = pending;
    committing = wasCommitting;
}

void TypingBox::beginEdit() {
    edit.start = hasSelectedText() ? selectionStart() : cursorPosition();
    edit.removed = hasSelectedText() ? int(selectedText().size()) : 0;
}

void TypingBox::textWasChanged(const QString& now) {
    int start = edit.start;
    int inserted = int(now.size() - before.size()) + edit.removed;
    if (start < 0) {
        // Not begun by the pupil here: whatever follows the unchanged beginning is new.
        start = 0;
        while (start < before.size() && start < now.size() && before[start] == now[start]) ++start;
    }
    start = qBound(0, start, int(now.size()));
    inserted = qBound(0, inserted, int(now.size()) - start);
    lastAdded = {start, start + inserted, committing};
    before = now;
    heldBack = composition;
    if (!composition)
        emit changed();
}
