#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

class AtSession;

// What a read of the modem gave: the values it could read, and the registers it could not.
struct Reading
{
    QMap<QString, QString> values; // identity fields and registers, by name
    QStringList unreadable;        // registers in catalogue order
};

// Reads the modem in AT mode with the window's query: the "AT&V" listing, then the five single
// queries. A register with a single query is read from its confirmed answer only: one refused
// ("ERROR"), unanswered or cut short is unreadable, never the listing's guess.
namespace ModemReader {

// Empty optional when the listing failed.
std::optional<Reading> read(AtSession &session);

} // namespace ModemReader
