// The text drill under the pupil's real input method: Xvfb with openbox, a private D-Bus session
// and fcitx5 running its Wubi table (fresh configuration, learning off). The pupil types Wubi codes
// as X key strokes; the drill must judge only what the input method commits, whether the codes
// come one by one or in a burst.
#include <QClipboard>
#include <QProcess>
#include <QtTest>

#include "support/courseprogram.h"
#include "support/fcitxservice.h"
#include "support/textdrillsession.h"
#include "tools/CGenda.h"

using namespace TextDrillSession;

namespace {

// "课程练习[&1]" of the course, and the keys that type each line through fcitx5's Wubi table:
// a code and Space for the first candidate, a four-letter code of a single candidate without
// (Wubi takes it at once), punctuation keys as they are.
struct LessonLine {
    const char* text;
    const char* keys;
};
const LessonLine kLessonOne[] = {
    {"王土大木工目日口田山禾白月人金言立水火之已子女又纟",
     "ggg ffffdd ssss a hhhhjjjjkkkklll mmm ttt rrr eee w qqqqyyy uu ii ooo pp nnnnbb vvv ccc "
     "xxx "},
    {"一地在要工上是中国同和的有人我主产不为这民了发以经",
     "g f d s a h j k l m t r e w q y u i o p n b v c x "},
    {"王一土地大在木要工工目上日是口中田国山同禾和白的月有人人金我",
     "ggg g fffff dd d ssss s a a hhhhh jjjjj kkkkk lll l mmm m ttt t rrr r eee e w w qqqqq "},
    {"言主立产水不火为之这已民子了女发又以纟经",
     "yyy y uu u ii i ooo o pp p nnnnn bb b vvv v ccc c xxx x "},
    {"中国，人民，工人，主人，土地，大地，山水，日月。",
     "k l ,w n ,a w ,y w ,fffff ,dd f ,mmm ii ,jjjjeee ."},
    {"金木水火土，子女，人口，田地，国王，国土，大国，不同。",
     "qqqqssss ii ooo ffff,bb vvv ,w kkkk,lll f ,l ggg ,l ffff,dd l ,i m ."},
    {"发言，中立，以为，主要，产地，国产，要人，立言，为人。",
     "v yyy ,k uu ,c o ,y s ,u f ,l u ,s w ,uu yyy ,o w ."},
    {"我和子女在山上，大水在山口，日月同在。",
     "q t bb vvv d mmm h ,dd ii d mmm kkkk,jjjjeee m d ."},
};

QList<QString> rows() {
    QList<QString> result = practiceRows();
    for (int i = 0; i < 8; ++i) result[i] = QString::fromUtf8(kLessonOne[i].text);
    return result;
}

// Keys typed as a keyboard types them, delayMs apart, while the program goes on handling what
// arrives.
void typeKeys(const QString& keys, int delayMs = 40) {
    QProcess xdotool;
    xdotool.start("xdotool", {"type", "--delay", QString::number(delayMs), keys});
    QVERIFY(xdotool.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 120000));
}

int focusedBox() {
    for (int n = 1; n <= 8; ++n)
        if (QApplication::focusWidget() == box(n))
            return n;
    return 0;
}

QString boxTexts() {
    QString texts;
    for (int n = 1; n <= 8; ++n)
        texts +=
            QStringLiteral("\nbox %1: %2 [%3]").arg(n).arg(box(n)->text(), box(n)->selectedText());
    return texts;
}

// fcitx gives the drill's window an input context of its own a moment after it is shown, and
// keys typed before reach box 1 as plain letters. Types the first character of line 1 until Wubi
// gives it.
void wubiOn(const QString& keys, const QString& first) {
    QTRY_VERIFY(box(1)->hasFocus());
    QTRY_VERIFY_WITH_TIMEOUT(FcitxService::wubiActive(), 10000);
    for (int attempt = 0; attempt < 20 && box(1)->text() != first; ++attempt) {
        box(1)->clear();
        typeKeys(keys);
        (void)QTest::qWaitFor([&] { return box(1)->text() == first; }, 1000);
    }
    QCOMPARE(box(1)->text(), first);
}

// Esc as the pupil presses it; the return keys then open the menu at the command (checked by
// visit()).
void leaveWithEsc() {
    Fcitx::strokes({"Escape"});
    QTRY_VERIFY(!frmTest->isVisible());
}

}  // namespace

class FcitxWubiTest : public QObject {
    Q_OBJECT

    Program* program = nullptr;

  private slots:
    void initTestCase() {
        VERIFY_NO_FAULT(Fcitx::warmUp());
        program = new Program(rows());
        QVERIFY(QTest::qWaitForWindowActive(frmmavro));
    }
    void cleanupTestCase() { delete program; }
    void cleanup() { Fcitx::logIfFailed(); }

    // The wrong character is selected at once and the right one typed over it; the line done
    // hands the focus on, and the menu opens at the command after Esc.
    void wubiCodesTypeALineThatTheCheckAccepts() {
        visit("N31", [] {
            QCOMPARE(line(1), QStringLiteral("工地在要中国人民第16行"));
            wubiOn("a ", QStringLiteral("工"));
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("地:f"));
            typeKeys("d ");
            QTRY_COMPARE(box(1)->text(), QStringLiteral("工在"));
            QCOMPARE(box(1)->selectedText(), QStringLiteral("在"));
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("地:f"));
            typeKeys("f ");
            QTRY_COMPARE(box(1)->text(), QStringLiteral("工地"));
            QVERIFY(!box(1)->hasSelectedText());
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("在:d"));

            // One-letter and two-letter short codes, digits as they are.
            typeKeys("d s k l w n tx 16tf ");
            QTRY_VERIFY(box(2)->hasFocus());
            QCOMPARE(box(1)->text(), line(1));
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("工:a"));
            typeKeys("a f ");
            QTRY_COMPARE(box(2)->text(), QStringLiteral("工地"));
            QVERIFY(!box(2)->hasSelectedText());
            leaveWithEsc();
        });
    }

    // Beginning the next code over a selected wrong character removes it before anything is
    // committed. Box 1 back at two bytes does not restart the clock, and a box back at its
    // line does not hand the focus on while the pupil is still composing.
    void startingACodeOverAWrongCharacter() {
        visit("N31", [] {
            tick = 1000;
            wubiOn("a ", QStringLiteral("工"));
            typeKeys("d ");
            QTRY_COMPARE(box(1)->selectedText(), QStringLiteral("在"));
            QCOMPARE(frmTest->pageClock.startTime(), 1000u);
            tick = 2000;
            typeKeys("f");
            QTRY_VERIFY(box(1)->composing());
            QCOMPARE(box(1)->text(), QStringLiteral("工"));
            QCOMPARE(frmTest->pageClock.startTime(), 1000u);
            typeKeys(" ");
            QTRY_COMPARE(box(1)->text(), QStringLiteral("工地"));
            QCOMPARE(frmTest->pageClock.startTime(), 1000u);

            // The line finished, then a character past its end, then the next code begun.
            typeKeys("d s k l w n tx 16tf ");
            QTRY_COMPARE(focusedBox(), 2);
            Fcitx::strokes({"Up"});
            QTRY_COMPARE(focusedBox(), 1);
            typeKeys("a ");
            QTRY_COMPARE(box(1)->selectedText(), QStringLiteral("工"));
            typeKeys("f");
            QTRY_VERIFY(box(1)->composing());
            QCOMPARE(box(1)->text(), line(1));
            QTest::qWait(300);
            QCOMPARE(focusedBox(), 1);
            typeKeys(" ");
            QTRY_COMPARE(box(1)->text(), line(1) + QStringLiteral("地"));
            QCOMPARE(box(1)->selectedText(), QStringLiteral("地"));
            QCOMPARE(focusedBox(), 1);
            leaveWithEsc();
        });
    }

    // Leaving a box and coming back keeps its wrong character selected, so the next commit
    // replaces it.
    void wrongCharacterStaysMarkedAcrossAVisit() {
        const QList<QStringList> ways = {{"Down", "Up"}, {"Tab", "shift+Tab"}};
        for (const QStringList& way : ways) {
            visit("N31", [way] {
                wubiOn("a ", QStringLiteral("工"));
                typeKeys("d ");
                QTRY_COMPARE(box(1)->selectedText(), QStringLiteral("在"));
                Fcitx::strokes({way[0]});
                QTRY_COMPARE(focusedBox(), 2);
                Fcitx::strokes({way[1]});
                QTRY_COMPARE(focusedBox(), 1);
                QCOMPARE(box(1)->selectedText(), QStringLiteral("在"));
                QCOMPARE(frmTest->Label10->text(), QStringLiteral("地:f"));
                typeKeys("f ");
                QTRY_COMPARE(box(1)->text(), QStringLiteral("工地"));
                QVERIFY(!box(1)->hasSelectedText());
                leaveWithEsc();
            });
        }
    }

    // A whole page of codes with no pause between lines: the keys of the next line reach the
    // input method before the drill has handed the focus on. Every line must come out right and
    // the page finish, as it does in a single plain box.
    void aPageTypedInABurstFinishes_data() {
        QTest::addColumn<int>("delayMs");
        QTest::newRow("4 ms between keys") << 4;
        QTest::newRow("25 ms between keys") << 25;
    }
    void aPageTypedInABurstFinishes() {
        QFETCH(int, delayMs);
        visit("N11", [delayMs] {
            wubiOn("ggg ", QStringLiteral("王"));
            // The result dialog comes from inside the last commit, whenever the keys are through.
            QStringList typed;
            QTimer dialogWatch;
            QObject::connect(&dialogWatch, &QTimer::timeout, [&typed] {
                if (QApplication::activeModalWidget() != frmTime || !frmTime->isVisible())
                    return;
                for (int n = 1; n <= 8 && typed.size() < 8; ++n) typed << box(n)->text();
                QTest::keyClick(frmTime->focusWidget() ? frmTime->focusWidget() : frmTime,
                                Qt::Key_Return);
            });
            dialogWatch.start(20);
            QString keys;
            for (const LessonLine& lessonLine : kLessonOne) keys += lessonLine.keys;
            keys.remove(0, 4);  // "ggg ": 王 is in
            QElapsedTimer clock;
            clock.start();
            typeKeys(keys, delayMs);
            qInfo("keys typed in %lld ms", clock.elapsed());
            QTRY_VERIFY2_WITH_TIMEOUT(typed.size() == 8, qPrintable(typed.join("\n") + boxTexts()),
                                      60000);
            qInfo("page done after %lld ms", clock.elapsed());
            for (int n = 1; n <= 8; ++n) QCOMPARE(typed[n - 1], line(n));
            QTRY_COMPARE(focusedBox(), 1);
            leaveWithEsc();
        });
    }

    // 跟打练习: a copied text pasted with Ctrl+V and typed to its end through Wubi; the 成绩
    // line is on the clipboard, its keys counted from what fcitx5 showed and committed: a letter
    // and Space for each character, one key for each mark. The fixture course has no word
    // table: the ideal is not known.
    void aPastedTextTypedToTheEndGivesTheResultLine() {
        QGuiApplication::clipboard()->setText(QStringLiteral("中国，人民，\n工人。"));
        TfrmGenda* window = TfrmGenda::window();
        QString result;
        TextDrillPupil::whenModalIs(window, [&] {
            [&] {
                TypingBox* typing = window->Edit1;
                QTRY_VERIFY(typing->hasFocus());
                Fcitx::strokes({"ctrl+v"});
                QTRY_COMPARE(window->Label1->text(), QStringLiteral("第 1 段 / 共 1 段"));
                QTRY_VERIFY_WITH_TIMEOUT(FcitxService::wubiActive(), 10000);
                for (int attempt = 0; attempt < 20 && typing->text() != QStringLiteral("中");
                     ++attempt) {
                    Fcitx::strokes({"F3"});
                    QTRY_VERIFY(typing->text().isEmpty());
                    typeKeys("k ");
                    (void)QTest::qWaitFor([&] { return typing->text() == "中"; }, 1000);
                }
                Fcitx::strokes({"F3"});  // Wubi is on: the 段 from its start
                QTRY_VERIFY(typing->text().isEmpty());
                tick = 1000;
                typeKeys("k l ,w n ,a w ");
                QTRY_COMPARE(typing->text(), QStringLiteral("中国，人民，工人"));
                tick = 10000;
                typeKeys(".");
                QTRY_VERIFY(typing->isReadOnly());
                result = QGuiApplication::clipboard()->text();
            }();
            window->reject();
        });
        window->ShowModal();
        QVERIFY2(result.startsWith(QStringLiteral("第1段 速度60.00 击键1.67 码长1.67(理想-) ")),
                 qPrintable(result));
        QVERIFY2(result.contains(QStringLiteral(" 字数9 错字0 用时9.0秒 键准100.0% 回改0 ")),
                 qPrintable(result));
        QVERIFY(result.endsWith(QStringLiteral("输入法:五笔86/fcitx qorvex")));
    }
};

int main(int argc, char** argv) {
    return Fcitx::exec(argc, argv, [] { return new FcitxWubiTest; });
}

#include "x11_textdrill_fcitx.moc"
