#pragma once

#include <functional>

class QFont;
class QString;
class QWidget;

// Work that the main window's first frame does not need (pictures and icons of windows that are
// still hidden) waits until just after that frame, so the pupil sees the window sooner. Start-up
// holds such work back while it creates the windows; anywhere else (tests, tools) it runs at once.
namespace FirstFrame {

// Runs work after the main window's first frame, or at once when start-up holds nothing back.
void after(std::function<void()> work);

// How a widget given its font after the first frame is sized then.
enum class Fit {
    Keep,    // its place and size stay as they are
    ToText,  // it takes the size of its text in the new font (adjustSize)
};

// Gives widget its font after the main window's first frame, or at once when start-up holds
// nothing back. Loading a font and laying text out in it is the dearest part of creating a
// hidden window; what is sized by the font goes with it (fit), never before it.
void setFont(QWidget* widget, const QFont& font, Fit fit = Fit::Keep);
// Gives widget its style sheet after the first frame, in turn with the fonts. A widget under a
// style sheet keeps the font it had when the sheet came and no longer follows its parent's, so
// a sheet must not come before the fonts of the widget and its parents.
void setStyleSheet(QWidget* widget, const QString& sheet);

// Runs all held work now, in order. A window about to be shown calls it, so that it never shows
// without the looks held back for it, however soon the pupil opens it.
void finishNow();

// Start-up: from now on hold work back ...
void hold();
// ... until window has painted its first frame; the work then runs in the order it came.
void releaseAfterPaint(QWidget* window);

}  // namespace FirstFrame
