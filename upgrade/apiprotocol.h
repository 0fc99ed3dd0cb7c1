#pragma once

#include <QtGlobal>

// CRC-16/MODBUS of the bytes (0x4B37 for "123456789"); frames carry its high byte first.
quint16 modbusCrc(const quint8 *data, int length);

// Packet index of the chunk at a byte offset of the firmware: offset / chunk size, low 16 bits.
quint16 packetIndexOf(int offset);

// Builds the update request frames and checks the modem's reply frames.
// Stateless: every operation works on a buffer owned by the caller.
class ApiProtocol
{
public:
    enum Step : quint8 { UPDATE_START = 1, UPDATE_LOADING = 2, UPDATE_END = 3 };
    enum ReplyType {
        NoUpdateReply = 0,
        ParameterReply = 1,
        StartReply = 2,
        LoadingReply = 3,
        EndReply = 4
    };

    ApiProtocol();

    int UpdateStart(quint8 *frame) const;
    int UpdateLoading(quint8 *frame, quint16 index, const quint8 *data, int length) const;
    int UpdateEnd(quint8 *frame) const;

    int GetPacketLen(qint32 baudRate) const;
    int GetFrameLen(const quint8 *frame) const;
    bool CheckFrame(const quint8 *frame, int count) const;
    int GetReplyType(const quint8 *frame) const;
};
