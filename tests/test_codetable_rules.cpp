// The rules of the code table on small fixtures: which codes a character gets, the order of rows,
// and the code check of hand-written splits.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "course/builder/codetable.h"
#include "course/builder/rootpictures.h"
#include "course/builder/rootset.h"
#include "course/builder/splitcheck.h"
#include "course/builder/tablewriter.h"
#include "course/builder/wordlist.h"
#include "course/builder/wubidict.h"
#include "data/table.h"
#include "platform/gbk.h"
#include "progress/wordtable.h"

namespace {
void writeFile(const QString& path, const QString& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

const char kDictionary[] =
    "# header\n---\nname: wubi86\n...\n\n"
    "经\tx\t202277809\txc\n"
    "经\txc\t202277809\n"
    "经\txcag\t423000000\n"
    "艹\taghh\t395000\n"
    "艹\tzzpp\t649\n"
    "⒈\tzzd\t1000\n"
    "①\tmyy\t1000\n"
    "经济\txciy\t1000\n"
    "跑车\tkhlg\t12200000\n"
    "中国\tkhlg\t1220000000\n"
    "跨国\tkhlg\t500\n"
    "#汉\tic\t1\n"
    "汉\tic\t23283954\n"
    "汉\ticy\t131000000\n"
    "径\ttcag\t100\n"
    "径\ttcaf\t200\n"
    "轻\tlcag\t300\n"
    "劲\tcaln\t500\n"
    "泾\tica\t50\n"
    "泾\ticag\t900\n"
    "柽\tscag\t7\n"
    "柽\tscah\t7\n";
}  // namespace

class TestCodeTableRules : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString dictionary;
    QString course;

  private slots:
    void initTestCase() {
        dictionary = dir.filePath("wubi86.dict.yaml");
        writeFile(dictionary, QString::fromUtf8(kDictionary));
        course = dir.filePath("course");
        QVERIFY(QDir().mkpath(course + "/wubi"));
        QVERIFY(QFile::copy(qEnvironmentVariable("QORVEX_COURSE_SOURCES") + "/wubi/roots.txt",
                            course + "/wubi/roots.txt"));
    }

    void codesAndOrder() {
        const QList<WubiDict::CharCodes> codes = WubiDict::read(dictionary);
        QStringList rows;
        for (const WubiDict::CharCodes& c : codes)
            rows << c.text + ':' + c.shortCode + '/' + c.fullCode;
        // Symbols, lookup codes and phrases are left out; rows go by full code, then weight.
        QCOMPARE(rows, QStringList({"艹:aghh/aghh", "劲:caln/caln", "泾:ica/icag", "汉:ic/icy",
                                    "轻:lcag/lcag", "柽:scag/scag", "径:tcaf/tcaf", "经:x/xcag"}));
    }

    // words.txt: a code's candidates by weight; phrases too rare to meet are left out.
    void wordListPlacesByWeight() {
        const QList<WordList::Word> words = WordList::read(dictionary);
        QStringList rows;
        for (const WordList::Word& w : words)
            if (w.code == "khlg" || w.code == "xciy" || w.text == "经")
                rows << w.text + ':' + w.code + ':' + QString::number(w.place);
        QCOMPARE(rows,
                 QStringList({"中国:khlg:0", "跑车:khlg:1", "经:x:0", "经:xc:0", "经:xcag:0"}));
        WordList::write(words, dir.filePath("words.txt"));
        const WordTable table = WordTable::read(dir.filePath("words.txt"));
        QCOMPARE(table.place(QStringLiteral("跑车"), QStringLiteral("khlg")), 1);
        QCOMPARE(table.ideal(QStringLiteral("中国经")).keys, 4 + 2);
    }

    void splitCheck_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("passes");
        QTest::newRow("four roots") << "xcag"
                                    << "xcag" << true;
        QTest::newRow("five roots keep first three and last") << "abcde"
                                                              << "abce" << true;
        QTest::newRow("four roots, wrong key") << "xcaf"
                                               << "xcag" << false;
        QTest::newRow("three roots and identification") << "xca"
                                                        << "xcag" << true;
        QTest::newRow("three roots for a four-root code") << "xca"
                                                          << "xcaf" << true;
        QTest::newRow("two roots") << "ic"
                                   << "icy" << true;
        QTest::newRow("two roots for a four-letter code") << "ic"
                                                          << "icyy" << false;
        QTest::newRow("bad identification code") << "ic"
                                                 << "icp" << false;
        QTest::newRow("key name") << "a"
                                  << "aaaa" << true;
        QTest::newRow("character root") << "a"
                                        << "aghh" << true;
        QTest::newRow("single stroke") << "g"
                                       << "ggll" << true;
        QTest::newRow("character root on another key") << "f"
                                                       << "aghh" << false;
        QTest::newRow("character root, no strokes") << "a"
                                                    << "abcd" << false;
    }
    void splitCheck() {
        QFETCH(QString, keys);
        QFETCH(QString, code);
        QFETCH(bool, passes);
        QCOMPARE(SplitCheck::failure(keys, code).isEmpty(), passes);
    }

    // Every root of the root set has a picture with ink inside the box, and every drawing is used.
    void everyRootHasALegiblePicture() {
        const RootSet roots = RootSet::read(course + "/wubi/roots.txt");
        QVERIFY(roots.roots().size() > 130);
        for (const QString& root : roots.roots()) {
            const QImage picture = RootPictures::stored(root);
            QCOMPARE(picture.size(), QSize(RootPictures::kSize, RootPictures::kSize));
            int ink = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    if (qGray(picture.pixel(x, y)) < 128)
                        ++ink;
            QVERIFY2(ink > 60 && ink < picture.width() * picture.height() / 3, qPrintable(root));
        }
        for (const QString& drawing : RootPictures::drawings())
            QVERIFY2(roots.contains(drawing), qPrintable(drawing + " is drawn but no root"));
        QVERIFY_THROWS_EXCEPTION(CourseError, RootPictures::render("@no such drawing"));
    }

    void exceptionThatContradictsTheCodeIsRejected() {
        writeFile(course + "/wubi/exceptions.txt", "# hand-kept\n汉\t氵 又\n经\t纟 又 土\n");
        try {
            CodeTable::build(course, dictionary, dir.filePath("out/kzWb.DB"));
            QFAIL("the builder accepted 经 split as 纟 又 土 (xcf) against xcag");
        } catch (const CourseError& e) {
            const QString message = QString::fromUtf8(e.what());
            QVERIFY2(message.contains("exceptions.txt:3") && message.contains("经"),
                     qPrintable(message));
        }
        QVERIFY(!QFile::exists(dir.filePath("out/kzWb.DB")));
    }

    void exceptionWithAnUnknownRootIsRejected() {
        writeFile(course + "/wubi/exceptions.txt", "经\t纟 㐅 工\n");
        QVERIFY_THROWS_EXCEPTION(CourseError,
                                 CodeTable::build(course, dictionary, dir.filePath("out/kzWb.DB")));
    }

    void verifiedExceptionGivesItsPictures() {
        writeFile(course + "/wubi/exceptions.txt", "经\t纟 又 工\n汉\t-\n");
        const QString report = CodeTable::build(course, dictionary, dir.filePath("out/kzWb.DB"));
        QVERIFY2(report.contains("GB2312 level 1: 1 of 5"), qPrintable(report));
        qputenv("QORVEX_DRIVE", dir.path().toLocal8Bit());
        TSession session;
        session.setOnPassword(Password);
        TTable table(session, "Table1");
        table.Open("\\out", "kzWb.DB");
        table.SetIndexName("WZindex");
        QVERIFY(table.FindKey(Gbk::encode(u"经")));
        QCOMPARE(table.FieldAsString("全码"), QStringLiteral("xcag"));
        QVERIFY(!table.FieldAsPicture("Pic3").isNull());
        QVERIFY(table.FieldAsPicture("Pic4").isNull());
        QVERIFY(table.FindKey(Gbk::encode(u"汉")));
        QVERIFY(table.FieldAsPicture("Pic1").isNull());
    }
};

QTEST_MAIN(TestCodeTableRules)
#include "test_codetable_rules.moc"
