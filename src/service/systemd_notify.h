#pragma once

#include <QtGlobal>

namespace zavok::service {

// systemd's notification protocol, which it keeps stable for programs that do not link libsystemd: one datagram to
// the AF_UNIX socket NOTIFY_SOCKET names (a leading '@' names an abstract one). Linking libsystemd for these few lines
// would map it, and the compression and crypto libraries it needs, at every start of the service (the desktop program
// maps it anyway, through the D-Bus library Qt Gui links).

// Sends `state` ("READY=1", "WATCHDOG=1", ...); nothing where systemd gave no socket. The socket does not block: a
// full queue at systemd's end loses one message rather than freezing the program's one thread.
void notifySystemd(const char* state);

// How often systemd wants to hear that the program is alive, in microseconds; 0 where it does not watch it, or
// watches another process (WATCHDOG_PID names the one it means: a child started with this environment is not it).
quint64 systemdWatchdogMicroseconds();

} // namespace zavok::service
