#include "support/menustate.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QtTest>

#include "app/cmavro.h"

namespace MenuState {

QMenu* openMenu() {
    QAction* active = frmmavro->MainMenu1->activeAction();
    if (!active || !active->menu() || !active->menu()->isVisible())
        return nullptr;
    return active->menu();
}

bool showMainWindow() {
    frmmavro->show();
    frmmavro->activateWindow();
    return QTest::qWaitForWindowActive(frmmavro);
}

void closeMenus() {
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    QMenuBar* menuBar = frmmavro->MainMenu1;
    if (menuBar->activeAction() || frmmavro->focusWidget() == menuBar)
        QTest::keyClick(menuBar, Qt::Key_Escape);
    frmmavro->setFocus();
    QTest::qWait(20);
}

QString bar() {
    QAction* title = frmmavro->MainMenu1->activeAction();
    if (!title && frmmavro->focusWidget() == frmmavro->MainMenu1)
        return QStringLiteral("(no title highlighted, the keyboard still at the bar)");
    if (!title)
        return QString();
    QMenu* menu = openMenu();
    if (!menu)
        return title->objectName();
    QAction* command = menu->activeAction();
    return title->objectName() + '>' + (command ? command->objectName() : QString());
}

bool titleShownHighlighted(QAction* title) {
    QMenuBar* menuBar = frmmavro->MainMenu1;
    const QRect rect = menuBar->actionGeometry(title);
    QImage shown;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QPoint at = menuBar->mapTo(frmmavro, rect.topLeft());
        shown = frmmavro->screen()
                    ->grabWindow(frmmavro->winId(), at.x(), at.y(), rect.width(), rect.height())
                    .toImage();
    } else {
        shown = menuBar->grab(rect).toImage();
    }
    const QRgb highlight = menuBar->palette().color(QPalette::Highlight).rgb();
    int lit = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            lit += (shown.pixel(x, y) | 0xff000000) == highlight;
    // The title's text covers part of it; most of the rest is filled.
    return lit * 2 > shown.width() * shown.height();
}

void checkAltWalksTheTitles(const std::function<void(const QString&)>& press) {
    const QList<QAction*> titles = frmmavro->MainMenu1->actions();
    QVERIFY(!titleShownHighlighted(titles[0]));
    press(QStringLiteral("alt"));
    QTRY_VERIFY(titleShownHighlighted(titles[0]));
    press(QStringLiteral("Right"));
    QTRY_VERIFY(titleShownHighlighted(titles[1]));
    QVERIFY(!titleShownHighlighted(titles[0]));
}

void addKeyboardModeRows() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("end");
    static const struct {
        const char* keys;
        const char* end;
    } rows[] = {
        {"alt", "N26"},
        {"alt Right Right", "N7"},
        {"alt Left", "X1"},
        {"alt Right Left", "N26"},
        {"alt Down", "N26>N27"},
        {"alt Right Return", "N14>N17"},
        {"alt d", "N1>N11"},
        {"alt h", "X1>S1"},
        {"alt q", "N26"},
        {"alt Right Down Right", "N7>N8"},
        {"alt Down Left", "X1>S1"},
        {"alt Down Escape", "N26"},
        {"alt Down Escape Escape", ""},
        {"alt Escape", ""},
        {"alt alt", ""},
        {"alt Down alt", ""},
        {"alt Escape q", "N26>N27"},
        {"alt alt q", "N26>N27"},
        {"q", "N26>N27"},
    };
    for (const auto& row : rows)
        QTest::newRow(row.keys) << QString::fromLatin1(row.keys) << QString::fromLatin1(row.end);
}

}  // namespace MenuState
