#pragma once

#include <QByteArray>
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
