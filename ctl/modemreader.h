#pragma once

#include <QMap>
#include <QString>
#include <optional>

class AtSession;

// Reads the modem in AT mode as the window's query does: the "AT&V" listing, then the five
// single queries, whose answers take precedence; a failed single query keeps the listing's value.
namespace ModemReader {

// The identity fields and registers found, by name; empty optional when the listing failed.
std::optional<QMap<QString, QString>> read(AtSession &session);

} // namespace ModemReader
