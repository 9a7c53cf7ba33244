#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <initializer_list>

class QLineEdit;
class QObject;

// What the input-method services of the desktop tests have in common: a home of their own for
// the run, one daemon whose output goes to a log there, and what went wrong when it did not come
// up.
class ImDaemon {
  public:
    QString failure;

    virtual ~ImDaemon() = default;
    virtual void stop() = 0;
    QString log() const;
    // The daemon's program name, as the log is headed.
    QString name() const { return program; }

  protected:
    explicit ImDaemon(QString program) : program(std::move(program)) {}

    // False, with failure set, when one of the tools is not installed or there is no home.
    bool prepare(std::initializer_list<const char*> tools);
    // Starts the daemon and asks ready() until it says yes, for ten seconds at the most.
    bool launch(const QStringList& arguments, const std::function<bool()>& ready,
                const QString& notReady);
    // ask() tells the daemon to go; it is killed when it has not gone after five seconds.
    void halt(const std::function<void()>& ask);
    bool fail(const QString& why);
    // A folder of the home only its owner may enter, made when missing.
    QString dir(const QString& name) const;

    QTemporaryDir home;
    QProcess daemon;

  private:
    QString logPath() const;

    QString program;
};

namespace ImTest {

// Real key strokes, as the pupil's keyboard makes them (xdotool key names): on the X server, or
// through the Wayland compositor's virtual keyboard when the test runs on Wayland.
void strokes(const QStringList& keys);

// The main of a desktop test with an input method: the service was started before (up says
// whether it came up; QT_IM_MODULE is set to module then); creates the application, runs the
// test object that makeTest creates, the service at hand through service(), and stops it.
int exec(int argc, char** argv, ImDaemon& service, bool up, const char* module,
         const std::function<QObject*()>& makeTest);
ImDaemon& service();

// After a test that failed, the end of the daemon's log: what it made of the keys.
void logIfFailed();

// The input method loads its Wubi table on first use and loses keys typed meanwhile: types into
// scratch, a plain line edit of the caller's, until a code gives its character. platforms are
// those the service runs on (Qt's names). Empty when Wubi is ready, else what went wrong.
QString firstCharacter(QLineEdit& scratch, const QStringList& platforms,
                       const std::function<bool()>& wubiActive);

}  // namespace ImTest
