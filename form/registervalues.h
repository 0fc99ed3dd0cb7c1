#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

// Register values out of the modem's replies. The raw readings below serve the window and
// dr58ctl alike; the readings after them are strict, for dr58ctl: bytes as the Latin-1 text the
// command line carries, and a register's value only when it is one the register takes (see
// ValueCheck). Anything else is unreadable, never a guess.
namespace RegisterValues {

// The bytes of a field's value in an "AT&V" listing, by the field's name: the line of an
// identity field (I1..I4), the entry of a register. Empty when the listing lacks it.
std::optional<QByteArray> listedRaw(const QString &name, const QByteArray &reply);

// Whether a name is one of the identity fields, whose line a listing may leave out.
bool isIdentity(const QString &name);

// The item index a choice register shows for raw value bytes: their number (0 when they are not
// a number), S102's values above its gap five places lower.
int choiceIndex(const QString &name, const QByteArray &raw);

// Every register of the catalogue from the "AT&V" listing, by name: its value, or none when it
// is missing, not whole, not a value the register takes, or the reply lacks the echo (see
// ReplyParser::listingEntries: a name counts only where a line names it). Identity fields
// appear when a line of the listing starts with their key.
QMap<QString, std::optional<QString>> fromListing(const QByteArray &reply);

struct Value
{
    QString name;
    std::optional<QString> value; // none when unreadable
};

// The answer to a single query "AT<name>?", when its echo names a catalogue register; the value
// is readable only when the modem confirmed it with "OK" on the line after it.
std::optional<Value> fromSingleAnswer(const QByteArray &reply);

} // namespace RegisterValues
