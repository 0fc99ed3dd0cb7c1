#pragma once

#include "updatemode.h"

#include <QByteArray>

// Update requests as the tool builds them, written out here so that the modem's side is checked
// against the tool's frames rather than against itself.
namespace SimTest {

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text); // skips blanks, which group the fields
}

// An update request; the update-mode tests pin it to fixed frames, CRC included.
inline QByteArray request(int step, int index = -1, const QByteArray &data = {})
{
    QByteArray frame = hex("00000000000000123402080100");
    frame[12] = char(step);
    if (index >= 0) {
        frame += char(index & 0xFF);
        frame += char(index >> 8);
        frame += data;
    }
    frame[0] = char(frame.size() - 1);
    UpdateMode::appendCrc(frame);
    return frame;
}

} // namespace SimTest
