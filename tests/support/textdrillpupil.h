#pragma once

// What a pupil does in the text drill, for the text-drill tests: input-method commits into the
// focused box, keys to the focused box, waiting for a given modal window.
#include <QApplication>
#include <QInputMethodEvent>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace TextDrillPupil {

// The window that has the keyboard: the focused box of the active window.
inline QWidget* keyboard() {
    return QApplication::focusWidget();
}

// One input-method commit, as the input method sends a chosen candidate.
inline void commit(const QString& text) {
    QWidget* target = keyboard();
    QVERIFY2(target, "no box has the focus");
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

// The input method shows a code it is composing; nothing is committed yet.
inline void preedit(const QString& code) {
    QWidget* target = keyboard();
    QVERIFY2(target, "no box has the focus");
    QInputMethodEvent event(code, {});
    QApplication::sendEvent(target, &event);
}

// Commits a text one character at a time (surrogate pairs stay together).
inline void type(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        commit(text.mid(i, n));
        i += n - 1;
    }
}

inline void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(keyboard(), k, modifiers);
}

// Runs action once window is the active modal window (polling from the event loop, so it also
// works for a dialog opened from inside a handler that the test itself called). Gives up after
// about ten seconds, so a window that never comes does not catch a later showing.
inline void whenModalIs(QWidget* window, std::function<void()> action, int delayMs = 0,
                        int triesLeft = 1000) {
    QTimer::singleShot(delayMs, qApp, [=] {
        if (QApplication::activeModalWidget() != window || !window->isVisible()) {
            if (triesLeft > 0)
                whenModalIs(window, action, 10, triesLeft - 1);
            return;
        }
        action();
    });
}

}  // namespace TextDrillPupil
