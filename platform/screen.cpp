#include "platform/screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace Screen {

namespace {
QSize& override() {
    static QSize s;
    return s;
}
}  // namespace

QSize size() {
    if (override().isValid())
        return override();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

void setSizeOverride(QSize s) {
    override() = s;
}

}  // namespace Screen
