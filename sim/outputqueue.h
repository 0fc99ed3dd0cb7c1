#pragma once

#include "replyplan.h"

#include <QByteArray>
#include <chrono>
#include <deque>

// What the modem has still to send, and when each byte may leave: byte i of a piece leaves no
// earlier than the piece's start + i * 10 / rate seconds, and a piece starts when the one before
// it has left and its gap has passed. A change of rate applies from the next byte on.
class OutputQueue
{
public:
    using Clock = std::chrono::steady_clock;

    void append(const ReplyPlan &plan, Clock::time_point now);
    void append(const QByteArray &bytes, Clock::time_point now, bool babble = false);
    void dropBabble();
    void releaseHeld(Clock::time_point now); // held pieces may go out from now on
    void clear();
    bool isEmpty() const { return m_pieces.empty(); }

    // When the next write is worth making: when about a slice of line time is due, or the
    // rest of the piece. Clock::time_point::max() when there is nothing to send.
    Clock::time_point wakeTime(int rate) const;
    // Removes and returns the bytes whose time has come.
    QByteArray take(Clock::time_point now, int rate);

    // Line time of a number of bytes, rounded up to the nanosecond.
    static std::chrono::nanoseconds lineTime(qint64 bytes, int rate);

private:
    struct Anchor
    {
        Clock::time_point time; // when byte `index` may leave
        int index = 0;
        int rate = 0; // effective rate from there on
    };
    struct Piece
    {
        QByteArray bytes;
        std::chrono::milliseconds gap;
        int rateDivisor;
        Clock::time_point madeAt;
        bool babble;
        bool held = false;
        int sent = 0;
        bool started = false;
        Anchor anchor;
    };

    Anchor anchorFor(const Piece &piece, int rate) const;
    static Clock::time_point dueTime(const Anchor &anchor, int index);

    std::deque<Piece> m_pieces;
    Clock::time_point m_lineFree; // when the last byte that left is done
};
