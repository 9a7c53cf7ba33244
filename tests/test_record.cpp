// The record window from the menu: its chart, weak characters and key map over a history, and the
// practice its two buttons open in the text drill, typed through to the result dialog.
#include <QComboBox>
#include <QtTest>

#include "data/history.h"
#include "platform/errors.h"
#include "platform/gbk.h"
#include "progress/CRecord.h"
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
        QTest::addColumn<QString>("leftOut");
        const QString text =
            QStringLiteral("工地在要中国人民经键的一第行").repeated(4) + "\r\n工地";
        QTest::newRow("utf-8") << text.toUtf8() << QString();
        QTest::newRow("gbk") << Gbk::encode(text) << QString();
        QTest::newRow("uncoded") << QStringLiteral("工地，在要abc中\n国").toUtf8()
                                 << QStringLiteral("，abc");
    }
    void ownArticleTypedToResult() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, leftOut);
        messages.clear();
        const int before = int(History::Store::instance().pages(History::kText).size());
        Result result;
        int after = 0;
        const QStringList shown = article(bytes, &result, &after);
        QCOMPARE(result.shown, 1);
        QCOMPARE(after, before + 1);
        if (leftOut.isEmpty()) {
            QVERIFY(messages.isEmpty());
            QCOMPARE(shown.size(), 2);  // 58 characters: 36 and 22
            QCOMPARE(shown[0],
                     (QStringLiteral("工地在要中国人民经键的一第行").repeated(3)).left(36));
        } else {
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages[0].endsWith(leftOut), qPrintable(messages[0]));
            QCOMPARE(shown, QStringList{QStringLiteral("工地在要中国")});
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

    // The record command comes after a separator at the end of the help menu, followed only by
    // the adaptive practice.
    void commandIsLastOfHelpMenu() {
        QMenu* help = frmmavro->MainMenu1->findChild<QMenu*>("X1");
        QVERIFY(help);
        const QList<QAction*> actions = help->actions();
        QCOMPARE(actions.last()->text(), QStringLiteral("智能练习[&I]"));
        const QAction* record = actions[actions.size() - 2];
        QCOMPARE(record->objectName(), QStringLiteral("N44"));
        QCOMPARE(record->text(), QStringLiteral("学习记录[&R]"));
        QVERIFY(actions[actions.size() - 3]->isSeparator());
    }
};

QTEST_MAIN(RecordTest)
#include "test_record.moc"
