#pragma once

#include <QApplication>
#include <QString>
#include <functional>
#include <stdexcept>

// An error raised by any handler of the program. Its text is what the pupil reads in the box.
class AppError : public std::runtime_error {
  public:
    explicit AppError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

namespace Errors {

// Shows the text in a message box. Tests replace the sink to collect the texts instead.
void report(const QString& message);
void setSink(std::function<void(const QString&)> sink);

// Runs a handler; an error it raises is reported, the handler stops there and the caller goes on.
template <class Handler>
bool guard(Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        report(QString::fromUtf8(e.what()));
    }
    return false;
}

}  // namespace Errors

// Reports an error raised by any event handler, then goes on with the next event.
class Application : public QApplication {
  public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
