// Claiming F1 and F2 through the desktop portal, fed the replies desktops give: the keys count
// as held only when the portal has answered every request.
#include <QDBusObjectPath>
#include <QtTest>

#include "platform/portalshortcuts.h"

namespace {

using State = PortalShortcuts::State;

// Answers calls as one kind of desktop does; notes what was asked.
class ScriptedPortal : public PortalLink {
  public:
    enum Kind { NoPortal, NoInterface, Silent, Working };
    explicit ScriptedPortal(Kind kind, QStringList* asked) : kind(kind), asked(asked) {}

    void call(const QString& interface, const QString& method, const QVariantList& args,
              Reply reply) override {
        *asked << method;
        QDBusMessage request = QDBusMessage::createMethodCall(
            "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop", interface, method);
        if (method == "Get" && kind == NoPortal)
            return reply(request.createErrorReply(
                "org.freedesktop.DBus.Error.ServiceUnknown",
                "The name org.freedesktop.portal.Desktop was not provided by any .service files"));
        if (method == "Get" && kind == NoInterface)
            return reply(request.createErrorReply("org.freedesktop.DBus.Error.InvalidArgs",
                                                  "No such interface"));
        if (method == "Get")
            return reply(request.createReply(QVariant::fromValue(QDBusVariant(1u))));
        const QString token = args.last().toMap().value("handle_token").toString();
        reply(request.createReply(QVariant::fromValue(QDBusObjectPath(requestPath(token)))));
        if (kind != Working)
            return;
        const QVariantMap results =
            method == "CreateSession"
                ? QVariantMap{{"session_handle", "/org/freedesktop/portal/desktop/session/1_1/s"}}
                : QVariantMap{};
        // The Response comes as a signal, after the reply.
        QTimer::singleShot(
            10, [this, token, results] { responses.take(requestPath(token))(0, results); });
    }
    QString requestPath(const QString& token) const override {
        return "/org/freedesktop/portal/desktop/request/1_1/" + token;
    }
    void onResponse(const QString& path, Response response) override {
        responses.insert(path, response);
    }
    void onActivated(std::function<void(const QString&)> activated) override { press = activated; }

    std::function<void(const QString&)> press;

  private:
    Kind kind;
    QStringList* asked;
    QHash<QString, Response> responses;
};

}  // namespace

class PortalShortcutsTest : public QObject {
    Q_OBJECT
  private slots:
    void desktopsThatHoldNoKeys_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("no portal") << int(ScriptedPortal::NoPortal) << QStringList{"Get"};
        QTest::newRow("portal without the interface")
            << int(ScriptedPortal::NoInterface) << QStringList{"Get"};
        QTest::newRow("a version but no Response")
            << int(ScriptedPortal::Silent) << QStringList{"Get", "CreateSession"};
    }
    void desktopsThatHoldNoKeys() {
        QFETCH(int, kind);
        QFETCH(QStringList, asked);
        QStringList seen;
        PortalShortcuts portal(std::make_unique<ScriptedPortal>(ScriptedPortal::Kind(kind), &seen),
                               300);
        QSignalSpy settled(&portal, &PortalShortcuts::settled);
        portal.claim({{"112", "F1", "F1"}, {"113", "F2", "F2"}});
        QTRY_COMPARE(settled.size(), 1);
        QCOMPARE(portal.state(), State::Refused);
        QCOMPARE(seen, asked);
        QTest::qWait(400);
        QCOMPARE(settled.size(), 1);
    }

    void workingPortalBindsBothKeysAndPassesPresses() {
        QStringList seen;
        auto link = std::make_unique<ScriptedPortal>(ScriptedPortal::Working, &seen);
        ScriptedPortal* desktop = link.get();
        PortalShortcuts portal(std::move(link), 300);
        QSignalSpy activated(&portal, &PortalShortcuts::activated);
        portal.claim({{"112", "root drill", "F1"}, {"113", "text drill", "F2"}});
        QCOMPARE(portal.state(), State::Asking);
        QTRY_COMPARE(portal.state(), State::Held);
        QCOMPARE(seen, (QStringList{"Get", "CreateSession", "BindShortcuts"}));
        // Held for good: the time-out no longer counts once the portal has answered.
        QTest::qWait(400);
        QCOMPARE(portal.state(), State::Held);

        QVERIFY(desktop->press);
        desktop->press("113");
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated[0][0].toString(), QString("113"));
    }
};

QTEST_GUILESS_MAIN(PortalShortcutsTest)
#include "test_portalshortcuts.moc"
