// The Wubi code table kzWb.DB of the real course build, read through the table engine as the text
// drill and the code lookup read it.
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTest>

#include "course/builder/rootpictures.h"
#include "course/builder/rootset.h"
#include "course/builder/sourcefile.h"
#include "data/table.h"
#include "platform/gbk.h"

class TestCodeTable : public QObject {
    Q_OBJECT

    TSession session;
    TTable* table = nullptr;
    QHash<QByteArray, QSet<QChar>> keysByPicture;  // a root picture's pixels -> the keys it is on

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
        session.setOnPassword(Password);
        table = new TTable(session, QStringLiteral("Table2"));
        table->Open(QStringLiteral("\\mavro"), QStringLiteral("kzWb.db"));
        const QString course = qEnvironmentVariable("QORVEX_COURSE_SOURCES");
        const RootSet roots = RootSet::read(course + QStringLiteral("/wubi/roots.txt"));
        for (const QString& root : roots.roots())
            keysByPicture[pixels(RootPictures::render(root))].insert(roots.key(root));
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
        table->First();
        QSet<QString> seen;
        QString previousCode;
        int rows = 0;
        for (int last = -1; table->RecNo() != last; table->Next()) {
            last = table->RecNo();
            ++rows;
            const QString text = table->FieldAsString(QStringLiteral("文字"));
            const QString full = table->FieldAsString(QStringLiteral("全码"));
            const QString shortCode = table->FieldAsString(QStringLiteral("简码"));
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
        QVERIFY2(rows > 20000, qPrintable(QString::number(rows)));
        QVERIFY(seen.contains(QStringLiteral("丨")));
        QVERIFY(!seen.contains(QStringLiteral("①")));
    }
};

QTEST_MAIN(TestCodeTable)
#include "test_codetable.moc"
