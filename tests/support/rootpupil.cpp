#include "support/rootpupil.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include "drills/CwbTest1.h"
#include "platform/tickcount.h"

namespace RootPupil {

QString fixtureKey(int record) {
    static const QString keys = QStringLiteral("GFDSAHJKLMTREWQYUIOPNBVCX");
    return keys.mid(record % keys.size(), 1);
}

int recordOf(int item) {
    static const QRegularExpression pattern(QStringLiteral("^第(\\d+)个字根"));
    const auto match = pattern.match(frmwbTest1->LL[item]->text());
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString keyOf(int item) {
    return frmwbTest1->L[item]->text();
}

int focusedBox() {
    for (int i = 1; i <= 28; ++i)
        if (frmwbTest1->E[i] == frmwbTest1->focusWidget())
            return i;
    return 0;
}

void type(QChar c) {
    QWidget* box = frmwbTest1->focusWidget();
    QTest::keyClick(box ? box : frmwbTest1, c.toLatin1());
}

void press(int qtKey) {
    QWidget* box = frmwbTest1->focusWidget();
    QTest::keyClick(box ? box : frmwbTest1, Qt::Key(qtKey));
}

void finishAtBox28() {
    for (int guard = 0; focusedBox() != 28 && guard < 28; ++guard) press(Qt::Key_Up);
    type(keyOf(28).at(0));
}

void whenShown(QWidget* window, std::function<void()> action) {
    QTimer::singleShot(10, qApp, [window, action = std::move(action)] {
        if (QApplication::activeModalWidget() != window || !window->isActiveWindow()) {
            whenShown(window, action);
            return;
        }
        action();
    });
}

void showDrill(int size, int start, std::function<void()> body) {
    whenShown(frmwbTest1, [body = std::move(body)] {
        body();
        if (frmwbTest1->isVisible())
            QTest::keyClick(frmwbTest1->focusWidget() ? frmwbTest1->focusWidget() : frmwbTest1,
                            Qt::Key_Escape);
    });
    frmwbTest1->JB1->setText(QString::number(size));
    frmwbTest1->JB2->setText(QString::number(start));
    frmwbTest1->ShowModal();
}

void setClock(uint32_t ms) {
    TickCount::setSource([ms] { return ms; });
}

}  // namespace RootPupil
