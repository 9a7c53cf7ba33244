#include "support/wubidesktop.h"

#include <QStringList>

#include "support/fcitxservice.h"
#include "support/menustate.h"

QString WubiDesktop::start() {
    if (const QString why = Fcitx::warmUp(); !why.isEmpty())
        return why;
    course = std::make_unique<FixtureCourse>();
    course->writeAll();
    app = std::make_unique<AppFixture>();
    if (!app->errors.isEmpty())
        return app->errors.join('\n');
    const Fcitx::ContextWatch context;
    if (!MenuState::showMainWindow())
        return QStringLiteral("the main window did not show");
    if (!context.await())
        return QStringLiteral("fcitx5 made no input context for the main window");
    return {};
}
