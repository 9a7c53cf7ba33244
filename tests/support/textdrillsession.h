#pragma once

// A pupil's visit to the text drill from the menu, for the text-drill tests: the fixture course
// (with five 60-byte lines for "课程练习[&5]", so a page of it holds 300 bytes), the program's
// windows, a clock the test sets, and helpers that open a lesson, finish a page and read the
// result dialog.
#include <QAction>
#include <QMenu>
#include <memory>

#include "app/cmavro.h"
#include "drills/Ctime.h"
#include "drills/ctest.h"
#include "platform/tickcount.h"
#include "support/appfixture.h"
#include "support/fixturecourse.h"
#include "support/menustate.h"
#include "support/textdrillpupil.h"

namespace TextDrillSession {

inline uint32_t tick = 0;

// Rows 29 to 33 ("课程练习[&5]", five lines): 30 characters, 60 bytes each.
inline QString longRow(int row) {
    return QStringLiteral("工地在要中国人民").repeated(3) + QStringLiteral("经键的一第%1").arg(row);
}

inline QList<QString> practiceRows() {
    QList<QString> rows = FixtureCourse::defaultPracticeRows();
    for (int row = 29; row <= 33; ++row) rows[row - 1] = longRow(row);
    return rows;
}

struct Program {
    FixtureCourse course;
    std::unique_ptr<AppFixture> app;

    explicit Program(const QList<QString>& rows = practiceRows()) {
        course.writePracticeRows(rows);
        course.writeCodeTable(FixtureCourse::defaultCodes());
        course.writeRootTable(FixtureCourse::defaultRoots());
        TickCount::setSource([] { return tick; });
        app = std::make_unique<AppFixture>();
        frmmavro->show();
        frmmavro->activateWindow();
    }
    ~Program() {
        app.reset();
        TickCount::setSource({});
    }
};

inline TypingBox* box(int n) {
    return frmTest->boxes[n - 1];
}
inline QString line(int n) {
    return frmTest->lines[n - 1]->text();
}

using MenuState::closeMenus;
using MenuState::openMenu;

// Esc in the focused box, as the pupil leaves the drill.
inline void pressEsc() {
    QWidget* target = frmTest->focusWidget() ? frmTest->focusWidget() : frmTest;
    QTest::keyClick(target, Qt::Key_Escape);
}

// Runs a lesson command; session runs while the drill is open, then Esc closes the drill (even
// when session failed part-way). Returns after the drill has closed; the return keys are still
// on their way.
inline void chooseCommand(const QString& command, std::function<void()> session) {
    auto ran = std::make_shared<bool>(false);
    TextDrillPupil::whenModalIs(frmTest, [ran, session] {
        *ran = true;
        [&] {
            QTRY_VERIFY(frmTest->isActiveWindow());
            session();
        }();
        // A session that failed part-way may leave the result dialog open over the drill.
        if (frmTime->isVisible())
            frmTime->close();
        if (frmTest->isVisible())
            pressEsc();
    });
    frmmavro->runCommand(command);
    QVERIFY2(*ran, "the drill was not shown");
}

// A lesson from start to close, with the menu the return keys open closed again afterwards.
inline void visit(const QString& command, std::function<void()> session) {
    chooseCommand(command, std::move(session));
    QTRY_VERIFY(openMenu() != nullptr);
    QTRY_VERIFY(openMenu()->activeAction() && openMenu()->activeAction()->objectName() == command);
    closeMenus();
}

// What the pupil saw in the result dialog, and the records while it was open.
struct Result {
    int shown = 0;
    QString time, speed;
    bool errorLineShown = false;
    QString h1WhileOpen, bc1WhileOpen, bc2WhileOpen;
    QStringList linesWhileOpen;  // the drill's shown lines
};

// Does the typing that finishes a page, reads the result dialog and closes it with Enter.
inline Result finishPage(std::function<void()> typing) {
    auto result = std::make_shared<Result>();
    TextDrillPupil::whenModalIs(frmTime, [result] {
        ++result->shown;
        result->time = frmTime->Label1->text();
        result->speed = frmTime->Label2->text();
        result->errorLineShown = !frmTime->Label3->isHidden();
        result->h1WhileOpen = frmTest->H1->text();
        result->bc1WhileOpen = frmTest->BC1->text();
        result->bc2WhileOpen = frmTest->BC2->text();
        for (const QLabel* line : frmTest->lines)
            if (!line->isHidden())
                result->linesWhileOpen << line->text();
        QWidget* target = frmTime->focusWidget() ? frmTime->focusWidget() : frmTime;
        QTest::keyClick(target, Qt::Key_Return);
    });
    typing();
    // The drill becomes the active window again once the dialog has gone.
    (void)QTest::qWaitFor([] { return frmTest->isActiveWindow(); });
    return *result;
}

// Types every shown line in full, the clock reading start at the first character and end at
// the last.
inline Result typePage(int lineCount, uint32_t start, uint32_t end) {
    return finishPage([=] {
        for (int n = 1; n <= lineCount; ++n) {
            const QString text = line(n);
            for (qsizetype i = 0; i < text.size(); ++i) {
                tick = n == 1 && i == 0 ? start
                                        : (n == lineCount && i == text.size() - 1 ? end : start);
                TextDrillPupil::commit(text.mid(i, 1));
            }
        }
    });
}

}  // namespace TextDrillSession
