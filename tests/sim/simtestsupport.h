#pragma once

#include "updatemode.h"

#include <QByteArray>
#include <algorithm>
#include <initializer_list>

// What the tool sends and how it reads the modem's answers, written out here on purpose so that
// the modem's replies are checked against the tool's rules rather than against themselves.
namespace SimTest {

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// An update request as the tool builds it; the CRC is checked against fixed vectors elsewhere.
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

// The tool's listing rule: the first occurrence of the name anywhere, then the text after the
// first "=" at or after it, up to the first blank, tab or "\r\n".
inline QByteArray listingValue(const QByteArray &reply, const QByteArray &name)
{
    const int at = reply.indexOf(name);
    if (at < 0)
        return "<not found>";
    const int start = reply.indexOf('=', at) + 1;
    int end = reply.size();
    for (const QByteArray &stop : {QByteArray(" "), QByteArray("\t"), QByteArray("\r\n")}) {
        const int found = reply.indexOf(stop, start);
        if (found >= 0)
            end = std::min(end, found);
    }
    return reply.mid(start, end - start);
}

// The tool's identity rule: the text after the key up to the end of its line.
inline QByteArray identityValue(const QByteArray &reply, const QByteArray &key)
{
    const int at = reply.indexOf(key);
    if (at < 0)
        return "<not found>";
    const int start = at + key.size();
    const int end = reply.indexOf("\r\n", start);
    return reply.mid(start, (end < 0 ? reply.size() : end) - start);
}

} // namespace SimTest
