#pragma once

#include "updatemode.h"

#include <QByteArray>

// Update requests laid out byte by byte, so that the modem's side is checked against frames
// written out here rather than against its own reader.
namespace SimTest {

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text); // skips blanks, which group the fields
}

inline QByteArray request(int step, int index = -1, const QByteArray &data = {})
{
    QByteArray frame = hex("00000000000000123402080100");
    frame[12] = char(step);
    if (index >= 0)
        frame.append(char(index & 0xFF)).append(char(index >> 8)).append(data);
    frame[0] = char(frame.size() - 1);
    UpdateMode::appendCrc(frame);
    return frame;
}

} // namespace SimTest
