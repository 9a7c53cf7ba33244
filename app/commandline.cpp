#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "data/history.h"
#include "platform/errors.h"
#include "progress/historyexport.h"

namespace CommandLine {

namespace {

// The history's own messages go to the terminal: there is no window to show them in.
int history(const QString& exportTo, const QString& importFrom) {
    History::Store::setMessageSink(
        [](const QString& message) { std::fprintf(stderr, "qorvex: %s\n", qPrintable(message)); });
    History::Store& store = History::Store::instance();
    try {
        if (!importFrom.isEmpty()) {
            std::printf("%s\n", qPrintable(HistoryExport::merge(store, importFrom).text()));
        }
        if (!exportTo.isEmpty())
            HistoryExport::write(store, exportTo);
    } catch (const AppError& error) {
        std::fprintf(stderr, "qorvex: %s\n", qPrintable(error.message()));
        store.finish();
        return 1;
    }
    store.finish();
    return 0;
}

}  // namespace

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
    const QCommandLineOption exportHistory(
        QStringLiteral("export-history"),
        QStringLiteral("Write the practice history to FILE (JSON, or CSV when FILE ends in .csv)."),
        QStringLiteral("FILE"));
    const QCommandLineOption importHistory(
        QStringLiteral("import-history"),
        QStringLiteral("Merge a JSON history written by --export-history into the history."),
        QStringLiteral("FILE"));
    parser.addOptions({help, version, exportHistory, importHistory});
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (parsed && parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parsed && parser.isSet(version)) {
        std::printf("qorvex %s\n", QORVEX_VERSION);
        return 0;
    }
    if (parsed && (parser.isSet(exportHistory) || parser.isSet(importHistory)))
        return history(parser.value(exportHistory), parser.value(importHistory));
    const QString wrong =
        parsed
            ? QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().value(0))
            : parser.errorText();
    std::fprintf(stderr, "qorvex: %s\nTry 'qorvex --help'.\n", qPrintable(wrong));
    return 2;
}

}  // namespace CommandLine
