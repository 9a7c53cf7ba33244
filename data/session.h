#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// One table-engine session per window: its own name and its own password list. The password
// handler is asked when a table needs a password the list does not hold.
class TSession {
  public:
    using PasswordHandler = std::function<void(TSession& session, bool& continueOpen)>;

    TSession();
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    const QString& SessionName() const { return name; }
    void setOnPassword(PasswordHandler handler) { onPassword = std::move(handler); }
    void AddPassword(const QString& password);
    const QStringList& passwords() const { return passwordList; }

    // Asks the handler once; true when it wants the open tried again.
    bool requestPassword();

  private:
    QString name;
    QStringList passwordList;
    PasswordHandler onPassword;
};

// The password of the practice tables, which every window supplies itself.
inline const QString kTablePassword = QStringLiteral("wqmzrk");

// The handler every window attaches to its session.
void Password(TSession& session, bool& continueOpen);
