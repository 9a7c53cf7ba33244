#include "progress/speedchart.h"

#include <QDir>
#include <QLibrary>

#include "media/modulefolders.h"

namespace SpeedChart {

namespace {
struct Module {
    CreateFunction create = nullptr;
    SetFunction set = nullptr;
    QString error;
    bool tried = false;
};

Module& module() {
    static Module m;
    if (m.tried)
        return m;
    m.tried = true;
    QLibrary library;
    for (const QString& folder : ModuleFolders::searched()) {
        library.setFileName(QDir(folder).filePath(QStringLiteral("qorvex-speedchart")));
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
