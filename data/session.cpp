#include "data/session.h"

#include <atomic>

TSession::TSession() {
    static std::atomic<int> counter{0};
    name = QStringLiteral("Session%1_%2").arg(++counter).arg(quintptr(this), 0, 16);
}

void TSession::AddPassword(const QString& password) {
    if (!passwordList.contains(password))
        passwordList.append(password);
}

bool TSession::requestPassword() {
    bool continueOpen = false;
    if (onPassword)
        onPassword(*this, continueOpen);
    return continueOpen;
}

void Password(TSession& session, bool& continueOpen) {
    session.AddPassword(kTablePassword);
    continueOpen = true;
}
