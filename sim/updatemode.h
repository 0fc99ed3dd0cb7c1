#pragma once

#include <QByteArray>
#include <array>
#include <optional>

// The modem's side of a firmware update: gathers request frames, checks them, puts the
// firmware chunks together and builds the acknowledgements.
class UpdateMode
{
public:
    enum Step { Start = 1, Loading = 2, End = 3 };

    // A new update begins: request counts start again and any partial frame is dropped.
    void begin();
    // Takes one received byte (nowMs: a steady clock); returns the step of the request it
    // completes when that request is sound; the firmware chunk it carries is stored unless
    // `keepChunk` is false. Bytes that make no frame within a second are dropped.
    std::optional<int> take(char byte, qint64 nowMs, bool keepChunk = true);

    QByteArray image() const { return m_image.left(m_imageLength); }
    int requests(int step) const;

    static QByteArray acknowledgement(int step, quint8 flag = 0);
    static quint16 crc16(const QByteArray &bytes); // CRC-16/MODBUS
    static void appendCrc(QByteArray &frame);

private:
    std::optional<int> accept(const QByteArray &frame, bool keepChunk);
    void storeChunk(const QByteArray &frame);

    QByteArray m_frame;
    qint64 m_frameStartMs = 0;
    QByteArray m_image;
    int m_imageLength = 0;
    int m_highestIndex = -1;
    std::array<int, 3> m_requests{};
};
