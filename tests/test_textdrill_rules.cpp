// The text drill's widget-free rules: the byte comparison of a typed line, the hint key, the
// selection of a wrong character, and the time and speed texts of a page.
#include <QtTest>

#include "drills/linecheck.h"
#include "drills/pagetiming.h"
#include "platform/gbk.h"

using LineCheck::Verdict;
Q_DECLARE_METATYPE(LineCheck::Verdict)

class TextDrillRulesTest : public QObject {
    Q_OBJECT

  private slots:
    void lastCharacterAgainstLine_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("line");
        QTest::addColumn<Verdict>("verdict");
        const QString line = QStringLiteral("工地a在");
        QTest::newRow("empty box") << QString() << line << Verdict::Wrong;
        QTest::newRow("first character right") << QStringLiteral("工") << line << Verdict::Going;
        QTest::newRow("first character wrong") << QStringLiteral("地") << line << Verdict::Wrong;
        QTest::newRow("letter against a Chinese character")
            << QStringLiteral("a") << line << Verdict::Wrong;
        QTest::newRow("second right") << QStringLiteral("工地") << line << Verdict::Going;
        QTest::newRow("single byte right") << QStringLiteral("工地a") << line << Verdict::Going;
        QTest::newRow("single byte wrong") << QStringLiteral("工地b") << line << Verdict::Wrong;
        QTest::newRow("line done") << QStringLiteral("工地a在") << line << Verdict::LineDone;
        QTest::newRow("only the last is compared")
            << QStringLiteral("人民a在") << line << Verdict::LineDone;
        QTest::newRow("past the end") << QStringLiteral("工地a在工") << line << Verdict::Wrong;
        QTest::newRow("letter past the end")
            << QStringLiteral("工地a在x") << line << Verdict::Wrong;
        QTest::newRow("outside GBK") << QStringLiteral("工\U0001F600") << line << Verdict::Wrong;
        // A character GBK cannot hold matches nothing, not even itself; bytes FE FE of real
        // characters match as any others.
        QTest::newRow("outside GBK against another")
            << QStringLiteral("工\U0001F600") << QStringLiteral("工\U0001F603") << Verdict::Wrong;
        QTest::newRow("outside GBK against itself")
            << QStringLiteral("工\U0001F600") << QStringLiteral("工\U0001F600") << Verdict::Wrong;
        QTest::newRow("letter after one outside GBK")
            << QStringLiteral("\u20ACa") << QStringLiteral("\u20ACa") << Verdict::Wrong;
        QTest::newRow("FE FE across two characters")
            << QStringLiteral("二\uFA0C") << QStringLiteral("二\uFA0C") << Verdict::LineDone;
        QTest::newRow("ascii line")
            << QStringLiteral("asdf") << QStringLiteral("asdf") << Verdict::LineDone;
        QTest::newRow("first letter of an ascii line")
            << QStringLiteral("a") << QStringLiteral("asdf") << Verdict::Going;
        QTest::newRow("chinese past an ascii end")
            << QStringLiteral("ab工") << QStringLiteral("abc") << Verdict::Wrong;
        QTest::newRow("empty line, empty box") << QString() << QString() << Verdict::Wrong;
    }
    void lastCharacterAgainstLine() {
        QFETCH(QString, box);
        QFETCH(QString, line);
        QFETCH(Verdict, verdict);
        QCOMPARE(LineCheck::check(Gbk::encode(box), Gbk::encode(line)), verdict);
    }

    // A change that brings several characters is judged as if they came one by one; a change of
    // one character only by the last character of the box.
    void changeJudged_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("line");
        QTest::addColumn<Verdict>("verdict");
        QTest::addColumn<int>("wrongStart");
        const QString zg = QStringLiteral("中国");
        QTest::newRow("phrase wrong first") << "钟国" << 0 << 2 << zg << Verdict::Wrong << 0;
        QTest::newRow("phrase wrong last") << "中钟" << 0 << 2 << zg << Verdict::Wrong << 1;
        QTest::newRow("phrase right") << zg << 0 << 2 << zg << Verdict::LineDone << 0;
        QTest::newRow("phrase right, line goes on")
            << zg << 0 << 2 << QStringLiteral("中国人") << Verdict::Going << 0;
        QTest::newRow("phrase past the end") << "中国人" << 0 << 3 << zg << Verdict::Wrong << 2;
        QTest::newRow("phrase after a right character")
            << "工钟国" << 1 << 3 << QStringLiteral("工中国") << Verdict::Wrong << 1;
        QTest::newRow("one character: only the last is compared")
            << "人民a在" << 3 << 4 << QStringLiteral("工地a在") << Verdict::LineDone << 0;
        QTest::newRow("one character outside GBK")
            << "工\U0001F600" << 1 << 3 << QStringLiteral("工地") << Verdict::Wrong << 1;
        QTest::newRow("phrase of characters outside GBK")
            << "工\U0001F600\U0001F600" << 1 << 5 << "工\U0001F600\U0001F600" << Verdict::Wrong
            << 1;
        QTest::newRow("nothing added") << "工" << 1 << 1 << zg << Verdict::Wrong << 0;
    }
    void changeJudged() {
        QFETCH(QString, box);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, line);
        QFETCH(Verdict, verdict);
        QFETCH(int, wrongStart);
        const LineCheck::Judgement judgement = LineCheck::judge(box, from, to, Gbk::encode(line));
        QCOMPARE(judgement.verdict, verdict);
        QCOMPARE(judgement.wrongStart, wrongStart);
    }

    void hintKeyIsTheNextCharacter_data() {
        QTest::addColumn<int>("caret");
        QTest::addColumn<QByteArray>("key");
        const QByteArray line = Gbk::encode(QStringLiteral("工a地"));
        QTest::newRow("start") << 0 << line.mid(0, 2);
        QTest::newRow("before the letter") << 2 << line.mid(2, 2);  // 'a' and a lead byte
        QTest::newRow("before the last") << 3 << line.mid(3, 2);
        QTest::newRow("end") << 5 << QByteArray();
        QTest::newRow("past the end") << 9 << QByteArray();
    }
    void hintKeyIsTheNextCharacter() {
        QFETCH(int, caret);
        QFETCH(QByteArray, key);
        QCOMPARE(LineCheck::hintKey(Gbk::encode(QStringLiteral("工a地")), caret), key);
    }

    void wrongCharacterSelection_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("start");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("chinese last") << QStringLiteral("工地") << 1;
        QTest::newRow("letter last") << QStringLiteral("工a") << 1;
        QTest::newRow("chinese after letter") << QStringLiteral("a地") << 1;
        QTest::newRow("outside GBK last") << QStringLiteral("工\U0001F600") << 1;
    }
    void wrongCharacterSelection() {
        QFETCH(QString, box);
        QFETCH(int, start);
        QCOMPARE(LineCheck::wrongCharacterStart(box), start);
    }

    void pageTexts_data() {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("speed");
        QTest::newRow("59 999 ms")
            << qint64(59999) << qint64(300) << QStringLiteral("输入时间为:0分59秒")
            << QStringLiteral("每分钟305个");
        QTest::newRow("60 000 ms")
            << qint64(60000) << qint64(300) << QStringLiteral("输入时间为:1分0秒")
            << QStringLiteral("每分钟300个");
        QTest::newRow("70 500 ms")
            << qint64(70500) << qint64(300) << QStringLiteral("输入时间为:1分10秒")
            << QStringLiteral("每分钟257个");
        QTest::newRow("under one second")
            << qint64(999) << qint64(300) << QStringLiteral("输入时间为:0分0秒")
            << QStringLiteral("每分钟18000个");
        QTest::newRow("no time at all")
            << qint64(0) << qint64(22) << QStringLiteral("输入时间为:0分0秒")
            << QStringLiteral("每分钟1320个");
    }
    void pageTexts() {
        QFETCH(qint64, elapsed);
        QFETCH(qint64, bytes);
        QFETCH(QString, time);
        QFETCH(QString, speed);
        QCOMPARE(PageTiming::timeText(elapsed), time);
        QCOMPARE(PageTiming::speedText(bytes, elapsed), speed);
    }

    void equalTimeIsNotANewBest() {
        QVERIFY(PageTiming::isNewBest(64999, QStringLiteral("65000")));
        QVERIFY(!PageTiming::isNewBest(65000, QStringLiteral("65000")));
        QVERIFY(PageTiming::isNewBest(5999999, QStringLiteral("6000000")));
    }
};

QTEST_APPLESS_MAIN(TextDrillRulesTest)
#include "test_textdrill_rules.moc"
