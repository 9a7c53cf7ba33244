// The history carried between files: a year written by version 2 keeps every page and total when
// opened; an export imported into a fresh history exports the same again; a page
// imported twice is kept once; a malformed file changes nothing and is told once.
#include <sqlite3.h>
#include <QtTest>

#include "data/history.h"
#include "platform/errors.h"
#include "progress/confusionlist.h"
#include "progress/historyexport.h"
#include "support/historyfile.h"

using HistoryFile::contents;
using HistoryFile::page;

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
        QCOMPARE(HistoryExport::merge(fresh, file), 30);
        QCOMPARE(HistoryExport::merge(fresh, file), 0);  // each page kept once
        QCOMPARE(HistoryExport::json(HistoryExport::allPages(fresh)), exported);

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
        QFile csv(folder.filePath("pages.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = csv.readAll().trimmed().split('\n');
        QCOMPARE(rows.size(), 31);
        QCOMPARE(rows[2], QByteArray("2023-11-14T22:14:20.000Z,text,课程练习[&2],1001,5,,0,5,0"));
    }

    void aMalformedFileChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("told");
        QTest::newRow("not JSON") << QByteArray("{\"format\": ") << "JSON 格式错误";
        QTest::newRow("another format")
            << QByteArray("{\"format\": \"x\", \"version\": 1}") << "qorvex-history";
        QTest::newRow("a page without its drill")
            << QByteArray(
                   "{\"format\":\"qorvex-history\",\"version\":1,\"pages\":["
                   "{\"at\":\"2024-01-01T00:00:00Z\",\"drill\":\"text\",\"lesson\":\"a\","
                   "\"ms\":5,\"text\":\"\",\"strokes\":[]},"
                   "{\"at\":\"2024-01-02T00:00:00Z\",\"lesson\":\"b\",\"ms\":5,"
                   "\"strokes\":[]}]}")
            << "第 2 页";
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
