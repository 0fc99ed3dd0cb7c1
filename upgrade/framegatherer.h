#pragma once

#include "apiprotocol.h"
#include "upgradeconstants.h"

#include <array>

// Gathers one reply frame from successive reads into a buffer of FrameBufferSize bytes. The
// frame is judged once the bytes reach the length it announces; bytes that came beyond it in
// the same read are dropped, as the modem sends one reply per request.
class FrameGatherer
{
public:
    enum class Verdict { Incomplete, Accepted, Rejected };

    char *space() { return reinterpret_cast<char *>(m_frame.data()) + m_count; } // next read
    int room() const { return UpgradeConstants::FrameBufferSize - m_count; }     // bytes
    // Counts `got` bytes read into space(); a read that failed (negative) adds none.
    Verdict added(qint64 got, const ApiProtocol &protocol);
    const quint8 *frame() const { return m_frame.data(); } // the frame last judged
    void clear() { m_count = 0; }

private:
    std::array<quint8, UpgradeConstants::FrameBufferSize> m_frame{};
    int m_count = 0; // bytes of m_frame filled
};
