#pragma once

#include <QString>
#include <memory>

#include "support/appfixture.h"
#include "support/fixturecourse.h"

// The program as a pupil finds it on a desktop with Wubi switched on: fcitx5 composing, a fixture
// course, the nine windows created and the main window shown with its input context in place, so
// that the next context fcitx5 makes is the one of the window the test opens.
class WubiDesktop {
  public:
    // Empty when everything is up; otherwise what is not.
    QString start();

  private:
    std::unique_ptr<FixtureCourse> course;  // outlives the windows that read it
    std::unique_ptr<AppFixture> app;
};
