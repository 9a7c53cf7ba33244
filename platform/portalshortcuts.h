#pragma once

#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantMap>
#include <functional>
#include <memory>

class QWidget;

// The few calls the claim makes on the desktop portal. The real one speaks to
// org.freedesktop.portal.Desktop on the session bus; tests put replies of their own in its place.
class PortalLink {
  public:
    using Reply = std::function<void(const QDBusMessage&)>;
    using Response = std::function<void(uint code, const QVariantMap& results)>;

    virtual ~PortalLink() = default;
    // A method call on /org/freedesktop/portal/desktop; reply gets the answer or the error.
    virtual void call(const QString& interface, const QString& method, const QVariantList& args,
                      Reply reply) = 0;
    // The path the portal will give the Request made with this handle token.
    virtual QString requestPath(const QString& token) const = 0;
    // Listens for the Response of the Request at path; set up before the call that makes it.
    virtual void onResponse(const QString& path, Response response) = 0;
    virtual void onActivated(std::function<void(const QString& shortcutId)> activated) = 0;
};

// System-wide keys through the GlobalShortcuts portal, the one way a Wayland client may hold a
// key while another program has the focus. A desktop may name the interface, or report its
// version, and still never answer: the keys count as held only once the portal has bound them.
// Until then, and when it never does, the program's windows catch the keys themselves.
class PortalShortcuts : public QObject {
    Q_OBJECT
  public:
    struct Shortcut {
        QString id;
        QString description;
        QString trigger;  // in the portal's notation: "F1", "CTRL+a"
    };
    enum class State { Asking, Held, Refused };

    explicit PortalShortcuts(std::unique_ptr<PortalLink> link, int timeoutMs = 5000);
    ~PortalShortcuts() override;

    void claim(const QList<Shortcut>& shortcuts);
    State state() const { return current; }

  signals:
    void settled(PortalShortcuts::State state);
    void activated(const QString& shortcutId);

  private:
    void createSession();
    void bindShortcuts(const QString& sessionHandle);
    // Calls method, then waits for the Response of the Request it makes.
    void request(const QString& method, QVariantList args, const PortalLink::Response& next);
    void settle(State state);

    std::unique_ptr<PortalLink> link;
    QList<Shortcut> wanted;
    QTimer patience;
    State current = State::Asking;
    int tokens = 0;
};

// The hot keys of hotkeys.cpp offered to the portal when the program runs on Wayland; a key the
// portal holds reaches its window as a HotKeyEvent.
namespace PortalHotKeys {
// Keys offered while the program starts are claimed together once its event loop runs.
void offer(QWidget* window, int id, int modifiers, int virtualKey);
void withdraw(QWidget* window, int id);
bool holds(QWidget* window, int id);
}  // namespace PortalHotKeys
