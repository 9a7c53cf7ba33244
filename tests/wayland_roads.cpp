// The program on a Wayland desktop, sway in its headless backend without Xwayland, started as a
// pupil's session starts it: a process of its own, QT_IM_MODULE unset, fcitx5 with Wubi on the
// session bus. The test stands outside it, as the pupil does: keys come through the compositor's
// virtual keyboard (wtype), windows are read from sway's tree (swaymsg) and pixels from
// screenshots (grim). A text page typed as Wubi codes reaches the result dialog, a finger page
// typed with Wubi on stays letters, F2 cycles the text drill's hints, the windows that can be
// resized float over the main window, and every caption is the window's own. The same text page
// typed with the program's choice of frontend turned off (QORVEX_NO_IM_CHOICE=1) must not finish:
// the test can tell a set-up that gives letters.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include "support/courseprogram.h"
#include "support/fcitxservice.h"
#include "support/fixturecourse.h"

namespace {

const QString kMainCaption =
    QStringLiteral("Tarvelle----->五笔速成练习     qorvex 五笔练习 · 电话：010-0000-0000");
const QString kTextCaption = QStringLiteral("Tarvelle--->五笔字型速成练习") + QString(37, ' ') +
                             QStringLiteral("F2:关闭/打开提示");
const QString kFingerCaption = QStringLiteral("Tarvelle--->指法练习");
const QString kResultCaption = QStringLiteral("您的测试成绩");

// "课程练习[&5]" shows rows 29 to 33; each types as the fcitx5 Wubi codes of its characters.
QString textPageKeys() {
    QString keys;
    for (int row = 29; row <= 33; ++row)
        keys += QStringLiteral("a f d s k l w n tx %1tf ").arg(row);
    return keys;
}

// "基准键[&A]" starts at row 125; its first page is four rows of letters.
QString fingerPageKeys() {
    const QList<QString> rows = FixtureCourse::defaultPracticeRows();
    return rows[124] + rows[125] + rows[126] + rows[127];
}

struct View {
    QString name;
    bool focused = false;
    QRect content;  // on the screen, without sway's decoration
    bool floating = false;
};

void collectViews(const QJsonObject& node, QList<View>* views, bool floating = false) {
    if (node.contains("pid")) {
        const QJsonObject rect = node.value("rect").toObject();
        const QJsonObject inner = node.value("window_rect").toObject();
        views->append(
            {node.value("name").toString(), node.value("focused").toBool(),
             QRect(rect["x"].toInt() + inner["x"].toInt(), rect["y"].toInt() + inner["y"].toInt(),
                   inner["width"].toInt(), inner["height"].toInt()),
             floating});
    }
    for (const char* children : {"nodes", "floating_nodes"})
        for (const QJsonValue child : node.value(children).toArray())
            collectViews(child.toObject(), views,
                         floating || children == QLatin1String("floating_nodes"));
}

QList<View> views() {
    QProcess swaymsg;
    swaymsg.start("swaymsg", {"-r", "-t", "get_tree"});
    swaymsg.waitForFinished(5000);
    QList<View> result;
    collectViews(QJsonDocument::fromJson(swaymsg.readAllStandardOutput()).object(), &result);
    return result;
}

QStringList captions() {
    QStringList names;
    for (const View& view : views()) names << view.name;
    return names;
}

View focusedView() {
    for (const View& view : views())
        if (view.focused)
            return view;
    return {};
}

// Waits until the window with the keyboard carries this caption, exactly.
bool focusedIs(const QString& caption, int timeoutMs = 10000) {
    return QTest::qWaitFor([&] { return focusedView().name == caption; }, timeoutMs);
}

void type(const QString& text) {
    QProcess::execute("wtype", {"-d", "40", "--", text});
}

QImage screenshot(const QRect& area) {
    QProcess grim;
    grim.start("grim", {"-g",
                        QStringLiteral("%1,%2 %3x%4")
                            .arg(area.x())
                            .arg(area.y())
                            .arg(area.width())
                            .arg(area.height()),
                        "-"});
    grim.waitForFinished(10000);
    return QImage::fromData(grim.readAllStandardOutput(), "PNG");
}

// The hint area at the top of the text drill: short code and root pictures.
QImage hintArea() {
    const QRect window = focusedView().content;
    return screenshot(QRect(window.topLeft(), QSize(window.width(), 80)));
}

// The hint area once the drill has painted it: the same in two shots a moment apart.
QImage paintedHintArea() {
    QImage shot = hintArea();
    for (int attempt = 0; attempt < 20; ++attempt) {
        QTest::qWait(200);
        const QImage next = hintArea();
        if (next == shot)
            break;
        shot = next;
    }
    return shot;
}

}  // namespace

class WaylandRoadsTest : public QObject {
    Q_OBJECT

    FixtureCourse course;
    QProcess program;

    // The program started over the fixture course, its main window up with an input context of
    // fcitx5 when it speaks to fcitx5. Empty when up, else what is not.
    QString startProgram(bool chooseFrontend) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_IM_MODULE");
        env.insert("QT_QPA_PLATFORM", "wayland");
        if (!chooseFrontend)
            env.insert("QORVEX_NO_IM_CHOICE", "1");
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        const Fcitx::ContextWatch context;
        program.start(qEnvironmentVariable("QORVEX_PROGRAM"), QStringList{});
        if (!program.waitForStarted())
            return "the program did not start: " + qEnvironmentVariable("QORVEX_PROGRAM");
        if (!QTest::qWaitFor([] { return captions().contains(kMainCaption); }, 10000))
            return "no main window: " + captions().join(" | ");
        // A page offered at a pupil's first start is closed, as a pupil whose Wubi works does.
        QTest::qWait(1000);
        if (focusedView().name != kMainCaption)
            Fcitx::strokes({"Escape"});
        if (!focusedIs(kMainCaption))
            return "no main window with the keyboard: " + captions().join(" | ");
        if (chooseFrontend && !context.await())
            return "the program made no input context with fcitx5";
        return {};
    }

    void stopProgram() {
        program.terminate();
        if (!program.waitForFinished(5000))
            program.kill();
    }

    // Opens a lesson from the main window's menu by its keys; true once the drill has the
    // keyboard (and, with Wubi, its own input context).
    bool openLesson(const QString& menu, const QString& command, const QString& caption,
                    bool withContext = true) {
        const Fcitx::ContextWatch context;
        Fcitx::strokes({"alt+" + menu, command});
        return focusedIs(caption) && (!withContext || context.await());
    }

    // Esc leaves the drill; the menu the pupil came by opens again, and Esc closes it.
    void leaveDrill() {
        Fcitx::strokes({"Escape"});
        QVERIFY(focusedIs(kMainCaption));
        QTest::qWait(300);
        Fcitx::strokes({"Escape", "Escape"});
    }

  private slots:
    void initTestCase() {
        if (qEnvironmentVariable("QORVEX_PROGRAM").isEmpty())
            QSKIP("QORVEX_PROGRAM names no program");
        VERIFY_NO_FAULT(Fcitx::warmUp());
        course.writeAll();
        VERIFY_NO_FAULT(startProgram(true));
    }
    void cleanupTestCase() { stopProgram(); }
    void cleanup() { Fcitx::logIfFailed(); }

    void textPageThroughWubiWithF2() {
        QVERIFY(openLesson("d", "5", kTextCaption));
        QVERIFY(FcitxService::wubiActive());

        // F2 hides the pictures, then the code; the third press brings both back.
        const QImage full = paintedHintArea();
        Fcitx::strokes({"F2"});
        QTRY_VERIFY(hintArea() != full);
        const QImage codeOnly = hintArea();
        Fcitx::strokes({"F2"});
        QTRY_VERIFY(hintArea() != codeOnly);
        QVERIFY(hintArea() != full);
        Fcitx::strokes({"F2"});
        QTRY_COMPARE(hintArea(), full);

        type(textPageKeys());
        QVERIFY2(focusedIs(kResultCaption), qPrintable(captions().join(" | ")));
        Fcitx::strokes({"Return"});
        QVERIFY(focusedIs(kTextCaption));
        leaveDrill();
    }

    void fingerPageStaysLetters() {
        // Wubi stays on from the text drill: every window shares one input state. (The finger
        // boxes take no input method, so no context of theirs can tell.)
        QVERIFY(openLesson("f", "a", kFingerCaption, false));
        type(fingerPageKeys());
        QVERIFY2(focusedIs(kResultCaption), qPrintable(captions().join(" | ")));
        Fcitx::strokes({"Return"});
        QVERIFY(focusedIs(kFingerCaption));
        leaveDrill();
    }

    // The windows that can be resized float too, over the main window, where the pupil sees
    // them and their keys reach them.
    void secondaryWindowsFloatOverTheMainWindow_data() {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("close");  // the music window takes no Esc, but its C
        QTest::newRow("music") << QStringList{"alt+h", "s"}
                               << QStringLiteral("Tarvelle---->背景音乐设置") << "c";
        QTest::newRow("records") << QStringList{"alt+h", "r"}
                                 << QStringLiteral("Tarvelle---->学习记录") << "Escape";
    }
    void secondaryWindowsFloatOverTheMainWindow() {
        QFETCH(QStringList, keys);
        QFETCH(QString, caption);
        QFETCH(QString, close);
        const QRect main = [] {
            for (const View& view : views())
                if (view.name == kMainCaption)
                    return view.content;
            return QRect();
        }();
        Fcitx::strokes(keys);
        QVERIFY2(focusedIs(caption), qPrintable(captions().join(" | ")));
        const View shown = focusedView();
        const bool floating = shown.floating;
        const bool over = shown.content.intersects(main);
        Fcitx::strokes({close});
        QVERIFY(focusedIs(kMainCaption));
        QTest::qWait(300);
        Fcitx::strokes({"Escape", "Escape"});  // the menu the command came from
        QVERIFY(floating);
        QVERIFY(over);
    }

    // Every window above was found by its caption, compared in full; at rest only the main
    // window is shown.
    void captionsAreTheWindowsOwn() { QCOMPARE(captions(), QStringList{kMainCaption}); }

    // The negative control: without the program's choice of frontend the codes reach the
    // text drill as letters, so it stays at its first character and the page never finishes;
    // the same letters finish a finger page.
    void withoutTheChoiceCodesStayLetters() {
        stopProgram();
        VERIFY_NO_FAULT(startProgram(false));
        QVERIFY(openLesson("d", "5", kTextCaption, false));
        const QImage firstCharacter = paintedHintArea();
        type(textPageKeys());
        QVERIFY(!focusedIs(kResultCaption, 3000));
        QCOMPARE(focusedView().name, kTextCaption);
        QCOMPARE(hintArea(), firstCharacter);
        leaveDrill();

        QVERIFY(openLesson("f", "a", kFingerCaption, false));
        type(fingerPageKeys());
        QVERIFY(focusedIs(kResultCaption));
        Fcitx::strokes({"Return"});
        QVERIFY(focusedIs(kFingerCaption));
        leaveDrill();
    }
};

int main(int argc, char** argv) {
    return Fcitx::exec(argc, argv, [] { return new WaylandRoadsTest; });
}

#include "wayland_roads.moc"
