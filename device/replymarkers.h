#pragma once

#include <QByteArray>

// The fixed pieces of the modem's replies, shared by the readers of replies and by the simulated
// modem that writes them. Header only: it needs nothing but Qt Core.
namespace ReplyMarkers {

inline const QByteArray LineEnd = QByteArrayLiteral("\r\n");
// Closes every reply.
inline const QByteArray ReplyEnd = QByteArrayLiteral("OK\r\n");
// The answer to "+++".
inline const QByteArray Greeting = QByteArrayLiteral("Welcome To Use DR58\r\n");
// The echo that opens the listing.
inline const QByteArray ListingEcho = QByteArrayLiteral("AT&V\r\n");
// Ends the echo of a single query "AT<name>?".
inline const QByteArray QueryEchoEnd = QByteArrayLiteral("?\r\n");
// The answer to "AT&UP": the modem is ready for the update frames.
inline const QByteArray UpdateAnnouncement = QByteArrayLiteral("UPDATE\r\n");

} // namespace ReplyMarkers
