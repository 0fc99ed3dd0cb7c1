#include "sockettuning.h"

#include "ctlconstants.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

void tuneSocket(int fd)
{
    const int on = 1;
    const int idle = CtlConstants::KeepAliveIdle;
    const int interval = CtlConstants::KeepAliveInterval;
    const int probes = CtlConstants::KeepAliveProbes;
    const unsigned int unacknowledged = CtlConstants::NetworkIdleBound * 1000;
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
