// make-pictures <folder>: renders the windows' fixed pictures into uncompressed files for the
// resources; an uncompressed picture loads in a fraction of the time a PNG takes to decode.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "resources/paint/painted.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-pictures <folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    const bool ok = Painted::titlePicture().save(out.filePath("title.bmp")) &&
                    Painted::resultPicture(QSize(137, 161)).save(out.filePath("result.png"));
    return ok ? 0 : 1;
}
