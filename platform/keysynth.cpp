#include "platform/keysynth.h"

#include <qpa/qwindowsysteminterface.h>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace KeySynth {

namespace {

const QHash<int, int>& keyTable() {
    static const QHash<int, int> table = {
        {VK_BACK, Qt::Key_Backspace}, {VK_TAB, Qt::Key_Tab},       {VK_RETURN, Qt::Key_Return},
        {VK_MENU, Qt::Key_Alt},       {VK_ESCAPE, Qt::Key_Escape}, {VK_SPACE, Qt::Key_Space},
        {VK_LEFT, Qt::Key_Left},      {VK_UP, Qt::Key_Up},         {VK_RIGHT, Qt::Key_Right},
        {VK_DOWN, Qt::Key_Down},      {VK_F1, Qt::Key_F1},         {VK_F2, Qt::Key_F2},
        {VK_F5, Qt::Key_F5},          {VK_F8, Qt::Key_F8},
    };
    return table;
}

// The window that has the keyboard now: the focus window, else the active top-level widget.
QWindow* keyboardWindow() {
    if (QWindow* w = QGuiApplication::focusWindow())
        return w;
    if (QWidget* w = QApplication::activeWindow())
        return w->windowHandle();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isEnabled() && w->windowHandle())
            return w->windowHandle();
    return nullptr;
}

// Delivered after the sending handler returns; only then is it known which window has the
// keyboard (the drill that sent the keys may just have closed).
class KeyPressEvent : public QEvent {
  public:
    explicit KeyPressEvent(int vk) : QEvent(type()), virtualKey(vk) {}
    static Type type() {
        static const int t = QEvent::registerEventType();
        return Type(t);
    }
    const int virtualKey;
};

class Dispatcher : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() != KeyPressEvent::type())
            return QObject::event(e);
        const int vk = static_cast<KeyPressEvent*>(e)->virtualKey;
        QWindow* window = keyboardWindow();
        if (!window)
            return true;
        const int key = qtKey(vk);
        const Qt::KeyboardModifiers down = key == Qt::Key_Alt ? Qt::AltModifier : Qt::NoModifier;
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
            window, QEvent::KeyPress, key, down);
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
            window, QEvent::KeyRelease, key, Qt::NoModifier);
        return true;
    }
};

Dispatcher* dispatcher() {
    static QPointer<Dispatcher> d;
    if (!d)
        d = new Dispatcher;
    return d;
}

}  // namespace

int qtKey(int vk) {
    if (vk >= VK_F1 && vk < VK_F1 + 24)
        return Qt::Key_F1 + (vk - VK_F1);
    return keyTable().value(vk, vk);
}

int virtualKey(int key) {
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + 24)
        return VK_F1 + (key - Qt::Key_F1);
    return keyTable().key(key, key);
}

void press(int vk) {
    QCoreApplication::postEvent(dispatcher(), new KeyPressEvent(vk));
}

void pressAll(const QList<int>& virtualKeys) {
    for (int vk : virtualKeys) press(vk);
}

}  // namespace KeySynth
