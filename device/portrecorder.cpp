#include "portrecorder.h"

#include "deviceconstants.h"
#include "transcript.h"

#include <QDateTime>

PortRecorder::PortRecorder(ModemLine &line) : QObject(&line), m_line(line)
{
    line.setTap([this](ModemLine::Direction direction, const QByteArray &bytes) {
        record(direction, bytes);
    });
}

void PortRecorder::record(ModemLine::Direction direction, const QByteArray &bytes)
{
    SecretMask &mask = direction == ModemLine::Direction::Sent ? m_sentMask : m_receivedMask;
    m_text += Transcript::line(QDateTime::currentDateTimeUtc(), m_line.name(), direction,
                               mask.masked(bytes));
    const int keep = DeviceConstants::TranscriptKeep;
    if (m_text.size() > 2 * keep)
        m_text.remove(0, m_text.indexOf(QLatin1Char('\n'), m_text.size() - keep) + 1);
}
