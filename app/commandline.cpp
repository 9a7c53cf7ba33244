#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include "data/history.h"
#include "platform/errors.h"
#include "progress/adaptivelesson.h"
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

// Written here rather than by QCommandLineParser, whose headings stay English without Qt's
// translations, which a terminal run does not load.
QString helpText(const QList<QCommandLineOption>& options, bool chinese) {
    QString text = chinese ? QStringLiteral(
                                 "用法：qorvex [选项]\n"
                                 "五笔字型（五笔 86）打字练习。请在桌面会话中不带参数启动。\n\n"
                                 "选项：\n")
                           : QStringLiteral(
                                 "Usage: qorvex [options]\n"
                                 "A typing tutor for the Wubi 86 Chinese input method "
                                 "(五笔速成练习).\n"
                                 "Start it without arguments from a desktop session.\n\n"
                                 "Options:\n");
    for (const QCommandLineOption& option : options) {
        QStringList names;
        for (const QString& name : option.names()) names << (name.size() == 1 ? "-" : "--") + name;
        QString left = names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            left += ' ' + option.valueName();
        text += QStringLiteral("  %1  %2\n").arg(left, -24).arg(option.description());
    }
    return text;
}

// The page 智能练习 would open now, read from a copy of the history: opening the pupil's own file
// would sum up its totals and take in pages kept aside, and the page itself keeps what it
// unlocked. Nothing of the pupil's changes.
int practicePage() {
    History::Store::setMessageSink(
        [](const QString& message) { std::fprintf(stderr, "qorvex: %s\n", qPrintable(message)); });
    const QTemporaryDir copies;
    const QString history = History::Store::defaultPath();
    QString copy;  // none while there is no history: a new pupil's page
    if (QFile::exists(history)) {
        copy = copies.filePath(QStringLiteral("practice-page.sqlite3"));
        for (const QString& part : {QString(), QStringLiteral("-wal")})
            if (QFile::exists(history + part))
                QFile::copy(history + part, copy + part);
    }
    History::Store store(copy);
    try {
        QRandomGenerator random(quint32(QDateTime::currentMSecsSinceEpoch()));
        const AdaptiveLesson::Plan plan = AdaptiveLesson::pageFor(
            store, Wubi::CodeBook::shared(), random, QDateTime::currentMSecsSinceEpoch(),
            AdaptiveLesson::Keep::Nothing);
        if (plan.lines.isEmpty())
            throw AppError(QStringLiteral("码表中找不到可以练习的字，无法生成智能练习。"));
        for (const QString& line : plan.lines) std::printf("%s\n", line.toUtf8().constData());
    } catch (const AppError& error) {
        std::fprintf(stderr, "qorvex: %s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}

}  // namespace

int answer(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qorvex"));
    const bool chinese = QLocale::system().language() == QLocale::Chinese;
    const auto say = [chinese](const char* english, const char* inChinese) {
        return QString::fromUtf8(chinese ? inChinese : english);
    };
    QCommandLineParser parser;
    // Qt's own help option would offer --help-all and the toolkit's options, which take no effect.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  say("Show this help and exit.", "显示本帮助后退出。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     say("Show the version and exit.", "显示版本号后退出。"));
    const QCommandLineOption exportHistory(
        QStringLiteral("export-history"),
        say("Write the practice history to FILE (JSON, or CSV when FILE ends in .csv).",
            "把练习记录写入 FILE（JSON 格式；FILE 以 .csv 结尾时为 CSV 格式）。"),
        QStringLiteral("FILE"));
    const QCommandLineOption importHistory(
        QStringLiteral("import-history"),
        say("Merge a JSON history written by --export-history into the history.",
            "把 --export-history 写出的 JSON 记录并入练习记录。"),
        QStringLiteral("FILE"));
    const QCommandLineOption practicePageOption(
        QStringLiteral("practice-page"),
        say("Print the page 智能练习 would open now, one line per line, and exit. "
            "Nothing is written.",
            "打印智能练习此刻会给出的一页（每行一行）后退出，不写任何文件。"));
    const QList<QCommandLineOption> options{help, version, exportHistory, importHistory,
                                            practicePageOption};
    parser.addOptions(options);
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (parsed && parser.isSet(help)) {
        std::fputs(qPrintable(helpText(options, chinese)), stdout);
        return 0;
    }
    if (parsed && parser.isSet(version)) {
        std::printf("qorvex %s\n", QORVEX_VERSION);
        return 0;
    }
    if (parsed && parser.isSet(practicePageOption) && parser.positionalArguments().isEmpty())
        return practicePage();
    if (parsed && (parser.isSet(exportHistory) || parser.isSet(importHistory)))
        return history(parser.value(exportHistory), parser.value(importHistory));
    const QString wrong = parsed ? say("unexpected argument '%1'.", "多余的参数“%1”。")
                                       .arg(parser.positionalArguments().value(0))
                                 : parser.errorText();
    std::fprintf(stderr, "qorvex: %s\n%s\n", qPrintable(wrong),
                 qPrintable(say("Try 'qorvex --help'.", "请看 qorvex --help。")));
    return 2;
}

}  // namespace CommandLine
