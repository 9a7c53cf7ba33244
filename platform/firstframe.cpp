#include "platform/firstframe.h"

#include <QEvent>
#include <QFont>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "platform/errors.h"

namespace FirstFrame {

namespace {

bool holding = false;

QList<std::function<void()>>& held() {
    static QList<std::function<void()>> work;
    return work;
}

// One piece at a time, each in an event loop pass of its own, so that a key the pupil presses
// meanwhile waits for one piece at most. Work that comes while pieces remain queues behind them.
void runHeld() {
    if (held().isEmpty()) {
        holding = false;
        return;
    }
    const std::function<void()> work = held().takeFirst();
    Errors::guard(work);
    QTimer::singleShot(0, &runHeld);
}

// Lets the held work run once the window's first paint event has been handled: the queued call
// comes after the frame is drawn and flushed to the screen.
class FirstPaint : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, &runHeld);
            deleteLater();
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

void setFont(QWidget* widget, const QFont& font, Fit fit) {
    after([target = QPointer<QWidget>(widget), font, fit] {
        if (!target)
            return;
        target->setFont(font);
        if (fit == Fit::ToText)
            target->adjustSize();
    });
}

void setStyleSheet(QWidget* widget, const QString& sheet) {
    after([target = QPointer<QWidget>(widget), sheet] {
        if (target)
            target->setStyleSheet(sheet);
    });
}

void finishNow() {
    // Work that a piece queues while start-up still holds joins the end and runs here too.
    while (!held().isEmpty()) {
        const std::function<void()> work = held().takeFirst();
        Errors::guard(work);
    }
}

void hold() {
    holding = true;
}

void releaseAfterPaint(QWidget* window) {
    auto* watch = new FirstPaint(window);
    window->installEventFilter(watch);
    // A window that is never painted (started minimized) must not hold the work for ever.
    QTimer::singleShot(1000, watch, [watch] {
        watch->deleteLater();
        runHeld();
    });
}

}  // namespace FirstFrame
