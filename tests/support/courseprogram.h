#pragma once

#include <QString>
#include <QStringList>
#include <QtTest>
#include <functional>
#include <memory>

#include "support/appfixture.h"
#include "support/fixturecourse.h"

// The program as most tests start it: the fixture course written in full, then the nine windows
// created over it. The windows go before the course they read, at stop() or at the latest when
// the fixture goes.
class CourseProgram {
  public:
    // Changes the course between its writing and the windows reading it.
    using Prepare = std::function<void(FixtureCourse&)>;

    ~CourseProgram() { stop(); }

    // Empty when the windows came up without an error message; otherwise the messages.
    [[nodiscard]] QString start(const Prepare& prepare = {});
    // start(), then the main window shown with the keyboard, as the pupil finds it.
    [[nodiscard]] QString startAtMainWindow(const Prepare& prepare = {});
    void stop();

    FixtureCourse& course() const { return *fixtureCourse; }
    // The error messages shown so far, which a test may inspect or clear.
    QStringList& errors() const { return app->errors; }
    // The same, one a line: empty while none has come.
    QString errorText() const { return app->errors.join('\n'); }

  private:
    std::unique_ptr<FixtureCourse> fixtureCourse;
    std::unique_ptr<AppFixture> app;
};

// Fails the running test with what went wrong, unless that is nothing.
#define VERIFY_NO_FAULT(why)                            \
    do {                                                \
        const QString fault_ = (why);                   \
        QVERIFY2(fault_.isEmpty(), qPrintable(fault_)); \
    } while (false)
