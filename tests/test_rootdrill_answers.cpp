// The root drill while the pupil types: letter checking, the finished page with its time, speed,
// errors and records, and the F1 hint toggle.
#include <QtTest>

#include "drills/Ctime.h"
#include "drills/CwbTest1.h"
#include "platform/hotkeys.h"
#include "platform/tickcount.h"
#include "support/courseprogram.h"
#include "support/rootpupil.h"

using namespace RootPupil;

namespace {
struct DialogView {
    QString time, speed, errorLine;
    bool errorShown = false;
    QList<int> redBoxes;
};

QColor textColour(int i) {
    return frmwbTest1->E[i]->palette().color(QPalette::Text);
}

bool isRed(int i) {
    return textColour(i) == QColor(255, 0, 0);
}

bool isNormal(int i) {
    return textColour(i) == QGuiApplication::palette().color(QPalette::Text);
}

QList<int> redBoxes() {
    QList<int> red;
    for (int i = 1; i <= 28; ++i)
        if (isRed(i))
            red << i;
    return red;
}

// Finishes the page at box 28 with the clock at endMs and reads the result dialog as the pupil
// sees it, with the drill behind it; Enter closes it.
DialogView finishPageAt(uint32_t endMs) {
    DialogView view;
    whenShown(frmTime, [&view] {
        view.time = frmTime->Label1->text();
        view.speed = frmTime->Label2->text();
        view.errorShown = frmTime->Label3->isVisible();
        view.errorLine = frmTime->Label3->text();
        view.redBoxes = redBoxes();
        QTest::keyClick(frmTime, Qt::Key_Return);
    });
    setClock(endMs);
    finishAtBox28();
    return view;
}

// Types the right key into box 1 with the clock at startMs.
void startAt(uint32_t startMs) {
    while (focusedBox() != 1) press(Qt::Key_Up);
    setClock(startMs);
    type(keyOf(1).at(0));
}

void pressF1() {
    HotKeyEvent f1(112);
    QCoreApplication::sendEvent(frmwbTest1, &f1);
}

bool anyFrameShown() {
    for (QWidget* frame : frmwbTest1->keyFrames)
        if (!frame->isHidden())
            return true;
    return false;
}

QString shownFrame() {
    for (QWidget* frame : frmwbTest1->keyFrames)
        if (!frame->isHidden())
            return frame->objectName();
    return QString();
}
}  // namespace

class RootDrillAnswersTest : public QObject {
    Q_OBJECT

    CourseProgram program;

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(program.start()); }
    void cleanupTestCase() {
        TickCount::setSource({});
        program.stop();
    }
    void cleanup() { VERIFY_NO_FAULT(program.errorText()); }

    // Must run first: no letter has gone into box 1 yet in this program run, and the page is
    // timed from its first answer, not from the machine's start.
    void withoutALetterInBoxOneThePageIsTimedFromItsFirstAnswer() {
        DialogView view;
        setClock(50000);
        showDrill(25, 31, [&] {
            press(Qt::Key_Down);
            setClock(60000);
            type(keyOf(2).at(0));
            view = finishPageAt(75000);
        });
        QCOMPARE(view.time, QStringLiteral("输入时间为：15秒"));
        QCOMPARE(view.speed, QStringLiteral("每分钟:112个"));
    }

    // Box 1 answered last: its letter does not restart a page begun in another box.
    void boxOneAnsweredLastKeepsTheTimeFromTheFirstAnswer() {
        DialogView view;
        showDrill(40, 176, [&] {
            press(Qt::Key_Down);
            setClock(20000);
            for (int i = 2; i <= 27; ++i) type(keyOf(i).at(0));
            press(Qt::Key_Down);  // from box 28 round to box 1
            QCOMPARE(focusedBox(), 1);
            setClock(70000);
            type(keyOf(1).at(0));
            view = finishPageAt(71000);
        });
        QCOMPARE(view.time, QStringLiteral("输入时间为：51秒"));
        QCOMPARE(view.speed, QStringLiteral("每分钟:32个"));
        QVERIFY(!view.errorShown);
    }

    void rightLetterMovesOnAndMarksTheNextKey() {
        showDrill(56, 0, [] {
            const QString key = keyOf(1);
            type(key.at(0));
            QCOMPARE(frmwbTest1->E[1]->text(), key);
            QVERIFY(isNormal(1));
            QCOMPARE(focusedBox(), 2);
            QCOMPARE(frmwbTest1->TT->text(), QStringLiteral("题示:") + frmwbTest1->LL[2]->text());
            QCOMPARE(shownFrame(), keyOf(2));
        });
    }

    void wrongLetterTurnsRedWaitsAndIsReplaced() {
        showDrill(56, 0, [] {
            type(wrongLetter());
            QCOMPARE(focusedBox(), 1);
            QVERIFY(isRed(1));
            QCOMPARE(frmwbTest1->E[1]->text(), QStringLiteral("Z"));
            QCOMPARE(frmwbTest1->E[1]->selectedText(), QStringLiteral("Z"));
            type(keyOf(1).at(0));
            QCOMPARE(frmwbTest1->E[1]->text(), keyOf(1));
            QVERIFY(isNormal(1));
            QCOMPARE(focusedBox(), 2);
        });
    }

    void aBoxReachedByARightLetterTakesItsOwnCorrection() {
        showDrill(56, 0, [] {
            type(keyOf(1).toLower().at(0));
            QCOMPARE(focusedBox(), 2);
            type(QLatin1Char('z'));
            QCOMPARE(frmwbTest1->E[2]->text(), QStringLiteral("Z"));
            QVERIFY(isRed(2));
            type(keyOf(2).toLower().at(0));
            QCOMPARE(frmwbTest1->E[2]->text(), keyOf(2));
            QVERIFY(isNormal(2));
            QCOMPARE(focusedBox(), 3);
        });
    }

    void lowerCaseLetterIsCheckedAsUpperCase() {
        showDrill(74, 56, [] {
            type(keyOf(1).toLower().at(0));
            QCOMPARE(frmwbTest1->E[1]->text(), keyOf(1));
            QVERIFY(isNormal(1));
            QCOMPARE(focusedBox(), 2);
        });
    }

    void digitsAreNotCheckedButStaySelected() {
        showDrill(74, 56, [] {
            type(QLatin1Char('3'));
            QCOMPARE(focusedBox(), 1);
            QVERIFY(isNormal(1));
            QCOMPARE(frmwbTest1->E[1]->selectedText(), QStringLiteral("3"));
        });
    }

    void signsBetweenZAndAAreCheckedAndWrong() {
        showDrill(74, 56, [] {
            type(QLatin1Char('['));
            QCOMPARE(focusedBox(), 1);
            QVERIFY(isRed(1));
        });
    }

    void boxTwentyEightFinishesThePageCountingEmptyAndWrongBoxes() {
        DialogView view;
        showDrill(37, 93, [&] {
            startAt(1000);
            type(wrongLetter());  // box 2
            press(Qt::Key_Down);
            type(QLatin1Char('4'));  // box 3
            view = finishPageAt(31000);
            // The next page follows at once: empty normal boxes, box 1 in focus, short caption.
            for (int i = 1; i <= 28; ++i) {
                QVERIFY(frmwbTest1->E[i]->text().isEmpty());
                QVERIFY(isNormal(i));
            }
            QCOMPARE(focusedBox(), 1);
            QCOMPARE(frmwbTest1->windowTitle(), QStringLiteral("第二区字根测试"));
            QCOMPARE(frmwbTest1->TT->text(), QStringLiteral("题示:") + frmwbTest1->LL[1]->text());
            QVERIFY(!frmTime->Label3->isVisible());
        });
        QList<int> expectedRed;
        for (int i = 2; i <= 27; ++i) expectedRed << i;
        QCOMPARE(view.redBoxes, expectedRed);
        QVERIFY(view.errorShown);
        QCOMPARE(view.errorLine, QStringLiteral("错误个数为：26个"));
        QCOMPARE(view.time, QStringLiteral("输入时间为：30秒"));
        QCOMPARE(view.speed, QStringLiteral("每分钟:56个"));
    }

    void aPageWithoutErrorsShowsNoErrorLine() {
        DialogView view;
        showDrill(46, 130, [&] {
            setClock(5000);
            for (int i = 1; i < 28; ++i) type(keyOf(i).at(0));
            QCOMPARE(focusedBox(), 28);
            view = finishPageAt(47000);
        });
        QVERIFY(!view.errorShown);
        QVERIFY(view.redBoxes.isEmpty());
        QCOMPARE(view.time, QStringLiteral("输入时间为：42秒"));
        QCOMPARE(view.speed, QStringLiteral("每分钟:40个"));
    }

    void timeAndSpeedTexts_data() {
        QTest::addColumn<uint>("elapsed");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("speed");
        QTest::newRow("59 999 ms") << 59999u << "输入时间为：59秒"
                                   << "每分钟:28个";
        QTest::newRow("60 000 ms") << 60000u << "输入时间为：1分0秒"
                                   << "每分钟:28个";
        QTest::newRow("125 400 ms") << 125400u << "输入时间为：2分5秒"
                                    << "每分钟:13个";
        QTest::newRow("56 s") << 56000u << "输入时间为：56秒"
                              << "每分钟:30个";
        QTest::newRow("1 999 ms") << 1999u << "输入时间为：1秒"
                                  << "每分钟:1680个";
        // Under a whole second the speed is taken over one second, not divided by zero.
        QTest::newRow("400 ms") << 400u << "输入时间为：0秒"
                                << "每分钟:1680个";
    }
    void timeAndSpeedTexts() {
        QFETCH(uint, elapsed);
        QFETCH(QString, time);
        QFETCH(QString, speed);
        DialogView view;
        showDrill(40, 216, [&] {
            startAt(200000);
            view = finishPageAt(200000 + elapsed);
            QCOMPARE(frmwbTest1->BC1->text(), time);
            QCOMPARE(frmwbTest1->BC2->text(), speed);
        });
        QCOMPARE(view.time, time);
        QCOMPARE(view.speed, speed);
    }

    void retypingBoxOneRestartsTheClock() {
        DialogView view;
        showDrill(40, 176, [&] {
            startAt(1000);
            startAt(21000);
            view = finishPageAt(31000);
        });
        QCOMPARE(view.time, QStringLiteral("输入时间为：10秒"));
    }

    // Box 1's letter on an earlier page or showing does not time a page begun elsewhere.
    void aPageWithoutBoxOneIsTimedFromItsOwnFirstAnswer() {
        DialogView view;
        showDrill(40, 176, [&] {
            startAt(50000);
            finishPageAt(60000);
            // Second page: box 1 is left alone.
            press(Qt::Key_Down);
            setClock(65000);
            type(keyOf(2).at(0));
            view = finishPageAt(80000);
        });
        QCOMPARE(view.time, QStringLiteral("输入时间为：15秒"));
        showDrill(40, 176, [&] {
            press(Qt::Key_Down);
            setClock(100000);
            type(keyOf(2).at(0));
            view = finishPageAt(130000);
        });
        QCOMPARE(view.time, QStringLiteral("输入时间为：30秒"));
    }

    void recordsKeepTheStrictlyFastestPageOfAShowing() {
        showDrill(126, 130, [] {
            startAt(1000);
            finishPageAt(41000);  // 40 s: the first page is the record
            QCOMPARE(frmwbTest1->NumH1->text(), QStringLiteral("40000"));
            QCOMPARE(frmwbTest1->H1->text(), QStringLiteral("输入时间为：40秒"));
            QCOMPARE(frmwbTest1->H2->text(), QStringLiteral("每分钟:42个"));
            startAt(100000);
            finishPageAt(150000);  // slower: latest only
            QCOMPARE(frmwbTest1->H1->text(), QStringLiteral("输入时间为：40秒"));
            QCOMPARE(frmwbTest1->BC1->text(), QStringLiteral("输入时间为：50秒"));
            startAt(200000);
            finishPageAt(240000);  // equal: no record
            QCOMPARE(frmwbTest1->NumH1->text(), QStringLiteral("40000"));
            frmwbTest1->H1->setText(QStringLiteral("unchanged"));
            press(Qt::Key_Down);  // box 1 untouched: begun in box 2
            setClock(250000);
            type(keyOf(2).at(0));
            finishPageAt(290000);  // 40 s again, still no record
            QCOMPARE(frmwbTest1->H1->text(), QStringLiteral("unchanged"));
            startAt(300000);
            finishPageAt(335000);  // faster
            QCOMPARE(frmwbTest1->NumH1->text(), QStringLiteral("35000"));
            QCOMPARE(frmwbTest1->H1->text(), QStringLiteral("输入时间为：35秒"));
            QCOMPARE(frmwbTest1->H2->text(), QStringLiteral("每分钟:48个"));
            QCOMPARE(frmwbTest1->BC2->text(), QStringLiteral("每分钟:48个"));
        });
        // Closing forgets the showing's records.
        QCOMPARE(frmwbTest1->NumH1->text(), QStringLiteral("600000"));
        for (QLabel* label : {frmwbTest1->H1, frmwbTest1->H2, frmwbTest1->BC1, frmwbTest1->BC2})
            QVERIFY(label->text().isEmpty());
    }

    void aPageOfTenMinutesOrMoreIsNoRecord() {
        showDrill(256, 0, [] {
            startAt(1000);
            finishPageAt(601000);  // exactly 600 000 ms
            QVERIFY(frmwbTest1->H1->text().isEmpty());
            QCOMPARE(frmwbTest1->BC1->text(), QStringLiteral("输入时间为：10分0秒"));
            startAt(1000);
            finishPageAt(700000);
            QVERIFY(frmwbTest1->H1->text().isEmpty());
            QCOMPARE(frmwbTest1->NumH1->text(), QStringLiteral("600000"));
            startAt(1000);
            finishPageAt(600999);  // 599 999 ms
            QCOMPARE(frmwbTest1->H1->text(), QStringLiteral("输入时间为：9分59秒"));
        });
    }

    void f1CyclesChartThenHintThenBoth() {
        showDrill(56, 0, [] {
            QVERIFY(!frmwbTest1->Image1->isHidden());
            QVERIFY(anyFrameShown());
            pressF1();
            QVERIFY(frmwbTest1->Image1->isHidden());
            QVERIFY(!anyFrameShown());
            QVERIFY(!frmwbTest1->TT->isHidden());
            // With the chart off, entering a box marks no key but still sets the hint.
            press(Qt::Key_Down);
            QVERIFY(!anyFrameShown());
            QCOMPARE(frmwbTest1->TT->text(), QStringLiteral("题示:") + frmwbTest1->LL[2]->text());
            pressF1();
            QVERIFY(frmwbTest1->Image1->isHidden());
            QVERIFY(frmwbTest1->TT->isHidden());
            press(Qt::Key_Down);
            QCOMPARE(frmwbTest1->TT->text(), QStringLiteral("题示:") + frmwbTest1->LL[3]->text());
            pressF1();
            QVERIFY(!frmwbTest1->Image1->isHidden());
            QVERIFY(!frmwbTest1->TT->isHidden());
            QVERIFY(!anyFrameShown());  // only at the next entry
            press(Qt::Key_Down);
            QCOMPARE(shownFrame(), keyOf(4));
        });
    }

    void f1KeyWhileTheDrillIsActive() {
        showDrill(56, 0, [] {
            QVERIFY(QTest::qWaitForWindowActive(frmwbTest1));
            QTest::keyClick(frmwbTest1->windowHandle(), Qt::Key_F1);
            QTRY_VERIFY(frmwbTest1->Image1->isHidden());
            QVERIFY(frmwbTest1->E[1]->text().isEmpty());
            QTest::keyClick(frmwbTest1->windowHandle(), Qt::Key_F1);
            QTRY_VERIFY(frmwbTest1->TT->isHidden());
            QTest::keyClick(frmwbTest1->windowHandle(), Qt::Key_F1);
            QTRY_VERIFY(!frmwbTest1->Image1->isHidden());
        });
    }

    void f1WorksWhileTheDrillIsHidden() {
        QVERIFY(!frmwbTest1->isVisible());
        pressF1();
        QVERIFY(frmwbTest1->Image1->isHidden());
        pressF1();
        QVERIFY(frmwbTest1->TT->isHidden());
        // The chart stays off for the next showing; the hint line comes back with it.
        pressF1();
        pressF1();
        QVERIFY(frmwbTest1->Image1->isHidden());
        showDrill(56, 0, [] {
            QVERIFY(frmwbTest1->Image1->isHidden());
            QVERIFY(!frmwbTest1->TT->isHidden());
            QVERIFY(!anyFrameShown());
            pressF1();
            QVERIFY(frmwbTest1->TT->isHidden());
            pressF1();
        });
        QVERIFY(!frmwbTest1->Image1->isHidden());
        QVERIFY(!frmwbTest1->TT->isHidden());
    }

    void escClosesTheDrill() {
        bool closed = false;
        whenShown(frmwbTest1, [&] {
            QTest::keyClick(frmwbTest1->focusWidget(), Qt::Key_Escape);
            closed = !frmwbTest1->isVisible();
        });
        frmwbTest1->JB1->setText(QStringLiteral("25"));
        frmwbTest1->JB2->setText(QStringLiteral("31"));
        frmwbTest1->ShowModal();
        QVERIFY(closed);
    }
};

QTEST_MAIN(RootDrillAnswersTest)
#include "test_rootdrill_answers.moc"
