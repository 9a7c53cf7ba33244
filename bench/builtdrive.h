#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/cmavro.h"
#include "app/windows.h"
#include "platform/errors.h"
#include "platform/firstframe.h"

// The course built next to the benchmarks (<build>/drive); QORVEX_BUILT_DRIVE overrides it.
inline QString builtDrive() {
    const QString set = qEnvironmentVariable("QORVEX_BUILT_DRIVE");
    return set.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath("../drive") : set;
}

// Lets the application handle what comes for ms milliseconds.
inline void settle(int ms) {
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The program on the built course as start-up leaves it: every window created, the main window
// shown and the work held back for its first frame done, settleMs later. The error messages the
// pupil would be shown go to errors. False, having said so, when the course has no table (a
// table of mavro) yet: nothing is measured then.
inline bool startOnBuiltDrive(const char* table, int settleMs, QStringList& errors) {
    const QString drive = builtDrive();
    if (!QFile::exists(QDir(drive).filePath(QStringLiteral("mavro/") + table))) {
        std::printf(
            "The built course %s is not there yet: build the course target first. "
            "Nothing measured.\n",
            qPrintable(QDir::cleanPath(drive)));
        return false;
    }
    qputenv("QORVEX_DRIVE", drive.toLocal8Bit());
    Errors::setSink([&errors](const QString& message) { errors << message; });
    FirstFrame::hold();
    createWindows();
    frmmavro->show();
    FirstFrame::releaseAfterPaint(frmmavro);
    settle(settleMs);
    return true;
}

// Stamps the moment the watched window's first frame is out (its paint event has been handled,
// and the queued call after it runs once the frame is drawn and flushed), then closes it.
class FrameWatch : public QObject {
  public:
    FrameWatch(QWidget* window, QElapsedTimer& clock) : window(window), clock(clock) {
        window->installEventFilter(this);
    }
    ~FrameWatch() override { window->removeEventFilter(this); }
    qint64 ns = -1;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window && event->type() == QEvent::Paint && !stamped) {
            stamped = true;
            QTimer::singleShot(0, this, [this] {
                ns = clock.nsecsElapsed();
                window->close();
            });
        }
        return false;
    }

  private:
    QWidget* window;
    QElapsedTimer& clock;
    bool stamped = false;
};
