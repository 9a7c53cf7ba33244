// make-pictures <folder>: renders the windows' fixed pictures into files for the resources. The
// title picture is stored as raw pixels, which start-up copies instead of decoding; the others
// are small PNGs, kept for their transparency.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

#include "resources/paint/painted.h"
#include "resources/rawpicture.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-pictures <folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    QFile title(out.filePath("title.raw"));
    bool ok = title.open(QIODevice::WriteOnly) &&
              title.write(RawPicture::encode(Painted::titlePicture())) > 0 &&
              Painted::resultPicture(QSize(137, 161)).save(out.filePath("result.png")) &&
              Painted::helpPicture().save(out.filePath("help.png"));
    for (int size : Painted::kIconSizes)
        ok = ok && Painted::windowIcon(size).save(out.filePath(QString("icon-%1.png").arg(size)));
    return ok ? 0 : 1;
}
