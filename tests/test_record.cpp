// The record window from the menu: its chart, root map, daily goal, weak characters and key map
// over a history, the practice its two buttons open in the text drill, typed through to the result
// dialog, the export of the history, and the window of a pupil with no page yet.
#include <sys/stat.h>
#include <QComboBox>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QHeaderView>
#include <QMessageBox>
#include <QtTest>

#include "data/history.h"
#include "platform/errors.h"
#include "platform/gbk.h"
#include "progress/CRecord.h"
#include "progress/adaptivelesson.h"
#include "progress/article.h"
#include "progress/dailygoal.h"
#include "progress/masterymap.h"
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

// A text page of minutes on a local day and time, typed at cpm characters a minute.
History::Page pageAt(const QDateTime& at, double minutes, double cpm = 30) {
    History::Page p;
    p.at = at.toUTC();
    p.drill = History::kText;
    p.lesson = QStringLiteral("课程练习[&1]");
    p.ms = qint64(minutes * 60000);
    p.amount = int(2 * cpm * minutes);
    return p;
}

// A page of one character typed count times, each after ms.
History::Page repeated(const QString& character, int count, quint32 ms) {
    History::Page p = textPage(QStringLiteral("课程练习[&2]"), 0, character.repeated(count), 0);
    for (History::Stroke& s : p.strokes) s.ms = ms;
    return p;
}

// Runs body while the record window is up, then closes it with Esc.
// The chart's label of the fastest page lies whole inside its plot area.
bool bestLabelInsidePlot(QWidget* chart) {
    const auto* view = qobject_cast<QGraphicsView*>(chart);
    if (!view || !view->scene())
        return false;
    QRectF label, plot;
    for (QGraphicsItem* item : view->scene()->items()) {
        if (item->data(0).toString() == QLatin1String("BestLabel") && item->isVisible())
            label = item->sceneBoundingRect();
        if (const QGraphicsObject* chartItem = item->toGraphicsObject();
            chartItem && chartItem->property("plotArea").isValid())
            plot = chartItem->mapRectToScene(chartItem->property("plotArea").toRectF());
    }
    return !label.isEmpty() && plot.contains(label);
}

// The chart's texts (title, axis labels, the fastest page's speed) each drawn once: no text over
// the same text, as a chart drawn twice shows them. Empty when so, else the text drawn twice.
QString textsOverEachOther(QWidget* chart) {
    const auto* view = qobject_cast<QGraphicsView*>(chart);
    if (!view || !view->scene())
        return QStringLiteral("no chart");
    QList<QPair<QString, QRectF>> texts;
    for (QGraphicsItem* item : view->scene()->items()) {
        if (!item->isVisible())
            continue;
        QString text;
        if (const auto* t = dynamic_cast<QGraphicsTextItem*>(item))
            text = t->toPlainText();
        else if (const auto* t = dynamic_cast<QGraphicsSimpleTextItem*>(item))
            text = t->text();
        if (!text.isEmpty())
            texts.append({text, item->sceneBoundingRect()});
    }
    for (qsizetype i = 0; i < texts.size(); ++i)
        for (qsizetype j = i + 1; j < texts.size(); ++j)
            if (texts[i].first == texts[j].first && texts[i].second.intersects(texts[j].second))
                return texts[i].first;
    return {};
}

// The fastest page's label lies clear of its red marker.
bool bestLabelClearOfItsPoint(QWidget* chart) {
    const auto* view = qobject_cast<QGraphicsView*>(chart);
    if (!view || !view->scene())
        return false;
    QRect label;
    for (QGraphicsItem* item : view->scene()->items())
        if (item->data(0).toString() == QLatin1String("BestLabel") && item->isVisible())
            label = view->mapFromScene(item->sceneBoundingRect()).boundingRect();
    const QImage image = chart->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    for (int y = label.top(); y <= label.bottom(); ++y)
        for (int x = label.left(); x <= label.right(); ++x) {
            const QColor c = image.pixelColor(QPointF(x, y).toPoint() * ratio);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                return false;
        }
    return !label.isEmpty();
}

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
        // The second page comes after the first one's result.
        QTest::newRow("two pages") << QStringLiteral("工地\n").repeated(7).toUtf8()
                                   << QStringList(6, QStringLiteral("工地")) << QString();
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
        QCOMPARE(result.linesWhileOpen, lines);
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
            QTest::qWait(50);  // the chart lays itself out again
            const QString over = textsOverEachOther(frmRecord->Chart1);
            QVERIFY2(over.isEmpty(), qPrintable(over));
            QVERIFY(bestLabelClearOfItsPoint(frmRecord->Chart1));

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

    // Today's minutes, the days in a row that met the goal, and the goal kept with the history.
    void dailyGoalOverChosenDays() {
        History::Store store(home.filePath("goal.sqlite3"));
        const QDate today(2026, 3, 10);
        const QDateTime now(today, QTime(20, 0));
        for (const auto& [day, minutes] :
             QList<QPair<int, double>>{{-4, 30}, {-2, 15}, {-1, 8}, {-1, 8}, {0, 10}})
            QVERIFY(store.record(pageAt(QDateTime(today.addDays(day), QTime(9, 0)), minutes)));
        DailyGoal::Status status = DailyGoal::status(store, 60, now);
        QCOMPARE(status.goalMinutes, 15);
        QCOMPARE(status.todayMinutes, 10);
        QCOMPARE(status.streak, 2);  // today not met yet; the day before the two is empty
        QCOMPARE(DailyGoal::todayText(status), QStringLiteral("今天已练 10 分钟，还差 5 分钟。"));
        // A page just before midnight is still today.
        QVERIFY(store.record(pageAt(QDateTime(today, QTime(23, 59)), 5)));
        status = DailyGoal::status(store, 60, now);
        QCOMPARE(status.todayMinutes, 15);
        QCOMPARE(status.streak, 3);
        DailyGoal::setMinutes(store, 16);
        status = DailyGoal::status(store, 60, now);
        QCOMPARE(status.streak, 1);  // only yesterday's 16 minutes reach 16
        QCOMPARE(DailyGoal::status(store, 60, now.addDays(2)).streak, 0);
        QCOMPARE(DailyGoal::minutes(store), 16);
    }

    // The estimate: a line through the last text pages that rises clearly enough.
    void pagesToTargetSpeed_data() {
        QTest::addColumn<QList<double>>("speeds");
        QTest::addColumn<int>("pages");
        QList<double> rising, noisy, flat, falling, reached;
        for (int i = 0; i < 20; ++i) {
            rising << 30 + i;
            noisy << 30 + i + (i % 2 ? 5 : -5);
            flat << 40 + (i % 2 ? 5 : -5);
            falling << 50 - i;
            reached << 50 + i;
        }
        QTest::newRow("rising") << rising << 11;
        QTest::newRow("rising, noisy") << noisy << 10;
        QTest::newRow("too few pages") << rising.mid(0, 9) << -1;
        QTest::newRow("flat") << flat << -1;
        QTest::newRow("falling") << falling << -1;
        QTest::newRow("reached") << reached << -1;
    }
    void pagesToTargetSpeed() {
        QFETCH(QList<double>, speeds);
        QFETCH(int, pages);
        QCOMPARE(DailyGoal::pagesToTarget(speeds, 60), pages);
    }

    // The last 30 text pages of the history, at 30.5 to 59.5 characters a minute, and the line the
    // pupil reads; a finger page in between plays no part.
    void estimateFromTheHistory() {
        History::Store store(home.filePath("estimate.sqlite3"));
        const QDateTime start(QDate(2026, 3, 1), QTime(8, 0));
        for (int i = 0; i < 40; ++i)
            QVERIFY(store.record(pageAt(start.addSecs(600 * i), 2, i < 10 ? 80 : 20.5 + i)));
        History::Page finger = pageAt(start.addSecs(600 * 35), 2, 5);
        finger.drill = History::kFinger;
        QVERIFY(store.record(finger));
        const DailyGoal::Status status = DailyGoal::status(store, 60, start.addDays(1));
        QCOMPARE(DailyGoal::estimateText(status), QStringLiteral("约再练1页可达到目标速度"));
        QCOMPARE(DailyGoal::estimateText(DailyGoal::status(store, 50, start)), QString());
    }

    // The pupil types a new goal into the window; it is kept and shown again next time.
    void goalTypedInTheWindowIsKept() {
        inRecordWindow([] {
            QCOMPARE(frmRecord->SpinEdit1->value(), 15);
            QTRY_VERIFY(frmRecord->isActiveWindow());
            QTest::keyClick(frmRecord, Qt::Key_G, Qt::AltModifier);
            QTRY_COMPARE(QApplication::focusWidget(), frmRecord->SpinEdit1);
            QTest::keyClick(frmRecord->SpinEdit1, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(frmRecord->SpinEdit1, "40");
            QVERIFY2(frmRecord->Label4->text().contains(QStringLiteral("还差")),
                     qPrintable(frmRecord->Label4->text()));
        });
        QCOMPARE(DailyGoal::minutes(History::Store::instance()), 40);
        inRecordWindow([] { QCOMPARE(frmRecord->SpinEdit1->value(), 40); });
    }

    // Roots of keys not brought in yet are grey; a root typed slowly is red, one typed fast and
    // right green; a key's few roots are drawn large.
    void rootMapColoursByConfidence() {
        History::Store& store = History::Store::instance();
        // 工 is all of its root 工 (key A), 要 is 西 (S) and 女: both keys come first. Each page
        // moves a root a tenth of the way; the pages before these were typed at other speeds.
        for (int page = 0; page < 20; ++page) {
            QVERIFY(store.record(repeated(QStringLiteral("工"), 25, 300)));
            if (page < 10)
                QVERIFY(store.record(repeated(QStringLiteral("要"), 25, 8000)));
        }
        inRecordWindow([] {
            MasteryMap* map = frmRecord->Image2;
            frmRecord->PageControl1->setCurrentWidget(map);
            const QImage image = map->grab().toImage();
            const auto colour = [&](const QString& root) {
                const QRect cell = map->cellOf(root);
                return image.pixelColor((cell.topLeft() + QPoint(1, 1)) * image.devicePixelRatio());
            };
            const QColor locked = colour(QStringLiteral("金")), weak = colour(QStringLiteral("西")),
                         mastered = colour(QStringLiteral("工"));
            QVERIFY2(
                qAbs(locked.red() - locked.green()) < 8 && qAbs(locked.green() - locked.blue()) < 8,
                qPrintable(locked.name()));
            QVERIFY2(weak.red() > weak.green() + 60, qPrintable(weak.name()));
            QVERIFY2(mastered.green() > mastered.red() + 60, qPrintable(mastered.name()));
            // Roots as large as print, those of the busiest key (Q) too.
            for (const char* root : {"西", "金"})
                QVERIFY2(
                    map->cellOf(QString::fromUtf8(root)).height() >= 15,
                    qPrintable(QString::number(map->cellOf(QString::fromUtf8(root)).height())));
        });
    }

    // The pupil sets 智能练习's target speed and asks for two more keys; both are kept. Unset, the
    // target follows the pupil's own speed.
    void adaptiveTargetAndKeysChosenInTheWindow() {
        inRecordWindow([] {
            QVERIFY2(frmRecord->SpinEdit2->text().startsWith(QStringLiteral("自动 ")),
                     qPrintable(frmRecord->SpinEdit2->text()));
            QCOMPARE(frmRecord->Label7->text(), QStringLiteral("GFDSA"));
            QTRY_VERIFY(frmRecord->isActiveWindow());
            QTest::keyClick(frmRecord, Qt::Key_T, Qt::AltModifier);
            QTRY_COMPARE(QApplication::focusWidget(), frmRecord->SpinEdit2);
            QTest::keyClick(frmRecord->SpinEdit2, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(frmRecord->SpinEdit2, "40");
            QTest::keyClick(frmRecord, Qt::Key_K, Qt::AltModifier);
            QTRY_COMPARE(QApplication::focusWidget(), frmRecord->SpinEdit3);
            QTest::keyClick(frmRecord->SpinEdit3, Qt::Key_Up);
            QTest::keyClick(frmRecord->SpinEdit3, Qt::Key_Up);
            QCOMPARE(frmRecord->Label7->text(), QStringLiteral("GFDSA HJ"));
        });
        History::Store& store = History::Store::instance();
        QCOMPARE(AdaptiveLesson::targetCpm(store), 40);
        QCOMPARE(AdaptiveLesson::keysWanted(store), 7);
        inRecordWindow([] {
            QCOMPARE(frmRecord->SpinEdit2->text(), QStringLiteral("40 字/分钟"));
            QCOMPARE(frmRecord->SpinEdit3->value(), 7);
        });
        AdaptiveLesson::setKeysWanted(store, 0);
    }

    // The history saved where the pupil chooses: JSON unless the name ends in .csv; a folder that
    // is not there is told.
    void exportWritesTheChosenFile() {
        const int pages = int(History::Store::instance().pages().size());
        QString chosen;
        QString filter;
        FileDialogs::setSaveChooser([&](QWidget*, const FileDialogs::Request& request) {
            filter = request.filter;
            return chosen;
        });
        for (const QString& name : {QStringLiteral("我的记录"), QStringLiteral("记录.csv")}) {
            chosen = home.filePath(name);
            inRecordWindow([] { QTest::mouseClick(frmRecord->Button6, Qt::LeftButton); });
        }
        QVERIFY(filter.contains(QStringLiteral("*.json")) &&
                filter.contains(QStringLiteral("*.csv")));
        QFile json(home.filePath("我的记录.json"));
        QVERIFY(json.open(QIODevice::ReadOnly));
        const QJsonObject document = QJsonDocument::fromJson(json.readAll()).object();
        QCOMPARE(document.value("format").toString(), QStringLiteral("qorvex-history"));
        QCOMPARE(document.value("pages").toArray().size(), pages);
        QFile csv(home.filePath("记录.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().count('\n'), pages + 1);

        messages.clear();
        chosen = home.filePath("没有的文件夹/记录.json");
        inRecordWindow([] { QTest::mouseClick(frmRecord->Button6, Qt::LeftButton); });
        FileDialogs::setSaveChooser({});
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(chosen), qPrintable(messages[0]));
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

    // The fastest page at the very start of the chart's first hour: its speed is written inside
    // the plot, clear of the axis' numbers and of its own point.
    void fastestPageAtTheEdgeIsLabelledInsideThePlot() {
        History::Store& store = History::Store::instance();
        for (const auto& [minute, speed] : {std::pair{0, 60}, std::pair{40, 20}}) {
            History::Page p = textPage(QStringLiteral("基准键[&A]"), speed, "asdf", 0);
            p.drill = History::kFinger;
            p.at = QDateTime(QDate::currentDate(), QTime(10, minute));
            QVERIFY(store.record(p));
        }
        // Drawn anew each time the window opens, with no texts of the last drawing left over.
        for (int opening = 0; opening < 2; ++opening)
            inRecordWindow([] {
                const int index =
                    frmRecord->ComboBox1->findText(QStringLiteral("指法练习 · 基准键"));
                QVERIFY(index >= 0);
                frmRecord->ComboBox1->setCurrentIndex(index);
                QTRY_VERIFY(bestLabelInsidePlot(frmRecord->Chart1));
                QVERIFY(bestLabelClearOfItsPoint(frmRecord->Chart1));
                const QString twice = textsOverEachOther(frmRecord->Chart1);
                QVERIFY2(twice.isEmpty(), qPrintable(twice));
            });
    }

    // An adaptive page says over its lines what it works on; the next page comes only after the
    // pupil has seen the result of this one, under the same heading.
    void adaptivePageHeadingAndResultBeforeTheNextPage() {
        QStringList shown;
        QString heading;
        Result result;
        inRecordWindow([&] {
            TextDrillPupil::whenModalIs(frmTest, [&] {
                heading = frmTest->Label13->isVisible() ? frmTest->Label13->text() : QString();
                shown = typeShownPage(&result);
                QVERIFY(frmTest->Label13->isVisible());
                QVERIFY(frmTest->Label13->geometry().bottom() < frmTest->lines[0]->y());
                pressEsc();
            });
            QTest::mouseClick(frmRecord->findChild<QPushButton*>("ButtonAdaptive"), Qt::LeftButton);
        });
        QCOMPARE(result.shown, 1);
        QVERIFY2(heading.startsWith(QStringLiteral("本页练习：")), qPrintable(heading));
        QCOMPARE(result.linesWhileOpen, shown);
    }

    // With every page removed the chart area says what will come there.
    void emptyHistoryShowsASentence() {
        History::Store& store = History::Store::instance();
        inRecordWindow(
            [] { QCOMPARE(frmRecord->Panel1->currentWidget(), frmRecord->PageControl1); });
        for (const auto& [drill, lesson] : store.lessons())
            QVERIFY(store.removeLesson(drill, lesson));
        inRecordWindow([] {
            QVERIFY(frmRecord->Label3->isVisible());
            QVERIFY(!frmRecord->PageControl1->isVisible());
            QCOMPARE(frmRecord->Label3->text(),
                     QStringLiteral("还没有练习记录。练完一页后，这里会显示速度和错误。"));
        });
    }
};

QTEST_MAIN(RecordTest)
#include "test_record.moc"
