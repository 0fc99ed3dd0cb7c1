#include "networkline.h"

#include "ctlconstants.h"
#include "exitcode.h"
#include "interrupt.h"
#include "sockettuning.h"

#include <QUrl>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <gensio/gensio>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <pthread.h>
#include <sys/socket.h>
#include <thread>

using namespace gensios;
using Clock = std::chrono::steady_clock;

namespace {

const QString Rfc2217Scheme = QStringLiteral("rfc2217");
const QString TcpScheme = QStringLiteral("tcp");

// The error of a line whose server sends faster than it is read, beside the library's own.
constexpr int Flooded = -1;

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

void installWakeHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        sigaction(WakeSignal, &action, nullptr);
    });
}

QString describe(int error)
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
            .arg(CtlConstants::MaxUnread);
    case GE_TIMEDOUT:
        return QStringLiteral("the server stopped answering (no sign of it for %1 s)")
            .arg(CtlConstants::NetworkIdleBound);
    default:
        return QString::fromStdString(err_to_string(error));
    }
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

// Waits up to `ms` for `done`, looking for a signal every SignalPoll ms; false when it did not
// come, in time or before a signal.
template <typename Done>
bool awaitUnlessInterrupted(std::condition_variable &changed, std::unique_lock<std::mutex> &lock,
                            int ms, Done done)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        const auto now = Clock::now();
        if (Interrupt::requested() || now >= end)
            return false;
        changed.wait_until(
            lock, std::min(end, now + std::chrono::milliseconds(CtlConstants::SignalPoll)));
    }
    return true;
}

bool isNameError(int error)
{
    return error == GE_NOTFOUND || (error >= GE_UNKNOWN_NAME_ERROR && error <= GE_NAME_NET_NOT_UP);
}

// The telnet side's answer to one COM port control request.
class SerialDone : public Serial_Op_Done
{
public:
    void serial_op_done(int err, unsigned int val) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        error = err;
        value = val;
        done = true;
        changed.notify_all();
    }

    // The value the server reports, or -1 without an answer within `ms`.
    long long await(int ms)
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (!awaitUnlessInterrupted(changed, lock, ms, [this] { return done; }) || error)
            return -1;
        return value;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    int error = 0;
    unsigned int value = 0;
};

} // namespace

// The network side: a gensio driven by a thread of its own, which puts what arrives into a
// buffer and tells the line's thread.
class NetworkLine::Link : public Serial_Event, public Gensio_Open_Done, public Gensio_Close_Done
{
public:
    explicit Link(NetworkLine *owner) : m_owner(owner), m_os(WakeSignal), m_waiter(m_os)
    {
        m_service = std::thread([this] { serve(); });
    }

    ~Link() override
    {
        shut();
        m_stopping = true;
        m_waiter.wake();
        m_service.join();
    }

    int connect(const std::string &address)
    {
        try {
            m_io = gensio_alloc(address, m_os, this);
            m_io->open(this);
        } catch (gensio_error &e) {
            return e.get_error();
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!awaitUnlessInterrupted(m_changed, lock, CtlConstants::ConnectTimeout,
                                    [this] { return m_opened; }))
            return GE_TIMEDOUT;
        if (m_error)
            return m_error;
        lock.unlock();
        tune();
        m_io->set_read_callback_enable(true);
        return 0;
    }

    // The rate the server's line reports after setting it to `baud`, 8N1; -1 without an answer.
    long long setLine(int baud)
    {
        auto *serial = dynamic_cast<Serial_Gensio *>(m_io);
        if (!serial)
            return -1;
        SerialDone rate, size, parity, stop;
        try {
            serial->baud(unsigned(baud), &rate);
            serial->datasize(8, &size);
            serial->parity(SERGENSIO_PARITY_NONE, &parity);
            serial->stopbits(1, &stop);
        } catch (gensio_error &) {
            return -1;
        }
        const long long reported = rate.await(CtlConstants::ServerAnswerTimeout);
        const bool framed =
            size.await(CtlConstants::ServerAnswerTimeout) == 8 &&
            parity.await(CtlConstants::ServerAnswerTimeout) == SERGENSIO_PARITY_NONE &&
            stop.await(CtlConstants::ServerAnswerTimeout) == 1;
        return framed ? reported : -1;
    }

    qint64 available() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_in.size();
    }

    qint64 take(char *data, qint64 maxSize)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const qint64 count = std::min<qint64>(maxSize, m_in.size());
        std::copy_n(m_in.constData(), count, data);
        m_in.remove(0, int(count));
        return count;
    }

    void discard()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_in.clear();
    }

    qint64 put(const char *data, qint64 size)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_error)
                return -1;
            m_out.append(data, int(size));
        }
        flush();
        return size;
    }

    // Whether something arrived within `ms` (false once the connection has failed).
    bool awaitArrival(int ms)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const quint64 seen = m_arrivals;
        return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [&] {
            return m_arrivals != seen || m_error;
        }) && !m_error;
    }

    // Whether everything written has been handed to the network within `ms`.
    qint64 unsent() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_out.size();
    }

    bool awaitSent(int ms)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [&] {
            return m_out.isEmpty() || m_error;
        }) && !m_error;
    }

    int error() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_error;
    }

    // The first error stays, except that a write refused on a connection already going away
    // gives way to the reason the read side learns right after.
    void fail(int error)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_error || m_error == GE_NOTREADY)
            m_error = error;
        m_changed.notify_all();
    }

private:
    void serve()
    {
        blockInThisThread({WakeSignal, SIGPIPE});
        while (!m_stopping)
            m_waiter.wait(1);
    }

    // Closes and frees the gensio, each within the connect bound.
    void shut()
    {
        if (!m_io)
            return;
        bool closing = true;
        try {
            m_io->close(this);
        } catch (gensio_error &) {
            closing = false;
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        const auto bound = std::chrono::milliseconds(CtlConstants::ConnectTimeout);
        if (closing)
            m_changed.wait_for(lock, bound, [this] { return m_closed; });
        lock.unlock();
        m_io->free();
        lock.lock();
        m_changed.wait_for(lock, bound, [this] { return m_freed; });
    }

    // The TCP layer's socket, under telnet when there is one, tuned for the line (see
    // sockettuning.h). The library does not hand out its socket, so it is found by its local
    // port.
    void tune()
    {
        int depth = 0;
        while (m_io->get_type(depth) && std::strcmp(m_io->get_type(depth), "tcp") != 0)
            ++depth;
        char port[16] = "0";
        gensiods size = sizeof port;
        if (m_io->control(depth, GENSIO_CONTROL_GET, GENSIO_CONTROL_LPORT, port, &size))
            return;
        m_socket = socketOnPort(quint16(std::atoi(port)));
        if (m_socket >= 0)
            tuneSocket(m_socket);
    }

    // Hands what waits to be sent to the network, as much as it takes now; the rest goes when
    // it can take more.
    void flush()
    {
        std::lock_guard<std::mutex> writing(m_writeMutex);
        QByteArray pending;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            pending = m_out;
        }
        gensiods count = 0;
        try {
            if (!pending.isEmpty())
                count = m_io->write(pending.constData(), gensiods(pending.size()), nullptr);
        } catch (gensio_error &e) {
            fail(e.get_error());
            return;
        }
        bool rest = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_out.remove(0, int(count));
            rest = !m_out.isEmpty();
            m_changed.notify_all();
        }
        m_io->set_write_callback_enable(rest);
    }

    gensiods read(int err, const SimpleUCharVector data, const char *const *) override
    {
        if (err) {
            m_io->set_read_callback_enable(false);
            fail(err);
            return 0;
        }
        bool flooded = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            flooded = m_in.size() + qint64(data.size()) > CtlConstants::MaxUnread;
            if (!flooded) {
                m_in.append(reinterpret_cast<const char *>(data.data()), int(data.size()));
                ++m_arrivals;
                m_changed.notify_all();
            }
        }
        if (flooded) {
            m_io->set_read_callback_enable(false);
            fail(Flooded);
        }
        if (m_socket >= 0)
            acknowledgeAtOnce(m_socket);
        notifyOwner();
        return data.size();
    }

    void write_ready() override { flush(); }

    void open_done(int err) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_error = err;
        m_opened = true;
        m_changed.notify_all();
    }

    void close_done() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }

    void freed() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_freed = true;
        m_changed.notify_all();
    }

    // One readyRead at a time waits in the owner's event queue, emitted only when bytes are
    // there to read: a reader may have taken them meanwhile.
    void notifyOwner()
    {
        if (m_notifying.exchange(true))
            return;
        QMetaObject::invokeMethod(
            m_owner,
            [this] {
                m_notifying = false;
                if (available() > 0)
                    emit m_owner->readyRead();
            },
            Qt::QueuedConnection);
    }

    NetworkLine *m_owner;
    Os_Funcs m_os;
    Waiter m_waiter;
    std::thread m_service;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_notifying{false};
    Gensio *m_io = nullptr;
    std::atomic<int> m_socket{-1}; // set before the first read

    mutable std::mutex m_mutex; // guards what follows
    std::condition_variable m_changed;
    QByteArray m_in;
    QByteArray m_out;
    quint64 m_arrivals = 0;
    int m_error = 0;
    bool m_opened = false;
    bool m_closed = false;
    bool m_freed = false;

    std::mutex m_writeMutex; // one writer to the network at a time
};

NetworkLine::NetworkLine(QObject *parent) : ModemLine(parent) {}

NetworkLine::~NetworkLine()
{
    close();
}

bool NetworkLine::isNetworkName(const QString &name)
{
    return name.startsWith(Rfc2217Scheme + QStringLiteral("://")) ||
           name.startsWith(TcpScheme + QStringLiteral("://"));
}

bool NetworkLine::hasFixedRate(const QString &name)
{
    return name.startsWith(TcpScheme + QStringLiteral("://"));
}

QString NetworkLine::nameProblem(const QString &name)
{
    const QUrl url(name, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || url.port() <= 0 || !url.path().isEmpty() ||
        url.hasQuery() || url.hasFragment() || !url.userInfo().isEmpty())
        return QStringLiteral("\"%1\" is not SCHEME://HOST:PORT").arg(name);
    return {};
}

QStringList NetworkLine::endpoints(const QString &name)
{
    const QUrl url(name);
    const QString port = QString::number(url.port());
    addrinfo hints = {};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(url.host().toUtf8().constData(), nullptr, &hints, &found) != 0)
        return {url.host().toLower() + QLatin1Char(' ') + port};
    QStringList result;
    for (const addrinfo *entry = found; entry; entry = entry->ai_next) {
        char text[INET6_ADDRSTRLEN] = {};
        if (entry->ai_family == AF_INET) {
            inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in *>(entry->ai_addr)->sin_addr,
                      text, sizeof text);
        } else {
            const in6_addr &address =
                reinterpret_cast<const sockaddr_in6 *>(entry->ai_addr)->sin6_addr;
            if (IN6_IS_ADDR_V4MAPPED(&address))
                inet_ntop(AF_INET, address.s6_addr + 12, text, sizeof text);
            else
                inet_ntop(AF_INET6, &address, text, sizeof text);
        }
        result.append(QLatin1String(text) + QLatin1Char(' ') + port);
    }
    freeaddrinfo(found);
    return result;
}

PortOpener::Failure NetworkLine::open(const QString &name, int baud)
{
    m_name = name;
    // A write to a connection the server has closed must fail, not end the program.
    blockInThisThread({SIGPIPE, WakeSignal});
    installWakeHandler();
    const QUrl url(name);
    const bool telnet = !hasFixedRate(name);
    const std::string address =
        QStringLiteral("%1tcp,%2,%3")
            .arg(telnet ? QStringLiteral("telnet(rfc2217),") : QString(), url.host())
            .arg(url.port())
            .toStdString();
    m_link = std::make_unique<Link>(this);
    const int error = m_link->connect(address);
    if (Interrupt::requested())
        return {Interrupt::exitCode(), QStringLiteral("interrupted while connecting")};
    if (isNameError(error))
        return {ExitCode::PortMissing, QStringLiteral("no such host \"%1\"").arg(url.host())};
    if (error == GE_TIMEDOUT)
        return {
            ExitCode::PortError,
            QStringLiteral("no connection within %1 s").arg(CtlConstants::ConnectTimeout / 1000)};
    if (error)
        return {ExitCode::PortError, QStringLiteral("cannot connect: ") + describe(error)};
    QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    if (telnet && !setBaudRate(baud))
        return {ExitCode::PortError, trouble()};
    return {ExitCode::Ok, {}};
}

void NetworkLine::close()
{
    if (isOpen())
        QIODevice::close();
    m_link.reset();
}

bool NetworkLine::setBaudRate(int baud)
{
    if (hasFixedRate(m_name)) {
        m_rateTrouble = QStringLiteral("a tcp:// port has the rate the server is set to");
        return false;
    }
    const long long reported = m_link ? m_link->setLine(baud) : -1;
    if (reported == baud) {
        m_baud = baud;
        m_rateTrouble.clear();
        return true;
    }
    m_rateTrouble =
        reported < 0
            ? QStringLiteral("the server did not set its line to %1 8N1 within %2 s")
                  .arg(baud)
                  .arg(CtlConstants::ServerAnswerTimeout / 1000)
            : QStringLiteral("the server set its line to %1 instead of %2").arg(reported).arg(baud);
    return false;
}

void NetworkLine::discardPending()
{
    if (m_link)
        m_link->discard();
}

QString NetworkLine::trouble() const
{
    const int error = m_link ? m_link->error() : 0;
    return error ? describe(error) : m_rateTrouble;
}

qint64 NetworkLine::bytesAvailable() const
{
    return (m_link ? m_link->available() : 0) + QIODevice::bytesAvailable();
}

bool NetworkLine::waitForReadyRead(int msecs)
{
    return m_link && m_link->awaitArrival(msecs);
}

qint64 NetworkLine::bytesToWrite() const
{
    return m_link ? m_link->unsent() : 0;
}

bool NetworkLine::waitForBytesWritten(int msecs)
{
    return m_link && m_link->awaitSent(msecs);
}

qint64 NetworkLine::readRaw(char *data, qint64 maxSize)
{
    return m_link ? m_link->take(data, maxSize) : -1;
}

qint64 NetworkLine::writeRaw(const char *data, qint64 size)
{
    return m_link ? m_link->put(data, size) : -1;
}
