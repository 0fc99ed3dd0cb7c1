#pragma once

#include "simreply.h"

#include <QVector>

class QRandomGenerator;

// How a reply goes out on the line: its bytes in pieces, each after a gap.
struct ReplyPiece
{
    QByteArray bytes;
    int gapMs = 0; // after the previous piece has left, or after the reply was made;
                   // UntilNextInput: held until the modem next receives bytes
    static constexpr int UntilNextInput = -1;
};

struct ReplyPlan
{
    QVector<ReplyPiece> pieces;
    int rateDivisor = 1; // the pieces go out at the line rate divided by this
    bool babble = false; // an endless stream of text follows
};

// Shapes a reply by the fault it is subject to.
ReplyPlan planReply(const SimReply &reply, int lateDelayMs, QRandomGenerator &random);

// One line of the endless text of a babbling modem; it never contains "OK\r\n".
QByteArray babbleLine(int serial);
