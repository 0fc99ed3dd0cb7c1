#pragma once

// The options of the TCP socket under a network line: commands and frames leave at once, and a
// server that vanishes without closing the connection (switched off, cut off) is noticed within
// LinkConstants::NetworkIdleBound seconds.
namespace SocketTuning {

void apply(int fd);

} // namespace SocketTuning
