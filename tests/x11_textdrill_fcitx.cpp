// The real input-method path of the text drill: under Xvfb, with a private D-Bus session and
// fcitx5 running its Wubi table (fresh configuration, learning off), the program loads Qt's fcitx
// input context and the pupil types Wubi codes as X key strokes. The committed characters must
// land in the typing boxes and pass the check.
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include "support/textdrillsession.h"

using namespace TextDrillSession;

namespace {

// A private bus and an fcitx5 of our own, with a configuration made for this run.
class InputMethodService {
  public:
    QString failure;

    bool start() {
        for (const char* tool : {"dbus-daemon", "fcitx5", "fcitx5-remote", "xdotool"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                return fail(QStringLiteral("%1 is not installed (test.sh installs it)").arg(tool));
        if (!home.isValid())
            return fail("no temporary folder");
        writeConfiguration();
        qputenv("XDG_CONFIG_HOME", dir("config").toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir("data").toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", dir("runtime").toLocal8Bit());
        if (!startBus())
            return false;
        fcitx.setProcessChannelMode(QProcess::MergedChannels);
        fcitx.setStandardOutputFile(logPath());
        fcitx.start("fcitx5",
                    {"--disable=all",
                     "--enable=keyboard,table,punctuation,pinyinhelper,dbus,dbusfrontend,xcb",
                     "--verbose=default=4,key_trace=5"});
        if (!fcitx.waitForStarted())
            return fail("fcitx5 did not start");
        for (int i = 0; i < 200; ++i) {
            if (fcitx.state() != QProcess::Running)
                return fail("fcitx5 stopped: " + log());
            if (remote({}).exitCode == 0 && remote({"-q"}).output == "Default")
                return true;
            QThread::msleep(50);
        }
        return fail("fcitx5 did not come up on the private bus");
    }

    void stop() {
        if (fcitx.state() == QProcess::Running) {
            remote({"-e"});  // a clean exit, which saves what fcitx5 keeps
            if (!fcitx.waitForFinished(5000))
                fcitx.terminate();
            if (!fcitx.waitForFinished(5000))
                fcitx.kill();
        }
        if (busPid > 0)
            QProcess::execute("kill", {QString::number(busPid)});
    }

    struct Reply {
        int exitCode = -1;
        QString output;
    };
    static Reply remote(const QStringList& arguments) {
        QProcess p;
        p.start("fcitx5-remote", arguments);
        p.waitForFinished(5000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed()};
    }

    // With learning on, fcitx5 saves what the pupil chose when it quits.
    bool learnedSomething() {
        const QString table = QDir(home.path()).filePath("data/fcitx5/table");
        return !QDir(table).entryList({"wbx.*"}, QDir::Files).isEmpty();
    }

    QString log() {
        QFile file(logPath());
        file.open(QIODevice::ReadOnly);
        return QString::fromLocal8Bit(file.readAll());
    }

  private:
    QTemporaryDir home;
    QProcess fcitx;
    qint64 busPid = 0;

    QString logPath() const { return QDir(home.path()).filePath("fcitx5.log"); }
    bool fail(const QString& why) {
        failure = why;
        return false;
    }
    QString dir(const QString& name) {
        const QString path = QDir(home.path()).filePath(name);
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    static void write(const QString& path, const QString& text) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text.toUtf8());
    }

    // One group: the US keyboard and Wubi. The table keeps its own order: no learning.
    void writeConfiguration() {
        const QString config = dir("config") + "/fcitx5";
        write(config + "/profile",
              "[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=wbx\n\n"
              "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
              "[Groups/0/Items/1]\nName=wbx\nLayout=\n\n[GroupOrder]\n0=Default\n");
        // The table's own settings over the shipped ones (section [Table] of the input method).
        write(config + "/table/wbx.conf", "[Table]\nLearning=False\nOrderPolicy=No\n");
    }

    bool startBus() {
        QProcess bus;
        bus.start("dbus-daemon", {"--session", "--fork", "--print-address=1", "--print-pid=1"});
        if (!bus.waitForFinished(10000) || bus.exitCode() != 0)
            return fail("dbus-daemon did not start");
        const QStringList lines =
            QString::fromLocal8Bit(bus.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        if (lines.size() < 2)
            return fail("dbus-daemon gave no address");
        qputenv("DBUS_SESSION_BUS_ADDRESS", lines[0].trimmed().toLocal8Bit());
        busPid = lines[1].trimmed().toLongLong();
        return true;
    }
};

InputMethodService* service = nullptr;

// Real key strokes on the X server, as the pupil's keyboard makes them.
void strokes(const QStringList& keys) {
    QProcess::execute("xdotool", QStringList{"key", "--delay", "40"} + keys);
}

// Wubi codes, each followed by Space to take the first candidate.
QStringList codes(const QStringList& words) {
    QStringList keys;
    for (const QString& code : words) {
        for (QChar c : code) keys << QString(c);
        keys << "space";
    }
    return keys;
}

}  // namespace

class FcitxWubiTest : public QObject {
    Q_OBJECT

    Program* program = nullptr;

    // fcitx5 loads the Wubi table on first use, and keys typed meanwhile are lost; type into a
    // box of our own until a code gives its character.
    void warmUp() {
        QLineEdit scratch;
        scratch.show();
        scratch.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&scratch));
        QTRY_VERIFY(scratch.hasFocus());
        QTRY_VERIFY_WITH_TIMEOUT(InputMethodService::remote({"-s", "wbx"}).exitCode == 0 &&
                                     InputMethodService::remote({"-n"}).output == "wbx",
                                 10000);
        for (int attempt = 0; attempt < 40 && !scratch.text().contains(QStringLiteral("地"));
             ++attempt) {
            strokes(codes({"f"}));
            QTest::qWait(500);
        }
        QVERIFY2(scratch.text().contains(QStringLiteral("地")),
                 qPrintable("Wubi gave no characters: " + scratch.text() + "\nfcitx5 log:\n" +
                            service->log()));
    }

  private slots:
    void initTestCase() {
        QVERIFY2(service->failure.isEmpty(), qPrintable(service->failure));
        QVERIFY2(QGuiApplication::platformName() == "xcb", "runs on X11 only");
        warmUp();
        program = new Program;
        QVERIFY(QTest::qWaitForWindowActive(frmmavro));
    }
    void cleanupTestCase() { delete program; }

    void wubiCodesTypeALineThatTheCheckAccepts() {
        visit("N31", [] {
            QCOMPARE(line(1), QStringLiteral("工地在要中国人民第16行"));
            QTRY_VERIFY(box(1)->hasFocus());
            // fcitx knows the box once it has the focus; switch that input context to Wubi.
            QTRY_VERIFY_WITH_TIMEOUT(InputMethodService::remote({"-s", "wbx"}).exitCode == 0 &&
                                         InputMethodService::remote({"-n"}).output == "wbx",
                                     10000);

            // A wrong character first: it is selected, and the right one typed over it.
            strokes(codes({"f"}));
            QTRY_COMPARE(box(1)->text(), QStringLiteral("地"));
            QCOMPARE(box(1)->selectedText(), QStringLiteral("地"));
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("工:a"));
            strokes(codes({"a"}));
            QTRY_COMPARE(box(1)->text(), QStringLiteral("工"));
            QVERIFY(!box(1)->hasSelectedText());
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("地:f"));

            // The rest of the line: one-letter and two-letter short codes, digits as they are.
            strokes(codes({"f", "d", "s", "k", "l", "w", "n", "tx"}));
            QTRY_COMPARE(box(1)->text(), QStringLiteral("工地在要中国人民第"));
            strokes({"1", "6"});
            QTRY_COMPARE(box(1)->text(), QStringLiteral("工地在要中国人民第16"));
            strokes(codes({"tf"}));
            // The check accepts the line and hands the focus to box 2.
            QTRY_VERIFY(box(2)->hasFocus());
            QCOMPARE(box(1)->text(), line(1));
            QCOMPARE(frmTest->Label10->text(), QStringLiteral("工:a"));

            strokes(codes({"a", "f"}));
            QTRY_COMPARE(box(2)->text(), QStringLiteral("工地"));
            QVERIFY(!box(2)->hasSelectedText());
        });
        if (QTest::currentTestFailed())
            qWarning().noquote() << "fcitx5 log:\n" << service->log();
    }
};

int main(int argc, char** argv) {
    InputMethodService im;
    service = &im;
    const bool up = im.start();
    if (up)
        qputenv("QT_IM_MODULE", "fcitx");
    int result = 1;
    {
        QApplication app(argc, argv);
        FcitxWubiTest test;
        result = QTest::qExec(&test, argc, argv);
    }
    im.stop();
    if (up && im.learnedSomething()) {
        qWarning(
            "FAIL: fcitx5 saved learned choices; its Wubi table was meant to run without "
            "learning");
        result = 1;
    }
    return result;
}

#include "x11_textdrill_fcitx.moc"
