#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>
#include <functional>
#include <stdexcept>
#include <type_traits>

class QFileDevice;

// An error raised by any handler of the program. Its text is what the pupil reads in the box:
// which file, and what is wrong with it.
class AppError : public std::runtime_error {
  public:
    explicit AppError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }

    // An error that comes back at every key stroke until the pupil mends its cause, such as a
    // damaged practice table. A window shows it once per showing, not once per key.
    static AppError lasting(const QString& message) {
        AppError error(message);
        error.keepsComing = true;
        return error;
    }
    bool isLasting() const { return keepsComing; }

    // Not a fault, only why nothing was done (no pages to work from yet): shown as a notice.
    static AppError notice(const QString& message) {
        AppError error(message);
        error.onlyNotice = true;
        return error;
    }
    bool isNotice() const { return onlyNotice; }

  private:
    bool keepsComing = false;
    bool onlyNotice = false;
};

namespace Errors {

// Shows the text in a message box. Tests replace the sink to collect the texts instead.
void report(const QString& message);
void setSink(std::function<void(const QString&)> sink);
// Shows a notice that is no error (with the information icon), through the same sink.
void inform(const QString& message);

// Reports an error raised in a handler of owner's window. During a Showing of that window a
// lasting error is shown only once; at any other time every error is shown.
void report(QObject* owner, const AppError& error);

// One modal showing of a window, for as long as this object lives.
class Showing {
  public:
    explicit Showing(QWidget* window);
    ~Showing();
    Showing(const Showing&) = delete;
    Showing& operator=(const Showing&) = delete;

  private:
    QPointer<QWidget> shown;
};

// How many errors escaped every handler's own guard and were caught by Application::notify.
int netCatches();

// Why the file could not be opened, read or written, in words the pupil can act on.
QString fileProblem(const QFileDevice& file, bool writing);

// Runs a handler of owner; an error it raises is reported, the handler stops there and the
// caller goes on. Returns false when the handler stopped on an error.
template <class Body>
bool guard(QObject* owner, Body&& body) {
    try {
        body();
        return true;
    } catch (const AppError& e) {
        report(owner, e);
    } catch (const std::bad_alloc&) {
        report(owner, AppError(QStringLiteral("内存不足，这一步没有做完。")));
    } catch (const std::exception& e) {
        report(owner, AppError(QStringLiteral("程序内部出错（%1）。").arg(e.what())));
    }
    return false;
}

template <class Body>
bool guard(Body&& body) {
    return guard(nullptr, std::forward<Body>(body));
}

// The adaptor every handler is connected through, so that its errors are caught at its own
// boundary and never unwind through Qt's frames. A handler that returns a value gives a
// default-made value when it stops on an error (a key filter then does not swallow the key).
template <class F>
auto handler(QObject* owner, F f) {
    return
        [owner, f = std::move(f)]<class... A>(A&&... args) -> std::invoke_result_t<const F&, A...> {
            using R = std::invoke_result_t<const F&, A...>;
            if constexpr (std::is_void_v<R>) {
                guard(owner, [&] { std::invoke(f, std::forward<A>(args)...); });
            } else {
                R result{};
                guard(owner, [&] { result = std::invoke(f, std::forward<A>(args)...); });
                return result;
            }
        };
}

template <class T, class R, class... A>
auto handler(T* owner, R (T::*method)(A...)) {
    return handler(owner, [owner, method](A... args) { return (owner->*method)(args...); });
}

}  // namespace Errors

// The last net: reports an error that escaped a handler's own guard, then goes on with the next
// event.
class Application : public QApplication {
  public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
