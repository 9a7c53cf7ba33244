// Weak characters and keys ranked from a small history, and the practice made from them.
#include <QTemporaryDir>
#include <QtTest>

#include "data/history.h"
#include "platform/gbk.h"
#include "progress/article.h"
#include "progress/ranking.h"
#include "progress/speedchart.h"
#include "progress/textfeed.h"

namespace {

History::Page page(const QString& drill, const QList<History::Stroke>& strokes) {
    History::Page p;
    p.at = QDateTime::currentDateTimeUtc();
    p.drill = drill;
    p.lesson = QStringLiteral("fixture");
    p.strokes = strokes;
    return p;
}

}  // namespace

class RankingTest : public QObject {
    Q_OBJECT

  private slots:
    void weakCharactersAndKeysFromHistory() {
        QTemporaryDir dir;
        History::Store store(dir.filePath("history.sqlite3"));
        // 甲 3 times, 2 wrong; 乙 4 times, 1 wrong, 300 ms; 戊 3 times, 1 wrong, 100 ms; 丙 and
        // 庚 3 times, no wrong, 500 ms each (a full tie); 己 twice with 5 wrong and 丁 twice with
        // a long time: met too rarely to count.
        QVERIFY(store.record(page(History::kText, {{"甲", 0, 2},
                                                   {"乙", 300, 0},
                                                   {"丙", 500, 0},
                                                   {"甲", 400, 0},
                                                   {"乙", 300, 1},
                                                   {"丙", 500, 0},
                                                   {"丁", 9000, 0},
                                                   {"甲", 400, 0},
                                                   {"乙", 300, 0},
                                                   {"丙", 500, 0},
                                                   {"己", 50, 5},
                                                   {"己", 50, 0}})));
        QVERIFY(store.record(page(History::kText, {{"戊", 0, 0},
                                                   {"戊", 104, 1},
                                                   {"戊", 98, 0},
                                                   {"庚", 500, 0},
                                                   {"庚", 500, 0},
                                                   {"庚", 500, 0}})));
        // A later page adds to the totals of characters already there: 乙 met a fourth time.
        QVERIFY(store.record(page(History::kText, {{"丁", 0, 0}, {"乙", 300, 0}})));
        // The first stroke of a page is not timed: 戊's 0 does not lower its median; 104 and 98
        // both count as 100 ms.
        QVERIFY(store.record(page(History::kFinger, {{"a", 0, 1},
                                                     {"a", 90, 1},
                                                     {"a", 90, 0},
                                                     {"a", 90, 0},
                                                     {"s", 90, 1},
                                                     {"s", 90, 0},
                                                     {"d", 90, 0},
                                                     {"d", 90, 0},
                                                     {"d", 90, 0},
                                                     {" ", 90, 1}})));

        auto weakest = [&](int count) {
            QStringList order;
            for (const auto& s : Ranking::weakestIn(store, count))
                order << QStringLiteral("%1:%2:%3:%4")
                             .arg(s.character)
                             .arg(s.met)
                             .arg(s.wrong)
                             .arg(s.medianMs);
            return order;
        };
        QCOMPARE(weakest(Ranking::kWeakest), QStringList({"甲:3:2:400", "乙:4:1:300", "戊:3:1:100",
                                                          "丙:3:0:500", "庚:3:0:500"}));
        // The last place is decided between 乙 and 戊 by their times, the rest are not read.
        QCOMPARE(weakest(2), QStringList({"甲:3:2:400", "乙:4:1:300"}));
        QCOMPARE(weakest(4), QStringList({"甲:3:2:400", "乙:4:1:300", "戊:3:1:100", "丙:3:0:500"}));

        QStringList keyOrder;
        for (const auto& k : Ranking::keysIn(store))
            keyOrder << QStringLiteral("[%1]%2/%3").arg(k.key).arg(k.wrong).arg(k.right + k.wrong);
        // Space 1 of 2; a and s both 1 in 3 (a has more wrong strokes); d never wrong.
        QCOMPARE(keyOrder, QStringList({"[ ]1/2", "[a]2/6", "[s]1/3", "[d]0/3"}));
    }

    void practicePageMixesTheCharacters_data() {
        QTest::addColumn<QString>("characters");
        QTest::addColumn<int>("lines");
        QTest::newRow("thirty")
            << QStringLiteral("一二三四五六七八九十工地在要中国人民经键的第行甲乙丙丁戊己庚") << 6;
        QTest::newRow("two") << QStringLiteral("工地") << 6;
        QTest::newRow("one") << QStringLiteral("工") << 1;
    }
    void practicePageMixesTheCharacters() {
        QFETCH(QString, characters);
        QFETCH(int, lines);
        QStringList list;
        for (QChar c : characters) list << QString(c);
        for (quint32 seed = 1; seed <= 20; ++seed) {
            QRandomGenerator random(seed);
            const QStringList page = Ranking::practicePage(list, random);
            QCOMPARE(page.size(), lines);
            const QString all = page.join(QString());
            QHash<QChar, int> count;
            for (qsizetype i = 0; i < all.size(); ++i) {
                QVERIFY(characters.contains(all[i]));
                if (i > 0)
                    QVERIFY2(all[i] != all[i - 1], qPrintable(all));
                ++count[all[i]];
            }
            for (const QString& line : page) QVERIFY(line.size() <= 36 && !line.isEmpty());
            if (lines == 6)
                for (int n : count) QVERIFY(qAbs(n - 216 / int(list.size())) <= 1);
        }
    }

    void articleKeepsCodedCharacters_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("工地，在\r\n\r\n要 中a国“好”！\r国");
        QTest::newRow("utf-8") << text.toUtf8();
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("gbk") << Gbk::encode(text);
        QByteArray le("\xFF\xFE"), be("\xFE\xFF");
        for (QChar c : text) {
            le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
            be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
        }
        QTest::newRow("utf-16 le") << le;
        QTest::newRow("utf-16 be") << be;
    }
    // Punctuation Wubi types stays and the file's lines are the practice lines.
    void articleKeepsCodedCharacters() {
        QFETCH(QByteArray, bytes);
        const QString coded = QStringLiteral("工地在要中国");
        const Article::Kept kept = Article::keepCoded(
            Article::decode(bytes), [&](const QString& c) { return coded.contains(c); });
        QCOMPARE(kept.lines, QStringList({"工地，在", "要中国“”！", "国"}));
        QCOMPARE(kept.leftOut, QStringLiteral("a好"));
        QCOMPARE(kept.leftOutCount, 2);
        const QList<QStringList> pages =
            TextFeed::paginate({QString(80, u'工'), "地", "在", "要", "中", "国"});
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0], QStringList({QString(36, u'工'), QString(36, u'工'), QString(8, u'工'),
                                        "地", "在", "要"}));
        QCOMPARE(pages[1], QStringList({"中", "国"}));
    }

    // Pages of a wrong clock (1900, 9999) are set apart at the axis' edges; the axis spans the
    // rest in round steps with labels that differ.
    void chartFollowsTheBulkOfThePages() {
        const QDateTime first(QDate(2026, 3, 2), QTime(9, 30));
        QList<SpeedChart::Point> points = {
            {QDateTime(QDate(1900, 1, 1), QTime(8, 0)).toMSecsSinceEpoch(), 12}};
        for (int day = 0; day < 9; ++day)
            points.append({first.addDays(day).toMSecsSinceEpoch(), 20.0 + 3 * day});
        points.append({QDateTime(QDate(9999, 1, 1), QTime(8, 0)).toMSecsSinceEpoch(), 70});
        const SpeedChart::Bounds bounds =
            SpeedChart::plausible(first.toMSecsSinceEpoch(), first.addDays(9).toMSecsSinceEpoch());
        const SpeedChart::Plot plot = SpeedChart::plot("甲", points, bounds);
        QCOMPARE(plot.pages.size(), 9);
        QCOMPARE(plot.pageSource.first(), 1);
        QCOMPARE(plot.apartSource, QList<int>({0, 10}));
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(plot.from),
                 QDateTime(QDate(2026, 3, 1), QTime(12, 0)));
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(plot.to),
                 QDateTime(QDate(2026, 3, 11), QTime(12, 0)));
        QCOMPARE(plot.dateTicks, 6);  // every second day
        QCOMPARE(plot.dateFormat, QStringLiteral("MM-dd"));
        QCOMPARE(plot.apart, QList<QPointF>({{double(plot.from), 12}, {double(plot.to), 70}}));
        QCOMPARE(plot.speedTo, 100.0);  // 70 and room for its label, in steps of 20
        QCOMPARE(plot.speedTicks, 6);
        QVERIFY(plot.title.contains(QStringLiteral("2 页的日期有误")));
        QCOMPARE(plot.best, 8);

        // Pages of one morning: an axis of hours.
        const SpeedChart::Plot morning = SpeedChart::plot(
            "乙",
            {{first.toMSecsSinceEpoch(), 46}, {first.addSecs(3 * 3600).toMSecsSinceEpoch(), 31}},
            bounds);
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(morning.from).time(), QTime(9, 0));
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(morning.to).time(), QTime(13, 0));
        QCOMPARE(morning.dateTicks, 5);
        QCOMPARE(morning.dateFormat, QStringLiteral("hh:mm"));
        QCOMPARE(morning.speedTo, 60.0);
        QCOMPARE(morning.speedTicks, 4);
    }
};

QTEST_MAIN(RankingTest)
#include "test_ranking.moc"
