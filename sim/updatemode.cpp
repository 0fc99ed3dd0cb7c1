#include "updatemode.h"

#include "simconstants.h"

namespace {

enum FrameByte {
    LengthByte = 0,
    FlagByte = 9,
    CommandByte = 10,
    SubCommandByte = 11,
    StepByte = 12,
    IndexLowByte = 13,
    IndexHighByte = 14,
    DataStart = 15,
};

constexpr quint8 UpdateCommand = 0x08;
const QByteArray Magic("\x12\x34", 2);

quint8 at(const QByteArray &frame, int index)
{
    return quint8(frame.at(index));
}

} // namespace

void UpdateMode::begin()
{
    m_frame.clear();
    m_requests.fill(0);
}

int UpdateMode::requests(int step) const
{
    return step >= Start && step <= End ? m_requests[step - 1] : 0;
}

quint16 UpdateMode::crc16(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

void UpdateMode::appendCrc(QByteArray &frame)
{
    const quint16 crc = crc16(frame);
    frame += char(crc >> 8);
    frame += char(crc & 0xFF);
}

QByteArray UpdateMode::acknowledgement(int step, quint8 flag)
{
    QByteArray frame(7, '\0');
    frame[LengthByte] = 12;
    frame += Magic;
    frame += char(flag);
    frame += char(UpdateCommand);
    frame += char(0x01);
    frame += char(step);
    appendCrc(frame);
    return frame;
}

std::optional<int> UpdateMode::take(char byte, qint64 nowMs, bool keepChunk)
{
    if (!m_frame.isEmpty() && nowMs - m_frameStartMs > SimConstants::FrameResync)
        m_frame.clear();
    if (m_frame.isEmpty())
        m_frameStartMs = nowMs;
    m_frame += byte;
    if (m_frame.size() < at(m_frame, LengthByte) + 3)
        return std::nullopt;
    const QByteArray frame = m_frame;
    m_frame.clear();
    return accept(frame, keepChunk);
}

std::optional<int> UpdateMode::accept(const QByteArray &frame, bool keepChunk)
{
    const int length = at(frame, LengthByte);
    if (length < StepByte ||
        crc16(frame.left(length + 1)) != (at(frame, length + 1) << 8 | at(frame, length + 2)))
        return std::nullopt;
    const int step = at(frame, StepByte);
    if (frame.mid(7, 2) != Magic || at(frame, CommandByte) != UpdateCommand ||
        at(frame, SubCommandByte) != 0x01 || step < Start || step > End)
        return std::nullopt;
    if (step == Loading && length < IndexHighByte)
        return std::nullopt;
    ++m_requests[step - 1];
    if (step == Start) {
        m_image.clear();
        m_imageLength = 0;
        m_highestIndex = -1;
    } else if (step == Loading && keepChunk) {
        storeChunk(frame);
    }
    return step;
}

void UpdateMode::storeChunk(const QByteArray &frame)
{
    const int index = at(frame, IndexLowByte) | at(frame, IndexHighByte) << 8;
    const QByteArray data = frame.mid(DataStart, at(frame, LengthByte) + 1 - DataStart);
    const int offset = index * SimConstants::ChunkSize;
    if (m_image.size() < offset + data.size())
        m_image.append(QByteArray(offset + data.size() - m_image.size(), '\0'));
    m_image.replace(offset, data.size(), data);
    if (index >= m_highestIndex) {
        m_highestIndex = index;
        m_imageLength = offset + data.size();
    }
}
