#include "platform/exitsignals.h"

#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

namespace ExitSignals {

namespace {

int pipeEnds[2] = {-1, -1};
volatile std::sig_atomic_t arrived = 0;

void handle(int signal) {
    if (arrived) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    arrived = signal;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
}

}  // namespace

void install(std::function<void(int)> onSignal) {
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    arrived = 0;
    auto* notifier =
        new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [notifier, onSignal = std::move(onSignal)] {
                         char byte = 0;
                         if (::read(pipeEnds[0], &byte, 1) != 1)
                             return;
                         notifier->setEnabled(false);
                         onSignal(int(byte));
                     });
    struct sigaction action {};
    action.sa_handler = handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
}

}  // namespace ExitSignals
