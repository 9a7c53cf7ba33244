// The lesson browser on small fixture pages: the start page loaded at start-up, links followed,
// the page kept between visits, "返回主题", Esc and the close button.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QScrollBar>
#include <QtTest>

#include "app/cmavro.h"
#include "media/CWeb.h"
#include "platform/gbk.h"
#include "platform/screen.h"
#include "support/courseprogram.h"

namespace {

void writePage(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray page(const QString& title, const QString& body) {
    return QStringLiteral(
               "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
               "charset=utf-8\"><title>%1</title></head><body><h1>%1</h1>%2</body>"
               "</html>")
        .arg(title, body)
        .toUtf8();
}

}  // namespace

class BrowserTest : public QObject {
    Q_OBJECT

    CourseProgram program;

    QString mavroFile(const QString& name) const {
        return QDir(program.course().mavro()).filePath(name);
    }
    QString shownFile() const {
        return QFileInfo(frmWeb->WebBrowser1->source().toLocalFile()).fileName();
    }
    QString shownText() const { return frmWeb->WebBrowser1->toPlainText(); }

    // Clicks the link whose text is given, as the pupil does with the mouse.
    void clickLink(const QString& text) {
        QTextBrowser* browser = frmWeb->WebBrowser1;
        QTextCursor found = browser->document()->find(text);
        QVERIFY2(!found.isNull(), qPrintable(text));
        QTextCursor inside(browser->document());
        inside.setPosition(found.selectionStart() + 1);
        browser->setTextCursor(inside);
        browser->ensureCursorVisible();
        const QPoint at = browser->cursorRect(inside).center();
        QVERIFY(!browser->anchorAt(at).isEmpty());
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
    }

    // Opens the window from the menu as "学习帮助[&A]" does and runs the visit inside it.
    void visit(std::function<void()> inside) {
        bool ran = false;
        whenModal([&] {
            QCOMPARE(QApplication::activeModalWidget(), frmWeb);
            inside();
            ran = true;
            if (QTest::currentTestFailed())
                frmWeb->reject();  // a failed check must not leave the window waiting
        });
        frmmavro->runCommand("A3");
        QVERIFY(ran);
        QVERIFY(!frmWeb->isVisible());
    }

  private slots:
    void initTestCase() {
        Screen::setSizeOverride(QSize(1024, 768));
        VERIFY_NO_FAULT(program.startAtMainWindow([this](FixtureCourse&) {
            writePage(mavroFile("main.htm"),
                      page(QStringLiteral("课堂首页"),
                           QStringLiteral("<p><a href=\"lesson1.htm\">第一课 笔画</a></p>"
                                          "<p><a href=\"lesson2.htm\">第二课 字根</a></p>")));
            writePage(
                mavroFile("lesson1.htm"),
                page(QStringLiteral("笔画课"),
                     QStringLiteral("<p>横竖撇捺折</p><p><a href=\"lesson2.htm\">下一课</a></p>")));
            writePage(mavroFile("lesson2.htm"),
                      page(QStringLiteral("字根课"), QStringLiteral("<p>王土大木工</p>")));
        }));
        // The start page was read at start-up: what the file holds later is not shown.
        writePage(mavroFile("main.htm"), page(QStringLiteral("改写以后"), QString()));
    }
    void cleanupTestCase() {
        program.stop();
        Screen::setSizeOverride(QSize());
    }

    void windowLooksAsDesigned() {
        QCOMPARE(frmWeb->windowTitle(), QStringLiteral("Tarvelle---->课堂学习"));
        QCOMPARE(frmWeb->outerGeometry(), QRect((1024 - 800) / 2, (768 - 600) / 2, 800, 575));
        QCOMPARE(frmWeb->Panel1->geometry(), QRect(0, 0, 800, 49));
        QCOMPARE(frmWeb->Label1->text(), QStringLiteral("Keyvane6.0"));
        QCOMPARE(frmWeb->Label1->pos(), QPoint(136, 16));
        QCOMPARE(frmWeb->Label1->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(frmWeb->SpeedButton1->text(), QStringLiteral("返回主题"));
        QCOMPARE(frmWeb->SpeedButton1->geometry(), QRect(372, 5, 145, 41));
        QCOMPARE(frmWeb->SpeedButton2->text(), QStringLiteral("关闭[&C]"));
        QCOMPARE(frmWeb->SpeedButton2->geometry(), QRect(575, 5, 105, 41));
        QVERIFY(!frmWeb->SpeedButton1->icon().isNull());
        QVERIFY(!frmWeb->SpeedButton2->icon().isNull());
        QCOMPARE(frmWeb->Button1->text(), QStringLiteral("Button1"));
        QCOMPARE(frmWeb->Button1->x(), -10000);
        QCOMPARE(frmWeb->WebBrowser1->geometry(), QRect(0, 48, 797, 505));
    }

    void firstOpeningShowsTheStartPageLoadedAtStartUp() {
        visit([this] {
            QCOMPARE(shownFile(), QStringLiteral("main.htm"));
            QVERIFY2(shownText().contains(QStringLiteral("课堂首页")), qPrintable(shownText()));
            QVERIFY(!shownText().contains(QStringLiteral("改写以后")));
            QTest::mouseClick(frmWeb->SpeedButton2, Qt::LeftButton);
        });
    }

    void aFollowedLinkSurvivesCloseAndReopen() {
        visit([this] {
            clickLink(QStringLiteral("第一课"));
            QCOMPARE(shownFile(), QStringLiteral("lesson1.htm"));
            QVERIFY(shownText().contains(QStringLiteral("横竖撇捺折")));
            clickLink(QStringLiteral("下一课"));
            QCOMPARE(shownFile(), QStringLiteral("lesson2.htm"));
            QTest::mouseClick(frmWeb->SpeedButton2, Qt::LeftButton);
        });
        visit([this] {
            QCOMPARE(shownFile(), QStringLiteral("lesson2.htm"));
            QVERIFY(shownText().contains(QStringLiteral("王土大木工")));
            // Back to the start page, read again from the file now.
            QTest::mouseClick(frmWeb->SpeedButton1, Qt::LeftButton);
            QCOMPARE(shownFile(), QStringLiteral("main.htm"));
            QVERIFY(shownText().contains(QStringLiteral("改写以后")));
            QTest::keyClick(frmWeb->WebBrowser1, Qt::Key_Escape);
        });
        visit([this] {
            QCOMPARE(shownFile(), QStringLiteral("main.htm"));
            frmWeb->WebBrowser1->setFocus();
            QTest::keyClick(frmWeb, Qt::Key_C, Qt::AltModifier);  // "关闭[&C]"
        });
    }

    void escAndTheCloseBoxCloseTheWindow() {
        visit([] {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : frmWeb,
                            Qt::Key_Escape);
        });
        visit([] { frmWeb->close(); });
    }

    void aPageInTheGbkCodePageIsDecoded() {
        const QByteArray gbkPage =
            "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
            "</head><body><p>" +
            Gbk::encode(QStringLiteral("五笔字型输入法")) + "</p></body></html>";
        writePage(mavroFile("gbk.htm"), gbkPage);
        visit([this] {
            frmWeb->WebBrowser1->setSource(QUrl::fromLocalFile(mavroFile("gbk.htm")));
            QVERIFY2(shownText().contains(QStringLiteral("五笔字型输入法")),
                     qPrintable(shownText()));
            QTest::mouseClick(frmWeb->SpeedButton1, Qt::LeftButton);
            QTest::mouseClick(frmWeb->SpeedButton2, Qt::LeftButton);
        });
    }

    // The music settings and the lesson browser return to a closed menu: no return keys.
    void toolCommandsReturnToAClosedMenu_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("背景音乐") << QStringLiteral("S1");
        QTest::newRow("学习帮助") << QStringLiteral("A3");
    }
    void toolCommandsReturnToAClosedMenu() {
        QFETCH(QString, command);
        whenModal([] { QApplication::activeModalWidget()->close(); });
        frmmavro->runCommand(command);
        QTest::qWait(100);
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(!frmmavro->MainMenu1->activeAction());
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(BrowserTest)
#include "test_browser.moc"
