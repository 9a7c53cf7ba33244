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
        QCOMPARE(bytes.size(), Gbk::byteLength(text));
        QCOMPARE(bytes.size(), 2 + 2 + 1 + 2);
        QCOMPARE(bytes.mid(2, 2), QByteArray(Gbk::kUnmappable, 2));
        QCOMPARE(bytes.mid(5, 2), QByteArray(Gbk::kUnmappable, 2));
        // The emoji is two UTF-16 units but one character: positions stay in step.
        QCOMPARE(Gbk::bytePosition(text, 3), 4);
        QCOMPARE(Gbk::charPosition(text, 4), 3);
        QCOMPARE(Gbk::charPosition(text, 3), 1);
        QVERIFY(!Gbk::canEncode(text));
        QVERIFY(Gbk::canEncode(QStringLiteral("工 a，艹丨")));
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
