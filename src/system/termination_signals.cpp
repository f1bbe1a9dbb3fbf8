#include "termination_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zavok::system {

namespace {

// [0] is written by the handler, [1] read by the event loop.
int pair[2] = {-1, -1};

extern "C" void onSignal(int signal) {
    const int saved = errno;
    const char byte = char(signal);
    // Non-blocking: when a flood of signals fills the socket, the ones that do not fit are dropped, as one is
    // enough to end the program.
    [[maybe_unused]] const ssize_t written = ::write(pair[0], &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (pair[0] >= 0) {
        qWarning("zavok: the termination signals are already taken");
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        qWarning("zavok: no socket pair for the termination signals: %s", strerror(errno));
        pair[0] = pair[1] = -1;
        return;
    }
    ::fcntl(pair[0], F_SETFL, ::fcntl(pair[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(pair[1], F_SETFL, ::fcntl(pair[1], F_GETFL) | O_NONBLOCK);
    notifier_ = new QSocketNotifier(pair[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::drain);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], &action, &previous_[i]);
    }
}

TerminationSignals::~TerminationSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], &previous_[i], nullptr);
    }
    delete notifier_;
    ::close(pair[0]);
    ::close(pair[1]);
    pair[0] = pair[1] = -1;
}

void TerminationSignals::drain() {
    char bytes[16];
    for (;;) {
        const ssize_t count = ::read(pair[1], bytes, sizeof bytes);
        if (count <= 0) {
            return;
        }
        for (ssize_t i = 0; i < count; ++i) {
            emit received(bytes[i]);
        }
    }
}

void ignoreWriteSignals() {
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace zavok::system
