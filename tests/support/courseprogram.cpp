#include "support/courseprogram.h"

#include "support/menustate.h"

QString CourseProgram::start(const Prepare& prepare) {
    fixtureCourse = std::make_unique<FixtureCourse>();
    fixtureCourse->writeAll();
    if (prepare)
        prepare(*fixtureCourse);
    app = std::make_unique<AppFixture>();
    return errorText();
}

QString CourseProgram::startAtMainWindow(const Prepare& prepare) {
    if (QString why = start(prepare); !why.isEmpty())
        return why;
    return MenuState::showMainWindow() ? QString() : QStringLiteral("the main window did not show");
}

void CourseProgram::stop() {
    app.reset();
    fixtureCourse.reset();
}
