#include "support/fcitxservice.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "platform/busnames.h"

namespace {
void write(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text.toUtf8());
}
}  // namespace

bool FcitxService::start(Profile profile) {
    for (const char* tool : {"dbus-daemon", "fcitx5", "fcitx5-remote", "xdotool"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return fail(QStringLiteral("%1 is not installed (test.sh installs it)").arg(tool));
    if (!home.isValid())
        return fail("no temporary folder");
    writeConfiguration(profile);
    qputenv("XDG_CONFIG_HOME", dir("config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", dir("data").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir("runtime").toLocal8Bit());
    if (!startBus())
        return false;
    fcitx.setProcessChannelMode(QProcess::MergedChannels);
    fcitx.setStandardOutputFile(logPath());
    fcitx.start("fcitx5", {"--disable=all",
                           "--enable=keyboard,table,punctuation,pinyinhelper,dbus,dbusfrontend,xcb",
                           "--verbose=default=4,key_trace=5"});
    if (!fcitx.waitForStarted())
        return fail("fcitx5 did not start");
    for (int i = 0; i < 200; ++i) {
        if (fcitx.state() != QProcess::Running)
            return fail("fcitx5 stopped: " + log());
        // fcitx5-remote would have the bus start an fcitx5 of the desktop's own, which could take
        // the name before ours: it is asked only once ours holds it.
        if (BusNames::ownedOnSessionBus({"org.fcitx.Fcitx5"}, 1000).value(0) &&
            remote({}).exitCode == 0 && remote({"-q"}).output == "Default")
            return true;
        QThread::msleep(50);
    }
    return fail("fcitx5 did not come up on the private bus");
}

void FcitxService::stop() {
    if (fcitx.state() == QProcess::Running) {
        fcitx.terminate();
        if (!fcitx.waitForFinished(5000))
            fcitx.kill();
    }
    if (busPid > 0)
        QProcess::execute("kill", {QString::number(busPid)});
}

FcitxService::Reply FcitxService::remote(const QStringList& arguments) {
    QProcess p;
    p.start("fcitx5-remote", arguments);
    p.waitForFinished(5000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed()};
}

bool FcitxService::wubiActive() {
    return remote({"-s", "wbx"}).exitCode == 0 && remote({"-n"}).output == "wbx";
}

QString FcitxService::log() const {
    QFile file(logPath());
    file.open(QIODevice::ReadOnly);
    return QString::fromLocal8Bit(file.readAll());
}

bool FcitxService::fail(const QString& why) {
    failure = why;
    return false;
}

QString FcitxService::dir(const QString& name) const {
    const QString path = QDir(home.path()).filePath(name);
    QDir().mkpath(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QString FcitxService::logPath() const {
    return QDir(home.path()).filePath("fcitx5.log");
}

// One group: the US keyboard and Wubi. Tuned, the table keeps its own order: no learning.
void FcitxService::writeConfiguration(Profile profile) const {
    const QString config = dir("config") + "/fcitx5";
    write(config + "/profile",
          "[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=wbx\n\n"
          "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
          "[Groups/0/Items/1]\nName=wbx\nLayout=\n\n[GroupOrder]\n0=Default\n");
    if (profile == Profile::AsAdded)
        return;
    write(config + "/config", "[Behavior]\nShareInputState=All\n");
    // The table's own settings over the shipped ones (section [Table] of the input method).
    const QString noLearning = "[Table]\nLearning=False\nOrderPolicy=No\n";
    write(config + "/table/wbx.conf", noLearning);
    write(config + "/conf/table/wbx.conf", noLearning);
}

bool FcitxService::startBus() {
    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--fork", "--print-address=1", "--print-pid=1"});
    if (!bus.waitForFinished(10000) || bus.exitCode() != 0)
        return fail("dbus-daemon did not start");
    const QStringList lines =
        QString::fromLocal8Bit(bus.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    if (lines.size() < 2)
        return fail("dbus-daemon gave no address");
    qputenv("DBUS_SESSION_BUS_ADDRESS", lines[0].trimmed().toLocal8Bit());
    busPid = lines[1].trimmed().toLongLong();
    return true;
}

namespace Fcitx {

namespace {

FcitxService* running = nullptr;

// The ids of the input contexts fcitx5 holds, from its own account: "IC [id] program:...".
QStringList inputContexts() {
    QProcess p;
    p.start("dbus-send", {"--session", "--print-reply", "--dest=org.fcitx.Fcitx5", "/controller",
                          "org.fcitx.Fcitx.Controller1.DebugInfo"});
    p.waitForFinished(5000);
    static const QRegularExpression line(R"(IC \[(\w+)\])");
    QStringList ids;
    for (auto it = line.globalMatch(QString::fromUtf8(p.readAllStandardOutput())); it.hasNext();)
        ids << it.next().captured(1);
    return ids;
}

}  // namespace

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

int exec(int argc, char** argv, const std::function<QObject*()>& makeTest,
         FcitxService::Profile profile) {
    FcitxService im;
    running = &im;
    const bool up = im.start(profile);
    if (up)
        qputenv("QT_IM_MODULE", "fcitx");
    int result = 1;
    {
        QApplication app(argc, argv);
        std::unique_ptr<QObject> test(makeTest());
        result = QTest::qExec(test.get(), argc, argv);
    }
    im.stop();
    running = nullptr;
    // fcitx5 saves what it learned when it stops; its Wubi table was meant to learn nothing.
    const QDir learned(qEnvironmentVariable("XDG_DATA_HOME") + "/fcitx5/table");
    if (up && profile == FcitxService::Profile::Tuned &&
        !learned.entryList({"wbx.*"}, QDir::Files).isEmpty()) {
        qWarning("FAIL: fcitx5 saved learned choices");
        result = 1;
    }
    return result;
}

ContextWatch::ContextWatch() : known(inputContexts()) {}

bool ContextWatch::await() const {
    return QTest::qWaitFor(
        [this] {
            const QStringList now = inputContexts();
            return std::any_of(now.begin(), now.end(),
                               [this](const QString& id) { return !known.contains(id); });
        },
        10000);
}

FcitxService& service() {
    return *running;
}

void logIfFailed() {
    if (QTest::currentTestFailed())
        qWarning().noquote() << "fcitx5 log:\n" << service().log().right(20000);
}

QString warmUp() {
    if (!service().failure.isEmpty())
        return service().failure;
    if (QGuiApplication::platformName() != "xcb" && QGuiApplication::platformName() != "wayland")
        return "runs on X11 or Wayland only";
    QLineEdit scratch;
    scratch.show();
    scratch.activateWindow();
    if (!QTest::qWaitForWindowActive(&scratch) ||
        !QTest::qWaitFor([&] { return scratch.hasFocus(); }))
        return "a box of our own got no keyboard";
    if (!QTest::qWaitFor(FcitxService::wubiActive, 10000))
        return "Wubi did not come on";
    for (int attempt = 0; attempt < 40 && !scratch.text().contains(QStringLiteral("地"));
         ++attempt) {
        strokes({"f", "space"});
        QTest::qWait(500);
    }
    if (!scratch.text().contains(QStringLiteral("地")))
        return "Wubi gave no characters: " + scratch.text() + "\nfcitx5 log:\n" + service().log();
    // A box that takes the input method gets no letter: Wubi keeps it as a code.
    scratch.clear();
    strokes({"g"});
    QTest::qWait(800);
    if (!scratch.text().isEmpty())
        return "a letter passed Wubi: " + scratch.text();
    strokes({"space"});
    if (!QTest::qWaitFor([&] { return scratch.text() == QStringLiteral("一"); }))
        return "Wubi did not commit g: " + scratch.text();
    return {};
}

}  // namespace Fcitx
