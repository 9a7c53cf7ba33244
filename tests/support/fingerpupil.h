#pragma once

#include <QString>
#include <QWidget>
#include <functional>

// A pupil at the finger drill: opens a lesson as the menu does, types with key clicks into
// whatever box has the focus, answers the result dialog and leaves with Esc.
namespace FingerPupil {

// Runs action once `window` is the active modal window; never, if context goes first.
void whenModalWindow(QWidget* window, std::function<void()> action, QObject* context = nullptr);

// Opens the finger drill on the lesson starting after row s exactly as the menu command does,
// runs pupil while it is shown, then presses Esc. Returns when the drill has closed, telling
// whether the pupil had the drill active in front of him.
[[nodiscard]] bool openLesson(int s, std::function<void()> pupil);

// Key clicks into the focused widget, one character at a time (the focus moves as lines end).
void type(const QString& keys);
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The result dialog's two lines as the pupil saw them, and the drill's records at that moment.
struct Result {
    QString time, speed;
    QString bestTime, latestTime;  // H1 and BC1 while the dialog was open
    bool shown = false;
};

// Types keys that should finish a page; the result dialog that comes up is read and closed with
// Enter. `shown` tells whether it came.
Result finishPage(const QString& keys);

}  // namespace FingerPupil
