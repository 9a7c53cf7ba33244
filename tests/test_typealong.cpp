// The measures of a typed page and the fewest keys of a text, on made-up strokes and words.
#include <QClipboard>
#include <QTemporaryDir>
#include <QtTest>

#include "data/history.h"
#include "drills/typingbox.h"
#include "platform/tickcount.h"
#include "progress/typingmeasures.h"
#include "progress/wordtable.h"
#include "tools/CGenda.h"
#include "tools/modeltext.h"

namespace {

// A few words with real Wubi codes, and two made-up candidates behind the first.
const struct {
    const char* word;
    const char* code;
    int place;
} kRows[] = {{"工", "a", 0},    {"式", "a", 1},      {"工", "aaaa", 0},   {"式", "aa", 0},
             {"戒", "aa", 1},   {"中", "k", 0},      {"中", "khk", 0},    {"国", "l", 0},
             {"国", "lgyi", 0}, {"中国", "khlg", 0}, {"我", "q", 0},      {"我", "trnt", 0},
             {"们", "wu", 0},   {"们", "wun", 0},    {"我们", "trwu", 0}, {"的", "r", 0},
             {"的", "rqyy", 0}, {"人", "w", 0}};

WordTable smallTable() {
    WordTable table;
    for (const auto& row : kRows)
        table.add(QString::fromUtf8(row.word), QString::fromLatin1(row.code), row.place);
    return table;
}

QString codes(const WordTable::Ideal& ideal) {
    QStringList list;
    for (const WordTable::Segment& s : ideal.segments)
        list << (s.code.isEmpty() ? QStringLiteral("-") : s.code) + (s.selection ? "+" : "") +
                    (s.topScreen ? "^" : "");
    return list.join(QLatin1Char(' '));
}

}  // namespace

class TypeAlongTest : public QObject {
    Q_OBJECT

  private slots:
    // The program closes the window at exit; so does the test, with what it holds.
    void cleanupTestCase() {
        frmGenda->destroyForm();
        delete frmGenda;
        frmGenda = nullptr;
    }
    void keysCountedFromWhatTheBoxSees() {
        const WordTable table = smallTable();
        KeyCounter counter(&table);
        // 我们 by its four letters, the fourth committing without being shown: 4 keys.
        for (const char* code : {"t", "tr", "trw"}) counter.inputMethod({}, code);
        counter.inputMethod(QStringLiteral("我们"), {});
        // 式 as the second candidate of a: a, then the selection key.
        counter.inputMethod({}, QStringLiteral("a"));
        counter.inputMethod(QStringLiteral("式"), {});
        // 中国 with a backspace while composing: k h ⌫ h l g.
        for (const char* code : {"k", "kh", "k", "kh", "khl"}) counter.inputMethod({}, code);
        counter.inputMethod(QStringLiteral("中国"), {});
        // 中国 again from an input method that shows no code: its code's four letters.
        counter.inputMethod(QStringLiteral("中国"), {});
        // A wrong 人 taken out with Backspace, then a mark.
        counter.inputMethod({}, QStringLiteral("w"));
        counter.inputMethod(QStringLiteral("人"), QStringLiteral("r"));  // a fifth letter
        counter.inputMethod(QStringLiteral("的，"), {});                 // committed by the mark
        counter.backspace(2);

        TypingMeasures m;
        counter.fill(m);
        QCOMPARE(m.keys, 4 + 2 + 6 + 4 + 1 + 1 + 1 + 1);
        QCOMPARE(m.backspaces, 2);
        QCOMPARE(m.erased, 2);
        QCOMPARE(m.selections, 1);
        QCOMPARE(m.committed, 10);
        QCOMPARE(m.wordCharacters, 6);

        m.characters = 8;
        m.ms = 4000;
        m.wrong = 1;
        m.idealKeys = 14;
        QCOMPARE(m.speed(), 120.0);
        QCOMPARE(m.keysPerSecond(), 5.0);
        QCOMPARE(m.codeLength(), 2.5);
        // (20 − 2 − 2 × 2.5) ÷ 20
        QCOMPARE(m.keyAccuracy(), 0.65);
        QCOMPARE(m.accuracy(), 0.875);
        QCOMPARE(
            m.resultLine(3, QStringLiteral("五笔")),
            QStringLiteral("第3段 速度120.00 击键5.00 码长2.50(理想1.75) 字数8 错字1 用时4.0秒 "
                           "键准65.0% 回改2 打词率60.0% 输入法:五笔 qorvex"));
    }

    // A text-drill page counts no keys: they come from each stroke's shown code.
    void textDrillPageMeasuredFromItsStrokes() {
        History::Stroke wrongFirst{QStringLiteral("国"), 300, 1};
        wrongFirst.wrongs = {QStringLiteral("固")};  // not in the table: four keys
        const TypingMeasures m =
            TypingMeasures::fromStrokes({{QStringLiteral("工"), 0, 0, QStringLiteral("a")},
                                         wrongFirst,
                                         {QStringLiteral("，"), 200}},
                                        2000, smallTable());
        QCOMPARE(m.characters, 3);
        QCOMPARE(m.keys, 2 + 4 + 4 + 1);
        QCOMPARE(m.wrong, 1);
        QCOMPARE(m.idealKeys, 2 + 1 + 1);  // 国 before the mark needs no space
    }

    void idealKeysOfKnownTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("keys");
        QTest::addColumn<QString>("codes");
        // The phrase's four letters beat 我 and 们 with their spaces (2 + 3).
        QTest::newRow("phrase") << "我们的" << 6 << "trwu r";
        // A mark commits 的 without its space.
        QTest::newRow("top screen") << "我们的，" << 6 << "trwu r^ -";
        // The mark cannot choose a second candidate: 戒 takes its selection key.
        QTest::newRow("selection") << "戒。" << 4 << "aa+ -";
        // 中国 as a phrase (4) ties 中 and 国 (2 + 2); the phrase is found first.
        QTest::newRow("tie") << "中国人" << 6 << "khlg w";
        QTest::newRow("unknown") << "龘工" << 6 << "- a";
        QTest::newRow("empty") << "" << 0 << "";
    }
    void idealKeysOfKnownTexts() {
        QFETCH(QString, text);
        QFETCH(int, keys);
        QFETCH(QString, codes);
        const WordTable::Ideal ideal = smallTable().ideal(text);
        QCOMPARE(ideal.keys, keys);
        QCOMPARE(::codes(ideal), codes);
        int sum = 0;
        for (const WordTable::Segment& s : ideal.segments) sum += s.keys;
        QCOMPARE(sum, keys);
    }

    // A pasted text typed to its end through an input method, with a slip, a pause and a
    // fourth-letter commit; the 成绩 line lands on the clipboard and the page in the history.
    void pastedTextTypedToTheEnd() {
        QTemporaryDir drive;
        QDir(drive.path()).mkpath("mavro");
        QFile words(drive.filePath("mavro/words.txt"));
        QVERIFY(words.open(QIODevice::WriteOnly));
        for (const auto& row : kRows)
            words.write(QByteArray(row.word) + '\t' + row.code + '\t' +
                        QByteArray::number(row.place) + "\t1\n");
        words.close();
        qputenv("QORVEX_DRIVE", drive.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", drive.filePath("home").toLocal8Bit());  // a history of its own
        uint32_t now = 500;
        TickCount::setSource([&now] { return now; });

        TfrmGenda* window = TfrmGenda::window();
        window->show();
        TypingBox* box = window->Edit1;
        box->setFocus();
        QGuiApplication::clipboard()->setText(QStringLiteral("我们的，\n中国 人。"));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->Label1->text(), QStringLiteral("第 1 段 / 共 1 段"));
        QVERIFY(box->text().isEmpty());  // the paste went to the model, not the box
        // 词语提示 switched on leaves the box where the pupil types.
        QTest::mouseClick(window->CheckBox3, Qt::LeftButton);
        QVERIFY(window->CheckBox3->isChecked());
        QCOMPARE(window->focusWidget(), box);

        const auto im = [&](uint32_t at, const QString& commit, const QString& preedit) {
            now = at;
            QInputMethodEvent event(preedit, {});
            event.setCommitString(commit);
            QApplication::sendEvent(box, &event);
        };
        im(1000, {}, "t");  // the clock starts at the first key
        im(1200, {}, "tr");
        im(1500, {}, "trw");
        im(2000, "我们", {});
        im(2500, {}, "r");
        im(3000, "的，", {});
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(window->paused());
        QVERIFY(window->isVisible());
        now = 13000;  // ten seconds away do not count
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(!window->paused());
        im(14000, "中国", {});
        im(14500, "入", {});  // wrong: red in the model until taken out
        QCOMPARE(window->measuresAt(now).wrong, 1);
        now = 15000;
        QTest::keyClick(box, Qt::Key_Backspace);
        im(15200, {}, "w");
        im(15500, "人", {});
        im(16000, "。", {});

        const QString line = QGuiApplication::clipboard()->text();
        QVERIFY2(line.startsWith(QStringLiteral(
                     "第1段 速度96.00 击键3.60 码长2.25(理想1.50) 字数8 错字1 用时5.0秒 "
                     "键准81.9% 回改1 打词率44.4% 输入法:")),
                 qPrintable(line));
        QVERIFY(line.endsWith(QStringLiteral(" qorvex")));
        QCOMPARE(window->Label3->text(), line);
        QVERIFY2(window->Label2->text().endsWith(
                     QStringLiteral("准确率 87.5%　退格 1　选重 0　打词 4 字")),
                 qPrintable(window->Label2->text()));
        QVERIFY(box->isReadOnly());

        History::Store::instance().idle();
        QList<History::Measures> kept;
        History::Store::instance().forEachMeasured(
            History::kText, [&](qint64, qint64 ms, const History::Measures& m) {
                QCOMPARE(ms, 5000);
                kept << m;
            });
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept[0].keys, 18);
        QCOMPARE(kept[0].idealKeys, 12);
        QCOMPARE(kept[0].erased, 1);
        const History::Page page = History::Store::instance().pages(History::kText, true).last();
        QCOMPARE(page.lesson, QStringLiteral("跟打练习"));
        QCOMPARE(page.strokes.size(), 8);
        QCOMPARE(page.strokes[6].wrongs, QStringList{QStringLiteral("入")});
        // The slip is one of the pairs 智能练习 sets side by side.
        qint64 pairs = 0;
        History::Store::instance().forEachConfusion(
            History::kText, [&](QStringView wanted, QStringView typed, qint64 n) {
                if (wanted == QStringLiteral("人") && typed == QStringLiteral("入"))
                    pairs += n;
            });
        QCOMPARE(pairs, 1);

        QTest::keyClick(box, Qt::Key_F3);  // the same section again
        QVERIFY(!box->isReadOnly());
        QVERIFY(box->text().isEmpty());
        TickCount::setSource({});
        window->hide();
    }
};

QTEST_MAIN(TypeAlongTest)
#include "test_typealong.moc"
