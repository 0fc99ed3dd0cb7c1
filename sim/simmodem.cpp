#include "simmodem.h"

#include "linerate.h"
#include "rawterminal.h"
#include "registercatalog.h"
#include "simconstants.h"
#include "uartreceiver.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <unistd.h>

using Clock = OutputQueue::Clock;

namespace {

void setError(QString *error, const QString &what)
{
    if (error)
        *error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

const QString SerialRate = QStringLiteral("S102");

// The serial rate for a value of S102, 0 for none.
int rateOfCode(const QString &code)
{
    for (const ChoiceItem &item : RegisterCatalog::find(SerialRate)->items) {
        if (QString::number(item.wireValue) == code)
            return QByteArray(item.text).toInt();
    }
    return 0;
}

// The value of S102 for a serial rate, empty for none.
QString codeOfRate(int rate)
{
    for (const ChoiceItem &item : RegisterCatalog::find(SerialRate)->items) {
        if (QByteArray(item.text).toInt() == rate)
            return QString::number(item.wireValue);
    }
    return {};
}

} // namespace

SimModem::SimModem()
    : m_lateDelay(SimConstants::DefaultLateReplyDelay), m_random(58), m_epoch(Clock::now())
{
}

SimModem::~SimModem()
{
    stop();
}

bool SimModem::start(QString *error)
{
    Lock lock(m_mutex);
    if (m_thread.joinable())
        return true;
    if (!openLine(error))
        return false;
    m_received.clear();
    m_sent.clear();
    m_output.clear();
    m_unwritten.clear();
    m_stopping = false;
    if (!m_link.isEmpty())
        makeLink();
    m_thread = std::thread(&SimModem::run, this);
    return true;
}

bool SimModem::openLine(QString *error)
{
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        setError(error, QStringLiteral("openpty"));
        return false;
    }
    m_wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const bool ready = m_wake >= 0 && makeRaw(m_master) && makeRaw(m_slave) &&
                       fcntl(m_master, F_SETFL, O_NONBLOCK) == 0 &&
                       fcntl(m_master, F_SETFD, FD_CLOEXEC) == 0 &&
                       fcntl(m_slave, F_SETFD, FD_CLOEXEC) == 0;
    if (!ready) {
        setError(error, QStringLiteral("pseudo-terminal set-up"));
        closeLine();
        return false;
    }
    m_portName = QString::fromLocal8Bit(name);
    return true;
}

void SimModem::stop()
{
    {
        Lock lock(m_mutex);
        if (!m_thread.joinable())
            return;
        m_stopping = true;
        wake();
    }
    m_thread.join();
    Lock lock(m_mutex);
    closeLine();
    removeLink();
    m_output.clear();
    m_unwritten.clear();
    m_babbling = false;
}

// The master goes first: the peer's port then sees the line hang up.
void SimModem::closeLine()
{
    for (int *fd : {&m_master, &m_slave, &m_wake}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

QString SimModem::portName() const
{
    Lock lock(m_mutex);
    return m_portName;
}

bool SimModem::linkTo(const QString &path)
{
    Lock lock(m_mutex);
    removeLink();
    m_link = path;
    return m_master < 0 || makeLink();
}

bool SimModem::makeLink()
{
    if (QFileInfo(m_link).isSymLink())
        QFile::remove(m_link);
    m_linked = ::symlink(QFile::encodeName(m_portName).constData(),
                         QFile::encodeName(m_link).constData()) == 0;
    return m_linked;
}

void SimModem::removeLink()
{
    if (m_linked && QFileInfo(m_link).symLinkTarget() == m_portName)
        QFile::remove(m_link);
    m_linked = false;
}

void SimModem::setBaudRate(int baud)
{
    Lock lock(m_mutex);
    m_baud = baud;
    wake();
}

int SimModem::baudRate() const
{
    Lock lock(m_mutex);
    return lineRate();
}

int SimModem::lineRate() const
{
    return m_baud > 0 ? m_baud : hostRate();
}

// The rate the other end set on the line.
int SimModem::hostRate() const
{
    const int rate = m_slave >= 0 ? terminalLineRate(m_slave) : 0;
    return rate > 0 ? rate : SimConstants::DefaultLineRate;
}

bool SimModem::ratesMatch() const
{
    return m_lineBaud <= 0 || hostRate() == m_lineBaud;
}

void SimModem::setLineBaud(int baud)
{
    Lock lock(m_mutex);
    m_lineBaud = baud;
    const QString code = codeOfRate(baud);
    if (!code.isEmpty()) {
        m_core.registers().setValue(SerialRate, code);
        m_core.registers().setStoredValue(SerialRate, code);
    }
    m_lineCode = m_core.registers().storedValue(SerialRate);
}

int SimModem::lineBaud() const
{
    Lock lock(m_mutex);
    return m_lineBaud;
}

// A real modem takes a newly stored serial rate on its next start; this one as soon as it is
// back in data mode with nothing left to send, so that the answers in between still arrive.
void SimModem::followStoredRate()
{
    const QString code = m_core.registers().storedValue(SerialRate);
    if (m_lineBaud <= 0 || code == m_lineCode || m_core.mode() != ModemCore::Mode::Data ||
        !m_output.isEmpty() || !m_unwritten.isEmpty() || m_core.fault() == SimFault::RateKept)
        return;
    m_lineCode = code;
    const int rate = rateOfCode(code);
    m_lineBaud = rate > 0 ? rate : m_lineBaud;
}

bool SimModem::setIdentity(Identity line, const QString &text)
{
    Lock lock(m_mutex);
    return m_core.registers().setIdentity(line, text);
}

void SimModem::setFault(Fault fault, int times)
{
    Lock lock(m_mutex);
    m_core.setFault(fault, times);
    m_babbling = fault == Fault::Chatter;
    m_output.dropBabble();
    wake();
}

void SimModem::setFaultOn(const QByteArray &command, Fault fault, int times)
{
    Lock lock(m_mutex);
    m_armed = ArmedFault{command, fault, times};
}

SimModem::Fault SimModem::fault() const
{
    Lock lock(m_mutex);
    return m_core.fault();
}

void SimModem::setLateReplyDelay(int ms)
{
    Lock lock(m_mutex);
    m_lateDelay = ms;
}

void SimModem::sendRaw(const QByteArray &bytes)
{
    Lock lock(m_mutex);
    m_output.append(bytes, Clock::now());
    wake();
}

void SimModem::sendBeforeAnswerTo(const QByteArray &command, const QByteArray &bytes)
{
    Lock lock(m_mutex);
    m_before = {command, bytes};
}

QByteArray SimModem::received() const
{
    Lock lock(m_mutex);
    return m_received;
}

void SimModem::releaseHeldReplies()
{
    Lock lock(m_mutex);
    m_output.releaseHeld(Clock::now());
    wake();
}

bool SimModem::sending() const
{
    Lock lock(m_mutex);
    return !m_output.isEmpty() || !m_unwritten.isEmpty();
}

void SimModem::clearReceived()
{
    Lock lock(m_mutex);
    m_received.clear();
}

QByteArray SimModem::sent() const
{
    Lock lock(m_mutex);
    return m_sent;
}

bool SimModem::inAtMode() const
{
    Lock lock(m_mutex);
    return m_core.mode() == ModemCore::Mode::Command;
}

bool SimModem::inUpdateMode() const
{
    Lock lock(m_mutex);
    return m_core.mode() == ModemCore::Mode::Update;
}

QString SimModem::registerValue(const QString &name) const
{
    Lock lock(m_mutex);
    return m_core.registers().value(name);
}

void SimModem::setRegisterValue(const QString &name, const QString &value)
{
    Lock lock(m_mutex);
    m_core.registers().setValue(name, value);
}

QString SimModem::storedValue(const QString &name) const
{
    Lock lock(m_mutex);
    return m_core.registers().storedValue(name);
}

void SimModem::setStoredValue(const QString &name, const QString &value)
{
    Lock lock(m_mutex);
    m_core.registers().setStoredValue(name, value);
}

void SimModem::powerCycle()
{
    Lock lock(m_mutex);
    m_core.powerCycle();
    m_output.clear();
    m_unwritten.clear();
    m_babbling = false;
    followStoredRate();
}

QByteArray SimModem::image() const
{
    Lock lock(m_mutex);
    return m_core.update().image();
}

int SimModem::updateRequests(int step) const
{
    Lock lock(m_mutex);
    return m_core.update().requests(step);
}

qint64 SimModem::elapsedMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_epoch).count();
}

void SimModem::wake()
{
    if (m_wake >= 0) {
        const quint64 one = 1;
        [[maybe_unused]] const auto written = ::write(m_wake, &one, sizeof one);
    }
}

void SimModem::run()
{
    while (!m_stopping) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake, POLLIN, 0}};
        timespec timeout{};
        timespec *limit = nullptr;
        {
            Lock lock(m_mutex);
            if (!m_unwritten.isEmpty())
                fds[0].events |= POLLOUT;
            else
                limit = pollTimeout(timeout);
        }
        if (ppoll(fds, 2, limit, nullptr) < 0 && errno != EINTR)
            break;
        if (fds[1].revents & POLLIN) {
            quint64 count = 0;
            [[maybe_unused]] const auto got = ::read(m_wake, &count, sizeof count);
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR))
            readInput();
        writeOutput();
    }
}

// Until the next write is due; no limit when nothing waits to be sent.
timespec *SimModem::pollTimeout(timespec &timeout)
{
    // A babbling modem always has its next line due.
    const Clock::time_point due =
        m_babbling && m_output.isEmpty() ? Clock::now() : m_output.wakeTime(lineRate());
    if (due == Clock::time_point::max())
        return nullptr;
    const auto wait = std::max(due - Clock::now(), Clock::duration::zero());
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
    timeout.tv_sec = ns / 1000000000;
    timeout.tv_nsec = ns % 1000000000;
    return &timeout;
}

void SimModem::readInput()
{
    char buffer[SimConstants::ReadSize];
    const ssize_t count = ::read(m_master, buffer, sizeof buffer);
    if (count <= 0) {
        if (count == 0 || (errno != EAGAIN && errno != EINTR))
            ::usleep(SimConstants::ErrorPause * 1000);
        return;
    }
    const QByteArray bytes(buffer, int(count));
    Lock lock(m_mutex);
    if (!ratesMatch()) {
        // What the modem's port makes of them is noise with framing errors: no answer.
        m_received += uartReceive(bytes, hostRate(), m_lineBaud);
        return;
    }
    m_received += bytes;
    if (m_armed && m_received.endsWith(m_armed->command)) {
        m_core.setFault(m_armed->fault, m_armed->times);
        m_armed.reset();
    }
    const Clock::time_point now = Clock::now();
    m_output.releaseHeld(now);
    const bool before = m_before && m_received.endsWith(m_before->first);
    if (before) {
        m_output.append(m_before->second, now);
        m_before.reset();
    }
    for (const SimReply &reply : m_core.receive(bytes, elapsedMs())) {
        const ReplyPlan plan = planReply(reply, m_lateDelay, m_random);
        m_babbling = m_babbling || plan.babble;
        m_output.append(plan, now);
    }
}

void SimModem::writeOutput()
{
    Lock lock(m_mutex);
    if (m_unwritten.isEmpty()) {
        const Clock::time_point now = Clock::now();
        if (m_babbling && m_output.isEmpty())
            m_output.append(babbleLine(m_babbleSerial++), now, true);
        m_unwritten = m_output.take(now, lineRate());
        if (!ratesMatch())
            m_unwritten.clear(); // sent at a rate the other end cannot read
    }
    if (!m_unwritten.isEmpty()) {
        const ssize_t written =
            ::write(m_master, m_unwritten.constData(), size_t(m_unwritten.size()));
        if (written > 0) {
            m_sent += m_unwritten.left(int(written));
            m_unwritten.remove(0, int(written));
        }
    }
    followStoredRate();
}
