// Feeds reply bytes to the upgrade's frame gathering in reads of fuzz-chosen sizes, the way the
// serial port hands them over: each read takes at most the room left in the buffer, the rest
// waits for the next one. Input: one control byte (bit 7: reads also end at frame boundaries;
// bits 0-3: how many read sizes follow), the read sizes (1 to 256 bytes each, used in turn),
// then the bytes the modem sends.
#include "apiprotocol.h"
#include "framegatherer.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using Verdict = FrameGatherer::Verdict;

const ApiProtocol &protocol()
{
    static const ApiProtocol instance; // announces itself in the debug log once
    return instance;
}

// The verdicts when every frame arrives on its own: each exact run of bytes checked alone.
std::vector<Verdict> framesAlone(const std::uint8_t *bytes, int size)
{
    std::vector<Verdict> verdicts;
    for (int at = 0; at < size;) {
        const int length = bytes[at] + 3;
        if (at + length > size)
            break;
        const std::vector<quint8> frame(bytes + at, bytes + at + length);
        verdicts.push_back(protocol().CheckFrame(frame.data(), length) ? Verdict::Accepted
                                                                       : Verdict::Rejected);
        at += length;
    }
    return verdicts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const bool alongFrames = data[0] & 0x80;
    const int sizeCount = std::max(1, data[0] & 0x0F);
    if (size < std::size_t(1 + sizeCount))
        return 0;
    const std::uint8_t *readSizes = data + 1;
    const std::uint8_t *bytes = readSizes + sizeCount;
    const int total = int(size) - 1 - sizeCount;

    FrameGatherer gatherer;
    std::vector<Verdict> verdicts;
    int sent = 0;     // bytes the modem has sent so far
    int taken = 0;    // bytes the gatherer has read
    int frameEnd = 0; // where the frame being sent ends, when reads keep to frames
    for (int read = 0; taken < total; ++read) {
        int next = std::min(total, sent + readSizes[read % sizeCount] + 1);
        if (alongFrames) {
            if (sent == frameEnd && sent < total)
                frameEnd = std::min(total, sent + bytes[sent] + 3);
            next = std::min(next, frameEnd);
        }
        sent = next;
        require(gatherer.room() > 0, "the buffer never fills up without a frame being judged");
        const int got = std::min(sent - taken, gatherer.room());
        std::memcpy(gatherer.space(), bytes + taken, std::size_t(got));
        taken += got;
        const Verdict verdict = gatherer.added(got, protocol());
        if (verdict != Verdict::Incomplete)
            verdicts.push_back(verdict);
        if (alongFrames)
            require(verdict == Verdict::Incomplete || taken == frameEnd,
                    "a frame is judged when its last byte arrives");
    }
    if (alongFrames)
        require(verdicts == framesAlone(bytes, total),
                "frames read in pieces get the verdicts they get read whole");
    return 0;
}
