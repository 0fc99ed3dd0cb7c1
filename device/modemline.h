#pragma once

#include <QIODevice>
#include <functional>

// A connection to one modem that dr58ctl talks through: a local serial port, or one reached
// over the network. Every burst each way is offered to an optional tap (a transcript) as it
// passes.
class ModemLine : public QIODevice
{
    Q_OBJECT

public:
    enum class Direction { Sent, Received };
    using Tap = std::function<void(Direction, const QByteArray &)>;

    using QIODevice::QIODevice;

    bool isSequential() const override { return true; }

    // The name the operator gave for the line.
    virtual QString name() const = 0;
    // Sets the line's rate (8N1); false when the line cannot, with the reason in trouble().
    virtual bool setBaudRate(int baud) = 0;
    virtual int baudRate() const = 0;
    // Throws away whatever is pending in both directions.
    virtual void discardPending() = 0;
    // What went wrong with the line, in words; empty while it works.
    virtual QString trouble() const = 0;

    void setTap(Tap tap) { m_tap = std::move(tap); }

protected:
    // Moves bytes without buffering of their own: as QIODevice's readData and writeData.
    virtual qint64 readRaw(char *data, qint64 maxSize) = 0;
    virtual qint64 writeRaw(const char *data, qint64 size) = 0;

private:
    qint64 readData(char *data, qint64 maxSize) final;
    qint64 writeData(const char *data, qint64 size) final;

    Tap m_tap;
};
