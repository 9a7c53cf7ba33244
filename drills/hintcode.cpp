#include "drills/hintcode.h"

#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QStandardPaths>

#include "media/modulefolders.h"
#include "platform/inputmethod.h"

namespace HintCode {

namespace {

// libime_tabledict reads the table in a fifth of a second; a slower answer is not waited for.
constexpr int kDumpTimeoutMs = 5000;

QString installed(const QString& relativePath) {
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, relativePath);
}

}  // namespace

Order fcitxWubiTable() {
    const QString table = installed(QStringLiteral("libime/wbx.main.dict"));
    if (table.isEmpty())
        return {};
    QProcess dump;
    dump.start(QStringLiteral("libime_tabledict"),
               {QStringLiteral("-d"), table, QStringLiteral("/dev/stdout")});
    if (!dump.waitForFinished(kDumpTimeoutMs) || dump.exitCode() != 0) {
        dump.kill();
        dump.waitForFinished();
        return {};
    }
    return fromTableDump(dump);
}

Order ibusWubiTable() {
    const QString table = installed(QStringLiteral("ibus-table/tables/wubi-jidian86.db"));
    return table.isEmpty() ? Order() : fromIbusTable(table);
}

namespace {

// A code's beginnings longer than the short code, then the full code.
QStringList codesFromShortToFull(const QString& shortCode, const QString& fullCode) {
    QStringList codes{shortCode};
    if (fullCode.startsWith(shortCode))
        for (qsizetype length = shortCode.size() + 1; length <= fullCode.size(); ++length)
            codes << fullCode.left(length);
    else if (!fullCode.isEmpty())
        codes << fullCode;
    return codes;
}

}  // namespace

Order Order::asked(Lookup lookup) {
    Order order;
    order.lookup = std::move(lookup);
    return order;
}

void Order::add(const QString& code, const QString& word) {
    byCode[code].append(word);
}

const QStringList& Order::candidates(const QString& code) const {
    static const QStringList none;
    if (lookup && !byCode.contains(code))
        byCode.insert(code, lookup(code));
    const auto it = byCode.constFind(code);
    return it == byCode.constEnd() ? none : *it;
}

Order fromTableDump(QIODevice& dump) {
    Order order;
    bool inData = false;
    while (!dump.atEnd()) {
        const QString line = QString::fromUtf8(dump.readLine()).trimmed();
        if (!inData) {
            inData = line == QLatin1String("[Data]");
            continue;
        }
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        if (space > 0)
            order.add(line.left(space), line.mid(space + 1));
    }
    return order;
}

Order fromIbusTable(const QString& path) {
    Order order;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* rows = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT tabkeys, phrase FROM phrases "
                               "ORDER BY tabkeys, freq DESC, phrase",
                               -1, &rows, nullptr) == SQLITE_OK)
            while (sqlite3_step(rows) == SQLITE_ROW)
                order.add(
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 0))),
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 1))));
        sqlite3_finalize(rows);
    }
    sqlite3_close_v2(db);
    return order;
}

Order fcitxFrequencyOrder() {
    using Ask = bool (*)(const QString&, const QString&, const QString&, QStringList*);
    QLibrary library;
    library.setLoadHints(QLibrary::PreventUnloadHint);
    for (const QString& folder : ModuleFolders::searched()) {
        library.setFileName(QDir(folder).filePath(QStringLiteral("qorvex-fcitxorder")));
        if (library.load())
            break;
    }
    const auto ask = reinterpret_cast<Ask>(library.resolve("qorvexFrequencyOrder"));
    const QString table = installed(QStringLiteral("libime/wbx.main.dict"));
    // fcitx5 keeps the pupil's own words and history of the table here.
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                        QStringLiteral("/fcitx5/table");
    QStringList probe;
    if (!ask || table.isEmpty() || !ask(table, own, QStringLiteral("a"), &probe))
        return {};
    return Order::asked([=](const QString& code) {
        QStringList candidates;
        ask(table, own, code, &candidates);
        return candidates;
    });
}

namespace {

struct Remembered {
    Order order;
    bool made = false;
    int number = 0;
};

Remembered& remembered() {
    static Remembered r;
    return r;
}

Order currentOrder() {
    const QString frontend = InputMethod::frontend();
    if (frontend.startsWith(QLatin1String("fcitx"))) {
        if (InputMethod::survey().orderPolicy == QLatin1String("Freq"))
            if (Order byFrequency = fcitxFrequencyOrder(); !byFrequency.isEmpty())
                return byFrequency;
        return fcitxWubiTable();
    }
    if (frontend.startsWith(QLatin1String("ibus")))
        return ibusWubiTable();
    return Order();
}

}  // namespace

const Order& inputMethodOrder() {
    Remembered& r = remembered();
    if (!r.made) {
        r.order = currentOrder();
        r.made = true;
        ++r.number;
    }
    return r.order;
}

void forgetInputMethodOrder() {
    remembered().made = false;
}

int inputMethodOrderNumber() {
    inputMethodOrder();
    return remembered().number;
}

QString Hint::text() const {
    return choice == 1 ? code : code + QLatin1Char(' ') + QString::number(choice);
}

Hint choose(const Order& order, const QString& character, const QString& shortCode,
            const QString& fullCode) {
    const QStringList codes = codesFromShortToFull(shortCode.toLower(), fullCode.toLower());
    for (const QString& code : codes)
        if (order.candidates(code).value(0) == character)
            return {code, 1};
    for (const QString& code : codes) {
        const qsizetype at = order.candidates(code).indexOf(character);
        if (at >= 0 && at < kPageSize)
            return {code, int(at) + 1};
    }
    return {shortCode.toLower(), 1};
}

bool commits(const Order& order, const QString& character, const Hint& hint) {
    return hint.choice <= kPageSize &&
           order.candidates(hint.code).value(hint.choice - 1) == character;
}

}  // namespace HintCode
