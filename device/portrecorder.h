#pragma once

#include "modemline.h"
#include "secretmask.h"

#include <QObject>
#include <QString>

class QSerialPort;

// A transcript (see transcript.h) of everything a serial port of the window carries. A
// QSerialPort hands out what it reads from a buffer that no override sees, so the places that
// read from, write to or discard the input of a port do it through the functions below: they
// record each burst when a recorder watches that port, and only pass the bytes on for any other
// (a modem line taps itself). The encryption key is hidden (see secretmask.h).
class PortRecorder : public QObject
{
    Q_OBJECT

public:
    // Starts recording `port`; the recorder is the port's child and ends with it.
    explicit PortRecorder(QSerialPort &port);

    // What was recorded since the start or the last clear, one line per burst; the newest
    // DeviceConstants::TranscriptKeep characters (up to twice that between trims), cut at a line.
    const QString &text() const { return m_text; }
    void clear() { m_text.clear(); }

    static QByteArray readAll(QIODevice &port);
    static qint64 read(QIODevice &port, char *data, qint64 maxSize);
    static qint64 write(QIODevice &port, const QByteArray &bytes);
    // Records the input that is about to be thrown away unread, as received.
    static void discarding(QIODevice &port);

private:
    static PortRecorder *of(const QIODevice &port);
    void record(ModemLine::Direction direction, const QByteArray &bytes);

    QString m_text;
    SecretMask m_sentMask{ModemLine::Direction::Sent};
    SecretMask m_receivedMask{ModemLine::Direction::Received};
};
