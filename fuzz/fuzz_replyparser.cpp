// Feeds arbitrary replies to the reply parsing functions, as the transaction wait hands them
// over (a whole QByteArray), and checks what every value it cuts out must look like.
#include "fuzzcheck.h"
#include "replyparser.h"

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>

namespace {

const QByteArray LineEnd("\r\n");

// Register names the form asks for, and one taken from the reply itself.
QList<QByteArray> namesFor(const QByteArray &reply)
{
    QList<QByteArray> names{"S101", "S102", "S104", "S160", "S244", "I1"};
    if (!reply.isEmpty())
        names << reply.mid(1, quint8(reply.at(0)) % 6);
    return names;
}

void checkListing(const QByteArray &reply)
{
    for (const QByteArray &name : namesFor(reply)) {
        const auto value = ReplyParser::listingValue(reply, name);
        if (!value)
            continue;
        require(reply.contains(name), "a listing value belongs to a name in the reply");
        require(reply.contains('=' + *value), "a listing value follows an '='");
        require(!value->contains(' ') && !value->contains('\t') && !value->contains(LineEnd),
                "a listing value ends at a blank, a tab or a line end");
        ReplyParser::toNumber(*value);
        require(ReplyParser::toText(*value).size() <= value->size(),
                "field text is never longer than its bytes");
    }
    for (const QByteArray key : {"Hardware Version ", "Serial Number "}) {
        const auto value = ReplyParser::identityValue(reply, key);
        if (!value)
            continue;
        require(reply.contains(key + *value), "an identity value follows its key");
        require(!value->contains(LineEnd), "an identity value ends at a line end");
    }
}

// dr58ctl's strict readers: a name counts only at the start of a line or right after the
// entry before it, and a value only when whole.
void checkStrictListing(const QByteArray &reply)
{
    const auto entries = ReplyParser::listingEntries(reply);
    for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
        require(
            reply.startsWith(entry.key() + ' ') || reply.contains(LineEnd + entry.key() + ' ') ||
                reply.contains(' ' + entry.key() + ' ') || reply.contains('\t' + entry.key() + ' '),
            "an entry's name stands where an entry begins");
        const auto &value = entry.value();
        require(!value || (!value->contains(' ') && !value->contains('\t') &&
                           !value->contains(LineEnd) && reply.contains('=' + *value)),
                "a whole value follows an '=' and holds no blank, tab or line end");
    }
    for (const QByteArray key : {"Hardware Version ", "Serial Number "}) {
        const auto value = ReplyParser::lineValue(reply, key);
        require(!value ||
                    ((reply.startsWith(key + *value) || reply.contains(LineEnd + key + *value)) &&
                     !value->contains(LineEnd)),
                "an identity value is the rest of the line its key starts");
    }
}

void checkSingleAnswer(const QByteArray &reply)
{
    const auto answer = ReplyParser::singleAnswer(reply);
    const auto confirmed = ReplyParser::confirmedAnswer(reply);
    require(!confirmed || (answer && confirmed->value == answer->value &&
                           reply.contains("?\r\n" + answer->value + "\r\nOK\r\n")),
            "a confirmed answer is the single answer with OK on the line after its value");
    if (!answer)
        return;
    require(reply.contains("AT" + answer->name + "?\r\n"), "the echo names the register");
    require(!answer->name.contains("?\r\n"), "a register name stops at the first '?'");
    require(!answer->value.contains(LineEnd), "a single value is one line");
    ReplyParser::toNumber(answer->value);
    ReplyParser::toText(answer->value);
}

// A reply gathered in two pieces is complete exactly when the whole of it is, and a line of its
// own is the stricter rule.
void checkCompletion(const QByteArray &reply)
{
    using ReplyParser::Completion;
    const int split = reply.isEmpty() ? 0 : quint8(reply.at(0)) % (reply.size() + 1);
    for (Completion rule : {Completion::Anywhere, Completion::OwnLine}) {
        const bool whole = ReplyParser::isComplete(reply, rule);
        if (!ReplyParser::isComplete(reply.left(split), rule))
            require(ReplyParser::isComplete(reply, rule, split) == whole,
                    "a reply searched piece by piece is judged as the whole");
    }
    require(!ReplyParser::isComplete(reply, Completion::OwnLine) || ReplyParser::isComplete(reply),
            "a reply complete by its own line is complete anywhere");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), int(size));
    checkCompletion(reply);
    ReplyParser::isListing(reply);
    checkListing(reply);
    checkStrictListing(reply);
    checkSingleAnswer(reply);
    return 0;
}
