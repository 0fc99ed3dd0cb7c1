#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

// Reading values out of the modem's replies. Pure byte logic: the window decides which field
// gets what.
namespace ReplyParser {

// Where the closing "OK\r\n" of a reply may stand.
enum class Completion {
    Anywhere, // the window: anywhere in the reply, even as the end of a value
    OwnLine   // dr58ctl: as a line of its own, at the start of the reply or right after "\r\n"
};

// Whether the reply is complete (and accepted) under the rule. `searched` is how many leading
// bytes an earlier call already found incomplete: only a marker ending after them is looked
// for, so a reply gathered piece by piece is not searched again from its start.
bool isComplete(const QByteArray &reply, Completion rule = Completion::Anywhere, int searched = 0);

// The answer to "AT&V" carries its echo "AT&V\r\n".
bool isListing(const QByteArray &reply);

// The value of a register in a listing: after the first "=" that follows the first occurrence
// of the name, up to the first blank, tab or "\r\n". Empty optional when the name (or an "="
// after it) does not occur.
std::optional<QByteArray> listingValue(const QByteArray &reply, const QByteArray &name);

// The value of an identity line: what follows the key up to the next "\r\n".
std::optional<QByteArray> identityValue(const QByteArray &reply, const QByteArray &key);

// dr58ctl's strict reading of a listing, where a name counts only where a line names it. The
// register entries: a line that starts with a register name ("S", digits, a blank) holds entries
// "<name> <label>=<value>", the value up to the first blank, tab or line end, the next entry
// right after it. A value is whole when its line ends after it or the next entry follows; an
// entry followed by other text (a value with a blank in it), one with a name in its label and a
// name that stands twice give no value, and the rest of such a line is not read.
QMap<QByteArray, std::optional<QByteArray>> listingEntries(const QByteArray &reply);

// The rest of the one line that starts with `key`; none when no line or several lines do.
std::optional<QByteArray> lineValue(const QByteArray &reply, const QByteArray &key);

struct SingleAnswer
{
    QByteArray name;
    QByteArray value;
};

// The answer to "AT<name>?": the echo names the register, the next line is its value.
std::optional<SingleAnswer> singleAnswer(const QByteArray &reply);

// The same answer only when the modem confirmed it: the value line is followed by "OK\r\n" as a
// line of its own. An echo followed directly by "OK" carries no value and gives none.
std::optional<SingleAnswer> confirmedAnswer(const QByteArray &reply);

// A value as a decimal integer; text that is not a number reads as 0.
int toNumber(const QByteArray &value);

// Field text of a value: UTF-8 up to the first NUL byte.
QString toText(const QByteArray &value);

} // namespace ReplyParser
