// System-wide hot keys on a real X server: a key pressed anywhere reaches the window that holds
// it, hidden or not; a key another program holds falls back without failing.
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <QProcess>
#include <QWidget>
#include <QtTest>

#include "platform/hotkeys.h"
#include "platform/keysynth.h"

namespace {

class HotKeyCounter : public QWidget {
  public:
    QList<int> ids;

  protected:
    bool event(QEvent* e) override {
        if (e->type() == HotKeyEvent::type()) {
            ids << static_cast<HotKeyEvent*>(e)->id;
            return true;
        }
        return QWidget::event(e);
    }
};

void pressWithXdotool(const QString& key) {
    QProcess xdotool;
    xdotool.start("xdotool", {"key", key});
    QVERIFY(xdotool.waitForFinished(5000));
    QCOMPARE(xdotool.exitCode(), 0);
}

}  // namespace

class X11HotKeysTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs an X server");
    }

    void keyReachesHiddenWindowFromAnywhere() {
        HotKeyCounter window;  // never shown
        QVERIFY(HotKeys::registerHotKey(&window, 113, 0, KeySynth::VK_F2));
        pressWithXdotool("F2");
        QTRY_COMPARE(window.ids, QList<int>{113});
        // Caps Lock held does not hide the key.
        pressWithXdotool("Caps_Lock");
        pressWithXdotool("F2");
        pressWithXdotool("Caps_Lock");
        QTRY_COMPARE(window.ids, (QList<int>{113, 113}));
        QVERIFY(HotKeys::unregisterHotKey(&window, 113));
        pressWithXdotool("F2");
        QTest::qWait(200);
        QCOMPARE(window.ids.size(), 2);
    }

    void keyHeldByAnotherProgramFallsBack() {
        // A second X client grabs F3 first, as another program would.
        xcb_connection_t* other = xcb_connect(nullptr, nullptr);
        QVERIFY(!xcb_connection_has_error(other));
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(other);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, 0xFFC0);  // F3
        QVERIFY(codes);
        xcb_grab_key(other, 1, root, 0, codes[0], XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_flush(other);
        free(codes);
        xcb_key_symbols_free(symbols);
        xcb_get_input_focus_reply_t* sync =
            xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr);
        free(sync);

        HotKeyCounter window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!HotKeys::registerHotKey(&window, 114, 0, KeySynth::VK_F2 + 1));
        QVERIFY(HotKeys::isRegistered(&window, 114));
        // The fallback still answers the key while the program's window is active.
        window.activateWindow();
        QTest::keyClick(window.windowHandle(), Qt::Key_F3);
        QTRY_COMPARE(window.ids, QList<int>{114});
        HotKeys::unregisterHotKey(&window, 114);
        xcb_disconnect(other);
    }
};

QTEST_MAIN(X11HotKeysTest)
#include "x11_hotkeys.moc"
