// The course builder checks its sources and never leaves a half-written table behind.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "course/builder/practicetable.h"
#include "course/builder/tablewriter.h"

class CourseBuilderTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString source(const QStringList& lines) {
        const QString path = dir.filePath("111.txt");
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(lines.join('\n').toUtf8() + '\n');
        return path;
    }

    static QString errorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const CourseError& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }

  private slots:
    void readsRowsInOrderSkippingComments() {
        const QString path = source({"# lesson one", "1\t工地在", "", "2\tasdf jkl;"});
        const QList<QString> rows = PracticeTable::readSource(path, 2);
        QCOMPARE(rows, (QList<QString>{"工地在", "asdf jkl;"}));
    }

    void reportsFileAndLineOfBadInput_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("expected");
        QTest::newRow("row out of order")
            << QStringList{"1\t工", "3\t地"} << "111.txt:2: row 3 where row 2";
        QTest::newRow("no tab") << QStringList{"1 工"} << "111.txt:1:";
        QTest::newRow("too few rows")
            << QStringList{"1\t工"} << "1 rows, the lesson catalogue needs 2";
    }
    void reportsFileAndLineOfBadInput() {
        QFETCH(QStringList, lines);
        QFETCH(QString, expected);
        const QString path = source(lines);
        const QString error = errorOf([&] { PracticeTable::readSource(path, 2); });
        QVERIFY2(error.contains(expected), qPrintable(error));
    }

    void rejectsTextLongerThanItsFieldOrOutsideGbk() {
        const QString table = dir.filePath("111.DB");
        QString error = errorOf([&] { PracticeTable::write(table, {QString(41, QChar(0x5DE5))}); });
        QVERIFY2(error.contains("row 1") && error.contains("82 GBK bytes"), qPrintable(error));
        error = errorOf([&] { PracticeTable::write(table, {QStringLiteral("工😀")}); });
        QVERIFY2(error.contains("GBK cannot encode"), qPrintable(error));
        QVERIFY(!QFile::exists(table));
        QVERIFY(!QFile::exists(table + ".part"));
    }

    void aFailedBuildLeavesThePreviousTable() {
        const QString table = dir.filePath("keep.DB");
        PracticeTable::write(table, {QStringLiteral("第一行")});
        const QByteArray before = [&] {
            QFile f(table);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        QVERIFY(!errorOf([&] {
                     PracticeTable::write(table, {"fine", QString(81, 'a')});
                 }).isEmpty());
        QFile after(table);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
        QVERIFY(!QFile::exists(table + ".part"));
    }
};

QTEST_MAIN(CourseBuilderTest)
#include "test_coursebuilder.moc"
