// Damaged copies of the data directory on a desktop. For each damage the pupil opens, from the
// menu, the windows that use the damaged part and types where an error could come back at every
// key. Every message is shown in a real box and dismissed with Enter, whose key release then lands
// in the window below, as it does for a pupil. Nothing crashes, no showing brings more than one
// message, every message names the damaged file, and the window still closes on its key.
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QtTest>

#include "app/cmavro.h"
#include "app/windows.h"
#include "media/mididevice.h"
#include "media/playlist.h"
#include "platform/errors.h"
#include "support/damage.h"
#include "support/fixturecourse.h"
#include "support/menustate.h"
#include "support/midifixture.h"

namespace {

// One window as the pupil uses it: the menu command that opens it; the control he types into
// (or clicks, when there is nothing to type); and the key that closes it.
struct Visit {
    QString command;
    QString control;
    QString keys;
    QString closeKey = QStringLiteral("Escape");
};

enum class Part { Table, SoundMissing, SoundReadOnly, PageMissing };

// Only the files matter here: the music plays nowhere.
class NullDevice : public MidiDevice {
  public:
    void setEndHandler(EndHandler) override {}
    void open(const QString&) override {}
    void unload() override {}
    void close() override {}
    void play(quint64) override { on = true; }
    void pause() override { on = false; }
    void rewind() override {}
    bool playing() const override { return on; }
    bool atEnd() const override { return false; }

  private:
    bool on = false;
};

void xdotool(const QStringList& arguments) {
    QProcess run;
    run.start(QStringLiteral("xdotool"), arguments);
    run.waitForFinished(10000);
}

// A message the pupil can act on names the file and says in Chinese what is wrong with it: no
// sentence of the engine's or the system's English.
bool actionable(const QString& message, const QString& file) {
    static const QRegularExpression englishWords(QStringLiteral("[A-Za-z]+ [A-Za-z]+"));
    return message.contains(file, Qt::CaseInsensitive) && !message.contains(englishWords);
}

// The program's windows for one damaged course, gone again however the row ends.
struct Program {
    Program() { createWindows(); }
    ~Program() {
        destroyWindows();
        Errors::setSink({});
    }
};

}  // namespace

Q_DECLARE_METATYPE(Visit)
Q_DECLARE_METATYPE(Part)
Q_DECLARE_METATYPE(Damage::Kind)

class X11DamagedDataTest : public QObject {
    Q_OBJECT

    QStringList messages;
    bool showBoxes = false;
    int boxesOpen = 0;  // the pupil acts on a window only when no box is in the way

    // The pupil reads the box and presses Enter; the box closes on the key going down, and the
    // key comes up in the window below. A storm is counted, not shown for ever.
    void showAndDismiss(const QString& message) {
        messages << message;
        if (!showBoxes || messages.size() > 6)
            return;
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Tarvelle"), message, QMessageBox::Ok,
                        QApplication::activeWindow());
        QTimer::singleShot(8000, &box, &QMessageBox::accept);  // no focus came: do not hang
        const QScopedValueRollback<int> open(boxesOpen, boxesOpen + 1);
        box.show();
        if (QTest::qWaitForWindowExposed(&box)) {
            xdotool({"windowfocus", "--sync", QString::number(box.winId())});
            xdotool({"keydown", "Return"});
        }
        box.exec();
        QTest::qWait(150);
        xdotool({"keyup", "Return"});
    }

    void useWindow(QWidget* window, const Visit& visit) {
        if (visit.control.isEmpty())
            return;
        auto* control = window->findChild<QWidget*>(visit.control);
        QVERIFY2(control, qPrintable(visit.control));
        if (visit.keys.isEmpty()) {
            QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, control->height() / 2));
        } else {
            if (auto* tabs = window->findChild<QTabWidget*>())
                for (int i = 0; i < tabs->count(); ++i)
                    if (tabs->widget(i)->isAncestorOf(control))
                        tabs->setCurrentIndex(i);
            control->setFocus(Qt::MouseFocusReason);
            QTRY_VERIFY(control->hasFocus());
            xdotool({"type", "--delay", "80", visit.keys});
        }
        QTest::qWait(600);  // room for a storm to start
    }

    // Opens the window through its menu command, uses it and closes it. Returns the messages
    // that came meanwhile.
    QStringList visitWindow(const Visit& visit) {
        const qsizetype before = messages.size();
        auto* command = frmmavro->MainMenu1->findChild<QAction*>(visit.command);
        if (!command)
            return {QStringLiteral("no command ") + visit.command};
        bool closed = true;
        QElapsedTimer waited;
        waited.start();
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            if (waited.elapsed() > 60000) {  // never came up for the pupil: give up, do not hang
                poll.stop();
                closed = false;
                for (QWidget* window : QApplication::topLevelWidgets())
                    if (window != frmmavro && window->isVisible())
                        window->close();
                return;
            }
            QWidget* window = QApplication::activeModalWidget();
            if (!window || boxesOpen || !window->isActiveWindow())
                return;
            poll.stop();
            useWindow(window, visit);
            xdotool({"key", visit.closeKey});
            closed = QTest::qWaitFor([&] { return !window->isVisible(); }, 5000);
            if (!closed)
                window->close();
        });
        poll.start();
        command->trigger();  // returns once the window is closed, or at once if it never showed
        poll.stop();
        QTest::qWait(100);
        MenuState::closeMenus();  // a lesson's return keys reopen the menu
        QStringList brought = messages.mid(before);
        if (!closed)
            brought << QStringLiteral("the window did not close on ") + visit.closeKey;
        return brought;
    }

  private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs an X server");
    }

    void eachShowingReportsTheDamageOnceAndByName_data() {
        QTest::addColumn<Part>("part");
        QTest::addColumn<QString>("file");       // what every message must name
        QTest::addColumn<Damage::Kind>("kind");  // for a table: how it is damaged
        QTest::addColumn<QString>("name");       // and the column or index it lost
        QTest::addColumn<QList<Visit>>("visits");
        const Visit lookup{"F1", "Edit1", "a"}, text{"N11", "Edit1", "a"};
        const Visit finger{"N27", "Edit1", "a"}, roots{"N17", "E1", "g"};
        const Visit music{"S1", "RadioButton2", "", "c"}, pages{"A3", "", ""};
        using K = Damage::Kind;
        const QList<Visit> codeTable{lookup, text};
        QTest::newRow("kzWb.DB truncated")
            << Part::Table << "kzWb.DB" << K::Truncated << "" << codeTable;
        QTest::newRow("111.DB random bytes")
            << Part::Table << "111.DB" << K::RandomBytes << "" << QList<Visit>{text, finger};
        QTest::newRow("wb1.db re-keyed")
            << Part::Table << "wb1.db" << K::Rekeyed << "" << QList<Visit>{roots};
        QTest::newRow("kzWb.DB 0 bytes") << Part::Table << "kzWb.DB" << K::Empty << "" << codeTable;
        QTest::newRow("kzWb.DB without 简码")
            << Part::Table << "kzWb.DB" << K::MissingColumn << "简码" << codeTable;
        QTest::newRow("kzWb.DB without WZindex")
            << Part::Table << "kzWb.DB" << K::MissingIndex << "WZindex" << codeTable;
        QTest::newRow("Sound missing")
            << Part::SoundMissing << "SOUND2.MID" << K::Empty << "" << QList<Visit>{music};
        QTest::newRow("Sound read-only")
            << Part::SoundReadOnly << "PlayList.TXT" << K::Empty << "" << QList<Visit>{music};
        QTest::newRow("main.htm missing")
            << Part::PageMissing << "main.htm" << K::Empty << "" << QList<Visit>{pages};
    }
    void eachShowingReportsTheDamageOnceAndByName() {
        QFETCH(Part, part);
        QFETCH(QString, file);
        QFETCH(Damage::Kind, kind);
        QFETCH(QString, name);
        QFETCH(QList<Visit>, visits);

        FixtureCourse course;
        course.writeAll();
        for (int k = 1; k <= Tunes::kCount; ++k) MidiFixture::write(Tunes::path(k));
        QFile page(QDir(course.mavro()).filePath("main.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body><p>main</p></body></html>");
        page.close();

        const QDir mavro(course.mavro());
        const QString sound = mavro.filePath("Sound");
        switch (part) {
            case Part::Table:
                QVERIFY(Damage::table(mavro.filePath(file), kind, name));
                break;
            case Part::SoundMissing:
                QVERIFY(QDir(sound).removeRecursively());
                break;
            case Part::SoundReadOnly:
                // Permission bits do not hold for the superuser: a folder in the file's place
                // stands in for the medium that takes no writing.
                if (geteuid() == 0)
                    QVERIFY(QDir(sound).mkdir("PlayList.TXT"));
                QVERIFY(QFile::setPermissions(sound, QFile::ReadOwner | QFile::ExeOwner));
                break;
            case Part::PageMissing:
                QVERIFY(QFile::remove(mavro.filePath(file)));
                break;
        }
        auto restore = qScopeGuard([&] {
            QFile::setPermissions(sound, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });

        messages.clear();
        showBoxes = false;
        Errors::setSink([this](const QString& m) { showAndDismiss(m); });
        Program program;
        frmmavro->MediaPlayer1->setDevice(std::make_unique<NullDevice>());
        for (const QString& m : std::as_const(messages))
            QVERIFY2(actionable(m, file), qPrintable(m));
        showBoxes = true;
        QVERIFY(MenuState::showMainWindow());

        for (const Visit& visit : visits) {
            const QStringList brought = visitWindow(visit);
            QVERIFY2(brought.size() <= 1, qPrintable(visit.command + ": " + brought.join(" | ")));
            for (const QString& m : brought) QVERIFY2(actionable(m, file), qPrintable(m));
        }
        QVERIFY2(!messages.isEmpty(), "the damage went unnoticed");
        QCOMPARE(Errors::netCatches(), 0);
    }
};

// The program's own application object, whose last net counts what escaped the handlers.
int main(int argc, char** argv) {
    Application app(argc, argv);
    X11DamagedDataTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "x11_damageddata.moc"
