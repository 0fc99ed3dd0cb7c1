#pragma once

#include "modemline.h"
#include "secretmask.h"

#include <QObject>
#include <QString>

// A transcript (see transcript.h) of everything a modem line carries, taken from the line's
// tap: every burst read, written or discarded unread. The encryption key is hidden (see
// secretmask.h).
class PortRecorder : public QObject
{
    Q_OBJECT

public:
    // Starts recording `line` (taking its tap); the recorder is the line's child and ends with
    // it.
    explicit PortRecorder(ModemLine &line);

    // What was recorded since the start or the last clear, one line per burst; the newest
    // DeviceConstants::TranscriptKeep characters (up to twice that between trims), cut at a line.
    const QString &text() const { return m_text; }
    void clear() { m_text.clear(); }

private:
    void record(ModemLine::Direction direction, const QByteArray &bytes);

    ModemLine &m_line;
    QString m_text;
    SecretMask m_sentMask{ModemLine::Direction::Sent};
    SecretMask m_receivedMask{ModemLine::Direction::Received};
};
