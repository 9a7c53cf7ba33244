#include "app/form.h"

#include <QShowEvent>
#include <QWindow>

#include "platform/errors.h"
#include "platform/hotkeys.h"
#include "platform/screen.h"

void setOuterGeometry(QWidget* window, const QRect& outer) {
    const QMargins frame =
        window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    window->resize(outer.width() - frame.left() - frame.right(),
                   outer.height() - frame.top() - frame.bottom());
    window->move(outer.topLeft());
}

TForm::TForm(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
}

void TForm::create() {
    Errors::guard(this, [this] { FormCreate(); });
}

void TForm::destroyForm() {
    if (destroyed)
        return;
    destroyed = true;
    Errors::guard(this, [this] { FormDestroy(); });
}

int TForm::ShowModal() {
    const Errors::Showing showing(this);
    show();
    raise();
    activateWindow();
    Errors::guard(this, [this] { FormActivate(); });
    return exec();
}

void TForm::done(int result) {
    bool mayClose = true;
    Errors::guard(this, [&] { mayClose = FormCloseQuery(); });
    if (!mayClose)
        return;
    Errors::guard(this, [this] { FormClose(); });
    QDialog::done(result);
}

void TForm::setOuterGeometry(int left, int top, int width, int height) {
    outer = QRect(left, top, width, height);
    ::setOuterGeometry(this, outer);
}

void TForm::placeStandard() {
    const QSize screen = Screen::size();
    setOuterGeometry(Screen::centred(screen.width(), 800), Screen::centred(screen.height(), 600),
                     800, 575);
}

void TForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!outer.isNull())
        ::setOuterGeometry(this, outer);
}

bool TForm::event(QEvent* event) {
    if (event->type() == HotKeyEvent::type()) {
        Errors::guard(this, [&] { hotKeyPressed(static_cast<HotKeyEvent*>(event)->id); });
        return true;
    }
    return QDialog::event(event);
}
