#include "pacedline.h"

#include "measure.h"
#include "rawterminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <unistd.h>

using namespace std::chrono;

namespace {

constexpr int ReadSize = 4096;        // bytes read at once
constexpr nanoseconds Slice = 1000us; // line time gathered into one write to the modem
const QByteArray StartRequest("\x0C\0\0\0\0\0\0\x12\x34\x02\x08\x01\x01", 13); // its header

void writeAll(int fd, const char *data, int size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return;
        if (written > 0) {
            data += written;
            size -= int(written);
        } else {
            pollfd out{fd, POLLOUT, 0};
            ::poll(&out, 1, 10);
        }
    }
}

} // namespace

PacedLine::PacedLine(int rate)
    : m_byteTime(nanoseconds(qint64(Measure::BitsPerByte) * 1000000000 / rate))
{
}

PacedLine::~PacedLine()
{
    m_stopping = true;
    if (m_wake >= 0) {
        const quint64 one = 1;
        [[maybe_unused]] const auto written = ::write(m_wake, &one, sizeof one);
    }
    if (m_thread.joinable())
        m_thread.join();
    for (int fd : {m_toolMaster, m_toolSlave, m_modem, m_wake}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool PacedLine::open(const QString &modemPort, QString *error)
{
    char name[256] = {};
    m_modem = ::open(modemPort.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    m_wake = eventfd(0, EFD_NONBLOCK);
    const bool ready = m_modem >= 0 && m_wake >= 0 &&
                       openpty(&m_toolMaster, &m_toolSlave, name, nullptr, nullptr) == 0 &&
                       makeRaw(m_toolMaster) && makeRaw(m_toolSlave) && makeRaw(m_modem) &&
                       fcntl(m_toolMaster, F_SETFL, O_NONBLOCK) == 0;
    if (!ready) {
        *error = QStringLiteral("line set-up: ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_toolPort = QString::fromLocal8Bit(name);
    m_thread = std::thread(&PacedLine::run, this);
    return true;
}

void PacedLine::run()
{
    while (!m_stopping) {
        pollfd fds[3] = {{m_toolMaster, POLLIN, 0}, {m_modem, POLLIN, 0}, {m_wake, POLLIN, 0}};
        timespec timeout{};
        if (ppoll(fds, 3, pollTimeout(timeout), nullptr) < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN)
            readTool();
        if (fds[1].revents & POLLIN)
            readModem();
        if ((fds[0].revents | fds[1].revents) & (POLLHUP | POLLERR))
            ::usleep(1000); // a side hung up for a moment: do not spin
        writeDue();
    }
}

timespec *PacedLine::pollTimeout(timespec &timeout) const
{
    if (m_delivered == m_pending.size())
        return nullptr;
    const qint64 sliceBytes = std::max<qint64>(1, Slice / m_byteTime);
    const qint64 upTo = std::min<qint64>(m_pending.size(), m_delivered + sliceBytes);
    const nanoseconds wait = m_start + m_byteTime * upTo - Clock::now();
    const qint64 ns = std::max<qint64>(wait.count(), 0);
    timeout.tv_sec = ns / 1000000000;
    timeout.tv_nsec = ns % 1000000000;
    return &timeout;
}

void PacedLine::readTool()
{
    char buffer[ReadSize];
    const ssize_t count = ::read(m_toolMaster, buffer, sizeof buffer);
    if (count <= 0)
        return;
    const QByteArray bytes(buffer, int(count));
    noteStartFrame(bytes);
    if (m_delivered == m_pending.size()) {
        m_pending.clear();
        m_delivered = 0;
        m_start = std::max(Clock::now(), m_lineFree);
    }
    m_pending += bytes;
}

void PacedLine::noteStartFrame(const QByteArray &bytes)
{
    m_recent = m_recent.right(StartRequest.size()) + bytes;
    if (m_startFrameNs == 0 && m_recent.contains(StartRequest))
        m_startFrameNs = Measure::nowNs();
}

void PacedLine::readModem()
{
    char buffer[ReadSize];
    const ssize_t count = ::read(m_modem, buffer, sizeof buffer);
    if (count > 0)
        writeAll(m_toolMaster, buffer, int(count));
}

void PacedLine::writeDue()
{
    if (m_delivered == m_pending.size())
        return;
    const qint64 crossed = (Clock::now() - m_start) / m_byteTime;
    const int due = int(std::min<qint64>(crossed, m_pending.size()));
    if (due <= m_delivered)
        return;
    writeAll(m_modem, m_pending.constData() + m_delivered, due - m_delivered);
    m_delivered = due;
    if (m_delivered == m_pending.size())
        m_lineFree = m_start + m_byteTime * m_pending.size();
}
