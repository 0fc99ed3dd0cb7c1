#include "framegatherer.h"

FrameGatherer::Verdict FrameGatherer::added(qint64 got, const ApiProtocol &protocol)
{
    if (got > 0)
        m_count += int(got);
    if (m_count == 0 || m_count < protocol.GetFrameLen(m_frame.data()))
        return Verdict::Incomplete;
    const bool accepted = protocol.CheckFrame(m_frame.data(), m_count);
    m_count = 0;
    return accepted ? Verdict::Accepted : Verdict::Rejected;
}
