#pragma once

#include <QStringList>
#include <functional>

// Creates the program's nine windows as start-up does and collects the error texts that would
// be shown in message boxes. Destroys the windows when it goes.
class AppFixture {
  public:
    AppFixture();
    ~AppFixture();

    QStringList errors;
};

// Runs action once the next modal window is up (after the current call enters its loop).
void whenModal(std::function<void()> action, int delayMs = 0);
