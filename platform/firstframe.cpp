#include "platform/firstframe.h"

#include <QEvent>
#include <QList>
#include <QTimer>
#include <QWidget>
#include <utility>

#include "platform/errors.h"

namespace FirstFrame {

namespace {

bool holding = false;

QList<std::function<void()>>& held() {
    static QList<std::function<void()>> work;
    return work;
}

void runHeld() {
    holding = false;
    const QList<std::function<void()>> work = std::exchange(held(), {});
    for (const auto& item : work) Errors::guard(item);
}

// Lets the held work run once the window's first paint event has been handled: the queued call
// comes after the frame is drawn and flushed to the screen.
class FirstPaint : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                runHeld();
                deleteLater();
            });
        }
        return false;
    }
};

}  // namespace

void after(std::function<void()> work) {
    if (holding)
        held().append(std::move(work));
    else
        Errors::guard(work);
}

void hold() {
    holding = true;
}

void releaseAfterPaint(QWidget* window) {
    auto* watch = new FirstPaint(window);
    window->installEventFilter(watch);
    // A window that is never painted (started minimized) must not hold the work for ever.
    QTimer::singleShot(1000, watch, [watch] {
        if (holding) {
            runHeld();
            watch->deleteLater();
        }
    });
}

}  // namespace FirstFrame
