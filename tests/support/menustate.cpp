#include "support/menustate.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
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
    QTest::qWait(20);
}

}  // namespace MenuState
