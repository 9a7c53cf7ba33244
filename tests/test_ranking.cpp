// Weak characters and keys ranked from a small history, and the practice made from them.
#include <QTemporaryDir>
#include <QtTest>

#include "data/history.h"
#include "platform/gbk.h"
#include "progress/article.h"
#include "progress/ranking.h"

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
        const QString text = QStringLiteral("工地，在\r\n要 中a国");
        QTest::newRow("utf-8") << text.toUtf8();
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("gbk") << Gbk::encode(text);
    }
    void articleKeepsCodedCharacters() {
        QFETCH(QByteArray, bytes);
        const QString coded = QStringLiteral("工地在要中国");
        const Article::Kept kept = Article::keepCoded(
            Article::decode(bytes), [&](const QString& c) { return coded.contains(c); });
        QCOMPARE(kept.text, coded);
        QCOMPARE(kept.leftOut, QStringLiteral("，a"));
    }
};

QTEST_MAIN(RankingTest)
#include "test_ranking.moc"
