// The free-typing editor as a pupil uses it: typing through the input method with the row and
// column shown, and opening and saving GBK text files through the (stand-in) file dialogs.
#include <sys/stat.h>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/errors.h"
#include "platform/gbk.h"
#include "support/courseprogram.h"
#include "support/modalrun.h"
#include "tools/CWBFind.h"
#include "tools/Cfree.h"
#include "tools/filedialogs.h"
#include "tools/textfile.h"

class FreeEditorTest : public QObject {
    Q_OBJECT

    CourseProgram program;
    QTemporaryDir* files = nullptr;
    QList<FileDialogs::Request> openRequests, saveRequests;
    QString nextOpen, nextSave;  // what the pupil picks in the next dialog; empty cancels

    void whileOpen(const std::function<void()>& body) {
        QVERIFY(runWhileModal([] { return frmFree->ShowModal(); }, frmFree, body));
    }

    QString path(const QString& name) const { return QDir(files->path()).filePath(name); }

    static void commit(const QString& text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(frmFree->Memo1, &event);
    }

    static QString rowColumn() { return frmFree->StatusPanel0->text(); }
    static QString rowColumn(int row, int column) {
        return QStringLiteral("行：%1   列：%2").arg(row).arg(column);
    }

    static QByteArray bytesOf(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static void writeBytes(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }

    // Types text into the box: "\n" as Enter, U+2028 as Shift+Enter, the rest pasted.
    static void pasteAndBreak(const QString& text) {
        QString run;
        const auto paste = [&run] {
            if (run.isEmpty())
                return;
            QGuiApplication::clipboard()->setText(std::exchange(run, QString()));
            QTest::keyClick(frmFree->Memo1, Qt::Key_V, Qt::ControlModifier);
        };
        for (QChar c : text) {
            if (c != QLatin1Char('\n') && c != QChar::LineSeparator) {
                run += c;
                continue;
            }
            paste();
            QTest::keyClick(frmFree->Memo1, Qt::Key_Return,
                            c == QChar::LineSeparator ? Qt::ShiftModifier : Qt::NoModifier);
        }
        paste();
    }

    // Presses a button of the editor as the pupil clicks it.
    static void click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  private slots:
    void initTestCase() {
        VERIFY_NO_FAULT(program.start());
        files = new QTemporaryDir;
        FileDialogs::setOpenChooser([this](QWidget*, const FileDialogs::Request& request) {
            openRequests << request;
            return std::exchange(nextOpen, QString());
        });
        FileDialogs::setSaveChooser([this](QWidget*, const FileDialogs::Request& request) {
            saveRequests << request;
            return std::exchange(nextSave, QString());
        });
    }
    void cleanupTestCase() {
        FileDialogs::setOpenChooser({});
        FileDialogs::setSaveChooser({});
        delete files;
        program.stop();
    }
    void init() {
        openRequests.clear();
        saveRequests.clear();
        program.errors().clear();
        frmFree->SpeedButton5->click();  // each test starts with no current file
    }

    void windowLooksAsDesigned() {
        QCOMPARE(frmFree->windowTitle(), QStringLiteral("Tarvelle---->自由录入练习"));
        QCOMPARE(frmFree->SpeedButton5->text(), QStringLiteral("新建"));
        QCOMPARE(frmFree->SpeedButton3->text(), QStringLiteral("打开文本"));
        QCOMPARE(frmFree->SpeedButton2->text(), QStringLiteral("保存文本"));
        QCOMPARE(frmFree->SpeedButton4->text(), QStringLiteral("五笔帮助"));
        QCOMPARE(frmFree->SpeedButton1->text(), QStringLiteral("关闭[&C]"));
        for (QToolButton* b : {frmFree->SpeedButton1, frmFree->SpeedButton2, frmFree->SpeedButton3,
                               frmFree->SpeedButton4, frmFree->SpeedButton5}) {
            QVERIFY(!b->icon().isNull());
            QVERIFY(b->autoRaise());
        }
        QVERIFY(frmFree->Label1->isHidden());
        QCOMPARE(frmFree->Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    }

    void emptyBoxShowsRowOneColumnOne() {
        whileOpen([] {
            QTRY_COMPARE(QApplication::focusWidget(), frmFree->Memo1);
            QCOMPARE(rowColumn(), rowColumn(1, 1));
        });
    }

    void twoChineseCharactersMakeColumnFive() {
        whileOpen([] {
            commit("工地");
            QCOMPARE(rowColumn(), rowColumn(1, 5));
            QTest::keyClick(frmFree->Memo1, Qt::Key_Left);
            QCOMPARE(rowColumn(), rowColumn(1, 3));
            QTest::keyClick(frmFree->Memo1, Qt::Key_End);
            QTest::keyClick(frmFree->Memo1, Qt::Key_Return);
            QCOMPARE(rowColumn(), rowColumn(2, 1));
            QTest::keyClicks(frmFree->Memo1, "ab");
            commit("中");
            QCOMPARE(rowColumn(), rowColumn(2, 5));
        });
    }

    void wrappedLineCountsAsSeveralRows() {
        whileOpen([] {
            commit(QString(60, QChar(0x4E2D)));  // 中 sixty times: longer than the box is wide
            QTest::keyClick(frmFree->Memo1, Qt::Key_Home);  // start of the display line
            const int rowStart = frmFree->Memo1->textCursor().position();
            QVERIFY(rowStart > 0 && rowStart < 60);
            QCOMPARE(rowColumn(), rowColumn(2, 1));
            QTest::keyClick(frmFree->Memo1, Qt::Key_End);
            QCOMPARE(rowColumn(), rowColumn(2, (60 - rowStart) * 2 + 1));
            QTest::keyClick(frmFree->Memo1, Qt::Key_Up);
            QCOMPARE(rowColumn().left(3), QStringLiteral("行：1"));
            QTest::keyClick(frmFree->Memo1, Qt::Key_Home);
            QCOMPARE(rowColumn(), rowColumn(1, 1));
            QTest::keyClick(frmFree->Memo1, Qt::Key_Right);
            QTest::keyClick(frmFree->Memo1, Qt::Key_Right);
            QCOMPARE(rowColumn(), rowColumn(1, 5));
            QTest::keyClick(frmFree->Memo1, Qt::Key_Down);
            QCOMPARE(rowColumn(), rowColumn(2, 5));
        });
    }

    void clickShowsTheClickedPlace() {
        whileOpen([] {
            commit("工地在要");
            QTest::keyClick(frmFree->Memo1, Qt::Key_Home);
            QCOMPARE(rowColumn(), rowColumn(1, 1));
            QWidget* viewport = frmFree->Memo1->viewport();
            QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(viewport->width() - 20, 4));
            QCOMPARE(rowColumn(), rowColumn(1, 9));
        });
    }

    void escapeClosesAndDropsTheText() {
        nextSave = path("kept.txt");
        whileOpen([] {
            commit("中国");
            click(frmFree->SpeedButton2);
            commit("人");
            QTest::keyClick(frmFree->Memo1, Qt::Key_Escape);
            QVERIFY(!frmFree->isVisible());
        });
        QCOMPARE(frmFree->Memo1->toPlainText(), QString());
        QCOMPARE(frmFree->Label1->text(), path("kept.txt"));
        QCOMPARE(bytesOf(path("kept.txt")), Gbk::encode(u"中国"));
        // The next visit starts empty, still names the file and saves into it without a dialog.
        whileOpen([this] {
            QCOMPARE(frmFree->StatusPanel1->text(), "    现在打开的文件是：" + path("kept.txt"));
            QCOMPARE(rowColumn(), rowColumn(1, 1));
            commit("民");
            click(frmFree->SpeedButton2);
        });
        QCOMPARE(saveRequests.size(), 1);
        QCOMPARE(bytesOf(path("kept.txt")), Gbk::encode(u"民"));
    }

    void closeButtonCloses() {
        whileOpen([] {
            click(frmFree->SpeedButton1);
            QVERIFY(!frmFree->isVisible());
        });
    }

    void saveNameRule_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("target");
        QTest::newRow("no extension") << "lesson"
                                      << "lesson.TXT";
        QTest::newRow("lower case .txt") << "a.txt"
                                         << "a.txt";
        QTest::newRow("mixed case .TxT") << "b.TxT"
                                         << "b.TxT";
        QTest::newRow("upper case .TXT") << "c.TXT"
                                         << "c.TXT";
        QTest::newRow("another extension") << "d.doc"
                                           << "d.doc.TXT";
        QTest::newRow("txt without dot") << "etxt"
                                         << "etxt.TXT";
    }
    void saveNameRule() {
        QFETCH(QString, chosen);
        QFETCH(QString, target);
        QCOMPARE(TextFile::withTextExtension(chosen), target);
        nextSave = path(chosen);
        whileOpen([] {
            commit("第一行");
            QTest::keyClick(frmFree->Memo1, Qt::Key_Return);
            QTest::keyClicks(frmFree->Memo1, "asdf");
            click(frmFree->SpeedButton2);
        });
        QCOMPARE(saveRequests.size(), 1);
        QCOMPARE(saveRequests[0].title, QString());
        QCOMPARE(saveRequests[0].filter, QStringLiteral("文本文件|*.TXT|所有文件|*.*"));
        QCOMPARE(QDir(saveRequests[0].directory), QDir(program.course().mavro()));
        QCOMPARE(bytesOf(path(target)), Gbk::encode(u"第一行") + "\r\nasdf");
        QCOMPARE(frmFree->Label1->text(), path(target));
        QCOMPARE(frmFree->StatusPanel1->text(), "    现在打开的文件是：" + path(target));
        if (target != chosen)
            QVERIFY(!QFile::exists(path(chosen)));
    }

    void secondSaveNeedsNoDialog() {
        nextSave = path("twice");
        whileOpen([] {
            commit("工");
            click(frmFree->SpeedButton2);
            commit("地");
            click(frmFree->SpeedButton2);
        });
        QCOMPARE(saveRequests.size(), 1);
        QCOMPARE(bytesOf(path("twice.TXT")), Gbk::encode(u"工地"));
    }

    void cancelledDialogsChangeNothing() {
        whileOpen([] {
            commit("中");
            click(frmFree->SpeedButton2);
            click(frmFree->SpeedButton3);
            QCOMPARE(frmFree->Memo1->toPlainText(), QStringLiteral("中"));
        });
        QCOMPARE(saveRequests.size(), 1);
        QCOMPARE(openRequests.size(), 1);
        QCOMPARE(frmFree->Label1->text(), QString());
        QCOMPARE(frmFree->StatusPanel1->text(), QString());
    }

    void openReadsGbkAndAfterItSaveWritesTheSameBytes() {
        const QByteArray original = Gbk::encode(u"工地在要\r\n中国人民ab\r\n\r\n第1行，完。");
        writeBytes(path("round.txt"), original);
        nextOpen = path("round.txt");
        whileOpen([this, original] {
            click(frmFree->SpeedButton3);
            QCOMPARE(frmFree->Memo1->toPlainText(),
                     QStringLiteral("工地在要\n中国人民ab\n\n第1行，完。"));
            QCOMPARE(rowColumn(), rowColumn(1, 1));
            QCOMPARE(frmFree->StatusPanel1->text(), "    现在打开的文件是：" + path("round.txt"));
            QFile::remove(path("round.txt"));
            click(frmFree->SpeedButton2);
            QCOMPARE(bytesOf(path("round.txt")), original);
        });
        QCOMPARE(openRequests.size(), 1);
        QCOMPARE(openRequests[0].title,
                 QStringLiteral("Keyvane6.0(五笔速成)     请选择要打开的文本文件"));
        QCOMPARE(openRequests[0].filter, QStringLiteral("文本文件|*.TXT|所有文件|*.*"));
        QCOMPARE(QDir(openRequests[0].directory), QDir(program.course().mavro()));
        QVERIFY(saveRequests.isEmpty());
    }

    void loneLineEndsBecomeCrLf() {
        writeBytes(path("unix.txt"), Gbk::encode(u"工\n地\r在\r\n要"));
        nextOpen = path("unix.txt");
        whileOpen([] {
            click(frmFree->SpeedButton3);
            click(frmFree->SpeedButton2);
        });
        QCOMPARE(bytesOf(path("unix.txt")), Gbk::encode(u"工\r\n地\r\n在\r\n要"));
    }

    // A file is saved back in the encoding it came in, a pupil's typing added: a UTF-8 file from
    // another editor stays UTF-8 (also where GBK could read its bytes, as wrong characters).
    void fileIsSavedInItsOwnEncoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("saved");  // after 中 is typed at the end
        QTest::newRow("ASCII") << QByteArray("ab\n") << QByteArray("ab\r\n") + Gbk::encode(u"中");
        QTest::newRow("GBK") << Gbk::encode(u"你好") << Gbk::encode(u"你好中");
        QTest::newRow("UTF-8") << QString("你好😀\n").toUtf8() << QString("你好😀\r\n中").toUtf8();
        QTest::newRow("UTF-8 with mark")
            << "\xEF\xBB\xBF" + QString("ab").toUtf8() << "\xEF\xBB\xBF" + QString("ab中").toUtf8();
        QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFE\x60\x4F\n\0", 6)
                                  << QByteArray("\xFF\xFE\x60\x4F\r\0\n\0\x2D\x4E", 10);
        QTest::newRow("UTF-16BE") << QByteArray("\xFE\xFF\x4F\x60", 4)
                                  << QByteArray("\xFE\xFF\x4F\x60\x4E\x2D", 6);
    }
    void fileIsSavedInItsOwnEncoding() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, saved);
        writeBytes(path("own.txt"), bytes);
        nextOpen = path("own.txt");
        whileOpen([] {
            click(frmFree->SpeedButton3);
            QTest::keyClick(frmFree->Memo1, Qt::Key_End, Qt::ControlModifier);
            commit("中");
            click(frmFree->SpeedButton2);
        });
        VERIFY_NO_FAULT(program.errorText());
        QCOMPARE(bytesOf(path("own.txt")), saved);
    }

    void filesThatCannotBeOpenedAreReported_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("says");
        const QString notGbk = QStringLiteral("不是 GBK 编码的文本");
        QTest::newRow("stray high bytes") << QByteArray("ab\xff\xff\x81") << true << notGbk;
        QTest::newRow("too large")
            << QByteArray(TextFile::kMaxBytes + 1, 'a') << true << QStringLiteral("太大");
        QTest::newRow("missing") << QByteArray() << false << QStringLiteral("无法打开");
        QTest::newRow("UTF-16 cut short") << QByteArray(
                                                 "\xFF\xFE"
                                                 "a\0b",
                                                 5)
                                          << true << notGbk;
        // Opening a pipe would wait for a writer.
        QTest::newRow("pipe") << QByteArray() << true << QStringLiteral("不是普通文件");
    }
    void filesThatCannotBeOpenedAreReported() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, exists);
        QFETCH(QString, says);
        writeBytes(path("good.txt"), Gbk::encode(u"好"));
        const QString bad = path(exists ? "bad.txt" : "absent.txt");
        QFile::remove(bad);
        if (QTest::currentDataTag() == QByteArray("pipe"))
            QCOMPARE(mkfifo(QFile::encodeName(bad).constData(), 0600), 0);
        else if (exists)
            writeBytes(bad, bytes);
        whileOpen([this, bad] {
            nextOpen = path("good.txt");
            click(frmFree->SpeedButton3);
            QTest::keyClick(frmFree->Memo1, Qt::Key_End, Qt::ControlModifier);
            commit("中");
            nextOpen = bad;
            click(frmFree->SpeedButton3);
            QCOMPARE(frmFree->Memo1->toPlainText(), QStringLiteral("好中"));
        });
        QCOMPARE(program.errors().size(), 1);
        QVERIFY2(program.errors()[0].contains(bad) && program.errors()[0].contains(says),
                 qPrintable(program.errors()[0]));
        QCOMPARE(frmFree->Label1->text(), path("good.txt"));
        QCOMPARE(frmFree->StatusPanel1->text(), "    现在打开的文件是：" + path("good.txt"));
    }

    // Shift+Enter breaks the line inside its paragraph (U+2028, which GBK has no code for); the
    // pupil sees a line end, and a line end it is in the row display and in the file.
    void shiftEnterIsALineEnd() {
        nextSave = path("shift.txt");
        whileOpen([] {
            commit("中国");
            QTest::keyClick(frmFree->Memo1, Qt::Key_Return, Qt::ShiftModifier);
            QVERIFY(frmFree->Memo1->document()->toRawText().contains(QChar::LineSeparator));
            QCOMPARE(rowColumn(), rowColumn(2, 1));
            QTest::keyClicks(frmFree->Memo1, "ab");
            QCOMPARE(rowColumn(), rowColumn(2, 3));
            QTest::keyClick(frmFree->Memo1, Qt::Key_Up);
            QCOMPARE(rowColumn(), rowColumn(1, 3));
            click(frmFree->SpeedButton2);
        });
        VERIFY_NO_FAULT(program.errorText());
        QCOMPARE(bytesOf(path("shift.txt")), Gbk::encode(u"中国") + "\r\nab");
    }

    // A character GBK cannot hold is named with its row and column and left selected; nothing is
    // written, and no save dialog comes first.
    void unencodableCharacterIsNamed_data() {
        QTest::addColumn<QString>("typed");  // "\n" Enter, U+2028 Shift+Enter, the rest pasted
        QTest::addColumn<bool>("inFile");    // typed at the end of an open file "旧"
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("message");
        const QString act = QStringLiteral("请删去或换掉这个字符再保存。");
        QTest::newRow("emoji")
            << QStringLiteral("中国\na😀b") << false << 2 << 2 << QStringLiteral("😀")
            << "第 2 行第 2 列的字符“😀”（U+1F600）GBK 编码不能保存，文本没有保存。" + act;
        QTest::newRow("non-breaking space")
            << QStringLiteral("工\u00A0地") << false << 1 << 3 << QStringLiteral("\u00A0")
            << "第 1 行第 3 列的字符“\u00A0”（U+00A0）GBK 编码不能保存，文本没有保存。" + act;
        QTest::newRow("after Shift+Enter")
            << QStringLiteral("中\u2028ab😀") << false << 2 << 3 << QStringLiteral("😀")
            << "第 2 行第 3 列的字符“😀”（U+1F600）GBK 编码不能保存，文本没有保存。" + act;
        QTest::newRow("in an open file")
            << QStringLiteral("\n😀") << true << 2 << 1 << QStringLiteral("😀")
            << "第 2 行第 1 列的字符“😀”（U+1F600）GBK 编码不能保存，文件 %1 没有保存。" + act;
    }
    void unencodableCharacterIsNamed() {
        QFETCH(QString, typed);
        QFETCH(bool, inFile);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, character);
        QFETCH(QString, message);
        const QByteArray old = Gbk::encode(u"旧");
        if (inFile) {
            writeBytes(path("old.txt"), old);
            message = message.arg(path("old.txt"));
        }
        nextSave = path("never.txt");
        whileOpen([&] {
            if (inFile) {
                nextOpen = path("old.txt");
                click(frmFree->SpeedButton3);
                QTest::keyClick(frmFree->Memo1, Qt::Key_End, Qt::ControlModifier);
            }
            pasteAndBreak(typed);
            click(frmFree->SpeedButton2);
            QCOMPARE(frmFree->Memo1->textCursor().selectedText(), character);
            QCOMPARE(rowColumn(), rowColumn(row, column));
        });
        QCOMPARE(program.errors(), QStringList{message});
        QVERIFY(saveRequests.isEmpty());
        QVERIFY(!QFile::exists(path("never.txt")) && !QFile::exists(path("never.TXT")));
        if (inFile)
            QCOMPARE(bytesOf(path("old.txt")), old);
        nextSave.clear();
    }

    void lookupButtonShowsTheLookupOverTheText() {
        whileOpen([] {
            commit("工地在");
            QTest::keyClick(frmFree->Memo1, Qt::Key_Left);
            bool shown = false;
            whenModal([&] {
                shown = QApplication::activeModalWidget() == frmWBfind;
                frmWBfind->close();
            });
            click(frmFree->SpeedButton4);
            QVERIFY(shown);
            QVERIFY(frmFree->isVisible());
            QCOMPARE(frmFree->Memo1->toPlainText(), QStringLiteral("工地在"));
            QCOMPARE(frmFree->Memo1->textCursor().position(), 2);
        });
    }
};

QTEST_MAIN(FreeEditorTest)
#include "test_freeeditor.moc"
