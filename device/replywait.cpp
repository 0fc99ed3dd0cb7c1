#include "replywait.h"

#include "devicelog.h"
#include "modemline.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace ReplyWait {

namespace {

// The end of a wait: its total bound, brought forward to DeviceConstants::StopGrace ms after the
// stop.
class Deadline
{
public:
    explicit Deadline(const Bounds &bounds) : m_bounds(bounds), m_end(bounds.total)
    {
        m_clock.start();
    }

    qint64 elapsed() const { return m_clock.elapsed(); }

    // Milliseconds left, after a look at the stop.
    qint64 left()
    {
        if (!m_stopped && m_bounds.stop && m_bounds.stop()) {
            m_stopped = true;
            m_end = std::min<qint64>(m_end, elapsed() + DeviceConstants::StopGrace);
        }
        return std::max<qint64>(0, m_end - elapsed());
    }

private:
    const Bounds &m_bounds;
    QElapsedTimer m_clock;
    qint64 m_end;
    bool m_stopped = false;
};

// Runs the thread's events until bytes arrive or `ms` pass.
void runEvents(ModemLine &port, int ms)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&port, &QIODevice::readyRead, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec();
}

bool awaitFirstBytes(ModemLine &port, int timeout, Deadline &deadline)
{
    while (port.isConnected() && port.bytesAvailable() == 0) {
        const qint64 left = std::min(timeout - deadline.elapsed(), deadline.left());
        if (left <= 0)
            return false;
        runEvents(port, int(std::min<qint64>(left, DeviceConstants::StopPoll)));
    }
    return port.isConnected();
}

Outcome collectRest(ModemLine &port, QByteArray &buffer, int silentPeriods,
                    ReplyParser::Completion rule, const Bounds &bounds, Deadline &deadline)
{
    qint64 silent = 0; // milliseconds
    int searched = 0;
    while (!ReplyParser::isComplete(buffer, rule, searched)) {
        const qint64 quietEnough = qint64(silentPeriods) * DeviceConstants::SilentPeriod - silent;
        if (quietEnough <= 0)
            return Outcome::Quiet;
        if (bounds.maxSize > 0 && buffer.size() > bounds.maxSize) {
            qCDebug(lcDevice) << port.name() << "RECV CAP" << buffer.size() << "bytes";
            return Outcome::Overflow;
        }
        const qint64 left = deadline.left();
        if (left == 0) {
            qCDebug(lcDevice) << port.name() << "RECV LIMIT" << buffer.size() << "bytes";
            return Outcome::Cut;
        }
        searched = buffer.size();
        const int slice = int(std::min({left, quietEnough, qint64(DeviceConstants::StopPoll)}));
        const bool arrived = port.waitForReadyRead(slice);
        buffer.append(port.readAll());
        if (!arrived)
            silent += slice;
    }
    return Outcome::Complete;
}

} // namespace

Outcome collect(ModemLine &port, QByteArray &buffer, int silentPeriods,
                ReplyParser::Completion rule, const Bounds &bounds)
{
    buffer.clear();
    Deadline deadline(bounds);
    if (!port.isConnected())
        return Outcome::NoAnswer;
    if (!awaitFirstBytes(port, bounds.firstBytes, deadline)) {
        qCDebug(lcDevice) << port.name() << " no answer ";
        return Outcome::NoAnswer;
    }
    buffer.append(port.readAll());
    return collectRest(port, buffer, silentPeriods, rule, bounds, deadline);
}

} // namespace ReplyWait
