#include "support/ibusservice.h"

#include <sqlite3.h>
#include <QFile>
#include <QLineEdit>
#include <QProcessEnvironment>

namespace {

const QString kEngine = QStringLiteral("table:wubi-jidian86");
const char* const kTable = "/usr/share/ibus-table/tables/wubi-jidian86.db";

QString ibus(const QStringList& arguments) {
    QProcess p;
    p.start("ibus", arguments);
    p.waitForFinished(5000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

}  // namespace

bool IbusService::start() {
    if (!prepare({"ibus-daemon", "ibus", "xdotool"}))
        return false;
    if (!QFile::exists(kTable))
        return fail("ibus-table-wubi is not installed (test.sh installs it)");
    // The daemon and the table engine keep what they learn under a home of their own.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.insert(name, dir(name));
    env.insert("GSETTINGS_BACKEND", "memory");
    // The daemon writes where it listens into this file; ibus and Qt's ibus plugin read it.
    const QString address = home.filePath("address");
    qputenv("IBUS_ADDRESS_FILE", address.toLocal8Bit());
    env.insert("IBUS_ADDRESS_FILE", address);
    daemon.setProcessEnvironment(env);
    const bool listed = launch(
        {"--panel=disable", "--config=disable", "--emoji-extension=disable", "--cache=none",
         "--verbose"},
        [] { return ibus({"list-engine"}).contains(kEngine); },
        "ibus-daemon did not list the Wubi table");
    if (listed)
        ibus({"engine", kEngine});
    return listed;
}

void IbusService::stop() {
    halt([] { ibus({"exit"}); });
}

bool IbusService::wubiActive() {
    return ibus({"engine"}) == kEngine;
}

namespace Ibus {

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
    return ImTest::exec(argc, argv, im, im.start(), "ibus", makeTest);
}

QString warmUp() {
    QLineEdit scratch;
    return ImTest::firstCharacter(scratch, {"xcb"}, IbusService::wubiActive);
}

}  // namespace Ibus
