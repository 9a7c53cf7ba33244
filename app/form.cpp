#include "app/form.h"

#include <QApplication>
#include <QEvent>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "platform/errors.h"
#include "platform/firstframe.h"
#include "platform/hotkeys.h"
#include "platform/screen.h"

namespace {
QMargins frameOf(const QWidget* window) {
    return window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
}

bool isFixedSize(const QWidget* window) {
    return window->minimumSize() == window->maximumSize();
}

// Holds a top-level window at the outer geometry its rule gives for the frame it has. It lives as
// a child of the window and watches the window's events.
class Placement : public QObject {
  public:
    static Placement* of(const QWidget* window) {
        for (QObject* child : window->children())
            if (auto* placement = dynamic_cast<Placement*>(child))
                return placement;
        return nullptr;
    }
    static Placement* on(QWidget* window) {
        Placement* placement = of(window);
        return placement ? placement : new Placement(window);
    }

    void hold(std::function<QRect(const QMargins& frame)> outerFor) {
        rule = std::move(outerFor);
        apply();
    }
    QRect outer() const { return placed; }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Show:
                arrived = false;
                apply();
                // The window manager frames a window anew on every showing, and tells the frame
                // a moment after it maps the window: not always before the window's last move,
                // and a window moved before its frame was known stands off by the frame. Once
                // it has settled the window is looked at again, a few times and no more, so a
                // window manager that insists on another place is not fought for ever.
                for (int ms : {100, 400, 1500}) QTimer::singleShot(ms, this, &Placement::settle);
                break;
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowActivate:
                reframe();
                noteArrival();
                break;
            default:
                break;
        }
        return false;
    }

  private:
    explicit Placement(QWidget* window) : QObject(window), window(window) {
        window->installEventFilter(this);
    }

    // Places the window again when its frame is not the one it was placed for. A maximised
    // window's frame changes too, and the pupil means it to be that size.
    void reframe() {
        if (window->isVisible() && window->windowState() == Qt::WindowNoState &&
            frameOf(window) != frame)
            apply();
    }

    // Looks at the window once it has settled. A window the window manager put elsewhere goes
    // back: one it has not yet shown at its place, and one that stands off by its frame, where a
    // move meant for the unframed window left it. Once it has stood framed at its place, anywhere
    // else is where the pupil dragged it, and it stays there.
    void settle() {
        if (!window->isVisible() || window->windowState() != Qt::WindowNoState)
            return;
        noteArrival();
        const QPoint off = window->frameGeometry().topLeft() - placed.topLeft();
        const QPoint frameCorner(frame.left(), frame.top());
        const bool offByFrame = !frame.isNull() && (off == frameCorner || off == -frameCorner);
        if (frameOf(window) != frame ||
            (window->frameGeometry() != placed && (!arrived || offByFrame)))
            apply();
    }

    // Only the window system's word counts: the window's own moves report the place asked for.
    void noteArrival() {
        arrived = arrived || (!applying && window->isVisible() && !frame.isNull() &&
                              frameOf(window) == frame && window->frameGeometry() == placed);
    }

    void apply() {
        const QScopedValueRollback guard(applying, true);
        frame = frameOf(window);
        placed = rule(frame);
        const QSize client = placed.size().shrunkBy(frame);
        if (isFixedSize(window))
            window->setFixedSize(client);
        else
            window->resize(client);
        window->move(placed.topLeft());
    }

    QWidget* window;
    std::function<QRect(const QMargins&)> rule;
    QMargins frame;
    QRect placed;
    bool arrived = false;  // seen framed at its place since it was last shown
    bool applying = false;
};
}  // namespace

void setFrame(QWidget* window, Frame::Border border, int buttons) {
    // Only the buttons asked for: without CustomizeWindowHint Qt would add them all.
    Qt::WindowFlags flags = window->windowType() | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (buttons & Frame::SystemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (border != Frame::Dialog && (buttons & Frame::Minimize))
        flags |= Qt::WindowMinimizeButtonHint;
    if (border != Frame::Dialog && (buttons & Frame::Maximize))
        flags |= Qt::WindowMaximizeButtonHint;
    window->setWindowFlags(flags);
    // Equal minimum and maximum sizes are what tells the window manager it cannot be resized,
    // and with that not maximised either.
    if (border == Frame::Sizeable) {
        window->setMinimumSize(0, 0);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        window->setFixedSize(window->size());
    }
}

void setOuterGeometry(QWidget* window, const QRect& outer) {
    Placement::on(window)->hold([outer](const QMargins&) { return outer; });
}

void centreOnOwnSize(QWidget* window, int verticalDivisor) {
    const QSize client = window->size();
    Placement::on(window)->hold([client, verticalDivisor](const QMargins& frame) {
        const QSize screen = Screen::size();
        const QSize outer = client.grownBy(frame);
        return QRect(QPoint(Screen::centred(screen.width(), outer.width()),
                            Screen::centred(screen.height(), outer.height(), verticalDivisor)),
                     outer);
    });
}

QRect outerGeometry(const QWidget* window) {
    const Placement* placement = Placement::of(window);
    return placement ? placement->outer() : QRect();
}

void nameApplication() {
    QApplication::setApplicationName(QStringLiteral("Tarvelle"));
}

TForm::TForm(QWidget* parent) : QDialog(parent) {
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

// On Wayland the window names the one it was opened from: a tiling compositor (sway) then floats
// it over that window, as X11's window managers show it, instead of tiling it beside or under a
// floating main window. X11 keeps its own stacking: there a result dialog named as transient of a
// drill typed through ibus was never made active. Never a window that leads back to this one: Qt
// would follow the circle for ever.
void TForm::floatOverOpener() {
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return;
    winId();
    windowHandle()->setTransientParent(nullptr);
    QWindow* opener =
        QApplication::activeWindow() ? QApplication::activeWindow()->windowHandle() : nullptr;
    for (QWindow* w = opener; w; w = w->transientParent())
        if (w == windowHandle()) {
            opener = nullptr;
            break;
        }
    windowHandle()->setTransientParent(opener);
}

int TForm::ShowModal() {
    const Errors::Showing showing(this);
    floatOverOpener();
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

void TForm::setVisible(bool visible) {
    if (visible)
        FirstFrame::finishNow();
    QDialog::setVisible(visible);
}

void TForm::setOuterGeometry(int left, int top, int width, int height) {
    ::setOuterGeometry(this, QRect(left, top, width, height));
}

void TForm::placeStandard() {
    if (isFixedSize(this)) {
        const QSize screen = Screen::size();
        setOuterGeometry(Screen::centred(screen.width(), 800),
                         Screen::centred(screen.height(), 600), 800, 575);
        return;
    }
    // A resizable window whose controls need more height than that gets it, and moves up as far as
    // its bottom needs to stay on the screen.
    Placement::on(this)->hold([this](const QMargins& frame) {
        const QSize screen = Screen::size();
        const int height = qMax(575, minimumSizeHint().height() + frame.top() + frame.bottom());
        int top = Screen::centred(screen.height(), 600);
        if (height > 575)
            top = qMax(0, qMin(top, screen.height() - height));
        return QRect(Screen::centred(screen.width(), 800), top, 800, height);
    });
}

bool TForm::event(QEvent* event) {
    if (event->type() == HotKeyEvent::type()) {
        Errors::guard(this, [&] { hotKeyPressed(static_cast<HotKeyEvent*>(event)->id); });
        return true;
    }
    return QDialog::event(event);
}
