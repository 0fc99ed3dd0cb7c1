#include "gensiolink.h"

#include "linkconstants.h"
#include "sockettuning.h"

#include <QString>
#include <chrono>
#include <csignal>
#include <cstring>
#include <netinet/in.h>
#include <pthread.h>
#include <sys/select.h>
#include <sys/socket.h>

using namespace gensios;
using Clock = std::chrono::steady_clock;

namespace {

// The library wakes its waiting threads with this signal: it must have a handler, and be
// blocked in every thread but while that thread waits.
constexpr int WakeSignal = SIGUSR1;

void blockInThisThread(std::initializer_list<int> numbers)
{
    sigset_t set;
    sigemptyset(&set);
    for (int number : numbers)
        sigaddset(&set, number);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

// The TCP socket of this process bound to the local `port`; -1 when there is none.
int socketOnPort(quint16 port)
{
    for (int fd = 0; fd < FD_SETSIZE; ++fd) {
        sockaddr_storage address = {};
        socklen_t length = sizeof address;
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            continue;
        const quint16 bound = address.ss_family == AF_INET
                                  ? ntohs(reinterpret_cast<const sockaddr_in &>(address).sin_port)
                              : address.ss_family == AF_INET6
                                  ? ntohs(reinterpret_cast<const sockaddr_in6 &>(address).sin6_port)
                                  : 0;
        if (bound == port)
            return fd;
    }
    return -1;
}

// The telnet side's answer to one COM port control request.
class SerialDone : public Serial_Op_Done
{
public:
    explicit SerialDone(const std::function<bool()> &stop) : m_stop(stop) {}

    void serial_op_done(int err, unsigned int val) override
    {
        m_value = val;
        m_state.mark(&LinkState::answered, err);
    }

    // The value the server reports, or -1 without an answer within `ms`.
    long long await(int ms)
    {
        if (!m_state.await(
                ms, [this] { return m_state.answered; }, m_stop) ||
            m_state.error())
            return -1;
        return m_value;
    }

private:
    const std::function<bool()> &m_stop;
    LinkState m_state;
    unsigned int m_value = 0;
};

} // namespace

qint64 LinkState::available() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_in.size();
}

qint64 LinkState::take(char *data, qint64 maxSize)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const qint64 count = std::min<qint64>(maxSize, m_in.size());
    std::copy_n(m_in.constData(), count, data);
    m_in.remove(0, int(count));
    return count;
}

void LinkState::discard()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_in.clear();
}

bool LinkState::arrive(const char *data, qint64 size, qint64 limit)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_in.size() + size > limit)
        return false;
    m_in.append(data, int(size));
    ++m_arrivals;
    m_changed.notify_all();
    return true;
}

bool LinkState::queue(const char *data, qint64 size)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_error)
        return false;
    m_out.append(data, int(size));
    return true;
}

QByteArray LinkState::unsentBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_out;
}

bool LinkState::sent(qint64 count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_out.remove(0, int(count));
    m_changed.notify_all();
    return !m_out.isEmpty();
}

qint64 LinkState::unsent() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_out.size();
}

bool LinkState::awaitArrival(int ms)
{
    Lock lock(m_mutex);
    const quint64 seen = m_arrivals;
    return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [&] {
        return m_arrivals != seen || m_error;
    }) && !m_error;
}

bool LinkState::awaitSent(int ms)
{
    Lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [&] {
        return m_out.isEmpty() || m_error;
    }) && !m_error;
}

bool LinkState::await(int ms, const std::function<bool()> &done, const std::function<bool()> &stop)
{
    Lock lock(m_mutex);
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        const auto now = Clock::now();
        if ((stop && stop()) || now >= end)
            return false;
        m_changed.wait_until(
            lock, std::min(end, now + std::chrono::milliseconds(LinkConstants::StopPoll)));
    }
    return true;
}

int LinkState::error() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_error;
}

void LinkState::fail(int error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_error || m_error == GE_NOTREADY)
        m_error = error;
    m_changed.notify_all();
}

void LinkState::mark(bool LinkState::*flag, int error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    this->*flag = true;
    if (error)
        m_error = error;
    m_changed.notify_all();
}

GensioLink::GensioLink(std::function<void()> arrived, std::function<bool()> stop)
    : m_arrived(std::move(arrived)), m_stop(std::move(stop)), m_os(WakeSignal), m_waiter(m_os)
{
    m_service = std::thread([this] { serve(); });
}

GensioLink::~GensioLink()
{
    shut();
    m_stopping = true;
    m_waiter.wake();
    m_service.join();
}

void GensioLink::prepareThread()
{
    blockInThisThread({SIGPIPE, WakeSignal});
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        sigaction(WakeSignal, &action, nullptr);
    });
}

int GensioLink::connect(const std::string &address)
{
    try {
        m_io = gensio_alloc(address, m_os, this);
        m_io->open(this);
    } catch (gensio_error &e) {
        return e.get_error();
    }
    if (!m_state.await(
            LinkConstants::ConnectTimeout, [this] { return m_state.opened; }, m_stop))
        return GE_TIMEDOUT;
    if (const int error = m_state.error())
        return error;
    tuneSocket();
    m_io->set_read_callback_enable(true);
    return 0;
}

long long GensioLink::setLine(int baud)
{
    auto *serial = dynamic_cast<Serial_Gensio *>(m_io);
    if (!serial)
        return -1;
    SerialDone rate(m_stop), size(m_stop), parity(m_stop), stop(m_stop);
    try {
        serial->baud(unsigned(baud), &rate);
        serial->datasize(8, &size);
        serial->parity(SERGENSIO_PARITY_NONE, &parity);
        serial->stopbits(1, &stop);
    } catch (gensio_error &) {
        return -1;
    }
    const int bound = LinkConstants::ServerAnswerTimeout;
    const long long reported = rate.await(bound);
    const bool framed = size.await(bound) == 8 && parity.await(bound) == SERGENSIO_PARITY_NONE &&
                        stop.await(bound) == 1;
    return framed ? reported : -1;
}

qint64 GensioLink::put(const char *data, qint64 size)
{
    if (!m_state.queue(data, size))
        return -1;
    flush();
    return size;
}

void GensioLink::serve()
{
    blockInThisThread({WakeSignal, SIGPIPE});
    while (!m_stopping)
        m_waiter.wait(1);
}

// Closes and frees the gensio, each within the connect bound.
void GensioLink::shut()
{
    if (!m_io)
        return;
    bool closing = true;
    try {
        m_io->close(this);
    } catch (gensio_error &) {
        closing = false;
    }
    const int bound = LinkConstants::ConnectTimeout;
    if (closing)
        m_state.await(bound, [this] { return m_state.closed; });
    m_io->free();
    m_state.await(bound, [this] { return m_state.freed; });
}

// The library sets no keep-alive of its own and hands out no socket (the tcp gensio of the
// installed version answers GENSIO_CONTROL_IOD with GE_NOTSUP), so the socket is found by the
// local port it reports.
void GensioLink::tuneSocket()
{
    int depth = 0; // the TCP layer, under telnet when there is one
    while (m_io->get_type(depth) && std::strcmp(m_io->get_type(depth), "tcp") != 0)
        ++depth;
    char port[16] = "0";
    gensiods size = sizeof port;
    if (m_io->control(depth, GENSIO_CONTROL_GET, GENSIO_CONTROL_LPORT, port, &size))
        return;
    m_socket = socketOnPort(quint16(std::atoi(port)));
    if (m_socket >= 0)
        SocketTuning::apply(m_socket);
}

// Hands what waits to be sent to the network, as much as it takes now; the rest goes when it
// can take more.
void GensioLink::flush()
{
    std::lock_guard<std::mutex> writing(m_writeMutex);
    const QByteArray pending = m_state.unsentBytes();
    gensiods count = 0;
    try {
        if (!pending.isEmpty())
            count = m_io->write(pending.constData(), gensiods(pending.size()), nullptr);
    } catch (gensio_error &e) {
        m_state.fail(e.get_error());
        return;
    }
    m_io->set_write_callback_enable(m_state.sent(qint64(count)));
}

gensiods GensioLink::read(int err, const SimpleUCharVector data, const char *const *)
{
    if (err) {
        m_io->set_read_callback_enable(false);
        m_state.fail(err);
        return 0;
    }
    if (!m_state.arrive(reinterpret_cast<const char *>(data.data()), qint64(data.size()),
                        LinkConstants::MaxUnread)) {
        m_io->set_read_callback_enable(false);
        m_state.fail(Flooded);
    }
    if (m_socket >= 0)
        SocketTuning::acknowledgeAtOnce(m_socket);
    m_arrived();
    return data.size();
}

QString GensioLink::describe(int error)
{
    switch (error) {
    case GE_CONNREFUSE:
        return QStringLiteral("connection refused (is the server running, on that port?)");
    case GE_REMCLOSE:
        return QStringLiteral("the server closed the connection");
    case GE_NOTREADY: // a write on a connection that has just gone away
        return QStringLiteral("the connection is gone");
    case Flooded:
        return QStringLiteral("the server sends faster than a serial line carries (over %1 bytes "
                              "unread)")
            .arg(LinkConstants::MaxUnread);
    case GE_TIMEDOUT:
        return QStringLiteral("the server stopped answering (no sign of it for %1 s)")
            .arg(LinkConstants::NetworkIdleBound);
    default:
        return QString::fromStdString(err_to_string(error));
    }
}

bool GensioLink::isNameError(int error)
{
    return error == GE_NOTFOUND || (error >= GE_UNKNOWN_NAME_ERROR && error <= GE_NAME_NET_NOT_UP);
}
