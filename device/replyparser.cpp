#include "replyparser.h"

#include "replymarkers.h"

namespace ReplyParser {

namespace {
using ReplyMarkers::LineEnd;
using ReplyMarkers::QueryEchoEnd;

// Bytes from `start` up to `end` (the end of the reply when `end` is -1).
QByteArray cut(const QByteArray &reply, int start, int end)
{
    return end < 0 ? reply.mid(start) : reply.mid(start, end - start);
}
} // namespace

bool isComplete(const QByteArray &reply, Completion rule, int searched)
{
    const QByteArray &ok = ReplyMarkers::ReplyEnd;
    const QByteArray marker = rule == Completion::Anywhere ? ok : LineEnd + ok;
    if (rule == Completion::OwnLine && reply.startsWith(ok))
        return true;
    return reply.indexOf(marker, qMax(0, searched - marker.size() + 1)) >= 0;
}

bool isListing(const QByteArray &reply)
{
    return reply.contains(ReplyMarkers::ListingEcho);
}

std::optional<QByteArray> listingValue(const QByteArray &reply, const QByteArray &name)
{
    const int at = reply.indexOf(name);
    if (at < 0)
        return std::nullopt;
    const int equals = reply.indexOf('=', at);
    if (equals < 0)
        return std::nullopt;
    const int start = equals + 1;
    int end = -1;
    for (int candidate :
         {reply.indexOf(' ', start), reply.indexOf('\t', start), reply.indexOf(LineEnd, start)}) {
        if (candidate >= 0 && (end < 0 || candidate < end))
            end = candidate;
    }
    return cut(reply, start, end);
}

std::optional<QByteArray> identityValue(const QByteArray &reply, const QByteArray &key)
{
    const int at = reply.indexOf(key);
    if (at < 0)
        return std::nullopt;
    const int start = at + key.size();
    return cut(reply, start, reply.indexOf(LineEnd, start));
}

std::optional<SingleAnswer> singleAnswer(const QByteArray &reply)
{
    const int echo = reply.indexOf("AT");
    if (echo < 0)
        return std::nullopt;
    const int nameStart = echo + 2;
    const int question = reply.indexOf(QueryEchoEnd, nameStart);
    if (question < 0)
        return std::nullopt;
    const int valueStart = question + QueryEchoEnd.size();
    return SingleAnswer{cut(reply, nameStart, question),
                        cut(reply, valueStart, reply.indexOf(LineEnd, valueStart))};
}

std::optional<SingleAnswer> confirmedAnswer(const QByteArray &reply)
{
    const auto answer = singleAnswer(reply);
    if (!answer)
        return std::nullopt;
    const int question = reply.indexOf(QueryEchoEnd, reply.indexOf("AT") + 2);
    const int valueEnd = question + QueryEchoEnd.size() + answer->value.size();
    const QByteArray confirmation = LineEnd + ReplyMarkers::ReplyEnd;
    if (reply.mid(valueEnd, confirmation.size()) != confirmation)
        return std::nullopt;
    return answer;
}

int toNumber(const QByteArray &value)
{
    return value.toInt(nullptr, 10);
}

QString toText(const QByteArray &value)
{
    return QString::fromUtf8(value.constData());
}

} // namespace ReplyParser
