#pragma once

#include "replyplan.h"

#include <QByteArray>
#include <chrono>
#include <deque>

// What the modem has still to send, and when each byte may leave: byte i of a piece leaves no
// earlier than the piece's start + i * 10 / rate seconds, and a piece starts when the one before
// it has left and its gap has passed.
class OutputQueue
{
public:
    using Clock = std::chrono::steady_clock;

    void append(const ReplyPlan &plan, Clock::time_point now);
    void append(const QByteArray &bytes, Clock::time_point now, bool babble = false);
    void dropBabble();
    void clear();
    bool isEmpty() const { return m_pieces.empty(); }

    // When the next write is worth making: when about a slice of line time is due, or the
    // rest of the piece. Clock::time_point::max() when there is nothing to send.
    Clock::time_point wakeTime(int rate) const;
    // Removes and returns the bytes whose time has come.
    QByteArray take(Clock::time_point now, int rate);

    static std::chrono::nanoseconds byteTime(int rate);

private:
    struct Piece
    {
        QByteArray bytes;
        std::chrono::milliseconds gap;
        int rateDivisor;
        Clock::time_point madeAt;
        bool babble;
        int sent = 0;
        bool started = false;
    };

    Clock::time_point startOf(const Piece &piece) const;

    std::deque<Piece> m_pieces;
    Clock::time_point m_nextByteAt; // when the next byte of the piece under way may leave
};
