#pragma once

#include "linefailure.h"

#include <QIODevice>
#include <functional>

// A connection to one modem: a local serial port, or one reached over the network. Every byte
// read, written or thrown away unread passes the line's tap (a transcript, say), so no caller
// can bypass it: what is discarded is offered as received before it goes.
class ModemLine : public QIODevice
{
    Q_OBJECT

public:
    enum class Direction { Sent, Received };
    using Tap = std::function<void(Direction, const QByteArray &)>;

    using QIODevice::QIODevice;

    bool isSequential() const override { return true; }

    // The name of the line for messages.
    virtual QString name() const = 0;
    // Sets the line's rate (8N1); false when the line cannot, with the reason in trouble().
    virtual bool setBaudRate(int baud) = 0;
    // Bits per second; 0 when the line does not know its rate.
    virtual int baudRate() const = 0;
    // What went wrong with the line, in words; empty while it works.
    virtual QString trouble() const = 0;
    // Why the line failed while in use (Gone), or None while it works.
    LineFailure failure() const
    {
        return trouble().isEmpty() ? LineFailure::None : LineFailure::Gone;
    }
    // Whether the line carries bytes now.
    virtual bool isConnected() const { return isOpen(); }

    // Throws away what has arrived unread, and on a local port what waits to be sent as well.
    void discardPending() { discard(true); }
    // Throws away what has arrived unread.
    void discardInput() { discard(false); }

    void setTap(Tap tap) { m_tap = std::move(tap); }

protected:
    // Moves bytes without buffering of their own: as QIODevice's readData and writeData.
    virtual qint64 readRaw(char *data, qint64 maxSize) = 0;
    virtual qint64 writeRaw(const char *data, qint64 size) = 0;
    // Throws away what is pending (and with `output`, what waits to be sent) without a look.
    virtual void dropPending(bool output) = 0;

private:
    qint64 readData(char *data, qint64 maxSize) final;
    qint64 writeData(const char *data, qint64 size) final;
    void discard(bool output);

    Tap m_tap;
};
