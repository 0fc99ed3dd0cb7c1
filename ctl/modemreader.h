#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
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

// Empty optional when the listing failed. `goOn`, when given, sees the listing's values and may
// end the reading there, the single queries unsent (a modem refused by its identity).
std::optional<Reading> read(AtSession &session,
                            const std::function<bool(const QMap<QString, QString> &)> &goOn = {});

// The values of a parsed listing or answers (see RegisterValues), the unreadable ones apart.
Reading gathered(const QMap<QString, std::optional<QString>> &read);

// The identity fields (I1..I4) among the values, by name.
QMap<QString, QString> identity(const QMap<QString, QString> &values);

} // namespace ModemReader
