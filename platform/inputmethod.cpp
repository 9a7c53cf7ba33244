#include "platform/inputmethod.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include "platform/busnames.h"

namespace InputMethod {

namespace {

const char kFcitxService[] = "org.fcitx.Fcitx5";
const char kIbusService[] = "org.freedesktop.IBus";
const QString kWbxSettings = QStringLiteral("fcitx5/table/wbx.conf");
// Start-up waits for the bus no longer than this; it answers in well under a millisecond.
constexpr int kStartupBusTimeoutMs = 150;
constexpr int kPageBusTimeoutMs = 1000;
// A box waits this long for fcitx5 to give its window the focus, in steps: some seconds on a
// loaded machine.
constexpr int kFocusPollMs = 50;
constexpr int kFocusTries = 300;
// Qt's fcitx frontend can lose the focus it owes a window whose context is still being made, and
// then reports it only on the next focus change; a box that waited this many steps in vain
// gives up the focus and takes it again, a few times at most.
constexpr int kRefocusEvery = 20;
constexpr int kRefocusLimit = 3;
bool refocusing = false;
// fcitx5's state of the focused context, and how many looks it stays on before the box stops:
// long enough for fcitx5 to hear that the window the pupil came from lost the focus.
constexpr int kStateOn = 2;
constexpr int kSteadyLooks = 10;

bool chosenHere = false;

QDBusMessage controllerCall(const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kFcitxService), QStringLiteral("/controller"),
        QStringLiteral("org.fcitx.Fcitx.Controller1"), method);
    call.setArguments(arguments);
    return call;
}

QDBusMessage askFcitx(const QString& method, const QVariantList& arguments = {}) {
    return QDBusConnection::sessionBus().call(controllerCall(method, arguments), QDBus::Block,
                                              kPageBusTimeoutMs);
}

bool onSessionBus(const char* service) {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(QString::fromLatin1(service)).value();
}

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The value of key in [section] of an ini text, or empty.
QString iniValue(const QString& text, const QString& section, const QString& key) {
    QString current;
    for (const QString& raw : text.split('\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith('[') && line.endsWith(']'))
            current = line.mid(1, line.size() - 2);
        else if (current == section && line.section('=', 0, 0).trimmed() == key)
            return line.section('=', 1).trimmed();
    }
    return {};
}

// The input methods of fcitx5's current group, by their names ("keyboard-us", "wbx").
QStringList fcitxGroupMembers() {
    const QDBusMessage group = askFcitx(QStringLiteral("CurrentInputMethodGroup"));
    if (group.type() != QDBusMessage::ReplyMessage || group.arguments().isEmpty())
        return {};
    const QDBusMessage info =
        askFcitx(QStringLiteral("InputMethodGroupInfo"), {group.arguments().value(0)});
    if (info.type() != QDBusMessage::ReplyMessage || info.arguments().size() < 2)
        return {};
    QStringList members;
    const QDBusArgument items = info.arguments().at(1).value<QDBusArgument>();
    items.beginArray();
    while (!items.atEnd()) {
        QString name, layout;
        items.beginStructure();
        items >> name >> layout;
        items.endStructure();
        members << name;
    }
    items.endArray();
    return members;
}

// The wbx table's order: the pupil's own setting over the installed one.
QString wbxOrderPolicy(const QString& ownSettings) {
    QString policy = iniValue(readText(ownSettings), "Table", "OrderPolicy");
    if (policy.isEmpty())
        policy = iniValue(readText(QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                          "fcitx5/inputmethod/wbx.conf")),
                          "Table", "OrderPolicy");
    return policy.isEmpty() ? QStringLiteral("Freq") : policy;
}

QString settingOutput(const QStringList& arguments) {
    QProcess gsettings;
    gsettings.start(QStringLiteral("gsettings"), QStringList{"get"} + arguments);
    if (!gsettings.waitForFinished(kPageBusTimeoutMs))
        gsettings.kill();
    return QString::fromUtf8(gsettings.readAllStandardOutput());
}

// ibus lists its engines in its own settings, GNOME in its input sources.
bool ibusWubiListed() {
    const QString engine = QStringLiteral("table:wubi-jidian86");
    return settingOutput({"org.freedesktop.ibus.general", "preload-engines"}).contains(engine) ||
           settingOutput({"org.gnome.desktop.input-sources", "sources"}).contains(engine);
}

// Whether fcitx5's account of its input contexts ("IC [id] program:name frontend:dbus cap:40
// focus:1") has one of this program with the focus.
bool ownContextFocused(const QString& debugInfo) {
    static const QRegularExpression focused(QStringLiteral(R"(program:(\S+) .*focus:1)"));
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    for (auto it = focused.globalMatch(debugInfo); it.hasNext();)
        if (it.next().captured(1) == program)
            return true;
    return false;
}

// fcitx5 switches on the input context that has the focus, or the one that last had it. The
// box's window gets its context a moment after it first takes the keyboard, Qt's fcitx frontend
// reports the focus on a bus connection of its own, and for a moment fcitx5 may still count the
// focus with the window the pupil came from. So the box asks fcitx5 every little while: while a
// context of ours has the focus but is off, it is switched on; once it has stayed on for a few
// looks, the box stops asking and the pupil's own switching is left alone.
struct FocusPoll {
    QPointer<QWidget> box;
    int triesLeft = kFocusTries;
    int steadyLooks = 0;
};

void poll(FocusPoll state);

void nextLook(const FocusPoll& state) {
    QTimer::singleShot(kFocusPollMs, state.box, [state] {
        FocusPoll next = state;
        --next.triesLeft;
        poll(next);
    });
}

// Asks fcitx5 without waiting; handle gets the answer while owner lives, nothing when fcitx5
// gives none.
template <typename Answer, typename Handle>
void askLater(const QString& method, QWidget* owner, Handle handle) {
    auto* asking = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(controllerCall(method)), owner);
    QObject::connect(asking, &QDBusPendingCallWatcher::finished, owner, [asking, handle] {
        asking->deleteLater();
        const QDBusPendingReply<Answer> reply = *asking;
        if (!reply.isError())
            handle(reply.value());
    });
}

// A context of ours has the focus: switched on when it is off, and the box keeps looking until
// it has stayed on.
void switchOnFocused(const FocusPoll& state) {
    askLater<int>(QStringLiteral("State"), state.box, [state](int fcitxState) {
        FocusPoll next = state;
        if (fcitxState == kStateOn) {
            if (++next.steadyLooks == kSteadyLooks)
                return;
        } else {
            next.steadyLooks = 0;
            QDBusConnection::sessionBus().send(controllerCall(QStringLiteral("Activate")));
        }
        nextLook(next);
    });
}

void poll(FocusPoll state) {
    if (!state.box || !state.box->hasFocus() || state.triesLeft == 0)
        return;
    askLater<QString>(QStringLiteral("DebugInfo"), state.box, [state](const QString& contexts) {
        QWidget* box = state.box;
        if (!box->hasFocus() || !box->window()->isActiveWindow())
            return nextLook(state);
        if (ownContextFocused(contexts))
            return switchOnFocused(state);
        FocusPoll next = state;
        next.steadyLooks = 0;
        const int looked = kFocusTries - state.triesLeft;
        if (looked % kRefocusEvery == kRefocusEvery - 1 && looked < kRefocusEvery * kRefocusLimit) {
            // As if the window had been left and come back to: the box keeps its selection and
            // the drill does not take it for the pupil entering the box.
            const QScopedValueRollback quiet(refocusing, true);
            box->window()->setFocus(Qt::ActiveWindowFocusReason);
            box->setFocus(Qt::ActiveWindowFocusReason);
        }
        nextLook(next);
    });
}

}  // namespace

QByteArray frontendFor(const Desktop& desktop) {
    if (!desktop.module.isEmpty())
        return {};
    if (desktop.fcitxOnBus)
        return "fcitx";
    if (desktop.ibusOnBus)
        return "ibus";
    return {};
}

void chooseFrontend() {
    // The desktop tests switch the choice off to show that typing breaks without it.
    if (qEnvironmentVariableIsSet("QORVEX_NO_IM_CHOICE"))
        return;
    Desktop desktop{qgetenv("QT_IM_MODULE")};
    if (desktop.module.isEmpty()) {
        const QList<bool> owned =
            BusNames::ownedOnSessionBus({kFcitxService, kIbusService}, kStartupBusTimeoutMs);
        desktop.fcitxOnBus = owned[0];
        desktop.ibusOnBus = owned[1];
    }
    const QByteArray module = frontendFor(desktop);
    if (module.isEmpty())
        return;
    qputenv("QT_IM_MODULE", module);
    chosenHere = true;
}

QString frontend() {
    return qEnvironmentVariable("QT_IM_MODULE");
}

bool frontendChosenHere() {
    return chosenHere;
}

void switchOnFor(QWidget* box) {
    if (!refocusing && frontend().startsWith(QLatin1String("fcitx")))
        poll({box});
}

Survey survey() {
    Survey state;
    if (onSessionBus(kFcitxService)) {
        state.running = Running::Fcitx5;
        state.wubiInstalled = !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                      "fcitx5/inputmethod/wbx.conf")
                                   .isEmpty();
        state.wubiInGroup = fcitxGroupMembers().contains(QStringLiteral("wbx"));
        state.wbxConfigPath =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
            kWbxSettings;
        state.orderPolicy = wbxOrderPolicy(state.wbxConfigPath);
    } else if (onSessionBus(kIbusService)) {
        state.running = Running::Ibus;
        state.wubiInstalled = !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                      "ibus-table/tables/wubi-jidian86.db")
                                   .isEmpty();
        state.wubiInGroup = ibusWubiListed();
    }
    return state;
}

bool needsAttention(const Survey& state) {
    return state.running == Running::None || !state.wubiInstalled || !state.wubiInGroup ||
           (state.running == Running::Fcitx5 && state.orderPolicy != QLatin1String("No"));
}

QString putSingleCharactersFirst() {
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         '/' + kWbxSettings;
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(withIniValue(readText(path), "Table", "OrderPolicy", "No").toUtf8()) < 0 ||
        !file.commit())
        return QStringLiteral("无法写入 %1：%2").arg(path, file.errorString());
    // fcitx5 reads a table's settings file once, when it first loads the table; reloading its
    // configuration does not read it again. Setting the value through fcitx5 applies it to a
    // loaded table at once (fcitx5 then writes the same file in full); a table not loaded yet
    // reads the file when it is.
    const QVariantMap order{{QStringLiteral("OrderPolicy"), QStringLiteral("No")}};
    const QDBusMessage reply =
        askFcitx(QStringLiteral("SetConfig"),
                 {QStringLiteral("fcitx://config/inputmethod/wbx"),
                  QVariant::fromValue(QDBusVariant(QVariant::fromValue(order)))});
    if (reply.type() == QDBusMessage::ErrorMessage)
        return QStringLiteral("fcitx5 没有接受新的设置：%1").arg(reply.errorMessage());
    return {};
}

QString withIniValue(const QString& text, const QString& section, const QString& key,
                     const QString& value) {
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QString setting = key + '=' + value;
    QString current;
    int sectionEnd = -1;  // where a missing key goes: after the section's last line
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        if (current != section)
            continue;
        if (line.section('=', 0, 0).trimmed() == key) {
            lines[i] = setting;
            return lines.join('\n') + '\n';
        }
        if (!line.isEmpty())
            sectionEnd = i + 1;
    }
    if (sectionEnd < 0) {
        const int header = lines.indexOf('[' + section + ']');
        if (header >= 0) {
            sectionEnd = header + 1;
        } else {
            if (!lines.isEmpty())
                lines << QString();
            lines << '[' + section + ']';
            sectionEnd = int(lines.size());
        }
    }
    lines.insert(sectionEnd, setting);
    return lines.join('\n') + '\n';
}

}  // namespace InputMethod
