#pragma once

// Bounds of the lines to a modem.
namespace LinkConstants {

constexpr int StopPoll = 100; // milliseconds between looks at a wait's stop

// Ports on serial device servers.
constexpr int ConnectTimeout = 10000;     // milliseconds to connect (and to close)
constexpr int ServerAnswerTimeout = 5000; // milliseconds for the server to set its line
// Seconds without a sign of a server that vanished without closing the connection before the
// line fails: keep-alive probes start after KeepAliveIdle s of silence, KeepAliveProbes of them
// KeepAliveInterval s apart; data sent and not acknowledged fails the line after as long.
constexpr int KeepAliveIdle = 5;
constexpr int KeepAliveInterval = 2;
constexpr int KeepAliveProbes = 3;
constexpr int NetworkIdleBound = KeepAliveIdle + KeepAliveInterval * KeepAliveProbes;
// Bytes a network line holds unread before it fails: a serial line at its fastest carries about
// 400 KiB a second, and a job reads what arrives at least every 1.5 s.
constexpr int MaxUnread = 1 << 20;

} // namespace LinkConstants
