// The record window on a pupil's desktop: Xvfb with openbox and fcitx5's Wubi switched on. Opened
// from the help menu with real key strokes over a history with weak characters, its button
// "练习薄弱字[&W]" opens the text drill on a page of them, which the pupil types as Wubi codes read
// off the window's own list; Enter closes the result dialog and Esc walks back to the main window.
#include <QProcess>
#include <QtTest>

#include "app/cmavro.h"
#include "data/history.h"
#include "drills/Ctime.h"
#include "drills/ctest.h"
#include "progress/CRecord.h"
#include "support/fcitxservice.h"
#include "support/textdrillpupil.h"
#include "support/wubidesktop.h"

namespace {

// Three pages of one lesson in which every character is met three times, 国 typed wrong first.
bool writeHistory() {
    for (int day = 1; day <= 3; ++day) {
        History::Page p;
        p.at = QDateTime::currentDateTimeUtc().addDays(-day);
        p.drill = History::kText;
        p.lesson = QStringLiteral("课程练习[&1]");
        p.speedText = QStringLiteral("每分钟%1个").arg(40 + day);
        for (QChar c : QStringLiteral("国民地在要")) p.strokes.append({QString(c), 400, 0});
        p.strokes.first().wrong = 1;
        if (!History::Store::instance().record(p))
            return false;
    }
    return true;
}

// The caption of the window the window manager has active, read from the X server.
QString activeCaption() {
    QProcess xdotool;
    xdotool.start("xdotool", {"getactivewindow", "getwindowname"});
    xdotool.waitForFinished(5000);
    return QString::fromUtf8(xdotool.readAllStandardOutput()).trimmed();
}

// The keys that type a character through Wubi, from the record window's list: the short code
// and Space, or a full code of four letters alone.
QHash<QChar, QString> codesInGrid() {
    QHash<QChar, QString> codes;
    for (int row = 0; row < frmRecord->Grid1->rowCount(); ++row) {
        const QString shortCode = frmRecord->Grid1->item(row, 2)->text();
        const QString code =
            shortCode.isEmpty() ? frmRecord->Grid1->item(row, 1)->text() : shortCode;
        codes.insert(frmRecord->Grid1->item(row, 0)->text().at(0),
                     code.size() < 4 ? code + ' ' : code);
    }
    return codes;
}

// Keys typed as a keyboard types them, while the program goes on handling what arrives.
void typeKeys(const QString& keys) {
    QProcess xdotool;
    xdotool.start("xdotool", {"type", "--delay", "40", keys});
    xdotool.waitForStarted();
    (void)QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 60000);
}

TypingBox* box(int n) {
    return frmTest->boxes[n - 1];
}

// fcitx5 gives the drill's window an input context a moment after it is shown, and keys typed
// before reach box 1 as plain letters: types the first character until Wubi gives it.
bool firstCharacterThroughWubi(const QString& keys, const QString& character) {
    if (!QTest::qWaitFor([] { return box(1)->hasFocus(); }) ||
        !QTest::qWaitFor(FcitxService::wubiActive, 10000))
        return false;
    for (int attempt = 0; attempt < 20 && box(1)->text() != character; ++attempt) {
        box(1)->clear();
        typeKeys(keys);
        (void)QTest::qWaitFor([&] { return box(1)->text() == character; }, 1000);
    }
    return box(1)->text() == character;
}

}  // namespace

class X11RecordTest : public QObject {
    Q_OBJECT

    WubiDesktop desktop;

    // What the pupil saw, step by step.
    struct Seen {
        QString recordCaption;
        int gridRows = 0;
        QStringList lines;
        int results = 0;
        QString speed;
        bool resultHadKeyboard = false, resultClosedByEnter = false;
        bool drillHasBox1AfterResult = false;
        QString box1AfterResult;
        QString captionBackFromDrill;
        QStringList chartChoices;
        bool recordClosed = false;
        QRect recordFrame;  // once settled
    };

    // In the drill: types every shown line as Wubi codes, reads the result dialog and closes it
    // with Enter, then leaves the drill with Esc.
    static void typeWeakPage(Seen& seen, const QHash<QChar, QString>& codes) {
        QVERIFY(QTest::qWaitForWindowActive(frmTest));
        for (int n = 1; n <= 8; ++n)
            if (!frmTest->lines[n - 1]->isHidden())
                seen.lines << frmTest->lines[n - 1]->text();
        QVERIFY(!seen.lines.isEmpty());
        QStringList keys;
        for (const QString& line : seen.lines) {
            QString lineKeys;
            for (QChar c : line) {
                QVERIFY2(codes.contains(c), qPrintable(QStringLiteral("no code listed for ") + c));
                lineKeys += codes[c];
            }
            keys << lineKeys;
        }
        QVERIFY(firstCharacterThroughWubi(codes[seen.lines[0][0]], seen.lines[0].left(1)));
        keys[0].remove(0, codes[seen.lines[0][0]].size());

        TextDrillPupil::whenModalIs(frmTime, [&seen] {
            ++seen.results;
            seen.speed = frmTime->Label2->text();
            seen.resultHadKeyboard = QTest::qWaitForWindowActive(frmTime);
            Fcitx::strokes({"Return"});
            seen.resultClosedByEnter = QTest::qWaitFor([] { return !frmTime->isVisible(); });
            if (frmTime->isVisible())
                frmTime->close();
        });
        for (int n = 1; n <= seen.lines.size(); ++n) {
            typeKeys(keys[n - 1]);
            if (n < seen.lines.size())
                QTRY_VERIFY2_WITH_TIMEOUT(box(n + 1)->hasFocus(), qPrintable(box(n)->text()),
                                          30000);
        }
        QTRY_COMPARE_WITH_TIMEOUT(seen.results, 1, 30000);
        // The page comes again, from its first box.
        seen.drillHasBox1AfterResult =
            QTest::qWaitFor([] { return frmTest->isActiveWindow() && box(1)->hasFocus(); });
        seen.box1AfterResult = box(1)->text();
        Fcitx::strokes({"Escape"});
        QTRY_VERIFY(!frmTest->isVisible());
    }

  private slots:
    void initTestCase() {
        // In the folder of fcitx5's run (its XDG_DATA_HOME), not the pupil's.
        QVERIFY(writeHistory());
        VERIFY_NO_FAULT(desktop.start());
    }
    void cleanup() { Fcitx::logIfFailed(); }

    void weakCharactersTypedThroughWubiFromTheRecordWindow() {
        Seen seen;
        whenModal([&seen] {
            [&seen] {
                QVERIFY(QTest::qWaitForWindowActive(frmRecord));
                QTRY_COMPARE(activeCaption(), frmRecord->windowTitle());
                seen.recordCaption = activeCaption();
                // All of it on a screen 768 pixels high, buttons and all.
                QTest::qWait(1600);
                seen.recordFrame = frmRecord->frameGeometry();
                seen.gridRows = frmRecord->Grid1->rowCount();
                const QHash<QChar, QString> codes = codesInGrid();
                bool typed = false;
                TextDrillPupil::whenModalIs(frmTest, [&] {
                    typeWeakPage(seen, codes);
                    if (frmTime->isVisible())
                        frmTime->close();  // a failed step left them open
                    if (frmTest->isVisible())
                        frmTest->close();
                    typed = true;
                });
                Fcitx::strokes({"alt+w"});
                QTRY_VERIFY_WITH_TIMEOUT(typed, 120000);
                QTRY_VERIFY(frmRecord->isActiveWindow());
                QTRY_COMPARE(activeCaption(), frmRecord->windowTitle());
                seen.captionBackFromDrill = activeCaption();
                for (int i = 0; i < frmRecord->ComboBox1->count(); ++i)
                    seen.chartChoices << frmRecord->ComboBox1->itemText(i);
                Fcitx::strokes({"Escape"});
                seen.recordClosed = QTest::qWaitFor([] { return !frmRecord->isVisible(); });
            }();
            if (frmRecord->isVisible())
                frmRecord->close();
        });
        Fcitx::strokes({"alt+h", "r"});
        QTRY_VERIFY_WITH_TIMEOUT(seen.recordClosed, 180000);

        QCOMPARE(seen.recordCaption, QStringLiteral("Tarvelle---->学习记录"));
        QVERIFY2(QRect(0, 0, 1024, 768).contains(seen.recordFrame),
                 qPrintable(QStringLiteral("%1 %2 %3x%4")
                                .arg(seen.recordFrame.x())
                                .arg(seen.recordFrame.y())
                                .arg(seen.recordFrame.width())
                                .arg(seen.recordFrame.height())));
        QCOMPARE(seen.gridRows, 5);
        QCOMPARE(seen.lines.size(), 6);
        for (const QString& line : seen.lines) QCOMPARE(line.size(), 36);
        QCOMPARE(seen.results, 1);
        QVERIFY2(seen.speed.startsWith(QStringLiteral("每分钟")), qPrintable(seen.speed));
        QVERIFY(seen.resultHadKeyboard);
        QVERIFY(seen.resultClosedByEnter);
        QVERIFY(seen.drillHasBox1AfterResult);
        QCOMPARE(seen.box1AfterResult, QString());
        QCOMPARE(seen.captionBackFromDrill, seen.recordCaption);
        QVERIFY2(seen.chartChoices.contains(QStringLiteral("文字练习 · 练习薄弱字")),
                 qPrintable(seen.chartChoices.join('\n')));
        const History::Page last = History::Store::instance().pages(History::kText).last();
        QCOMPARE(last.lesson, QStringLiteral("练习薄弱字"));
        QCOMPARE(last.speedText, seen.speed);
        // Back at the main window, with the keyboard there.
        QTRY_VERIFY(frmmavro->isActiveWindow());
        QTRY_COMPARE(activeCaption(), frmmavro->windowTitle());
    }
};

int main(int argc, char** argv) {
    return Fcitx::exec(argc, argv, [] { return new X11RecordTest; });
}

#include "x11_record.moc"
