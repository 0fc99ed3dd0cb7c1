#include "apiprotocol.h"

#include "upgradeconstants.h"
#include "upgradelog.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Byte positions in a frame.
enum : int {
    LengthByte = 0,
    MagicByte = 7,
    FlagByte = 9,
    CommandByte = 10,
    SubCommandByte = 11,
    StepByte = 12,
    IndexByte = 13,
    DataByte = 15,
};

constexpr int ShortFrameLength = 12;    // L of UPDATE_START and UPDATE_END
constexpr int LoadingHeaderLength = 14; // L of UPDATE_LOADING without data
constexpr int FrameOverhead = 3;        // bytes: the length byte and the CRC
constexpr int HeaderOnlyLength = 10;    // L up to which a parameter reply carries no records
constexpr int SmallestFrame = HeaderOnlyLength + FrameOverhead; // bytes, up to the command byte
constexpr int TypedRecordSize = 17;                             // bytes: a type byte and 16 bytes

constexpr quint16 UpdateMagic = 0x1234;
constexpr quint16 ParameterMagic = 0x545A;
constexpr quint8 RequestFlag = 0x02;
constexpr quint8 AcceptedFlag = 0x00;
constexpr quint8 UpdateCommand = 0x08;
constexpr quint8 UpdateSubCommand = 0x01;

enum : quint8 {
    ReadParameters = 0x00,
    WriteParameters = 0x04,
    ParameterSession = 0x10,
    ParameterReset = 0xF0,
};

using ByteTable = std::array<quint8, 256>;

// The classic pair of CRC tables: the "high" table holds the low bytes of the reflected
// 16-bit table entries, the "low" table their high bytes.
constexpr ByteTable makeCrcTable(bool lowBytes)
{
    ByteTable table{};
    for (int index = 0; index < 256; ++index) {
        quint16 crc = quint16(index);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
        table[index] = lowBytes ? quint8(crc & 0xFF) : quint8(crc >> 8);
    }
    return table;
}

constexpr ByteTable CrcHighTable = makeCrcTable(true);
constexpr ByteTable CrcLowTable = makeCrcTable(false);

struct ParameterWidth
{
    quint8 number;
    int width; // bytes
};

constexpr std::array<ParameterWidth, 31> ParameterWidths{{
    {1, 1},  {2, 1},   {3, 1},   {5, 16},  {9, 1},    {10, 1},   {11, 1},   {13, 1},
    {14, 1}, {15, 1},  {16, 2},  {19, 1},  {20, 1},   {21, 1},   {22, 1},   {25, 4},
    {28, 2}, {30, 16}, {34, 16}, {38, 16}, {42, 1},   {59, 1},   {60, 1},   {61, 1},
    {65, 1}, {80, 2},  {84, 1},  {85, 1},  {97, 100}, {100, 16}, {116, 32},
}};

int parameterWidth(quint8 number)
{
    const auto found =
        std::find_if(ParameterWidths.begin(), ParameterWidths.end(),
                     [number](const ParameterWidth &p) { return p.number == number; });
    return found == ParameterWidths.end() ? 0 : found->width;
}

void writeRequestHeader(quint8 *frame, quint8 length, quint8 step)
{
    frame[LengthByte] = length;
    std::memset(frame + 1, 0, MagicByte - 1);
    frame[MagicByte] = UpdateMagic >> 8;
    frame[MagicByte + 1] = UpdateMagic & 0xFF;
    frame[FlagByte] = RequestFlag;
    frame[CommandByte] = UpdateCommand;
    frame[SubCommandByte] = UpdateSubCommand;
    frame[StepByte] = step;
}

// Appends the CRC of bytes 0 to length; returns the frame's total size.
int appendCrc(quint8 *frame, int length)
{
    const quint16 crc = modbusCrc(frame, length + 1);
    frame[length + 1] = quint8(crc >> 8);
    frame[length + 2] = quint8(crc & 0xFF);
    return length + FrameOverhead;
}

bool accepted(const quint8 *frame)
{
    return frame[FlagByte] == AcceptedFlag;
}

bool isUpdateStep(quint8 step)
{
    return step >= ApiProtocol::UPDATE_START && step <= ApiProtocol::UPDATE_END;
}

// The record area runs from byte 11 to byte L; the walk stays below L - 10 bytes into it.
int recordAreaSize(const quint8 *frame)
{
    return frame[LengthByte] - HeaderOnlyLength;
}

bool knownParameterRecords(const quint8 *frame)
{
    for (int at = 0; at < recordAreaSize(frame);) {
        const int width = parameterWidth(frame[SubCommandByte + at]);
        if (width == 0)
            return false;
        at += width + 1;
    }
    return true;
}

bool knownTypedRecords(const quint8 *frame)
{
    for (int at = 0; at < recordAreaSize(frame); at += TypedRecordSize) {
        const quint8 type = frame[SubCommandByte + at];
        if (type != 2 && type != 3)
            return false;
    }
    return true;
}

bool acceptsUpdateFamily(const quint8 *frame)
{
    const quint8 sub = frame[SubCommandByte];
    switch (frame[CommandByte]) {
    case UpdateCommand:
        return sub == UpdateSubCommand && isUpdateStep(frame[StepByte]) && accepted(frame);
    case WriteParameters:
        return accepted(frame);
    case ParameterSession:
        return sub == 0x01 || (sub == 0x02 && accepted(frame));
    case ReadParameters:
        return knownParameterRecords(frame);
    default:
        return false;
    }
}

bool acceptsParameterFamily(const quint8 *frame)
{
    switch (frame[CommandByte]) {
    case WriteParameters:
    case ParameterReset:
        return accepted(frame);
    case ReadParameters:
        return knownTypedRecords(frame);
    default:
        return false;
    }
}

} // namespace

quint16 modbusCrc(const quint8 *data, int length)
{
    quint8 hi = 0xFF;
    quint8 lo = 0xFF;
    for (int i = 0; i < length; ++i) {
        const quint8 index = hi ^ data[i];
        hi = lo ^ CrcHighTable[index];
        lo = CrcLowTable[index];
    }
    return quint16(lo << 8 | hi);
}

quint16 packetIndexOf(int offset)
{
    return quint16(offset / UpgradeConstants::ChunkSize);
}

ApiProtocol::ApiProtocol()
{
    qCDebug(lcUpgrade) << "API PROTOCOL";
}

int ApiProtocol::UpdateStart(quint8 *frame) const
{
    writeRequestHeader(frame, ShortFrameLength, UPDATE_START);
    return appendCrc(frame, ShortFrameLength);
}

int ApiProtocol::UpdateLoading(quint8 *frame, quint16 index, const quint8 *data, int length) const
{
    const int frameLength = LoadingHeaderLength + length;
    writeRequestHeader(frame, quint8(frameLength), UPDATE_LOADING);
    frame[IndexByte] = quint8(index & 0xFF);
    frame[IndexByte + 1] = quint8(index >> 8);
    if (length > 0)
        std::memcpy(frame + DataByte, data, size_t(length));
    return appendCrc(frame, frameLength);
}

int ApiProtocol::UpdateEnd(quint8 *frame) const
{
    writeRequestHeader(frame, ShortFrameLength, UPDATE_END);
    return appendCrc(frame, ShortFrameLength);
}

int ApiProtocol::GetPacketLen(qint32 baudRate) const
{
    Q_UNUSED(baudRate) // every rate carries the same chunk
    return UpgradeConstants::ChunkSize;
}

int ApiProtocol::GetFrameLen(const quint8 *frame) const
{
    return frame[LengthByte] + FrameOverhead;
}

bool ApiProtocol::CheckFrame(const quint8 *frame, int count) const
{
    // Too short to hold the command byte, or not yet complete: the rules below would read
    // bytes that were never received.
    if (count < SmallestFrame || count < GetFrameLen(frame))
        return false;
    const quint16 crc = modbusCrc(frame, count - 2);
    if (frame[count - 2] != quint8(crc >> 8) || frame[count - 1] != quint8(crc & 0xFF))
        return false;
    const quint16 magic = quint16(frame[MagicByte] << 8 | frame[MagicByte + 1]);
    if (magic == UpdateMagic)
        return acceptsUpdateFamily(frame);
    if (magic == ParameterMagic)
        return acceptsParameterFamily(frame);
    return false;
}

int ApiProtocol::GetReplyType(const quint8 *frame) const
{
    switch (frame[CommandByte]) {
    case UpdateCommand:
        if (frame[SubCommandByte] != UpdateSubCommand || !isUpdateStep(frame[StepByte]))
            return NoUpdateReply;
        return StartReply + frame[StepByte] - UPDATE_START;
    case WriteParameters:
    case ParameterReset:
        return ParameterReply;
    case ParameterSession:
        return frame[SubCommandByte] == 0x02 ? ParameterReply : NoUpdateReply;
    default:
        return NoUpdateReply;
    }
}
