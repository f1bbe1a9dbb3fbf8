#pragma once

#include <QObject>

#include <csignal>
#include <iterator>

class QSocketNotifier;

namespace zavok::system {

// SIGTERM, SIGINT and SIGHUP, brought from the signal handler to the event loop, where the program can end in
// order (the desktop ends programs with them at log-off). The handler only writes the signal's number into a
// socket pair; everything else happens on the main thread. One instance at a time; the previous handlers come
// back when it goes.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

signals:
    void received(int signal);

private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previous_[std::size(kSignals)] = {};
};

// A write past the file-size limit (SIGXFSZ) or into a pipe that nobody reads any more (SIGPIPE: a journal or a
// terminal gone) would end the program on the spot, without its closing record and its settings. Ignored, the
// write fails instead, and the program goes on as it does on a full disk.
void ignoreWriteSignals();

} // namespace zavok::system
