// System-wide hot keys on a real X server: a key pressed anywhere reaches the window that holds
// it, hidden or not; a key another program (another copy of qorvex) holds still works in the
// program's own window.
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <QProcess>
#include <QWidget>
#include <QtTest>

#include "platform/hotkeys.h"
#include "platform/keysynth.h"
#include "support/textdrillsession.h"

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

    // A second X client, as another copy of qorvex would, takes F2 before the program starts;
    // F2 pressed in the text drill still cycles its hint.
    void hintKeyHeldByAnotherCopyStillWorksInTheDrill() {
        xcb_connection_t* other = xcb_connect(nullptr, nullptr);
        QVERIFY(!xcb_connection_has_error(other));
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(other);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, 0xFFBF);  // F2
        QVERIFY(codes);
        const auto grab = xcb_grab_key_checked(other, 1, root, 0, codes[0], XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC);
        QVERIFY(!xcb_request_check(other, grab));
        free(codes);
        xcb_key_symbols_free(symbols);

        using namespace TextDrillSession;
        Program program;
        QStringList states;
        const auto state = [] {
            return QStringLiteral("%1%2")
                .arg(frmTest->images[0]->isHidden() ? "-" : "pictures")
                .arg(frmTest->Label10->isHidden() ? "-" : "code");
        };
        visit(QStringLiteral("N51"), [&] {
            states << state();
            for (int press = 0; press < 3; ++press) {
                pressWithXdotool("F2");
                const QString before = states.last();
                QTRY_VERIFY(state() != before);
                states << state();
            }
        });
        QCOMPARE(states, (QStringList{"picturescode", "-code", "--", "picturescode"}));
        xcb_disconnect(other);
    }
};

QTEST_MAIN(X11HotKeysTest)
#include "x11_hotkeys.moc"
