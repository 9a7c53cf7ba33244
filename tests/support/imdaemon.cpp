#include "support/imdaemon.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>
#include <memory>

QString ImDaemon::log() const {
    QFile file(logPath());
    file.open(QIODevice::ReadOnly);
    return QString::fromLocal8Bit(file.readAll());
}

bool ImDaemon::prepare(std::initializer_list<const char*> tools) {
    for (const char* tool : tools)
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return fail(QStringLiteral("%1 is not installed (test.sh installs it)").arg(tool));
    if (!home.isValid())
        return fail("no temporary folder");
    return true;
}

bool ImDaemon::launch(const QStringList& arguments, const std::function<bool()>& ready,
                      const QString& notReady) {
    daemon.setProcessChannelMode(QProcess::MergedChannels);
    daemon.setStandardOutputFile(logPath());
    daemon.start(program, arguments);
    if (!daemon.waitForStarted())
        return fail(program + " did not start");
    for (int i = 0; i < 200; ++i) {
        if (daemon.state() != QProcess::Running)
            return fail(program + " stopped: " + log());
        if (ready())
            return true;
        QThread::msleep(50);
    }
    return fail(notReady + ": " + log());
}

void ImDaemon::halt(const std::function<void()>& ask) {
    if (daemon.state() != QProcess::Running)
        return;
    ask();
    if (!daemon.waitForFinished(5000))
        daemon.kill();
}

bool ImDaemon::fail(const QString& why) {
    failure = why;
    return false;
}

QString ImDaemon::dir(const QString& name) const {
    const QString path = QDir(home.path()).filePath(name);
    QDir().mkpath(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QString ImDaemon::logPath() const {
    return QDir(home.path()).filePath(program + ".log");
}

namespace ImTest {

namespace {
ImDaemon* running = nullptr;
}

void strokes(const QStringList& keys) {
    if (QGuiApplication::platformName() != "wayland") {
        QProcess::execute("xdotool", QStringList{"key", "--delay", "40"} + keys);
        return;
    }
    // wtype names keys as xdotool does; a held modifier is pressed around its key.
    QStringList arguments;
    for (const QString& key : keys) {
        QStringList parts = key.split('+');
        const QString name = parts.takeLast();
        for (const QString& modifier : parts) arguments << "-M" << modifier;
        arguments << "-k" << name;
        for (const QString& modifier : parts) arguments << "-m" << modifier;
        arguments << "-s"
                  << "40";
    }
    QProcess::execute("wtype", arguments);
}

int exec(int argc, char** argv, ImDaemon& service, bool up, const char* module,
         const std::function<QObject*()>& makeTest) {
    if (up)
        qputenv("QT_IM_MODULE", module);
    running = &service;
    int result = 1;
    {
        QApplication app(argc, argv);
        std::unique_ptr<QObject> test(makeTest());
        result = QTest::qExec(test.get(), argc, argv);
    }
    running = nullptr;
    service.stop();
    return result;
}

ImDaemon& service() {
    return *running;
}

void logIfFailed() {
    if (QTest::currentTestFailed())
        qWarning().noquote() << service().name() + " log:\n" << service().log().right(20000);
}

QString firstCharacter(QLineEdit& scratch, const QStringList& platforms,
                       const std::function<bool()>& wubiActive) {
    if (!service().failure.isEmpty())
        return service().failure;
    if (!platforms.contains(QGuiApplication::platformName()))
        return "runs on " + platforms.join(" or ") + " only";
    scratch.show();
    scratch.activateWindow();
    if (!QTest::qWaitForWindowActive(&scratch) ||
        !QTest::qWaitFor([&] { return scratch.hasFocus(); }))
        return "a box of our own got no keyboard";
    if (!QTest::qWaitFor(wubiActive, 10000))
        return "Wubi did not come on";
    for (int attempt = 0; attempt < 40 && !scratch.text().contains(QStringLiteral("地"));
         ++attempt) {
        strokes({"f", "space"});
        QTest::qWait(500);
    }
    if (!scratch.text().contains(QStringLiteral("地")))
        return "Wubi gave no characters: " + scratch.text() + "\n" + service().name() + " log:\n" +
               service().log();
    return {};
}

}  // namespace ImTest
