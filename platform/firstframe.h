#pragma once

#include <functional>

class QWidget;

// Work that the main window's first frame does not need (pictures and icons of windows that are
// still hidden) waits until just after that frame, so the pupil sees the window sooner. Start-up
// holds such work back while it creates the windows; anywhere else (tests, tools) it runs at once.
namespace FirstFrame {

// Runs work after the main window's first frame, or at once when start-up holds nothing back.
void after(std::function<void()> work);

// Start-up: from now on hold work back ...
void hold();
// ... until window has painted its first frame; the work then runs in the order it came.
void releaseAfterPaint(QWidget* window);

}  // namespace FirstFrame
