#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

// Register values out of the modem's replies, read strictly: bytes as the Latin-1 text the
// command line carries, and a register's value only when it is one the register takes (see
// ValueCheck). Anything else is unreadable, never a guess.
namespace RegisterValues {

// Every register of the catalogue from the "AT&V" listing, by name: its value, or none when it
// is missing, not a value the register takes, or the reply lacks the echo. Identity fields
// appear when the listing carries them.
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
