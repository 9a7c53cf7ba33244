#include "support/wubikeys.h"

#include <QLineEdit>
#include <QProcess>
#include <QtTest>

#include "progress/wubicodes.h"
#include "support/fcitxservice.h"

namespace WubiKeys {

QString forText(const QString& text) {
    const Wubi::CodeBook& book = Wubi::CodeBook::shared();
    QString keys;
    for (const QChar c : text) {
        if (const Wubi::Character* character = book.find(QString(c))) {
            const QString code =
                character->shortCode.isEmpty() ? character->fullCode : character->shortCode;
            keys += code.size() < 4 ? code + ' ' : code;
        } else if (c == QChar(u'，')) {
            keys += ',';
        } else if (c == QChar(u'。')) {
            keys += '.';
        } else {
            keys += c;
        }
    }
    return keys;
}

bool type(const QString& keys, int delayMs) {
    QProcess xdotool;
    xdotool.start("xdotool", {"type", "--delay", QString::number(delayMs), keys});
    return xdotool.waitForStarted() &&
           QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 60000);
}

bool firstCharacter(QLineEdit* box, const QString& keys, const QString& character) {
    if (!QTest::qWaitFor([box] { return box->hasFocus(); }) ||
        !QTest::qWaitFor(FcitxService::wubiActive, 10000))
        return false;
    for (int attempt = 0; attempt < 20 && box->text() != character; ++attempt) {
        box->clear();
        if (!type(keys))
            return false;
        (void)QTest::qWaitFor([&] { return box->text() == character; }, 1000);
    }
    return box->text() == character;
}

}  // namespace WubiKeys
