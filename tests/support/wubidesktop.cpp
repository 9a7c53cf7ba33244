#include "support/wubidesktop.h"

#include "support/fcitxservice.h"
#include "support/menustate.h"

QString WubiDesktop::start(const CourseProgram::Prepare& prepare) {
    if (const QString why = Fcitx::warmUp(); !why.isEmpty())
        return why;
    if (const QString why = program.start(prepare); !why.isEmpty())
        return why;
    const Fcitx::ContextWatch context;
    if (!MenuState::showMainWindow())
        return QStringLiteral("the main window did not show");
    if (!context.await())
        return QStringLiteral("fcitx5 made no input context for the main window");
    return {};
}
