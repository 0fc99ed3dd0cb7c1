#pragma once

#include <QStringList>

// What the tool says to the modem in AT command mode.
namespace AtCommands {

inline const QString Escape = QStringLiteral("+++");
inline const QString Listing = QStringLiteral("\rAT&V\r");
inline const QString Store = QStringLiteral("\rAT&W\r");
inline const QString DataMode = QStringLiteral("\rATA\r");

// "AT" + register + "?\r", the query of a single register.
QString queryCommand(const QString &registerName);

// The registers the query reads by their own command after the listing, in this order.
inline const QStringList SingleQueryRegisters = {QStringLiteral("S160"), QStringLiteral("S244"),
                                                 QStringLiteral("S221"), QStringLiteral("S220"),
                                                 QStringLiteral("S143")};
inline const QStringList SingleQueries = [] {
    QStringList commands;
    for (const QString &name : SingleQueryRegisters)
        commands.append(queryCommand(name));
    return commands;
}();

// The check whether a modem is in AT mode already: a read-only single query, which a modem in
// data mode would send over the air as one short line of text. The carriage return before it
// ends whatever stands on the modem's command line (a "+++" it did not take as its escape).
inline const QString CheckRegister = QStringLiteral("S102");
inline const QString AtModeCheck = QStringLiteral("\r") + queryCommand(CheckRegister);

// Silent periods each transaction accepts after the first bytes of its reply.
constexpr int EnterWaits = 1;
constexpr int ExitWaits = 1;
constexpr int StoreWaits = 1;
constexpr int ListingWaits = 5;
constexpr int SingleQueryWaits = 3;
constexpr int CheckWaits = 1;
constexpr int WriteWaits = 3;
constexpr int ResetWaits = 3;

// "AT" + register + "=" + value, ended by "\r" ("\r\n" for S102, whose modem parser wants it).
QString writeCommand(const QString &registerName, const QString &value);

// "AT&F" + preset code + "\r".
QString resetCommand(int presetCode);

} // namespace AtCommands
