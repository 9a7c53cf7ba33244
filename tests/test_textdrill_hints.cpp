// The hint source of the text drill on a fixture code table: short code and root pictures of a
// character, nothing for keys without a row, and each key read from the table only once; the
// code shown is one that gives the character, in an input method's order or the table's own.
#include <QBuffer>
#include <QtTest>

#include "data/session.h"
#include "data/table.h"
#include "drills/hintlookup.h"
#include "platform/gbk.h"
#include "support/fixturecourse.h"

class HintLookupTest : public QObject {
    Q_OBJECT

    FixtureCourse* course = nullptr;
    TSession* session = nullptr;
    TTable* table = nullptr;

    static QImage image(const QPixmap& pixmap) {
        return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    }
    static QByteArray key(const char* text) { return Gbk::encode(QString::fromUtf8(text)); }

  private slots:
    void init() {
        course = new FixtureCourse;
        course->writeCodeTable(FixtureCourse::defaultCodes());
        session = new TSession;
        session->setOnPassword(Password);
        table = new TTable(*session, QStringLiteral("Table2"));
        table->Open(QStringLiteral("\\mavro"), QStringLiteral("kzWb.db"));
    }
    void cleanup() {
        delete table;
        delete session;
        delete course;
    }

    void characterGivesShortCodeAndRoots() {
        HintLookup hints(*table);
        const HintLookup::Hint* hint = hints.find(key("第"));
        QVERIFY(hint);
        QCOMPARE(hint->shortCode, QStringLiteral("tx"));
        const char* roots[] = {"竹", "弓", "丨", "丿"};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(image(hint->pictures[i]),
                     FixtureCourse::labelPicture(QString::fromUtf8(roots[i])));

        hint = hints.find(key("地"));
        QVERIFY(hint);
        QCOMPARE(hint->shortCode, QStringLiteral("f"));
        QVERIFY(!hint->pictures[1].isNull());
        QVERIFY(hint->pictures[2].isNull() && hint->pictures[3].isNull());
    }

    void keysWithoutARowGiveNothing_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("not in the table") << key("我");
        QTest::newRow("past the end of the line") << QByteArray();
        QTest::newRow("a letter and a lead byte") << key("a工").left(2);
        QTest::newRow("outside GBK") << QByteArray(Gbk::kUnmappable, 2);
    }
    void keysWithoutARowGiveNothing() {
        QFETCH(QByteArray, key);
        HintLookup hints(*table);
        QVERIFY(!hints.find(key));
        QVERIFY(!hints.find(key));
    }

    // Where the short code's first candidate is another word, the hint shows a longer code that
    // gives the character first, or the number to choose it with.
    void hintCodeGivesTheCharacter_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("inTableOrder");  // the code table's own rows
        QTest::addColumn<QString>("inFcitxOrder");  // a table dump as libime_tabledict writes it
        QTest::newRow("first already") << "雨"
                                       << "fgh"
                                       << "fgh";
        QTest::newRow("second of a full code") << "寸"
                                               << "fghy 2"
                                               << "fghy 2";
        QTest::newRow("a longer code gives it") << "竿"
                                                << "tfjh"
                                                << "tfjh";
        QTest::newRow("after a phrase") << "敖"
                                        << "gqty"
                                        << "gqty 2";
        QTest::newRow("not in the input method") << "酉"
                                                 << "sgd 2"
                                                 << "sgd";
    }
    void hintCodeGivesTheCharacter() {
        QFETCH(QString, character);
        QFETCH(QString, inTableOrder);
        QFETCH(QString, inFcitxOrder);
        const QList<FixtureCourse::Code> codes{
            {"本", "sg", "sgd", {}},    {"酉", "sgd", "sgd", {}},   {"雨", "fgh", "fghy", {}},
            {"寸", "fghy", "fghy", {}}, {"敖", "gqty", "gqty", {}}, {"午", "tfj", "tfj", {}},
            {"竿", "tfj", "tfjh", {}}};
        course->writeCodeTable(codes);
        table->Close();
        table->Open(QStringLiteral("\\mavro"), QStringLiteral("kzWb.db"));
        HintLookup hints(*table);
        QCOMPARE(hints.find(Gbk::encode(character))->code, inTableOrder);

        QByteArray dump = QStringLiteral(
                              "KeyCode=abcdefghijklmnopqrstuvwxy\n[Data]\nfgh 雨\n"
                              "fghy 雨\nfghy 寸\ngqty 列入\ngqty 敖\ntfj 午\ntfj 竿\n"
                              "tfjh 竿\nsgd 本\n")
                              .toUtf8();
        QBuffer buffer(&dump);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const HintCode::Order fcitx = HintCode::fromTableDump(buffer);
        for (const FixtureCourse::Code& c : codes)
            if (c.character == character)
                QCOMPARE(HintCode::choose(fcitx, character, c.shortCode, c.fullCode).text(),
                         inFcitxOrder);
    }

    // Once a key is known its hint comes without moving the table.
    void eachKeyIsReadOnce() {
        HintLookup hints(*table);
        QVERIFY(hints.find(key("工")));
        QVERIFY(hints.find(key("键")));
        const int row = table->RecNo();
        const HintLookup::Hint* again = hints.find(key("工"));
        QVERIFY(again);
        QCOMPARE(again->shortCode, QStringLiteral("a"));
        QCOMPARE(table->RecNo(), row);
        QVERIFY(!hints.find(key("我")));
        QVERIFY(!hints.find(key("我")));
        QCOMPARE(table->RecNo(), row);
    }
};

QTEST_MAIN(HintLookupTest)
#include "test_textdrill_hints.moc"
