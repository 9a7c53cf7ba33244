#include "support/fcitxservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>
#include <algorithm>

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
    if (!prepare({"dbus-daemon", "fcitx5", "fcitx5-remote", "xdotool"}))
        return false;
    writeConfiguration(profile);
    qputenv("XDG_CONFIG_HOME", dir("config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", dir("data").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir("runtime").toLocal8Bit());
    if (!startBus())
        return false;
    // fcitx5-remote would have the bus start an fcitx5 of the desktop's own, which could take the
    // name before ours: it is asked only once ours holds it.
    return launch(
        {"--disable=all", "--enable=keyboard,table,punctuation,pinyinhelper,dbus,dbusfrontend,xcb",
         "--verbose=default=4,key_trace=5"},
        [] {
            return BusNames::ownedOnSessionBus({"org.fcitx.Fcitx5"}, 1000).value(0) &&
                   remote({}).exitCode == 0 && remote({"-q"}).output == "Default";
        },
        "fcitx5 did not come up on the private bus");
}

void FcitxService::stop() {
    halt([this] { daemon.terminate(); });
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

int exec(int argc, char** argv, const std::function<QObject*()>& makeTest,
         FcitxService::Profile profile) {
    FcitxService im;
    const bool up = im.start(profile);
    int result = ImTest::exec(argc, argv, im, up, "fcitx", makeTest);
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

QString warmUp() {
    QLineEdit scratch;
    if (const QString why =
            ImTest::firstCharacter(scratch, {"xcb", "wayland"}, FcitxService::wubiActive);
        !why.isEmpty())
        return why;
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
