#include "platform/errors.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QWidget>
#include <cstdio>

namespace Errors {

namespace {
std::function<void(const QString&)>& sink() {
    static std::function<void(const QString&)> s;
    return s;
}

int caughtByNet = 0;

// Set on a window while it is shown modally: whether it has shown a lasting error yet.
const char* const kLastingShown = "qorvexLastingErrorShown";

QObject* windowOf(QObject* owner) {
    if (auto* widget = qobject_cast<QWidget*>(owner))
        return widget->window();
    return owner;
}
}  // namespace

void report(const QString& message) {
    if (sink()) {
        sink()(message);
        return;
    }
    // After the application has gone (a store closing from a static destructor), or with no
    // screen left to show it on (the display gone), no box can open.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) ||
        QCoreApplication::closingDown() || QGuiApplication::screens().isEmpty()) {
        std::fprintf(stderr, "qorvex: %s\n", qPrintable(message));
        return;
    }
    // Plain text: a message names the pupil's files and folders, and a name such as
    // "<font color=red>" is a name, not markup.
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void setSink(std::function<void(const QString&)> s) {
    sink() = std::move(s);
}

void report(QObject* owner, const AppError& error) {
    QObject* window = windowOf(owner);
    if (error.isLasting() && window) {
        const QVariant shown = window->property(kLastingShown);
        if (shown.isValid()) {
            if (shown.toBool())
                return;
            // Marked before the box opens: the box's own key strokes may raise it again.
            window->setProperty(kLastingShown, true);
        }
    }
    report(error.message());
}

Showing::Showing(QWidget* window) : shown(window) {
    window->setProperty(kLastingShown, false);
}

Showing::~Showing() {
    if (shown)
        shown->setProperty(kLastingShown, QVariant());
}

int netCatches() {
    return caughtByNet;
}

QString fileProblem(const QFileDevice& file, bool writing) {
    switch (file.error()) {
        case QFileDevice::ResourceError:
            return QStringLiteral("磁盘已满，或者系统资源不足");
        case QFileDevice::WriteError:
            return QStringLiteral("写入时出错，磁盘可能已满");
        case QFileDevice::ReadError:
            return QStringLiteral("读取时出错，文件或者磁盘可能已损坏");
        case QFileDevice::RenameError:
            return QStringLiteral("无法用写好的新内容替换原来的文件，文件夹可能是只读的");
        default:
            break;
    }
    const QFileInfo info(file.fileName());
    const QFileInfo folder(info.absolutePath());
    if (writing) {
        if (!folder.isDir())
            return QStringLiteral("文件夹 %1 不存在").arg(folder.filePath());
        if (info.isDir())
            return QStringLiteral("这个名字已经是一个文件夹");
        if (!folder.isWritable() || (info.exists() && !info.isWritable()))
            return QStringLiteral("文件或者文件夹是只读的，没有写入的权限");
        return QStringLiteral("无法写入，磁盘可能已满，或者是只读的");
    }
    if (!info.exists())
        return QStringLiteral("文件不存在");
    if (info.isDir())
        return QStringLiteral("这是一个文件夹，不是文件");
    if (!info.isReadable())
        return QStringLiteral("没有读取这个文件的权限");
    return QStringLiteral("无法读取这个文件");
}

}  // namespace Errors

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    if (!Errors::guard([&] { handled = QApplication::notify(receiver, event); }))
        ++Errors::caughtByNet;
    return handled;
}
