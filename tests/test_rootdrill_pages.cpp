// The root drill's pages: what a showing puts on screen, which records a lesson's pages show,
// captions and moving between the boxes.
#include <QSet>
#include <QtTest>

#include "drills/Ctime.h"
#include "drills/CwbTest1.h"
#include "support/courseprogram.h"
#include "support/rootpupil.h"

using namespace RootPupil;

class RootDrillPagesTest : public QObject {
    Q_OBJECT

    CourseProgram program;

    QList<int> pageRecords() const {
        QList<int> records;
        for (int i = 1; i <= 28; ++i) records << recordOf(i);
        return records;
    }

    static QList<int> run(int from, int count) {
        QList<int> records;
        for (int k = from; k < from + count; ++k) records << k;
        return records;
    }

    // Finishes the page; the result dialog is closed with Enter.
    static void finishPage() {
        whenShown(frmTime, [] { QTest::keyClick(frmTime, Qt::Key_Return); });
        finishAtBox28();
    }

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(program.start()); }

    void strokePagesAlternateAcrossPagesAndShowings() {
        QList<QList<int>> pages;
        auto record = [&] { pages << pageRecords(); };
        // First showing: a page, then a 3..30 page on screen when the pupil leaves.
        showDrill(31, 0, [&] {
            record();
            finishPage();
            record();
        });
        // Second showing: starts at 0 again, and the flag kept from before gives 0..27 next.
        showDrill(31, 0, [&] {
            record();
            finishPage();
            record();
            finishPage();
            record();
        });
        QCOMPARE(pages.size(), 5);
        QCOMPARE(pages[0], run(0, 28));
        QCOMPARE(pages[1], run(3, 28));
        QCOMPARE(pages[2], run(0, 28));
        QCOMPARE(pages[3], run(0, 28));
        QCOMPARE(pages[4], run(3, 28));
    }

    void showingStartsWithEmptyNormalBoxesAndFirstHint() {
        showDrill(37, 56, [] {
            QCOMPARE(focusedBox(), 1);
            QCOMPARE(frmwbTest1->TT->text(), QStringLiteral("题示:") + frmwbTest1->LL[1]->text());
            QVERIFY(frmwbTest1->LL[1]->text().startsWith(QStringLiteral("第")));
            for (int i = 1; i <= 28; ++i) {
                QVERIFY(frmwbTest1->E[i]->text().isEmpty());
                QCOMPARE(frmwbTest1->E[i]->palette().color(QPalette::Text),
                         QGuiApplication::palette().color(QPalette::Text));
                // Every item shows its record: picture, key and hint agree with the fixture.
                const int k = recordOf(i);
                QVERIFY(k >= 56 && k <= 92);
                QCOMPARE(keyOf(i), fixtureKey(k));
                QVERIFY(!frmwbTest1->p[i]->pixmap().isNull());
            }
            QCOMPARE(frmwbTest1->windowTitle(), QStringLiteral("Tarvelle---->第一区字根测试"));
            // Only the frame of item 1's key is up.
            for (QWidget* frame : frmwbTest1->keyFrames)
                QCOMPARE(frame->isVisible(), frame->objectName() == keyOf(1));
        });
    }

    void itemPictureIsTheRecordsPicture() {
        showDrill(31, 0, [] {
            const QImage expected =
                FixtureCourse::labelPicture(QString::number(recordOf(5)))
                    .scaled(18, 18, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            QCOMPARE(frmwbTest1->p[5]->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                     expected.convertToFormat(QImage::Format_RGB32));
        });
    }

    void keyNameLessonRepeatsRoots() {
        for (int showing = 0; showing < 3; ++showing) {
            showDrill(25, 31, [&] {
                for (int page = 0; page < 3; ++page) {
                    const QList<int> records = pageRecords();
                    const QSet<int> distinct(records.begin(), records.end());
                    for (int k : records) QVERIFY(k >= 31 && k <= 55);
                    QVERIFY(records.size() - distinct.size() >= 3);
                    QCOMPARE(frmwbTest1->windowTitle(),
                             page == 0 ? QStringLiteral("Tarvelle---->键名字根测试")
                                       : QStringLiteral("键名字根测试"));
                    finishPage();
                }
            });
        }
    }

    void totalTestDrawsFromTheWholeTable() {
        QSet<int> seen;
        showDrill(256, 0, [&] {
            for (int page = 0; page < 8; ++page) {
                for (int k : pageRecords()) {
                    QVERIFY(k >= 0 && k <= 255);
                    seen << k;
                }
                finishPage();
            }
        });
        // 224 draws with replacement over 256 records reach well over half of them.
        QVERIFY2(seen.size() > 128, qPrintable(QString::number(seen.size())));
    }

    void aFixedSeedRepeatsThePage() {
        frmwbTest1->setSeedSource([] { return 4711u; });
        QList<int> first, second;
        showDrill(126, 130, [&] { first = pageRecords(); });
        showDrill(126, 130, [&] { second = pageRecords(); });
        frmwbTest1->setSeedSource([] { return 815u; });
        QList<int> other;
        showDrill(126, 130, [&] { other = pageRecords(); });
        frmwbTest1->setSeedSource({});
        QCOMPARE(first, second);
        QVERIFY(first != other);
        for (int k : first) QVERIFY(k >= 130 && k <= 255);
    }

    void unknownRangeLoadsPagesAndKeepsCaption() {
        frmwbTest1->setWindowTitle(QStringLiteral("before"));
        showDrill(10, 100, [&] {
            for (int page = 0; page < 2; ++page) {
                for (int k : pageRecords()) QVERIFY(k >= 100 && k <= 109);
                QCOMPARE(frmwbTest1->windowTitle(), QStringLiteral("before"));
                finishPage();
            }
            QCOMPARE(frmwbTest1->windowTitle(), QStringLiteral("before"));
        });
    }

    void upAndDownWrapAround() {
        showDrill(46, 130, [] {
            QCOMPARE(focusedBox(), 1);
            press(Qt::Key_Up);
            QCOMPARE(focusedBox(), 28);
            QCOMPARE(frmwbTest1->TT->text(), QStringLiteral("题示:") + frmwbTest1->LL[28]->text());
            press(Qt::Key_Up);
            QCOMPARE(focusedBox(), 27);
            press(Qt::Key_Down);
            press(Qt::Key_Down);
            QCOMPARE(focusedBox(), 1);
            press(Qt::Key_Down);
            QCOMPARE(focusedBox(), 2);
        });
    }

    void leftAndRightAreSwallowed() {
        showDrill(40, 176, [] {
            press(Qt::Key_Down);
            press(Qt::Key_Down);
            QCOMPARE(focusedBox(), 3);
            type(QLatin1Char('7'));  // unchecked: stays, selected
            QLineEdit* box = frmwbTest1->E[3];
            QCOMPARE(box->text(), QStringLiteral("7"));
            QCOMPARE(box->selectedText(), QStringLiteral("7"));
            const int caret = box->cursorPosition();
            for (int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Left}) {
                press(key);
                QCOMPARE(focusedBox(), 3);
                QCOMPARE(box->cursorPosition(), caret);
                QCOMPARE(box->selectedText(), QStringLiteral("7"));
            }
        });
    }

    void tabFollowsItemOrderAndSelects() {
        showDrill(40, 216, [] {
            type(QLatin1Char('5'));
            press(Qt::Key_Up);
            press(Qt::Key_Down);
            QCOMPARE(focusedBox(), 1);
            QCOMPARE(frmwbTest1->E[1]->selectedText(), QStringLiteral("5"));
            press(Qt::Key_Tab);
            QCOMPARE(focusedBox(), 2);
        });
    }

    void boxesTakeLettersPastTheInputMethod() {
        for (int i = 1; i <= 28; ++i) {
            QLineEdit* box = frmwbTest1->E[i];
            QVERIFY(!box->testAttribute(Qt::WA_InputMethodEnabled));
            // What the platform's input method asks before it takes a box's keys.
            QInputMethodQueryEvent query(Qt::ImEnabled);
            QCoreApplication::sendEvent(box, &query);
            QCOMPARE(query.value(Qt::ImEnabled), QVariant(false));
            QCOMPARE(box->maxLength(), 1);
        }
    }

    void itemsLieWhereTheLayoutPutsThem() {
        QCOMPARE(frmwbTest1->Panel1->geometry(), QRect(56, 272, 681, 169));
        const int tops[] = {18, 58, 96, 132};
        const int lefts[] = {88, 88, 87, 88};
        for (int i = 1; i <= 28; ++i) {
            const int row = (i - 1) / 7, x = lefts[row] + 70 * ((i - 1) % 7);
            QCOMPARE(frmwbTest1->p[i]->geometry(), QRect(x, tops[row], 18, 18));
            QCOMPARE(frmwbTest1->E[i]->geometry(), QRect(x + 37, tops[row], 17, 18));
        }
        QCOMPARE(frmwbTest1->Image1->geometry(), QRect(56, 8, 681, 217));
        QCOMPARE(frmwbTest1->Image1->pixmap().size(), QSize(681, 208));
        QCOMPARE(frmwbTest1->keyFrames.size(), 25);
        QCOMPARE(frmwbTest1->findChild<QWidget*>("Q")->geometry(), QRect(56, 13, 65, 65));
        QCOMPARE(frmwbTest1->findChild<QWidget*>("L")->geometry(), QRect(616, 81, 65, 65));
        QCOMPARE(frmwbTest1->findChild<QWidget*>("M")->geometry(), QRect(500, 149, 65, 65));
        QVERIFY(!frmwbTest1->findChild<QWidget*>("Z"));
    }
};

QTEST_MAIN(RootDrillPagesTest)
#include "test_rootdrill_pages.moc"
