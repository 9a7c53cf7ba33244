#include "platform/errors.h"

#include <QMessageBox>

namespace Errors {

namespace {
std::function<void(const QString&)>& sink() {
    static std::function<void(const QString&)> s;
    return s;
}
}  // namespace

void report(const QString& message) {
    if (sink()) {
        sink()(message);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          message);
}

void setSink(std::function<void(const QString&)> s) {
    sink() = std::move(s);
}

}  // namespace Errors

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    Errors::guard([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
