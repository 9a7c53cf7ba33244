#pragma once

#include <QString>
#include <functional>

class QWidget;

// A pupil at the root drill over the fixture course: reads which record each item shows from
// the item's hidden labels and types answers into the focused box.
namespace RootPupil {

// The key the fixture gives record k.
QString fixtureKey(int record);
// The record item i shows (its fixture hint names it), -1 when unreadable.
int recordOf(int item);
QString keyOf(int item);
// A letter no fixture record has as its key.
inline QChar wrongLetter() {
    return QLatin1Char('Z');
}

// The box with the focus: the answer box number, 0 when none has it.
int focusedBox();
// Types one character into the focused box as a key stroke.
void type(QChar c);
void press(int qtKey);
// Moves the focus up from the focused box to box 28 and types its key, finishing the page.
void finishAtBox28();

// Runs action once window is the modal window and has the keyboard, as it has when the pupil
// starts typing (a drill, or the result dialog over it).
void whenShown(QWidget* window, std::function<void()> action);
// Writes the range and shows the drill modally as the menu does; body runs while it is up, then
// the drill is closed with Esc if body left it open.
void showDrill(int size, int start, std::function<void()> body);

// The clock the drill reads, set by the test.
void setClock(uint32_t ms);

}  // namespace RootPupil
