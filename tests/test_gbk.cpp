// GBK byte counting and positions on mixed and unrepresentable text.
#include <QtTest>

#include "platform/gbk.h"

class GbkTest : public QObject {
    Q_OBJECT
  private slots:
    void mixedTextCountsChineseAsTwoBytes() {
        const QString text = QStringLiteral("a工b，c");
        QCOMPARE(Gbk::byteLength(text), 7);
        QCOMPARE(Gbk::encode(text).size(), 7);
        QCOMPARE(Gbk::encode(text).toHex(), QByteArray("61b9a462a3ac63"));
        QCOMPARE(Gbk::decode(Gbk::encode(text)), text);
        QCOMPARE(Gbk::bytePosition(text, 2), 3);
        QCOMPARE(Gbk::charPosition(text, 3), 2);
        // A byte position inside a Chinese character maps to that character's start.
        QCOMPARE(Gbk::charPosition(text, 2), 1);
        QCOMPARE(Gbk::charPosition(text, 99), text.size());
    }

    void unrepresentableCharactersTakeTwoUnmatchableBytes() {
        const QString text = QStringLiteral("工😀a€");
        const QByteArray bytes = Gbk::encode(text);
        QCOMPARE(bytes.toHex(' '), QByteArray("b9 a4 ff ff 61 ff ff"));
        QVERIFY(Gbk::holdsUnmappable(bytes.mid(2, 2)));
        QVERIFY(!Gbk::holdsUnmappable(bytes.left(2)));
        // The emoji is two UTF-16 units but one character: positions stay in step.
        QCOMPARE(Gbk::bytePosition(text, 3), 4);
        QCOMPARE(Gbk::charPosition(text, 4), 3);
        QCOMPARE(Gbk::charPosition(text, 3), 1);
    }

    // Only a character GBK cannot hold is refused, wherever bytes FE FE or FF stand in the
    // encoding of valid text.
    void canEncode_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("encodable");
        QTest::newRow("plain") << QStringLiteral("工 a，艹丨") << true;
        QTest::newRow("FE FE across two characters (B6 FE FE 40)")
            << QStringLiteral("二\uFA0C") << true;
        QTest::newRow("the character FE FE") << QStringLiteral("a\uE4C5b") << true;
        QTest::newRow("emoji") << QStringLiteral("工😀") << false;
        QTest::newRow("euro, one byte in the code page") << QStringLiteral("€") << false;
        QTest::newRow("line separator") << QStringLiteral("a\u2028b") << false;
        QTest::newRow("no-break space") << QStringLiteral("a\u00A0b") << false;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << false;
    }
    void canEncode() {
        QFETCH(QString, text);
        QFETCH(bool, encodable);
        QCOMPARE(Gbk::canEncode(text), encodable);
    }

    // Bytes FE FE of a file come back unchanged: they are a character, not the mark of one
    // GBK cannot hold.
    void bytesFeFeRoundTrip() {
        for (const QByteArray& bytes : {QByteArray("\xB6\xFE\xFE\x40"), QByteArray("a\xFE\xFE"
                                                                                   "b")}) {
            const QString text = Gbk::decode(bytes);
            QCOMPARE(Gbk::encode(text), bytes);
            QVERIFY(Gbk::canEncode(text));
        }
    }

    void doubleByteCharacterCheck() {
        QVERIFY(Gbk::isDoubleByteCharacter(Gbk::encode(QStringLiteral("工"))));
        QVERIFY(!Gbk::isDoubleByteCharacter("ab"));
        QVERIFY(!Gbk::isDoubleByteCharacter(QByteArray("\xB9", 1)));
        QVERIFY(!Gbk::isDoubleByteCharacter(QByteArray("\xB9\xA4\xB9", 3)));
    }
};

QTEST_MAIN(GbkTest)
#include "test_gbk.moc"
