#pragma once

#include <QString>

#include "support/courseprogram.h"

// The program as a pupil finds it on a desktop with Wubi switched on: fcitx5 composing, the
// program started over a fixture course and the main window shown with its input context in
// place, so that the next context fcitx5 makes is the one of the window the test opens.
class WubiDesktop {
  public:
    // Empty when everything is up; otherwise what is not. prepare changes the course before the
    // windows read it.
    [[nodiscard]] QString start(const CourseProgram::Prepare& prepare = {});

    CourseProgram program;
};
