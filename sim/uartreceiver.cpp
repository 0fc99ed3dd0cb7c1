#include "uartreceiver.h"

#include "simconstants.h"

namespace {

// The sent bit stream in ticks of 1 / (2 * sentRate * readRate) s, so that the sender's bits
// and the middles of the receiver's bits all fall on whole ticks.
class BitStream
{
public:
    BitStream(const QByteArray &bytes, qint64 bitTicks) : m_bytes(bytes), m_bitTicks(bitTicks) {}

    bool level(qint64 tick) const { return bit(tick / m_bitTicks); }

    // The first high-to-low change at or after tick; -1 when the line stays high.
    qint64 fallingEdge(qint64 tick) const
    {
        const qint64 last = qint64(m_bytes.size()) * SimConstants::BitsPerByte;
        for (qint64 n = (tick + m_bitTicks - 1) / m_bitTicks; n < last; ++n) {
            if (bit(n - 1) && !bit(n))
                return n * m_bitTicks;
        }
        return -1;
    }

private:
    bool bit(qint64 n) const
    {
        if (n < 0 || n >= qint64(m_bytes.size()) * SimConstants::BitsPerByte)
            return true; // idle
        const int position = int(n % SimConstants::BitsPerByte);
        if (position == 0 || position == SimConstants::BitsPerByte - 1)
            return position != 0; // start bit low, stop bit high
        return (uchar(m_bytes.at(int(n / SimConstants::BitsPerByte))) >> (position - 1)) & 1;
    }

    const QByteArray &m_bytes;
    const qint64 m_bitTicks;
};

} // namespace

QByteArray uartReceive(const QByteArray &bytes, int sentRate, int readRate)
{
    const BitStream line(bytes, 2 * qint64(readRate));
    const qint64 readBit = 2 * qint64(sentRate);
    QByteArray received;
    qint64 edge = line.fallingEdge(0);
    while (edge >= 0) {
        const auto sample = [&](int n) { return edge + n * readBit + readBit / 2; };
        qint64 resume = sample(SimConstants::BitsPerByte - 1);
        if (line.level(sample(0))) {
            resume = sample(0); // a glitch, not a start bit
        } else if (line.level(resume)) {
            uchar byte = 0;
            for (int n = 1; n <= 8; ++n)
                byte |= uchar(line.level(sample(n)) ? 1 << (n - 1) : 0);
            received += char(byte);
        }
        edge = line.fallingEdge(resume);
    }
    return received;
}
