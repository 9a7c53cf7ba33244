#include "platform/hotkeys.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
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
    xcb_keycode_t keycode = 0;  // 0 when the key is not grabbed on X11
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
        }
        qApp->installEventFilter(this);
    }

    bool add(QWidget* window, int id, int modifiers, int virtualKey) {
        if (find(window, id))
            return false;
        Entry entry{window, id, modifiers, virtualKey, 0};
        const bool grabbed = grab(&entry);
        entries.append(entry);
        if (!connection)
            PortalHotKeys::offer(window, id, modifiers, virtualKey);
        return grabbed || !connection;
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
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
            return false;
        auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
        const uint16_t state = press->state & ~(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2);
        for (const Entry& e : entries) {
            if (e.keycode && e.keycode == press->detail && state == xcbModifiers(e.modifiers)) {
                deliver(e);
                return true;
            }
        }
        return false;
    }

  protected:
    // The fallback: the key is caught while a window of the program is active.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWindowType())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        for (const Entry& e : entries) {
            if (!e.keycode && !PortalHotKeys::holds(e.window, e.id) &&
                KeySynth::qtKey(e.virtualKey) == key->key() &&
                (key->modifiers() & ~Qt::KeypadModifier) == qtModifiers(e.modifiers)) {
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

    bool grab(Entry* entry) {
        if (!connection)
            return false;
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysymOf(entry->virtualKey));
        const xcb_keycode_t code = codes ? codes[0] : 0;
        free(codes);
        xcb_key_symbols_free(symbols);
        if (!code)
            return false;
        bool ok = true;
        for (uint16_t lock : kLockMasks) {
            auto cookie =
                xcb_grab_key_checked(connection, 1, root, xcbModifiers(entry->modifiers) | lock,
                                     code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
                free(error);
                ok = false;
            }
        }
        if (!ok) {
            ungrabCode(code, entry->modifiers);
            return false;
        }
        entry->keycode = code;
        return true;
    }

    void ungrab(const Entry& entry) {
        if (entry.keycode)
            ungrabCode(entry.keycode, entry.modifiers);
    }

    void ungrabCode(xcb_keycode_t code, int modifiers) {
        for (uint16_t lock : kLockMasks)
            xcb_ungrab_key(connection, code, root, xcbModifiers(modifiers) | lock);
        xcb_flush(connection);
    }

    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
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
