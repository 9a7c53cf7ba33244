#include "support/fcitxservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

namespace {
void write(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text.toUtf8());
}
}  // namespace

bool FcitxService::start() {
    for (const char* tool : {"dbus-daemon", "fcitx5", "fcitx5-remote", "xdotool"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return fail(QStringLiteral("%1 is not installed (test.sh installs it)").arg(tool));
    if (!home.isValid())
        return fail("no temporary folder");
    writeConfiguration();
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
        if (remote({}).exitCode == 0 && remote({"-q"}).output == "Default")
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

// One group: the US keyboard and Wubi. The table keeps its own order: no learning.
void FcitxService::writeConfiguration() const {
    const QString config = dir("config") + "/fcitx5";
    write(config + "/profile",
          "[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=wbx\n\n"
          "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
          "[Groups/0/Items/1]\nName=wbx\nLayout=\n\n[GroupOrder]\n0=Default\n");
    write(config + "/config", "[Behavior]\nShareInputState=All\n");
    // The table's own settings over the shipped ones (section [Table] of the input method).
    write(config + "/table/wbx.conf", "[Table]\nLearning=False\nOrderPolicy=No\n");
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
void strokes(const QStringList& keys) {
    QProcess::execute("xdotool", QStringList{"key", "--delay", "40"} + keys);
}
}  // namespace Fcitx
