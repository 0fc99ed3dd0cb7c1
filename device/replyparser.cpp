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

QList<QByteArray> linesOf(const QByteArray &reply)
{
    QList<QByteArray> lines;
    int start = 0;
    for (int end = reply.indexOf(LineEnd); end >= 0; end = reply.indexOf(LineEnd, start)) {
        lines.append(cut(reply, start, end));
        start = end + LineEnd.size();
    }
    lines.append(reply.mid(start));
    return lines;
}

// The length of the register name ("S" and digits) followed by a blank at `at`; 0 for none.
int nameLength(const QByteArray &line, int at)
{
    if (at >= line.size() || line.at(at) != 'S')
        return 0;
    int end = at + 1;
    while (end < line.size() && line.at(end) >= '0' && line.at(end) <= '9')
        ++end;
    return end > at + 1 && end < line.size() && line.at(end) == ' ' ? end - at : 0;
}

bool endsValue(char byte)
{
    return byte == ' ' || byte == '\t';
}

// Whether a label holds a tab or a register name after a blank: text that is not a label.
bool brokenLabel(const QByteArray &label)
{
    for (int i = 0; i < label.size(); ++i) {
        if (label.at(i) == '\t' || (label.at(i) == ' ' && nameLength(label + ' ', i + 1) > 0))
            return true;
    }
    return false;
}

// Reads the entries of one register line into `entries`, up to the first one not whole.
void readEntries(const QByteArray &line, QMap<QByteArray, std::optional<QByteArray>> &entries)
{
    for (int at = 0; at < line.size();) {
        const int length = nameLength(line, at);
        if (length == 0)
            return;
        const QByteArray name = line.mid(at, length);
        const int equals = line.indexOf('=', at + length);
        int end = equals + 1;
        while (equals >= 0 && end < line.size() && !endsValue(line.at(end)))
            ++end;
        const int next = end + 1;
        const bool whole = equals >= 0 &&
                           !brokenLabel(line.mid(at + length, equals - at - length)) &&
                           (end >= line.size() - 1 || nameLength(line, next) > 0);
        entries.insert(name, whole && !entries.contains(name)
                                 ? std::optional(cut(line, equals + 1, end))
                                 : std::nullopt);
        if (!whole)
            return;
        at = next;
    }
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

QMap<QByteArray, std::optional<QByteArray>> listingEntries(const QByteArray &reply)
{
    QMap<QByteArray, std::optional<QByteArray>> entries;
    for (const QByteArray &line : linesOf(reply)) {
        if (nameLength(line, 0) > 0)
            readEntries(line, entries);
    }
    return entries;
}

std::optional<QByteArray> lineValue(const QByteArray &reply, const QByteArray &key)
{
    std::optional<QByteArray> value;
    for (const QByteArray &line : linesOf(reply)) {
        if (!line.startsWith(key))
            continue;
        if (value)
            return std::nullopt;
        value = line.mid(key.size());
    }
    return value;
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
