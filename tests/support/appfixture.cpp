#include "support/appfixture.h"

#include <QApplication>
#include <QTimer>

#include "app/windows.h"
#include "platform/errors.h"

AppFixture::AppFixture() {
    Errors::setSink([this](const QString& message) { errors << message; });
    createWindows();
}

AppFixture::~AppFixture() {
    destroyWindows();
    Errors::setSink({});
}

void whenModal(std::function<void()> action, int delayMs) {
    QTimer::singleShot(delayMs, qApp, [action = std::move(action)] {
        if (!QApplication::activeModalWidget()) {
            whenModal(action, 10);
            return;
        }
        action();
    });
}
