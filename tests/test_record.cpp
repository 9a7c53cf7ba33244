// The record window from the menu: its chart, weak characters and key map over a history, and the
// practice its two buttons open in the text drill, typed through to the result dialog.
#include <sys/stat.h>
#include <QComboBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QtTest>

#include "data/history.h"
#include "platform/errors.h"
#include "platform/gbk.h"
#include "progress/CRecord.h"
#include "progress/article.h"
#include "progress/speedchart.h"
#include "support/textdrillsession.h"
#include "tools/filedialogs.h"

using namespace TextDrillSession;

namespace {

History::Page textPage(const QString& lesson, int speed, const QString& typed,
                       quint32 wrongOnFirst) {
    History::Page p;
    p.at = QDateTime::currentDateTimeUtc().addDays(-speed);
    p.drill = History::kText;
    p.lesson = lesson;
    p.speedText = QStringLiteral("每分钟%1个").arg(speed);
    for (QChar c : typed) p.strokes.append({QString(c), 400, 0});
    p.strokes.first().wrong = wrongOnFirst;
    return p;
}

// Runs body while the record window is up, then closes it with Esc.
void inRecordWindow(const std::function<void()>& body) {
    bool ran = false;
    whenModal([&] {
        QTRY_VERIFY(frmRecord && QApplication::activeModalWidget() == frmRecord);
        ran = true;
        body();
        QTest::keyClick(frmRecord, Qt::Key_Escape);
    });
    frmmavro->runCommand(QStringLiteral("N44"));
    QVERIFY(ran);
    QVERIFY(!frmRecord->isVisible());
}

// Types every shown line of the text drill through input-method commits and closes the result
// dialog; returns the lines typed.
QStringList typeShownPage(Result* result) {
    QStringList shown;
    if (!QTest::qWaitFor([] { return frmTest->isActiveWindow() && QApplication::focusWidget(); }))
        return shown;
    for (int n = 1; n <= 8; ++n)
        if (!frmTest->lines[n - 1]->isHidden())
            shown << line(n);
    *result = finishPage([&] {
        for (const QString& text : shown) TextDrillPupil::type(text);
    });
    return shown;
}

// Answers the question before a removal with the button of that caption; keeps the question.
void answerRemoval(const QString& button, QString* asked) {
    whenModal([=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box->objectName() != QStringLiteral("AskRemove")) {
            answerRemoval(button, asked);
            return;
        }
        *asked = box->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button)
                b->click();
    });
}

}  // namespace

class RecordTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir home;
    std::unique_ptr<Program> program;
    QStringList messages;

    // Opens a file with "自选文章" and types its first page; returns the lines shown.
    QStringList article(const QByteArray& bytes, Result* result, int* pagesInStore) {
        QFile file(home.filePath("article.txt"));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.close();
        FileDialogs::setOpenChooser(
            [&](QWidget*, const FileDialogs::Request&) { return file.fileName(); });
        QStringList shown;
        inRecordWindow([&] {
            TextDrillPupil::whenModalIs(frmTest, [&] {
                shown = typeShownPage(result);
                pressEsc();
            });
            QTest::mouseClick(frmRecord->Button2, Qt::LeftButton);
        });
        FileDialogs::setOpenChooser({});
        *pagesInStore = int(History::Store::instance().pages(History::kText).size());
        return shown;
    }

  private slots:
    void initTestCase() {
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        program = std::make_unique<Program>();
        Errors::setSink([this](const QString& m) { messages << m; });
        History::Store& store = History::Store::instance();
        // 国 and 民 are weak (wrong attempts); 工 met once only.
        for (int day = 1; day <= 3; ++day) {
            QVERIFY(
                store.record(textPage(QStringLiteral("课程练习[&1]"), 40 + day, "地国民在", 0)));
            QVERIFY(store.record(textPage(QStringLiteral("课程练习[&1]"), 50, "国民要", 1)));
        }
        QVERIFY(store.record(textPage(QStringLiteral("课程练习[&2]"), 30, "工", 0)));
    }
    void cleanupTestCase() { program.reset(); }

    void windowShowsChartWeakCharactersAndKeys() {
        inRecordWindow([] {
            QCOMPARE(frmRecord->windowTitle(), QStringLiteral("Tarvelle---->学习记录"));
            QCOMPARE(frmRecord->Chart1->objectName(), QStringLiteral("SpeedChart"));
            QCOMPARE(frmRecord->ComboBox1->count(), 2);
            QCOMPARE(frmRecord->Grid1->rowCount(), 5);  // 国 民 地 在 要 met 3+ times; 工 once
            QCOMPARE(frmRecord->Grid1->item(0, 0)->text(), QStringLiteral("国"));
            QCOMPARE(frmRecord->Grid1->item(0, 1)->text(), QStringLiteral("lgyi"));
            QCOMPARE(frmRecord->Grid1->item(0, 2)->text(), QStringLiteral("l"));
            QVERIFY(
                !frmRecord->Grid1->item(0, 3)->data(Qt::DecorationRole).value<QPixmap>().isNull());
            // Every column in sight at the window's own size, no sideways scrolling.
            QVERIFY(frmRecord->Grid1->horizontalHeader()->length() <=
                    frmRecord->Grid1->viewport()->width());
            QVERIFY(!frmRecord->Image1->pixmap().isNull());
            QVERIFY(!frmRecord->Label1->pixmap().isNull());
        });
    }

    void weakCharacterPageTypedToResult() {
        QStringList shown;
        Result result;
        inRecordWindow([&] {
            TextDrillPupil::whenModalIs(frmTest, [&] {
                shown = typeShownPage(&result);
                pressEsc();
            });
            QTest::mouseClick(frmRecord->Button1, Qt::LeftButton);
        });
        QCOMPARE(result.shown, 1);
        QCOMPARE(shown.size(), 6);
        const QString all = shown.join(QString());
        for (qsizetype i = 0; i < all.size(); ++i) {
            QVERIFY(QStringLiteral("国民地在要").contains(all[i]));
            QVERIFY(i == 0 || all[i] != all[i - 1]);
        }
        const History::Page last = History::Store::instance().pages(History::kText).last();
        QCOMPARE(last.lesson, QStringLiteral("练习薄弱字"));
        QCOMPARE(last.speedText, result.speed);
    }

    void ownArticleTypedToResult_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("leftOut");
        const QString row = QStringLiteral("工地在要中国人民经键的一第行").repeated(4);
        const QString text = row + "\r\n工地";
        const QStringList lines = {row.left(36), row.mid(36), QStringLiteral("工地")};
        QTest::newRow("utf-8") << text.toUtf8() << lines << QString();
        QTest::newRow("gbk") << Gbk::encode(text) << lines << QString();
        QByteArray utf16("\xFF\xFE");
        utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        QTest::newRow("utf-16") << utf16 << lines << QString();
        QTest::newRow("punctuation, uncoded")
            << QStringLiteral("工地，在要abc中。\n国！").toUtf8()
            << QStringList{QStringLiteral("工地，在要中。"), QStringLiteral("国！")}
            << QStringLiteral("abc");
    }
    void ownArticleTypedToResult() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(QString, leftOut);
        messages.clear();
        const int before = int(History::Store::instance().pages(History::kText).size());
        Result result;
        int after = 0;
        const QStringList shown = article(bytes, &result, &after);
        QCOMPARE(result.shown, 1);
        QCOMPARE(after, before + 1);
        QCOMPARE(shown, lines);
        if (leftOut.isEmpty()) {
            QVERIFY(messages.isEmpty());
        } else {
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages[0].contains(home.filePath("article.txt")) &&
                         messages[0].contains(QStringLiteral("有 3 种字符")) &&
                         messages[0].endsWith(leftOut),
                     qPrintable(messages[0]));
        }
    }

    // A long file of many different characters: its start is used and said to be, the left-out
    // list stays short, and no root picture is decoded to find out which characters have codes.
    void longArticleOfManyCharacters() {
        QByteArray gbk;
        for (uint lead = 0xB0; lead <= 0xF7; ++lead)
            for (uint trail = 0xA1; trail <= 0xFE; ++trail)
                gbk.append(char(lead)).append(char(trail));
        QString text = Gbk::decode(gbk) + QStringLiteral("\U0001F600").repeated(200) +
                       QStringLiteral("abc").repeated(1500);
        QVERIFY(text.size() > Article::kMaxCharacters);
        messages.clear();
        FileDialogs::setOpenChooser(
            [&](QWidget*, const FileDialogs::Request&) { return home.filePath("article.txt"); });
        QFile file(home.filePath("article.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        file.close();
        inRecordWindow([&] {
            const qsizetype held = frmRecord->hints.held();
            TextDrillPupil::whenModalIs(frmTest, [&] { pressEsc(); });
            QTest::mouseClick(frmRecord->Button2, Qt::LeftButton);
            QCOMPARE(frmRecord->hints.held(), held);
        });
        FileDialogs::setOpenChooser({});
        QCOMPARE(messages.size(), 1);
        const QStringList said = messages[0].split('\n');
        QVERIFY2(said.size() == 3 && said[0].contains(file.fileName()) &&
                     said[1].contains(QStringLiteral("前 10000 个字符")) && said[2].size() < 120,
                 qPrintable(messages[0]));
    }

    // A pipe or a device chosen as an article is refused at once, saying what it is.
    void pipesAndDevicesAreRefused() {
        const QString fifo = home.filePath("pipe.txt");
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        for (const QString& path : {fifo, QStringLiteral("/dev/zero")}) {
            messages.clear();
            FileDialogs::setOpenChooser(
                [&](QWidget*, const FileDialogs::Request&) { return path; });
            inRecordWindow([&] {
                QTest::mouseClick(frmRecord->Button2, Qt::LeftButton);
                QVERIFY(!frmTest->isVisible());
            });
            FileDialogs::setOpenChooser({});
            QCOMPARE(messages.size(), 1);
            QVERIFY2(
                messages[0].contains(path) && messages[0].contains(QStringLiteral("不是普通文件")),
                qPrintable(messages[0]));
        }
    }

    // A file that cannot be practised is told, naming it and why, and no drill opens.
    void ownArticleProblemsAreTold_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("why");
        QTest::newRow("missing") << false << QStringLiteral("文件不存在");
        QTest::newRow("nothing coded") << true << QStringLiteral("没有可以用五笔输入的字");
    }
    void ownArticleProblemsAreTold() {
        QFETCH(bool, exists);
        QFETCH(QString, why);
        const QString path = home.filePath("problem.txt");
        QFile::remove(path);
        if (exists) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("abc 123\r\n");
        }
        messages.clear();
        const int before = int(History::Store::instance().pages(History::kText).size());
        FileDialogs::setOpenChooser([&](QWidget*, const FileDialogs::Request&) { return path; });
        inRecordWindow([&] {
            QTest::mouseClick(frmRecord->Button2, Qt::LeftButton);
            QVERIFY(!frmTest->isVisible());
        });
        FileDialogs::setOpenChooser({});
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(path) && messages[0].contains(why), qPrintable(messages[0]));
        QCOMPARE(int(History::Store::instance().pages(History::kText).size()), before);
    }

    // A lesson named without the menu's markup; a page of a wrong clock removed after asking,
    // then the whole lesson after the pupil first said no.
    void pagesOfALessonAreRemovedAfterAsking() {
        History::Store& store = History::Store::instance();
        const QString lesson = QStringLiteral("基准键[&A]");
        for (const QDate date :
             {QDate(1900, 1, 1), QDate::currentDate().addDays(-1), QDate::currentDate()}) {
            History::Page p = textPage(lesson, 40, "asdf", 0);
            p.drill = History::kFinger;
            p.at = QDateTime(date, QTime(10, 0));
            QVERIFY(store.record(p));
        }
        const int before = int(store.pages().size());
        inRecordWindow([&] {
            const int index = frmRecord->ComboBox1->findText(QStringLiteral("指法练习 · 基准键"));
            QVERIFY(index >= 0);
            QVERIFY(frmRecord->ComboBox1->findText(QStringLiteral("文字练习 · 课程练习1")) >= 0);
            frmRecord->ComboBox1->setCurrentIndex(index);
            QVERIFY(!frmRecord->Button4->isEnabled());
            frmRecord->Chart1->setProperty(SpeedChart::kChosen, 0);  // as a click on it does
            QVERIFY(frmRecord->Label2->text().contains(QStringLiteral("1900-01-01")));
            QString asked;
            answerRemoval(QStringLiteral("删除"), &asked);
            QTest::mouseClick(frmRecord->Button4, Qt::LeftButton);
            QVERIFY2(asked.contains(QStringLiteral("1900-01-01")), qPrintable(asked));
            QCOMPARE(int(store.pages().size()), before - 1);
            QCOMPARE(frmRecord->ComboBox1->currentText(), QStringLiteral("指法练习 · 基准键"));

            answerRemoval(QStringLiteral("取消"), &asked);
            QTest::mouseClick(frmRecord->Button5, Qt::LeftButton);
            QVERIFY2(asked.contains(QStringLiteral("全部 2 页")), qPrintable(asked));
            QCOMPARE(int(store.pages().size()), before - 1);
            answerRemoval(QStringLiteral("删除"), &asked);
            QTest::mouseClick(frmRecord->Button5, Qt::LeftButton);
            QCOMPARE(int(store.pages().size()), before - 3);
            QCOMPARE(frmRecord->ComboBox1->findText(QStringLiteral("指法练习 · 基准键")), -1);
        });
    }

    // The record command follows a separator near the end of the help menu, followed by the
    // adaptive practice and the input method set-up.
    void commandEndsHelpMenu() {
        QMenu* help = frmmavro->MainMenu1->findChild<QMenu*>("X1");
        QVERIFY(help);
        const QList<QAction*> actions = help->actions();
        QCOMPARE(actions.last()->objectName(), QStringLiteral("N45"));
        QCOMPARE(actions[actions.size() - 2]->text(), QStringLiteral("智能练习[&I]"));
        const QAction* record = actions[actions.size() - 3];
        QCOMPARE(record->objectName(), QStringLiteral("N44"));
        QCOMPARE(record->text(), QStringLiteral("学习记录[&R]"));
        QVERIFY(actions[actions.size() - 4]->isSeparator());
    }
};

QTEST_MAIN(RecordTest)
#include "test_record.moc"
