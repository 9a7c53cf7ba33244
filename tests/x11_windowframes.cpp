// The nine windows as the window manager sees them on a real X server with openbox: each caption
// exactly as the window's own text, the border (fixed or resizable), the title-bar buttons asked
// for, what openbox then allows, and the result dialog's keys.
#include <xcb/xcb.h>
#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "app/cmavro.h"
#include "app/form.h"
#include "drills/Ctime.h"
#include "drills/CwbTest1.h"
#include "support/courseprogram.h"
#include "support/modalrun.h"
#include "tools/CWBFind.h"

namespace {

xcb_connection_t* connection() {
    return qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(const char* name) {
    auto* reply = xcb_intern_atom_reply(
        connection(), xcb_intern_atom(connection(), 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

QByteArray property(xcb_window_t window, const char* name) {
    auto* reply = xcb_get_property_reply(
        connection(),
        xcb_get_property(connection(), 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr);
    QByteArray value;
    if (reply)
        value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    free(reply);
    return value;
}

QList<quint32> cardinals(xcb_window_t window, const char* name) {
    const QByteArray bytes = property(window, name);
    const auto* data = reinterpret_cast<const quint32*>(bytes.constData());
    return QList<quint32>(data, data + bytes.size() / 4);
}

QStringList atomNames(xcb_window_t window, const char* name) {
    QStringList names;
    for (quint32 value : cardinals(window, name)) {
        auto* reply =
            xcb_get_atom_name_reply(connection(), xcb_get_atom_name(connection(), value), nullptr);
        if (reply)
            names << QString::fromLatin1(xcb_get_atom_name_name(reply),
                                         xcb_get_atom_name_name_length(reply));
        free(reply);
    }
    return names;
}

// What the X server holds for a managed window.
struct Framed {
    QString caption;      // _NET_WM_NAME
    QString wmClass;      // the class part of WM_CLASS
    bool fixed = false;   // WM_NORMAL_HINTS: minimum size equal to maximum size
    QString buttons;      // the title-bar decorations the Motif hints ask for
    QStringList allowed;  // _NET_WM_ALLOWED_ACTIONS, set by openbox
    QSize client;
    QRect outer;  // the client grown by _NET_FRAME_EXTENTS, set by openbox
    bool managed() const { return !allowed.isEmpty() && outer.size() != client; }
};

Framed frameOf(QWidget* window) {
    const auto id = xcb_window_t(window->winId());
    Framed frame;
    frame.caption = QString::fromUtf8(property(id, "_NET_WM_NAME"));
    frame.wmClass = QString::fromLatin1(property(id, "WM_CLASS").split('\0').value(1));
    const QList<quint32> hints = cardinals(id, "WM_NORMAL_HINTS");
    enum { PMinSize = 16, PMaxSize = 32 };
    frame.fixed = hints.size() >= 9 && (hints[0] & PMinSize) && (hints[0] & PMaxSize) &&
                  hints[5] == hints[7] && hints[6] == hints[8];
    const QList<quint32> motif = cardinals(id, "_MOTIF_WM_HINTS");
    const quint32 decorations = motif.value(2);
    QStringList buttons;
    const std::pair<quint32, const char*> known[] = {
        {0x10, "menu"}, {0x20, "minimize"}, {0x40, "maximize"}};
    for (auto [bit, name] : known)
        if (decorations & bit)
            buttons << QString::fromLatin1(name);
    if (motif.value(1) & 0x20)  // the close function: a close box
        buttons << QStringLiteral("close");
    frame.buttons = buttons.join(' ');
    for (const QString& action : atomNames(id, "_NET_WM_ALLOWED_ACTIONS"))
        frame.allowed << action.mid(QStringLiteral("_NET_WM_ACTION_").size());
    auto* geometry =
        xcb_get_geometry_reply(connection(), xcb_get_geometry(connection(), id), nullptr);
    auto* onRoot =
        geometry ? xcb_translate_coordinates_reply(
                       connection(),
                       xcb_translate_coordinates(connection(), id, geometry->root, 0, 0), nullptr)
                 : nullptr;
    const QList<quint32> extents = cardinals(id, "_NET_FRAME_EXTENTS");  // left, right, top, bottom
    if (geometry && onRoot && extents.size() == 4) {
        frame.client = QSize(geometry->width, geometry->height);
        frame.outer =
            QRect(onRoot->dst_x, onRoot->dst_y, geometry->width, geometry->height)
                .adjusted(-int(extents[0]), -int(extents[2]), int(extents[1]), int(extents[3]));
    }
    free(onRoot);
    free(geometry);
    return frame;
}

QWidget* window(const QString& name) {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == name)
            return top;
    return nullptr;
}

bool xdotool(const QStringList& arguments) {
    QProcess process;
    process.start("xdotool", arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

// Notes that a key reached the program.
class KeyWatch : public QObject {
  public:
    KeyWatch() { qApp->installEventFilter(this); }
    bool pressed = false;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        pressed = pressed || event->type() == QEvent::KeyPress;
        return false;
    }
};

}  // namespace

class X11WindowFramesTest : public QObject {
    Q_OBJECT

    CourseProgram program;

  private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs an X server");
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("xdotool is not installed");
        nameApplication();
        VERIFY_NO_FAULT(program.startAtMainWindow());
        // The root drill is given a lesson as the menu gives it, and wears that lesson's caption.
        frmwbTest1->JB1->setText(QStringLiteral("31"));
        frmwbTest1->JB2->setText(QStringLiteral("0"));
    }

    void captionsAndFrames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("resizable");
        QTest::addColumn<QString>("buttons");
        // Where the window declares its client area, that is checked; elsewhere its outer
        // geometry, frame included.
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QRect>("outer");
        const QRect standard(112, 84, 800, 575);
        const QString spaces(37, QLatin1Char(' '));
        const QString mainCaption =
            "Tarvelle----->五笔速成练习     qorvex 五笔练习 · 电话：010-0000-0000";
        const QString textCaption = "Tarvelle--->五笔字型速成练习" + spaces + "F2:关闭/打开提示";
        const QString closeOnly = "menu close";
        // clang-format off
        QTest::newRow("main window")    << "frmmavro"   << mainCaption                 << false << "menu minimize close" << QSize()           << standard;
        QTest::newRow("code lookup")    << "frmWBfind"  << "Tarvelle---->五笔查询"      << false << closeOnly << QSize(363, 357) << QRect();
        QTest::newRow("lesson browser") << "frmWeb"     << "Tarvelle---->课堂学习"      << true  << closeOnly << QSize()         << standard;
        QTest::newRow("result dialog")  << "frmTime"    << "您的测试成绩"               << false << closeOnly << QSize(385, 217) << QRect();
        QTest::newRow("finger drill")   << "frmTT"      << "Tarvelle--->指法练习"       << false << closeOnly << QSize()         << standard;
        QTest::newRow("root drill")     << "frmwbTest1" << "Tarvelle---->笔划规律测试"  << false << closeOnly << QSize()         << standard;
        QTest::newRow("text drill")     << "frmTest"    << textCaption                 << false << closeOnly << QSize()         << standard;
        QTest::newRow("free typing")    << "frmFree"    << "Tarvelle---->自由录入练习"  << false << closeOnly << QSize()         << standard;
        QTest::newRow("music")          << "frmSound"   << "Tarvelle---->背景音乐设置"  << true  << closeOnly << QSize()         << QRect(262, 239, 499, 290);
        // clang-format on
    }
    void captionsAndFrames() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(bool, resizable);
        QFETCH(QString, buttons);
        QFETCH(QSize, client);
        QFETCH(QRect, outer);
        QWidget* shown = window(name);
        QVERIFY(shown);
        // A window is framed anew on every showing and must come back the same each time.
        for (int showing = 1; showing <= 3; ++showing) {
            Framed seen;
            // The window manager frames the window after it is mapped, and the window then
            // settles.
            const auto look = [&] {
                (void)QTest::qWaitFor(
                    [&] {
                        seen = frameOf(shown);
                        return seen.managed() && (!client.isValid() || seen.client == client) &&
                               (outer.isNull() || seen.outer == outer);
                    },
                    10000);
                // A window that grows does so after it first looked right.
                QTest::qWait(300);
                seen = frameOf(shown);
            };
            if (shown == frmmavro) {
                if (showing > 1) {
                    frmmavro->hide();
                    QVERIFY(QTest::qWaitFor([] { return !frmmavro->isVisible(); }));
                    frmmavro->show();
                }
                look();
            } else {
                auto* form = qobject_cast<TForm*>(shown);
                QVERIFY(form);
                QVERIFY(runWhileModal([form] { return form->ShowModal(); }, form, look));
            }
            const QByteArray where = QStringLiteral("showing %1").arg(showing).toUtf8();
            QVERIFY2(seen.managed(), where);
            QCOMPARE(seen.caption, caption);
            QCOMPARE(seen.wmClass, QStringLiteral("Tarvelle"));
            QCOMPARE(seen.buttons, buttons);
            QCOMPARE(!seen.fixed, resizable);
            // Openbox keeps a minimise box whatever the Motif hints say, but takes resizing and
            // maximising away from a window of fixed size.
            QCOMPARE(seen.allowed.contains("RESIZE"), resizable);
            QCOMPARE(seen.allowed.contains("MAXIMIZE_HORZ"), resizable);
            QVERIFY(seen.allowed.contains("CLOSE"));
            if (client.isValid())
                QVERIFY2(seen.client == client, where + ": client " +
                                                    QByteArray::number(seen.client.width()) + "x" +
                                                    QByteArray::number(seen.client.height()));
            if (!outer.isNull())
                QVERIFY2(seen.outer == outer, where + ": outer " +
                                                  QByteArray::number(seen.outer.x()) + "," +
                                                  QByteArray::number(seen.outer.y()) + " " +
                                                  QByteArray::number(seen.outer.width()) + "x" +
                                                  QByteArray::number(seen.outer.height()));
        }
    }

    // A pupil who drags a window by its title bar just after it shows finds it where it was
    // dropped: the looks at the settled window do not put it back.
    void draggedWindowStaysWhereDropped() {
        QElapsedTimer sinceShown;
        Framed placed, dropped, later;
        bool inTime = false, dragged = false;
        QVERIFY(runWhileModal(
            [&] {
                sinceShown.start();
                return frmWBfind->ShowModal();
            },
            frmWBfind,
            [&] {
                (void)QTest::qWaitFor(
                    [&] {
                        // Centred on the 1024 x 768 screen of the test desktop.
                        placed = frameOf(frmWBfind);
                        const QSize outer = placed.outer.size();
                        return placed.managed() &&
                               placed.outer.topLeft() ==
                                   QPoint((1024 - outer.width()) / 2, (768 - outer.height()) / 2);
                    },
                    10000);
                if (sinceShown.elapsed() > 1000)
                    return;  // too late to drag before the last look
                inTime = true;
                const QPoint grip = placed.outer.topLeft() + QPoint(placed.outer.width() / 2, 8);
                const auto at = [&](int dx, int dy) {
                    return QStringList{"mousemove", QString::number(grip.x() + dx),
                                       QString::number(grip.y() + dy), "sleep", "0.05"};
                };
                dragged = xdotool(at(0, 0) + QStringList{"mousedown", "1"} + at(20, 10) +
                                  at(40, 20) + at(60, 30) + QStringList{"mouseup", "1"});
                (void)QTest::qWaitFor([&] { return frameOf(frmWBfind).outer != placed.outer; },
                                      3000);
                dropped = frameOf(frmWBfind);
                QTest::qWait(qMax(0, 1800 - int(sinceShown.elapsed())));
                later = frameOf(frmWBfind);
            }));
        QVERIFY2(placed.managed(), "the code lookup was not framed");
        if (!inTime)
            QSKIP("the window settled too late to drag it before the last look");
        QVERIFY(dragged);
        QCOMPARE(dropped.outer.topLeft(), placed.outer.topLeft() + QPoint(60, 30));
        QCOMPARE(later.outer, dropped.outer);
    }

    void resultDialogKeys_data() {
        QTest::addColumn<QString>("keys");  // as xdotool names them
        QTest::addColumn<bool>("closes");
        QTest::newRow("Esc") << "Escape" << false;
        QTest::newRow("Enter") << "Return" << true;
        QTest::newRow("accelerator") << "alt+k" << true;
        QTest::newRow("accelerator letter alone") << "k" << true;
    }
    void resultDialogKeys() {
        QFETCH(QString, keys);
        QFETCH(bool, closes);
        struct Seen {
            bool active = false, typed = false, handled = false, open = true;
        } seen;
        QVERIFY(runWhileModal(
            [] { return frmTime->ShowModal(); }, frmTime,
            [&] {
                seen.active = QTest::qWaitForWindowActive(frmTime);
                KeyWatch watch;
                seen.typed = xdotool({"key", keys});
                // A key that closes is done once the dialog is gone; one that must not, once the
                // dialog has had it.
                seen.handled = QTest::qWaitFor(
                    [&] { return closes ? !frmTime->isVisible() : watch.pressed; }, 10000);
                seen.open = frmTime->isVisible();
            }));
        QVERIFY(seen.active);
        QVERIFY(seen.typed);
        QVERIFY(seen.handled);
        QCOMPARE(seen.open, !closes);
    }
};

QTEST_MAIN(X11WindowFramesTest)
#include "x11_windowframes.moc"
