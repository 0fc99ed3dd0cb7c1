#include "outputqueue.h"

#include "simconstants.h"

#include <algorithm>

using namespace std::chrono;

namespace {

constexpr qint64 NanosecondsPerByteAtOneBit = qint64(SimConstants::BitsPerByte) * 1000000000;

int effectiveRate(int rate, int divisor)
{
    return std::max(rate / divisor, 1);
}

} // namespace

nanoseconds OutputQueue::lineTime(qint64 bytes, int rate)
{
    const qint64 rateOrOne = std::max(rate, 1);
    return nanoseconds((bytes * NanosecondsPerByteAtOneBit + rateOrOne - 1) / rateOrOne);
}

void OutputQueue::append(const ReplyPlan &plan, Clock::time_point now)
{
    for (const ReplyPiece &piece : plan.pieces) {
        if (!piece.bytes.isEmpty())
            m_pieces.push_back({piece.bytes,
                                milliseconds(std::max(piece.gapMs, 0)),
                                plan.rateDivisor,
                                now,
                                false,
                                piece.gapMs == ReplyPiece::UntilNextInput,
                                0,
                                false,
                                {}});
    }
}

void OutputQueue::releaseHeld(Clock::time_point now)
{
    for (Piece &piece : m_pieces) {
        if (piece.held)
            piece.madeAt = now;
        piece.held = false;
    }
}

void OutputQueue::append(const QByteArray &bytes, Clock::time_point now, bool babble)
{
    if (!bytes.isEmpty())
        m_pieces.push_back({bytes, milliseconds(0), 1, now, babble, false, 0, false, {}});
}

void OutputQueue::dropBabble()
{
    if (!m_pieces.empty() && m_pieces.front().babble && m_pieces.front().started)
        m_lineFree = dueTime(m_pieces.front().anchor, m_pieces.front().sent);
    m_pieces.erase(std::remove_if(m_pieces.begin(), m_pieces.end(),
                                  [](const Piece &piece) { return piece.babble; }),
                   m_pieces.end());
}

void OutputQueue::clear()
{
    m_pieces.clear();
    m_lineFree = Clock::time_point();
}

OutputQueue::Clock::time_point OutputQueue::dueTime(const Anchor &anchor, int index)
{
    return anchor.time + lineTime(index - anchor.index, anchor.rate);
}

// Where the piece's schedule stands if it goes on at this rate.
OutputQueue::Anchor OutputQueue::anchorFor(const Piece &piece, int rate) const
{
    const int effective = effectiveRate(rate, piece.rateDivisor);
    if (!piece.started)
        return {std::max(m_lineFree, piece.madeAt) + piece.gap, 0, effective};
    if (piece.anchor.rate == effective)
        return piece.anchor;
    return {dueTime(piece.anchor, piece.sent), piece.sent, effective};
}

OutputQueue::Clock::time_point OutputQueue::wakeTime(int rate) const
{
    if (m_pieces.empty() || m_pieces.front().held)
        return Clock::time_point::max();
    const Piece &piece = m_pieces.front();
    const Anchor anchor = anchorFor(piece, rate);
    const qint64 slice =
        nanoseconds(microseconds(SimConstants::WriteSlice)) / lineTime(1, anchor.rate);
    const int batch = int(std::clamp<qint64>(slice, 1, piece.bytes.size() - piece.sent));
    return dueTime(anchor, piece.sent + batch - 1);
}

QByteArray OutputQueue::take(Clock::time_point now, int rate)
{
    QByteArray out;
    while (!m_pieces.empty()) {
        Piece &piece = m_pieces.front();
        if (piece.held)
            break;
        piece.anchor = anchorFor(piece, rate);
        piece.started = true;
        if (now < dueTime(piece.anchor, piece.sent))
            break;
        // Byte k is due when k * 10 s / rate has passed since the anchor.
        const auto elapsed = duration_cast<nanoseconds>(now - piece.anchor.time).count();
        const auto lastDue = piece.anchor.index + qint64(__int128(elapsed) * piece.anchor.rate /
                                                         NanosecondsPerByteAtOneBit);
        const int end = int(std::min<qint64>(lastDue + 1, piece.bytes.size()));
        out += piece.bytes.mid(piece.sent, end - piece.sent);
        piece.sent = end;
        if (piece.sent < piece.bytes.size())
            break;
        m_lineFree = dueTime(piece.anchor, piece.sent);
        m_pieces.pop_front();
    }
    return out;
}
