// qorvex: a typing tutor for the Wubi 86 input method.
#include <unistd.h>
#include <QGuiApplication>
#include <cstdio>

#include "app/cmavro.h"
#include "app/commandline.h"
#include "app/form.h"
#include "app/windows.h"
#include "data/history.h"
#include "data/table.h"
#include "platform/errors.h"
#include "platform/exitsignals.h"
#include "platform/firstframe.h"
#include "platform/inputmethod.h"
#include "platform/qttranslations.h"
#include "resources/windowicon.h"

namespace {
bool haveDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}
}  // namespace

int main(int argc, char** argv) {
    if (argc > 1)
        return CommandLine::answer(argc, argv);
    // Desktops match the windows to the installed desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(QORVEX_APP_ID));
    if (!haveDisplay()) {
        std::fprintf(stderr,
                     "qorvex: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                     "start it from a desktop session.\n");
        return 1;
    }
    InputMethod::chooseFrontend();
    Application app(argc, argv);
    // A logout or a kill: the pages still held go to the history or to their leftover file, and
    // what could not be kept is told on the terminal, as no box may open now.
    ExitSignals::install([](int signal) {
        History::Store::setMessageSink([](const QString& message) {
            std::fprintf(stderr, "qorvex: %s\n", qPrintable(message));
        });
        History::Store::instance().finish();
        std::fflush(stderr);
        ::_exit(128 + signal);
    });
    nameApplication();
    QtTranslations::install();
    // What the hidden windows do not need before the main window is up waits until it is.
    FirstFrame::hold();
    createWindows();
    if (qEnvironmentVariableIsSet("QORVEX_STARTUP_REPORT"))
        std::fprintf(stderr,
                     "qorvex: %d windows created, %d tables open before the main window shows\n",
                     int(creationOrder().size()), TTable::openCount());
    frmmavro->show();
    FirstFrame::after([] { QApplication::setWindowIcon(WindowIcon::icon()); });
    FirstFrame::after([] { frmmavro->offerInputMethodSetup(); });
    FirstFrame::releaseAfterPaint(frmmavro);
    const int result = QApplication::exec();
    destroyWindows();
    History::Store::instance().finish();
    return result;
}
