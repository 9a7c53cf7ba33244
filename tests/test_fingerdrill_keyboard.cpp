// The finger drill's window and keyboard picture: every key shape lies over its key and shows
// it inverted; the line rules and the page timing rules the drill relies on.
#include <QtTest>

#include "drills/CTT.h"
#include "drills/fingerkeyboard.h"
#include "drills/fingerline.h"
#include "drills/pagetiming.h"
#include "support/courseprogram.h"

using FingerKeyboard::Key;

namespace {

QRgb inverted(QRgb pixel) {
    return qRgb(255 - qRed(pixel), 255 - qGreen(pixel), 255 - qBlue(pixel));
}

QRgb rgb(QRgb pixel) {
    return qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

}  // namespace

class FingerKeyboardTest : public QObject {
    Q_OBJECT

    CourseProgram program;

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(program.start()); }

    void windowLayout() {
        QCOMPARE(frmTT->windowTitle(), QStringLiteral("Tarvelle--->指法练习"));
        QCOMPARE(frmTT->outerGeometry().size(), QSize(800, 575));
        const QList<QLabel*> lines = {frmTT->Label1, frmTT->Label2, frmTT->Label3, frmTT->Label4};
        const QList<QLineEdit*> boxes = {frmTT->Edit1, frmTT->Edit2, frmTT->Edit3, frmTT->Edit4};
        for (int n = 0; n < 4; ++n) {
            QCOMPARE(lines[n]->geometry(), QRect(64, 25 + 56 * n, 689, 23));
            QCOMPARE(boxes[n]->geometry(), QRect(64, 48 + 56 * n, 689, 21));
            QVERIFY(!boxes[n]->hasFrame());
            QVERIFY(!boxes[n]->testAttribute(Qt::WA_InputMethodEnabled));
            QCOMPARE(boxes[n]->palette().color(QPalette::Base), QColor(Qt::cyan));
        }
        QCOMPARE(frmTT->Image1->geometry(), QRect(64, 256, 689, 217));
        QCOMPARE(frmTT->Image1->pixmap().size(), QSize(684, 206));
        QCOMPARE(frmTT->Label5->text(), QStringLiteral("最高记录："));
        QCOMPARE(frmTT->Label6->text(), QStringLiteral("本次记录："));
        QCOMPARE(frmTT->NumH1->text(), QStringLiteral("6000000"));
        QVERIFY(frmTT->NumH1->isHidden());
        QCOMPARE(frmTT->Button1->text(), QStringLiteral("不可视"));
        QCOMPARE(frmTT->Button3->text(), QStringLiteral("帮助键"));
        QVERIFY(frmTT->Button1->isHidden() && frmTT->Button3->isHidden());
        QCOMPARE(frmTT->Button2->text(), QStringLiteral("关闭"));
        QCOMPARE(frmTT->Button2->x(), -1000);
    }

    void everyShapeShowsAtFirstAndLiesOverItsKey() {
        const QImage picture = FingerKeyboard::picture().toImage();
        QCOMPARE(picture.size(), QSize(684, 206));
        QCOMPARE(frmTT->shapes.size(), 28);
        QSet<QChar> characters;
        for (int i = 0; i < 28; ++i) {
            const Key& key = FingerKeyboard::keys[i];
            QWidget* shape = frmTT->shapes[i];
            characters << QLatin1Char(key.character);
            QCOMPARE(shape->objectName(), QString::fromLatin1(key.name));
            QCOMPARE(shape->geometry(), key.rect());
            QVERIFY(!shape->isHidden());
            QVERIFY(!shape->isEnabled());
            QVERIFY(shape->testAttribute(Qt::WA_TransparentForMouseEvents));
            QCOMPARE(shape->size(), key.character == ' ' ? QSize(251, 33) : QSize(38, 33));
            // The key drawn in the picture has exactly the shape's rectangle: its outline runs
            // along the shape's edge and the board shows just outside it.
            const QRect r = key.rect().translated(-FingerKeyboard::pictureOrigin);
            QVERIFY2(QRect(QPoint(0, 0), picture.size()).contains(r), key.name);
            const QRgb board = picture.pixel(r.left() - 2, r.center().y());
            const QRgb outline = picture.pixel(r.topLeft());
            const QRgb face = picture.pixel(r.left() + 3, r.top() + 3);
            QVERIFY2(outline != board && face != board, key.name);
            QCOMPARE(picture.pixel(r.bottomRight()), outline);
            QCOMPARE(picture.pixel(r.right() + 2, r.center().y()), board);
            QCOMPARE(picture.pixel(r.center().x(), r.bottom() + 2), board);
        }
        QCOMPARE(characters.size(), 28);
    }

    void shapesInvertTheKeyBeneath() {
        const QImage picture = FingerKeyboard::picture().toImage();
        const QImage shown = frmTT->grab().toImage();
        for (const Key& key : FingerKeyboard::keys) {
            const QRect r = key.rect();
            for (QPoint p : {r.topLeft(), r.topLeft() + QPoint(1, 1), r.center(), r.bottomRight(),
                             r.topLeft() + QPoint(2, 2)}) {
                const QRgb beneath = picture.pixel(p - FingerKeyboard::pictureOrigin);
                QCOMPARE(rgb(shown.pixel(p)), inverted(beneath));
            }
            const QPoint outside = r.topLeft() - QPoint(2, 0);
            QCOMPARE(rgb(shown.pixel(outside)),
                     rgb(picture.pixel(outside - FingerKeyboard::pictureOrigin)));
        }
        frmTT->Button1->click();  // hides every shape
        const QImage plain = frmTT->grab().toImage();
        for (const Key& key : FingerKeyboard::keys) {
            const QPoint p = key.rect().center();
            QCOMPARE(rgb(plain.pixel(p)), rgb(picture.pixel(p - FingerKeyboard::pictureOrigin)));
        }
    }

    void shapesLookUpByCharacterWithCase() {
        QVERIFY(FingerKeyboard::find("a"));
        QCOMPARE(FingerKeyboard::find("a")->name, "A");
        QCOMPARE(FingerKeyboard::find(";")->name, "LL");
        QCOMPARE(FingerKeyboard::find(" ")->name, "space");
        for (const char* none : {"A", "Q", "1", ",", "", "ab"})
            QVERIFY2(!FingerKeyboard::find(QString::fromLatin1(none)), none);
    }

    void lineRules() {
        QCOMPARE(FingerLine::nextKey("asdf", 0), QStringLiteral("a"));
        QCOMPARE(FingerLine::nextKey("asdf", 3), QStringLiteral("f"));
        QCOMPARE(FingerLine::nextKey("asdf", 4), QString());
        QVERIFY(!FingerLine::lastCharMatches("", "asdf"));
        QVERIFY(FingerLine::lastCharMatches("as", "asdf"));
        QVERIFY(FingerLine::lastCharMatches("xs", "asdf"));  // only the last one counts
        QVERIFY(!FingerLine::lastCharMatches("aS", "asdf"));
        QVERIFY(!FingerLine::lastCharMatches("asdff", "asdf"));
    }

    void pageTimingUnderOneSecondDividesByOne() {
        QCOMPARE(PageTiming::timeText(400), QStringLiteral("输入时间为:0分0秒"));
        QCOMPARE(PageTiming::speedText(52, 400), QStringLiteral("每分钟3120个"));
        QCOMPARE(PageTiming::speedText(52, 0), QStringLiteral("每分钟3120个"));
        QCOMPARE(PageTiming::speedText(52, 1999), QStringLiteral("每分钟3120个"));
        QCOMPARE(PageTiming::speedText(52, 7000), QStringLiteral("每分钟445个"));  // 445.71 cut
        QCOMPARE(PageTiming::timeText(125999), QStringLiteral("输入时间为:2分5秒"));
        QVERIFY(PageTiming::isNewBest(2999, "3000"));
        QVERIFY(!PageTiming::isNewBest(3000, "3000"));
        QVERIFY(PageTiming::isNewBest(5999999, "6000000"));
    }
};

QTEST_MAIN(FingerKeyboardTest)
#include "test_fingerdrill_keyboard.moc"
