// make-icons <folder> <icon name>: exports the window icon into an icon theme folder, as
// <folder>/hicolor/<n>x<n>/apps/<name>.png and <folder>/hicolor/scalable/apps/<name>.svg.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <cstdio>

#include "resources/paint/painted.h"

namespace {

bool writeSvg(const QString& path, int size) {
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(size, size));
    svg.setViewBox(QRect(0, 0, size, size));
    svg.setTitle(QStringLiteral("qorvex"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    Painted::paintWindowIcon(painter, size);
    if (!painter.end())
        return false;
    // The generator gives the size in millimetres; an icon theme wants pixels.
    QString text = QString::fromUtf8(buffer.data());
    text.replace(QRegularExpression(QStringLiteral(R"(width="[\d.]+mm" height="[\d.]+mm")")),
                 QStringLiteral(R"(width="%1" height="%1")").arg(size));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-icons <folder> <icon name>\n");
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor"));
    const QString file = QString::fromLocal8Bit(argv[2]);
    bool ok = true;
    for (int size : Painted::kIconSizes) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        ok = theme.mkpath(folder) &&
             Painted::windowIcon(size).save(theme.filePath(folder + '/' + file + ".png")) && ok;
    }
    ok = theme.mkpath("scalable/apps") &&
         writeSvg(theme.filePath("scalable/apps/" + file + ".svg"), 256) && ok;
    return ok ? 0 : 1;
}
