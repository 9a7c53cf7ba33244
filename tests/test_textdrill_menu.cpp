// Every text-lesson command of the menu: the range it hands to the text drill, the page the drill
// shows for it, and the menu the pupil finds after closing the drill with Esc.
#include <QtTest>

#include "app/lessoncatalogue.h"
#include "support/textdrillsession.h"

using namespace TextDrillSession;

class TextLessonMenuTest : public QObject {
    Q_OBJECT

    Program* program = nullptr;

  private slots:
    void initTestCase() {
        program = new Program;
        QVERIFY(QTest::qWaitForWindowActive(frmmavro));
    }
    void cleanupTestCase() { delete program; }
    void cleanup() { closeMenus(); }

    void commandShowsItsPageAndReturnsToItsMenu_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("menu");
        struct Lesson {
            const char* command;
            int first, count;
            const char* menu;
        };
        static const Lesson lessons[] = {
            {"dd1", 197, 5, "N14"}, {"J1", 202, 5, "N14"},   {"Y1", 207, 6, "N14"},
            {"O1", 234, 8, "N14"},  {"N210", 242, 7, "N14"}, {"N8", 88, 5, "N7"},
            {"N36", 213, 7, "N7"},  {"T2", 220, 6, "N7"},    {"N9", 93, 8, "N7"},
            {"N13", 101, 8, "N7"},  {"N22", 109, 8, "N7"},   {"N33", 117, 8, "N7"},
            {"N38", 226, 8, "N7"},  {"N11", 1, 8, "N1"},     {"N21", 9, 7, "N1"},
            {"N31", 16, 6, "N1"},   {"N41", 22, 7, "N1"},    {"N51", 29, 5, "N1"},
            {"N61", 34, 6, "N1"},   {"N71", 40, 5, "N1"},    {"N12", 45, 8, "N3"},
            {"N4", 53, 8, "N3"},    {"N32", 61, 8, "N3"},    {"N42", 69, 8, "N3"},
        };
        for (const Lesson& l : lessons)
            QTest::newRow(l.command) << QString::fromLatin1(l.command) << l.first << l.count
                                     << QString::fromLatin1(l.menu);
    }
    void commandShowsItsPageAndReturnsToItsMenu() {
        QFETCH(QString, command);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(QString, menu);
        const QList<QString> rows = practiceRows();
        chooseCommand(command, [=] {
            QCOMPARE(frmmavro->Label1->text(), QString::number(first));
            QCOMPARE(frmmavro->Label2->text(), QString::number(count));
            for (int n = 1; n <= 8; ++n) {
                QCOMPARE(line(n), rows[qMin(first + n - 1, int(rows.size())) - 1]);
                QCOMPARE(box(n)->isHidden(), n > count);
                QCOMPARE(frmTest->lines[n - 1]->isHidden(), n > count);
            }
        });
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY(openMenu() != nullptr);
        QCOMPARE(openMenu()->objectName(), menu);
        QTRY_VERIFY(openMenu()->activeAction() != nullptr);
        QTRY_COMPARE(openMenu()->activeAction()->objectName(), command);
    }

    // The table above is the whole set of text lessons.
    void menuHoldsTwentyFourTextLessons() {
        int lessons = 0;
        for (const Catalogue::Menu& menu : Catalogue::menus())
            for (const Catalogue::Entry& entry : menu.entries)
                lessons += !entry.separator && entry.command.kind == Catalogue::Kind::TextLesson;
        QCOMPARE(lessons, 24);
    }
};

QTEST_MAIN(TextLessonMenuTest)
#include "test_textdrill_menu.moc"
