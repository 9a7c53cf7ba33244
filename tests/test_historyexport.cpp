// The history carried between files: a year written by version 2 keeps every page and total when
// opened; an export imported into a fresh history holds every field and exports the same again;
// a page imported twice is kept once; a page that cannot be taken is skipped and named; a
// malformed file, a pipe or a device changes nothing and is told once.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <QtTest>
#include <csignal>
#include <thread>

#include "data/history.h"
#include "platform/errors.h"
#include "progress/confusionlist.h"
#include "progress/historyexport.h"
#include "support/historyfile.h"

using HistoryFile::contents;
using HistoryFile::page;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// Every field of every page, and the details, as lines.
QStringList everything(History::Store& store) {
    QStringList lines = HistoryFile::details(store) + contents(store);
    for (const History::Page& p : store.pages())
        lines << QStringLiteral("%1 %2 %3-%4 p%5 %6ms %7 bytes %8 errors")
                     .arg(p.at.toString(Qt::ISODateWithMs), p.lesson)
                     .arg(p.rangeFirst)
                     .arg(p.rangeSecond)
                     .arg(p.pageNo)
                     .arg(p.ms)
                     .arg(p.amount)
                     .arg(p.errors);
    return lines;
}

// A pipe that nobody writes: a reader that waits on it is let go after a few seconds with "{".
struct Pipe {
    QString path;
    std::thread writer;
    explicit Pipe(const QString& p) : path(p) {
        std::signal(SIGPIPE, SIG_IGN);
        ::mkfifo(QFile::encodeName(path).constData(), 0600);
        writer = std::thread([name = QFile::encodeName(path)] {
            for (int i = 0; i < 30; ++i, ::usleep(100000))
                if (const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                    ::usleep(3000000);
                    [[maybe_unused]] const ssize_t n = ::write(fd, "{", 1);
                    ::close(fd);
                    return;
                }
        });
    }
    ~Pipe() { writer.join(); }
};

}  // namespace

class HistoryExportTest : public QObject {
    Q_OBJECT
    QTemporaryDir folder;

  private slots:
    void aYearFromVersion2KeepsEveryPageAndTotal() {
        const QString path = folder.filePath("year.sqlite3");
        const QString common = QStringLiteral("的一是在不了有和人这中大为上个国我以要他时来用们");
        qint64 at = 1700000000000;
        QStringList written;
        {
            History::Store store(path);
            for (int n = 0; n < 7300; ++n, at += 4 * 3600000 / 5)
                store.record(
                    page(n % 5 ? History::kText : History::kFinger, at, common.mid(n % 7, 12), n));
            QVERIFY(store.sumUp());
            written = contents(store);
        }
        QCOMPARE(written.size() - written.filter(QStringLiteral("total ")).size(), 7300);
        QCOMPARE(HistoryFile::backTo(path, 2), SQLITE_OK);
        {
            History::Store older(path);
            QCOMPARE(contents(older), written);
        }
        QCOMPARE(HistoryFile::execute(path, "SELECT hash FROM codes;"), SQLITE_OK);  // current now
    }

    void exportImportsIntoAFreshHistoryAsItWas() {
        const QString first = folder.filePath("first.sqlite3");
        History::Store store(first);
        for (int n = 0; n < 30; ++n) {
            History::Page p = page(n % 3 == 0   ? History::kRoot
                                   : n % 3 == 1 ? History::kText
                                                : History::kFinger,
                                   1700000000000 + n * 60000, QStringLiteral("工地在要国"), n);
            if (n == 29)  // an article's own name may hold anything
                p.lesson = QStringLiteral("自选文章 \"a\\b\"\x01\t𠀀");
            p.amount = 2 * int(p.strokes.size());
            p.rangeFirst = n % 4 + 1;
            p.rangeSecond = 6;
            p.pageNo = n;
            p.errors = p.drill == History::kRoot ? 2 : 0;
            if (n == 4)  // written before the wrong attempts were kept
                p.strokes[0].wrong = 3;
            if (n == 1) {  // typed where the typists' counts are kept
                p.measures.characters = 5;
                p.measures.keys = 12;
                p.measures.backspaces = p.measures.erased = p.measures.selections = 1;
                p.measures.committed = 5;
                p.measures.wordCharacters = 2;
                p.measures.idealKeys = 9;
            }
            store.record(p);
        }
        const QByteArray exported = HistoryExport::json(HistoryExport::allPages(store));
        const QJsonObject top = QJsonDocument::fromJson(exported).object();
        // Written as Qt's own writer writes it, to the byte.
        QCOMPARE(QJsonDocument(top).toJson(QJsonDocument::Compact), exported);
        QCOMPARE(top["format"].toString(), QStringLiteral("qorvex-history"));
        const QJsonObject text = top["pages"].toArray()[1].toObject();
        QCOMPARE(text["drill"].toString(), QStringLiteral("text"));
        QCOMPARE(text["text"].toString(), QStringLiteral("工地在要国"));
        QCOMPARE(text["at"].toString(), QStringLiteral("2023-11-14T22:14:20.000Z"));
        QCOMPARE(text["measures"].toObject()["keys"].toInt(), 12);
        QCOMPARE(text["measures"].toObject()["idealKeys"].toInt(), 9);
        QVERIFY(top["pages"].toArray()[4].toObject()["measures"].isNull());
        const QJsonObject stroke = text["strokes"].toArray()[1].toObject();
        QCOMPARE(stroke["char"].toString(), QStringLiteral("地"));
        QCOMPARE(stroke["code"].toString(), QStringLiteral("ghg"));
        QCOMPARE(stroke["wrong"].toArray().size(), 0);
        QVERIFY(!text["strokes"].toArray()[4].toObject().contains("code"));  // none shown
        QCOMPARE(top["pages"].toArray()[12].toObject()["strokes"].toArray()[1].toObject()["wrong"],
                 QJsonArray({QStringLiteral("错"), QStringLiteral("土")}));

        const QString file = folder.filePath("history.json");
        HistoryExport::write(store, file);
        History::Store fresh(folder.filePath("fresh.sqlite3"));
        QCOMPARE(HistoryExport::merge(fresh, file).added, 30);
        QCOMPARE(HistoryExport::merge(fresh, file).added, 0);  // each page kept once
        QCOMPARE(HistoryExport::json(HistoryExport::allPages(fresh)), exported);
        QCOMPARE(everything(fresh), everything(store));
        HistoryExport::write(fresh, folder.filePath("again.json"));
        QCOMPARE(readFile(folder.filePath("again.json")), readFile(file));
        HistoryExport::write(store, folder.filePath("first.csv"));

        // The record window's list names the pairs met most, with both codes.
        QMap<QString, int> pairs;
        for (const History::Page& p : HistoryExport::allPages(fresh))
            if (p.drill == History::kText)
                for (const History::Stroke& s : p.strokes)
                    for (const QString& w : s.wrongs) ++pairs[s.character + w];
        const auto most = std::max_element(pairs.cbegin(), pairs.cend());
        ConfusionList list;
        list.fill(fresh, [](const QString& c) { return c == "错" ? QString("qaj") : QString(); });
        QCOMPARE(list.item(0)->text(), QStringLiteral("把「%1」(?) 打成「%2」(%3) ×%4")
                                           .arg(most.key().left(1), most.key().mid(1),
                                                most.key().mid(1) == "错" ? "qaj" : "?")
                                           .arg(*most));

        HistoryExport::write(fresh, folder.filePath("pages.csv"));
        QCOMPARE(readFile(folder.filePath("pages.csv")), readFile(folder.filePath("first.csv")));
        const QList<QByteArray> rows = readFile(folder.filePath("pages.csv")).trimmed().split('\n');
        QCOMPARE(rows.size(), 31);
        QCOMPARE(rows[0], QByteArray("at,drill,lesson,ms,amount,speed,errors,characters,"
                                     "wrong_characters,keys,backspaces,erased,word_characters,"
                                     "selections,ideal_keys"));
        // The lesson as the pupil reads it, the speed a number, the wrong attempts and the
        // characters that had one counted from the same strokes.
        QCOMPARE(
            rows[2],
            QByteArray("2023-11-14T22:14:20.000Z,text,课程练习2,1001,10,1,0,5,0,12,1,1,2,1,9"));
        QCOMPARE(rows[13],
                 QByteArray("2023-11-14T22:25:20.000Z,root,课程练习6,1012,10,12,2,5,1,,,,,,"));

        // A file of the first version, without the fields that came later, still imports.
        writeFile(folder.filePath("v1.json"),
                  "{\"format\":\"qorvex-history\",\"pages\":[{\"at\":\"2024-01-01T00:00:00.000Z\","
                  "\"drill\":\"text\",\"lesson\":\"a\",\"ms\":900,\"strokes\":[{\"char\":\"工\","
                  "\"code\":\"aaaa\",\"ms\":0,\"wrong\":[\"土\"]}],\"text\":\"工\"}],"
                  "\"version\":1}");
        QCOMPARE(HistoryExport::merge(fresh, folder.filePath("v1.json")).added, 1);
        const History::Page v1 = fresh.pages(History::kText, true).constLast();
        QCOMPARE(v1.strokes[0].wrongs, QStringList{"土"});
        QCOMPARE(v1.amount, 1);
    }

    // One page that cannot be taken is left out and named; the rest of the file is imported.
    void aBadPageIsSkippedAndNamed_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("told");
        const QByteArray start = "{\"at\":\"2024-01-02T00:00:00.000Z\",\"drill\":\"text\",";
        const QByteArray sound = "\"lesson\":\"b\",\"ms\":5,";
        const auto stroke = [](const QByteArray& fields) {
            return "\"strokes\":[{\"char\":\"工\",\"ms\":1,\"wrong\":[]},{" + fields + "}]}";
        };
        const QByteArray good = "\"char\":\"地\",\"ms\":1,\"wrong\":[]";
        QTest::newRow("time out of range")
            << "{\"at\":\"\",\"drill\":\"text\"," + sound + stroke(good) << "时间";
        QTest::newRow("a page of 9.2e18 ms")
            << start + "\"lesson\":\"b\",\"ms\":9.2e18," + stroke(good) << "用时";
        QTest::newRow("two characters in one stroke")
            << start + sound + stroke("\"char\":\"地在\",\"ms\":1,\"wrong\":[]")
            << "第 2 个击键不是一个字符";
        QTest::newRow("a lone surrogate")
            << start + sound + stroke("\"char\":\"\\ud800\",\"ms\":1,\"wrong\":[]")
            << "第 2 个击键不是一个字符";
        QTest::newRow("a code with a space")
            << start + sound + stroke(good + ",\"code\":\"g h\"") << "编码";
        QTest::newRow("a wrong entry holding U+001F")
            << start + sound + stroke("\"char\":\"地\",\"ms\":1,\"wrong\":[\"a\\u001fb\"]")
            << "控制字符";
        QTest::newRow("a wrong count of 4294967295")
            << start + sound + stroke(good + ",\"wrongCount\":4294967295") << "不完整";
        QTest::newRow("a lesson name of 300 characters")
            << start + "\"lesson\":\"" + QByteArray(300, 'x') + "\",\"ms\":5," + stroke(good)
            << "课程名称";
    }
    void aBadPageIsSkippedAndNamed() {
        QFETCH(QByteArray, page);
        QFETCH(QString, told);
        const QString file = folder.filePath("one-bad.json");
        writeFile(file,
                  "{\"format\":\"qorvex-history\",\"pages\":["
                  "{\"at\":\"2024-01-01T00:00:00.000Z\",\"drill\":\"text\",\"lesson\":\"a\","
                  "\"ms\":5,\"strokes\":[],\"text\":\"\"}," +
                      page + "],\"version\":2}");
        History::Store store(folder.filePath("one-bad.sqlite3"));
        HistoryExport::Merged merged;
        try {
            merged = HistoryExport::merge(store, file);
        } catch (const AppError& error) {
            QFAIL(qPrintable(error.message()));
        }
        QCOMPARE(merged.added, 1);
        QCOMPARE(merged.skipped, 1);
        QVERIFY2(merged.text().contains(QStringLiteral("有 1 页")) &&
                     merged.text().contains(QStringLiteral("第 2 页")) &&
                     merged.text().contains(told),
                 qPrintable(merged.text()));
        QCOMPARE(store.pages().size(), 1);
        QFile::remove(folder.filePath("one-bad.sqlite3"));
    }

    // Only regular files are read, and only regular files or new names written, each aside and
    // then in place; a history the pupil may only read exports all the same, and one that cannot
    // be read leaves an older export as it was.
    void specialFilesAndReadOnlyHistories() {
        History::Store store(folder.filePath("special.sqlite3"));
        for (int n = 0; n < 3; ++n)
            store.record(
                page(History::kText, 1700000000000 + n * 60000, QStringLiteral("工地"), n));
        QTemporaryDir out;  // the pupil's own folder
        QVERIFY(::chmod(QFile::encodeName(out.path()).constData(), 0777) == 0);
        const QString exported = out.filePath("special.json");
        HistoryExport::write(store, exported);
        const QByteArray before = readFile(exported);
        // The message a step raised, empty when it did not raise.
        const auto told = [](const std::function<void()>& step) {
            try {
                step();
            } catch (const AppError& error) {
                return error.message();
            }
            return QString();
        };
        const QString notRegular = QStringLiteral("不是普通文件");
        {
            const Pipe pipe(folder.filePath("pipe.json"));
            QVERIFY(told([&] { HistoryExport::merge(store, pipe.path); }).contains(notRegular));
        }
        // A device of its own, as /dev/null is: no test replaces the machine's.
        const QString device = folder.filePath("null");
        if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
            QVERIFY(told([&] { HistoryExport::merge(store, device); }).contains(notRegular));
        QVERIFY(told([&] { HistoryExport::write(store, folder.path()); }).contains("文件夹"));
        {
            const Pipe pipe(folder.filePath("out-pipe.json"));
            QVERIFY(told([&] { HistoryExport::write(store, pipe.path); }).contains(notRegular));
            QVERIFY(QFileInfo(pipe.path).isFile() == false && QFileInfo::exists(pipe.path));
        }
        if (QFileInfo::exists(device)) {
            QVERIFY(told([&] { HistoryExport::write(store, device); }).contains(notRegular));
            QVERIFY(!QFileInfo(device).isFile());
        }
        QCOMPARE(store.pages().size(), 3);
        store.finish();

        // Read as an ordinary user: a history and its folder the pupil may only read.
        QTemporaryDir locked;
        const QString path = locked.filePath("history.sqlite3");
        QVERIFY(QFile::copy(folder.filePath("special.sqlite3"), path));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
        QVERIFY(::chmod(QFile::encodeName(locked.path()).constData(), 0555) == 0);
        const bool root = ::geteuid() == 0;
        if (root)
            ::setfsuid(65534);
        History::Store readOnly(path);
        const QString again = told([&] { HistoryExport::write(readOnly, exported); });
        if (root)
            ::setfsuid(0);
        QCOMPARE(again, QString());
        QCOMPARE(readFile(exported), before);

        QVERIFY(::chmod(QFile::encodeName(locked.path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0) == 0);
        if (root)
            ::setfsuid(65534);
        History::Store unreadable(path);
        const QString cannot = told([&] { HistoryExport::write(unreadable, exported); });
        if (root)
            ::setfsuid(0);
        QVERIFY2(cannot.contains("无法读取学习记录文件"), qPrintable(cannot));
        QCOMPARE(readFile(exported), before);
    }

    void aMalformedFileChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("told");
        QTest::newRow("not JSON") << QByteArray("{\"format\": ") << "JSON 格式错误";
        QTest::newRow("another format")
            << QByteArray("{\"format\": \"x\", \"version\": 1}") << "qorvex-history";
        QTest::newRow("no page that can be taken")
            << QByteArray(
                   "{\"format\":\"qorvex-history\",\"version\":1,\"pages\":["
                   "{\"at\":\"2024-01-02T00:00:00Z\",\"lesson\":\"b\",\"ms\":5,"
                   "\"strokes\":[]}]}")
            << "第 1 页";
    }
    void aMalformedFileChangesNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, told);
        const QString file = folder.filePath("bad.json");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        History::Store store(folder.filePath("kept.sqlite3"));
        store.record(page(History::kText, 1700000000000, QStringLiteral("工"), 1));
        const QStringList before = contents(store);
        try {
            HistoryExport::merge(store, file);
            QFAIL("the file was taken");
        } catch (const AppError& error) {
            QVERIFY2(error.message().contains(told), qPrintable(error.message()));
            QVERIFY(error.message().contains(QStringLiteral("学习记录没有改动")));
        }
        QCOMPARE(contents(store), before);
    }
};

QTEST_MAIN(HistoryExportTest)
#include "test_historyexport.moc"
