// The pupil's roads on a desktop whose input method is ibus (Xvfb with openbox, ibus-daemon with
// ibus-table's Wubi): a text page typed as Wubi codes reaches the result dialog and F2 cycles its
// hints; a finger page typed with Wubi on stays letters; the code lookup's code box takes codes
// as letters; with Wubi off the drill says so. The codes come from the table's own database, so
// each one's first candidate is the character wanted.
#include <QProcess>
#include <QtTest>

#include "app/cmavro.h"
#include "drills/CTT.h"
#include "drills/Ctime.h"
#include "drills/ctest.h"
#include "support/courseprogram.h"
#include "support/fingerpupil.h"
#include "support/ibusservice.h"
#include "support/menustate.h"
#include "support/textdrillsession.h"
#include "tools/CImSetup.h"
#include "tools/CWBFind.h"

namespace {

bool xdotool(const QStringList& arguments) {
    QProcess process;
    process.start("xdotool", arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

// Answers the result dialog with Enter as it comes, noting its time line.
void answerResultDialog(QString* time) {
    FingerPupil::whenModalWindow(frmTime, [time] {
        *time = frmTime->Label1->text();
        if (QTest::qWaitForWindowActive(frmTime))
            xdotool({"key", "Return"});
    });
}

}  // namespace

class X11IbusTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TextDrillSession::Program> program;

  private slots:
    void initTestCase() {
        VERIFY_NO_FAULT(Ibus::warmUp());
        // "课程练习[&5]" holds the first lines of the course, key-name characters and first-level
        // short codes: a line ends on a code the next one may begin with.
        QList<QString> rows = FixtureCourse::defaultPracticeRows();
        const QStringList first = {
            QStringLiteral("王土大木工目日口田山禾白月人金言立水火之已子女又纟"),
            QStringLiteral("一地在要工上是中国同和的有人我主产不为这民了发以经"),
            QStringLiteral("王一土地大在木要工工目上日是口中田国山同禾和白的月有人人金我"),
            QStringLiteral("言主立产水不火为之这已民子了女发又以纟经")};
        for (int i = 0; i < 5; ++i) rows[28 + i] = first[i % 4];
        program = std::make_unique<TextDrillSession::Program>(rows);
        QVERIFY(QTest::qWaitForWindowActive(frmmavro));
    }
    void cleanupTestCase() { program.reset(); }
    void cleanup() { Ibus::logIfFailed(); }

    void textPageThroughWubiAndF2() {
        using TextDrillSession::box;
        using TextDrillSession::line;
        struct Seen {
            QString keys, time, boxes;
            QList<bool> hints;  // pictures and code shown, before and after each F2
        } seen;
        answerResultDialog(&seen.time);
        TextDrillSession::visit("N51", [&seen] {
            QTRY_VERIFY(box(1)->hasFocus());
            auto hints = [] {
                return QList<bool>{frmTest->images[0]->isVisible(), frmTest->Label10->isVisible()};
            };
            seen.hints << hints();
            for (int press = 0; press < 3; ++press) {
                const QList<bool> before = hints();
                QVERIFY(xdotool({"key", "F2"}));
                QTRY_VERIFY(hints() != before);
                seen.hints << hints();
            }
            // Line by line, as a pupil looks up at the next model when a line is done.
            for (int n = 1; n <= 5; ++n) {
                const QString keys = Ibus::keysFor(line(n));
                seen.keys += keys + '\n';
                QVERIFY(xdotool({"type", "--delay", "30", keys}));
                if (!QTest::qWaitFor(
                        [&] { return n == 5 ? !seen.time.isEmpty() : box(n + 1)->hasFocus(); },
                        5000))
                    break;
            }
            for (int n = 1; n <= 5; ++n) seen.boxes += box(n)->text() + '\n';
            QTRY_VERIFY(!seen.time.isEmpty() && frmTest->isActiveWindow());
            xdotool({"key", "Escape"});
            QTRY_VERIFY(!frmTest->isVisible());
        });
        QVERIFY2(seen.time.startsWith(QStringLiteral("输入时间为:")),
                 qPrintable("keys: " + seen.keys + "\nboxes:\n" + seen.boxes));
        // Full, code only, nothing, full again.
        QCOMPARE(seen.hints, (QList<bool>{true, true, false, true, false, false, true, true}));
    }

    // A pupil keeps typing at a line's end: the next line's code begins while the box changes,
    // its first letter right after the Space that ends the line.
    void pageTypedWithoutWaitingAtLineEnds() {
        using TextDrillSession::box;
        using TextDrillSession::line;
        QStringList times;
        QString boxes;
        TextDrillSession::visit("N51", [&] {
            QTRY_VERIFY(box(1)->hasFocus());
            for (int page = 0; page < 3; ++page) {
                QString time;
                answerResultDialog(&time);
                QString next = Ibus::keysFor(line(1));
                for (int n = 1; n <= 5; ++n) {
                    const QString keys = next;
                    next = n < 5 ? Ibus::keysFor(line(n + 1)) : QString();
                    QVERIFY(xdotool({"type", "--delay", "30", keys.chopped(1)}));
                    QVERIFY(xdotool({"type", "--delay", "0", keys.right(1) + next.left(1)}));
                    next.remove(0, 1);
                }
                if (!QTest::qWaitFor([&] { return !time.isEmpty(); }, 30000)) {
                    for (int n = 1; n <= 5; ++n) boxes += box(n)->text() + '\n';
                    break;
                }
                times << time;
                QTRY_VERIFY(frmTest->isActiveWindow() && box(1)->hasFocus());
            }
            xdotool({"key", "Escape"});
            QTRY_VERIFY(!frmTest->isVisible());
        });
        QVERIFY2(times.size() == 3, qPrintable("boxes:\n" + boxes));
    }

    void fingerPageStaysLetters() {
        QString time, box1;
        FingerPupil::whenModalWindow(frmTT, [&time, &box1] {
            QVERIFY(QTest::qWaitForWindowActive(frmTT));
            QVERIFY(IbusService::wubiActive());
            answerResultDialog(&time);
            const QString keys = frmTT->Label1->text() + frmTT->Label2->text() +
                                 frmTT->Label3->text() + frmTT->Label4->text();
            QVERIFY(xdotool({"type", "--delay", "20", keys.left(4)}));
            QTRY_COMPARE(frmTT->Edit1->text(), keys.left(4));
            QVERIFY(xdotool({"type", "--delay", "20", keys.mid(4)}));
            QTRY_VERIFY_WITH_TIMEOUT(!time.isEmpty(), 10000);
            xdotool({"key", "Escape"});
            QTRY_VERIFY(!frmTT->isVisible());
        });
        frmmavro->runCommand("N27");
        QVERIFY(time.startsWith(QStringLiteral("输入时间为:")));
        MenuState::closeMenus();
    }

    void codeBoxTakesCodesAsLetters() {
        QString box, grid;
        FingerPupil::whenModalWindow(frmWBfind, [&box, &grid] {
            QVERIFY(QTest::qWaitForWindowActive(frmWBfind));
            QTRY_VERIFY(frmWBfind->Edit2->hasFocus());
            QVERIFY(xdotool({"type", "--delay", "40", "qvfp"}));
            (void)QTest::qWaitFor([] { return frmWBfind->Query1->rowCount() == 1; }, 5000);
            box = frmWBfind->Edit2->text();
            if (frmWBfind->Query1->rowCount() > 0)
                grid = frmWBfind->Query1->index(0, 0).data().toString();
            xdotool({"key", "Escape"});
            QTRY_VERIFY(!frmWBfind->isVisible());
        });
        frmmavro->runCommand("F1");
        QCOMPARE(box, QStringLiteral("qvfp"));
        QCOMPARE(grid, QStringLiteral("键"));
    }

    // With ibus on its plain keyboard and Wubi in no list the lesson's letters would vanish: the
    // set-up page comes over the drill and names the engine as ibus lists it.
    void wubiOffIsSaidInTheDrill() {
        QCOMPARE(QProcess::execute("ibus", {"engine", "xkb:us::eng"}), 0);
        QString said;
        QTimer page;  // the pupil reads the page and closes it
        connect(&page, &QTimer::timeout, [&said] {
            if (frmImSetup && QApplication::activeModalWidget() == frmImSetup) {
                said = frmImSetup->Label1->text();
                frmImSetup->close();
            }
        });
        page.start(50);
        TextDrillSession::visit("N51", [&said] { QTRY_VERIFY(!said.isEmpty()); });
        QProcess::execute("ibus", {"engine", "table:wubi-jidian86"});
        QVERIFY2(said.contains(QStringLiteral("“汉语 - 极点五笔 86（极爽词库 6.0）”")),
                 qPrintable(said));
    }
};

int main(int argc, char** argv) {
    return Ibus::exec(argc, argv, [] { return new X11IbusTest; });
}

#include "x11_ibus.moc"
