#include "progress/speedchart.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace SpeedChart {

namespace {
struct Module {
    CreateFunction create = nullptr;
    SetFunction set = nullptr;
    QString error;
    bool tried = false;
};

// Beside the program, one folder up (tests and benchmarks live in folders of their own), or in
// the installed modules' folder.
Module& module() {
    static Module m;
    if (m.tried)
        return m;
    m.tried = true;
    const QDir here(QCoreApplication::applicationDirPath());
    QLibrary library;
    for (const QString& path :
         {here.filePath("qorvex-speedchart"), here.filePath("../qorvex-speedchart"),
          QStringLiteral(QORVEX_MODULE_INSTALL_DIR "/qorvex-speedchart")}) {
        library.setFileName(path);
        if (library.load())
            break;
    }
    if (!library.isLoaded()) {
        m.error = library.errorString();
        return m;
    }
    m.create = reinterpret_cast<CreateFunction>(library.resolve("qorvexCreateSpeedChart"));
    m.set = reinterpret_cast<SetFunction>(library.resolve("qorvexSetSpeedChart"));
    if (!m.create || !m.set)
        m.error = library.errorString();
    return m;
}
}  // namespace

QWidget* create(QWidget* parent, QString* error) {
    Module& m = module();
    if (!m.create || !m.set) {
        if (error)
            *error = m.error;
        return nullptr;
    }
    return m.create(parent);
}

void setPoints(QWidget* chart, const QString& title, const QList<Point>& points) {
    if (chart && module().set)
        module().set(chart, title, points);
}

}  // namespace SpeedChart
