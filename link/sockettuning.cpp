#include "sockettuning.h"

#include "linkconstants.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace SocketTuning {

// Probes while nothing arrives, and a limit on unacknowledged data; no small-packet delay.
void apply(int fd)
{
    const int on = 1;
    const int idle = LinkConstants::KeepAliveIdle;
    const int interval = LinkConstants::KeepAliveInterval;
    const int probes = LinkConstants::KeepAliveProbes;
    const unsigned int unacknowledged = LinkConstants::NetworkIdleBound * 1000;
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
    setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &unacknowledged, sizeof unacknowledged);
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    acknowledgeAtOnce(fd);
}

void acknowledgeAtOnce(int fd)
{
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

} // namespace SocketTuning
