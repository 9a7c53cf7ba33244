#include "platform/portalshortcuts.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPointer>
#include <QWidget>

#include "platform/hotkeys.h"
#include "platform/keysynth.h"

namespace {

const QString kShortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// One element of BindShortcuts' a(sa{sv}).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

}  // namespace

Q_DECLARE_METATYPE(PortalShortcut)

PortalShortcuts::PortalShortcuts(std::unique_ptr<PortalLink> link, int timeoutMs)
    : link(std::move(link)) {
    patience.setSingleShot(true);
    patience.setInterval(timeoutMs);
    connect(&patience, &QTimer::timeout, this, [this] { settle(State::Refused); });
}

PortalShortcuts::~PortalShortcuts() = default;

void PortalShortcuts::claim(const QList<Shortcut>& shortcuts) {
    wanted = shortcuts;
    patience.start();
    // A desktop without the portal answers ServiceUnknown, a portal without the interface
    // InvalidArgs.
    link->call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
               {kShortcutsInterface, QStringLiteral("version")}, [this](const QDBusMessage& reply) {
                   if (reply.type() == QDBusMessage::ErrorMessage)
                       settle(State::Refused);
                   else
                       createSession();
               });
}

void PortalShortcuts::createSession() {
    const QVariantMap options{
        {QStringLiteral("session_handle_token"), QStringLiteral("qorvex_session")}};
    request(QStringLiteral("CreateSession"), {options},
            [this](uint code, const QVariantMap& results) {
                const QVariant handle = results.value(QStringLiteral("session_handle"));
                const QString path = handle.canConvert<QDBusObjectPath>()
                                         ? handle.value<QDBusObjectPath>().path()
                                         : handle.toString();
                if (code != 0 || path.isEmpty())
                    return settle(State::Refused);
                // Binding may wait on the pupil's consent in a dialog of the desktop's own.
                patience.stop();
                bindShortcuts(path);
            });
}

void PortalShortcuts::bindShortcuts(const QString& sessionHandle) {
    link->onActivated([this](const QString& id) {
        if (current == State::Held)
            emit activated(id);
    });
    QList<PortalShortcut> list;
    for (const Shortcut& s : wanted)
        list.append({s.id,
                     {{QStringLiteral("description"), s.description},
                      {QStringLiteral("preferred_trigger"), s.trigger}}});
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(sessionHandle)), QVariant::fromValue(list),
             QString(), QVariantMap()},
            [this](uint code, const QVariantMap&) {
                settle(code == 0 ? State::Held : State::Refused);
            });
}

void PortalShortcuts::request(const QString& method, QVariantList args,
                              const PortalLink::Response& next) {
    const QString token = QStringLiteral("qorvex%1").arg(++tokens);
    const QString expected = link->requestPath(token);
    const PortalLink::Response answered = [this, next](uint code, const QVariantMap& results) {
        if (current == State::Asking)
            next(code, results);
    };
    link->onResponse(expected, answered);
    QVariantMap options = args.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    args.append(options);
    link->call(kShortcutsInterface, method, args,
               [this, expected, answered](const QDBusMessage& reply) {
                   if (reply.type() == QDBusMessage::ErrorMessage)
                       return settle(State::Refused);
                   // Older portals name the request their own way.
                   const QString path = reply.arguments().value(0).value<QDBusObjectPath>().path();
                   if (!path.isEmpty() && path != expected)
                       link->onResponse(path, answered);
               });
}

void PortalShortcuts::settle(State state) {
    if (current != State::Asking)
        return;
    patience.stop();
    current = state;
    emit settled(state);
}

namespace {

// QtDBus hands signals only to slots.
class MessageCatcher : public QObject {
    Q_OBJECT
  public:
    std::function<void(const QDBusMessage&)> onMessage;
  public slots:
    void handle(const QDBusMessage& message) { onMessage(message); }
};

// The portal's answers on the session bus.
class SessionBusLink : public PortalLink {
  public:
    SessionBusLink() {
        catcher.onMessage = [this](const QDBusMessage& message) { handle(message); };
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
    }

    void call(const QString& interface, const QString& method, const QVariantList& args,
              Reply reply) override {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"),
            QStringLiteral("/org/freedesktop/portal/desktop"), interface, method);
        message.setArguments(args);
        auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(message, 10000), &catcher);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &catcher,
                         [watcher, reply = std::move(reply)] {
                             reply(watcher->reply());
                             watcher->deleteLater();
                         });
    }

    QString requestPath(const QString& token) const override {
        QString sender = bus().baseService().mid(1);
        sender.replace('.', '_');
        return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    }

    void onResponse(const QString& path, Response response) override {
        responses.insert(path, std::move(response));
        bus().connect(QStringLiteral("org.freedesktop.portal.Desktop"), path,
                      QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
                      &catcher, SLOT(handle(QDBusMessage)));
    }

    void onActivated(std::function<void(const QString&)> activated) override {
        this->activated = std::move(activated);
        bus().connect(QStringLiteral("org.freedesktop.portal.Desktop"),
                      QStringLiteral("/org/freedesktop/portal/desktop"), kShortcutsInterface,
                      QStringLiteral("Activated"), &catcher, SLOT(handle(QDBusMessage)));
    }

  private:
    static QDBusConnection bus() { return QDBusConnection::sessionBus(); }

    void handle(const QDBusMessage& message) {
        const QVariantList args = message.arguments();
        if (message.member() == QLatin1String("Response") && args.size() == 2) {
            if (const Response response = responses.take(message.path()))
                response(args[0].toUInt(), qdbus_cast<QVariantMap>(args[1]));
        } else if (message.member() == QLatin1String("Activated") && args.size() >= 2 &&
                   activated) {
            activated(args[1].toString());
        }
    }

    MessageCatcher catcher;
    QHash<QString, Response> responses;
    std::function<void(const QString&)> activated;
};

struct Offered {
    QPointer<QWidget> window;
    int id = 0;
    int modifiers = 0;
    int virtualKey = 0;
    bool claimed = false;
};

QString triggerOf(int modifiers, int virtualKey) {
    QString trigger;
    if (modifiers & HotKeys::MOD_CONTROL)
        trigger += QStringLiteral("CTRL+");
    if (modifiers & HotKeys::MOD_ALT)
        trigger += QStringLiteral("ALT+");
    if (modifiers & HotKeys::MOD_SHIFT)
        trigger += QStringLiteral("SHIFT+");
    if (modifiers & HotKeys::MOD_WIN)
        trigger += QStringLiteral("LOGO+");
    return trigger + QKeySequence(KeySynth::qtKey(virtualKey)).toString(QKeySequence::PortableText);
}

class Claim {
  public:
    QList<Offered> offered;

    void offer(const Offered& key) {
        offered.append(key);
        if (!portal && !scheduled) {
            scheduled = true;
            QTimer::singleShot(0, qApp, [this] { start(); });
        }
    }

    bool holds(QWidget* window, int id) const {
        if (!portal || portal->state() != PortalShortcuts::State::Held)
            return false;
        for (const Offered& key : offered)
            if (key.window == window && key.id == id)
                return key.claimed;
        return false;
    }

  private:
    void start() {
        portal = new PortalShortcuts(std::make_unique<SessionBusLink>(), 5000);
        portal->setParent(qApp);
        QObject::connect(portal, &PortalShortcuts::activated, portal,
                         [this](const QString& shortcutId) { deliver(shortcutId); });
        QList<PortalShortcuts::Shortcut> shortcuts;
        for (Offered& key : offered) {
            key.claimed = true;
            const QString title = key.window ? key.window->windowTitle().simplified() : QString();
            shortcuts.append({QString::number(key.id),
                              title.isEmpty() ? QCoreApplication::applicationName() : title,
                              triggerOf(key.modifiers, key.virtualKey)});
        }
        portal->claim(shortcuts);
    }

    void deliver(const QString& shortcutId) const {
        for (const Offered& key : offered)
            if (key.claimed && key.window && QString::number(key.id) == shortcutId)
                QCoreApplication::postEvent(key.window, new HotKeyEvent(key.id));
    }

    PortalShortcuts* portal = nullptr;
    bool scheduled = false;
};

Claim& claim() {
    static Claim c;
    return c;
}

}  // namespace

namespace PortalHotKeys {

void offer(QWidget* window, int id, int modifiers, int virtualKey) {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        claim().offer({window, id, modifiers, virtualKey, false});
}

void withdraw(QWidget* window, int id) {
    claim().offered.removeIf(
        [window, id](const Offered& key) { return key.window == window && key.id == id; });
}

bool holds(QWidget* window, int id) {
    return claim().holds(window, id);
}

}  // namespace PortalHotKeys

#include "portalshortcuts.moc"
