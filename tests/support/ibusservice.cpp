#include "support/ibusservice.h"

#include <sqlite3.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>
#include <memory>

namespace {

const QString kEngine = QStringLiteral("table:wubi-jidian86");
const char* const kTable = "/usr/share/ibus-table/tables/wubi-jidian86.db";

QString ibus(const QStringList& arguments) {
    QProcess p;
    p.start("ibus", arguments);
    p.waitForFinished(5000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

void strokes(const QStringList& keys) {
    QProcess::execute("xdotool", QStringList{"key", "--delay", "40"} + keys);
}

}  // namespace

bool IbusService::start() {
    for (const char* tool : {"ibus-daemon", "ibus", "xdotool"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return fail(QStringLiteral("%1 is not installed (test.sh installs it)").arg(tool));
    if (!QFile::exists(kTable))
        return fail("ibus-table-wubi is not installed (test.sh installs it)");
    if (!home.isValid())
        return fail("no temporary folder");
    // The daemon and the table engine keep what they learn under a home of their own.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.insert(name, home.path() + '/' + name);
    env.insert("GSETTINGS_BACKEND", "memory");
    // The daemon writes where it listens into this file; ibus and Qt's ibus plugin read it.
    qputenv("IBUS_ADDRESS_FILE", (home.path() + "/address").toLocal8Bit());
    env.insert("IBUS_ADDRESS_FILE", home.path() + "/address");
    daemon.setProcessEnvironment(env);
    daemon.setProcessChannelMode(QProcess::MergedChannels);
    daemon.setStandardOutputFile(logPath());
    daemon.start("ibus-daemon", {"--panel=disable", "--config=disable", "--emoji-extension=disable",
                                 "--cache=none", "--verbose"});
    if (!daemon.waitForStarted())
        return fail("ibus-daemon did not start");
    for (int i = 0; i < 200; ++i) {
        if (daemon.state() != QProcess::Running)
            return fail("ibus-daemon stopped: " + log());
        if (ibus({"list-engine"}).contains(kEngine)) {
            ibus({"engine", kEngine});
            return true;
        }
        QThread::msleep(50);
    }
    return fail("ibus-daemon did not list the Wubi table: " + log());
}

void IbusService::stop() {
    if (daemon.state() != QProcess::Running)
        return;
    ibus({"exit"});
    if (!daemon.waitForFinished(5000))
        daemon.kill();
}

QString IbusService::log() const {
    QFile file(logPath());
    file.open(QIODevice::ReadOnly);
    return QString::fromLocal8Bit(file.readAll());
}

bool IbusService::wubiActive() {
    return ibus({"engine"}) == kEngine;
}

bool IbusService::fail(const QString& why) {
    failure = why;
    return false;
}

QString IbusService::logPath() const {
    return home.path() + "/ibus-daemon.log";
}

namespace Ibus {

namespace {
IbusService* running = nullptr;
}

QString keysFor(const QString& text) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(kTable, &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {};
    }
    // The table lists exact matches by frequency: a code gives the character first when no
    // other phrase under it is as frequent.
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT tabkeys FROM phrases p WHERE phrase = ?1 AND NOT EXISTS ("
                       " SELECT 1 FROM phrases q WHERE q.tabkeys = p.tabkeys"
                       " AND q.freq >= p.freq AND q.phrase <> p.phrase)"
                       " ORDER BY length(tabkeys), tabkeys LIMIT 1",
                       -1, &query, nullptr);
    QString keys;
    for (const QChar c : text) {
        const QByteArray character = QString(c).toUtf8();
        sqlite3_reset(query);
        sqlite3_bind_text(query, 1, character.constData(), int(character.size()), SQLITE_STATIC);
        if (sqlite3_step(query) == SQLITE_ROW)
            keys +=
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, 0))) +
                ' ';
        else
            keys += c;
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    return keys;
}

int exec(int argc, char** argv, const std::function<QObject*()>& makeTest) {
    IbusService im;
    running = &im;
    if (im.start())
        qputenv("QT_IM_MODULE", "ibus");
    int result = 1;
    {
        QApplication app(argc, argv);
        std::unique_ptr<QObject> test(makeTest());
        result = QTest::qExec(test.get(), argc, argv);
    }
    im.stop();
    running = nullptr;
    return result;
}

IbusService& service() {
    return *running;
}

void logIfFailed() {
    if (QTest::currentTestFailed())
        qWarning().noquote() << "ibus-daemon log:\n" << service().log().right(20000);
}

QString warmUp() {
    if (!service().failure.isEmpty())
        return service().failure;
    if (QGuiApplication::platformName() != "xcb")
        return "runs on X11 only";
    QLineEdit scratch;
    scratch.show();
    scratch.activateWindow();
    if (!QTest::qWaitForWindowActive(&scratch) ||
        !QTest::qWaitFor([&] { return scratch.hasFocus(); }))
        return "a box of our own got no keyboard";
    if (!QTest::qWaitFor(IbusService::wubiActive, 10000))
        return "Wubi did not come on: " + ibus({"engine"});
    for (int attempt = 0; attempt < 40 && scratch.text() != QStringLiteral("地"); ++attempt) {
        scratch.clear();
        strokes({"f", "space"});
        QTest::qWait(500);
    }
    if (scratch.text() != QStringLiteral("地"))
        return "Wubi gave no characters: " + scratch.text() + "\nibus-daemon log:\n" +
               service().log();
    return {};
}

}  // namespace Ibus
