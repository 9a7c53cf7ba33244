// fcitx5 as a pupil has it after adding Wubi and nothing else: the input method off in each new
// window, and the wbx table ordering a code's candidates by frequency, so that ssss gives 森林
// before 木. The program switches Wubi on where the pupil types Chinese, and the set-up page,
// once the pupil says yes, puts single characters first.
#include <QMessageBox>
#include <QProcess>
#include <QtTest>

#include "drills/hintcode.h"
#include "support/courseprogram.h"
#include "support/fcitxservice.h"
#include "support/textdrillsession.h"
#include "tools/CGenda.h"
#include "tools/CImSetup.h"
#include "tools/Cfree.h"

using namespace TextDrillSession;

namespace {

// fcitx5's account of its input contexts, and the state of the focused one ("2": on).
QString fcitxReport() {
    QProcess debugInfo;
    debugInfo.start("dbus-send", {"--session", "--print-reply", "--dest=org.fcitx.Fcitx5",
                                  "/controller", "org.fcitx.Fcitx.Controller1.DebugInfo"});
    debugInfo.waitForFinished(5000);
    return QString::fromUtf8(debugInfo.readAllStandardOutput()) +
           "\nstate: " + FcitxService::remote({}).output;
}

// fcitx5 has the focus in an input context of this program, with the input method on.
bool ownContextOn(const QString& report) {
    const QString program = "program:" + QFileInfo(QApplication::applicationFilePath()).fileName();
    const QStringList lines = report.split('\n');
    return std::any_of(lines.begin(), lines.end(),
                       [&](const QString& line) {
                           return line.contains(program + ' ') && line.contains("focus:1");
                       }) &&
           report.endsWith("state: 2");
}

// Opens the free editor from the menu, types keys into it as the pupil does and returns what
// they gave. fcitx5 gives the editor's window its context on the first visit.
QString typedInEditor(const QStringList& keys, bool firstVisit) {
    QString typed;
    const Fcitx::ContextWatch context;
    TextDrillPupil::whenModalIs(frmFree, [&] {
        [&] {
            QTRY_VERIFY(frmFree->Memo1->hasFocus());
            QVERIFY(!firstVisit || context.await());
            frmFree->Memo1->clear();
            QTRY_VERIFY2_WITH_TIMEOUT(ownContextOn(fcitxReport()), qPrintable(fcitxReport()),
                                      10000);
            Fcitx::strokes(keys);
            QTRY_VERIFY(!frmFree->Memo1->toPlainText().isEmpty());
            QTest::qWait(300);
            typed = frmFree->Memo1->toPlainText();
        }();
        Fcitx::strokes({"Escape"});
    });
    frmmavro->runCommand("N24");
    return typed;
}

// Clicks Yes in the next question box, which comes modal over the window that asks.
void answerYesWhenAsked(int triesLeft = 500) {
    QTimer::singleShot(20, qApp, [=] {
        auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (question)
            question->button(QMessageBox::Yes)->click();
        else if (triesLeft > 0)
            answerYesWhenAsked(triesLeft - 1);
    });
}

}  // namespace

class InputMethodAsAddedTest : public QObject {
    Q_OBJECT

    Program* program = nullptr;

  private slots:
    void initTestCase() {
        VERIFY_NO_FAULT(Fcitx::warmUp());
        program = new Program;
        QVERIFY(QTest::qWaitForWindowActive(frmmavro));
    }
    void cleanupTestCase() { delete program; }
    void cleanup() { Fcitx::logIfFailed(); }

    // fcitx5 as installed lists ssss as 森林 木 林木 and fghy as 雨 寸: the hints say which
    // number to press.
    void hintsFollowTheFrequencyOrder() {
        const HintCode::Order& order = HintCode::inputMethodOrder();
        QCOMPARE(HintCode::choose(order, "木", "ssss", "ssss").text(), QStringLiteral("ssss 2"));
        QCOMPARE(HintCode::choose(order, "寸", "fghy", "fghy").text(), QStringLiteral("fghy 2"));
    }

    // Nobody presses Ctrl+Space: the first code typed in the drill gives its character.
    void aTextLessonTypesChineseAtOnce() {
        const Fcitx::ContextWatch context;
        visit("N31", [&] {
            QTRY_VERIFY(box(1)->hasFocus());
            QVERIFY(context.await());
            QTRY_VERIFY2_WITH_TIMEOUT(ownContextOn(fcitxReport()), qPrintable(fcitxReport()),
                                      10000);
            Fcitx::strokes({"a", "space"});
            QTRY_COMPARE(box(1)->text(), QStringLiteral("工"));
            QVERIFY(!box(1)->hasSelectedText());
            // Once Wubi has stayed on, the program leaves the switch to the pupil.
            QTest::qWait(2000);
            Fcitx::strokes({"ctrl+space"});
            QTRY_COMPARE(FcitxService::remote({}).output, QStringLiteral("1"));
            QTest::qWait(1500);
            QCOMPARE(FcitxService::remote({}).output, QStringLiteral("1"));
        });
    }

    // 跟打: Wubi comes on in its box, and again when the box gets the focus back from a message
    // box, a window new to fcitx5.
    void theTypeAlongBoxAsksForWubiEachTimeItGetsTheFocus() {
        TfrmGenda* window = TfrmGenda::window();
        const Fcitx::ContextWatch context;
        bool on = false, onAgain = false;
        TextDrillPupil::whenModalIs(window, [&] {
            [&] {
                QTRY_VERIFY(window->Edit1->hasFocus());
                QVERIFY(context.await());
                on = QTest::qWaitFor([] { return ownContextOn(fcitxReport()); }, 10000);
                QTimer::singleShot(1500, qApp, [] {
                    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                        box->accept();
                });
                QMessageBox::information(window, QStringLiteral("跟打"), QStringLiteral("跟打"));
                QTRY_VERIFY(window->Edit1->hasFocus());
                onAgain = QTest::qWaitFor([] { return ownContextOn(fcitxReport()); }, 10000);
            }();
            window->reject();
        });
        window->ShowModal();
        QVERIFY(on);
        QVERIFY2(onAgain, qPrintable(fcitxReport()));
    }

    // The page comes by itself once on the first start, as the order is not the one the hints
    // assume; its offer, answered yes, makes the hinted ssss give 木.
    void theSetupPagePutsSingleCharactersFirst() {
        QCOMPARE(typedInEditor({"s", "s", "s", "s", "space"}, true), QStringLiteral("森林"));

        int shown = 0;
        QString found;
        whenModal([&] {
            ++shown;
            QCOMPARE(QApplication::activeModalWidget(), frmImSetup);
            QVERIFY(frmImSetup->Button1->isVisible());
            answerYesWhenAsked();
            QTest::mouseClick(frmImSetup->Button1, Qt::LeftButton);
            QTRY_VERIFY(!frmImSetup->Button1->isVisible());
            found = frmImSetup->Label1->text();
            frmImSetup->close();
        });
        frmmavro->offerInputMethodSetup();
        QTRY_COMPARE(shown, 1);
        QVERIFY2(found.contains(QStringLiteral("正在运行的输入法：fcitx5")), qPrintable(found));
        QVERIFY2(found.contains(QStringLiteral("QT_IM_MODULE）：fcitx")), qPrintable(found));
        QVERIFY2(found.contains(QStringLiteral("在当前输入法分组里")), qPrintable(found));
        QVERIFY2(found.contains(QStringLiteral("单字在词组前面")), qPrintable(found));

        // Once is enough: the next start leaves the pupil alone.
        frmmavro->offerInputMethodSetup();
        QTest::qWait(500);
        QCOMPARE(shown, 1);

        QCOMPARE(typedInEditor({"s", "s", "s", "s", "space"}, false), QStringLiteral("木"));
        // The hints follow the new order.
        QCOMPARE(HintCode::choose(HintCode::inputMethodOrder(), "木", "ssss", "ssss").text(),
                 QStringLiteral("ssss"));
    }
};

int main(int argc, char** argv) {
    return Fcitx::exec(
        argc, argv, [] { return new InputMethodAsAddedTest; }, FcitxService::Profile::AsAdded);
}

#include "x11_inputmethod_asadded.moc"
