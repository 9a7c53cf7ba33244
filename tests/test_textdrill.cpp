// Pupil sessions in the text drill: a lesson from the menu, typing through input-method commits,
// the hint, wrong characters, finished pages with the result dialog and the records, F2, moving
// between lines, and the menu the pupil finds after Esc.
#include <QClipboard>
#include <QtTest>

#include "drills/pagetiming.h"
#include "platform/hotkeys.h"
#include "progress/strokelog.h"
#include "support/textdrillsession.h"

using namespace TextDrillSession;
using TextDrillPupil::commit;
using TextDrillPupil::key;
using TextDrillPupil::preedit;
using TextDrillPupil::type;

namespace {
QString row(int n) {
    return practiceRows()[n - 1];
}

QImage picture(const QLabel* image) {
    return image->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage root(const char* name) {
    return FixtureCourse::labelPicture(QString::fromUtf8(name));
}

int focusedBox() {
    for (int n = 1; n <= 8; ++n)
        if (QApplication::focusWidget() == box(n))
            return n;
    return 0;
}

void pressHotKey(int id) {
    QCoreApplication::postEvent(frmTest, new HotKeyEvent(id));
    QCoreApplication::processEvents();
}

bool fullHint() {
    return !frmTest->images[0]->isHidden() && !frmTest->Label10->isHidden();
}
bool codeOnly() {
    return frmTest->images[0]->isHidden() && !frmTest->Label10->isHidden();
}
bool noHint() {
    return frmTest->images[0]->isHidden() && frmTest->Label10->isHidden();
}
}  // namespace

class TextDrillTest : public QObject {
    Q_OBJECT

    Program* program = nullptr;

  private slots:
    void initTestCase() {
        program = new Program;
        QVERIFY(QTest::qWaitForWindowActive(frmmavro));
        QVERIFY2(program->app->errors.isEmpty(), qPrintable(program->app->errors.join('\n')));
    }
    void cleanupTestCase() { delete program; }
    void cleanup() {
        closeMenus();
        // Each test starts from the full hint.
        for (int i = 0; i < 3 && !fullHint(); ++i) pressHotKey(113);
    }

    void windowShowsItsControls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<bool>("hidden");
        for (int n = 1; n <= 8; ++n) {
            const int top = 80 + 56 * (n - 1);
            QTest::addRow("Label%d", n)
                << QStringLiteral("Label%1").arg(n) << QRect(32, top, 689, 19) << false;
            QTest::addRow("Edit%d", n)
                << QStringLiteral("Edit%1").arg(n) << QRect(32, top + 24, 689, 27) << false;
        }
        QTest::newRow("Panel1") << "Panel1" << QRect(32, 24, 161, 33) << false;
        QTest::newRow("Label10") << "Label10" << QRect(64, 1, 96, 31) << false;
        for (int i = 0; i < 4; ++i)
            QTest::addRow("Image%d", i + 1)
                << QStringLiteral("Image%1").arg(i + 1) << QRect(196 + 78 * i, 2, 75, 75) << false;
        QTest::newRow("Image5") << "Image5" << QRect(0, 0, 41, 25) << true;
        QTest::newRow("H1") << "H1" << QRect(606, 3, 169, 15) << false;
        QTest::newRow("H2") << "H2" << QRect(606, 24, 169, 15) << false;
        QTest::newRow("BC1") << "BC1" << QRect(606, 42, 169, 15) << false;
        QTest::newRow("BC2") << "BC2" << QRect(606, 62, 169, 15) << false;
    }
    void windowShowsItsControls() {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(bool, hidden);
        auto* control = frmTest->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), place);
        QCOMPARE(control->isHidden(), hidden);
    }

    void windowTitleAndLook() {
        QCOMPARE(frmTest->windowTitle(), QStringLiteral("Tarvelle--->五笔字型速成练习") +
                                             QString(37, ' ') + QStringLiteral("F2:关闭/打开提示"));
        QCOMPARE(frmTest->Label9->text(), QStringLiteral("【提示】"));
        QCOMPARE(frmTest->Label11->text(), QStringLiteral("最高记录："));
        QCOMPARE(frmTest->Label12->text(), QStringLiteral("本次记录："));
        QCOMPARE(frmTest->NumH1->text(), QStringLiteral("6000000"));
        QVERIFY(frmTest->NumH1->isHidden() && frmTest->B1->isHidden());
        QCOMPARE(frmTest->Button1->x(), -1000);
        visit("N31", [] {
            // A single border: the drill keeps the size it was placed with.
            QCOMPARE(frmTest->minimumSize(), frmTest->size());
            QCOMPARE(frmTest->maximumSize(), frmTest->size());
            QVERIFY(!box(1)->hasFrame());
            QCOMPARE(box(1)->palette().color(QPalette::Text), QColor(0, 128, 128));
        });
    }

    // "课程练习[&3]" from the menu to the menu again, as a pupil goes through it.
    void lessonThreeEndToEnd() {
        Result result;
        chooseCommand("N31", [&] {
            QCOMPARE(frmmavro->Label1->text(), QStringLiteral("16"));
            QCOMPARE(frmmavro->Label2->text(), QStringLiteral("6"));
            for (int n = 1; n <= 8; ++n) QCOMPARE(line(n), row(15 + n));
            for (int n = 1; n <= 6; ++n) QVERIFY(!box(n)->isHidden());
            for (int n = 7; n <= 8; ++n) {
                QVERIFY(frmTest->lines[n - 1]->isHidden());
                QVERIFY(box(n)->isHidden());
            }
            QCOMPARE(focusedBox(), 1);

            // The hint names the first character of line 1.
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("工:a"));
            QCOMPARE(picture(frmTest->images[0]), root("工"));
            QVERIFY(frmTest->images[1]->pixmap().isNull());

            tick = 5000;
            commit("工");
            QCOMPARE(frmTest->pageClock.startTime(), 5000u);
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("地:f"));
            QCOMPARE(picture(frmTest->images[0]), root("土"));
            QCOMPARE(picture(frmTest->images[1]), root("也"));
            QVERIFY(frmTest->images[2]->pixmap().isNull());

            // A wrong character is selected and the hint keeps the expected one.
            tick = 5500;
            commit("在");
            QCOMPARE(box(1)->text(), QStringLiteral("工在"));
            QCOMPARE(box(1)->selectedText(), QStringLiteral("在"));
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("地:f"));
            QCOMPARE(focusedBox(), 1);
            commit("地");
            QCOMPARE(box(1)->text(), QStringLiteral("工地"));
            QVERIFY(!box(1)->hasSelectedText());
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("在:d"));
            QCOMPARE(frmTest->pageClock.startTime(), 5000u);

            type(row(16).mid(2));
            QCOMPARE(focusedBox(), 2);
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("工:a"));
            for (int n = 2; n <= 5; ++n) {
                type(line(n));
                QCOMPARE(focusedBox(), n + 1);
            }

            // Showing the drill again would load row 40: the return from the result dialog
            // must not.
            frmmavro->Label1->setText("40");
            result = finishPage([] {
                type(line(6).chopped(1));
                tick = 5000 + 65000;
                commit(line(6).right(1));
            });
            frmmavro->Label1->setText("16");

            QCOMPARE(result.shown, 1);
            QCOMPARE(result.time, QStringLiteral("输入时间为:1分5秒"));
            QCOMPARE(result.speed, QStringLiteral("每分钟121个"));  // 132 bytes in 65 s
            QVERIFY(!result.errorLineShown);
            QCOMPARE(result.h1WhileOpen, QString());
            QCOMPARE(result.bc1WhileOpen, QString());

            QCOMPARE(frmTest->NumH1->text(), QStringLiteral("65000"));
            QCOMPARE(frmTest->H1->text(), result.time);
            QCOMPARE(frmTest->H2->text(), result.speed);
            QCOMPARE(frmTest->BC1->text(), result.time);
            QCOMPARE(frmTest->BC2->text(), result.speed);
            QCOMPARE(frmTest->CharCount, 132);

            // The same page again, boxes empty, box 1 ready, the clock not started by the
            // emptying.
            QCOMPARE(QApplication::activeModalWidget(), frmTest);
            for (int n = 1; n <= 8; ++n) QVERIFY(box(n)->text().isEmpty());
            QCOMPARE(line(1), row(16));
            QCOMPARE(focusedBox(), 1);
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("工:a"));
            QVERIFY(!frmTest->pageClock.running());
        });
        if (QTest::currentTestFailed())
            return;

        // Closing resets the records.
        QCOMPARE(frmTest->NumH1->text(), QStringLiteral("6000000"));
        QVERIFY(frmTest->H1->text().isEmpty() && frmTest->H2->text().isEmpty());
        QVERIFY(frmTest->BC1->text().isEmpty() && frmTest->BC2->text().isEmpty());

        QTRY_VERIFY(openMenu() != nullptr);
        QCOMPARE(openMenu()->objectName(), QStringLiteral("N1"));
        QTRY_VERIFY(openMenu()->activeAction() != nullptr);
        QCOMPARE(openMenu()->activeAction()->objectName(), QStringLiteral("N31"));

        // Down, Enter: the next lesson.
        bool nextShown = false;
        TextDrillPupil::whenModalIs(frmTest, [&] {
            nextShown = true;
            [&] {
                QTRY_VERIFY(frmTest->isActiveWindow());
                QCOMPARE(frmmavro->Label1->text(), QStringLiteral("22"));
                QCOMPARE(frmmavro->Label2->text(), QStringLiteral("7"));
                QCOMPARE(line(1), row(22));
                QVERIFY(!box(7)->isHidden());
                QVERIFY(box(8)->isHidden());
                for (int n = 1; n <= 8; ++n) QVERIFY(box(n)->text().isEmpty());
            }();
            pressEsc();
        });
        QMenu* menu = openMenu();
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_VERIFY(nextShown);
        QTRY_VERIFY(openMenu() != nullptr && openMenu()->activeAction() != nullptr);
        QCOMPARE(openMenu()->activeAction()->objectName(), QStringLiteral("N41"));
    }

    void clockStartsAtTwoBytesInBoxOne() {
        visit("N31", [] {
            tick = 1000;
            commit("工");
            QCOMPARE(frmTest->pageClock.startTime(), 1000u);
            tick = 2000;
            commit("地");
            QCOMPARE(frmTest->pageClock.startTime(), 1000u);
            // Deleting back to one Chinese character starts the tick again.
            tick = 3000;
            key(Qt::Key_Backspace);
            QCOMPARE(box(1)->text(), QStringLiteral("工"));
            QCOMPARE(frmTest->pageClock.startTime(), 3000u);
            tick = 4000;
            key(Qt::Key_Backspace);
            QCOMPARE(frmTest->pageClock.startTime(), 3000u);
            // Two letters are two bytes as well.
            tick = 4500;
            commit("ab");
            QCOMPARE(frmTest->pageClock.startTime(), 4500u);
            box(1)->clear();

            // A page begun in box 1 and finished with box 1 empty again is timed from box 1's
            // last start, and its speed counts only what the boxes hold.
            for (int n = 1; n < 6; ++n) key(Qt::Key_Down);
            QCOMPARE(focusedBox(), 6);
            const Result result = finishPage([] {
                type(line(6).chopped(1));
                tick = 4500 + 61000;
                commit(line(6).right(1));
            });
            QCOMPARE(result.time, QStringLiteral("输入时间为:1分1秒"));
            QCOMPARE(result.speed, QStringLiteral("每分钟21个"));  // 22 bytes in 61 s
        });
    }

    // A page runs from its first input wherever it is: box 1 reaching two bytes later does not
    // restart it, a phrase committed into box 1 at once starts it, and no page is timed from a
    // start on an earlier visit or page.
    void pageBegunOutsideBoxOne() {
        tick = 1000;
        visit("N31", [] { commit("工"); });
        tick = 50000;
        visit("N31", [] {
            key(Qt::Key_Down);
            tick = 60000;
            commit(line(2).left(1));
            tick = 70000;
            key(Qt::Key_Up);
            type(line(1));
            QCOMPARE(focusedBox(), 2);
            for (int n = 2; n < 6; ++n) key(Qt::Key_Down);
            Result result = finishPage([] {
                type(line(6).chopped(1));
                tick = 60000 + 65000;
                commit(line(6).right(1));
            });
            QCOMPARE(result.time, QStringLiteral("输入时间为:1分5秒"));

            // The same lines again.
            tick = 200000;
            commit(line(1).left(2));
            QCOMPARE(box(1)->text(), QStringLiteral("工地"));
            for (int n = 1; n < 6; ++n) key(Qt::Key_Down);
            result = finishPage([] {
                tick = 210000;
                type(line(6).chopped(1));
                tick = 200000 + 30000;
                commit(line(6).right(1));
            });
            QCOMPARE(result.time, QStringLiteral("输入时间为:0分30秒"));
        });
    }

    void characterPastTheEndIsWrong() {
        visit("N31", [] {
            type(line(1));
            QCOMPARE(focusedBox(), 2);
            key(Qt::Key_Up);
            QCOMPARE(focusedBox(), 1);
            commit("工");
            QCOMPARE(box(1)->text(), line(1) + "工");
            QCOMPARE(box(1)->selectedText(), QStringLiteral("工"));
            QCOMPARE(focusedBox(), 1);
            QCOMPARE(frmTest->Label10->text(), QString());
        });
    }

    void pastedWholeLineCompletesIt() {
        visit("N31", [] {
            QApplication::clipboard()->setText(line(1));
            key(Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(box(1)->text(), line(1));
            QCOMPARE(focusedBox(), 2);
            commit(line(2));
            QCOMPARE(focusedBox(), 3);
            // A line with a wrong character in it is not done: the wrong character and all
            // after it are selected.
            const QString wrong = line(3).left(2) + QStringLiteral("人") + line(3).mid(3);
            QApplication::clipboard()->setText(wrong);
            key(Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(focusedBox(), 3);
            QCOMPARE(box(3)->selectedText(), wrong.mid(2));
        });
    }

    // A phrase the input method commits at once is checked character by character; the next
    // commit replaces a wrong one and what follows it.
    void phraseCommitIsCheckedWhole() {
        visit("N31", [] {
            commit(QStringLiteral("工地"));
            QVERIFY(!box(1)->hasSelectedText());
            commit(QStringLiteral("在要"));
            commit(QStringLiteral("钟国"));
            QCOMPARE(box(1)->selectedText(), QStringLiteral("钟国"));
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("中:k"));
            commit(QStringLiteral("中国"));
            QCOMPARE(box(1)->text(), QStringLiteral("工地在要中国"));
            QVERIFY(!box(1)->hasSelectedText());
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("人:w"));
        });
    }

    // The hinted code commits a phrase the input method has learnt, beginning with the wanted
    // character: the box keeps what was wanted, and the character counts as typed right by its
    // code, with no slip for it or the next one. At a line's end the line is done.
    void learntPhraseKeepsTheWantedCharacter() {
        visit("N31", [] {
            commit(QStringLiteral("工"));
            preedit(QStringLiteral("f"));
            commit(QStringLiteral("地要"));
            QCOMPARE(box(1)->text(), QStringLiteral("工地"));
            QVERIFY(!box(1)->hasSelectedText());
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("在:d"));
            commit(QStringLiteral("在"));
            const QList<History::Stroke> strokes = Progress::textLog().strokes();
            QCOMPARE(strokes.size(), 3);
            QCOMPARE(strokes[1].character, QStringLiteral("地"));
            QCOMPARE(strokes[1].code, QStringLiteral("f"));
            QCOMPARE(strokes[1].wrongs, QStringList());
            QCOMPARE(strokes[2].wrongs, QStringList());
            type(line(1).mid(3).chopped(1));
            commit(line(1).right(1) + QStringLiteral("工"));
            QCOMPARE(box(1)->text(), line(1));
            QCOMPARE(focusedBox(), 2);
        });
    }

    // A code with no candidate commits nothing: the pupil erases it and types the right one. The
    // code given up is a slip at the character it was for; letters on the way to the hinted code
    // taken back are none.
    void codeGivenUpIsASlip() {
        visit("N31", [] {
            commit(QStringLiteral("工"));
            preedit(QStringLiteral("dh"));
            preedit(QStringLiteral("d"));
            preedit(QString());
            preedit(QStringLiteral("f"));
            commit(QStringLiteral("地"));
            preedit(QStringLiteral("d"));
            preedit(QString());
            preedit(QStringLiteral("d"));
            commit(QStringLiteral("在"));
            const QList<History::Stroke> strokes = Progress::textLog().strokes();
            QCOMPARE(strokes.size(), 3);
            QCOMPARE(strokes[1].wrongs, QStringList{QStringLiteral("dh")});
            QCOMPARE(strokes[1].wrong, 1u);
            QCOMPARE(strokes[1].code, QStringLiteral("f"));
            QCOMPARE(strokes[2].wrongs, QStringList());
        });
    }

    // Beginning a code over the selected wrong character removes it before anything is
    // committed; the drill waits for the commit. Box 1 back at two bytes does not restart the
    // clock, a box back at its line does not hand the focus on.
    void composingOverAWrongCharacter() {
        visit("N31", [] {
            tick = 1000;
            commit(QStringLiteral("工"));
            tick = 2000;
            commit(QStringLiteral("在"));
            preedit("f");
            QCOMPARE(box(1)->text(), QStringLiteral("工"));
            commit(QStringLiteral("地"));
            QCOMPARE(box(1)->text(), QStringLiteral("工地"));
            QCOMPARE(frmTest->pageClock.startTime(), 1000u);

            type(line(1).mid(2));
            QCOMPARE(focusedBox(), 2);
            key(Qt::Key_Up);
            commit(QStringLiteral("工"));
            preedit("a");
            QCOMPARE(box(1)->text(), line(1));
            QCOMPARE(focusedBox(), 1);
            commit(QStringLiteral("工"));
            QCOMPARE(box(1)->selectedText(), QStringLiteral("工"));
            QCOMPARE(focusedBox(), 1);
        });
    }

    void characterOutsideGbkIsWrong() {
        visit("N31", [] {
            commit(QStringLiteral("\U0001F600"));
            QCOMPARE(box(1)->selectedText(), QStringLiteral("\U0001F600"));
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("工:a"));
            commit("工");
            QCOMPARE(box(1)->text(), QStringLiteral("工"));
            QVERIFY(!box(1)->hasSelectedText());
        });
    }

    void pageTimeAndSpeed_data() {
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("speed");
        QTest::newRow("59 999 ms")
            << 59999 << QStringLiteral("输入时间为:0分59秒") << QStringLiteral("每分钟305个");
        QTest::newRow("60 000 ms")
            << 60000 << QStringLiteral("输入时间为:1分0秒") << QStringLiteral("每分钟300个");
        QTest::newRow("70 500 ms")
            << 70500 << QStringLiteral("输入时间为:1分10秒") << QStringLiteral("每分钟257个");
        // Under one whole second the speed is taken over one second.
        QTest::newRow("800 ms") << 800 << QStringLiteral("输入时间为:0分0秒")
                                << QStringLiteral("每分钟18000个");
    }
    void pageTimeAndSpeed() {
        QFETCH(int, elapsed);
        QFETCH(QString, time);
        QFETCH(QString, speed);
        visit("N51", [=] {
            QCOMPARE(line(5), longRow(33));
            const Result result = typePage(5, 20000, 20000 + uint32_t(elapsed));
            QCOMPARE(frmTest->CharCount, 300);
            QCOMPARE(result.time, time);
            QCOMPARE(result.speed, speed);
            QCOMPARE(frmTest->NumH1->text(), QString::number(elapsed));
            QCOMPARE(frmTest->BC2->text(), speed);
        });
    }

    void equalTimeIsNotANewBest() {
        visit("N51", [] {
            typePage(5, 0, 65000);
            QCOMPARE(frmTest->H2->text(), QStringLiteral("每分钟276个"));

            // Same time, fewer bytes: the latest changes, the best stays.
            const Result same = finishPage([] {
                tick = 100000;
                commit("工");
                for (int n = 1; n < 5; ++n) key(Qt::Key_Down);
                type(line(5).chopped(1));
                tick = 165000;
                commit(line(5).right(1));
            });
            QCOMPARE(same.speed, QStringLiteral("每分钟57个"));  // 62 bytes
            QCOMPARE(frmTest->NumH1->text(), QStringLiteral("65000"));
            QCOMPARE(frmTest->H2->text(), QStringLiteral("每分钟276个"));
            QCOMPARE(frmTest->BC2->text(), QStringLiteral("每分钟57个"));

            typePage(5, 200000, 264000);
            QCOMPARE(frmTest->NumH1->text(), QStringLiteral("64000"));
            QCOMPARE(frmTest->H1->text(), QStringLiteral("输入时间为:1分4秒"));
            QCOMPARE(frmTest->H2->text(), QStringLiteral("每分钟281个"));
        });
    }

    void f2CyclesTheHint() {
        visit("N31", [] {
            QVERIFY(fullHint());
            pressHotKey(112);  // not this window's key
            QVERIFY(fullHint());
            pressHotKey(113);
            QVERIFY(codeOnly());
            for (int i = 1; i < 4; ++i) QVERIFY(frmTest->images[i]->isHidden());
            // The key itself, caught while the drill is active.
            QTest::keyClick(frmTest->windowHandle(), Qt::Key_F2);
            QTRY_VERIFY(noHint());
            pressHotKey(113);
            QVERIFY(fullHint());
            for (int i = 1; i < 4; ++i) QVERIFY(!frmTest->images[i]->isHidden());
        });
        // With the drill closed F2 still cycles its hint.
        QVERIFY(frmTest->isHidden());
        pressHotKey(113);
        QVERIFY(codeOnly());
        pressHotKey(113);
        QVERIFY(noHint());
        pressHotKey(113);
        QVERIFY(fullHint());
    }

    void enteringABoxAfterF2() {
        visit("N31", [] {
            pressHotKey(113);
            QVERIFY(codeOnly());
            key(Qt::Key_Down);
            QVERIFY(fullHint());
            pressHotKey(113);
            pressHotKey(113);
            QVERIFY(noHint());
            key(Qt::Key_Down);
            QCOMPARE(focusedBox(), 3);
            QVERIFY(!frmTest->images[0]->isHidden());
            QVERIFY(frmTest->Label10->isHidden());
            QVERIFY(!frmTest->Panel1->isHidden());
        });
    }

    void enteringABoxNeverSelectsItsText() {
        visit("N31", [] {
            commit("工地");
            key(Qt::Key_Tab);
            QCOMPARE(focusedBox(), 2);
            commit("工");
            key(Qt::Key_Backtab);
            QCOMPARE(focusedBox(), 1);
            QVERIFY(!box(1)->hasSelectedText());
            QCOMPARE(box(1)->cursorPosition(), 2);
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("在:d"));
            key(Qt::Key_Tab);
            QVERIFY(!box(2)->hasSelectedText());
            QCOMPARE(box(2)->cursorPosition(), 1);
            key(Qt::Key_Up);
            QVERIFY(!box(1)->hasSelectedText());
        });
    }

    void backspaceInEmptyBoxThree() {
        visit("N31", [] {
            type(line(1));
            commit("工");
            commit("地");
            QCOMPARE(focusedBox(), 2);
            key(Qt::Key_Down);
            QCOMPARE(focusedBox(), 3);
            key(Qt::Key_Backspace);
            QCOMPARE(focusedBox(), 2);
            QCOMPARE(box(2)->text(), QStringLiteral("工地"));
            key(Qt::Key_Backspace);
            QCOMPARE(box(2)->text(), QStringLiteral("工"));
            // In box 1 Backspace only edits.
            key(Qt::Key_Up);
            key(Qt::Key_Backspace);
            QCOMPARE(focusedBox(), 1);
            QCOMPARE(box(1)->text(), line(1).chopped(1));
        });
    }

    void movingBetweenLines_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<int>("to");
        const int up = Qt::Key_Up, down = Qt::Key_Down;
        QTest::newRow("five lines: Down in box 5") << "N51" << 5 << down << 5;
        QTest::newRow("five lines: Up in box 1") << "N51" << 1 << up << 1;
        QTest::newRow("five lines: Down in box 4") << "N51" << 4 << down << 5;
        QTest::newRow("six lines: Down in box 6") << "N31" << 6 << down << 6;
        QTest::newRow("seven lines: Down in box 7") << "N21" << 7 << down << 7;
        QTest::newRow("seven lines: Up in box 1") << "N21" << 1 << up << 1;
        QTest::newRow("eight lines: Down in box 8") << "N11" << 8 << down << 1;
        QTest::newRow("eight lines: Up in box 1") << "N11" << 1 << up << 8;
        QTest::newRow("eight lines: Up in box 3") << "N11" << 3 << up << 2;
    }
    void movingBetweenLines() {
        QFETCH(QString, command);
        QFETCH(int, from);
        QFETCH(int, keyCode);
        QFETCH(int, to);
        visit(command, [=] {
            for (int n = 1; n < from; ++n) key(Qt::Key_Tab);
            QCOMPARE(focusedBox(), from);
            key(Qt::Key(keyCode));
            QCOMPARE(focusedBox(), to);
            QVERIFY(box(from)->text().isEmpty());
        });
    }

    void rowsPastTheTableEndRepeatTheLastRow() {
        visit("N210", [] {
            QCOMPARE(line(1), row(242));
            QCOMPARE(line(7), row(248));
            QCOMPARE(line(8), row(248));
            QVERIFY(frmTest->lines[7]->isHidden());
        });
    }

    void showingAgainLoadsTheNewLesson() {
        visit("N31", [] {
            typePage(6, 0, 30000);
            commit("工");
            QVERIFY(!frmTest->H1->text().isEmpty());
        });
        visit("N51", [] {
            QCOMPARE(line(1), longRow(29));
            for (int n = 1; n <= 8; ++n) QVERIFY(box(n)->text().isEmpty());
            for (int n = 6; n <= 8; ++n) QVERIFY(box(n)->isHidden());
            QCOMPARE(frmTest->NumH1->text(), QStringLiteral("6000000"));
            QVERIFY(frmTest->H1->text().isEmpty());
            QVERIFY(frmTest->BC2->text().isEmpty());
            QCOMPARE(focusedBox(), 1);
        });
    }
};

QTEST_MAIN(TextDrillTest)
#include "test_textdrill.moc"
