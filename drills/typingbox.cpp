#include "drills/typingbox.h"

#include <QFocusEvent>

#include "platform/gbk.h"

TypingBox::TypingBox(QWidget* parent) : QLineEdit(parent) {}

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
