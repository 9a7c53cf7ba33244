#include "support/fingerpupil.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

#include "app/cmavro.h"
#include "drills/CTT.h"
#include "drills/Ctime.h"

namespace FingerPupil {

void whenModalWindow(QWidget* window, std::function<void()> action, QObject* context) {
    if (!context)
        context = qApp;
    QTimer::singleShot(10, context, [window, context, action = std::move(action)] {
        if (QApplication::activeModalWidget() != window || !window->isVisible()) {
            whenModalWindow(window, action, context);
            return;
        }
        action();
    });
}

bool openLesson(int s, std::function<void()> pupil) {
    bool typed = false;
    whenModalWindow(frmTT, [&typed, pupil = std::move(pupil)] {
        typed = QTest::qWaitForWindowActive(frmTT);
        if (typed)
            pupil();
        if (frmTT->isVisible())
            press(Qt::Key_Escape);
    });
    frmTT->Table1.First();
    frmmavro->Label1->setText(QString::number(s));
    frmTT->Table1.MoveBy(s);
    frmTT->ShowModal();
    return typed;
}

static QWidget* keyboardWidget() {
    if (QWidget* focus = QApplication::focusWidget())
        return focus;
    return QApplication::activeWindow();
}

void type(const QString& keys) {
    for (QChar key : keys) QTest::keyClick(keyboardWidget(), key.toLatin1());
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(keyboardWidget(), key, modifiers);
}

Result finishPage(const QString& keys) {
    Result result;
    QObject typing;  // the dialog is answered only while these keys are typed
    whenModalWindow(
        frmTime,
        [&result] {
            result.shown = true;
            result.time = frmTime->Label1->text();
            result.speed = frmTime->Label2->text();
            result.bestTime = frmTT->H1->text();
            result.latestTime = frmTT->BC1->text();
            if (!QTest::qWaitForWindowActive(frmTime))
                qWarning("the result dialog did not become active");
            press(Qt::Key_Return);
        },
        &typing);
    type(keys);
    // The drill takes the keyboard back itself; its activation arrives as an event.
    if (result.shown && frmTT->isVisible() && !QTest::qWaitForWindowActive(frmTT))
        qWarning("the finger drill did not become active again");
    return result;
}

}  // namespace FingerPupil
