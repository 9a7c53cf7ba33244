// The practice lines of the real course: the catalogue's rows, their limits, the code table, and
// the built 111.DB as the drills read it.
#include <QFile>
#include <QtTest>

#include "course/builder/hintcheck.h"
#include "course/builder/practicechecks.h"
#include "course/builder/practicetable.h"
#include "course/builder/wubidict.h"
#include "data/session.h"
#include "data/table.h"

class CourseTextsTest : public QObject {
    Q_OBJECT

    QList<QString> rows;
    QList<WubiDict::CharCodes> dictionary;
    QHash<QString, QString> fullCodes, shortCodes;

    static QString sources() { return qEnvironmentVariable("QORVEX_COURSE_SOURCES"); }

  private slots:
    void initTestCase() {
        QVERIFY2(!sources().isEmpty(), "QORVEX_COURSE_SOURCES is not set");
        rows = PracticeTable::readSource(sources() + "/texts/111.txt");
        if (QFile::exists(WubiDict::defaultPath())) {
            dictionary = WubiDict::read(WubiDict::defaultPath());
            for (const WubiDict::CharCodes& c : dictionary) {
                fullCodes.insert(c.text, c.fullCode);
                shortCodes.insert(c.text, c.shortCode);
            }
        }
    }

    void catalogueCoversRows1To248InOrder() {
        QCOMPARE(rows.size(), 248);
        int next = 1;
        for (const PracticeChecks::Lesson& lesson : PracticeChecks::catalogue()) {
            QCOMPARE(lesson.first, next);
            if (lesson.kind == PracticeChecks::Kind::Text)
                QVERIFY2(lesson.count >= 5 && lesson.count <= 8, lesson.name);
            if (lesson.kind == PracticeChecks::Kind::Finger)
                QCOMPARE(lesson.count, 12);
            next += lesson.count;
        }
        QCOMPARE(next, 249);
    }

    void everyLineIsGbkAndFitsItsBox() {
        const QStringList problems = PracticeChecks::formatProblems(rows);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        for (int row = 1; row <= 248; ++row) {
            const bool finger = row >= 125 && row <= 196;
            const QString& text = rows[row - 1];
            if (!finger)
                QVERIFY2(text.size() <= 36, qPrintable(QString::number(row)));
            QVERIFY2(PracticeChecks::lineWidth(text, finger ? PracticeChecks::Kind::Finger
                                                            : PracticeChecks::Kind::Text) <= 689,
                     qPrintable(text));
        }
    }

    void fingerRowsHoldOnlyTheirLessonsKeys() {
        const QString home = "asdfghjkl; ";
        for (int row = 125; row <= 136; ++row)
            for (QChar c : rows[row - 1]) QVERIFY2(home.contains(c), qPrintable(rows[row - 1]));
        for (int row = 137; row <= 148; ++row)
            for (QChar c : rows[row - 1])
                QVERIFY2((home + "qwertyuiop").contains(c), qPrintable(rows[row - 1]));
        for (int row = 149; row <= 160; ++row)
            for (QChar c : rows[row - 1])
                QVERIFY2((home + "zxcvbnm").contains(c), qPrintable(rows[row - 1]));
        for (int row = 161; row <= 196; ++row)
            for (QChar c : rows[row - 1])
                QVERIFY2(c == ' ' || c == ';' || (c >= 'a' && c <= 'z'), qPrintable(rows[row - 1]));
        // Lines of one lesson are of similar length, so every page fills its boxes alike.
        for (int first = 125; first <= 185; first += 12) {
            int shortest = 1000, longest = 0;
            for (int row = first; row < first + 12; ++row) {
                shortest = qMin(shortest, int(rows[row - 1].size()));
                longest = qMax(longest, int(rows[row - 1].size()));
            }
            QVERIFY2(longest - shortest <= 10, qPrintable(QString::number(first)));
        }
    }

    void theChecksCatchABadLine() {
        QList<QString> bad = rows;
        bad[129] = bad[129] + "q";  // an upper-row key in the home-row lesson
        bad[0] = QString(37, QChar(0x5DE5));
        bad[50] = QStringLiteral("练习😀");
        const QString all = PracticeChecks::formatProblems(bad).join('\n');
        QVERIFY2(all.contains("row 130: 'q'"), qPrintable(all));
        QVERIFY2(all.contains("row 1: 37 characters"), qPrintable(all));
        QVERIFY2(all.contains("row 51: characters GBK cannot encode"), qPrintable(all));
    }

    // Each level-1 character's hint gives it in both input methods' tables as installed here: the
    // short code alone misleads for about a hundred of them.
    void levelOneHintsGiveTheirCharacter_data() {
        QTest::addColumn<bool>("fcitx");
        QTest::newRow("fcitx5 wbx") << true;
        QTest::newRow("ibus wubi-jidian86") << false;
    }
    void levelOneHintsGiveTheirCharacter() {
        QFETCH(bool, fcitx);
        const HintCode::Order order =
            fcitx ? HintCode::fcitxWubiTable() : HintCode::ibusWubiTable();
        if (dictionary.isEmpty() || order.isEmpty())
            QSKIP("the dictionary or the input method's table is not installed");
        const HintCheck::Tally tally = HintCheck::tally(order, dictionary);
        QCOMPARE(tally.characters, 3755);
        QVERIFY2(tally.shortCodeMisleads > 50,
                 qPrintable(QString::number(tally.shortCodeMisleads)));
        QVERIFY2(tally.hintMisleads == 0, qPrintable(tally.examples.join(' ')));
    }

    void everyLessonCharacterHasACode() {
        if (dictionary.isEmpty())
            QSKIP("the Wubi 86 dictionary is not installed; character coverage not checked");
        const QStringList missing = PracticeChecks::missingFromCodeTable(rows, fullCodes);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join('\n')));
        QList<QString> bad = rows;
        bad[1] += QStringLiteral("㐀");  // a character GBK holds but the code table lacks
        QCOMPARE(PracticeChecks::missingFromCodeTable(bad, fullCodes),
                 QStringList{QStringLiteral("row 2: 㐀")});
    }

    void shortCodeLessonsFollowTheCodeTable() {
        if (dictionary.isEmpty())
            QSKIP("the Wubi 86 dictionary is not installed; short codes not checked");
        const QStringList problems = PracticeChecks::shortCodeProblems(rows, shortCodes);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        // Row 93 opens with the 25 one-letter codes, each typed with one key and the space.
        for (QChar c : rows[92].left(25)) QCOMPARE(shortCodes.value(QString(c)).size(), 1);
        // Key-name lesson: the 25 key names, each of whose full code is its key four times.
        const QString keyNames = rows[87];
        QCOMPARE(keyNames.size(), 25);
        for (QChar c : keyNames) {
            const QString code = fullCodes.value(QString(c));
            QCOMPARE(code, QString(4, code[0]));
        }
        // Identification-code lesson: its first lines hold characters of fewer than four roots,
        // whose code ends in the identification letter (a two- or three-letter full code).
        for (QChar c : rows[219])
            QVERIFY2(fullCodes.value(QString(c)).size() == 3, qPrintable(QString(c)));
    }

    void builtTableHoldsTheSourceRows() {
        const QString drive = qEnvironmentVariable("QORVEX_BUILT_DRIVE");
        if (!QFile::exists(drive + "/mavro/111.DB"))
            QSKIP("the course has not been built (target course)");
        qputenv("QORVEX_DRIVE", drive.toLocal8Bit());
        TSession session;
        session.setOnPassword(Password);
        TTable table(session, "Table1");
        table.Open("\\mavro", "111.DB");
        table.First();
        for (int row = 1; row <= 248; ++row) {
            QCOMPARE(table.FieldAsString("文字"), rows[row - 1]);
            table.Next();
        }
        // The text drill's way to a lesson: first row, then move by (start row - 1).
        table.First();
        table.MoveBy(16 - 1);
        QCOMPARE(table.FieldAsString("文字"), rows[15]);
    }
};

QTEST_MAIN(CourseTextsTest)
#include "test_coursetexts.moc"
