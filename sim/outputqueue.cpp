#include "outputqueue.h"

#include "simconstants.h"

#include <algorithm>

using namespace std::chrono;

nanoseconds OutputQueue::byteTime(int rate)
{
    return nanoseconds(seconds(SimConstants::BitsPerByte)) / std::max(rate, 1);
}

void OutputQueue::append(const ReplyPlan &plan, Clock::time_point now)
{
    for (const ReplyPiece &piece : plan.pieces) {
        if (!piece.bytes.isEmpty())
            m_pieces.push_back(
                {piece.bytes, milliseconds(piece.gapMs), plan.rateDivisor, now, false});
    }
}

void OutputQueue::append(const QByteArray &bytes, Clock::time_point now, bool babble)
{
    if (!bytes.isEmpty())
        m_pieces.push_back({bytes, milliseconds(0), 1, now, babble});
}

void OutputQueue::dropBabble()
{
    m_pieces.erase(std::remove_if(m_pieces.begin(), m_pieces.end(),
                                  [](const Piece &piece) { return piece.babble; }),
                   m_pieces.end());
}

void OutputQueue::clear()
{
    m_pieces.clear();
    m_nextByteAt = Clock::time_point();
}

OutputQueue::Clock::time_point OutputQueue::startOf(const Piece &piece) const
{
    return piece.started ? m_nextByteAt : std::max(m_nextByteAt, piece.madeAt) + piece.gap;
}

OutputQueue::Clock::time_point OutputQueue::wakeTime(int rate) const
{
    if (m_pieces.empty())
        return Clock::time_point::max();
    const Piece &piece = m_pieces.front();
    const nanoseconds perByte = byteTime(rate / piece.rateDivisor);
    const auto sliceBytes = microseconds(SimConstants::WriteSlice) / perByte;
    const auto batch = std::clamp<qint64>(sliceBytes, 1, piece.bytes.size() - piece.sent);
    return startOf(piece) + (batch - 1) * perByte;
}

QByteArray OutputQueue::take(Clock::time_point now, int rate)
{
    QByteArray out;
    while (!m_pieces.empty()) {
        Piece &piece = m_pieces.front();
        if (!piece.started) {
            m_nextByteAt = startOf(piece);
            piece.started = true;
        }
        if (now < m_nextByteAt)
            break;
        const nanoseconds perByte = byteTime(rate / piece.rateDivisor);
        const qint64 due = (now - m_nextByteAt) / perByte + 1;
        const int count = int(std::min<qint64>(due, piece.bytes.size() - piece.sent));
        out += piece.bytes.mid(piece.sent, count);
        piece.sent += count;
        m_nextByteAt += count * perByte;
        if (piece.sent < piece.bytes.size())
            break;
        m_pieces.pop_front();
    }
    return out;
}
