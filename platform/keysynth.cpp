#include "platform/keysynth.h"

#include <qpa/qwindowsysteminterface.h>
#include <QApplication>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QTimerEvent>
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

// The window a key typed now would reach: an open menu, which holds the keyboard, else the focus
// window once it is shown. Right after a modal window closes, the focus may still rest with the
// hidden window, or with none, until the window manager has activated the next one.
QWindow* keyboardWindow() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup->windowHandle();
    QWindow* w = QGuiApplication::focusWindow();
    return w && w->isVisible() ? w : nullptr;
}

// Where keys go when no window of ours takes the keyboard in time.
QWindow* anyShownWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isEnabled() && w->windowHandle())
            return w->windowHandle();
    return nullptr;
}

void deliver(QWindow* window, int vk) {
    const int key = qtKey(vk);
    // A keyboard reports the modifiers held before the key: none when Alt goes down, Alt when it
    // comes up. The menu bar enters its keyboard mode only on Alt reported that way.
    const Qt::KeyboardModifiers heldAtRelease =
        key == Qt::Key_Alt ? Qt::AltModifier : Qt::NoModifier;
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
        window, QEvent::KeyPress, key, Qt::NoModifier);
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
        window, QEvent::KeyRelease, key, heldAtRelease);
}

// Keys wait in order, after the sending handler has returned, until a window has the keyboard.
class Dispatcher : public QObject {
  public:
    void add(int vk) {
        if (pending.isEmpty())
            waited.start();
        pending.append(vk);
        if (!timer.isActive())
            timer.start(0, this);
    }

  protected:
    void timerEvent(QTimerEvent* e) override {
        if (e->timerId() != timer.timerId())
            return QObject::timerEvent(e);
        timer.stop();
        while (!pending.isEmpty()) {
            QWindow* window = keyboardWindow();
            if (!window && waited.elapsed() < kFocusWaitMs) {
                timer.start(10, this);
                return;
            }
            if (!window)
                window = anyShownWindow();
            const int vk = pending.takeFirst();
            if (window)
                deliver(window, vk);
        }
    }

  private:
    static constexpr int kFocusWaitMs = 3000;
    QBasicTimer timer;
    QElapsedTimer waited;
    QList<int> pending;
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
    dispatcher()->add(vk);
}

void pressAll(const QList<int>& virtualKeys) {
    for (int vk : virtualKeys) press(vk);
}

}  // namespace KeySynth
