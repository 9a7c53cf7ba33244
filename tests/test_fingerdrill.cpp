// The finger drill as a pupil meets it: four lines a page, the next key marked, pages timed,
// three pages a lesson.
#include <QtTest>

#include "app/cmavro.h"
#include "drills/CTT.h"
#include "platform/tickcount.h"
#include "support/courseprogram.h"
#include "support/fingerpupil.h"

using namespace FingerPupil;

namespace {

// The default course with a few lessons of our own: rows 197..212 (letters without a shape,
// lines of different lengths) and six rows added after the last row.
QList<QString> practiceRows() {
    QList<QString> rows = FixtureCourse::defaultPracticeRows();
    const QStringList own = {"Q1 ;x",     "aB2c",      "asdf",      "jkl;",  // 197..200
                             "asdf",      "asdf",      "asdf",      "asdf",  // 201..204
                             "asdf jkl;", "asdf jkl;", "asdf jkl;", "asdf jkl;",
                             "jj",        "jj",        "jj",        "jj"};  // 209..212
    for (int i = 0; i < own.size(); ++i) rows[196 + i] = own[i];
    rows << "qwer"
         << "tyui"
         << "op;a"
         << "zxcv"
         << "bnm "
         << "vvv";  // 249..254
    return rows;
}

QString row(int n) {
    return practiceRows().at(n - 1);
}

QStringList shownShapes() {
    QStringList names;
    for (QWidget* shape : frmTT->shapes)
        if (!shape->isHidden())
            names << shape->objectName();
    return names;
}

QStringList pageLines() {
    return {frmTT->Label1->text(), frmTT->Label2->text(), frmTT->Label3->text(),
            frmTT->Label4->text()};
}

QStringList rows(std::initializer_list<int> numbers) {
    QStringList result;
    for (int n : numbers) result << row(n);
    return result;
}

QString pageKeys() {
    return pageLines().join(QString());
}

}  // namespace

class FingerDrillTest : public QObject {
    Q_OBJECT

    CourseProgram program;
    uint32_t now = 0;

  private slots:
    void initTestCase() {
        VERIFY_NO_FAULT(program.startAtMainWindow(
            [](FixtureCourse& course) { course.writePracticeRows(practiceRows()); }));
        TickCount::setSource([this] { return now; });
    }
    void cleanupTestCase() {
        TickCount::setSource({});
        program.stop();
    }
    void init() { now = 0; }

    // Runs first: only the first visit finds every shape still showing.
    void firstVisitShowsEveryShapeUntilAKeyWithAShape() {
        QCOMPARE(shownShapes().size(), 28);
        QVERIFY(openLesson(196, [] {
            QCOMPARE(frmTT->Label1->text(), row(197));
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit1);
            QCOMPARE(shownShapes().size(), 28);  // "Q" has no shape
            type("Q");
            QCOMPARE(shownShapes().size(), 28);  // nor "1"
            type("1");
            QCOMPARE(shownShapes(), QStringList{"space"});
            type(" ");
            QCOMPARE(shownShapes(), QStringList{"LL"});
        }));
    }

    void upperCaseOrDigitNextKeepsThePreviousMark() {
        QVERIFY(openLesson(196, [] {
            type(row(197));
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit2);
            QCOMPARE(shownShapes(), QStringList{"A"});
            type("a");
            QCOMPARE(frmTT->NextKey, QStringLiteral("B"));
            QCOMPARE(shownShapes(), QStringList{"A"});
            type("B");
            QCOMPARE(frmTT->NextKey, QStringLiteral("2"));
            QCOMPARE(shownShapes(), QStringList{"A"});
            type("2");
            QCOMPARE(shownShapes(), QStringList{"c"});
            type("b");  // case counts: "b" for "c" is wrong, but a lower "c" is right
            QCOMPARE(frmTT->Edit2->selectedText(), QStringLiteral("b"));
            type("c");
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit3);
        }));
    }

    void wrongCharacterIsSelectedAndOvertyped() {
        QVERIFY(openLesson(124, [] {
            QCOMPARE(frmTT->Label1->text(), row(125));
            QCOMPARE(shownShapes(), QStringList{"A"});
            type("asdx");
            QCOMPARE(frmTT->Edit1->text(), QStringLiteral("asdx"));
            QCOMPARE(frmTT->Edit1->selectedText(), QStringLiteral("x"));
            QCOMPARE(frmTT->Edit1->selectionStart(), 3);
            QCOMPARE(shownShapes(), QStringList{"F"});  // the key that should have been typed
            type("f");
            QCOMPARE(frmTT->Edit1->text(), QStringLiteral("asdf"));
            QVERIFY(!frmTT->Edit1->hasSelectedText());
            QCOMPARE(shownShapes(), QStringList{"space"});
            type("A");  // upper case for the space: wrong, and the mark stays on the space bar
            QCOMPARE(frmTT->Edit1->selectedText(), QStringLiteral("A"));
            QCOMPARE(shownShapes(), QStringList{"space"});
            type(" j");
            QCOMPARE(frmTT->Edit1->text(), QStringLiteral("asdf j"));
            QCOMPARE(shownShapes(), QStringList{"K"});
        }));
    }

    void characterPastTheLineEndIsWrong() {
        QVERIFY(openLesson(124, [] {
            const QString line1 = frmTT->Label1->text();
            type(line1);
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit2);
            QCOMPARE(shownShapes(), QStringList{"A"});
            press(Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit1);
            QVERIFY(!frmTT->Edit1->hasSelectedText());
            QCOMPARE(frmTT->Edit1->cursorPosition(), line1.size());
            type("k");
            QCOMPARE(frmTT->Edit1->text(), line1 + "k");
            QCOMPARE(frmTT->Edit1->selectedText(), QStringLiteral("k"));
            QCOMPARE(frmTT->NextKey, QString());
            QCOMPARE(shownShapes(), QStringList{"A"});
            press(Qt::Key_Backspace);  // the line is whole again and hands over once more
            QCOMPARE(frmTT->Edit1->text(), line1);
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit2);
        }));
    }

    void enteringABoxByTabKeepsItsTextUnselected() {
        QVERIFY(openLesson(124, [] {
            type(frmTT->Label1->text() + "as");
            QCOMPARE(shownShapes(), QStringList{"d"});
            press(Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit1);
            QVERIFY(!frmTT->Edit1->hasSelectedText());
            type("z");  // past the end, and wrong
            press(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit2);
            QVERIFY(!frmTT->Edit2->hasSelectedText());
            QCOMPARE(frmTT->Edit2->cursorPosition(), 2);
            QCOMPARE(shownShapes(), QStringList{"d"});  // entering marks the key at the caret
            press(Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(frmTT->Edit1->selectedText(), QStringLiteral("z"));  // still to be replaced
        }));
    }

    void backspaceInAnEmptyBoxGoesUp() {
        QVERIFY(openLesson(124, [] {
            press(Qt::Key_Backspace);  // nothing above the first box
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit1);
            QCOMPARE(frmTT->Edit1->text(), QString());
            const QString line1 = frmTT->Label1->text();
            type(line1 + frmTT->Label2->text());
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit3);
            press(Qt::Key_Backspace);
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit2);
            QCOMPARE(frmTT->Edit2->text(), frmTT->Label2->text());  // nothing deleted above
            type("a");                                              // past the end of line 2
            QCOMPARE(frmTT->Edit2->selectedText(), QStringLiteral("a"));
            press(Qt::Key_Backspace);
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit3);
        }));
    }

    void pageClockRunsFromSecondCharacterOfLineOneToLastOfLineFour() {
        QVERIFY(openLesson(124, [this] {
            const QString keys = pageKeys();
            QCOMPARE(keys.size(), 52);
            now = 1000;
            type(keys.left(1));
            now = 5000;  // the clock starts here
            type(keys.mid(1, 1));
            now = 30000;
            type(keys.mid(2, keys.size() - 3));
            now = 5000 + 65432;
            const Result page = finishPage(keys.right(1));
            QVERIFY(page.shown);
            QCOMPARE(page.time, QStringLiteral("输入时间为:1分5秒"));
            QCOMPARE(page.speed, QStringLiteral("每分钟48个"));  // 52 * 60 / 65, cut
            QCOMPARE(page.bestTime, QString());                  // records wait for the dialog
            QCOMPARE(page.latestTime, QString());
            QCOMPARE(frmTT->NumH1->text(), QStringLiteral("65432"));
            QCOMPARE(frmTT->H1->text(), page.time);
            QCOMPARE(frmTT->H2->text(), page.speed);
            QCOMPARE(frmTT->BC1->text(), page.time);
            QCOMPARE(frmTT->BC2->text(), page.speed);
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit1);
            for (QLineEdit* box : {frmTT->Edit1, frmTT->Edit2, frmTT->Edit3, frmTT->Edit4})
                QCOMPARE(box->text(), QString());
            QCOMPARE(shownShapes(), QStringList{"A"});
        }));
    }

    void clockRestartsWhenLineOneComesBackToTwoCharacters() {
        QVERIFY(openLesson(124, [this] {
            const QString keys = pageKeys();
            now = 100000;
            type(keys.left(3));
            now = 200000;
            press(Qt::Key_Backspace);
            QCOMPARE(frmTT->pageClock.startTime(), 200000u);
            now = 300000;
            type(keys.mid(2, keys.size() - 3));
            now = 210500;
            const Result page = finishPage(keys.right(1));
            QCOMPARE(page.time, QStringLiteral("输入时间为:0分10秒"));
            QCOMPARE(page.speed, QStringLiteral("每分钟312个"));
        }));
    }

    // A page runs from its first key wherever it is: line 1's second character later does not
    // restart it, and no page is timed from a start on an earlier visit or page.
    void pageBegunBelowLineOneRunsFromItsFirstKey() {
        now = 1000;
        QVERIFY(openLesson(124, [] { type(frmTT->Label1->text().left(2)); }));
        now = 50000;
        QVERIFY(openLesson(124, [this] {
            press(Qt::Key_Tab);
            now = 60000;
            type(frmTT->Label2->text() + frmTT->Label3->text() + frmTT->Label4->text().chopped(1));
            now = 80000;
            Result page = finishPage(frmTT->Label4->text().right(1));
            QCOMPARE(page.time, QStringLiteral("输入时间为:0分20秒"));

            press(Qt::Key_Tab);
            now = 90000;
            type(frmTT->Label2->text().left(1));
            now = 100000;
            press(Qt::Key_Backtab, Qt::ShiftModifier);
            type(frmTT->Label1->text());
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit2);
            type(frmTT->Label2->text().mid(1) + frmTT->Label3->text() +
                 frmTT->Label4->text().chopped(1));
            now = 90000 + 65432;
            page = finishPage(frmTT->Label4->text().right(1));
            QCOMPARE(page.time, QStringLiteral("输入时间为:1分5秒"));
        }));
    }

    void pageUnderOneSecondCountsAsOneSecond() {
        QVERIFY(openLesson(124, [this] {
            const QString keys = pageKeys();
            type(keys.left(1));
            now = 1000;
            type(keys.mid(1, keys.size() - 2));
            now = 1400;
            const Result page = finishPage(keys.right(1));
            QCOMPARE(page.time, QStringLiteral("输入时间为:0分0秒"));
            QCOMPARE(page.speed, QStringLiteral("每分钟3120个"));
            QCOMPARE(frmTT->NumH1->text(), QStringLiteral("400"));
        }));
    }

    void pagesCycleAndWrapToTheLessonStart() {
        QVERIFY(openLesson(124, [] {
            QCOMPARE(frmTT->PageNo, 1);
            QCOMPARE(pageLines(), rows({125, 126, 127, 128}));
            QVERIFY(finishPage(pageKeys()).shown);
            QCOMPARE(frmTT->PageNo, 2);
            QCOMPARE(pageLines(), rows({129, 130, 131, 132}));
            QVERIFY(finishPage(pageKeys()).shown);
            QCOMPARE(frmTT->PageNo, 3);
            QCOMPARE(pageLines(), rows({133, 134, 135, 136}));
            QVERIFY(finishPage(pageKeys()).shown);
            QCOMPARE(frmTT->PageNo, 1);
            QCOMPARE(pageLines(), rows({125, 126, 127, 128}));
            QCOMPARE(shownShapes(), QStringList{"A"});

            // The main window's Label1 is read again only on the wrap.
            frmmavro->Label1->setText("148");
            QVERIFY(finishPage(pageKeys()).shown);
            QCOMPARE(pageLines(), rows({129, 130, 131, 132}));
            QVERIFY(finishPage(pageKeys()).shown);
            QVERIFY(finishPage(pageKeys()).shown);
            QCOMPARE(frmTT->PageNo, 1);
            QCOMPARE(pageLines(), rows({149, 150, 151, 152}));
        }));
    }

    void lessonNearTheTableEndRepeatsTheLastRow() {
        QVERIFY(openLesson(248, [] {
            QCOMPARE(pageLines(), rows({249, 250, 251, 252}));
            QVERIFY(finishPage(pageKeys()).shown);
            QCOMPARE(pageLines(), rows({253, 254, 254, 254}));
            QVERIFY(finishPage(pageKeys()).shown);
            QCOMPARE(pageLines(), rows({254, 254, 254, 254}));
            QVERIFY(finishPage(pageKeys()).shown);
            QCOMPARE(pageLines(), rows({249, 250, 251, 252}));
        }));
    }

    void equalTimeIsNotANewBest() {
        auto timedPage = [this](uint32_t start, uint32_t end) {
            const QString keys = pageKeys();
            type(keys.left(1));
            now = start;
            type(keys.mid(1, keys.size() - 2));
            now = end;
            return finishPage(keys.right(1));
        };
        QVERIFY(openLesson(200, [&] {
            QCOMPARE(pageLines(), rows({201, 202, 203, 204}));
            timedPage(1000, 4000);
            QCOMPARE(frmTT->NumH1->text(), QStringLiteral("3000"));
            QCOMPARE(frmTT->H2->text(), QStringLiteral("每分钟320个"));
            timedPage(10000, 13000);  // same time, other lines
            QCOMPARE(frmTT->NumH1->text(), QStringLiteral("3000"));
            QCOMPARE(frmTT->H2->text(), QStringLiteral("每分钟320个"));
            QCOMPARE(frmTT->BC2->text(), QStringLiteral("每分钟720个"));
            timedPage(20000, 22999);  // a millisecond faster, on the third page
            QCOMPARE(frmTT->NumH1->text(), QStringLiteral("2999"));
            QCOMPARE(frmTT->H1->text(), QStringLiteral("输入时间为:0分2秒"));
            QCOMPARE(frmTT->H2->text(), QStringLiteral("每分钟240个"));
            QCOMPARE(frmTT->BC2->text(), QStringLiteral("每分钟240个"));
        }));
    }

    void closingAndReopeningStartsAtPageOneWithoutRecords() {
        QVERIFY(openLesson(124, [] {
            QVERIFY(finishPage(pageKeys()).shown);
            QVERIFY(!frmTT->BC1->text().isEmpty());
            type("asd");
        }));
        QVERIFY(!frmTT->isVisible());
        QCOMPARE(frmTT->NumH1->text(), QStringLiteral("6000000"));
        for (QLabel* record : {frmTT->H1, frmTT->H2, frmTT->BC1, frmTT->BC2})
            QCOMPARE(record->text(), QString());
        QVERIFY(openLesson(124, [] {
            QCOMPARE(frmTT->PageNo, 1);
            QCOMPARE(pageLines(), rows({125, 126, 127, 128}));
            QCOMPARE(frmTT->Edit1->text(), QString());
            QCOMPARE(QApplication::focusWidget(), frmTT->Edit1);
            QCOMPARE(shownShapes(), QStringList{"A"});
            QVERIFY(finishPage(pageKeys()).shown);
            QCOMPARE(pageLines(), rows({129, 130, 131, 132}));
        }));
    }

    void enterKeepsTheDrillOpenAndEscClosesIt() {
        bool openAfterEnter = false;
        QVERIFY(openLesson(124, [&] {
            QCOMPARE(frmTT->minimumSize(), frmTT->maximumSize());  // not resizable
            press(Qt::Key_Return);
            openAfterEnter = frmTT->isVisible();
            press(Qt::Key_Escape);
        }));
        QVERIFY(openAfterEnter);
        QVERIFY(!frmTT->isVisible());
        QCOMPARE(frmTT->Button2->x(), -1000);
        QCOMPARE(frmTT->Button2->focusPolicy(), Qt::NoFocus);
    }
};

QTEST_MAIN(FingerDrillTest)
#include "test_fingerdrill.moc"
