// The hint source of the text drill on a fixture code table: short code and root pictures of a
// character, nothing for keys without a row, and each key read from the table only once.
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
