#include "portrecorder.h"

#include "atlink.h"
#include "deviceconstants.h"
#include "transcript.h"

#include <QDateTime>
#include <QSerialPort>

PortRecorder::PortRecorder(QSerialPort &port) : QObject(&port) {}

PortRecorder *PortRecorder::of(const QIODevice &port)
{
    return port.findChild<PortRecorder *>(QString(), Qt::FindDirectChildrenOnly);
}

void PortRecorder::record(ModemLine::Direction direction, const QByteArray &bytes)
{
    const auto *port = static_cast<const QIODevice *>(parent());
    SecretMask &mask = direction == ModemLine::Direction::Sent ? m_sentMask : m_receivedMask;
    m_text += Transcript::line(QDateTime::currentDateTimeUtc(), AtLink::nameOf(*port), direction,
                               mask.masked(bytes));
    const int keep = DeviceConstants::TranscriptKeep;
    if (m_text.size() > 2 * keep)
        m_text.remove(0, m_text.indexOf(QLatin1Char('\n'), m_text.size() - keep) + 1);
}

QByteArray PortRecorder::readAll(QIODevice &port)
{
    const QByteArray bytes = port.readAll();
    PortRecorder *recorder = of(port);
    if (recorder && !bytes.isEmpty())
        recorder->record(ModemLine::Direction::Received, bytes);
    return bytes;
}

qint64 PortRecorder::read(QIODevice &port, char *data, qint64 maxSize)
{
    const qint64 count = port.read(data, maxSize);
    PortRecorder *recorder = of(port);
    if (recorder && count > 0)
        recorder->record(ModemLine::Direction::Received, QByteArray(data, int(count)));
    return count;
}

qint64 PortRecorder::write(QIODevice &port, const QByteArray &bytes)
{
    const qint64 count = port.write(bytes);
    PortRecorder *recorder = of(port);
    if (recorder && count > 0)
        recorder->record(ModemLine::Direction::Sent, bytes.left(int(count)));
    return count;
}

void PortRecorder::discarding(QIODevice &port)
{
    PortRecorder *recorder = of(port);
    if (recorder && port.bytesAvailable() > 0)
        recorder->record(ModemLine::Direction::Received, port.peek(port.bytesAvailable()));
}
