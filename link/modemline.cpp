#include "modemline.h"

qint64 ModemLine::readData(char *data, qint64 maxSize)
{
    const qint64 count = readRaw(data, maxSize);
    if (count > 0 && m_tap)
        m_tap(Direction::Received, QByteArray(data, int(count)));
    return count;
}

qint64 ModemLine::writeData(const char *data, qint64 size)
{
    const qint64 count = writeRaw(data, size);
    if (count > 0 && m_tap)
        m_tap(Direction::Sent, QByteArray(data, int(count)));
    return count;
}

void ModemLine::discard(bool output)
{
    if (isConnected() && bytesAvailable() > 0)
        readAll(); // through the tap
    dropPending(output);
}
