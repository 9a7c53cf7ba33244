// The code lookup as a pupil uses it: codes typed into the code box list characters in the grid,
// characters typed, committed or pasted into the character box show their codes and roots.
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QtTest>

#include "app/cmavro.h"
#include "platform/gbk.h"
#include "support/courseprogram.h"
#include "support/modalrun.h"
#include "tools/CWBFind.h"
#include "tools/codepattern.h"

class CodeLookupTest : public QObject {
    Q_OBJECT

    CourseProgram program;

    // Runs body while the lookup is open, as after F8 from the main window.
    void whileOpen(const std::function<void()>& body) {
        QVERIFY(runWhileModal([] { return frmWBfind->ShowModal(); }, frmWBfind, body));
    }

    // The characters of the grid, top to bottom.
    static QString gridCharacters() {
        QString characters;
        for (int row = 0; row < frmWBfind->Query1->rowCount(); ++row)
            characters += frmWBfind->Query1->index(row, 0).data().toString();
        return characters;
    }

    static void commit(QWidget* box, const QString& text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(box, &event);
    }

    static bool picturesBlank() {
        for (QLabel* image :
             {frmWBfind->Image1, frmWBfind->Image2, frmWBfind->Image3, frmWBfind->Image4})
            if (!image->pixmap().isNull())
                return false;
        return true;
    }

    static bool showsPicture(QLabel* image, const QString& root) {
        return image->pixmap().toImage().convertToFormat(QImage::Format_RGB32) ==
               FixtureCourse::labelPicture(root).convertToFormat(QImage::Format_RGB32);
    }

    // Types into the character box through the input method, on the second tab.
    static QLineEdit* characterBox() {
        frmWBfind->PageControl1->setCurrentWidget(frmWBfind->TabSheet1);
        frmWBfind->Edit1->setFocus();
        return frmWBfind->Edit1;
    }

  private slots:
    void initTestCase() {
        VERIFY_NO_FAULT(program.start([](FixtureCourse& course) {
            // 衋 is D0 61, the last byte of 中 and an "a": a key straddling "中a" would find it.
            QList<FixtureCourse::Code> codes = FixtureCourse::defaultCodes();
            codes << FixtureCourse::Code{QStringLiteral("衋"), "v", "vfl", {}};
            course.writeCodeTable(codes);
        }));
    }
    void cleanup() { VERIFY_NO_FAULT(program.errorText()); }

    void patternTable_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("queries");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("one letter") << "a" << false << "";
        QTest::newRow("ab") << "ab" << true << "ab%%";
        QTest::newRow("abc") << "abc" << true << "abc%";
        QTest::newRow("abcd") << "abcd" << true << "abcd";
        QTest::newRow("azc") << "azc" << true << "a_c%";
        QTest::newRow("zzzz") << "zzzz" << true << "____";
        QTest::newRow("typed wildcards stay") << "a%_" << true << "a%_%";
    }
    void patternTable() {
        QFETCH(QString, code);
        QFETCH(bool, queries);
        QFETCH(QString, pattern);
        QCOMPARE(CodePattern::queries(code), queries);
        if (queries)
            QCOMPARE(CodePattern::pattern(code), pattern);
    }

    // The key is always one whole character; a single-byte character has none.
    void keyBeforeCaret_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QByteArray>("key");
        const QByteArray zhong = Gbk::encode(u"中"), guo = Gbk::encode(u"国");
        const QByteArray xi = Gbk::encode(u"衋");  // D0 61: its second byte is "a"
        QTest::newRow("caret at 0") << "中国" << 0 << zhong;
        QTest::newRow("caret at 0 before a letter") << "a中" << 0 << QByteArray();
        QTest::newRow("caret after a leading letter") << "a中" << 1 << QByteArray();
        QTest::newRow("after first character") << "中国" << 2 << zhong;
        QTest::newRow("after second character") << "中国" << 4 << guo;
        QTest::newRow("after single byte") << "中a" << 3 << QByteArray();
        QTest::newRow("before single byte") << "中a" << 2 << zhong;
        QTest::newRow("after a letter in between") << "中a国" << 5 << guo;
        QTest::newRow("second byte like a letter") << "衋a" << 2 << xi;
        QTest::newRow("letter after that") << "衋a" << 3 << QByteArray();
        QTest::newRow("empty text") << "" << 0 << QByteArray();
    }
    void keyBeforeCaret() {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QByteArray, key);
        QCOMPARE(CodePattern::keyBeforeCaret(Gbk::encode(text), caret), key);
    }

    void showingStartsWithEmptyGridOnCodeTab() {
        QCOMPARE(frmWBfind->windowTitle(), QStringLiteral("Tarvelle---->五笔查询"));
        QCOMPARE(frmWBfind->PageControl1->tabText(0), QStringLiteral("根据编码查汉字"));
        QCOMPARE(frmWBfind->PageControl1->tabText(1), QStringLiteral("根据汉字查编码"));
        QVERIFY(frmWBfind->Button1->x() <= -10000);
        whileOpen([] {
            QCOMPARE(frmWBfind->PageControl1->currentWidget(), frmWBfind->TabSheet2);
            QTRY_COMPARE(QApplication::focusWidget(), frmWBfind->Edit2);
            QVERIFY(frmWBfind->Query1->Active());
            QCOMPARE(frmWBfind->Query1->rowCount(), 0);
            QCOMPARE(frmWBfind->Query1->headerData(0, Qt::Horizontal).toString(), "文字");
            QCOMPARE(frmWBfind->Query1->headerData(1, Qt::Horizontal).toString(), "简码");
            QCOMPARE(frmWBfind->Query1->headerData(2, Qt::Horizontal).toString(), "全码");
            QVERIFY(frmWBfind->DBGrid1->verticalHeader()->isVisible());
            QCOMPARE(frmWBfind->DBGrid1->selectionBehavior(), QAbstractItemView::SelectRows);
            QCOMPARE(frmWBfind->DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
        });
    }

    void upperCaseZzzzListsEveryFourLetterCode() {
        whileOpen([] {
            QTest::keyClicks(frmWBfind->Edit2, "ZZZZ");
            QCOMPARE(frmWBfind->Edit2->text(), QStringLiteral("zzzz"));
            QCOMPARE(gridCharacters(), QString("工在国人第行经键的一"));
            for (int row = 0; row < frmWBfind->Query1->rowCount(); ++row)
                QCOMPARE(frmWBfind->Query1->index(row, 2).data().toString().size(), 4);
        });
    }

    void codesListTheirCharacters_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("characters");
        QTest::newRow("two letters") << "tf"
                                     << "行";
        QTest::newRow("z for the second letter") << "tz"
                                                 << "第行";
        QTest::newRow("three letters") << "lgy"
                                       << "国";
        QTest::newRow("full code") << "qvfp"
                                   << "键";
        QTest::newRow("z in the middle") << "dzfd"
                                         << "在";
        QTest::newRow("short full code") << "na"
                                         << "民";
        QTest::newRow("no such code") << "yy"
                                      << "";
        QTest::newRow("more than four letters") << "wwwwa"
                                                << "人";
    }
    void codesListTheirCharacters() {
        QFETCH(QString, typed);
        QFETCH(QString, characters);
        whileOpen([&] {
            QTest::keyClicks(frmWBfind->Edit2, typed);
            QCOMPARE(gridCharacters(), QString(characters));
        });
    }

    void resultRowShowsShortAndFullCode() {
        whileOpen([] {
            QTest::keyClicks(frmWBfind->Edit2, "txht");
            QCOMPARE(frmWBfind->Query1->rowCount(), 1);
            QCOMPARE(frmWBfind->Query1->index(0, 0).data().toString(), "第");
            QCOMPARE(frmWBfind->Query1->index(0, 1).data().toString(), "tx");
            QCOMPARE(frmWBfind->Query1->index(0, 2).data().toString(), "txht");
        });
    }

    void deletingBackToOneLetterKeepsTheList() {
        whileOpen([] {
            QTest::keyClicks(frmWBfind->Edit2, "tx");
            QCOMPARE(gridCharacters(), QString("第"));
            QTest::keyClick(frmWBfind->Edit2, Qt::Key_Backspace);
            QCOMPARE(frmWBfind->Edit2->text(), QStringLiteral("t"));
            QCOMPARE(gridCharacters(), QString("第"));
            QTest::keyClick(frmWBfind->Edit2, Qt::Key_Backspace);
            QCOMPARE(gridCharacters(), QString("第"));
        });
    }

    // Whatever the pupil types stays inside the LIKE pattern; "%" and "_" stay wildcards.
    void hostileCodesStayInsideThePattern_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("characters");
        QTest::newRow("double quote") << "a\""
                                      << "";
        QTest::newRow("quote closing early") << "\"or\""
                                             << "";
        QTest::newRow("single quote") << "a'"
                                      << "";
        QTest::newRow("quote and wildcard") << "%\"%"
                                            << "";
        QTest::newRow("comment") << "a--"
                                 << "";
        QTest::newRow("percent is a wildcard") << "w%"
                                               << "人";
        QTest::newRow("underscore is a wildcard") << "_a"
                                                  << "工民";
        QTest::newRow("a lone percent run") << "%h"
                                            << "在中第行";
    }
    void hostileCodesStayInsideThePattern() {
        QFETCH(QString, typed);
        QFETCH(QString, characters);
        whileOpen([&] {
            QTest::keyClicks(frmWBfind->Edit2, "zzzz");
            QVERIFY(frmWBfind->Query1->rowCount() > 0);
            frmWBfind->Edit2->selectAll();
            QTest::keyClicks(frmWBfind->Edit2, typed);
            QCOMPARE(frmWBfind->Edit2->text(), typed);
            QVERIFY(frmWBfind->Query1->Active());
            QCOMPARE(gridCharacters(), QString(characters));
        });
        VERIFY_NO_FAULT(program.errorText());
    }

    void spaceSelectsTheWholeCode() {
        whileOpen([] {
            QTest::keyClicks(frmWBfind->Edit2, "tx");
            QTest::keyClick(frmWBfind->Edit2, Qt::Key_Space);
            QCOMPARE(frmWBfind->Edit2->text(), QStringLiteral("tx"));
            QCOMPARE(frmWBfind->Edit2->selectedText(), QStringLiteral("tx"));
            QTest::keyClicks(frmWBfind->Edit2, "lg");
            QCOMPARE(frmWBfind->Edit2->text(), QStringLiteral("lg"));
            QCOMPARE(gridCharacters(), QString("国"));
        });
    }

    void codeBoxBypassesTheInputMethod() {
        QVERIFY(!frmWBfind->Edit2->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(frmWBfind->Edit1->testAttribute(Qt::WA_InputMethodEnabled));
        QCOMPARE(frmWBfind->Edit2->maxLength(), 4);
    }

    void caretAtStartLooksUpFirstCharacter() {
        whileOpen([] {
            QLineEdit* box = characterBox();
            commit(box, "中国");
            QTest::keyClick(box, Qt::Key_Home);
            QCOMPARE(box->cursorPosition(), 0);
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("中:k 、khk"));
            QVERIFY(showsPicture(frmWBfind->Image1, "口"));
            QVERIFY(showsPicture(frmWBfind->Image2, "丨"));
            QVERIFY(frmWBfind->Image3->pixmap().isNull());
            QVERIFY(frmWBfind->Image4->pixmap().isNull());
        });
    }

    void caretAfterALeadingLetterShowsNothing() {
        whileOpen([] {
            QLineEdit* box = characterBox();
            commit(box, "国");
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("国:l 、lgyi"));
            box->clear();
            QTest::keyClick(box, Qt::Key_A);
            commit(box, "中");
            QTest::keyClick(box, Qt::Key_Home);
            QTest::keyClick(box, Qt::Key_Right);
            QCOMPARE(box->cursorPosition(), 1);
            QCOMPARE(frmWBfind->Pan->text(), QString());
            QVERIFY(picturesBlank());
            QTest::keyClick(box, Qt::Key_End);
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("中:k 、khk"));
        });
    }

    void caretAfterSingleByteCharacterEmptiesThePanel() {
        whileOpen([] {
            QLineEdit* box = characterBox();
            commit(box, "中");
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("中:k 、khk"));
            QVERIFY(!picturesBlank());
            QTest::keyClick(box, Qt::Key_A);
            QCOMPARE(box->text(), QStringLiteral("中a"));
            QCOMPARE(frmWBfind->Pan->text(), QString());
            QVERIFY(picturesBlank());
            QTest::keyClick(box, Qt::Key_Left);
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("中:k 、khk"));
            commit(box, "衋");
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("衋:v 、vfl"));
        });
    }

    void walkingThroughALineShowsEachCharacter() {
        whileOpen([] {
            QLineEdit* box = characterBox();
            commit(box, "第一行的键");
            QTest::keyClick(box, Qt::Key_Home);
            const QStringList expected{"第:tx 、txht", "一:g 、ggll", "行:tf 、tfhh", "的:r 、rqyy",
                                       "键:qvfp 、qvfp"};
            for (const QString& panel : expected) {
                QTest::keyClick(box, Qt::Key_Right);
                QCOMPARE(frmWBfind->Pan->text(), panel);
            }
            QVERIFY(showsPicture(frmWBfind->Image4, "廴"));
            for (int i = expected.size() - 2; i >= 0; --i) {
                QTest::keyClick(box, Qt::Key_Left);
                QCOMPARE(frmWBfind->Pan->text(), expected[i]);
            }
            QVERIFY(showsPicture(frmWBfind->Image4, "丿"));
            QTest::keyClick(box, Qt::Key_Right);
            QCOMPARE(frmWBfind->Pan->text(), expected[1]);
            QVERIFY(showsPicture(frmWBfind->Image1, "一"));
            QVERIFY(frmWBfind->Image2->pixmap().isNull());
            QVERIFY(frmWBfind->Image4->pixmap().isNull());
        });
    }

    void clickMovesTheLookup() {
        whileOpen([] {
            QLineEdit* box = characterBox();
            commit(box, "人民");
            QTest::keyClick(box, Qt::Key_Home);
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("人:w 、wwww"));
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
            QCOMPARE(box->cursorPosition(), 2);
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("民:n 、nav"));
        });
    }

    void inputMethodCommitLooksUpWithoutKeyRelease() {
        whileOpen([] {
            QLineEdit* box = characterBox();
            commit(box, "工");
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("工:a 、aaaa"));
            commit(box, "经");
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("经:x 、xcag"));
            QVERIFY(showsPicture(frmWBfind->Image3, "工"));
        });
    }

    void pasteLooksUpTheLastCharacter() {
        whileOpen([] {
            QLineEdit* box = characterBox();
            QGuiApplication::clipboard()->setText(QStringLiteral("中国人"));
            QTest::keyPress(box, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(box->text(), QStringLiteral("中国人"));
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("人:w 、wwww"));
            QTest::keyRelease(box, Qt::Key_V, Qt::ControlModifier);
        });
    }

    void reopeningEmptiesBoxesAndGridButKeepsThePanel() {
        whileOpen([] {
            QTest::keyClicks(frmWBfind->Edit2, "zzzz");
            QVERIFY(frmWBfind->Query1->rowCount() > 0);
            QLineEdit* box = characterBox();
            commit(box, "键");
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("键:qvfp 、qvfp"));
            QTest::keyClick(box, Qt::Key_Escape);
            QVERIFY(!frmWBfind->isVisible());
            QCOMPARE(frmWBfind->Edit1->text(), QString());
            QCOMPARE(frmWBfind->Edit2->text(), QString());
            QVERIFY(frmWBfind->Query1->rowCount() > 0);  // the grid keeps its list until shown
        });
        whileOpen([] {
            QCOMPARE(frmWBfind->Edit1->text(), QString());
            QCOMPARE(frmWBfind->Edit2->text(), QString());
            QCOMPARE(frmWBfind->Query1->rowCount(), 0);
            QCOMPARE(frmWBfind->Pan->text(), QStringLiteral("键:qvfp 、qvfp"));
            QVERIFY(showsPicture(frmWBfind->Image4, "廴"));
            QCOMPARE(frmWBfind->PageControl1->currentWidget(), frmWBfind->TabSheet2);
        });
    }

    void closeButtonsCloseTheWindow() {
        for (QToolButton* button : {frmWBfind->SpeedButton1, frmWBfind->SpeedButton2}) {
            whileOpen([button] {
                QCOMPARE(button->text(), QStringLiteral("关闭[&C]"));
                QVERIFY(!button->icon().isNull());
                frmWBfind->PageControl1->setCurrentWidget(button->parentWidget());
                QTest::keyClicks(frmWBfind->Edit2, "tx");
                QTest::mouseClick(button, Qt::LeftButton);
                QVERIFY(!frmWBfind->isVisible());
                QCOMPARE(frmWBfind->Edit2->text(), QString());
            });
        }
    }
};

QTEST_MAIN(CodeLookupTest)
#include "test_codelookup.moc"
