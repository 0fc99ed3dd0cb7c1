#include "replyplan.h"

#include "replymarkers.h"
#include "simconstants.h"
#include "updatemode.h"

#include <QRandomGenerator>

namespace {

using ReplyMarkers::ReplyEnd;

QVector<ReplyPiece> splitInto(const QByteArray &bytes, int count, int gapMs)
{
    QVector<ReplyPiece> pieces;
    const int size = (bytes.size() + count - 1) / count;
    for (int start = 0; start < bytes.size(); start += size)
        pieces << ReplyPiece{bytes.mid(start, size), start == 0 ? 0 : gapMs};
    return pieces;
}

QByteArray firstHalf(const QByteArray &bytes)
{
    int end = qMax(1, bytes.size() / 2);
    const int ok = bytes.indexOf(ReplyEnd);
    if (ok >= 0)
        end = qMin(end, ok);
    return bytes.left(end);
}

QByteArray withoutEveryNth(const QByteArray &bytes, int n)
{
    QByteArray kept;
    for (int i = 0; i < bytes.size(); ++i) {
        if ((i + 1) % n != 0)
            kept += bytes.at(i);
    }
    return kept;
}

QByteArray noise(QRandomGenerator &random)
{
    QByteArray bytes(SimConstants::GarbageLength, '\0');
    do {
        for (char &byte : bytes)
            byte = char(random.bounded(256));
    } while (bytes.contains(ReplyEnd));
    return bytes;
}

QByteArray withFlag(const QByteArray &acknowledgement, quint8 flag)
{
    QByteArray frame = acknowledgement.left(acknowledgement.size() - 2);
    frame[9] = char(flag);
    UpdateMode::appendCrc(frame);
    return frame;
}

QByteArray withBadCrc(QByteArray acknowledgement)
{
    const int last = acknowledgement.size() - 1;
    acknowledgement[last] = char(acknowledgement.at(last) ^ 0xFF);
    return acknowledgement;
}

QVector<ReplyPiece> whole(const QByteArray &bytes, int gapMs = 0)
{
    if (bytes.isEmpty())
        return {};
    return {ReplyPiece{bytes, gapMs}};
}

} // namespace

ReplyPlan planReply(const SimReply &reply, int lateDelayMs, QRandomGenerator &random)
{
    ReplyPlan plan;
    const QByteArray &bytes = reply.bytes;
    switch (reply.fault) {
    case SimFault::Silent:
    case SimFault::Chatter:
    case SimFault::UpdateNoAnswer:
    case SimFault::UpdateDropChunk:
        break;
    case SimFault::Babble:
        plan.babble = true;
        break;
    case SimFault::NoGreeting:
        plan.pieces = whole(ReplyEnd);
        break;
    case SimFault::PartialThenSilent:
        plan.pieces = whole(firstHalf(bytes));
        break;
    case SimFault::SplitReply:
        plan.pieces = splitInto(bytes, SimConstants::SplitPieces, SimConstants::SplitGap);
        break;
    case SimFault::Garbage:
        plan.pieces = whole(noise(random));
        break;
    case SimFault::VerySlow:
        plan.pieces = whole(bytes);
        plan.rateDivisor = SimConstants::SlowDivisor;
        break;
    case SimFault::DropBytes:
        plan.pieces = whole(withoutEveryNth(bytes, SimConstants::DropEvery));
        break;
    case SimFault::LateReply:
    case SimFault::UpdateLate:
        plan.pieces = whole(bytes, lateDelayMs);
        break;
    case SimFault::UpdateBadCrc:
        plan.pieces = whole(withBadCrc(bytes));
        break;
    case SimFault::UpdateFlagError:
    case SimFault::UpdateRefuseChunk:
        plan.pieces = whole(withFlag(bytes, 0x01));
        break;
    case SimFault::UpdateSplit:
        plan.pieces = splitInto(bytes, 2, SimConstants::UpdateSplitGap);
        break;
    case SimFault::UpdateTrailingByte:
        plan.pieces = whole(bytes + QByteArray(1, '\0'));
        break;
    case SimFault::QueryError:
        plan.pieces = whole(bytes.left(bytes.indexOf(ReplyMarkers::LineEnd) + 2) + "ERROR\r\n");
        break;
    default:
        plan.pieces = whole(bytes);
        break;
    }
    return plan;
}

QByteArray babbleLine(int serial)
{
    const int rssi = 60 + serial % 30;
    return "DR58 link monitor " + QByteArray::number(serial).rightJustified(6, '0') + " rssi -" +
           QByteArray::number(rssi) + " dBm, noise floor -104 dBm, queue empty\r\n";
}
