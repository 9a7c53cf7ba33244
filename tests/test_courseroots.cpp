// The root items of the real course: grouping of the lessons, keys against the code table, hint
// and label limits, pictures, and the built wb1.db as the root drill reads it.
#include <QFile>
#include <QImage>
#include <QtTest>

#include "course/builder/roottable.h"
#include "course/builder/wubidict.h"
#include "data/session.h"
#include "data/table.h"
#include "platform/gbk.h"

class CourseRootsTest : public QObject {
    Q_OBJECT

    QList<RootTable::Item> items;

    static QString sources() { return qEnvironmentVariable("QORVEX_COURSE_SOURCES"); }

  private slots:
    void initTestCase() { items = RootTable::readSource(sources() + "/roots/wb1.txt"); }

    void groupsFollowTheLessons() {
        QCOMPARE(items.size(), 256);
        // Key-name roots 31..55: the 25 keys in zone-position order, each its key's name.
        const QString keyNames = "王土大木工目日口田山禾白月人金言立水火之已子女又纟";
        const QString order = "GFDSAHJKLMTREWQYUIOPNBVCX";
        for (int i = 0; i < 25; ++i) {
            QCOMPARE(items[31 + i].picture, QString(keyNames[i]));
            QCOMPARE(items[31 + i].key, order[i]);
        }
        // Each zone lesson holds exactly the keys of its zone, and every key of it.
        for (int zone = 1; zone <= 5; ++zone) {
            const RootTable::Group& group = RootTable::kGroups[zone + 1];
            QSet<QChar> keys;
            for (int r = group.first; r < group.first + group.count; ++r) {
                QCOMPARE(RootTable::keyCode(items[r].key) / 10, zone);
                keys.insert(items[r].key);
            }
            QCOMPARE(keys.size(), 5);
        }
        // Stroke rules: the single strokes sit on the first key of each zone.
        const QHash<QString, QChar> strokes = {{"一", 'G'}, {"丨", 'H'}, {"丿", 'T'}, {"丶", 'Y'},
                                               {"乙", 'N'}, {"二", 'F'}, {"三", 'D'}, {"川", 'K'},
                                               {"彡", 'E'}, {"氵", 'I'}, {"灬", 'O'}, {"巛", 'V'}};
        int found = 0;
        for (int r = 0; r < 31; ++r)
            if (strokes.contains(items[r].picture)) {
                QCOMPARE(items[r].key, strokes.value(items[r].picture));
                ++found;
            }
        QCOMPARE(found, strokes.size());
        int sum = 0;
        for (const RootTable::Group& g : RootTable::kGroups) {
            QCOMPARE(g.first, sum);
            sum += g.count;
        }
        QCOMPARE(sum, 256);
    }

    void labelsAndHintsFitTheirFields() {
        for (const RootTable::Item& item : items) {
            QVERIFY2(Gbk::canEncode(item.no) && Gbk::byteLength(item.no) <= 4,
                     qPrintable(item.where));
            QVERIFY2(Gbk::canEncode(item.mem) && Gbk::byteLength(item.mem) <= 240,
                     qPrintable(item.where));
            const QString first = item.mem.section('\n', 0, 0);
            QVERIFY2(first.size() <= 40, qPrintable(item.where));
            // The hint names the answer key, so F1 teaches what the picture asks.
            QVERIFY2(first.contains(QString(item.key) + "键"), qPrintable(item.where));
        }
    }

    void rootsSitOnTheKeyTheirCodeStartsWith() {
        if (!QFile::exists(WubiDict::defaultPath()))
            QSKIP("the Wubi 86 dictionary is not installed; root keys not checked");
        QHash<QString, QString> codes;
        for (const WubiDict::CharCodes& c : WubiDict::read(WubiDict::defaultPath()))
            codes.insert(c.text, c.fullCode);
        const QStringList problems = RootTable::keyMismatches(items, codes);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        int checked = 0;
        for (const RootTable::Item& item : items) checked += codes.contains(item.picture) ? 1 : 0;
        QVERIFY2(checked > 150, qPrintable(QString::number(checked)));
        // A root moved to a wrong key is caught.
        QList<RootTable::Item> wrong = items;
        wrong[56].key = 'X';  // 王 of zone 1
        const QStringList caught = RootTable::keyMismatches(wrong, codes);
        QCOMPARE(caught.size(), 1);
        QVERIFY2(caught[0].contains("王 is on X"), qPrintable(caught[0]));
    }

    void builtTableHoldsEveryItemWithAPicture() {
        const QString drive = qEnvironmentVariable("QORVEX_BUILT_DRIVE");
        if (!QFile::exists(drive + "/mavro/wb1.db"))
            QSKIP("the course has not been built (target course)");
        qputenv("QORVEX_DRIVE", drive.toLocal8Bit());
        TSession session;
        session.setOnPassword(Password);
        TTable table(session, "Table1");
        table.Open("\\mavro", "wb1.db");
        table.First();
        for (int r = 0; r < 256; ++r) {
            QCOMPARE(table.RecNo(), r);
            QCOMPARE(table.FieldAsString("Key"), QString(items[r].key));
            QCOMPARE(table.FieldAsString("Mem"), items[r].mem);
            const QImage picture = table.FieldAsPicture("Pic").toImage();
            // Twice the drill's 18 x 18 boxes, for screens of twice the density.
            QCOMPARE(picture.size(), QSize(36, 36));
            // Some ink, and none of it cut off at the picture's edge.
            int ink = 0, edgeInk = 0;
            for (int y = 0; y < 36; ++y)
                for (int x = 0; x < 36; ++x)
                    if (qGray(picture.pixel(x, y)) < 128) {
                        ++ink;
                        edgeInk += (x == 0 || y == 0 || x == 35 || y == 35) ? 1 : 0;
                    }
            QVERIFY2(ink >= 12, qPrintable(items[r].where));
            QVERIFY2(edgeInk == 0, qPrintable(items[r].where));
            table.Next();
        }
    }
};

QTEST_MAIN(CourseRootsTest)
#include "test_courseroots.moc"
