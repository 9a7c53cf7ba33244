// The table engine: sessions with their password, table names without regard to case, moves,
// fields, the index search and the lookup query.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include "course/builder/tablewriter.h"
#include "data/query.h"
#include "data/table.h"
#include "platform/errors.h"
#include "platform/gbk.h"
#include "support/damage.h"
#include "support/fixturecourse.h"

Q_DECLARE_METATYPE(Damage::Kind)

class TableEngineTest : public QObject {
    Q_OBJECT

    FixtureCourse* course = nullptr;

    static QString errorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const AppError& e) {
            return e.message();
        }
        return {};
    }

    // Runs an SQL script through Debian's sqlcipher shell on the file; its output.
    static QString sqlcipher(const QString& file, const QString& script) {
        QProcess shell;
        shell.start(QStringLiteral("sqlcipher"), {QStringLiteral("-batch"), file});
        if (!shell.waitForStarted())
            qFatal("The sqlcipher tool (Debian package sqlcipher) is needed: scripts/deps.sh");
        shell.write(script.toUtf8());
        shell.closeWriteChannel();
        shell.waitForFinished();
        const QByteArray errors = shell.readAllStandardError();
        if (shell.exitCode() != 0 || !errors.isEmpty())
            qFatal("sqlcipher failed on %s: %s", qPrintable(file), errors.constData());
        return QString::fromUtf8(shell.readAllStandardOutput());
    }

  private slots:
    void initTestCase() {
        course = new FixtureCourse;
        course->writeAll();
    }
    void cleanupTestCase() { delete course; }

    void opensTablesWhateverTheCaseOfTheirNames() {
        TSession session;
        session.setOnPassword(Password);
        TTable lower(session, "Table2");
        lower.Open("\\mavro", "kzwb.db");
        QVERIFY(lower.Active());
        TTable mixed(session, "Table3");
        mixed.Open("\\mavro", "KZWB.db");
        QCOMPARE(mixed.FieldAsString("文字"), QStringLiteral("工"));
    }

    void sessionsAreNamedAndKeepTheirOwnPasswords() {
        TSession first, second;
        QVERIFY(!first.SessionName().isEmpty());
        QVERIFY(first.SessionName() != second.SessionName());
        first.setOnPassword(Password);
        TTable table(first, "Table1");
        table.Open("\\mavro", "111.DB");
        QCOMPARE(first.passwords(), QStringList{kTablePassword});
        QVERIFY(second.passwords().isEmpty());
    }

    void withoutPasswordHandlerTheOpenFails() {
        TSession session;
        TTable table(session, "Table1");
        const QString error = errorOf([&] { table.Open("\\mavro", "111.DB"); });
        QVERIFY2(error.contains("密码"), qPrintable(error));
        QVERIFY(!table.Active());
    }

    void wrongPasswordFailsAfterOneRetry() {
        TSession session;
        int asked = 0;
        session.setOnPassword([&](TSession& s, bool& go) {
            ++asked;
            s.AddPassword("not-the-password");
            go = true;
        });
        TTable table(session, "Table1");
        const QString error = errorOf([&] { table.Open("\\mavro", "111.DB"); });
        QVERIFY2(error.contains("密码"), qPrintable(error));
        QCOMPARE(asked, 1);
    }

    void missingFolderAndFileAreReportedClearly() {
        TSession session;
        session.setOnPassword(Password);
        TTable table(session, "Table1");
        QVERIFY(errorOf([&] { table.Open("\\nowhere", "111.DB"); }).contains("找不到文件夹"));
        const QString missing = errorOf([&] { table.Open("\\mavro", "222.DB"); });
        QVERIFY(missing.contains("222.DB") && missing.contains("没有这个文件"));
        // Every later read tells why the table is not there.
        QCOMPARE(errorOf([&] { table.FieldAsString("文字"); }), missing);
    }

    // What the text drill and the code lookup ask of the code table, in the order they ask it.
    // The first error names the file and what is wrong with it, in Chinese.
    void damagedTablesAreNamedWithWhatIsWrong_data() {
        QTest::addColumn<Damage::Kind>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        using K = Damage::Kind;
        QTest::newRow("truncated") << K::Truncated << ""
                                   << "损坏|不完整";
        QTest::newRow("random bytes") << K::RandomBytes << ""
                                      << "读取数据表.*文件已损坏";
        QTest::newRow("re-keyed") << K::Rekeyed << ""
                                  << "密码不对";
        QTest::newRow("0 bytes") << K::Empty << ""
                                 << "文件是空的";
        QTest::newRow("no Pic2") << K::MissingColumn << "Pic2"
                                 << "缺少字段 Pic2";
        QTest::newRow("no WZindex") << K::MissingIndex << "WZindex"
                                    << "缺少索引 WZindex";
        QTest::newRow("no QMindex") << K::MissingIndex << "QMindex"
                                    << "缺少索引 QMindex";
    }
    void damagedTablesAreNamedWithWhatIsWrong() {
        QFETCH(Damage::Kind, kind);
        QFETCH(QString, name);
        QFETCH(QString, reason);
        FixtureCourse damaged;
        damaged.writeCodeTable(FixtureCourse::defaultCodes());
        const QString path = QDir(damaged.mavro()).filePath("kzWb.DB");
        QVERIFY(Damage::table(path, kind, name));

        TSession session;
        session.setOnPassword(Password);
        TTable table(session, "Table1");
        TQuery query(session, "Query1");
        const QString error = errorOf([&] {
            table.Open("\\mavro", "kzWb.DB");
            query.Open("\\mavro\\kzWb.DB",
                       "SELECT 文字, 简码, 全码 FROM %1 Kzwb INDEXED BY QMindex WHERE 全码 LIKE ?",
                       {"%"});
            table.SetIndexName("WZindex");
            for (const FixtureCourse::Code& code : FixtureCourse::defaultCodes()) {
                QVERIFY(table.FindKey(Gbk::encode(code.character)));
                table.FieldAsString("简码");
                for (int i = 1; i <= 4; ++i) table.FieldAsPicture(QStringLiteral("Pic%1").arg(i));
            }
        });
        QVERIFY2(error.contains(path), qPrintable(error));
        QVERIFY2(error.contains(QRegularExpression(reason)), qPrintable(error));
        // No component name, and none of the engine's English.
        QVERIFY2(!QString(error).remove(path).contains(QRegularExpression("[A-Za-z]+ [A-Za-z]+")),
                 qPrintable(error));
        QVERIFY(!error.contains("Table1") && !error.contains("Query1"));
    }

    void movesPastTheLastRowStayOnIt() {
        TSession session;
        session.setOnPassword(Password);
        TTable table(session, "Table1");
        table.Open("\\mavro", "111.DB");
        const QList<QString> rows = FixtureCourse::defaultPracticeRows();
        QCOMPARE(table.FieldAsString("文字"), rows[0]);
        table.MoveBy(15);
        QCOMPARE(table.FieldAsString("文字"), rows[15]);
        QCOMPARE(table.RecNo(), 15);
        table.MoveBy(1000);
        QCOMPARE(table.FieldAsString("文字"), rows.last());
        table.Next();
        QCOMPARE(table.FieldAsString("文字"), rows.last());
        table.First();
        QCOMPARE(table.RecNo(), 0);
    }

    void picturesAndEmptyPictureFields() {
        TSession session;
        session.setOnPassword(Password);
        TTable table(session, "Table1");
        table.Open("\\mavro", "kzWb.DB");
        table.SetIndexName("WZindex");
        QVERIFY(table.FindKey(Gbk::encode(QStringLiteral("地"))));
        QCOMPARE(table.FieldAsString("全码"), QStringLiteral("fbn"));
        QVERIFY(!table.FieldAsPicture("Pic1").isNull());
        QVERIFY(!table.FieldAsPicture("Pic2").isNull());
        QVERIFY(table.FieldAsPicture("Pic3").isNull());
    }

    void findByKeyIsExact() {
        TSession session;
        session.setOnPassword(Password);
        TTable table(session, "Table1");
        table.Open("\\mavro", "kzWb.DB");
        table.SetIndexName("wzindex");
        QVERIFY(table.FindKey(Gbk::encode(QStringLiteral("键"))));
        QCOMPARE(table.FieldAsString("简码"), QStringLiteral("qvfp"));
        // Not found: the current row stays.
        QVERIFY(!table.FindKey(Gbk::encode(QStringLiteral("龘"))));
        QCOMPARE(table.FieldAsString("文字"), QStringLiteral("键"));
        // Bytes that are not one GBK character find nothing.
        QVERIFY(!table.FindKey(QByteArray("ab")));
        QVERIFY(!table.FindKey(QByteArray("\xFE\xFE", 2)));
        QVERIFY(!table.FindKey(QByteArray("\xB9", 1)));
        QVERIFY(errorOf([&] { table.SetIndexName("NoSuchIndex"); }).contains("NoSuchIndex"));
    }

    void likePatternIsABoundValue_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("characters");
        QTest::newRow("prefix") << "t%%" << QStringList{"第", "行"};
        QTest::newRow("any letters")
            << "____" << QStringList{"工", "在", "国", "人", "第", "行", "经", "键", "的", "一"};
        QTest::newRow("quote") << "\" OR 1=1 --" << QStringList{};
        QTest::newRow("quote and percent") << "%\" OR \"1\"=\"1" << QStringList{};
        QTest::newRow("percent") << "%" << QStringList{"工", "地", "在", "要", "中", "国", "人",
                                                       "民", "第", "行", "经", "键", "的", "一"};
        QTest::newRow("apostrophe") << "a'%" << QStringList{};
    }
    void likePatternIsABoundValue() {
        QFETCH(QString, pattern);
        QFETCH(QStringList, characters);
        TSession session;
        session.setOnPassword(Password);
        TQuery query(session, "Query1");
        // Without an ORDER BY the engine may return the rows in the order of an index.
        query.Open("\\mavro\\KZWB.db",
                   "SELECT 文字, 简码, 全码 FROM %1 Kzwb WHERE 全码 LIKE ? ORDER BY Kzwb.rowid",
                   {pattern});
        QStringList found;
        for (int row = 0; row < query.rowCount(); ++row)
            found << query.data(query.index(row, 0)).toString();
        QCOMPARE(found, characters);
        QCOMPARE(query.headerData(2, Qt::Horizontal).toString(), QStringLiteral("全码"));
    }

    // The tables stay SQLCipher 3 files: Debian's sqlcipher tool (SQLCipher 3.4.1, the engine
    // they were first written with) reads what the course builder writes, and a table the tool
    // writes opens here; an unkeyed file opens without a password.
    void tablesReadAndWrittenBySqlcipherOpenBothWays() {
        const QString keyed = QStringLiteral("PRAGMA key = 'wqmzrk'; PRAGMA kdf_iter = 64;\n");
        const QDir mavro(course->mavro());
        QCOMPARE(sqlcipher(mavro.filePath("kzWb.DB"),
                           keyed + "SELECT 全码 FROM Kzwb WHERE 文字 = '键';"),
                 QStringLiteral("qvfp\n"));

        const QString table =
            "CREATE TABLE Text (Item REAL, 文字 TEXT);"
            "INSERT INTO Text VALUES (1, '工地在要'), (2, '中国人民');";
        sqlcipher(mavro.filePath("old.DB"), keyed + table);
        sqlcipher(mavro.filePath("plain.DB"), table);
        TSession session;
        TTable plain(session, "Table1");
        plain.Open("\\mavro", "plain.DB");
        QVERIFY(session.passwords().isEmpty());
        session.setOnPassword(Password);
        TTable old(session, "Table2");
        old.Open("\\mavro", "old.DB");
        for (TTable* t : {&plain, &old}) {
            t->Next();
            QCOMPARE(t->FieldAsString("文字"), QStringLiteral("中国人民"));
        }
    }

    void filesAreUnreadableWithoutThePassword() {
        QFile file(QDir(course->mavro()).filePath("111.DB"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.startsWith("SQLite format 3"));
        QVERIFY(!bytes.contains(QStringLiteral("工地在要").toUtf8()));
    }
};

QTEST_MAIN(TableEngineTest)
#include "test_tableengine.moc"
