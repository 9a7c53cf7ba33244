// The root drill's rules that need no window: lesson captions, which records a page shows, and
// the key chart drawn from the root table.
#include <QPainter>
#include <QSet>
#include <QtTest>

#include "drills/rootchart.h"
#include "drills/rootlessons.h"

namespace {
// One colour per key letter, far enough apart to tell in the drawn chart.
QColor keyColour(int index) {
    return QColor(QColor::fromHsv((index * 360) / 25, 255, 255).rgb());
}

QImage solid(const QColor& colour) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Which key colours occur inside a rectangle of the chart.
QSet<int> coloursIn(const QImage& chart, const QRect& area) {
    QSet<int> found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            for (int k = 0; k < 25; ++k)
                if (chart.pixelColor(x, y) == keyColour(k))
                    found << k;
    return found;
}
}  // namespace

class RootDrillRulesTest : public QObject {
    Q_OBJECT

  private slots:
    void captions_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("afterPage");
        auto row = [](const char* name, int size, int start, const char* shown, const char* page) {
            QTest::newRow(name) << size << start << QString::fromUtf8(shown)
                                << QString::fromUtf8(page);
        };
        row("strokes", 31, 0, "Tarvelle---->笔划规律测试", "笔划规律测试");
        row("strokes, any start", 31, 7, "Tarvelle---->笔划规律测试", "笔划规律测试");
        row("key names", 25, 31, "Tarvelle---->键名字根测试", "键名字根测试");
        row("lesson 1 test", 56, 0, "Tarvelle---->一级字根测试", "第一课测试");
        row("zone 1", 37, 56, "Tarvelle---->第一区字根测试", "第一区字根测试");
        row("zone 2", 37, 93, "Tarvelle---->第二区字根测试", "第二区字根测试");
        row("lesson 2 test", 74, 56, "Tarvelle---->二级字根测试", "第二课测试");
        row("zone 3", 46, 130, "Tarvelle---->第三区字根测试", "第三区字根测试");
        row("zone 4", 40, 176, "Tarvelle---->第四区字根测试", "第四区字根测试");
        row("zone 5", 40, 216, "Tarvelle---->第五区字根测试", "第五区字根测试");
        row("lesson 3 test", 126, 130, "Tarvelle---->三级字根测试", "第三课测试");
        row("total test", 256, 0, "Tarvelle---->五笔字根总测试", "五笔字根总测试");
    }
    void captions() {
        QFETCH(int, size);
        QFETCH(int, start);
        QFETCH(QString, shown);
        QFETCH(QString, afterPage);
        QCOMPARE(RootLessons::shownCaption(size, start), shown);
        QCOMPARE(RootLessons::pageCaption(size, start), afterPage);
    }

    void rangesOutsideTheTableHaveNoCaption() {
        for (auto [size, start] : {std::pair{37, 0}, {40, 0}, {10, 100}, {0, 0}}) {
            QVERIFY(RootLessons::shownCaption(size, start).isNull());
            QVERIFY(RootLessons::pageCaption(size, start).isNull());
        }
    }

    void strokeStartAlternatesThreeAndZero() {
        bool flag = false;
        QCOMPARE(RootLessons::nextStrokeStart(flag), 3);
        QVERIFY(flag);
        QCOMPARE(RootLessons::nextStrokeStart(flag), 0);
        QVERIFY(!flag);
        QCOMPARE(RootLessons::nextStrokeStart(flag), 3);
    }

    void strokePagesGoInTableOrder() {
        auto never = [](int) -> int { throw std::logic_error("no draw in the stroke lesson"); };
        QList<int> expected;
        for (int k = 3; k < 31; ++k) expected << k;
        QCOMPARE(RootLessons::pagePositions(31, 0, 3, never), expected);
    }

    void otherPagesDrawEachItemFromTheRange() {
        QList<int> asked;
        int next = 0;
        auto draw = [&](int n) {
            asked << n;
            return (next++ * 7) % n;
        };
        const QList<int> positions = RootLessons::pagePositions(37, 93, 3, draw);
        QCOMPARE(positions.size(), 28);
        QCOMPARE(asked, QList<int>(28, 37));
        for (int i = 0; i < 28; ++i) QCOMPARE(positions[i], 93 + (i * 7) % 37);
        // 31 records from 1 is no stroke lesson: drawn too.
        QCOMPARE(RootLessons::pagePositions(31, 1, 3, [](int) { return 30; }), QList<int>(28, 31));
    }

    void framesFollowTheKeyRows() {
        QCOMPARE(RootChart::letters(), QStringLiteral("QWERTYUIOPASDFGHJKLXCVBNM"));
        QCOMPARE(RootChart::frameRect("Q"), QRect(56, 13, 65, 65));
        QCOMPARE(RootChart::frameRect("I"), QRect(533, 13, 65, 65));
        QCOMPARE(RootChart::frameRect("P"), QRect(669, 13, 65, 65));
        QCOMPARE(RootChart::frameRect("A"), QRect(72, 81, 65, 65));
        QCOMPARE(RootChart::frameRect("L"), QRect(616, 81, 65, 65));
        QCOMPARE(RootChart::frameRect("X"), QRect(160, 149, 65, 65));
        QCOMPARE(RootChart::frameRect("M"), QRect(500, 149, 65, 65));
        QVERIFY(RootChart::frameRect("Z").isNull());
        QVERIFY(RootChart::frameRect("g").isNull());
        QCOMPARE(RootChart::zoneCode("G"), QStringLiteral("11"));
        QCOMPARE(RootChart::zoneCode("Q"), QStringLiteral("35"));
        QCOMPARE(RootChart::zoneCode("A"), QStringLiteral("15"));
        QCOMPARE(RootChart::zoneCode("X"), QStringLiteral("55"));
        QCOMPARE(RootChart::zoneCode("M"), QStringLiteral("25"));
        QCOMPARE(RootChart::zoneCode("N"), QStringLiteral("51"));
    }

    void everyKeysRootsLieUnderItsFrame() {
        const QString letters = RootChart::letters();
        QList<RootChart::Root> roots;
        for (int k = 0; k < 25; ++k)
            for (int n = 0; n < 3; ++n)
                roots << RootChart::Root{letters.mid(k, 1), QStringLiteral("%1-%2").arg(k).arg(n),
                                         solid(keyColour(k))};
        const QImage chart = RootChart::draw(roots);
        QCOMPARE(chart.size(), QSize(681, 208));
        for (int k = 0; k < 25; ++k) {
            const QRect frame =
                RootChart::frameRect(letters.mid(k, 1)).translated(-RootChart::kOrigin);
            QCOMPARE(coloursIn(chart, frame), QSet<int>{k});
        }
    }

    void aRootSharedByRecordsIsDrawnOnce() {
        const QRect frame = RootChart::frameRect("G").translated(-RootChart::kOrigin);
        auto colouredPixels = [&](const QList<RootChart::Root>& roots) {
            const QImage chart = RootChart::draw(roots);
            int count = 0;
            for (int y = frame.top(); y <= frame.bottom(); ++y)
                for (int x = frame.left(); x <= frame.right(); ++x)
                    count += chart.pixelColor(x, y) == keyColour(0);
            return count;
        };
        const RootChart::Root king{"G", "王", solid(keyColour(0))};
        const RootChart::Root one{"G", "一", solid(keyColour(0))};
        QCOMPARE(colouredPixels({king, king, king}), colouredPixels({king}));
        QVERIFY(colouredPixels({king, one}) > colouredPixels({king}));
    }

    // A glyph in the middle of its picture, as the course renders roots, is drawn at the size of
    // small print on a key of ten roots (D holds ten), not shrunk with its margin.
    void rootsOfAFullKeyAreDrawnLargeEnoughToRead() {
        QImage glyph(64, 64, QImage::Format_RGB32);
        glyph.fill(Qt::white);
        QPainter(&glyph).fillRect(16, 16, 32, 32, Qt::black);
        QList<RootChart::Root> roots;
        for (int n = 0; n < 10; ++n) roots << RootChart::Root{"D", QString::number(n), glyph};
        const QImage chart = RootChart::draw(roots);
        const QRect frame = RootChart::frameRect("D").translated(-RootChart::kOrigin);
        int ink = 0;
        for (int y = frame.top() + 15; y <= frame.bottom(); ++y)
            for (int x = frame.left(); x <= frame.right(); ++x)
                ink += qGray(chart.pixel(x, y)) < 100;
        QVERIFY2(ink >= 10 * 11 * 11, qPrintable(QString::number(ink)));
    }

    void manyRootsStillFitTheirKey() {
        QList<RootChart::Root> roots;
        for (int n = 0; n < 16; ++n)
            roots << RootChart::Root{"K", QString::number(n), solid(keyColour(7))};
        const QImage chart = RootChart::draw(roots);
        const QRect frame = RootChart::frameRect("K").translated(-RootChart::kOrigin);
        int inside = 0, outside = 0;
        for (int y = 0; y < chart.height(); ++y)
            for (int x = 0; x < chart.width(); ++x)
                if (chart.pixelColor(x, y) == keyColour(7))
                    ++(frame.contains(x, y) ? inside : outside);
        QVERIFY(inside > 0);
        QCOMPARE(outside, 0);
    }
};

QTEST_MAIN(RootDrillRulesTest)
#include "test_rootdrill_rules.moc"
