// The Wubi code table kzWb.DB of the real course build, read through the table engine as the text
// drill and the code lookup read it.
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTest>

#include "course/builder/rootpictures.h"
#include "course/builder/rootset.h"
#include "course/builder/wubidict.h"
#include "data/table.h"
#include "platform/gbk.h"

class TestCodeTable : public QObject {
    Q_OBJECT

    TSession session;
    TTable* table = nullptr;
    QHash<QByteArray, QSet<QChar>> keysByPicture;
    QList<WubiDict::CharCodes> dictionary;  // the rows the table must hold, in order  // a root
                                            // picture's pixels -> the keys it is on

    bool find(const QString& character) {
        table->SetIndexName(QStringLiteral("WZindex"));
        return table->FindKey(Gbk::encode(character));
    }

    static QByteArray pixels(const QImage& image) {
        const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
        QByteArray bytes;
        for (int y = 0; y < gray.height(); ++y)
            bytes.append(reinterpret_cast<const char*>(gray.constScanLine(y)), gray.width());
        return bytes;
    }

  private slots:
    void initTestCase() {
        const QString drive = qEnvironmentVariable("QORVEX_BUILT_DRIVE");
        QVERIFY2(!drive.isEmpty(), "QORVEX_BUILT_DRIVE is set by CTest");
        qputenv("QORVEX_DRIVE", drive.toLocal8Bit());
        dictionary = WubiDict::read(WubiDict::defaultPath());
        session.setOnPassword(Password);
        table = new TTable(session, QStringLiteral("Table2"));
        table->Open(QStringLiteral("\\mavro"), QStringLiteral("kzWb.db"));
        const QString course = qEnvironmentVariable("QORVEX_COURSE_SOURCES");
        const RootSet roots = RootSet::read(course + QStringLiteral("/wubi/roots.txt"));
        for (const QString& root : roots.roots())
            keysByPicture[pixels(RootPictures::stored(root))].insert(roots.key(root));
    }

    void cleanupTestCase() { delete table; }

    void codesOfWellKnownCharacters_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("shortCode");
        QTest::addColumn<QString>("fullCode");
        QTest::newRow("key name") << "工"
                                  << "a"
                                  << "aaaa";
        QTest::newRow("first-level short code") << "经"
                                                << "x"
                                                << "xcag";
        QTest::newRow("no short code") << "键"
                                       << "qvfp"
                                       << "qvfp";
        QTest::newRow("three roots") << "的"
                                     << "r"
                                     << "rqyy";
        QTest::newRow("root character, z code ignored") << "艹"
                                                        << "aghh"
                                                        << "aghh";
        QTest::newRow("single stroke") << "一"
                                       << "g"
                                       << "ggll";
        QTest::newRow("two roots") << "汉"
                                   << "ic"
                                   << "icy";
        QTest::newRow("character root") << "五"
                                        << "gg"
                                        << "gghg";
    }
    void codesOfWellKnownCharacters() {
        QFETCH(QString, character);
        QFETCH(QString, shortCode);
        QFETCH(QString, fullCode);
        QVERIFY2(find(character), qPrintable(character));
        QCOMPARE(table->FieldAsString(QStringLiteral("文字")), character);
        QCOMPARE(table->FieldAsString(QStringLiteral("简码")), shortCode);
        QCOMPARE(table->FieldAsString(QStringLiteral("全码")), fullCode);
    }

    void exactSearchFindsOnlyWholeKeys() {
        QVERIFY(find(QStringLiteral("经")));
        QCOMPARE(table->FieldAsString(QStringLiteral("文字")), QStringLiteral("经"));
        QVERIFY(!find(QStringLiteral("⒈")));  // a symbol with only a lookup code
        QVERIFY(!find(QStringLiteral("经济")));
        QVERIFY(!find(QString()));
        QVERIFY(!table->FindKey(Gbk::encode(QStringLiteral("经")).left(1)));
    }

    void everyRowIsOneGbkCharacterWithLetterCodes() {
        const int rows = int(dictionary.size());
        QVERIFY2(rows > 20000, qPrintable(QString::number(rows)));
        table->First();
        QSet<QString> seen;
        QString previousCode;
        for (int row = 0; row < rows; ++row, table->Next()) {
            const QString text = table->FieldAsString(QStringLiteral("文字"));
            const QString full = table->FieldAsString(QStringLiteral("全码"));
            const QString shortCode = table->FieldAsString(QStringLiteral("简码"));
            QCOMPARE(text, dictionary[row].text);
            QVERIFY2(Gbk::canEncode(text) && Gbk::byteLength(text) == 2, qPrintable(text));
            QVERIFY2(!seen.contains(text), qPrintable(text));
            seen.insert(text);
            static const QRegularExpression letters(QStringLiteral("^[a-y][a-z]{0,3}$"));
            QVERIFY2(letters.match(full).hasMatch(), qPrintable(text + full));
            QVERIFY2(letters.match(shortCode).hasMatch() && shortCode.size() <= full.size(),
                     qPrintable(text + shortCode));
            QVERIFY2(previousCode <= full, qPrintable(text + ": rows not in code order"));
            previousCode = full;
        }
        // The last row was passed: the table stays on it.
        QCOMPARE(table->FieldAsString(QStringLiteral("文字")), dictionary.back().text);
        QVERIFY(seen.contains(QStringLiteral("丨")));
        QVERIFY(!seen.contains(QStringLiteral("①")));
    }

    // The keys of the stored pictures, read back as a pupil sees them, must give the code.
    void storedRootsReproduceTheCode() {
        int checked = 0;
        for (int i = 0; i < dictionary.size(); i += 5) {
            QVERIFY(find(dictionary[i].text));
            QList<QSet<QChar>> keys;
            for (int p = 1; p <= 4; ++p) {
                const QPixmap picture = table->FieldAsPicture(QStringLiteral("Pic%1").arg(p));
                if (picture.isNull())
                    break;
                const QByteArray id = pixels(picture.toImage());
                QVERIFY2(keysByPicture.contains(id), "a picture that is no root of roots.txt");
                keys.append(keysByPicture[id]);
            }
            for (int p = int(keys.size()) + 1; p <= 4; ++p)
                QVERIFY(table->FieldAsPicture(QStringLiteral("Pic%1").arg(p)).isNull());
            if (keys.isEmpty())
                continue;
            const QString code = table->FieldAsString(QStringLiteral("全码"));
            const QString what = dictionary[i].text + ' ' + code;
            if (keys.size() == 1) {
                QVERIFY2(keys[0].contains(code[0]), qPrintable(what));
            } else {
                QVERIFY2(code.size() == qMin(4, int(keys.size()) + 1), qPrintable(what));
                for (int k = 0; k < keys.size(); ++k)
                    QVERIFY2(keys[k].contains(code[k]), qPrintable(what));
            }
            ++checked;
        }
        QVERIFY2(checked > 1000, qPrintable(QString::number(checked)));
    }

    void twoRootsGiveTwoPicturesAndTwoEmptyBoxes() {
        QVERIFY(find(QStringLiteral("汉")));
        QVERIFY(!table->FieldAsPicture(QStringLiteral("Pic1")).isNull());
        QVERIFY(!table->FieldAsPicture(QStringLiteral("Pic2")).isNull());
        QVERIFY(table->FieldAsPicture(QStringLiteral("Pic3")).isNull());
        QVERIFY(table->FieldAsPicture(QStringLiteral("Pic4")).isNull());
    }
};

QTEST_MAIN(TestCodeTable)
#include "test_codetable.moc"
