#include "drills/answerbox.h"

#include <QKeyEvent>
#include <QPainter>

// Upper case, as the keys are stored.
AnswerBox::AnswerBox(QWidget* parent) : KeyLetterBox(LetterCase::Upper, parent) {
    setMaxLength(1);
    setFrame(false);
}

void AnswerBox::setTextColour(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::Text, colour);
    setPalette(p);
}

QColor AnswerBox::textColour() const {
    return palette().color(QPalette::Text);
}

void AnswerBox::keyPressEvent(QKeyEvent* event) {
    if (onKeyDown && onKeyDown(event->key())) {
        event->accept();
        return;
    }
    if (onKeyPress && event->text().size() == 1) {
        // A right letter moves the focus on, which clears the selection; the letter still
        // replaces what was selected when it was typed.
        const int start = selectionStart();
        const int length = int(selectedText().size());
        onKeyPress(event->text().at(0));
        if (length > 0 && !hasSelectedText())
            setSelection(start, length);
    }
    KeyLetterBox::keyPressEvent(event);
}

void AnswerBox::focusInEvent(QFocusEvent* event) {
    KeyLetterBox::focusInEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    selectAll();
    if (onEnter)
        onEnter();
}

void AnswerBox::mouseReleaseEvent(QMouseEvent* event) {
    KeyLetterBox::mouseReleaseEvent(event);
    if (onClick)
        onClick();
}

KeyFrame::KeyFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(65, 65);
}

void KeyFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(Qt::yellow, 3, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
}

ItemFrame::ItemFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ItemFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(QColor(255, 0, 0), 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
