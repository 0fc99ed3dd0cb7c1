#include "replywait.h"

#include "atlink.h"
#include "devicelog.h"
#include "portrecorder.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QTimer>

namespace ReplyWait {

namespace {

bool awaitFirstBytes(QIODevice &port, int timeout)
{
    if (port.bytesAvailable() > 0)
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&port, &QIODevice::readyRead, &loop, &QEventLoop::quit);
    timer.start(timeout);
    loop.exec();
    return port.isOpen() && port.bytesAvailable() > 0;
}

Outcome collectRest(QIODevice &port, QByteArray &buffer, int silentPeriods,
                    ReplyParser::Completion rule)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    int silent = 0;
    int searched = 0;
    while (!ReplyParser::isComplete(buffer, rule, searched)) {
        if (silent >= silentPeriods)
            return Outcome::Quiet;
        if (sinceStart.elapsed() >= TotalLimit) {
            qCDebug(lcDevice) << AtLink::nameOf(port) << "RECV LIMIT" << buffer.size() << "bytes";
            return Outcome::Cut;
        }
        searched = buffer.size();
        const bool arrived = port.waitForReadyRead(SilentPeriod);
        buffer.append(PortRecorder::readAll(port));
        if (!arrived)
            ++silent;
    }
    return Outcome::Complete;
}

} // namespace

Outcome collect(QIODevice &port, QByteArray &buffer, int silentPeriods,
                ReplyParser::Completion rule, int firstBytes)
{
    buffer.clear();
    if (!port.isOpen())
        return Outcome::NoAnswer;
    if (!awaitFirstBytes(port, firstBytes)) {
        qCDebug(lcDevice) << AtLink::nameOf(port) << " no answer ";
        return Outcome::NoAnswer;
    }
    buffer.append(PortRecorder::readAll(port));
    return collectRest(port, buffer, silentPeriods, rule);
}

} // namespace ReplyWait
