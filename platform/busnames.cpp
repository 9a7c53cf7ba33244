#include "platform/busnames.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QHash>
#include <QtEndian>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace BusNames {

namespace {

// A socket closed when it goes out of scope.
class Socket {
  public:
    explicit Socket(int fd) : fd(fd) {}
    ~Socket() {
        if (fd >= 0)
            ::close(fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    const int fd;
};

// "unix:path=/run/user/1000/bus" or "unix:abstract=/tmp/dbus-x,guid=..."; several addresses are
// separated by ';'. Without the variable the bus is where systemd puts it.
int connectToSessionBus(int timeoutMs) {
    QByteArray addresses = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (addresses.isEmpty() && !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        addresses = "unix:path=" + qgetenv("XDG_RUNTIME_DIR") + "/bus";
    for (const QByteArray& address : addresses.split(';')) {
        if (!address.startsWith("unix:"))
            continue;
        sockaddr_un place{};
        place.sun_family = AF_UNIX;
        socklen_t length = 0;
        for (const QByteArray& pair : address.mid(5).split(',')) {
            const QByteArray key = pair.left(pair.indexOf('='));
            const QByteArray value = QByteArray::fromPercentEncoding(pair.mid(key.size() + 1));
            const bool abstract = key == "abstract";
            if ((key != "path" && !abstract) ||
                value.size() + 2 > qsizetype(sizeof(place.sun_path)))
                continue;
            std::memcpy(place.sun_path + (abstract ? 1 : 0), value.constData(), value.size());
            length = socklen_t(offsetof(sockaddr_un, sun_path) + value.size() + 1);
        }
        if (length == 0)
            continue;
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            continue;
        // A bus too busy to accept keeps connect waiting no longer than the whole question may.
        const timeval patience{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&place), length) == 0)
            return fd;
        ::close(fd);
    }
    return -1;
}

// A method call to the bus itself, marshalled little-endian: the fixed header, the header
// fields, and a body of at most one string.
class Call {
  public:
    Call(quint32 serial, const QByteArray& member, const QByteArray& argument) {
        QByteArray body;
        if (!argument.isEmpty())
            putString(body, argument);
        bytes.append("l\1\0\1", 4);
        putU32(bytes, quint32(body.size()));
        putU32(bytes, serial);
        putU32(bytes, 0);  // length of the header fields, filled in below
        field(1, 'o', "/org/freedesktop/DBus");
        field(6, 's', "org.freedesktop.DBus");
        field(2, 's', "org.freedesktop.DBus");
        field(3, 's', member);
        if (!argument.isEmpty())
            field(8, 'g', "s");
        qToLittleEndian(quint32(bytes.size() - 16), bytes.data() + 12);
        pad(bytes, 8);
        bytes.append(body);
    }
    QByteArray bytes;

  private:
    static void pad(QByteArray& to, int alignment) {
        while (to.size() % alignment) to.append('\0');
    }
    static void putU32(QByteArray& to, quint32 value) {
        pad(to, 4);
        char raw[4];
        qToLittleEndian(value, raw);
        to.append(raw, 4);
    }
    static void putString(QByteArray& to, const QByteArray& text) {
        putU32(to, quint32(text.size()));
        to.append(text).append('\0');
    }
    void field(char code, char type, const QByteArray& value) {
        pad(bytes, 8);
        bytes.append(code).append('\1').append(type).append('\0');
        if (type == 'g')
            bytes.append(char(value.size())).append(value).append('\0');
        else
            putString(bytes, value);
    }
};

// Replies to the calls by serial, read from what the bus sent. Only little-endian messages are
// read; a bus that speaks otherwise answers nothing here.
class Replies {
  public:
    // Takes the complete messages at the start of buffer; false on what cannot be a message.
    bool take(QByteArray& buffer) {
        while (buffer.size() >= 16) {
            const auto* raw = reinterpret_cast<const uchar*>(buffer.constData());
            if (raw[0] != 'l')
                return false;
            const quint32 bodyLength = qFromLittleEndian<quint32>(raw + 4);
            const quint32 fieldsLength = qFromLittleEndian<quint32>(raw + 12);
            if (bodyLength > (1u << 20) || fieldsLength > (1u << 20))
                return false;
            const qsizetype bodyStart = (16 + qsizetype(fieldsLength) + 7) / 8 * 8;
            if (buffer.size() < bodyStart + qsizetype(bodyLength))
                return true;
            const quint32 replyTo = replySerial(raw, 16 + qsizetype(fieldsLength));
            if (replyTo != 0 && (raw[1] == 2 || raw[1] == 3)) {
                // A method return carries the boolean as four bytes; an error means no owner.
                answers[replyTo] = raw[1] == 2 && bodyLength >= 4 &&
                                   qFromLittleEndian<quint32>(raw + bodyStart) != 0;
            }
            buffer.remove(0, bodyStart + bodyLength);
        }
        return true;
    }
    QHash<quint32, bool> answers;

  private:
    static quint32 replySerial(const uchar* raw, qsizetype end) {
        qsizetype at = 16;
        while (at + 4 <= end) {
            const uchar code = raw[at];
            const uchar signatureLength = raw[at + 1];
            const char type = char(raw[at + 2]);
            at += 2 + signatureLength + 1;
            if (type == 'u' || type == 's' || type == 'o') {
                at = (at + 3) / 4 * 4;
                if (at + 4 > end)
                    return 0;
                const quint32 value = qFromLittleEndian<quint32>(raw + at);
                if (type == 'u' && code == 5)
                    return value;
                at += 4 + (type == 'u' ? 0 : value + 1);
            } else if (type == 'g') {
                at += 1 + raw[at] + 1;
            } else {
                return 0;
            }
            at = (at + 7) / 8 * 8;
        }
        return 0;
    }
};

class Deadline {
  public:
    explicit Deadline(int ms) : ms(ms) { clock.start(); }
    int left() const { return qMax(0, ms - int(clock.elapsed())); }

  private:
    QElapsedTimer clock;
    int ms;
};

bool sendAll(int fd, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

// Appends what arrives before the deadline; false when nothing more can come.
bool receive(int fd, QByteArray& into, const Deadline& deadline) {
    pollfd wait{fd, POLLIN, 0};
    if (::poll(&wait, 1, deadline.left()) <= 0)
        return false;
    char chunk[4096];
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0)
        return false;
    into.append(chunk, n);
    return true;
}

}  // namespace

QList<bool> ownedOnSessionBus(const QList<QByteArray>& names, int timeoutMs) {
    QList<bool> owned(names.size(), false);
    const Deadline deadline(timeoutMs);
    const Socket bus(connectToSessionBus(timeoutMs));
    if (bus.fd < 0)
        return owned;
    // The bus knows who we are from the socket; the credentials byte and our user id say so.
    const QByteArray auth = QByteArray(1, '\0') + "AUTH EXTERNAL " +
                            QByteArray::number(uint(::getuid())).toHex() + "\r\n";
    if (!sendAll(bus.fd, auth))
        return owned;
    QByteArray received;
    while (!received.contains("\r\n"))
        if (!receive(bus.fd, received, deadline))
            return owned;
    if (!received.startsWith("OK "))
        return owned;
    received.remove(0, received.indexOf("\r\n") + 2);
    QByteArray conversation = "BEGIN\r\n" + Call(1, "Hello", {}).bytes;
    for (int i = 0; i < names.size(); ++i)
        conversation += Call(quint32(i + 2), "NameHasOwner", names[i]).bytes;
    if (!sendAll(bus.fd, conversation))
        return owned;
    Replies replies;
    const auto lastAnswered = [&] { return replies.answers.contains(quint32(names.size() + 1)); };
    while (replies.take(received) && !lastAnswered())
        if (!receive(bus.fd, received, deadline))
            break;
    for (int i = 0; i < names.size(); ++i) owned[i] = replies.answers.value(quint32(i + 2));
    return owned;
}

}  // namespace BusNames
