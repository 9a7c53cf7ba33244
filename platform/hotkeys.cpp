#include "platform/hotkeys.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xinput.h>
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QList>
#include <QPointer>
#include <QWidget>

#include "platform/keysynth.h"
#include "platform/portalshortcuts.h"

QEvent::Type HotKeyEvent::type() {
    static const int t = QEvent::registerEventType();
    return Type(t);
}

namespace HotKeys {

namespace {

struct Entry {
    QPointer<QWidget> window;
    int id = 0;
    int modifiers = 0;
    int virtualKey = 0;
    xcb_keycode_t keycode = 0;  // on X11
    bool grabbed = false;
};

constexpr uint16_t kLockMasks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                   XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

uint16_t xcbModifiers(int modifiers) {
    uint16_t mask = 0;
    if (modifiers & MOD_ALT)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & MOD_CONTROL)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & MOD_SHIFT)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & MOD_WIN)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

Qt::KeyboardModifiers qtModifiers(int modifiers) {
    Qt::KeyboardModifiers m;
    if (modifiers & MOD_ALT)
        m |= Qt::AltModifier;
    if (modifiers & MOD_CONTROL)
        m |= Qt::ControlModifier;
    if (modifiers & MOD_SHIFT)
        m |= Qt::ShiftModifier;
    if (modifiers & MOD_WIN)
        m |= Qt::MetaModifier;
    return m;
}

uint32_t keysymOf(int virtualKey) {
    if (virtualKey >= KeySynth::VK_F1 && virtualKey < KeySynth::VK_F1 + 24)
        return 0xFFBE + uint32_t(virtualKey - KeySynth::VK_F1);  // XK_F1 ..
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return uint32_t(QChar(virtualKey).toLower().unicode());
    return 0;
}

class Registry : public QObject, public QAbstractNativeEventFilter {
  public:
    Registry() {
        if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
            connection = x11->connection();
        if (connection) {
            root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
            qApp->installNativeEventFilter(this);
            watchRawKeys();
        }
        qApp->installEventFilter(this);
    }

    bool add(QWidget* window, int id, int modifiers, int virtualKey) {
        if (find(window, id))
            return false;
        Entry entry{window, id, modifiers, virtualKey};
        entry.keycode = keycodeOf(virtualKey);
        entry.grabbed = grab(entry);
        entries.append(entry);
        if (!connection)
            PortalHotKeys::offer(window, id, modifiers, virtualKey);
        return entry.grabbed || !connection;
    }

    bool remove(QWidget* window, int id) {
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (entries[i].window == window && entries[i].id == id) {
                ungrab(entries[i]);
                PortalHotKeys::withdraw(window, id);
                entries.removeAt(i);
                return true;
            }
        }
        return false;
    }

    Entry* find(QWidget* window, int id) {
        for (Entry& e : entries)
            if (e.window == window && e.id == id)
                return &e;
        return nullptr;
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) == XCB_GE_GENERIC) {
            rawKeyPressed(reinterpret_cast<xcb_ge_generic_event_t*>(event));
            return false;
        }
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
            return false;
        auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
        const uint16_t state = press->state & ~(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2);
        for (const Entry& e : entries) {
            if (e.grabbed && e.keycode == press->detail && state == xcbModifiers(e.modifiers)) {
                deliver(e);
                return true;
            }
        }
        return false;
    }

  protected:
    // The fallback: the key is caught while a window of the program is active. On X11 the key
    // press itself may never come (the program holding the key takes it, another copy of this
    // one too), so it is answered from the raw key events there and only kept from the window
    // here.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWindowType())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        for (const Entry& e : entries) {
            if (!e.grabbed && !PortalHotKeys::holds(e.window, e.id) &&
                KeySynth::qtKey(e.virtualKey) == key->key() &&
                (key->modifiers() & ~Qt::KeypadModifier) == qtModifiers(e.modifiers)) {
                if (!rawKeys)
                    deliver(e);
                return true;
            }
        }
        return false;
    }

  private:
    static void deliver(const Entry& e) {
        if (e.window)
            QCoreApplication::postEvent(e.window, new HotKeyEvent(e.id));
    }

    // Raw key events reach every client that asks for them, whoever holds the key.
    void watchRawKeys() {
        const xcb_query_extension_reply_t* xinput =
            xcb_get_extension_data(connection, &xcb_input_id);
        if (!xinput || !xinput->present)
            return;
        struct {
            xcb_input_event_mask_t head;
            uint32_t mask;
        } select{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS};
        auto cookie = xcb_input_xi_select_events_checked(connection, root, 1, &select.head);
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            free(error);
            return;
        }
        xinputOpcode = xinput->major_opcode;
        rawKeys = true;
    }

    void rawKeyPressed(const xcb_ge_generic_event_t* event) {
        if (!rawKeys || event->extension != xinputOpcode ||
            event->event_type != XCB_INPUT_RAW_KEY_PRESS)
            return;
        auto* press = reinterpret_cast<const xcb_input_raw_key_press_event_t*>(event);
        if (press->flags & XCB_INPUT_KEY_EVENT_FLAGS_KEY_REPEAT)
            return;
        for (const Entry& e : entries) {
            if (!e.grabbed && e.keycode == press->detail && QGuiApplication::focusWindow() &&
                QGuiApplication::queryKeyboardModifiers() == qtModifiers(e.modifiers)) {
                deliver(e);
                return;
            }
        }
    }

    xcb_keycode_t keycodeOf(int virtualKey) {
        if (!connection)
            return 0;
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysymOf(virtualKey));
        const xcb_keycode_t code = codes ? codes[0] : 0;
        free(codes);
        xcb_key_symbols_free(symbols);
        return code;
    }

    bool grab(const Entry& entry) {
        if (!entry.keycode)
            return false;
        bool ok = true;
        for (uint16_t lock : kLockMasks) {
            auto cookie =
                xcb_grab_key_checked(connection, 1, root, xcbModifiers(entry.modifiers) | lock,
                                     entry.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
                free(error);
                ok = false;
            }
        }
        if (!ok)
            ungrabCode(entry.keycode, entry.modifiers);
        return ok;
    }

    void ungrab(const Entry& entry) {
        if (entry.grabbed)
            ungrabCode(entry.keycode, entry.modifiers);
    }

    void ungrabCode(xcb_keycode_t code, int modifiers) {
        for (uint16_t lock : kLockMasks)
            xcb_ungrab_key(connection, code, root, xcbModifiers(modifiers) | lock);
        xcb_flush(connection);
    }

    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
    bool rawKeys = false;
    uint8_t xinputOpcode = 0;
    QList<Entry> entries;
};

Registry& registry() {
    static Registry* r = new Registry;
    return *r;
}

}  // namespace

bool registerHotKey(QWidget* window, int id, int modifiers, int virtualKey) {
    return registry().add(window, id, modifiers, virtualKey);
}

bool unregisterHotKey(QWidget* window, int id) {
    return registry().remove(window, id);
}

bool isRegistered(QWidget* window, int id) {
    return registry().find(window, id) != nullptr;
}

}  // namespace HotKeys
