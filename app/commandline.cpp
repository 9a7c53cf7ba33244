#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace CommandLine {

int answer(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qorvex"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A typing tutor for the Wubi 86 Chinese input method (五笔速成练习).\n"
                       "Start it without arguments from a desktop session."));
    // Qt's own help option would offer --help-all and the toolkit's options, which take no effect.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOptions({help, version});
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (parsed && parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parsed && parser.isSet(version)) {
        std::printf("qorvex %s\n", QORVEX_VERSION);
        return 0;
    }
    const QString wrong =
        parsed
            ? QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().value(0))
            : parser.errorText();
    std::fprintf(stderr, "qorvex: %s\nTry 'qorvex --help'.\n", qPrintable(wrong));
    return 2;
}

}  // namespace CommandLine
