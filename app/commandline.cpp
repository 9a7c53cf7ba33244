#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace CommandLine {

int answer(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qorvex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QORVEX_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A typing tutor for the Wubi 86 Chinese input method (五笔速成练习).\n"
                       "Start it without arguments from a desktop session."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (parsed && (parser.isSet(help) || parser.isSet(QStringLiteral("help-all")))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parsed && parser.isSet(version)) {
        std::printf("qorvex %s\n", QORVEX_VERSION);
        return 0;
    }
    const QString wrong =
        parsed ? QStringLiteral("qorvex takes no arguments.") : parser.errorText();
    std::fprintf(stderr, "qorvex: %s\nTry 'qorvex --help'.\n", qPrintable(wrong));
    return 2;
}

}  // namespace CommandLine
