// Feeds arbitrary reply frames to the update frame checks the way the upgrade dialog does:
// at most a 300-byte buffer, checked once the count reaches the announced frame length.
// Each input also becomes an update chunk whose request and acknowledgement are checked.
#include "apiprotocol.h"
#include "fuzzcheck.h"
#include "upgradeconstants.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr int FlagByte = 9;
constexpr int StepByte = 12;

const ApiProtocol &protocol()
{
    static const ApiProtocol instance; // announces itself in the debug log once
    return instance;
}

// The bytes gathered exactly as received: reading one past them is caught.
void checkReceived(const std::uint8_t *data, int count)
{
    if (count < protocol().GetFrameLen(data))
        return; // the dialog waits for more bytes
    const std::vector<quint8> frame(data, data + count);
    if (!protocol().CheckFrame(frame.data(), count))
        return;
    const int type = protocol().GetReplyType(frame.data());
    require(type >= ApiProtocol::NoUpdateReply && type <= ApiProtocol::EndReply,
            "a reply type is 0 to 4");
    if (type >= ApiProtocol::StartReply)
        require(frame[FlagByte] == 0x00 && frame[StepByte] == type - 1,
                "an accepted update reply carries flag 0 and the step of its type");
}

// A request is never mistaken for its own acknowledgement; the acknowledgement is accepted.
void checkRoundTrip(const std::uint8_t *data, int size)
{
    const quint16 index = size >= 2 ? quint16(data[0] | data[1] << 8) : 0;
    const int length = std::clamp(size - 2, 0, UpgradeConstants::ChunkSize);
    std::vector<quint8> frame(UpgradeConstants::FrameBufferSize);
    const int total = protocol().UpdateLoading(frame.data(), index, data + (size - length), length);
    require(total == length + 17 && protocol().GetFrameLen(frame.data()) == total,
            "a loading request announces its own length");
    require(!protocol().CheckFrame(frame.data(), total), "a request is not a reply");

    std::vector<quint8> reply(frame.begin(), frame.begin() + total);
    reply[FlagByte] = 0x00;
    const quint16 crc = modbusCrc(reply.data(), total - 2);
    reply[total - 2] = quint8(crc >> 8);
    reply[total - 1] = quint8(crc & 0xFF);
    require(protocol().CheckFrame(reply.data(), total) &&
                protocol().GetReplyType(reply.data()) == ApiProtocol::LoadingReply,
            "the acknowledgement of a chunk is accepted as such");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const int count = int(std::min<std::size_t>(size, UpgradeConstants::FrameBufferSize));
    if (count > 0)
        checkReceived(data, count);
    checkRoundTrip(data, count);
    return 0;
}
