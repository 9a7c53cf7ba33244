// make-pictures <folder>: renders the windows' fixed pictures into files for the resources. The
// title picture is stored as raw pixels, which start-up copies instead of decoding; the others
// are small PNGs, kept for their transparency. Each picture also comes as name@2x.png, painted
// with twice the pixels for screens of twice the density.
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
              Painted::titlePicture(2).save(out.filePath("title@2x.png"));
    for (qreal ratio : {1, 2}) {
        const QString suffix = ratio > 1 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
        ok = ok &&
             Painted::resultPicture(QSize(137, 161), ratio).save(out.filePath("result" + suffix)) &&
             Painted::helpPicture(ratio).save(out.filePath("help" + suffix));
    }
    for (int size : Painted::kIconSizes)
        ok = ok && Painted::windowIcon(size).save(out.filePath(QString("icon-%1.png").arg(size)));
    return ok ? 0 : 1;
}
