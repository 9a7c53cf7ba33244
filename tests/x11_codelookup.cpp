// The code lookup on a real desktop, Xvfb with openbox and fcitx5's Wubi switched on: codes
// typed as X key strokes go into the code box as letters and list their characters, Space
// selects the code for the next one, and Esc closes the window at the first press.
#include <QtTest>

#include "app/cmavro.h"
#include "support/fcitxservice.h"
#include "support/fingerpupil.h"
#include "support/menustate.h"
#include "support/wubidesktop.h"
#include "tools/CWBFind.h"

namespace {

QString gridCharacters() {
    QString characters;
    for (int row = 0; row < frmWBfind->Query1->rowCount(); ++row)
        characters += frmWBfind->Query1->index(row, 0).data().toString();
    return characters;
}

// What the grid lists once it lists the characters expected, or after a while.
QString gridAwaiting(const QString& characters) {
    (void)QTest::qWaitFor([&] { return gridCharacters() == characters; }, 5000);
    return gridCharacters();
}

}  // namespace

class X11CodeLookupTest : public QObject {
    Q_OBJECT

    WubiDesktop desktop;

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(desktop.start()); }
    void cleanup() { Fcitx::logIfFailed(); }

    void codesTypedWithWubiOnFillTheGrid() {
        struct Seen {
            bool shown = false, closedByEsc = false;
            QString grid1, selected, grid2, box;
        } seen;
        const Fcitx::ContextWatch context;
        FingerPupil::whenModalWindow(frmWBfind, [&seen, &context] {
            seen.shown = QTest::qWaitForWindowActive(frmWBfind) &&
                         QTest::qWaitFor([] { return frmWBfind->Edit2->hasFocus(); }) &&
                         context.await();
            Fcitx::strokes({"t", "z"});
            seen.grid1 = gridAwaiting(QStringLiteral("第行"));
            Fcitx::strokes({"space"});
            (void)QTest::qWaitFor([] { return frmWBfind->Edit2->hasSelectedText(); }, 5000);
            seen.selected = frmWBfind->Edit2->selectedText();
            Fcitx::strokes({"q", "v", "f", "p"});
            seen.grid2 = gridAwaiting(QStringLiteral("键"));
            seen.box = frmWBfind->Edit2->text();
            Fcitx::strokes({"Escape"});
            seen.closedByEsc = QTest::qWaitFor([] { return !frmWBfind->isVisible(); }, 5000);
            if (!seen.closedByEsc)
                frmWBfind->close();
        });
        frmmavro->runCommand("F1");

        QVERIFY(seen.shown);
        QCOMPARE(seen.grid1, QStringLiteral("第行"));
        QCOMPARE(seen.selected, QStringLiteral("tz"));
        QCOMPARE(seen.box, QStringLiteral("qvfp"));
        QCOMPARE(seen.grid2, QStringLiteral("键"));
        QVERIFY(seen.closedByEsc);
    }
};

int main(int argc, char** argv) {
    return Fcitx::exec(argc, argv, [] { return new X11CodeLookupTest; });
}

#include "x11_codelookup.moc"
