#pragma once

#include <QByteArray>
#include <QList>

// Whether well-known names have an owner on the session bus, asked before the QApplication
// exists: Qt's own D-Bus connection wants the application first, so this speaks the bus protocol
// itself over the bus's socket, one short conversation (Hello, then NameHasOwner for each name).
// A bus that cannot be reached, or does not answer within timeoutMs, owns nothing.
namespace BusNames {

QList<bool> ownedOnSessionBus(const QList<QByteArray>& names, int timeoutMs);

}  // namespace BusNames
