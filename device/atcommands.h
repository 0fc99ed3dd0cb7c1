#pragma once

#include <QByteArray>
#include <QStringList>

// What the tool says to the modem in AT command mode, and the markers of its replies.
namespace AtCommands {

inline const QString Escape = QStringLiteral("+++");
inline const QString Listing = QStringLiteral("\rAT&V\r");
inline const QString Store = QStringLiteral("\rAT&W\r");
inline const QString DataMode = QStringLiteral("\rATA\r");

// The registers the query reads by their own command after the listing, in this order.
inline const QStringList SingleQueries = {QStringLiteral("ATS160?\r"), QStringLiteral("ATS244?\r"),
                                          QStringLiteral("ATS221?\r"), QStringLiteral("ATS220?\r"),
                                          QStringLiteral("ATS143?\r")};

inline const QByteArray ReplyEnd = QByteArrayLiteral("OK\r\n");
inline const QByteArray Greeting = QByteArrayLiteral("Welcome To Use DR58\r\n");
inline const QByteArray ListingEcho = QByteArrayLiteral("AT&V\r\n");

// Silent periods each transaction accepts after the first bytes of its reply.
constexpr int EnterWaits = 1;
constexpr int ExitWaits = 1;
constexpr int StoreWaits = 1;
constexpr int ListingWaits = 5;
constexpr int SingleQueryWaits = 3;
constexpr int WriteWaits = 3;
constexpr int ResetWaits = 3;

// "AT" + register + "=" + value, ended by "\r" ("\r\n" for S102, whose modem parser wants it).
QString writeCommand(const QString &registerName, const QString &value);

// "AT&F" + preset code + "\r".
QString resetCommand(int presetCode);

} // namespace AtCommands
