#include "atlink.h"

#include "deviceconstants.h"
#include "modemline.h"
#include "replywait.h"

#include <QElapsedTimer>
#include <QString>
#include <algorithm>

namespace AtLink {

bool waitWritten(QIODevice &port, int limitMs, const std::function<bool()> &stop)
{
    if (!stop)
        return port.waitForBytesWritten(limitMs);
    QElapsedTimer clock;
    clock.start();
    while (port.bytesToWrite() > 0) {
        const qint64 left = limitMs - clock.elapsed();
        if (left <= 0 || stop())
            return false;
        const qint64 before = clock.elapsed();
        const int slice = int(std::min<qint64>(left, DeviceConstants::StopPoll));
        // A port that fails answers at once; it is not asked again and again meanwhile.
        if (!port.waitForBytesWritten(slice) && clock.elapsed() - before < slice / 2)
            return port.bytesToWrite() == 0;
    }
    return true;
}

void writeCommand(ModemLine &line, const QString &command, const std::function<bool()> &stop)
{
    line.discardPending();
    line.write(command.toLatin1());
    waitWritten(line, DeviceConstants::WriteTimeout, stop);
}

} // namespace AtLink
