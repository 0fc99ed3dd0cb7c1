#pragma once

// The options of the TCP socket under a network line. A line carries small requests and replies
// that wait on each other, so nothing may sit in a buffer waiting for more data or for a timer.
namespace SocketTuning {

// Commands and frames leave at once, and a server that vanishes without closing the connection
// (switched off, cut off) is noticed within LinkConstants::NetworkIdleBound seconds.
void apply(int fd);

// Acknowledges what has arrived now rather than after the delayed-acknowledgement timer: a
// server whose socket holds back a small segment until the previous one is acknowledged (the
// default of serial device servers) sends the rest of a reply only then. Linux turns quick
// acknowledgement off again as the connection goes on, so this follows every read.
void acknowledgeAtOnce(int fd);

} // namespace SocketTuning
